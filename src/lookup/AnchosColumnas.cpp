#include "lookup/AnchosColumnas.h"

#include "platform/core/Error.h"
#include "platform/os/System.h"
#include "session/library/SharedTextLines.h"
#include "session/library/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>

namespace estaciones::lookup {

namespace {
const QString archivoAnchos = QStringLiteral("CONSULTASLEN.TSF");
const QString archivoAuxiliar = QStringLiteral("CONSULTASLEN.AUX");

struct LineaAnchos {
    QString tabla;
    QString anchos; // "1200|800|"
};

// One line of the "write" format: quoted fields separated by commas, a quote
// inside a field doubled.
std::optional<LineaAnchos> leerLinea(const QString& linea) {
    QStringList campos;
    QString campo;
    bool entreComillas = false;
    for (qsizetype i = 0; i < linea.size(); ++i) {
        const QChar c = linea.at(i);
        if (c == u'"') {
            if (entreComillas && i + 1 < linea.size() && linea.at(i + 1) == u'"') {
                campo += c;
                ++i;
            } else {
                entreComillas = !entreComillas;
            }
        } else if (c == u',' && !entreComillas) {
            campos << campo;
            campo.clear();
        } else {
            campo += c;
        }
    }
    campos << campo;
    if (campos.size() < 2) {
        return std::nullopt;
    }
    return LineaAnchos{campos.at(0), campos.at(1)};
}

QString escribirCampo(const QString& texto) {
    QString doblado = texto;
    return u'"' + doblado.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// Calls `visitar` with each readable line of the file, in order, until it
// returns false; nothing when the file is missing. One line is held at a
// time, whatever the file's size.
template <class Visitar> void recorrerArchivo(const QString& ruta, Visitar visitar) {
    library::SharedTextLines lineas;
    if (!lineas.open(ruta)) {
        return;
    }
    while (std::optional<QString> linea = lineas.next()) {
        linea->remove(u'\r');
        if (linea->trimmed().isEmpty()) {
            continue;
        }
        if (std::optional<LineaAnchos> leida = leerLinea(*linea); leida && !visitar(*leida)) {
            return;
        }
    }
}

QByteArray lineaDeArchivo(const QString& tabla, const QString& anchos) {
    return library::toWindows1252(escribirCampo(tabla) + u',' + escribirCampo(anchos) +
                                  QStringLiteral("\r\n"));
}
} // namespace

std::optional<QList<int>> leerAnchosColumnas(const QString& carpeta, const QString& tabla) {
    const QString buscada =
        tabla.trimmed().compare(QLatin1String("Stk_ma_articulos"), Qt::CaseInsensitive) == 0
            ? QStringLiteral("VT_MA_ARTICULOS")
            : tabla.trimmed();
    std::optional<QList<int>> encontrados;
    recorrerArchivo(QDir(carpeta).filePath(archivoAnchos), [&](const LineaAnchos& linea) {
        if (linea.tabla.trimmed().compare(buscada, Qt::CaseInsensitive) != 0) {
            return true;
        }
        QList<int> anchos;
        for (const QString& ancho : linea.anchos.split(u'|', Qt::SkipEmptyParts)) {
            // A width that is no number, or none an int can hold (a damaged or
            // hand-edited file), reads as 0, as unreadable text always has.
            const double twips = ancho.trimmed().toDouble();
            const bool cabe = std::isfinite(twips) && twips > std::numeric_limits<int>::min() &&
                              twips < std::numeric_limits<int>::max();
            anchos << (cabe ? static_cast<int>(twips) : 0);
        }
        encontrados = std::move(anchos);
        return false;
    });
    return encontrados;
}

void guardarAnchosColumnas(const QString& carpeta, const QString& tabla,
                           const QList<int>& anchosTwips) {
    const QDir dir(carpeta);
    // The other tables' lines go straight to the copy: the file is never
    // held whole.
    QFile auxiliar(dir.filePath(archivoAuxiliar));
    bool escrito = auxiliar.open(QIODevice::WriteOnly | QIODevice::Truncate);
    recorrerArchivo(dir.filePath(archivoAnchos), [&](const LineaAnchos& linea) {
        if (linea.tabla.trimmed().compare(tabla.trimmed(), Qt::CaseInsensitive) != 0) {
            escrito = escrito && auxiliar.write(lineaDeArchivo(linea.tabla, linea.anchos)) >= 0;
        }
        return escrito;
    });
    QString anchos;
    for (int ancho : anchosTwips) {
        anchos += QString::number(ancho) + u'|';
    }
    escrito = escrito && auxiliar.write(lineaDeArchivo(tabla, anchos)) >= 0;
    if (escrito) {
        auxiliar.close();
        escrito = auxiliar.error() == QFileDevice::NoError;
    }
    if (!escrito) {
        // A half-written copy never replaces the file.
        auxiliar.close();
        QFile::remove(auxiliar.fileName());
        throw standardError(errnum::PathFileAccessError, auxiliar.fileName());
    }
    QFile::remove(dir.filePath(archivoAnchos));
    if (!QFile::rename(auxiliar.fileName(), dir.filePath(archivoAnchos))) {
        throw standardError(errnum::PathFileAccessError, dir.filePath(archivoAnchos));
    }
}

QString carpetaAnchosColumnas() {
    return os::writableProgramFolder(os::programFolder());
}

} // namespace estaciones::lookup
