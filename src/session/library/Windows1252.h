#pragma once

#include <QByteArray>
#include <QString>

namespace estaciones::library {

// Windows-1252, the code page of the files the suite shares with its Windows
// programs. Written by hand because QtCore's converters know only UTF and
// Latin-1, which differ from 1252 in 0x80..0x9F (the euro sign, curly quotes).
QString fromWindows1252(const QByteArray& bytes);

// Windows-1252 bytes of `text`, for files the suite's Windows programs read;
// a character the code page lacks becomes "?".
QByteArray toWindows1252(const QString& text);

// Text as read from a shared file: UTF-8 when the bytes are valid UTF-8 (a BOM
// is dropped), otherwise Windows-1252.
QString decodeSharedText(const QByteArray& bytes);

} // namespace estaciones::library
