#include "session/library/FileStamp.h"

namespace estaciones::library {

namespace {
constexpr time_t settleSeconds = 3;

bool same(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}
} // namespace

bool FileStamp::settledAt(const timespec& now) const {
    return modified.tv_sec + settleSeconds < now.tv_sec &&
           changed.tv_sec + settleSeconds < now.tv_sec;
}

bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.mode == b.mode &&
           same(a.modified, b.modified) && same(a.changed, b.changed);
}

std::optional<FileStamp> stampOf(const QByteArray& nativePath) {
    struct stat status {};
    if (::stat(nativePath.constData(), &status) != 0) {
        return std::nullopt;
    }
    return FileStamp{status.st_dev,  status.st_ino,  status.st_size,
                     status.st_mode, status.st_mtim, status.st_ctim};
}

timespec currentTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

} // namespace estaciones::library
