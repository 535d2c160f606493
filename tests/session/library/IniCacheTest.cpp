// A parsed INI file is reused only while the file stays as it was: a rewrite
// of the same size within the same second, a replacement by rename, a
// removal are all seen at the next read. A file too large to keep is read a
// line at a time, with the same answers. Folders are listed again as they change.
#include "session/library/IniCache.h"
#include "session/library/FileStamp.h"
#include "session/library/FolderListing.h"
#include "session/library/IniContents.h"
#include "session/library/IniFile.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;

namespace {

void writeIniFile(const QString& path, const QByteArray& bytes) {
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
const Case trickyCases[] = {{"uno", "CLAVE", "primera"}, {"Uno", "[sin cierre", "valor"},
                            {"Uno", "", "vacia"},        {"Dos", "clave", "dos"},
                            {"Uno", "Otra", nullptr},    {"", "Antes", nullptr},
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
    writeIniFile(path, "[S]\r\nK=antes\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "antes");
    // Same size, same second: the times may well be the same.
    writeIniFile(path, "[S]\r\nK=ahora\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "ahora");
    writeIniFile(path, "[S]\r\nK=larga y nueva\r\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "larga y nueva");
}

TEST_F(IniCacheTest, shouldSeeAFileReplacedOrRemoved) {
    writeIniFile(path, "[S]\nK=vieja\n");
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "vieja");
    const QString other = programFolder.filePath("nuevo.tmp");
    writeIniFile(other, "[S]\nK=nueva\n");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(other, path));
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", ""), "nueva");
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(ini.read("CN000pr.INI", "S", "K", "d"), "d");
}

TEST_F(IniCacheTest, shouldGiveTheSameContentsToEveryReaderOfAnUnchangedFile) {
    writeIniFile(path, "[S]\nK=V\n");
    const auto first = library::IniCache::lookup(path).contents;
    const auto second = library::IniCache::lookup(path).contents;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second); // parsed once
    EXPECT_EQ(first->value(u"s", u"k"), QStringLiteral("V"));
    EXPECT_FALSE(library::IniCache::lookup(programFolder.filePath("falta.ini")).isFile);
    EXPECT_FALSE(library::IniCache::lookup(programFolder.path()).isFile); // a folder
}

TEST_F(IniCacheTest, shouldAnswerAlikeForAKeptFileAndOneReadLineByLine) {
    writeIniFile(path, trickyIni);
    // The same sections after a megabyte of comments: too large to keep.
    QByteArray large;
    const QByteArray comment = "; " + QByteArray(1000, 'x') + "\r\n";
    while (large.size() <= library::IniCache::largestKept) {
        large += comment;
    }
    large += trickyIni;
    const QString largePath = programFolder.filePath("grande.ini");
    writeIniFile(largePath, large);
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

TEST(FolderListing, shouldFollowTheFolderAsFilesComeAndGo) {
    QTemporaryDir folder;
    using library::FolderListing;
    EXPECT_FALSE(FolderListing::matchIgnoringCase(folder.path(), "CN000pr.INI"));
    writeIniFile(folder.filePath("cn000PR.ini"), "[S]\n");
    EXPECT_EQ(FolderListing::matchIgnoringCase(folder.path(), "CN000pr.INI"),
              folder.filePath("cn000PR.ini"));
    ASSERT_TRUE(QFile::rename(folder.filePath("cn000PR.ini"), folder.filePath("otro.ini")));
    EXPECT_FALSE(FolderListing::matchIgnoringCase(folder.path(), "CN000pr.INI"));
    EXPECT_EQ(FolderListing::matchIgnoringCase(folder.path(), "OTRO.INI"),
              folder.filePath("otro.ini"));
    // Only files: a folder of that name is passed over.
    ASSERT_TRUE(QDir(folder.path()).mkdir("Sub.ini"));
    EXPECT_FALSE(FolderListing::matchIgnoringCase(folder.path(), "sub.INI"));
    EXPECT_FALSE(FolderListing::matchIgnoringCase(folder.filePath("falta"), "otro.ini"));
}

TEST(FileStamp, shouldTrustTheTimesOnlyOnceTheLastChangeIsOlderThanAnyTick) {
    library::FileStamp stamp;
    stamp.modified.tv_sec = 1000;
    stamp.changed.tv_sec = 1000;
    EXPECT_FALSE(stamp.settledAt({1000, 0}));
    EXPECT_FALSE(stamp.settledAt({1003, 999999999})); // FAT's two-second tick, and one more
    EXPECT_TRUE(stamp.settledAt({1004, 0}));
    stamp.changed.tv_sec = 1002; // a rename or chmod is a change too
    EXPECT_FALSE(stamp.settledAt({1004, 0}));
    EXPECT_TRUE(stamp.settledAt({1006, 0}));

    QTemporaryDir folder;
    const auto file = library::stampOf(QFile::encodeName(folder.filePath("a.ini")));
    EXPECT_FALSE(file.has_value());
    writeIniFile(folder.filePath("a.ini"), "x");
    const auto written = library::stampOf(QFile::encodeName(folder.filePath("a.ini")));
    ASSERT_TRUE(written.has_value());
    EXPECT_TRUE(written->isFile());
    EXPECT_EQ(written->size, 1);
    EXPECT_TRUE(library::stampOf(QFile::encodeName(folder.path()))->isFolder());
    writeIniFile(folder.filePath("a.ini"), "xy");
    EXPECT_FALSE(*library::stampOf(QFile::encodeName(folder.filePath("a.ini"))) == *written);
}
