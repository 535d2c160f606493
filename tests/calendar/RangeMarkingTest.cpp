// Range marking and undo against the embedded engine: every result is read
// back from MA_CALENDARIO.
#include "CalendarDatabase.h"

#include "calendar/extras/MarkHistory.h"
#include "calendar/extras/RangeMarking.h"
#include "platform/db/FaultInjection.h"

namespace estaciones::calendar::extras {
namespace {

using test::CalendarDatabase;

TEST(DayRangeTest, shouldCoverBothEndsInEitherOrderAcrossMonthsAndYears) {
    const QList<QDate> dates = datesInRange(QDate(2026, 1, 2), QDate(2025, 12, 30));
    ASSERT_EQ(dates.size(), 4);
    EXPECT_EQ(dates.first(), QDate(2025, 12, 30));
    EXPECT_EQ(dates.last(), QDate(2026, 1, 2));
    EXPECT_EQ(datesInRange(QDate(2024, 2, 28), QDate(2024, 3, 1)).size(), 3); // 29 February
    EXPECT_TRUE(datesInRange(QDate(), QDate(2024, 3, 1)).isEmpty());
}

TEST(DayRangeTest, shouldKeepOnlyTheWeekdaysOfTheFilter) {
    const WeekdayFilter weekend = WeekdayFilter::of({Qt::Saturday, Qt::Sunday});
    // March 2025: 31 days, starting on a Saturday: 5 Saturdays and 5 Sundays.
    const QList<QDate> dates = datesInRange(QDate(2025, 3, 1), QDate(2025, 3, 31), weekend);
    ASSERT_EQ(dates.size(), 10);
    for (const QDate& d : dates) {
        EXPECT_GE(d.dayOfWeek(), 6) << d.toString().toStdString();
    }
    EXPECT_TRUE(datesInRange(QDate(2025, 3, 3), QDate(2025, 3, 7), weekend).isEmpty());
    EXPECT_EQ(namedFilters()[1].filter.mask(), weekend.mask());
    EXPECT_EQ(datesInRange(QDate(2025, 3, 1), QDate(2025, 3, 31), namedFilters()[2].filter).size(),
              21);
}

class RangeMarkingTest : public ::testing::TestWithParam<test::CalendarEngine> {
protected:
    void SetUp() override { database.createYear(2025); }
    QString code(const QDate& date) { return database.storedCode(date).value_or("<sin fila>"); }

    CalendarDatabase database{GetParam()};
    MarkHistory history{[this](const QList<DayChange>& changes) {
        return writeAfterCodes(database.connection(), changes);
    }};
};

TEST_P(RangeMarkingTest, shouldMarkEveryDayAcrossAMonthBoundaryAndNoneOutside) {
    database.setCode(QDate(2025, 2, 1), QStringLiteral("ME"));
    const RangeMark mark = markRange(database.db(), QDate(2025, 2, 3), QDate(2025, 1, 29),
                                     WeekdayFilter(), QStringLiteral("AL"));
    ASSERT_TRUE(mark.outcome.stored) << mark.outcome.errorDescription.toStdString();
    EXPECT_EQ(mark.changes.size(), 6);
    EXPECT_TRUE(mark.withoutRow.isEmpty());
    for (const QDate& d : datesInRange(QDate(2025, 1, 29), QDate(2025, 2, 3))) {
        EXPECT_EQ(code(d), QStringLiteral("AL")) << d.toString().toStdString();
    }
    EXPECT_EQ(code(QDate(2025, 1, 28)), QString());
    EXPECT_EQ(code(QDate(2025, 2, 4)), QString());
}

TEST_P(RangeMarkingTest, shouldReportDaysWithoutARowAndStoreTheOthers) {
    const RangeMark mark = markRange(database.db(), QDate(2025, 12, 30), QDate(2026, 1, 2),
                                     WeekdayFilter(), QStringLiteral("ES"));
    ASSERT_TRUE(mark.outcome.stored);
    EXPECT_EQ(mark.withoutRow, (QList<QDate>{QDate(2026, 1, 1), QDate(2026, 1, 2)}));
    EXPECT_EQ(code(QDate(2025, 12, 31)), QStringLiteral("ES"));
    EXPECT_FALSE(database.storedCode(QDate(2026, 1, 1)).has_value()); // no insert
}

TEST_P(RangeMarkingTest, shouldStoreNothingWhenAWriteFailsInTheMiddle) {
    database.setCode(QDate(2025, 5, 10), QStringLiteral("BA"));
    const QList<QDate> dates = datesInRange(QDate(2025, 5, 1), QDate(2025, 5, 20));
    QList<DayChange> changes;
    for (const QDate& d : dates) {
        changes.append({d, std::nullopt, QStringLiteral("ME")});
    }
    const WriteOutcome outcome =
        writeAfterCodes(database.connection(), changes, [&](qsizetype index) {
            if (index == 12) {
                database.connection().faults().failNext(-2147467259, "Fallo a mitad",
                                                        QStringLiteral("HY000"), 0,
                                                        db::FaultOperation::Execute);
            }
        });
    EXPECT_FALSE(outcome.stored);
    EXPECT_EQ(outcome.errorDescription, QStringLiteral("Fallo a mitad"));
    for (const QDate& d : dates) {
        EXPECT_EQ(code(d), d.day() == 10 ? QStringLiteral("BA") : QString())
            << d.toString().toStdString();
    }
}

TEST_P(RangeMarkingTest, shouldUndoAndRedoStoringTheCodesAtOnce) {
    database.setCode(QDate(2025, 6, 7), QStringLiteral("ME"));
    const WeekdayFilter weekend = WeekdayFilter::of({Qt::Saturday, Qt::Sunday});
    RangeMark first =
        markRange(database.db(), QDate(2025, 6, 1), QDate(2025, 6, 14), weekend, "AL");
    history.record(first.changes);
    RangeMark second =
        markRange(database.db(), QDate(2025, 6, 8), QDate(2025, 6, 8), WeekdayFilter(), "ES");
    history.record(second.changes);
    EXPECT_EQ(history.undoCount(), 2);
    EXPECT_EQ(code(QDate(2025, 6, 8)), QStringLiteral("ES"));
    EXPECT_EQ(code(QDate(2025, 6, 9)), QString()); // a Monday: filtered out

    ASSERT_TRUE(history.undo().stored);
    EXPECT_EQ(code(QDate(2025, 6, 8)), QStringLiteral("AL"));
    ASSERT_TRUE(history.undo().stored);
    EXPECT_EQ(code(QDate(2025, 6, 7)), QStringLiteral("ME"));
    EXPECT_EQ(code(QDate(2025, 6, 1)), QString());
    // A day never marked gets its null back, not an empty code.
    EXPECT_TRUE(database.storedCode(QDate(2025, 6, 1)).value().isNull());
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undo().stored);

