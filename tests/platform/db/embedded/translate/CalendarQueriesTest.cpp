// The statements the season calendar sends, run on real data.
#include "platform/db/embedded/translate/DialectDatabase.h"

#include <gtest/gtest.h>

namespace {

class CalendarQueriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.run("CREATE TABLE [dbo].[MA_CALENDARIO] ([Fecha] [datetime] NOT NULL, "
               "[Temporada] [varchar] (25) NULL, [nolaborable] [bit] NOT NULL "
               "CONSTRAINT [DF_MA_CALENDARIO_nolaborable] DEFAULT (0), "
               "CONSTRAINT [PK_MA_CALENDARIO] PRIMARY KEY CLUSTERED ([Fecha]) ON [PRIMARY]) ON "
               "[PRIMARY]");
        // A year of days through a recursive CTE, as a procedure would fill it.
        db.run("WITH dias AS (SELECT CONVERT(datetime, '1/1/2024', 103) AS f UNION ALL "
               "SELECT DATEADD(day, 1, f) FROM dias WHERE f < '31/12/2024') "
               "INSERT INTO MA_CALENDARIO (Fecha) SELECT f FROM dias OPTION (MAXRECURSION 400)");
    }
    DialectDatabase db;
};

TEST_F(CalendarQueriesTest, shouldFillALeapYearThroughARecursiveCte) {
    EXPECT_EQ(db.scalar("select count(*) from MA_CALENDARIO"), "366");
    EXPECT_EQ(db.scalar("select max(Fecha) from MA_CALENDARIO"), "2024-12-31 00:00:00.000");
}

TEST_F(CalendarQueriesTest, shouldMarkExactlyTheSundaysOf2024WhateverTheLanguage) {
    for (auto language :
         {estaciones::db::tsql::Language::Spanish, estaciones::db::tsql::Language::English}) {
        db.run("update MA_CALENDARIO set nolaborable = 0");
        db.settings().language = language;
        db.run("update MA_CALENDARIO set nolaborable = 1  WHERE DATENAME(dw, Fecha) in "
               "('Domingo','Sunday') AND YEAR(FECHA) = 2024");
        EXPECT_EQ(db.scalar("select count(*) from MA_CALENDARIO where nolaborable = 1"), "52");
        EXPECT_EQ(db.scalar("select top 1 convert(varchar(10), Fecha, 103) from MA_CALENDARIO "
                            "with (nolock) where nolaborable = 1 order by Fecha"),
                  "07/01/2024");
    }
}

TEST_F(CalendarQueriesTest, shouldReadDayMonthLiteralsInEveryFormTheProgramWrites) {
    // 5/3/2024 is 5 March, not 3 May.
    for (const char* literal : {"5/3/2024", "05/03/2024", "05/03/24", "20240305", "2024-03-05",
                                "2024-03-05 00:00:00.000"}) {
        EXPECT_EQ(
            db.count(QStringLiteral("select * from ma_calendario where fecha = '%1'").arg(literal)),
            1)
            << literal;
        EXPECT_EQ(db.scalar(QStringLiteral("select month(convert(datetime, '%1'))").arg(literal)),
                  "3")
            << literal;
    }
    EXPECT_EQ(
        db.count("select * from MA_CALENDARIO where Fecha between '1/3/2024' and '31/3/2024'"), 31);
    EXPECT_EQ(db.count("select * from MA_CALENDARIO where '14/3/2024' = Fecha"), 1);
}

TEST_F(CalendarQueriesTest, shouldStoreAssignedDateLiteralsAsDates) {
    db.run("update MA_CALENDARIO set Temporada = 'ALTA' where Fecha = '14/3/2024'");
    db.run("insert into MA_CALENDARIO (Fecha, Temporada) values ('5/3/2025', 'BAJA')");
    db.run("insert MA_CALENDARIO (Fecha) values ('20250306')");
    EXPECT_EQ(db.scalar("select Fecha from MA_CALENDARIO where Temporada = 'baja'"),
              "2025-03-05 00:00:00.000");
    EXPECT_EQ(db.count("select * from MA_CALENDARIO where Fecha = '2025-03-06'"), 1);
    EXPECT_EQ(
        db.scalar("select datename(month, Fecha) from MA_CALENDARIO where Temporada = 'ALTA'"),
        "Marzo");
    // The same day written twice in two forms is a duplicate key.
    EXPECT_NE(db.failure("insert into MA_CALENDARIO (Fecha) values ('2025-03-05')"), "");
    EXPECT_TRUE(
        db.failure("insert into MA_CALENDARIO (Fecha) values ('31/2/2025')").contains("tsql 241"));
}

TEST_F(CalendarQueriesTest, shouldLeaveDateLikeTextInTextColumnsAlone) {
    db.run("CREATE TABLE Control_Acceso (Usuario varchar(10), Ingreso varchar(20), Cuenta "
           "varchar(10))");
    db.run("insert into Control_Acceso values ('ana', '', '1.1.01')");
    db.run("update Control_Acceso set Ingreso = '08/12/26 19:05' where Usuario = 'ana'");
    EXPECT_EQ(db.scalar("select Ingreso from Control_Acceso"), "08/12/26 19:05");
    EXPECT_EQ(db.count("select * from Control_Acceso where Cuenta = '1.1.01'"), 1);
}

TEST_F(CalendarQueriesTest, shouldFindTheSeasonOfADayAsTheTemporadaQueryDoes) {
    db.run("update MA_CALENDARIO set Temporada = 'TempoCol_BA' where Fecha >= '1/3/2024' and Fecha "
           "< '1/4/2024'");
    EXPECT_EQ(db.scalar("select Temporada from ma_calendario where fecha = '14/3/2024'"),
              "TempoCol_BA");
    EXPECT_EQ(db.count("select * from ma_calendario where Temporada = 'TEMPOCOL_BA  '"), 31);
}

TEST_F(CalendarQueriesTest, shouldLimitToAShareOfTheRowsWithTopPercent) {
    // 25 % of March's 31 days is 7.75: SQL Server rounds up to 8.
    EXPECT_EQ(
        db.count(
            "select top 25 percent Fecha from MA_CALENDARIO where month(Fecha) = 3 order by Fecha"),
        8);
    EXPECT_EQ(
        db.count(
            "select * from (select top 100 percent Fecha from MA_CALENDARIO order by Fecha) x"),
        366);
    db.run("update top (3) MA_CALENDARIO set Temporada = 'ES' where month(Fecha) = 12");
    EXPECT_EQ(db.scalar("select count(*) from MA_CALENDARIO where Temporada = 'es'"), "3");
}

} // namespace
