#pragma once

#include <QByteArray>
#include <QString>

namespace estaciones {

// Windows-1252, the code page of the files the suite shares with its Windows
// programs and of the databases' varchar data (Latin1_General collations).
// Written by hand because QtCore's converters know only UTF and Latin-1,
// which differ from 1252 in 0x80..0x9F (the euro sign, curly quotes).
QString fromWindows1252(const QByteArray& bytes);

// Windows-1252 bytes of `text`; a character the code page lacks becomes "?".
QByteArray toWindows1252(const QString& text);

// UTF-16 little-endian, the bytes of nvarchar data and of VB's Byte arrays
// made from a String. An odd last byte reads as a character of its own.
QByteArray toUtf16Bytes(const QString& text);
QString fromUtf16Bytes(const QByteArray& bytes);

} // namespace estaciones
