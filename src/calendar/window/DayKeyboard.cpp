#include "calendar/window/DayKeyboard.h"

#include "calendar/extras/DayRange.h"
#include "calendar/window/DayCell.h"

#include <QAction>
#include <QKeyEvent>
#include <QScrollArea>

namespace estaciones::calendar::window {

namespace {
// The option a digit key chooses, or -1.
int optionOfKey(int key) {
    return key >= Qt::Key_1 && key <= Qt::Key_5 ? key - Qt::Key_1 : -1;
}

bool isMarkKey(int key) {
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The form scrolls when the window is small: the focused day is brought
// into sight.
void reveal(QWidget& cell) {
    for (QWidget* w = cell.parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(w)) {
            area->ensureWidgetVisible(&cell);
            return;
        }
    }
}
} // namespace

DayKeyboard::DayKeyboard(QWidget& window, Grid grid)
    : QObject(&window), m_window(window), m_grid(std::move(grid)) {
    setObjectName(QStringLiteral("DayKeyboard"));
    m_f2 = new QAction(&window);
    m_f2->setObjectName(QStringLiteral("AccFocoDias"));
    m_f2->setShortcut(QKeySequence(Qt::Key_F2));
    m_f2->setShortcutContext(Qt::WindowShortcut);
    connect(m_f2, &QAction::triggered, this, &DayKeyboard::focusGrid);
    window.addAction(m_f2);
}

void DayKeyboard::watch(DayCell& cell) {
    cell.installEventFilter(this);
}

void DayKeyboard::focusGrid() {
    const int year = m_grid.shownYear();
    if (!m_focus.isValid() || m_focus.year() != year) {
        m_focus = QDate(year, 1, 1);
    }
    placeFocus(true);
}

void DayKeyboard::dayClicked(const QDate& date) {
    clearSelection();
    m_focus = date;
    placeFocus(false);
}

void DayKeyboard::yearPainted() {
    if (!m_focus.isValid()) {
        return;
    }
    const int year = m_grid.shownYear();
    if (m_focus.year() != year) {
        // The same day and month in the year shown (28 February for the 29th).
        const QDate same(year, m_focus.month(), 1);
        m_focus = same.addDays(std::min(m_focus.day(), same.daysInMonth()) - 1);
        m_selectionStart = QDate();
    }
    const bool hadFocus = m_focusCell != nullptr && m_focusCell->hasFocus();
    placeFocus(hadFocus);
    showSelection();
}

bool DayKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyRelease) {
        // The cell would take a released Space for a click of its own.
        return isMarkKey(key->key());
    }
    if (watched != m_focusCell) {
        return false;
    }
    return handleKey(key->key(), key->modifiers());
}

bool DayKeyboard::handleKey(int key, Qt::KeyboardModifiers modifiers) {
    if (const int option = optionOfKey(key); option >= 0) {
        m_grid.chooseOption(option);
        placeFocus(true); // choosing an option must not take the focus off the day
        return true;
    }
    if (isMarkKey(key)) {
        const QDate start = m_selectionStart;
        clearSelection();
        if (start.isValid() && start != m_focus) {
            m_grid.markRange(start, m_focus);
        } else {
            m_grid.markDay(m_focus);
        }
        return true;
    }
    const std::optional<QDate> to = target(key);
    if (!to) {
        return false;
    }
    // At the ends of the year the key does nothing.
    if (to->year() == m_focus.year()) {
        moveTo(*to, modifiers & Qt::ShiftModifier);
    }
    return true;
}

std::optional<QDate> DayKeyboard::target(int key) const {
    QDate to;
    switch (key) {
    case Qt::Key_Left:
        to = m_focus.addDays(-1);
        break;
    case Qt::Key_Right:
        to = m_focus.addDays(1);
        break;
    case Qt::Key_Up:
        to = m_focus.addDays(-7);
        break;
    case Qt::Key_Down:
        to = m_focus.addDays(7);
        break;
    case Qt::Key_PageUp:
        to = m_focus.addMonths(-1);
        break;
    case Qt::Key_PageDown:
        to = m_focus.addMonths(1);
        break;
    case Qt::Key_Home:
        to = QDate(m_focus.year(), m_focus.month(), 1);
        break;
    case Qt::Key_End:
        to = QDate(m_focus.year(), m_focus.month(), m_focus.daysInMonth());
        break;
    default:
        return std::nullopt;
    }
    return to;
}

void DayKeyboard::moveTo(const QDate& date, bool extend) {
    if (extend && !m_selectionStart.isValid()) {
        m_selectionStart = m_focus;
    } else if (!extend) {
        m_selectionStart = QDate();
    }
    m_focus = date;
    placeFocus(true);
    showSelection();
}

void DayKeyboard::placeFocus(bool take) {
    DayCell* cell = m_focus.isValid() ? m_grid.cellOf(m_focus) : nullptr;
    if (m_focusCell != nullptr && m_focusCell != cell) {
        m_focusCell->setFocusPolicy(Qt::NoFocus);
    }
    m_focusCell = cell;
    if (cell == nullptr) {
        return;
    }
    // Tab and F2 reach it; a mouse click does not take the focus, so the
    // focus frame shows only to those who use the keyboard.
    cell->setFocusPolicy(Qt::TabFocus);
    if (m_grid.tabAfter != nullptr) {
        QWidget::setTabOrder(m_grid.tabAfter, cell);
    }
    if (take) {
        cell->setFocus(Qt::OtherFocusReason);
        reveal(*cell);
    }
}

void DayKeyboard::showSelection() {
    for (DayCell* cell : std::as_const(m_selected)) {
        cell->setSelectedShown(false);
    }
    m_selected.clear();
    if (!m_selectionStart.isValid()) {
        return;
    }
    for (const QDate& date : extras::datesInRange(m_selectionStart, m_focus)) {
        if (DayCell* cell = m_grid.cellOf(date)) {
            cell->setSelectedShown(true);
            m_selected.append(cell);
        }
    }
}

void DayKeyboard::clearSelection() {
    m_selectionStart = QDate();
    showSelection();
}

} // namespace estaciones::calendar::window
