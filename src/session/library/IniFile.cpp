#include "session/library/IniFile.h"

#include "platform/os/System.h"
#include "session/library/FolderListing.h"
#include "session/library/IniCache.h"
#include "session/library/IniContents.h"
#include "session/library/SharedTextLines.h"

#include <QDir>
#include <QFileInfo>

namespace estaciones::library {

namespace {

std::optional<QString> findInFolder(const QString& folder, const QString& fileName) {
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    const QString exact = QDir(folder).filePath(fileName);
    if (QFileInfo(exact).isFile()) {
        return exact;
    }
    return FolderListing::matchIgnoringCase(folder, fileName);
}

// The value of `key` in the first section named `section`, read a line at a
// time (a file too large to keep parsed).
std::optional<QString> valueIn(SharedTextLines& lines, QStringView section, QStringView key) {
    bool inSection = false;
    while (const std::optional<QString> text = lines.next()) {
        const IniLine line = interpretIniLine(*text);
        if (line.kind == IniLine::Kind::Section) {
            if (inSection) {
                break; // the first matching section ended without the key
            }
            inSection = line.name.compare(section, Qt::CaseInsensitive) == 0;
        } else if (line.kind == IniLine::Kind::Value && inSection &&
                   line.name.compare(key, Qt::CaseInsensitive) == 0) {
            return line.value.toString();
        }
    }
    return std::nullopt;
}

} // namespace

IniFile::IniFile(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QStringList IniFile::searchFolders() const {
    return {m_programFolder.isEmpty() ? os::programFolder() : m_programFolder,
            os::userConfigFolder()};
}

std::optional<QString> IniFile::locate(const QString& fileName) const {
    if (fileName.trimmed().isEmpty()) {
        return std::nullopt;
    }
    if (fileName.contains(u'/')) {
        return QFileInfo(fileName).isFile() ? std::optional<QString>(fileName) : std::nullopt;
    }
    // The user's folder is only asked for when the program folder lacks the file.
    if (auto found = findInFolder(m_programFolder.isEmpty() ? os::programFolder() : m_programFolder,
                                  fileName)) {
        return found;
    }
    return findInFolder(os::userConfigFolder(), fileName);
}

QString IniFile::read(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue) const {
    if (fileName.trimmed().isEmpty()) {
        return defaultValue;
    }
    // Most reads find the file in the program folder under the name as
    // given: then one look at it answers both where and whether it changed.
    QString path = fileName;
    if (!fileName.contains(u'/')) {
        const QString folder = m_programFolder.isEmpty() ? os::programFolder() : m_programFolder;
        path = folder + QLatin1Char('/') + fileName;
    }
    IniCache::Lookup found = IniCache::lookup(path);
    if (!found.isFile) {
        const std::optional<QString> located = locate(fileName);
        if (!located) {
            return defaultValue;
        }
        path = *located;
        found = IniCache::lookup(path);
    }
    const QStringView wantedSection = QStringView(section).trimmed();
    const QStringView wantedKey = QStringView(key).trimmed();
    if (found.contents) {
        return found.contents->value(wantedSection, wantedKey).value_or(defaultValue);
    }
    // A line at a time: a file of any size reads in the memory of its
    // longest line.
    SharedTextLines lines;
    if (!lines.open(path)) {
        return defaultValue;
    }
    return valueIn(lines, wantedSection, wantedKey).value_or(defaultValue);
}

} // namespace estaciones::library
