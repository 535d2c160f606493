#pragma once

#include "session/library/SharedTextLines.h"

#include <QString>

#include <functional>
#include <optional>

namespace estaciones::session {

// The batches of a script file, read a line at a time so that only the
// batch being read is held, whatever the file's size: comment lines ("--")
// are left out, a separator line ("GO" in the given case, or "/") starts the
// next batch, every other line goes in with a CR LF end. A file with n
// separators has n + 1 batches; the last may be empty.
class LotesScript {
public:
    explicit LotesScript(Qt::CaseSensitivity mayusculas) : m_mayusculas(mayusculas) {}

    // False when the file cannot be read.
    bool open(const QString& archivo);
    // Shown every line that is no comment before it is used; returning false
    // stops the reading there (next() then gives nothing more).
    std::function<bool(const QString& linea)> alLeerLinea;
    // The next batch; nullopt after the last, or once alLeerLinea stopped.
    std::optional<QString> next();

private:
    Qt::CaseSensitivity m_mayusculas;
    library::SharedTextLines m_lineas;
    bool m_terminado = false;
};

} // namespace estaciones::session
