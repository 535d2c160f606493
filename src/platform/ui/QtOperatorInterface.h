#pragma once

#include "platform/ui/OperatorInterface.h"

class QWidget;
class QCoreApplication;

namespace estaciones::ui {

// The operator interface of the real program: modal Qt dialogs with Spanish
// captions, parented to the active window.
class QtOperatorInterface : public OperatorInterface {
public:
    int messageBox(const QString& text, int flags, const QString& title) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initialBgr) override;
    std::optional<QString> openFile(const QString& title, const QString& filter,
                                    const QString& initialFolder) override;
    std::optional<QString> saveFile(const QString& title, const QString& filter,
                                    const QString& suggestedPath) override;
    void processEvents() override;
};

// Converts the original's filter ("Texto |*.MDB|Todos|*.*") to Qt's
// ("Texto (*.MDB);;Todos (*.*)").
QString toQtFileFilter(const QString& filter);

// Loads Qt's own Spanish translations (standard dialogs) into the application.
// Returns false when they are not installed on this machine.
bool installSpanishTranslations(QCoreApplication& app);

} // namespace estaciones::ui
