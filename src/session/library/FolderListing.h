#pragma once

#include <QString>

#include <optional>

namespace estaciones::library {

// The files of a folder, listed once while the folder stays unchanged: its
// times show any entry added, removed or renamed; one changed in the last
// seconds is listed again at every look (see FileStamp::settledAt).
class FolderListing {
public:
    // The path of the file in `folder` whose name is `fileName` ignoring
    // case, as Windows matched it; nothing when there is none.
    static std::optional<QString> matchIgnoringCase(const QString& folder, const QString& fileName);
};

} // namespace estaciones::library
