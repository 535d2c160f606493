#include "session/library/IniFile.h"

#include "platform/os/System.h"
#include "session/library/SharedTextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace estaciones::library {

namespace {

// The entry of `folder` whose name is `fileName` ignoring case, as Windows
// matched it.
std::optional<QString> matchIgnoringCase(const QString& folder, const QString& fileName) {
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return std::nullopt;
}

std::optional<QString> findInFolder(const QString& folder, const QString& fileName) {
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    const QString exact = QDir(folder).filePath(fileName);
    if (QFileInfo(exact).isFile()) {
        return exact;
    }
    return matchIgnoringCase(folder, fileName);
}

// Whether `folder` holds `fileName` as findInFolder finds it; when it does,
// `file` is opened on it (an unreadable file stays closed). The name as given
// is tried first: most reads find it so, without a look at the folder.
bool foundInFolder(QFile& file, const QString& folder, const QString& fileName) {
    if (folder.isEmpty()) {
        return false;
    }
    file.setFileName(QDir(folder).filePath(fileName));
    if (file.open(QIODevice::ReadOnly) || QFileInfo(file.fileName()).isFile()) {
        return true;
    }
    const auto found = matchIgnoringCase(folder, fileName);
    if (!found) {
        return false;
    }
    file.setFileName(*found);
    file.open(QIODevice::ReadOnly);
    return true;
}

// The value of `key` in the first section named `section`, if there is one;
// both are trimmed and compared ignoring case.
std::optional<QString> valueIn(SharedTextLines& lines, QStringView section, QStringView key);

// "[ Name ]" gives "Name"; anything else nothing.
std::optional<QStringView> sectionName(QStringView line) {
    if (!line.startsWith(u'[')) {
        return std::nullopt;
    }
    const qsizetype close = line.indexOf(u']');
    if (close < 0) {
        return std::nullopt;
    }
    return line.sliced(1, close - 1).trimmed();
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
    for (const QString& folder : searchFolders()) {
        if (auto found = findInFolder(folder, fileName)) {
            return found;
        }
    }
    return std::nullopt;
}

bool IniFile::open(QFile& file, const QString& fileName) const {
    if (fileName.trimmed().isEmpty()) {
        return false;
    }
    if (fileName.contains(u'/')) {
        file.setFileName(fileName);
        return file.open(QIODevice::ReadOnly);
    }
    // The user's folder is only asked for when the program folder lacks the file.
    const bool found =
        foundInFolder(file, m_programFolder.isEmpty() ? os::programFolder() : m_programFolder,
                      fileName) ||
        foundInFolder(file, os::userConfigFolder(), fileName);
    return found && file.isOpen();
}

QString IniFile::read(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue) const {
    QFile file;
    if (!open(file, fileName)) {
        return defaultValue;
    }
    // A line at a time: a file of any size reads in the memory of its
    // longest line.
    SharedTextLines lines;
    if (!lines.open(file.fileName())) {
        return defaultValue;
    }
    return valueIn(lines, QStringView(section).trimmed(), QStringView(key).trimmed())
        .value_or(defaultValue);
}

namespace {

std::optional<QString> valueIn(SharedTextLines& lines, QStringView section, QStringView key) {
    bool inSection = false;
    bool sectionSeen = false;
    while (const std::optional<QString> text = lines.next()) {
        const QStringView line = QStringView(*text).trimmed();
        if (line.isEmpty() || line.startsWith(u';')) {
            continue;
        }
        if (const auto name = sectionName(line)) {
            if (sectionSeen && inSection) {
                break; // the first matching section ended without the key
            }
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) {
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            continue;
        }
        if (line.first(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            QStringView value = line.sliced(equals + 1).trimmed();
            // Quotes around a value only protect its blanks, as on Windows.
            if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
                value = value.sliced(1, value.size() - 2);
            }
            return value.toString();
        }
    }
    return std::nullopt;
}

} // namespace

} // namespace estaciones::library
