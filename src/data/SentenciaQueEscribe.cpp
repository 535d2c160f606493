#include "data/SentenciaQueEscribe.h"

#include <QStringList>

namespace estaciones::data {

namespace {

// Words that write, call code that may write, move a transaction or change
// the database's objects or the session's database. SET and DECLARE are here
// too: a batch with them is not a plain query.
const QStringList& palabrasQueEscriben() {
    static const QStringList palabras{
        QStringLiteral("INSERT"),     QStringLiteral("UPDATE"),        QStringLiteral("DELETE"),
        QStringLiteral("MERGE"),      QStringLiteral("EXEC"),          QStringLiteral("EXECUTE"),
        QStringLiteral("INTO"),       QStringLiteral("CREATE"),        QStringLiteral("ALTER"),
        QStringLiteral("DROP"),       QStringLiteral("TRUNCATE"),      QStringLiteral("GRANT"),
        QStringLiteral("REVOKE"),     QStringLiteral("DENY"),          QStringLiteral("BEGIN"),
        QStringLiteral("COMMIT"),     QStringLiteral("ROLLBACK"),      QStringLiteral("SAVE"),
        QStringLiteral("SET"),        QStringLiteral("DECLARE"),       QStringLiteral("USE"),
        QStringLiteral("BULK"),       QStringLiteral("BACKUP"),        QStringLiteral("RESTORE"),
        QStringLiteral("DBCC"),       QStringLiteral("KILL"),          QStringLiteral("OPENQUERY"),
        QStringLiteral("OPENROWSET"), QStringLiteral("OPENDATASOURCE")};
    return palabras;
}

bool empiezaPalabra(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#');
}

bool siguePalabra(QChar c) {
    return empiezaPalabra(c) || c.isDigit() || c == QLatin1Char('$');
}

// The position after the piece that starts at `i` and ends with `cierre`,
// where a doubled `cierre` stands for itself (literals and quoted names).
qsizetype saltarEntre(const QString& texto, qsizetype i, QChar cierre) {
    for (++i; i < texto.size(); ++i) {
        if (texto[i] == cierre) {
            if (i + 1 < texto.size() && texto[i + 1] == cierre) {
                ++i;
                continue;
            }
            return i + 1;
        }
    }
    return texto.size();
}

// The position after a block comment that starts at `i`; they nest.
qsizetype saltarComentario(const QString& texto, qsizetype i) {
    int profundidad = 0;
    while (i + 1 < texto.size()) {
        if (texto[i] == QLatin1Char('/') && texto[i + 1] == QLatin1Char('*')) {
            ++profundidad;
            i += 2;
        } else if (texto[i] == QLatin1Char('*') && texto[i + 1] == QLatin1Char('/')) {
            i += 2;
            if (--profundidad == 0) {
                return i;
            }
        } else {
            ++i;
        }
    }
    return texto.size();
}

} // namespace

bool puedeModificarDatos(const QString& sentencia) {
    bool primera = true;
    QString anterior;
    qsizetype i = 0;
    while (i < sentencia.size()) {
        const QChar c = sentencia[i];
        const QChar siguiente = i + 1 < sentencia.size() ? sentencia[i + 1] : QChar();
        if (c == QLatin1Char('\'')) {
            i = saltarEntre(sentencia, i, QLatin1Char('\''));
        } else if (c == QLatin1Char('"')) {
            i = saltarEntre(sentencia, i, QLatin1Char('"'));
        } else if (c == QLatin1Char('[')) {
            i = saltarEntre(sentencia, i, QLatin1Char(']'));
        } else if (c == QLatin1Char('-') && siguiente == QLatin1Char('-')) {
            const qsizetype fin = sentencia.indexOf(QLatin1Char('\n'), i);
            i = fin < 0 ? sentencia.size() : fin;
        } else if (c == QLatin1Char('/') && siguiente == QLatin1Char('*')) {
            i = saltarComentario(sentencia, i);
        } else if (empiezaPalabra(c)) {
            const qsizetype inicio = i;
            while (i < sentencia.size() && siguePalabra(sentencia[i])) {
                ++i;
            }
            const QString palabra = sentencia.mid(inicio, i - inicio).toUpper();
            if (palabra.startsWith(QLatin1Char('@')) || palabra.startsWith(QLatin1Char('#'))) {
                continue; // a variable or a temporary table's name
            }
            if (primera && palabra != QLatin1String("SELECT") && palabra != QLatin1String("WITH")) {
                return true;
            }
            primera = false;
            // NEXT VALUE FOR takes a number from a sequence for good.
            if (palabrasQueEscriben().contains(palabra) ||
                (palabra == QLatin1String("VALUE") && anterior == QLatin1String("NEXT"))) {
                return true;
            }
            anterior = palabra;
        } else {
            ++i;
        }
    }
    return false;
}

} // namespace estaciones::data
