// The exact SQLite text of rewrites whose shape matters.
#include "platform/db/Engine.h"
#include "platform/db/embedded/translate/DialectDatabase.h"

#include <gtest/gtest.h>

using estaciones::db::tsql::Translator;

namespace {

QString translated(const QString& tsql) {
    return Translator().translate(tsql).statements.join(QStringLiteral(";\n"));
}

TEST(TranslationTextTest, shouldRemoveTableHintsInEveryWritingForm) {
    EXPECT_EQ(translated("select * from t with(nolock) where a = 1"),
              "select * from t where a = 1");
    EXPECT_EQ(translated("select * from t (nolock) join u WITH (NOLOCK, INDEX(ix_u)) on t.a = u.a"),
              "select * from t join u on t.a = u.a");
    EXPECT_EQ(translated("update t with(rowlock) set a = 1"), "update t set a = 1");
    EXPECT_EQ(translated("select * from t x WITH (UPDLOCK, HOLDLOCK)"), "select * from t x");
    // A CTE's WITH is no hint.
    EXPECT_EQ(translated("with c (a) as (select 1) select a from c"),
              "with c (a) as (select 1) select a from c");
}

TEST(TranslationTextTest, shouldPageRowsWithLimitAndOffset) {
    EXPECT_EQ(translated("select a from t order by a offset 10 rows fetch next 5 rows only"),
              "select a from t order by a LIMIT 5 OFFSET 10");
    EXPECT_EQ(translated("select a from t order by a desc offset 1 row"),
              "select a from t order by a desc LIMIT -1 OFFSET 1");
    // Counts known only when the statement runs are checked then.
    EXPECT_EQ(translated("select a from t order by a offset @p * @n rows fetch first @n row only"),
              "select a from t order by a LIMIT tsql_fetch_rows(@n) OFFSET tsql_offset_rows(@p * @n)");
    // A subquery pages its own rows.
    EXPECT_EQ(translated("select * from (select a from t order by a offset 2 rows) d"),
              "select * from (select a from t order by a LIMIT -1 OFFSET 2) d");
}

TEST(TranslationTextTest, shouldPlaceTopAsLimitAtItsOwnLevel) {
    EXPECT_EQ(translated("select top 5 * from t order by a"), "select * from t order by a LIMIT 5");
    EXPECT_EQ(translated("select distinct top (3) a from t"), "select distinct a from t LIMIT (3)");
    // The subquery's TOP limits the subquery only.
    EXPECT_EQ(
        translated("select * from t where a = (select top 1 b from u order by b desc) order by a"),
        "select * from t where a = (select b from u order by b desc LIMIT 1) order by a");
    EXPECT_EQ(translated("select top 100 percent a from t order by a"),
              "select a from t order by a");
    EXPECT_EQ(translated("update top (2) t set a = 0 where b = 1"),
              "update t set a = 0 where b = 1 LIMIT (2)");
    EXPECT_EQ(translated("delete top (10) from t"), "delete from t LIMIT (10)");
    // A count known only when the statement runs is checked then: SQLite reads
    // a negative LIMIT as none.
    EXPECT_EQ(translated("select top (@n) a from t"), "select a from t LIMIT tsql_top_rows( (@n))");
    EXPECT_EQ(translated("select top (-1) a from t"), "select a from t LIMIT tsql_top_rows( (-1))");
}

TEST(TranslationTextTest, shouldDropOwnersAndQuoteNamesTheSqliteWay) {
    EXPECT_EQ(translated("select * from [Empresa].[dbo].[MA_CALENDARIO]"),
              "select * from \"MA_CALENDARIO\"");
    EXPECT_EQ(translated("select dbo.T.a from dbo.T, db..U"), "select T.a from T, U");
    EXPECT_EQ(translated("select [a]]b], \"c\" from [x y]"), "select \"a]b\", \"c\" from \"x y\"");
    EXPECT_EQ(translated("select N'Peña', 'it''s'"), "select 'Peña', 'it''s'");
    EXPECT_EQ(translated("select * from #tmp"), "select * from \"#tmp\"");
}

TEST(TranslationTextTest, shouldNeverRewriteInsideStringLiterals) {
    EXPECT_EQ(translated("select 'dbo.x with(nolock) top 5 isnull(' from t"),
              "select 'dbo.x with(nolock) top 5 isnull(' from t");
}

TEST(TranslationTextTest, shouldMapFunctionsKeepingArgumentOrder) {
    EXPECT_EQ(translated("select isnull(a, 0), len(b), charindex('x', b, 2) from t"),
              "select ifnull(a, 0), tsql_len(b), tsql_charindex('x', b, 2) from t");
    EXPECT_EQ(translated("select convert(varchar(10), f, 103), cast(a as decimal(18, 2))"),
              "select tsql_convert('varchar(10)', f, 103), tsql_convert('decimal(18, 2)', a)");
    EXPECT_EQ(
        translated("select dateadd(mm, 1, f), datediff(d, a, b), year(f), getdate(), system_user"),
        "select tsql_dateadd('mm', 1, f), tsql_datediff('d', a, b), tsql_datepart('year',f), "
        "tsql_getdate(0), tsql_system_user()");
    // LEFT JOIN is no call of LEFT().
    EXPECT_EQ(translated("select left(a, 2) + 1 from t left join u on t.a = u.a"),
              "select tsql_add(tsql_left(a, 2), 1) from t left join u on t.a = u.a");
}

// The server reads the clock and RAND once per reference in a statement: the
// constant last argument is where SQLite keeps that value for the run. A call
// written with arguments of its own keeps them, so one too many still fails.
TEST(TranslationTextTest, shouldConvertToThirtyUnitsWhereTheTypeHasNoLength) {
    EXPECT_EQ(translated("select cast(a as varchar), convert([nchar], b), try_cast(c as varbinary)"),
              "select tsql_convert('varchar(30)', a), tsql_convert('nchar(30)', b), "
              "tsql_try_convert('varbinary(30)', c)");
    // A length, max or a type without one stays as written.
    EXPECT_EQ(translated("select cast(a as char(5)), convert(varchar(max), b), cast(c as int)"),
              "select tsql_convert('char(5)', a), tsql_convert('varchar(max)', b), "
              "tsql_convert('int', c)");
}

TEST(TranslationTextTest, shouldLeaveATableNamedLikeABuiltInUnrenamed) {
    EXPECT_EQ(translated("insert into format (a) values (1)"), "insert into format (a) values (1)");
    EXPECT_EQ(translated("insert len(a) select len(b) from t"),
              "insert INTO len(a) select tsql_len(b) from t");
}

TEST(TranslationTextTest, shouldGiveRuntimeConstantsTheirReference) {
    EXPECT_EQ(translated("select rand(), rand(7), current_timestamp, sysdatetimeoffset()"),
              "select tsql_rand(0), tsql_rand(7, 0), tsql_getdate(0), tsql_sysdatetimeoffset(0) "
              "COLLATE tsql_date");
    EXPECT_EQ(translated("select getdate(1), newid()"), "select tsql_getdate(1, 0), tsql_newid()");
}

TEST(TranslationTextTest, shouldTurnPlusIntoARuntimeChoiceBetweenJoiningAndAdding) {
    EXPECT_EQ(translated("select Nombre + ' ' + Apellido as n from t"),
              "select tsql_add(tsql_add(Nombre, ' '), Apellido) COLLATE tsql_text as n from t");
    // '+' binds looser than '*' and as tightly as '-', which is a runtime
    // choice too (a date minus days); two literals stay SQLite's own.
    EXPECT_EQ(translated("select a * 2 + b / 3, a - b + c, 1 + 2"),
              "select tsql_add(a * 2, tsql_divide(b, 3)), tsql_add(tsql_subtract(a, b), c), "
              "tsql_int_result(1 + 2)");
    EXPECT_EQ(translated("select a + b - c, 5 - 3"),
              "select tsql_subtract(tsql_add(a, b), c), tsql_int_result(5 - 3)");
    EXPECT_EQ(translated("select * from t where c like '%' + @x + '%'"),
              "select * from t where c like tsql_add(tsql_add('%', @x), '%')");
    EXPECT_EQ(translated("select +1, -a"), "select +1, -a");
}

TEST(TranslationTextTest, shouldReadTheCurrencySignAsAMoneyLiteral) {
    EXPECT_EQ(translated("select $1.50, -$3").toStdString(),
              "select tsql_convert('money', 1.50), -tsql_convert('money', 3)");
}

TEST(TranslationTextTest, shouldLeaveVariablesAsLowerCaseParameters) {
    EXPECT_EQ(translated("select @Fecha, @@IDENTITY, scope_identity(), @@RowCount, ?"),
              "select @fecha, @__identity, @__identity, @__rowcount, ?");
    const auto assignment =
        Translator().translate(u"SELECT @Total = count(*), @Max = max(a) FROM t");
    EXPECT_EQ(assignment.statements, QStringList{"SELECT count(*), max(a) FROM t"});
    EXPECT_EQ(assignment.assignedVariables, (QStringList{"total", "max"}));
}

TEST(TranslationTextTest, shouldGiveComparisonsWithoutAColumnTheColumnCollation) {
    EXPECT_EQ(translated("select 1 where @u = 'ana'"),
              "select 1 where @u COLLATE tsql_text = 'ana'");
    EXPECT_EQ(translated("select * from t where upper(a) not in ('X')"),
              "select * from t where tsql_upper(a) COLLATE tsql_text not in ('X')");
    EXPECT_EQ(translated("select * from t where dateadd(d, 1, f) > '2024-01-01'"),
              "select * from t where tsql_dateadd('d', 1, f) COLLATE tsql_date > '2024-01-01'");
    // A column on either side brings its own collation.
    EXPECT_EQ(translated("select * from t where a = 'x' and 'y' = b"),
              "select * from t where a = 'x' and 'y' = b");
}

TEST(TranslationTextTest, shouldCompleteStatementsSqlServerAcceptsShort) {
    EXPECT_EQ(translated("insert t values (1)"), "insert INTO t values (1)");
    EXPECT_EQ(translated("delete t where a = 1"), "delete FROM t where a = 1");
    EXPECT_EQ(translated("truncate table dbo.T"), "DELETE FROM \"T\"");
    EXPECT_EQ(translated("select a, b into #copia from t where a > 1"),
              "CREATE TEMP TABLE \"#copia\" AS select a, b from t where a > 1");
    EXPECT_EQ(
        translated("WITH n AS (SELECT 1 AS i UNION ALL SELECT i + 1 FROM n WHERE i < 10) "
                   "SELECT i FROM n OPTION (MAXRECURSION 400)"),
        "WITH RECURSIVE n AS (SELECT 1 AS i UNION ALL SELECT tsql_add(i, 1) FROM n WHERE i < 10) "
        "SELECT i FROM n");
}

TEST(TranslationTextTest, shouldNameIndexesPerTableAndDropStorageClauses) {
    EXPECT_EQ(translated("CREATE NONCLUSTERED INDEX [IX_1] ON [dbo].[T] ([a] ASC, b) "
                         "WITH (PAD_INDEX = OFF, FILLFACTOR = 90) ON [PRIMARY]"),
              "CREATE INDEX \"T.IX_1\" ON \"T\" (\"a\" ASC, b)");
    EXPECT_TRUE(translated("DROP INDEX IX_1 ON dbo.T").startsWith("DROP INDEX \"T.IX_1\";"));
    EXPECT_TRUE(translated("DROP INDEX T.IX_1").startsWith("DROP INDEX \"T.IX_1\";"));
    // The view, then the trigger that lets it take inserts as the server's would.
    const QStringList view =
        Translator()
            .translate(u"CREATE VIEW dbo.V AS SELECT TOP 100 PERCENT a FROM dbo.T ORDER BY a")
            .statements;
    ASSERT_EQ(view.size(), 2);
    EXPECT_EQ(view[0], "CREATE VIEW \"V\" AS SELECT a FROM T ORDER BY a");
    EXPECT_EQ(view[1],
              "CREATE TRIGGER \"tsql_insert_V\" INSTEAD OF INSERT ON \"V\" BEGIN INSERT INTO \"T\" "
              "(\"a\") VALUES (coalesce(NEW.\"a\", tsql_column_default('T', 'a'))); END");
    EXPECT_EQ(
        translated("ALTER VIEW V AS SELECT 1 AS a"),
        "DROP VIEW IF EXISTS \"V\";\nCREATE VIEW \"V\" AS SELECT 1 AS a"); // no table: no trigger
}

TEST(TranslationTextTest, shouldTranslateExpressionsForTheExecutor) {
    EXPECT_EQ(Translator().translateExpression(u"isnull(@a, '') + 'x'"),
              "tsql_add(ifnull(@a, ''), 'x')");
}

} // namespace

