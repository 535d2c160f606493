#include "platform/db/embedded/parse/Tokenizer.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace estaciones::db::tsql;

namespace {

Tokens significant(const QString& text) {
    Tokens out;
    for (Token& t : tokenize(text))
        if (!t.isTrivia())
            out.push_back(std::move(t));
    return out;
}

} // namespace

TEST(TokenizerTest, shouldGiveTheInputBackUnchanged) {
    const char* inputs[] = {
        "select * from MA_CALENDARIO with(nolock) where Fecha = '14/3/2025'",
        "insert into t values ('a;b', 'GO', N'Peña', 'it''s', '/* not a comment', '--x')\nGO\n",
        "select [a]]b], \"c\"\"d\" from [dbo].[x] -- trailing\r\n/* a /* nested */ still */ select "
        "1",
        "select 'unterminated",
        "select [unterminated",
        "/* unterminated /* comment */",
        "select @v, @@IDENTITY, ?, 1.5e3, .5, 0x1F, a.b, x<=y, x!<y, @n += 1",
        "",
        "\t \n",
        "select '\xc3\xb1' + N'\xe2\x82\xac' from [tab\xc3\xa9]",
    };
    for (const char* input : inputs) {
        const QString text = QString::fromUtf8(input);
        EXPECT_EQ(detokenize(tokenize(text)), text) << input;
    }
}

TEST(TokenizerTest, shouldKeepSeparatorsAndKeywordsInsideStringsAsOneToken) {
    const Tokens tokens = significant(QStringLiteral("print 'a; GO /* b' ; go"));
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].kind, TokenKind::String);
    EXPECT_EQ(tokens[1].value(), QStringLiteral("a; GO /* b"));
    EXPECT_TRUE(tokens[2].isPunctuation(u";"));
    EXPECT_TRUE(tokens[3].isWord(u"GO"));
}

TEST(TokenizerTest, shouldUndoDoubledQuotesAndMarkNationalStrings) {
    const Tokens tokens = significant(QStringLiteral("N'it''s' [a]]b] \"c\"\"d\" 'x'"));
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_TRUE(tokens[0].national);
    EXPECT_EQ(tokens[0].value(), QStringLiteral("it's"));
    EXPECT_EQ(tokens[1].kind, TokenKind::QuotedName);
    EXPECT_EQ(tokens[1].value(), QStringLiteral("a]b"));
    EXPECT_EQ(tokens[2].value(), QStringLiteral("c\"d"));
    EXPECT_FALSE(tokens[3].national);
}

TEST(TokenizerTest, shouldMarkUnterminatedStringsNamesAndComments) {
    for (const char* text : {"'abc", "N'abc''", "[abc", "\"abc", "/* a /* b */"}) {
        const Tokens tokens = tokenize(QString::fromLatin1(text));
        ASSERT_EQ(tokens.size(), 1u) << text;
        EXPECT_TRUE(tokens[0].unterminated) << text;
    }
    EXPECT_EQ(tokenize(QStringLiteral("'abc")).front().value(), QStringLiteral("abc"));
}

TEST(TokenizerTest, shouldNestBlockCommentsAsSqlServerDoes) {
    const Tokens tokens = tokenize(QStringLiteral("/* a /* b */ c */select"));
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].kind, TokenKind::Comment);
    EXPECT_TRUE(tokens[1].isWord(u"SELECT"));
}

TEST(TokenizerTest, shouldClassifyVariablesNumbersAndOperators) {
    const Tokens tokens =
        significant(QStringLiteral("@v @@ROWCOUNT ? 12 1.5 .5 t.c #tmp <= >= <> != !< !> += N"));
    std::vector<std::pair<TokenKind, QString>> expected = {
        {TokenKind::Variable, "@v"},    {TokenKind::Variable, "@@ROWCOUNT"},
        {TokenKind::Parameter, "?"},    {TokenKind::Number, "12"},
        {TokenKind::Number, "1.5"},     {TokenKind::Number, ".5"},
        {TokenKind::Word, "t"},         {TokenKind::Punctuation, "."},
        {TokenKind::Word, "c"},         {TokenKind::Word, "#tmp"},
        {TokenKind::Punctuation, "<="}, {TokenKind::Punctuation, ">="},
        {TokenKind::Punctuation, "<>"}, {TokenKind::Punctuation, "!="},
        {TokenKind::Punctuation, "!<"}, {TokenKind::Punctuation, "!>"},
        {TokenKind::Punctuation, "+="}, {TokenKind::Word, "N"},
    };
    ASSERT_EQ(tokens.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(tokens[i].kind, expected[i].first) << i;
        EXPECT_EQ(tokens[i].text, expected[i].second) << i;
    }
}

TEST(TokenizerTest, shouldRecordWhereEachTokenStarts) {
    const QString text = QStringLiteral("select  'a'\n  from t");
    for (const Token& token : tokenize(text))
        EXPECT_EQ(text.mid(token.offset, token.text.size()), token.text);
}

// The type names of several words become the server's one-word names, each
// where it stands, however many a text has (a table of many such columns).
TEST(TokenizerTest, shouldNameMultiWordTypesByTheirOneWordNames) {
    QString text;
    QStringList expected;
    for (int i = 0; i < 200; ++i) {
        text += QStringLiteral("c%1 national character varying(10), d%1 double precision, "
                               "e%1 float(24), f%1 character(3), g%1 int, ")
                    .arg(i);
        expected << QStringLiteral("c%1 nvarchar ( 10 ) , d%1 float , e%1 real , f%1 char ( 3 ) , "
                                   "g%1 int ,")
                        .arg(i);
    }
    QStringList texts;
    for (const Token& token : significant(text))
        texts << token.text;
    EXPECT_EQ(texts.join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    // Lines still count from the original text.
    const Tokens lines = significant(QStringLiteral("x double\n precision,\ny national char"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3].text, QStringLiteral("y"));
    EXPECT_EQ(lines[3].line, 3);
}
