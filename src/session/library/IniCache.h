#pragma once

#include "session/library/IniContents.h"

#include <QString>

#include <memory>

namespace estaciones::library {

// INI files parsed once per process and kept while they stay as they were
// read, so that the many keys read at start-up do not decode and split the
// same files again. A file is taken as unchanged while its size, times and
// inode are; one changed within the last seconds before it was read (when a
// rewrite within one timestamp tick would keep its times) is compared byte
// for byte until it has settled. One look at the file (a stat) per read.
class IniCache {
public:
    struct Lookup {
        bool isFile = false; // a regular file is there
        // Its parsed contents; nullptr when it cannot be read or is larger
        // than is worth keeping (read it a line at a time).
        std::shared_ptr<const IniContents> contents;
    };
    static Lookup lookup(const QString& path);

    // The largest file kept, in bytes.
    static constexpr qint64 largestKept = 1 << 20;
};

} // namespace estaciones::library
