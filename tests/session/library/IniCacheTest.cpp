// A parsed INI file is reused only while the file stays as it was: a rewrite
// of the same size within the same second, a replacement by rename, a
// removal are all seen at the next read. A file too large to keep is read a
// line at a time, with the same answers.
#include "session/library/IniCache.h"
#include "session/library/IniContents.h"
#include "session/library/IniFile.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Sections repeated, keys repeated, a "[" line without "]", text before the
// first section: what the readers must agree on.
const QByteArray trickyIni = "Antes=fuera\r\n"
                             "[Uno]\r\n"
                             "Clave=primera\r\n"
                             "clave=segunda\r\n"
                             "[sin cierre=valor\r\n"
                             "  =  vacia  \r\n"
                             "[Dos]\r\n"
                             "Clave=dos\r\n"
                             "[UNO]\r\n"
                             "Clave=tercera\r\n"
                             "Otra=de la segunda Uno\r\n";

struct Case {
    const char* section;
    const char* key;
    const char* expected; // nullptr: the default
};
const Case trickyCases[] = {{"uno", "CLAVE", "primera"},         {"Uno", "[sin cierre", "valor"},
                            {"Uno", "", "vacia"},                {"Dos", "clave", "dos"},
                            {"Uno", "Otra", nullptr},            {"", "Antes", nullptr},
                            {"Tres", "Clave", nullptr}};

class IniCacheTest : public ::testing::Test {
protected:
    QTemporaryDir programFolder;
    test::ScopedEnvFolder config{"XDG_CONFIG_HOME"};
    library::IniFile ini{programFolder.path()};
    QString path = programFolder.filePath("CN000pr.INI");
};

} // namespace

TEST_F(IniCacheTest, shouldSeeARewriteOfTheSameSizeAtOnce) {
    writeFile(path, "[S]\r\nK=antes\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "antes");
    // Same size, same second: the times may well be the same.
    writeFile(path, "[S]\r\nK=ahora\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "ahora");
    writeFile(path, "[S]\r\nK=larga y nueva\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "larga y nueva");
}

TEST_F(IniCacheTest, shouldSeeAFileReplacedOrRemoved) {
    writeFile(path, "[S]\nK=vieja\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "vieja");
    const QString other = programFolder.filePath("nuevo.tmp");
    writeFile(other, "[S]\nK=nueva\n");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(other, path));
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "nueva");
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", "d"), "d");
}

TEST_F(IniCacheTest, shouldGiveTheSameContentsToEveryReaderOfAnUnchangedFile) {
    writeFile(path, "[S]\nK=V\n");
    const auto first = library::IniCache::lookup(path).contents;
    const auto second = library::IniCache::lookup(path).contents;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second); // parsed once
    EXPECT_EQ(first->value(u"s", u"k"), QStringLiteral("V"));
    EXPECT_FALSE(library::IniCache::lookup(programFolder.filePath("falta.ini")).isFile);
    EXPECT_FALSE(library::IniCache::lookup(programFolder.path()).isFile); // a folder
}

TEST_F(IniCacheTest, shouldAnswerAlikeForAKeptFileAndOneReadLineByLine) {
    writeFile(path, trickyIni);
    // The same sections after a megabyte of comments: too large to keep.
    QByteArray large;
    const QByteArray comment = "; " + QByteArray(1000, 'x') + "\r\n";
    while (large.size() <= library::IniCache::largestKept) {
        large += comment;
    }
    large += trickyIni;
    const QString largePath = programFolder.filePath("grande.ini");
    writeFile(largePath, large);
    const library::IniCache::Lookup largeLookup = library::IniCache::lookup(largePath);
    ASSERT_TRUE(largeLookup.isFile);
    ASSERT_EQ(largeLookup.contents, nullptr);
    ASSERT_NE(library::IniCache::lookup(path).contents, nullptr);

    for (const Case& c : trickyCases) {
        const QString expected = c.expected ? QString::fromUtf8(c.expected) : QStringLiteral("d");
        EXPECT_EQ(ini.read("CN000pr.INI", c.section, c.key, "d"), expected)
            << c.section << " / " << c.key;
        EXPECT_EQ(ini.read("grande.ini", c.section, c.key, "d"), expected)
            << "large: " << c.section << " / " << c.key;
    }
}

TEST(IniLine, shouldTellSectionsValuesAndNothing) {
    using Kind = library::IniLine::Kind;
    const auto section = library::interpretIniLine(u"  [ PC01|USUARIO ] resto ");
    EXPECT_EQ(section.kind, Kind::Section);
    EXPECT_EQ(section.name, u"PC01|USUARIO");

    const auto value = library::interpretIniLine(u" Usuario = \"  x=y  \" \r");
    EXPECT_EQ(value.kind, Kind::Value);
    EXPECT_EQ(value.name, u"Usuario");
    EXPECT_EQ(value.value, u"  x=y  ");
    // A lone quote is kept; only a pair around the value is taken off.
    EXPECT_EQ(library::interpretIniLine(u"K=\"").value, u"\"");

    EXPECT_EQ(library::interpretIniLine(u"; K=V").kind, Kind::Nothing);
    EXPECT_EQ(library::interpretIniLine(u"   ").kind, Kind::Nothing);
    EXPECT_EQ(library::interpretIniLine(u"sin igual").kind, Kind::Nothing);
}
