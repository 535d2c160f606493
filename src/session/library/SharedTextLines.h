#pragma once

#include <QFile>
#include <QString>

#include <optional>

namespace estaciones::library {

// A shared text file read a line at a time, decoded as decodeSharedText
// decodes a whole one: UTF-8 when all of the file is valid UTF-8 (a
// byte-order mark is dropped), otherwise Windows-1252. What is held is one
// line, never the file, so files of any size read in the memory of their
// longest line.
class SharedTextLines {
public:
    // False when the file cannot be read.
    bool open(const QString& path);
    // The next line without its end (LF or CR LF); nullopt after the last.
    // A line end at the end of the file opens no line.
    std::optional<QString> next();
    // The number of the line `next` gave last, from 1.
    int lineNumber() const { return m_lineNumber; }

private:
    QFile m_file;
    // The line being read, kept between lines: a new buffer grown for each
    // line cost more than reading it.
    QByteArray m_line;
    bool m_utf8 = true;
    int m_lineNumber = 0;
};

} // namespace estaciones::library
