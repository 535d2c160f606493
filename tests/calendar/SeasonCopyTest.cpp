// Copying one year's seasons into another and the year's totals, on the
// embedded engine.
#include "CalendarDatabase.h"

#include "calendar/extras/SeasonCopy.h"
#include "calendar/extras/SeasonTotals.h"
#include "platform/db/FaultInjection.h"

namespace estaciones::calendar::extras {
namespace {

using test::CalendarDatabase;

TEST(SourceDayTest, shouldKeepTheWeekdayAndTheIsoWeek) {
    for (QDate target(2026, 1, 1); target.year() == 2026; target = target.addDays(1)) {
        const auto source = sourceDayFor(target, 2025);
        if (!source) {
            // 2026 has 53 ISO weeks, 2025 only 52.
            EXPECT_EQ(target.weekNumber(), 53) << target.toString().toStdString();
            continue;
        }
        EXPECT_EQ(source->dayOfWeek(), target.dayOfWeek()) << target.toString().toStdString();
        EXPECT_EQ(source->weekNumber(), target.weekNumber()) << target.toString().toStdString();
    }
    // Thursday 1 January 2026 is in week 1, like Thursday 2 January 2025.
    EXPECT_EQ(sourceDayFor(QDate(2026, 1, 1), 2025), QDate(2025, 1, 2));
    EXPECT_EQ(sourceDayFor(QDate(2026, 8, 15), 2025), QDate(2025, 8, 16)); // Saturdays
    EXPECT_EQ(sourceDayFor(QDate(2025, 8, 16), 2026), QDate(2026, 8, 15)); // and back
    EXPECT_FALSE(sourceDayFor(QDate(2026, 12, 31), 2025).has_value());
}

class SeasonCopyTest : public ::testing::TestWithParam<test::CalendarEngine> {
protected:
    void SetUp() override {
        database.createYear(2025);
        database.createYear(2026);
        // 2025: every Saturday high season, August medium (so its Saturdays
        // are medium), 25 December special.
        for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
            if (d.month() == 8) {
                database.setCode(d, QStringLiteral("ME"));
            } else if (d.dayOfWeek() == Qt::Saturday) {
                database.setCode(d, QStringLiteral("AL"));
            }
        }
        database.setCode(QDate(2025, 12, 25), QStringLiteral("ES"));
        database.setCode(QDate(2026, 3, 3), QStringLiteral("BA")); // changes back to null
    }

    CalendarDatabase database{GetParam()};
};

TEST_P(SeasonCopyTest, shouldPreviewTheChangesPerSeasonBeforeWriting) {
    const CopyPlan plan = planCopy(database.db(), 2025, 2026);
    EXPECT_EQ(plan.targetRows, 365);
    // The days of ISO week 53 of 2026 (28 Dec 2026 - 3 Jan 2027) have no source.
    EXPECT_EQ(plan.withoutSource, 4);
    // Medium: the 31 days of 2026 that map into August 2025 (4 Aug 2025 ... 3 Sep
    // 2025 lines up with 3 Aug ... 2 Sep 2026; ME days of August 2025 mapped).
    int medium = 0;
    int high = 0;
    for (const DayChange& change : plan.changes) {
        const QDate source = *sourceDayFor(change.date, 2025);
        EXPECT_EQ(change.after.value_or(QString()), database.storedCode(source).value())
            << source.toString().toStdString();
        medium += change.after == QStringLiteral("ME");
        high += change.after == QStringLiteral("AL");
    }
    EXPECT_EQ(plan.changesTo[1], medium);
    EXPECT_EQ(plan.changesTo[2], high);
    EXPECT_EQ(medium, 31);
    EXPECT_EQ(plan.changesTo[3], 1);
    EXPECT_EQ(plan.changesTo[0], 0);
    EXPECT_EQ(plan.changesToOther, 1); // 3 March 2026 back to no season
    EXPECT_EQ(plan.changes.size(), medium + high + 2);
    const QString preview = copyPreview(plan);
    EXPECT_TRUE(preview.contains(QStringLiteral("MEDIA: %1").arg(medium)));
    EXPECT_TRUE(preview.contains(QStringLiteral("ALTA: %1").arg(high)));
    // Nothing is written by the plan.
    EXPECT_EQ(database.storedCode(QDate(2026, 8, 15)), QString());
}

TEST_P(SeasonCopyTest, shouldKeepSaturdaysSaturdaysInTheCopiedYear) {
    const CopyPlan plan = planCopy(database.db(), 2025, 2026);
    ASSERT_TRUE(executeCopy(database.db(), plan).stored);
    for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1)) {
        const auto source = sourceDayFor(d, 2025);
        if (!source || source->year() != 2025) {
            continue;
        }
        const QString expected = source->month() == 8                  ? QStringLiteral("ME")
                                 : *source == QDate(2025, 12, 25)      ? QStringLiteral("ES")
                                 : source->dayOfWeek() == Qt::Saturday ? QStringLiteral("AL")
                                                                       : QString();
        EXPECT_EQ(database.storedCode(d).value(), expected) << d.toString().toStdString();
    }
    EXPECT_EQ(database.storedCode(QDate(2026, 12, 24)).value(), QStringLiteral("ES")); // Thursday
    EXPECT_EQ(database.storedCode(QDate(2026, 1, 3)).value(), QStringLiteral("AL"));   // Saturday
    // Copying again changes nothing.
    EXPECT_TRUE(planCopy(database.db(), 2025, 2026).changes.isEmpty());
}

