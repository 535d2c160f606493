// The reads and writes of MA_CALENDARIO on the embedded engine, through the
// program's data access object.
#include "CalendarDatabase.h"

#include "calendar/SeasonStore.h"
#include "calendar/YearPaint.h"
#include "support/ScriptedOperator.h"

#include <QRandomGenerator>

namespace estaciones::calendar {
namespace {

using test::CalendarDatabase;
using Outcome = AssignResult::Outcome;

SeasonColours testColours() {
    SeasonColours c;
    c.colour = {0x00FF00, 0x00FFFF, 0xFFFF00, 0x0000FF};
    return c;
}

TEST(SeasonStore, shouldReadOneDateAsStoredWithNullAndMissingRowsEmpty) {
    CalendarDatabase database;
    database.createYear(2025);
    database.setCode(QDate(2025, 3, 14), QStringLiteral("AL"));
    SeasonStore store(database.db());
    EXPECT_EQ(store.Temporada(14, 3, 2025), QStringLiteral("AL"));
    EXPECT_EQ(store.Temporada(15, 3, 2025), QString()); // null code
    EXPECT_EQ(store.Temporada(14, 3, 2026), QString()); // no row
}

class SeasonStoreOnEngines : public ::testing::TestWithParam<test::CalendarEngine> {};

TEST_P(SeasonStoreOnEngines, shouldStoreTheCodeAndTellARowFromNoRow) {
    CalendarDatabase database(GetParam());
    database.createYear(2025);
    SeasonStore store(database.db());

    EXPECT_EQ(store.AsignarTemporada(14, 3, 2025, QStringLiteral("AL")).outcome, Outcome::Stored);
    EXPECT_EQ(database.storedCode(QDate(2025, 3, 14)), QStringLiteral("AL"));
    // The same click again runs the same update again.
    EXPECT_EQ(store.AsignarTemporada(14, 3, 2025, QStringLiteral("AL")).outcome, Outcome::Stored);
    EXPECT_EQ(store.AsignarTemporada(14, 3, 2025, QStringLiteral("BA")).outcome, Outcome::Stored);
    EXPECT_EQ(database.storedCode(QDate(2025, 3, 14)), QStringLiteral("BA"));

    EXPECT_EQ(store.AsignarTemporada(14, 3, 2026, QStringLiteral("AL")).outcome, Outcome::NoRow);
    EXPECT_EQ(database.storedCode(QDate(2026, 3, 14)), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Engines, SeasonStoreOnEngines, test::calendarEngines(),
                         test::calendarEngineName);

TEST(SeasonStore, shouldReadTheRowBackWhenTheConnectionGivesNoCounts) {
    CalendarDatabase database;
    database.createYear(2025);
    database.connection().execute(QStringLiteral("SET NOCOUNT ON"));
    SeasonStore store(database.db());
    EXPECT_EQ(store.AsignarTemporada(1, 1, 2025, QStringLiteral("ES")).outcome, Outcome::Stored);
    EXPECT_EQ(database.storedCode(QDate(2025, 1, 1)), QStringLiteral("ES"));
    EXPECT_EQ(store.AsignarTemporada(1, 1, 2024, QStringLiteral("ES")).outcome, Outcome::NoRow);
}

TEST(SeasonStore, shouldReportOnlyTheErrorsOfThisUpdate) {
    CalendarDatabase database;
    database.createYear(2025);
    SeasonStore store(database.db());
    // An error left behind by an earlier statement is not this update's.
    db::ProviderError old;
    old.description = QStringLiteral("viejo");
    database.connection().errors().replace({old});
    EXPECT_EQ(store.AsignarTemporada(2, 1, 2025, QStringLiteral("ME")).outcome, Outcome::Stored);

    // A statement the database refuses: the update fails and says why.
    database.connection().execute(QStringLiteral("DROP TABLE MA_CALENDARIO"));
    const AssignResult failed = store.AsignarTemporada(2, 1, 2025, QStringLiteral("ME"));
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_TRUE(
        failed.errorDescription.contains(QStringLiteral("MA_CALENDARIO"), Qt::CaseInsensitive))
        << failed.errorDescription.toStdString();
}

// Painting from one statement must give exactly what one read per day gives:
// every code, null, empty, unknown codes, lower case, and days without rows.
TEST(SeasonStore, shouldPaintAYearFromOneStatementExactlyAsDayByDay) {
    CalendarDatabase database;
    database.createYear(2024);
    database.connection().execute(
        QStringLiteral("DELETE FROM MA_CALENDARIO WHERE Fecha >= '20241201'"));
    QRandomGenerator random(20240229);
    const QStringList codes = {QStringLiteral("BA"),
                               QStringLiteral("ME"),
                               QStringLiteral("AL"),
                               QStringLiteral("ES"),
                               QStringLiteral("al"),
                               QStringLiteral("XX"),
                               QString(),
                               QStringLiteral("")};
    QString batch;
    for (QDate d(2024, 1, 1); d.month() < 12; d = d.addDays(1)) {
        const QString code = codes.at(random.bounded(codes.size()));
        batch += QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = %1 WHERE Fecha = '%2'\n")
                     .arg(code.isNull() ? QStringLiteral("NULL")
                                        : QLatin1Char('\'') + code + QLatin1Char('\''),
                          d.toString(QStringLiteral("yyyyMMdd")));
    }
    database.connection().execute(batch);

    SeasonStore store(database.db());
    const YearPaint oneStatement = paintYear(store, 2024, testColours());
    const YearPaint dayByDay = paintYearDayByDay(store, 2024, testColours());
    int unknown = 0;
    for (std::size_t m = 0; m < 12; ++m) {
        for (std::size_t k = 0; k < CellsPerMonth; ++k) {
            const CellPaint& a = oneStatement[m][k];
            const CellPaint& b = dayByDay[m][k];
            ASSERT_EQ(a.caption, b.caption) << m << " " << k;
            ASSERT_EQ(a.enabled, b.enabled) << m << " " << k;
            ASSERT_EQ(a.background, b.background) << "month " << m + 1 << " cell " << k;
            unknown += a.enabled && !a.background ? 1 : 0;
        }
    }
    EXPECT_GT(unknown, 0); // the data did hold unknown codes
    // December has no rows: low season throughout.
    for (const CellPaint& cell : oneStatement[11]) {
        if (cell.enabled) {
            EXPECT_EQ(cell.background, 0x00FF00u);
        }
    }
}

} // namespace
} // namespace estaciones::calendar
