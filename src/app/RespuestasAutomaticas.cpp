#include "app/RespuestasAutomaticas.h"

#include "data/DataTexts.h"

#include <QStringList>

#include <cstdio>

namespace estaciones::app {

namespace {
void informar(const QString& texto) {
    std::fprintf(stderr, "%s\n", texto.toLocal8Bit().constData());
    std::fflush(stderr);
}
} // namespace

RespuestasAutomaticas::RespuestasAutomaticas(ui::OperatorInterface& real, QList<int> respuestas)
    : m_real(real), m_respuestas(std::move(respuestas)) {}

std::optional<QList<int>> RespuestasAutomaticas::desdeEntorno() {
    if (!qEnvironmentVariableIsSet("ESTACIONES_RESPUESTAS_AUTOMATICAS")) {
        return std::nullopt;
    }
    QList<int> respuestas;
    const QString lista = qEnvironmentVariable("ESTACIONES_RESPUESTAS_AUTOMATICAS");
    for (const QString& parte : lista.split(u',', Qt::SkipEmptyParts)) {
        respuestas << parte.trimmed().toInt();
    }
    return respuestas;
}

int RespuestasAutomaticas::messageBox(const QString& text, int flags, const QString& title) {
    const int respuesta = m_respuestas.isEmpty() ? ui::reply::Cancel : m_respuestas.takeFirst();
    QString mostrado = text;
    mostrado.replace(u'\r', u'\n');
    informar(QStringLiteral("[message box] title=\"%1\" flags=%2 answer=%3\n%4")
                 .arg(title)
                 .arg(flags)
                 .arg(respuesta)
                 .arg(mostrado));
    return respuesta;
}

std::optional<QString> RespuestasAutomaticas::inputBox(const QString& prompt, const QString& title,
                                                       const QString& defaultText) {
    return m_real.inputBox(prompt, title, defaultText);
}

std::optional<std::uint32_t> RespuestasAutomaticas::chooseColor(std::uint32_t initialBgr) {
    if (m_colores.isEmpty()) {
        return m_real.chooseColor(initialBgr);
    }
    const std::uint32_t color = m_colores.takeFirst();
    informar(QStringLiteral("[color] initial=%1 answer=%2").arg(initialBgr).arg(color));
    return color;
}

std::optional<QString> RespuestasAutomaticas::openFile(const QString& title, const QString& filter,
                                                       const QString& initialFolder) {
    if (m_archivos.isEmpty()) {
        return m_real.openFile(title, filter, initialFolder);
    }
    const QString ruta = m_archivos.takeFirst();
    informar(
        QStringLiteral("[archivo] title=\"%1\" filter=\"%2\" answer=%3").arg(title, filter, ruta));
    return ruta;
}

std::optional<QString> RespuestasAutomaticas::saveFile(const QString& title, const QString& filter,
                                                       const QString& suggestedPath) {
    if (m_archivos.isEmpty()) {
        return m_real.saveFile(title, filter, suggestedPath);
    }
    const QString ruta = m_archivos.takeFirst();
    informar(QStringLiteral("[archivo] title=\"%1\" filter=\"%2\" suggested=%3 answer=%4")
                 .arg(title, filter, suggestedPath, ruta));
    return ruta;
}

void RespuestasAutomaticas::processEvents() {
    m_real.processEvents();
}

std::optional<data::DatosAcceso> RespuestasAutomaticas::pedirDatos(const data::DatosAcceso& datos) {
    informar(QStringLiteral("[%1] server=\"%2\" database=\"%3\" user=\"%4\": cancelled")
                 .arg(data::texts::tituloAcceso, datos.servidor, datos.baseDeDatos, datos.usuario));
    return std::nullopt;
}

} // namespace estaciones::app