namespace {

// The error number the translation fails with, 0 when it does not.
int failureOf(const QString& tsql) {
    try {
        translated(tsql);
    } catch (const estaciones::db::ProviderFailure& failure) {
        return failure.records().front().nativeError;
    }
    return 0;
}

} // namespace

TEST(TranslationTextTest, shouldRefuseACaseWhoseEveryResultIsTheNullConstant) {
    EXPECT_EQ(failureOf("select case when a = 1 then null else null end from t"), 8133);
    EXPECT_EQ(failureOf("select case a when 1 then null end from t"), 8133);
    EXPECT_EQ(failureOf("select iif(a > 1, null, null) from t"), 8133);
    // One typed result is enough, also where a nested CASE gives it.
    EXPECT_EQ(failureOf("select case a when 2 then b else null end from t"), 0);
    EXPECT_EQ(failureOf("select case when a = 1 then null else case when b = 1 then 1 end end from t"), 0);
    EXPECT_EQ(failureOf("select iif(a > 1, null, cast(null as int)) from t"), 0);
}

TEST(TranslationTextTest, shouldSortByTheSelectItemATextInOrderByNames) {
    EXPECT_EQ(translated("select a as 'Total' from t order by 'total' desc"),
              "select a as 'Total' from t order by \"total\" desc");
    // A text that names no item stays a text.
    EXPECT_EQ(translated("select a as 'x' from t order by 'y'"), "select a as 'x' from t order by 'y'");
}

