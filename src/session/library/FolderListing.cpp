#include "session/library/FolderListing.h"

#include "session/library/FileStamp.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <mutex>

namespace estaciones::library {

namespace {

constexpr qsizetype mostFoldersKept = 16;

struct Listing {
    FileStamp stamp;
    bool settled = false;
    QStringList files;
};

std::mutex listingsMutex;
QHash<QString, Listing>& listings() {
    static QHash<QString, Listing> kept;
    return kept;
}

QStringList filesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// The folder's files, from the last listing while the folder is unchanged.
QStringList currentFiles(const QString& folder) {
    const std::optional<FileStamp> stamp = stampOf(QFile::encodeName(folder));
    if (!stamp || !stamp->isFolder()) {
        return {};
    }
    const timespec now = currentTime();
    const std::lock_guard lock(listingsMutex);
    const auto kept = listings().constFind(folder);
    if (kept != listings().cend() && kept->settled && kept->stamp == *stamp) {
        return kept->files;
    }
    if (listings().size() >= mostFoldersKept) {
        listings().clear();
    }
    // The times were looked at before listing: a change during the listing
    // makes them differ at the next look.
    Listing fresh{*stamp, stamp->settledAt(now), filesOf(folder)};
    const QStringList files = fresh.files;
    listings().insert(folder, std::move(fresh));
    return files;
}

} // namespace

std::optional<QString> FolderListing::matchIgnoringCase(const QString& folder,
                                                        const QString& fileName) {
    for (const QString& entry : currentFiles(folder)) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0) {
            return QDir(folder).filePath(entry);
        }
    }
    return std::nullopt;
}

} // namespace estaciones::library
