#pragma once

// The operator's input on the calendar window, through Qt's event delivery
// only: keys, the wheel, an input method, the mouse.

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace estaciones::test {

// One wheel step over `widget` (positive: away from the operator, up).
inline void wheelStep(QWidget& widget, int steps, Qt::Orientation orientation = Qt::Vertical) {
    const QPoint centre = widget.rect().center();
    const QPoint delta =
        orientation == Qt::Vertical ? QPoint(0, 120 * steps) : QPoint(120 * steps, 0);
    QWheelEvent event(centre, widget.mapToGlobal(centre), QPoint(), delta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

// Picks `year` from the year combo's list as an operator does with the
// arrow keys, starting from the entry the list has as its current one.
inline void pickYear(QComboBox& combo, int year) {
    const int target = combo.findText(QString::number(year));
    ASSERT_GE(target, 0) << year;
    for (int step = 0; combo.currentIndex() != target && step < combo.count(); ++step) {
        QTest::keyClick(&combo, combo.currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
    ASSERT_EQ(combo.currentText(), QString::number(year));
}

// Text an input method commits into the combo's edit box in place of what
// it held (a composed text): the key filter never sees it.
inline void commitText(QComboBox& combo, const QString& text) {
    QLineEdit* edit = combo.lineEdit();
    ASSERT_NE(edit, nullptr);
    QInputMethodEvent event;
    event.setCommitString(text, -edit->cursorPosition(), static_cast<int>(edit->text().size()));
    QApplication::sendEvent(edit, &event);
}

} // namespace estaciones::test