TEST(TranslationTextTest, shouldSpellOutCompoundAssignmentsOfAnUpdate) {
    // The right side stays whole: a *= b | 3 multiplies by b | 3.
    EXPECT_EQ(translated("update t set a *= b | 3, c = 2 where d = 1"),
              "update t set a = a * (tsql_bitwise_or(b, 3)), c = 2 where d = 1");
    EXPECT_EQ(translated("update t set n |= 4"), "update t set n = tsql_bitwise_or(n, (4))");
    // A comparison in the WHERE is no assignment.
    EXPECT_EQ(translated("update t set n = 1 where m >= 4"), "update t set n = 1 where m >= 4");
}

// A text a query sorts, groups or keeps distinct takes the collation a text
// column has, as the server gives an expression its operands' collation; a
// text inside another call, a branch of a UNION and a literal of a select
// list are left to the typing that reads them.
TEST(TranslationTextTest, shouldCollateTheTextResultsAQueryComparesAsItsColumns) {
    EXPECT_EQ(translated("select distinct upper(a) u, b from t group by upper(a), b order by "
                         "ltrim(b) desc"),
              "select distinct tsql_upper(a) COLLATE tsql_text u, b from t group by tsql_upper(a) "
              "COLLATE tsql_text, b order by ltrim(b) COLLATE tsql_text desc");
    EXPECT_EQ(translated("select max(lower(a)), count(distinct rtrim(a)), datalength(upper(a)) "
                         "from t"),
              "select max(tsql_lower(a) COLLATE tsql_text), count(distinct rtrim(a) COLLATE "
              "tsql_text), tsql_datalength(tsql_upper(a)) from t");
    EXPECT_EQ(translated("select v from (values ('b', 1), ('A', 2)) x (v, n) order by v"),
              "select v from (WITH x (v, n) AS (values ('b' COLLATE tsql_text, 1), ('A' COLLATE "
              "tsql_text, 2)) SELECT * FROM x) AS x order by v");
    EXPECT_EQ(translated("select upper(a) from t union select 'x'"),
              "select tsql_upper(a) from t union select 'x'");
}
