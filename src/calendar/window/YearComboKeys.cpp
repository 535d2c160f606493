#include "calendar/window/YearComboKeys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace estaciones::calendar::window {

YearComboKeys::YearComboKeys(QComboBox& combo, std::function<void()> onEnter)
    : QObject(&combo), m_onEnter(std::move(onEnter)) {
    combo.installEventFilter(this);
    if (QLineEdit* edit = combo.lineEdit()) {
        edit->installEventFilter(this);
        // Pasting and dropping would type the year by other means.
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        edit->setAcceptDrops(false);
    }
}

bool YearComboKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        m_onEnter();
        return true;
    }
    const bool typesSomething = !key->text().isEmpty() && key->key() != Qt::Key_Tab &&
                                key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Escape;
    return typesSomething || key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
           key->key() == Qt::Key_Delete;
}

} // namespace estaciones::calendar::window
