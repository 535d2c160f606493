#pragma once

// The calendar window on a fresh embedded database, opened as the program
// opens it, with the helpers the window tests share: controls found by
// name, days found by date, a scripted operator answering the dialogs.

#include "CalendarDatabase.h"
#include "WindowInput.h"

#include "calendar/window/R.h"
#include "calendar/window/SeasonTotalsLegend.h"
#include "platform/ui/ControlArrays.h"
#include "support/ScriptedOperator.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHash>
#include <QImage>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace estaciones::test {

// The colour the widget really shows: the one covering most of its face.
inline QColor paintedColour(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const auto most = std::max_element(counts.constKeyValueBegin(), counts.constKeyValueEnd(),
                                       [](auto a, auto b) { return a.second < b.second; });
    return QColor::fromRgb(most->first);
}

class CalendarWindowTest : public ::testing::Test {
protected:
    explicit CalendarWindowTest(CalendarEngine engine = CalendarEngine::Embedded)
        : database(engine) {}

    calendar::window::R& open(calendar::window::RSession session = {}) {
        window = std::make_unique<calendar::window::R>(database.db(), std::move(session));
        EXPECT_TRUE(window->Form_Load());
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    // The helpers name a window; without one, the window under test.
    static QComboBox& yearComboOf(QWidget& w) {
        return *w.findChild<QComboBox*>(QStringLiteral("CmbAnio"));
    }
    static QRadioButton& seasonOf(QWidget& w, int index) {
        return *ui::arrayElement<QRadioButton>(w, QStringLiteral("OptTemp"), index);
    }
    static QRadioButton& dayCellOf(QWidget& w, const QDate& date) {
        const int first = QDate(date.year(), date.month(), 1).dayOfWeek() % 7; // Sunday 0
        return *ui::arrayElement<QRadioButton>(w, QStringLiteral("OptDia%1").arg(date.month()),
                                               first + date.day() - 1);
    }
    static void clickOn(QWidget& w, const QDate& date,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QRadioButton& day = dayCellOf(w, date);
        ASSERT_EQ(day.text(), QString::number(date.day()));
        QTest::mouseClick(&day, Qt::LeftButton, modifiers);
    }

    QComboBox& yearCombo() { return yearComboOf(*window); }
    void chooseYear(int year) { pickYear(yearCombo(), year); }
    QRadioButton& season(int index) { return seasonOf(*window, index); }
    void chooseSeason(int index) { season(index).click(); }
    QRadioButton& cell(int month, int index) {
        return *ui::arrayElement<QRadioButton>(*window, QStringLiteral("OptDia%1").arg(month),
                                               index);
    }
    QRadioButton& dayCell(const QDate& date) { return dayCellOf(*window, date); }
    void click(const QDate& date, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        clickOn(*window, date, modifiers);
    }
    QToolButton& button(const char* name) {
        return *window->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    // The range filter, chosen with the arrow keys.
    void chooseFilter(int index) {
        auto& filter = *window->findChild<QComboBox*>(QStringLiteral("CmbFiltroRango"));
        while (filter.currentIndex() < index) {
            QTest::keyClick(&filter, Qt::Key_Down);
        }
    }
    // The day's menu, opened as the menu key or a right click opens it.
    QMenu* openDayMenu(const QDate& date) {
        QWidget& cell = dayCell(date);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, cell.rect().center(),
                                cell.mapToGlobal(cell.rect().center()));
        QApplication::sendEvent(&cell, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_NE(menu, nullptr);
        return menu;
    }
    // "Ver" > "Mostrar no laborables", with the menus' access keys.
    void toggleShowNonWorking() {
        QTest::keyClick(window.get(), Qt::Key_V, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->objectName(), QStringLiteral("MNU_Ver"));
        QTest::keyClick(menu, Qt::Key_N);
    }
    bool showNonWorkingChecked() {
        return window->findChild<QAction*>(QStringLiteral("MNU_VerNoLaborables"))->isChecked();
    }
    QString code(const QDate& date) { return database.storedCode(date).value_or("<sin fila>"); }
    QString legend() {
        return window
            ->findChild<calendar::window::SeasonTotalsLegend*>(QStringLiteral("LblTotales"))
            ->plainText();
    }

    ScopedEnvFolder temp{"TEMP"}; // MostrarError's log
    CalendarDatabase database;
    ScriptedOperator operatorScript;
    std::unique_ptr<calendar::window::R> window;
};

} // namespace estaciones::test
