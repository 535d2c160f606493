#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class QWidget;

namespace estaciones::app {

// Replays an operator's input on the real window, for end-to-end runs of the
// program (ESTACIONES_REPRODUCIR names the file). Events go through Qt's event
// delivery to widgets found by objectName, exactly as mouse and keyboard
// input would; nothing calls a handler directly. One step per line:
//
//   esperar 200            let the event loop run for 200 ms
//   clic CmdSalir          click a control (an array element: "clic OptTemp 2")
//   dia 5 3                click the day 5 of March of the year shown
//   tecla CmbAnio Down     a key (QKeySequence spelling) on a control
//   escribir CmbAnio 2027  type text into a control
//   teclas F2 Right Space  key presses, one after another, to the widget that
//                          has the focus (QKeySequence spelling)
//   color 255              answer the next colour choice with this BGR value
//   archivo /tmp/año.pdf   answer the next file dialog with this path
//   captura ventana.png    save a picture of the window as it is now
//
// Blank lines and lines starting with "#" are skipped. A step that cannot be
// done ends the program with exit code 3 and says why on stderr.
class ReproduccionEntrada : public QObject {
    Q_OBJECT
public:
    // How the dialogs that the steps answer are answered.
    struct Respuestas {
        std::function<void(std::uint32_t bgr)> color;
        std::function<void(const QString& ruta)> archivo;
    };

    ReproduccionEntrada(QWidget& ventana, QStringList pasos, Respuestas respuestas);

    // The steps of ESTACIONES_REPRODUCIR, or an empty list when it is not
    // set; `error` is set when the file cannot be read.
    static QStringList pasosDesdeEntorno(QString& error);

    // Runs the steps one after another from the event loop.
    void comenzar();

private:
    void siguiente();
    // "" when done, else the reason the step failed.
    QString ejecutar(const QStringList& partes, int& esperaMs);
    QString pulsarTeclas(const QStringList& teclas);
    QWidget* control(const QString& nombre, const QString& indice) const;
    QWidget* celdaDelDia(int dia, int mes) const;

    QWidget& m_ventana;
    QStringList m_pasos;
    Respuestas m_respuestas;
    int m_actual = 0;
};

} // namespace estaciones::app
