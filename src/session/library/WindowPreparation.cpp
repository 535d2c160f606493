#include "session/library/WindowPreparation.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace estaciones::library {

void prepareWindow(QWidget& window, bool centre) {
    fitOnScreen(window, window.size(), centre);
}

void fitOnScreen(QWidget& window, const QSize& size, bool centre) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size() - window.size();
    window.resize(size.boundedTo(available.size() - frame));
    if (centre) {
        const QSize outer = window.size() + frame;
        const QSize margin = (available.size() - outer) / 2;
        window.move(available.topLeft() + QPoint(margin.width(), margin.height()));
    }
}

} // namespace estaciones::library
