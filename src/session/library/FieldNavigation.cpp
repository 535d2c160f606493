#include "session/library/FieldNavigation.h"

#include <QKeyEvent>
#include <QWidget>

namespace estaciones::library {

bool isFieldAdvanceKey(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        return false;
    }
    const int key = event.key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down;
}

bool advanceFocus(QWidget& from) {
    for (QWidget* next = from.nextInFocusChain(); next && next != &from;
         next = next->nextInFocusChain()) {
        if (next->window() == from.window() && (next->focusPolicy() & Qt::TabFocus) &&
            next->isEnabled() && next->isVisibleTo(from.window())) {
            next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

bool FieldNavigation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (isFieldAdvanceKey(key)) {
            advanceFocus(static_cast<QWidget&>(*watched));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace estaciones::library
