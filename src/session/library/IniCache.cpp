#include "session/library/IniCache.h"

#include "session/library/FileStamp.h"
#include "session/library/Windows1252.h"

#include <QFile>
#include <QHash>

#include <mutex>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace estaciones::library {

namespace {

// More files than a program reads: past it the cache starts again.
constexpr qsizetype mostFilesKept = 64;

std::optional<QByteArray> bytesOf(const QByteArray& path, off_t size) {
    const int descriptor = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    // One byte more than the size: a file that grew meanwhile is read whole.
    QByteArray bytes(static_cast<qsizetype>(size) + 1, Qt::Uninitialized);
    qsizetype length = 0;
    for (;;) {
        if (length == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got =
            ::read(descriptor, bytes.data() + length, static_cast<size_t>(bytes.size() - length));
        if (got < 0) {
            ::close(descriptor);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        length += got;
    }
    ::close(descriptor);
    bytes.truncate(length);
    return bytes;
}

struct Entry {
    FileStamp stamp;
    bool settled = false;
    QByteArray bytes; // while not settled, to compare with
    std::shared_ptr<const IniContents> contents;
};

std::mutex cacheMutex;
QHash<QString, Entry>& cache() {
    static QHash<QString, Entry> entries;
    return entries;
}

} // namespace

IniCache::Lookup IniCache::lookup(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const std::optional<FileStamp> stamp = stampOf(native);
    if (!stamp || !stamp->isFile()) {
        return {};
    }
    if (stamp->size > largestKept) {
        return {true, nullptr};
    }
    const timespec now = currentTime();

    const std::lock_guard lock(cacheMutex);
    auto entry = cache().find(path);
    if (entry != cache().end() && entry->stamp == *stamp && entry->settled) {
        return {true, entry->contents};
    }
    const std::optional<QByteArray> bytes = bytesOf(native, stamp->size);
    if (!bytes) {
        return {true, nullptr};
    }
    const bool nowSettled = stamp->settledAt(now);
    if (entry != cache().end() && entry->stamp == *stamp && entry->bytes == *bytes) {
        entry->settled = nowSettled;
        if (nowSettled) {
            entry->bytes.clear();
        }
        return {true, entry->contents};
    }
    if (cache().size() >= mostFilesKept) {
        cache().clear();
    }
    Entry fresh{*stamp, nowSettled, nowSettled ? QByteArray() : *bytes,
                std::make_shared<const IniContents>(IniContents::parse(decodeSharedText(*bytes)))};
    std::shared_ptr<const IniContents> contents = fresh.contents;
    cache().insert(path, std::move(fresh));
    return {true, std::move(contents)};
}

} // namespace estaciones::library
