#include "session/library/IniFile.h"

#include "platform/os/System.h"
#include "session/library/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace estaciones::library {

namespace {

std::optional<QString> findInFolder(const QString& folder, const QString& fileName) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) {
        return std::nullopt;
    }
    if (QFileInfo(dir.filePath(fileName)).isFile()) {
        return dir.filePath(fileName);
    }
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return std::nullopt;
}

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

QString IniFile::read(const QString& fileName, const QString& section, const QString& key,
                      const QString& defaultValue) const {
    const auto path = locate(fileName);
    if (!path) {
        return defaultValue;
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        return defaultValue;
    }
    const QString content = decodeSharedText(file.readAll());
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();

    bool inSection = false;
    bool sectionSeen = false;
    for (QStringView line : QStringView(content).split(u'\n')) {
        line = line.trimmed(); // also drops the CR of CR LF
        if (line.isEmpty() || line.startsWith(u';')) {
            continue;
        }
        if (const auto name = sectionName(line)) {
            if (sectionSeen && inSection) {
                break; // the first matching section ended without the key
            }
            inSection = name->compare(wantedSection, Qt::CaseInsensitive) == 0;
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
        if (line.first(equals).trimmed().compare(wantedKey, Qt::CaseInsensitive) == 0) {
            QStringView value = line.sliced(equals + 1).trimmed();
            // Quotes around a value only protect its blanks, as on Windows.
            if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
                value = value.sliced(1, value.size() - 2);
            }
            return value.toString();
        }
    }
    return defaultValue;
}

} // namespace estaciones::library
