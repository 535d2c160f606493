#pragma once

#include <QDate>
#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class QAction;
class QWidget;

namespace estaciones::calendar::window {

class DayCell;

// The day grid by keyboard alone. F2 puts the focus on a day (1 January of
// the year shown the first time, then the day focused last); the arrows
// move it a day or a week, Page Up and Page Down a month, Home and End to
// the ends of the month, across months; Shift with them selects a range;
// 1 to 4 choose BAJA, MEDIA, ALTA, ESPECIAL and 5 "No laborable"; Space or
// Enter marks the focused day, or the selected days.
//
// Only the focused day's cell is in the Tab chain, so Tab reaches the grid
// once, between the side controls and the toolbar.
class DayKeyboard : public QObject {
    Q_OBJECT
public:
    // What the grid offers the keyboard.
    struct Grid {
        // The cell showing `date`; nullptr for a date outside the year shown.
        std::function<DayCell*(const QDate&)> cellOf;
        std::function<int()> shownYear;
        std::function<void(const QDate&)> markDay;
        std::function<void(const QDate& from, const QDate& to)> markRange;
        // 0..3 the seasons, 4 "No laborable".
        std::function<void(int option)> chooseOption;
        // The control the grid follows in the Tab chain.
        QWidget* tabAfter = nullptr;
    };

    DayKeyboard(QWidget& window, Grid grid);

    void watch(DayCell& cell);
    void focusGrid();
    // A mouse click moved the operator's attention: the day focus follows.
    void dayClicked(const QDate& date);
    // The cells show another year, or were painted again: the focus and the
    // selection are put back on the cells of their dates.
    void yearPainted();

    QDate focusedDay() const { return m_focus; }
    // A range is being selected with Shift and the arrows.
    bool selecting() const { return m_selectionStart.isValid(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    // The day a movement key leads to from the focused day (maybe out of
    // the year shown); nothing for a key that is not a movement.
    std::optional<QDate> target(int key) const;
    void moveTo(const QDate& date, bool extend);
    // Makes the focused day's cell the grid's one focusable cell; takes the
    // keyboard focus when `take`.
    void placeFocus(bool take);
    void showSelection();
    void clearSelection();

    QWidget& m_window;
    Grid m_grid;
    QDate m_focus;
    QDate m_selectionStart; // invalid: no selection
    DayCell* m_focusCell = nullptr;
    QList<DayCell*> m_selected;
    QAction* m_f2 = nullptr;
};

} // namespace estaciones::calendar::window
