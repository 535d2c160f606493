// Every change of a day leaves its row in MA_CALENDARIO_HISTORIA, with who
// made it, from where and how: clicks, ranges and undos on the real window,
// and the guarded writes on both engines.
#include "CalendarWindowFixture.h"

#include "calendar/extras/DayHistory.h"
#include "calendar/extras/RangeMarking.h"
#include "session/SessionParameters.h"

#include <QApplication>
#include <QMenu>

namespace estaciones::calendar::window {
namespace {

// The history rows of one day, oldest first, as "Campo:Antes>Despues/Origen".
QStringList historyOf(test::CalendarDatabase& database, const QDate& date, QString* who = nullptr) {
    QStringList rows;
    const QList<extras::HistoryEntry> entries =
        extras::readDayHistory(database.connection(), date, 100);
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        rows << QStringLiteral("%1:%2>%3/%4")
                    .arg(it->field, it->before.value_or("null"), it->after.value_or("null"),
                         it->origin);
        if (who) {
            *who = it->user + QLatin1Char('@') + it->station;
        }
    }
    return rows;
}

class DayHistoryWindow : public test::CalendarWindowTest {
protected:
    void SetUp() override {
        database.createYear(2026);
        database.db().gUsuario = QStringLiteral("ANA");
        session::gClaveEstacion = QStringLiteral("puesto 2");
    }
    void TearDown() override { session::gClaveEstacion.clear(); }
};

TEST_F(DayHistoryWindow, shouldRecordAClickARangeAndAnUndoWithUserAndStation) {
    open();
    chooseSeason(2);
    click(QDate(2026, 1, 14));
    chooseSeason(1);
    click(QDate(2026, 1, 14));
    click(QDate(2026, 1, 16), Qt::ShiftModifier);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);

    QString who;
    EXPECT_EQ(historyOf(database, QDate(2026, 1, 14), &who),
              (QStringList{"Temporada:null>AL/clic", "Temporada:AL>ME/clic"}));
    EXPECT_EQ(who, QStringLiteral("ANA@puesto 2"));
    // The range stored 14 January again without changing it: no row for that.
    EXPECT_EQ(historyOf(database, QDate(2026, 1, 15)),
              (QStringList{"Temporada:null>ME/rango", "Temporada:ME>null/deshacer"}));
    EXPECT_EQ(historyOf(database, QDate(2026, 1, 13)), QStringList());
}

TEST_F(DayHistoryWindow, shouldShowADaysHistoryFromItsMenu) {
    open();
    chooseSeason(2);
    click(QDate(2026, 3, 2));
    window->findChild<QRadioButton*>(QStringLiteral("OptNoLaborable"))->click();
    click(QDate(2026, 3, 2));

    QMenu* menu = openDayMenu(QDate(2026, 3, 2));
    ASSERT_NE(menu, nullptr);
    operatorScript.answerMessage(ui::reply::OK);
    QTest::keyClick(menu, Qt::Key_Up); // the last entry: the history
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_EQ(operatorScript.dialogs().size(), 1u);
    const QString text = operatorScript.dialogs()[0].text;
    const qsizetype nonWorking =
        text.indexOf(QStringLiteral("02/03/2026: laborable → no laborable, ANA, puesto 2, "));
    const qsizetype season =
        text.indexOf(QStringLiteral("02/03/2026: sin temporada → ALTA, ANA, puesto 2, "));
    EXPECT_GE(season, 0) << text.toStdString();
    EXPECT_GE(nonWorking, 0) << text.toStdString();
    EXPECT_LT(nonWorking, season); // the newest first
}

class DayHistoryEngines : public ::testing::TestWithParam<test::CalendarEngine> {
protected:
    void SetUp() override { database.createYear(2025); }
    test::CalendarDatabase database{GetParam()};
};

TEST_P(DayHistoryEngines, shouldCreateTheTableAndWriteItsRowsInTheMarksTransaction) {
    const extras::HistoryStamp stamp{QStringLiteral("O'BRIEN"), QStringLiteral("caja 1"),
                                     QStringLiteral("rango")};
    const extras::RangeMark mark =
        extras::markRange(database.db(), QDate(2025, 4, 1), QDate(2025, 4, 2), {}, "ES", &stamp);
    ASSERT_TRUE(mark.outcome.stored) << mark.outcome.errorDescription.toStdString();
    QString who;
    EXPECT_EQ(historyOf(database, QDate(2025, 4, 2), &who), QStringList{"Temporada:null>ES/rango"});
    EXPECT_EQ(who, QStringLiteral("O'BRIEN@caja 1"));

    // A failed group leaves neither its days nor their history rows.
    QList<extras::DayChange> changes{{QDate(2025, 4, 3), std::nullopt, QStringLiteral("AL")},
                                     {QDate(2025, 4, 4), std::nullopt, QStringLiteral("AL")}};
    const extras::WriteOutcome failed = extras::writeAfterCodes(
        database.connection(), changes,
        [&](qsizetype index) {
            if (index == 1) {
                database.connection().execute(QStringLiteral("select * from NoExiste"));
            }
        },
        &stamp);
    EXPECT_FALSE(failed.stored);
    EXPECT_EQ(database.storedCode(QDate(2025, 4, 3)), QString());
    EXPECT_EQ(historyOf(database, QDate(2025, 4, 3)), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Engines, DayHistoryEngines, test::calendarEngines(),
                         test::calendarEngineName);

} // namespace
} // namespace estaciones::calendar::window
