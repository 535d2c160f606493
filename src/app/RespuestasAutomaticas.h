#pragma once

#include "data/AccesoDialogo.h"
#include "platform/ui/OperatorInterface.h"

#include <QList>
#include <QStringList>

namespace estaciones::app {

// For automated runs of the real program (ESTACIONES_RESPUESTAS_AUTOMATICAS,
// e.g. "6,7"): message boxes are answered from that list instead of being
// shown, the access dialog counts as cancelled, and each of them is printed
// to stderr so that the run can be checked. Other dialogs go to the operator
// interface it wraps. A message box beyond the list is answered with Cancel.
// Colour choices queued with responderColor() and file choices (open or
// save) queued with responderArchivo() are answered the same way.
class RespuestasAutomaticas : public ui::OperatorInterface, public data::AccesoDialogo {
public:
    RespuestasAutomaticas(ui::OperatorInterface& real, QList<int> respuestas);

    // The list of ESTACIONES_RESPUESTAS_AUTOMATICAS, or nothing when it is not set.
    static std::optional<QList<int>> desdeEntorno();

    int messageBox(const QString& text, int flags, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initialBgr) override;
    std::optional<QString> openFile(const QString& title, const QString& filter,
                                    const QString& initialFolder) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
                                    const QString& suggestedPath) override;
    void processEvents() override;

    std::optional<data::DatosAcceso> pedirDatos(const data::DatosAcceso& datos) override;

    // The answer (BGR) of the next colour choice.
    void responderColor(std::uint32_t bgr) { m_colores << bgr; }
    // The answer (a path) of the next file dialog.
    void responderArchivo(const QString& ruta) { m_archivos << ruta; }

private:
    ui::OperatorInterface& m_real;
    QList<int> m_respuestas;
    QList<std::uint32_t> m_colores;
    QStringList m_archivos;
};

} // namespace estaciones::app
