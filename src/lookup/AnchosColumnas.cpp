#include "lookup/AnchosColumnas.h"

#include "platform/core/Error.h"
#include "platform/os/System.h"
#include "session/library/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cmath>
#include <limits>

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

QList<LineaAnchos> leerArchivo(const QString& ruta) {
    QList<LineaAnchos> lineas;
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        return lineas;
    }
    const QString texto = library::decodeSharedText(archivo.readAll());
    for (QString linea : texto.split(u'\n')) {
        linea.remove(u'\r');
        if (linea.trimmed().isEmpty()) {
            continue;
        }
        if (std::optional<LineaAnchos> leida = leerLinea(linea)) {
            lineas << *leida;
        }
    }
    return lineas;
}
} // namespace

std::optional<QList<int>> leerAnchosColumnas(const QString& carpeta, const QString& tabla) {
    const QString buscada =
        tabla.trimmed().compare(QLatin1String("Stk_ma_articulos"), Qt::CaseInsensitive) == 0
            ? QStringLiteral("VT_MA_ARTICULOS")
            : tabla.trimmed();
    for (const LineaAnchos& linea : leerArchivo(QDir(carpeta).filePath(archivoAnchos))) {
        if (linea.tabla.trimmed().compare(buscada, Qt::CaseInsensitive) != 0) {
            continue;
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
        return anchos;
    }
    return std::nullopt;
}

void guardarAnchosColumnas(const QString& carpeta, const QString& tabla,
                           const QList<int>& anchosTwips) {
    const QDir dir(carpeta);
    QString contenido;
    for (const LineaAnchos& linea : leerArchivo(dir.filePath(archivoAnchos))) {
        if (linea.tabla.trimmed().compare(tabla.trimmed(), Qt::CaseInsensitive) != 0) {
            contenido += escribirCampo(linea.tabla) + u',' + escribirCampo(linea.anchos) +
                         QStringLiteral("\r\n");
        }
    }
    QString anchos;
    for (int ancho : anchosTwips) {
        anchos += QString::number(ancho) + u'|';
    }
    contenido += escribirCampo(tabla) + u',' + escribirCampo(anchos) + QStringLiteral("\r\n");

    QFile auxiliar(dir.filePath(archivoAuxiliar));
    if (!auxiliar.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        auxiliar.write(library::toWindows1252(contenido)) < 0) {
        throw standardError(errnum::PathFileAccessError, auxiliar.fileName());
    }
    auxiliar.close();
    QFile::remove(dir.filePath(archivoAnchos));
    if (!QFile::rename(auxiliar.fileName(), dir.filePath(archivoAnchos))) {
        throw standardError(errnum::PathFileAccessError, dir.filePath(archivoAnchos));
    }
}

QString carpetaAnchosColumnas() {
    return os::writableProgramFolder(os::programFolder());
}

} // namespace estaciones::lookup
