#include "platform/db/embedded/parse/TextScan.h"
#include "platform/db/embedded/parse/Tokenizer.h"

#include <gtest/gtest.h>

using namespace estaciones::db::tsql;

// The quick looks decide whether a pass runs at all: a word they miss is a
// rewrite silently not made, so they must find every spelling of it.
TEST(TextScanTest, shouldFindWholeWordsInAnyCaseAndOnlyWholeWords) {
    EXPECT_TRUE(mentionsWord(u"SELECT a FROM t WHERE a In (1)", {"in"}));
    EXPECT_TRUE(mentionsWord(u"x BETWEEN 1 AND 2", {"in", "between"}));
    EXPECT_TRUE(mentionsWord(u"(case when", {"case"}));
    EXPECT_TRUE(mentionsWord(u"case", {"case"}));
    EXPECT_FALSE(mentionsWord(u"INSERT INTO t VALUES (1)", {"in"}));
    EXPECT_FALSE(mentionsWord(u"SELECT casero, in_x, x_in, $in, in$ FROM t", {"case", "in"}));
    EXPECT_FALSE(mentionsWord(u"", {"in"}));
    EXPECT_FALSE(mentionsWord(u"ñin", {"in"})); // a letter past ASCII is part of the name
}

TEST(TextScanTest, shouldMatchAtAPositionWithoutRunningPastTheText) {
    EXPECT_TRUE(matchesAt(u"x TSQL_Add(", 2, "tsql_add"));
    EXPECT_FALSE(matchesAt(u"x tsql_ad", 2, "tsql_add"));
    EXPECT_FALSE(matchesAt(u"sum", -1, "sum"));
    // Only ASCII letters fold: '@' and '`' differ by the case bit.
    EXPECT_FALSE(matchesAt(u"@", 0, "`"));
    EXPECT_TRUE(wordAt(u"a.GENERATED(", 2, "generated"));
    EXPECT_FALSE(wordAt(u"a.GENERATEDx", 2, "generated"));
}

TEST(TextScanTest, shouldCompareKeywordsIgnoringCaseOnlyForLetters) {
    const Tokens tokens = tokenize(QStringLiteral("SeLeCt"));
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_TRUE(tokens[0].isWord(u"SELECT"));
    EXPECT_TRUE(tokens[0].isWord(u"select"));
    EXPECT_FALSE(tokens[0].isWord(u"SELECTS"));
    EXPECT_FALSE(tokens[0].isWord(u"SELEC_"));
    Token odd = Token::word(QStringLiteral("a@b"));
    EXPECT_FALSE(odd.isWord(u"a`b")); // same but for the case bit, not letters
    EXPECT_FALSE(odd.isWord(u"A`B"));
    // Past ASCII the general folding decides, as before.
    EXPECT_TRUE(Token::word(QStringLiteral("ÑANDÚ")).isWord(u"ñandú"));
    EXPECT_FALSE(Token::word(QStringLiteral("ÑANDU")).isWord(u"ñandú"));
}

TEST(TextScanTest, shouldUpperCaseAsQtDoes) {
    for (const QString& text :
         {QStringLiteral("insert"), QStringLiteral("VALUES"), QStringLiteral("MiXed_9$"),
          QStringLiteral(""), QStringLiteral("año"), QStringLiteral("straße"), QStringLiteral("z{")})
        EXPECT_EQ(upperCased(text), text.toUpper()) << text.toStdString();
}
