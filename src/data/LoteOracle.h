#pragma once

#include <QString>

#include <vector>

namespace estaciones::data {

// How a statement text meant for SQL Server runs on an Oracle connection: the
// text is normalised and cut at the start of each of twelve keywords, and each
// piece becomes a transaction call or a statement of its own.
struct PasoLoteOracle {
    enum class Tipo { IniciarTransaccion, ConfirmarTransaccion, DeshacerTransaccion, Sentencia };
    Tipo tipo;
    QString texto; // the piece, trimmed (for Sentencia: still untranslated)
};

// The twelve keywords, in the order they are searched (trailing blanks belong
// to them).
const QStringList& palabrasClaveOracle();

// The position that means "no keyword found".
constexpr qsizetype sinPalabraClave = 1999999;

// The first normalisation: NOCOUNT settings dropped, GO separators and line
// ends turned into blanks, BEGIN/COMMIT/ROLLBACK TRANS[ACTION] into Oracle's words.
QString normalizarLoteOracle(const QString& texto);

// The pieces of a normalised text, in order. A text without any keyword gives none.
std::vector<PasoLoteOracle> dividirLoteOracle(const QString& normalizado);

// "" when the statement cannot run on Oracle (SET NOCOUNT, IF NOT EXIST);
// otherwise the statement unchanged.
QString FiltraSentenciaOracle(const QString& Sentencia);

} // namespace estaciones::data
