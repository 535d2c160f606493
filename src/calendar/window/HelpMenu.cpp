#include "calendar/window/HelpMenu.h"

#include "calendar/CalendarTexts.h"
#include "platform/core/ErrorHandling.h"
#include "session/Ayuda.h"
#include "session/MostrarError.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace estaciones::calendar::window {

namespace {
QAction* addPage(QMenu& menu, const QString& name, const QString& text,
                 const std::function<QString()>& page) {
    QAction* action = menu.addAction(text);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, &menu, [name, page] {
        guarded([&] { session::AbrirAyuda(page()); },
                [&](const Error& error) { session::MostrarError(error, name + "_Click"); });
    });
    return action;
}
} // namespace

void addHelpMenu(QMainWindow& window) {
    QMenu* menu = window.menuBar()->addMenu(texts::helpMenu);
    menu->setObjectName(QStringLiteral("MNU_Ayuda"));
    QAction* manual = addPage(*menu, QStringLiteral("MNU_AyudaOperador"), texts::operatorManual,
                              session::archivoAyudaOperador);
    manual->setShortcut(QKeySequence(Qt::Key_F1));
    // F1 wherever the focus is in the window, menu closed or not.
    manual->setShortcutContext(Qt::WindowShortcut);
    window.addAction(manual);
    addPage(*menu, QStringLiteral("MNU_AyudaAdministracion"), texts::administrationGuide,
            session::archivoGuiaAdministracion);
}

} // namespace estaciones::calendar::window
