#include "session/library/IniCache.h"

#include "session/library/Windows1252.h"

#include <QFile>
#include <QHash>

#include <mutex>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace estaciones::library {

namespace {

// How long after its last change a file's times are trusted to show the next
// one: above any file system's timestamp tick (FAT's is two seconds).
constexpr time_t settleSeconds = 3;
// More files than a program reads: past it the cache starts again.
constexpr qsizetype mostFilesKept = 64;

struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    friend bool operator==(const Stamp& a, const Stamp& b) {
        return a.device == b.device && a.inode == b.inode && a.size == b.size &&
               a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec &&
               a.changed.tv_sec == b.changed.tv_sec && a.changed.tv_nsec == b.changed.tv_nsec;
    }
};

std::optional<Stamp> stampOf(const QByteArray& path) {
    struct stat status {};
    if (::stat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return Stamp{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

// Whether a file with these times, read at `now`, would show any later change.
bool settled(const Stamp& stamp, const timespec& now) {
    return stamp.modified.tv_sec + settleSeconds < now.tv_sec &&
           stamp.changed.tv_sec + settleSeconds < now.tv_sec;
}

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
        const ssize_t got = ::read(descriptor, bytes.data() + length,
                                   static_cast<size_t>(bytes.size() - length));
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
    Stamp stamp;
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
    const std::optional<Stamp> stamp = stampOf(native);
    if (!stamp) {
        return {};
    }
    if (stamp->size > largestKept) {
        return {true, nullptr};
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);

    const std::lock_guard lock(cacheMutex);
    auto entry = cache().find(path);
    if (entry != cache().end() && entry->stamp == *stamp && entry->settled) {
        return {true, entry->contents};
    }
    const std::optional<QByteArray> bytes = bytesOf(native, stamp->size);
    if (!bytes) {
        return {true, nullptr};
    }
    const bool nowSettled = settled(*stamp, now);
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
