#include "app/ReproduccionEntrada.h"

#include "app/EntradaSimulada.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeySequence>
#include <QPixmap>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace estaciones::app {

namespace {
// A small pause between steps, so that repaints and queued signals settle as
// they would between an operator's clicks.
constexpr int pausaEntrePasosMs = 20;

void informarPaso(const QString& texto) {
    std::fprintf(stderr, "%s\n", texto.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool esVisible(const QWidget& widget) {
    return widget.isVisibleTo(widget.window()) && widget.isEnabled();
}

// Where a click lands on the control. Option buttons and check boxes react
// only over their indicator and label, which need not cover the centre of a
// wide control.
QPoint puntoDeClic(const QWidget& widget) {
    const bool esOpcion = qobject_cast<const QRadioButton*>(&widget) != nullptr;
    if (esOpcion || qobject_cast<const QCheckBox*>(&widget) != nullptr) {
        const auto& boton = static_cast<const QAbstractButton&>(widget);
        QStyleOptionButton opcion;
        opcion.initFrom(&boton);
        opcion.text = boton.text();
        opcion.icon = boton.icon();
        opcion.iconSize = boton.iconSize();
        const QRect zona = boton.style()->subElementRect(esOpcion ? QStyle::SE_RadioButtonClickRect
                                                                  : QStyle::SE_CheckBoxClickRect,
                                                         &opcion, &boton);
        if (zona.isValid()) {
            return zona.center();
        }
    }
    return widget.rect().center();
}
} // namespace

ReproduccionEntrada::ReproduccionEntrada(QWidget& ventana, QStringList pasos, Respuestas respuestas)
    : QObject(&ventana), m_ventana(ventana), m_pasos(std::move(pasos)),
      m_respuestas(std::move(respuestas)) {}

QStringList ReproduccionEntrada::pasosDesdeEntorno(QString& error) {
    const QString archivo = qEnvironmentVariable("ESTACIONES_REPRODUCIR");
    if (archivo.isEmpty()) {
        return {};
    }
    QFile file(archivo);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("No se puede leer el archivo de reproducción ") + archivo;
        return {};
    }
    QStringList pasos;
    for (const QString& linea : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString paso = linea.trimmed();
        if (!paso.isEmpty() && !paso.startsWith(u'#')) {
            pasos << paso;
        }
    }
    return pasos;
}

void ReproduccionEntrada::comenzar() {
    QTimer::singleShot(pausaEntrePasosMs, this, &ReproduccionEntrada::siguiente);
}

void ReproduccionEntrada::siguiente() {
    if (m_actual >= m_pasos.size()) {
        return;
    }
    const QString paso = m_pasos.at(m_actual++);
    informarPaso(QStringLiteral("[reproducción] ") + paso);
    int esperaMs = pausaEntrePasosMs;
    const QString fallo = ejecutar(paso.split(u' ', Qt::SkipEmptyParts), esperaMs);
    if (!fallo.isEmpty()) {
        informarPaso(
            QStringLiteral("[reproducción] paso %1 \"%2\": %3").arg(m_actual).arg(paso, fallo));
        QCoreApplication::exit(3);
        return;
    }
    QTimer::singleShot(esperaMs, this, &ReproduccionEntrada::siguiente);
}

QString ReproduccionEntrada::ejecutar(const QStringList& partes, int& esperaMs) {
    const QString orden = partes.value(0).toLower();
    if (orden == QLatin1String("esperar") && partes.size() == 2) {
        esperaMs = partes.at(1).toInt();
        return {};
    }
    if (orden == QLatin1String("color") && partes.size() == 2) {
        bool ok = false;
        const std::uint32_t bgr = partes.at(1).toUInt(&ok);
        if (!ok) {
            return QStringLiteral("color no numérico");
        }
        m_respuestas.color(bgr);
        return {};
    }
    if (orden == QLatin1String("archivo") && partes.size() >= 2) {
        m_respuestas.archivo(partes.mid(1).join(u' '));
        return {};
    }
    if (orden == QLatin1String("teclas") && partes.size() >= 2) {
        return pulsarTeclas(partes.mid(1));
    }
    if (orden == QLatin1String("captura") && partes.size() >= 2) {
        const QString archivo = partes.mid(1).join(u' ');
        if (!m_ventana.grab().save(archivo)) {
            return QStringLiteral("no se puede guardar la imagen en ") + archivo;
        }
        return {};
    }
    QWidget* destino = nullptr;
    if (orden == QLatin1String("dia") && partes.size() == 3) {
        destino = celdaDelDia(partes.at(1).toInt(), partes.at(2).toInt());
        if (destino == nullptr) {
            return QStringLiteral("no hay una celda visible para ese día");
        }
    } else if ((orden == QLatin1String("clic") && (partes.size() == 2 || partes.size() == 3)) ||
               ((orden == QLatin1String("tecla") || orden == QLatin1String("escribir")) &&
                partes.size() >= 3)) {
        destino =
            control(partes.at(1), orden == QLatin1String("clic") ? partes.value(2) : QString());
        if (destino == nullptr) {
            return QStringLiteral("no se encuentra el control ") + partes.at(1);
        }
    } else {
        return QStringLiteral("orden desconocida o incompleta");
    }
    if (!esVisible(*destino)) {
        return QStringLiteral("el control no está visible o habilitado");
    }
    if (orden == QLatin1String("tecla")) {
        const QKeySequence secuencia(partes.mid(2).join(u' '));
        if (secuencia.isEmpty()) {
            return QStringLiteral("tecla desconocida");
        }
        const QKeyCombination tecla = secuencia[0];
        destino->setFocus(Qt::OtherFocusReason);
        pulsarTecla(destino, tecla.key(), tecla.keyboardModifiers());
    } else if (orden == QLatin1String("escribir")) {
        destino->setFocus(Qt::OtherFocusReason);
        escribirTexto(destino, partes.mid(2).join(u' '));
    } else {
        clicIzquierdo(destino, puntoDeClic(*destino));
    }
    return {};
}

QString ReproduccionEntrada::pulsarTeclas(const QStringList& teclas) {
    for (const QString& nombre : teclas) {
        const QKeySequence secuencia(nombre);
        if (secuencia.isEmpty() || secuencia[0].key() == Qt::Key_unknown) {
            return QStringLiteral("tecla desconocida: ") + nombre;
        }
        // Each key goes where the focus is at that moment, as typing does.
        QWidget* destino = QApplication::focusWidget();
        if (destino == nullptr || destino->window() != m_ventana.window()) {
            destino = &m_ventana;
        }
        const QKeyCombination tecla = secuencia[0];
        pulsarTecla(destino, tecla.key(), tecla.keyboardModifiers());
    }
    return {};
}

QWidget* ReproduccionEntrada::control(const QString& nombre, const QString& indice) const {
    for (QWidget* widget : m_ventana.findChildren<QWidget*>(nombre)) {
        if (indice.isEmpty() || widget->property("Index").toString() == indice) {
            return widget;
        }
    }
    return m_ventana.objectName() == nombre ? &m_ventana : nullptr;
}

QWidget* ReproduccionEntrada::celdaDelDia(int dia, int mes) const {
    const QString nombre = QStringLiteral("OptDia%1").arg(mes);
    for (auto* celda : m_ventana.findChildren<QAbstractButton*>(nombre)) {
        if (esVisible(*celda) && celda->text().trimmed() == QString::number(dia)) {
            return celda;
        }
    }
    return nullptr;
}

} // namespace estaciones::app
