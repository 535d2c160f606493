#pragma once

#include <QByteArray>

#include <optional>

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

namespace estaciones::library {

// What tells a file or folder changed: device, inode, size and times. Used
// by the caches of what was read from them (IniCache, FolderListing).
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    mode_t mode = 0;
    timespec modified{};
    timespec changed{};

    bool isFile() const { return S_ISREG(mode); }
    bool isFolder() const { return S_ISDIR(mode); }

    // Whether a change after `now` is sure to show in the times: the last
    // one is older than any file system's timestamp tick (FAT's is two
    // seconds). Until then a cache must read again.
    bool settledAt(const timespec& now) const;

    friend bool operator==(const FileStamp& a, const FileStamp& b);
};

// nullopt when nothing is there (or it cannot be looked at).
std::optional<FileStamp> stampOf(const QByteArray& nativePath);

timespec currentTime();

} // namespace estaciones::library