    ASSERT_TRUE(history.redo().stored);
    EXPECT_EQ(code(QDate(2025, 6, 14)), QStringLiteral("AL"));
    EXPECT_EQ(code(QDate(2025, 6, 8)), QStringLiteral("AL"));
    ASSERT_TRUE(history.redo().stored);
    EXPECT_EQ(code(QDate(2025, 6, 8)), QStringLiteral("ES"));
    EXPECT_FALSE(history.canRedo());
}

TEST_P(RangeMarkingTest, shouldDropTheRedoHistoryOnANewMarkAndKeepAMarkWhoseUndoFailed) {
    history.record(
        markRange(database.db(), QDate(2025, 7, 1), QDate(2025, 7, 2), {}, "ME").changes);
    ASSERT_TRUE(history.undo().stored);
    history.record(
        markRange(database.db(), QDate(2025, 7, 5), QDate(2025, 7, 5), {}, "ES").changes);
    EXPECT_FALSE(history.canRedo());

    database.connection().faults().failNext(-2147467259, "Sin conexión", QStringLiteral("08S01"), 0,
                                            db::FaultOperation::Execute);
    const WriteOutcome failed = history.undo();
    EXPECT_FALSE(failed.stored);
    EXPECT_EQ(code(QDate(2025, 7, 5)), QStringLiteral("ES"));
    EXPECT_TRUE(history.canUndo());
    ASSERT_TRUE(history.undo().stored);
    EXPECT_EQ(code(QDate(2025, 7, 5)), QString());
}

TEST_P(RangeMarkingTest, shouldNotKeepAMarkThatChangedNothing) {
    database.setCode(QDate(2025, 8, 1), QStringLiteral("AL"));
    const RangeMark mark = markRange(database.db(), QDate(2025, 8, 1), QDate(2025, 8, 1), {}, "AL");
    EXPECT_TRUE(mark.changes.isEmpty());
    history.record(mark.changes);
    EXPECT_FALSE(history.canUndo());
}

class GuardedUndoTest : public RangeMarkingTest {
protected:
    // What another station writes, on a connection of its own.
    void otherStationMarks(const QDate& date, const QString& code) {
        db::Connection other;
        other.setCursorLocation(db::adUseClient);
        other.open(database.connectionString());
        other.execute(QStringLiteral("update ma_calendario set Temporada = '%1' where fecha = %2")
                          .arg(code, database.dateLiteral(date)));
        other.close();
    }

