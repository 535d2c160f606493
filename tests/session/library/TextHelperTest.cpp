#include "session/library/TextHelper.h"

#include <gtest/gtest.h>

using namespace estaciones;
using library::TextHelper;

TEST(Pad, shouldRightAlignCodesWithBlanks) {
    const TextHelper text;
    EXPECT_EQ(text.pad("1", 4), "   1");                    // till code
    EXPECT_EQ(text.pad(" 1 ", 4), "   1");                  // trimmed first
    EXPECT_EQ(text.pad("1", 25), QString(24, u' ') + u'1'); // first article code
    EXPECT_EQ(text.pad("1234", 4), "1234");
    EXPECT_EQ(text.pad("", 4), "    ");
}

TEST(Pad, shouldKeepATextLongerThanTheWidthWhole) {
    const TextHelper text;
    EXPECT_EQ(text.pad("12345", 4), "12345");
    EXPECT_EQ(text.pad("abc", 0), "abc");
    EXPECT_EQ(text.pad("  a b  "), "a b"); // no width: list cells, trimmed text
}

TEST(Cut, shouldKeepAtMostTheGivenLength) {
    const TextHelper text;
    const QString longText(300, u'x');
    EXPECT_EQ(text.cut(longText, 250).size(), 250);
    EXPECT_EQ(text.cut("corto", 250), "corto");
    EXPECT_EQ(text.cut("abc", 0), "");
    EXPECT_EQ(text.cut("abc", -1), "");
}

TEST(WordCount, shouldCountWordsSeparatedByAnyRunOfBlanks) {
    const TextHelper text;
    EXPECT_EQ(text.wordCount("LEN"), 1);
    EXPECT_EQ(text.wordCount("  LEN  "), 1);
    EXPECT_EQ(text.wordCount("select  *\r\nfrom\tMA_CALENDARIO"), 4);
    EXPECT_EQ(text.wordCount(""), 0);
    EXPECT_EQ(text.wordCount("   "), 0);
}

TEST(RemoveCharacter, shouldRemoveEveryOccurrence) {
    const TextHelper text;
    EXPECT_EQ(text.removeCharacter("=SRV=01=", u'='), "SRV01");
    EXPECT_EQ(text.removeCharacter(QString("MA_") + QChar(0) + "ART" + QChar(0xFF), QChar(0)),
              QString("MA_ART") + QChar(0xFF));
    EXPECT_EQ(text.removeCharacter("sin", u'='), "sin");
}

TEST(Replace, shouldReplaceEveryOccurrenceRespectingCase) {
    const TextHelper text;
    EXPECT_EQ(text.replace("a|b||c", "|", ","), "a,b,,c");
    EXPECT_EQ(text.replace("Abc abc", "abc", "x"), "Abc x");
    EXPECT_EQ(text.replace("aaa", "a", "aa"), "aaaaaa"); // no re-scan of inserted text
    EXPECT_EQ(text.replace("abc", "", "x"), "abc");
}

TEST(ReplaceInStatement, shouldRenameWholeTableNamesIgnoringCase) {
    const TextHelper text;
    EXPECT_EQ(text.replaceInStatement("SELECT * FROM v_ma_articulos a JOIN V_MA_ARTICULOS b",
                                      "V_MA_ARTICULOS", "VT_MA_ARTICULOS"),
              "SELECT * FROM VT_MA_ARTICULOS a JOIN VT_MA_ARTICULOS b");
    EXPECT_EQ(text.replaceInStatement("select * from dbo.[V_MA_ARTICULOS]", "V_MA_ARTICULOS",
                                      "VT_MA_ARTICULOS"),
              "select * from dbo.[VT_MA_ARTICULOS]");
    EXPECT_EQ(text.replaceInStatement("select x from V_MA_ARTICULOS,V_MA_PRECIOS", "V_MA_ARTICULOS",
                                      "VT_MA_ARTICULOS"),
              "select x from VT_MA_ARTICULOS,V_MA_PRECIOS");
}

TEST(ReplaceInStatement, shouldLeaveLongerNamesAndLiteralsAlone) {
    const TextHelper text;
    const QString statement =
        "SELECT * FROM V_MA_ARTICULOS_EXT, @Admin_V_MA_ARTICULOS WHERE t = 'V_MA_ARTICULOS' "
        "AND u = 'it''s V_MA_ARTICULOS'";
    EXPECT_EQ(text.replaceInStatement(statement, "V_MA_ARTICULOS", "VT_MA_ARTICULOS"), statement);
    EXPECT_EQ(text.replaceInStatement("x", "", "y"), "x");
}

TEST(Folder, shouldEndInOneSlash) {
    const TextHelper text;
    EXPECT_EQ(text.folder("/opt/estaciones"), "/opt/estaciones/");
    EXPECT_EQ(text.folder("/opt/estaciones/"), "/opt/estaciones/");
    EXPECT_EQ(text.folder("/opt/estaciones\\"), "/opt/estaciones/");
    EXPECT_EQ(text.folder("/opt/estaciones//"), "/opt/estaciones/");
    EXPECT_EQ(text.folder("/"), "/");
    EXPECT_EQ(text.folder(""), ""); // never the root folder by accident
}

TEST(NullHandling, shouldTurnOnlyNullIntoEmptyText) {
    const TextHelper text;
    EXPECT_EQ(text.nullToEmpty(Variant::null()), Variant(QString()));
    EXPECT_EQ(text.nullToEmpty(Variant()), Variant()); // Empty stays Empty
    EXPECT_EQ(text.nullToEmpty(Variant(12)), Variant(12));
    EXPECT_EQ(text.nullToEmpty(Variant("AL")), Variant("AL"));
}