TEST_P(SeasonCopyTest, shouldLeaveTheTargetYearUnchangedWhenTheDatabaseFailsInTheMiddle) {
    const CopyPlan plan = planCopy(database.db(), 2025, 2026);
    ASSERT_GT(plan.changes.size(), 20);
    const WriteOutcome outcome = executeCopy(database.db(), plan, [&](qsizetype index) {
        if (index == plan.changes.size() / 2) {
            database.connection().faults().failNext(-2147217900, QStringLiteral("Error a mitad"),
                                                    QStringLiteral("42000"), 0,
                                                    db::FaultOperation::Execute);
        }
    });
    EXPECT_FALSE(outcome.stored);
    EXPECT_EQ(outcome.errorDescription, QStringLiteral("Error a mitad"));
    for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1)) {
        EXPECT_EQ(database.storedCode(d).value(),
                  d == QDate(2026, 3, 3) ? QStringLiteral("BA") : QString())
            << d.toString().toStdString();
    }
}

TEST_P(SeasonCopyTest, shouldSeeThatTheTargetYearWasNeverCreated) {
    const CopyPlan plan = planCopy(database.db(), 2025, 2027);
    EXPECT_FALSE(plan.targetExists());
    EXPECT_TRUE(plan.changes.isEmpty());
}

TEST_P(SeasonCopyTest, shouldCountTheYearsDaysPerSeasonRowAndWorkingFlag) {
    const auto dates = [&](std::initializer_list<QDate> list) {
        QStringList literals;
        for (const QDate& d : list) {
            literals << database.dateLiteral(d);
        }
        return literals.join(QLatin1Char(','));
    };
    database.connection().execute(
        QStringLiteral("UPDATE MA_CALENDARIO SET nolaborable = 1 WHERE Fecha IN (%1)")
            .arg(dates({QDate(2025, 1, 5), QDate(2025, 1, 12), QDate(2025, 8, 2)})));
    database.connection().execute(QStringLiteral("DELETE FROM MA_CALENDARIO WHERE Fecha IN (%1)")
                                      .arg(dates({QDate(2025, 12, 30), QDate(2025, 12, 31)})));
    database.setCode(QDate(2025, 1, 7), QStringLiteral("XX"));
    const SeasonTotals totals = totalsOf(readYearRows(database.db(), 2025), 2025);
    // Saturdays outside August: 52 in the year, 5 of them in August.
    EXPECT_EQ(totals.perSeason[2], 47);
    EXPECT_EQ(totals.perSeason[1], 31);
    EXPECT_EQ(totals.perSeason[3], 1);
    EXPECT_EQ(totals.perSeason[0], 0);
    EXPECT_EQ(totals.otherCodes, 1);
    EXPECT_EQ(totals.withoutRow, 2);
    EXPECT_EQ(totals.nonWorking, 3);
    EXPECT_EQ(totals.unmarked, 363 - 47 - 31 - 1 - 1);
    // The grid paints the days without season and without row in BAJA's
    // colour: the legend counts them there, and says how many they are.
    const QStringList lines = legendLines(totals);
    EXPECT_EQ(lines.first(),
              QStringLiteral("BAJA: 285 días (283 sin temporada, 2 sin calendario)"));
    EXPECT_TRUE(lines.contains(QStringLiteral("ESPECIAL: 1 día")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Otros códigos: 1 día")));
    EXPECT_TRUE(lines.contains(QStringLiteral("No laborables: 3 días")));
}

INSTANTIATE_TEST_SUITE_P(Engines, SeasonCopyTest, test::calendarEngines(),
                         test::calendarEngineName);

} // namespace
} // namespace estaciones::calendar::extras