    MarkHistory guarded{[this](const QList<DayChange>& changes) {
        return writeIfUnchanged(database.connection(), changes);
    }};
};

TEST_P(GuardedUndoTest, shouldLeaveTheDaysAnotherConnectionChangedAndNameThem) {
    guarded.record(
        markRange(database.db(), QDate(2025, 9, 3), QDate(2025, 9, 5), {}, "AL").changes);
    otherStationMarks(QDate(2025, 9, 4), QStringLiteral("ES"));

    const WriteOutcome undone = guarded.undo();
    ASSERT_TRUE(undone.stored) << undone.errorDescription.toStdString();
    EXPECT_EQ(undone.changedElsewhere, QList<QDate>{QDate(2025, 9, 4)});
    EXPECT_EQ(undone.applied.size(), 2);
    EXPECT_TRUE(database.storedCode(QDate(2025, 9, 3)).value().isNull());
    EXPECT_EQ(code(QDate(2025, 9, 4)), QStringLiteral("ES"));
    EXPECT_TRUE(database.storedCode(QDate(2025, 9, 5)).value().isNull());

    // The redo brings back only the two days still this history's.
    const WriteOutcome redone = guarded.redo();
    ASSERT_TRUE(redone.stored);
    EXPECT_TRUE(redone.changedElsewhere.isEmpty());
    EXPECT_EQ(code(QDate(2025, 9, 3)), QStringLiteral("AL"));
    EXPECT_EQ(code(QDate(2025, 9, 4)), QStringLiteral("ES"));
    EXPECT_EQ(code(QDate(2025, 9, 5)), QStringLiteral("AL"));
}

TEST_P(GuardedUndoTest, shouldGiveBackACodeHoldingAQuote) {
    database.setCode(QDate(2025, 9, 8), QStringLiteral("O''")); // stored as O'
    guarded.record(
        markRange(database.db(), QDate(2025, 9, 8), QDate(2025, 9, 8), {}, "ME").changes);
    const WriteOutcome undone = guarded.undo();
    ASSERT_TRUE(undone.stored) << undone.errorDescription.toStdString();
    EXPECT_EQ(code(QDate(2025, 9, 8)), QStringLiteral("O'"));
    ASSERT_TRUE(guarded.redo().stored);
    EXPECT_EQ(code(QDate(2025, 9, 8)), QStringLiteral("ME"));
}

TEST_P(GuardedUndoTest, shouldReadTheDaysBackWhenTheConnectionGivesNoCounts) {
    if (GetParam() != test::CalendarEngine::Embedded) {
        GTEST_SKIP() << "SET NOCOUNT is SQL Server's";
    }
    database.connection().execute(QStringLiteral("SET NOCOUNT ON"));
    guarded.record(
        markRange(database.db(), QDate(2025, 10, 1), QDate(2025, 10, 2), {}, "ES").changes);
    otherStationMarks(QDate(2025, 10, 2), QStringLiteral("BA"));
    const WriteOutcome undone = guarded.undo();
    ASSERT_TRUE(undone.stored);
    EXPECT_EQ(undone.changedElsewhere, QList<QDate>{QDate(2025, 10, 2)});
    EXPECT_TRUE(database.storedCode(QDate(2025, 10, 1)).value().isNull());
    EXPECT_EQ(code(QDate(2025, 10, 2)), QStringLiteral("BA"));
}

TEST_P(GuardedUndoTest, shouldMarkNonWorkingDaysAndUndoThemWithoutTouchingSeasons) {
    database.setCode(QDate(2025, 12, 24), QStringLiteral("AL"));
    database.setNonWorking(QDate(2025, 12, 26), true);
    const RangeMark mark =
        markNonWorkingRange(database.db(), QDate(2025, 12, 24), QDate(2025, 12, 26), {}, true);
    ASSERT_TRUE(mark.outcome.stored) << mark.outcome.errorDescription.toStdString();
    EXPECT_EQ(mark.changes.size(), 2); // 26 December was non-working already
    for (const QDate& d : datesInRange(QDate(2025, 12, 24), QDate(2025, 12, 26))) {
        EXPECT_EQ(database.storedNonWorking(d), true) << d.toString().toStdString();
    }
    EXPECT_EQ(code(QDate(2025, 12, 24)), QStringLiteral("AL"));
    guarded.record(mark.changes);

    const WriteOutcome undone = guarded.undo();
    ASSERT_TRUE(undone.stored) << undone.errorDescription.toStdString();
    EXPECT_EQ(undone.applied.size(), 2);
    EXPECT_EQ(database.storedNonWorking(QDate(2025, 12, 24)), false);
    EXPECT_EQ(database.storedNonWorking(QDate(2025, 12, 25)), false);
    EXPECT_EQ(database.storedNonWorking(QDate(2025, 12, 26)), true);
    EXPECT_EQ(code(QDate(2025, 12, 24)), QStringLiteral("AL"));
}

INSTANTIATE_TEST_SUITE_P(Engines, RangeMarkingTest, test::calendarEngines(),
                         test::calendarEngineName);
INSTANTIATE_TEST_SUITE_P(Engines, GuardedUndoTest, test::calendarEngines(),
                         test::calendarEngineName);

} // namespace
} // namespace estaciones::calendar::extras
