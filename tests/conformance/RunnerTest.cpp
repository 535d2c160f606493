// The corpus is only as good as the runner that reads it: these check how
// case files are read, how values are written and how the list of known
// failures is read, without an engine.
#include "CaseFile.h"
#include "KnownFailures.h"
#include "ValueText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace estaciones::conformance {
namespace {

// A file of the scratch folder with the given text.
QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    return path;
}

class CaseFileText : public ::testing::Test {
protected:
    QString write(const char* text) { return writeFile(m_dir, "caso.test", text); }
    // The cases of `text`, which must hold `count` of them.
    std::vector<Case> casesOf(const char* text, std::size_t count) {
        std::vector<Case> cases = readCaseFile(write(text)).cases;
        EXPECT_EQ(cases.size(), count);
        cases.resize(count);
        return cases;
    }

private:
    QTemporaryDir m_dir;
};

TEST_F(CaseFileText, ReadsStatementsWithErrorNumbersAndText) {
    const std::vector<Case> cases = casesOf("# comentario\n"
                                            "statement ok\nCREATE TABLE t (a int)\n\n"
                                            "statement error 5074 4922\nALTER TABLE t DROP COLUMN a\n\n"
                                            "statement error 8134 Divide by zero error encountered.\nSELECT 1/0\n",
                                            3);
    EXPECT_EQ(cases[0].line, 2);
    EXPECT_TRUE(cases[0].errorNumbers.empty());
    EXPECT_EQ(cases[1].errorNumbers, (std::vector<int>{5074, 4922}));
    EXPECT_TRUE(cases[1].errorText.isEmpty());
    EXPECT_EQ(cases[2].errorNumbers, std::vector<int>{8134});
    EXPECT_EQ(cases[2].errorText, QStringLiteral("Divide by zero error encountered."));
    EXPECT_EQ(cases[2].sql, QStringLiteral("SELECT 1/0"));
}

// Two batches, a section of messages alone (no result set), a set with its
// header (blanks after its last row are no part of it) and an empty one;
// then a query that gives only a message.
const char* const queryCases = "query rowsort header error 50000 falla\n"
                               "PRINT 'a'\nSELECT 1 AS x\nGO\nSELECT 2 AS y WHERE 1 = 0\n"
                               "----\nmessage: a\n----\nx\n1  \n----\ny\n----\n(0 rows)\n\n"
                               "query\nPRINT 'b'\n----\nmessage: b\n";

TEST_F(CaseFileText, SplitsResultSetsAndMessages) {
    const std::vector<Case> cases = casesOf(queryCases, 2);
    const Case& first = cases[0];
    EXPECT_TRUE(first.sortRows && first.withHeader);
    EXPECT_EQ(first.errorNumbers, std::vector<int>{50000});
    EXPECT_EQ(first.sql, QStringLiteral("PRINT 'a'\nSELECT 1 AS x\nGO\nSELECT 2 AS y WHERE 1 = 0"));
    ASSERT_EQ(first.resultSets.size(), 3u);
    EXPECT_EQ(first.resultSets[0], (QStringList{"x", "1"}));
    EXPECT_EQ(first.resultSets[1], QStringList{"y"});
    EXPECT_TRUE(first.resultSets[2].isEmpty());
    EXPECT_EQ(first.messages, QStringList{"a"});
    EXPECT_TRUE(cases[1].resultSets.empty());
    EXPECT_EQ(cases[1].messages, QStringList{"b"});
}

TEST_F(CaseFileText, RefusesMalformedCasesNamingTheLine) {
    for (const char* text : {"statement maybe\nSELECT 1\n", "query\nSELECT 1\n", "statement error\nSELECT 1\n",
                             "query sorted\nSELECT 1\n----\n1\n", "\n\nstatement ok\n\n"}) {
        try {
            readCaseFile(write(text));
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::runtime_error& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QStringLiteral("caso.test:")));
        }
    }
}

TEST(ValueText, WritesNumbersAtTheirScale) {
    const db::ColumnInfo column;
    EXPECT_EQ(valueText(Variant::null(), column), QStringLiteral("NULL"));
    EXPECT_EQ(valueText(Variant(true), column), QStringLiteral("1"));
    EXPECT_EQ(valueText(Variant(-42), column), QStringLiteral("-42"));
    EXPECT_EQ(valueText(Variant(Currency{-5000}), column), QStringLiteral("-0.5000"));
    EXPECT_EQ(valueText(Variant(Currency{123456}), column), QStringLiteral("12.3456"));
    EXPECT_EQ(valueText(Variant(*Decimal::parse(u"1.0000")), column), QStringLiteral("1.0000"));
    EXPECT_EQ(valueText(Variant(100.0), column), QStringLiteral("100"));
}

TEST(ValueText, QuotesTextsThatWouldReadOtherwise) {
    const db::ColumnInfo column;
    EXPECT_EQ(valueText(Variant(QString()), column), QStringLiteral("''"));
    EXPECT_EQ(valueText(Variant("NULL"), column), QStringLiteral("'NULL'"));
    EXPECT_EQ(valueText(Variant(" 123.5"), column), QStringLiteral("' 123.5'"));
    EXPECT_EQ(valueText(Variant("a | b"), column), QStringLiteral("'a | b'"));
    EXPECT_EQ(valueText(Variant("it's"), column), QStringLiteral("it's"));
}

TEST(ValueText, WritesDatesAsTheColumnTypeShowsThem) {
    const Variant value(DateTimeValue{QDate(2024, 1, 7), QTime(12, 34, 56, 997), 1234});
    db::ColumnInfo column;
    column.type = db::adtype::DBTimeStamp;
    EXPECT_EQ(valueText(value, column), QStringLiteral("2024-01-07 12:34:56.997"));
    column.precision = 27;
    column.numericScale = 7;
    EXPECT_EQ(valueText(value, column), QStringLiteral("2024-01-07 12:34:56.9971234"));
    column.precision = 19;
    column.numericScale = 0;
    EXPECT_EQ(valueText(value, column), QStringLiteral("2024-01-07 12:34:56"));
    column.precision = 0;
    column.definedSize = 4;
    EXPECT_EQ(valueText(value, column), QStringLiteral("2024-01-07 12:34:56"));
    column.type = db::adtype::DBDate;
    EXPECT_EQ(valueText(value, column), QStringLiteral("2024-01-07"));
    column.type = db::adtype::DBTime;
    column.precision = 12;
    column.numericScale = 3;
    EXPECT_EQ(valueText(value, column), QStringLiteral("12:34:56.997"));
}

TEST(KnownFailuresList, ReadsReasonsAndCrashMarks) {
    QTemporaryDir dir;
    const KnownFailures known = KnownFailures::read(writeFile(
        dir, "known-failures.txt",
        "# comentario\nnumbers.test:12  da: 3.3333333333333335\n\nconstraints.test:194  cae: violación de segmento\n"));
    EXPECT_EQ(known.reasonFor(QStringLiteral("numbers.test"), 12), QStringLiteral("da: 3.3333333333333335"));
    EXPECT_TRUE(known.reasonFor(QStringLiteral("numbers.test"), 13).isEmpty());
    EXPECT_TRUE(KnownFailures::crashes(known.reasonFor(QStringLiteral("constraints.test"), 194)));
    EXPECT_FALSE(KnownFailures::crashes(known.reasonFor(QStringLiteral("numbers.test"), 12)));
    EXPECT_THROW(KnownFailures::read(writeFile(dir, "mala.txt", "numbers.test 12 sin dos puntos\n")), std::runtime_error);
}

} // namespace
} // namespace estaciones::conformance
