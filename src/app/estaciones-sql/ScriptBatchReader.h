#pragma once

#include "session/library/SharedTextLines.h"

#include <QString>

#include <optional>

namespace estaciones::sqlcmd {

// One batch of a script: the text between lines that hold only GO.
struct ScriptBatch {
    QString text;
    int firstLine = 1;    // line of the script where the batch starts
    int repeat = 1;       // "GO 3"
    int badCountLine = 0; // the GO line whose count is no int: the batch does not run
};

// A script file's batches, read one at a time: what is held is the batch
// being read, never the whole file, so a script of any size runs in the
// memory of its largest batch. The text is decoded as the suite's shared
// files are (SharedTextLines).
class ScriptBatchReader {
public:
    // False when the file cannot be read.
    bool open(const QString& path);
    // The next batch that has more than blanks; nullopt at the end.
    std::optional<ScriptBatch> next();

private:
    library::SharedTextLines m_lines;
};

} // namespace estaciones::sqlcmd
