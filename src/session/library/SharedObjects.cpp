#include "session/library/SharedObjects.h"

#include <memory>

namespace estaciones::library {

namespace {

// One slot per object; the program is single-threaded, so no locking.
template <class T> std::unique_ptr<T>& slot() {
    static std::unique_ptr<T> instance;
    return instance;
}

template <class T> T& shared() {
    auto& instance = slot<T>();
    if (!instance) {
        instance = std::make_unique<T>();
    }
    return *instance;
}

} // namespace

TextHelper& textHelper() {
    return shared<TextHelper>();
}

SystemInfo& systemInfo() {
    return shared<SystemInfo>();
}

IniFile& iniFile() {
    return shared<IniFile>();
}

FileDialog& fileDialog() {
    return shared<FileDialog>();
}

void releaseSharedObjects() {
    slot<TextHelper>().reset();
    slot<SystemInfo>().reset();
    slot<IniFile>().reset();
    slot<FileDialog>().reset();
}

} // namespace estaciones::library
