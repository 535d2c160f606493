// Text compares as Latin1_General_CI_AS (or _CI_AI): case and trailing blanks
// never count, accents count unless the database says otherwise.
#include "platform/db/embedded/translate/DialectDatabase.h"

#include "platform/db/embedded/functions/TextCompare.h"

#include <gtest/gtest.h>

namespace {

void createUsers(DialectDatabase& db) {
    db.run(
        "CREATE TABLE TA_TAREAS (Id int IDENTITY(1,1) PRIMARY KEY, USUARIO varchar(20) NOT NULL, "
        "Descripcion nvarchar(50) NULL)");
    for (const char* row : {"('ana', 'Revisión')", "('TEMPOCOL_BA', 'Canción')", "('Peña', 'Pena')",
                            "('pena', 'otra')", "('Zoe', 'último')"})
        db.run(QStringLiteral("insert into TA_TAREAS (USUARIO, Descripcion) values %1").arg(row));
}

TEST(CollationTest, shouldIgnoreCaseAndTrailingBlanksInComparisons) {
    DialectDatabase db;
    createUsers(db);
    EXPECT_EQ(db.count("SELECT * FROM TA_TAREAS WHERE (TA_TAREAS.USUARIO = 'ana ')"), 1);
    EXPECT_EQ(db.count("SELECT * FROM TA_TAREAS WHERE USUARIO = 'TempoCol_BA'"), 1);
    EXPECT_EQ(db.count("SELECT * FROM TA_TAREAS WHERE USUARIO IN ('ANA', 'zoe')"), 2);
    EXPECT_EQ(db.count("SELECT * FROM TA_TAREAS WHERE upper(USUARIO) = 'ana'"), 1);
    EXPECT_EQ(db.count("SELECT * FROM TA_TAREAS WHERE USUARIO > 'PEÑA'"),
              2); // pena? no: Zoe and TEMPOCOL_BA
    EXPECT_EQ(db.scalar("SELECT CASE WHEN 'x ' = 'X' THEN 1 ELSE 0 END"), "1");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TA_TAREAS WHERE 'ANA' = USUARIO"), "1");
}

TEST(CollationTest, shouldCountAccentsUnderCiAsButNotUnderCiAi) {
    DialectDatabase accents;
    createUsers(accents);
    EXPECT_EQ(accents.count("SELECT * FROM TA_TAREAS WHERE USUARIO = 'pena'"), 1);
    EXPECT_EQ(accents.count("SELECT * FROM TA_TAREAS WHERE Descripcion LIKE '%ion'"), 0);
    EXPECT_EQ(accents.count("SELECT DISTINCT USUARIO FROM TA_TAREAS"), 5);

    DialectDatabase noAccents(true);
    createUsers(noAccents);
    EXPECT_EQ(noAccents.count("SELECT * FROM TA_TAREAS WHERE USUARIO = 'pena'"), 2);
    EXPECT_EQ(noAccents.count("SELECT * FROM TA_TAREAS WHERE Descripcion LIKE '%ion'"), 2);
    EXPECT_EQ(noAccents.count("SELECT USUARIO FROM TA_TAREAS GROUP BY USUARIO"), 4);
}

TEST(CollationTest, shouldSortAndGroupAsTheServerDoes) {
    DialectDatabase db;
    db.run("CREATE TABLE N (v varchar(10))");
    for (const char* v : {"o", "ñ", "N", "n ", "Ñ", "a"})
        db.run(QStringLiteral("insert into N values ('%1')").arg(QString::fromUtf8(v)));
    QStringList sorted;
    for (const auto& row : db.run("select distinct v from N order by v"))
        sorted << row.front().trimmed().toLower();
    // ñ sorts between n and o; 'N' and 'n ' are one value, 'ñ' and 'Ñ' another.
    EXPECT_EQ(sorted, (QStringList{"a", "n", "ñ", "o"}));
    EXPECT_EQ(db.scalar("select count(*) from (select v from N group by v)"), "4");
}

TEST(CollationTest, shouldMakeKeysThatDifferInCaseOrTrailingBlanksCollide) {
    DialectDatabase db;
    db.run("CREATE TABLE K (c varchar(10) PRIMARY KEY)");
    db.run("insert into K values ('Abc')");
    EXPECT_TRUE(db.failure("insert into K values ('abc  ')").contains("tsql 2627"));
}

TEST(CollationTest, shouldMatchLikePatternsWithSqlServerWildcards) {
    DialectDatabase db;
    createUsers(db);
    EXPECT_EQ(db.count("select * from TA_TAREAS where USUARIO like 'A%'"), 1);
    EXPECT_EQ(db.count("select * from TA_TAREAS where USUARIO like '[pz]%'"), 3);
    EXPECT_EQ(db.count("select * from TA_TAREAS where USUARIO like '[^pz]%'"), 2);
    EXPECT_EQ(db.count("select * from TA_TAREAS where USUARIO like '[a-c]_a'"), 1);
    EXPECT_EQ(db.count("select * from TA_TAREAS where USUARIO like 'tempocol[_]ba'"), 1);
    EXPECT_EQ(db.count("select * from TA_TAREAS where USUARIO like 'tempocol!_ba' escape '!'"), 1);
    EXPECT_EQ(db.count("select * from TA_TAREAS where USUARIO not like '%a%'"), 1);
}

TEST(CollationTest, shouldIgnoreTheTextsTrailingBlanksInLikeButNotThePatterns) {
    const estaciones::db::tsql::TextCompare ci(false);
    EXPECT_TRUE(ci.like(u"abc   ", u"abc"));
    EXPECT_FALSE(ci.like(u"abc", u"abc "));
    EXPECT_TRUE(ci.like(u"a[b", u"a[b")); // an unclosed '[' is itself
    EXPECT_TRUE(ci.like(u"100%", u"100[%]"));
    EXPECT_FALSE(ci.like(u"", u"_"));
    EXPECT_TRUE(ci.like(u"", u"%"));
}

} // namespace
