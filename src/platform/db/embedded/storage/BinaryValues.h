#pragma once

#include "platform/core/Decimal.h"
#include "platform/db/embedded/storage/SqlValue.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace estaciones::db::tsql {

// binary(n), varbinary(n|max) and image values, kept as SQLite blobs, and the
// conversions between them and text and whole numbers.

// A binary type's name without arguments: binary, varbinary, image, timestamp, rowversion.
bool isBinaryTypeName(const QString& base);
// The length a binary type keeps: n, nullopt for max and image, `fallback`
// when no length is written (30 in CAST and CONVERT, 1 in a declaration).
struct BinaryType {
    bool fixed = false;         // binary(n): shorter values are filled with 0x00
    std::optional<int> length;  // bytes; nullopt: no limit
};

// The value converted to binary: text by its bytes (style 0; the code page's
// for varchar, UTF-16 for nvarchar when `nationalSource`) or by its hex
// digits (style 1 with 0x, style 2 without; 8114 otherwise), cut or filled
// on the right; whole numbers by their big-endian bytes (4 for an int, 8 for
// a bigint, `integerBytes` when the source type is known), cut or filled on
// the left. Types the engine does not convert fail with 40517, naming it.
QByteArray toBinary(const SqlValue& value, const BinaryType& type, std::optional<int> style,
                    bool nationalSource, int integerBytes = 0);

// Bytes cut or filled with zeros to `type`: on the right, or on the left
// (the bytes of a number).
QByteArray fitBinary(QByteArray bytes, const BinaryType& type, bool onTheLeft);

// Bytes as text: style 0 the characters they are (the code page's, or UTF-16
// for the national types), 1 their hex digits after 0x, 2 without; 281 for
// another style.
QString binaryAsText(const QByteArray& bytes, bool national, std::optional<int> style,
                     const QString& typeName);

// Bytes as a whole number: the last `width` of them, big-endian, sign-extended
// (an int takes the last four).
qint64 binaryAsInteger(const QByteArray& bytes, int width);

// decimal(p, s) as bytes: p, s, a sign byte (1 positive, 0 negative), then
// the coefficient's magnitude little-endian in 4, 8, 12 or 16 bytes as p
// needs; nothing back when the bytes are not that form.
QByteArray decimalAsBinary(const Decimal& value, int precision);
std::optional<Decimal> binaryAsDecimal(const QByteArray& bytes);
// money, float and real as bytes: the ten-thousandths (8 bytes, 4 for
// smallmoney), the IEEE double and the IEEE single, all big-endian.
QByteArray moneyAsBinary(const Decimal& value, bool small);
QByteArray floatAsBinary(double value);
double binaryAsFloat(const QByteArray& bytes);
QByteArray realAsBinary(double value);
double binaryAsReal(const QByteArray& bytes);

// The bytes an integer type takes: tinyint 1, smallint 2, int 4, bigint 8; 0 for others.
int integerTypeBytes(const QString& base);

// What a binary(n) or varbinary(n) column keeps of `value`: binary(n)
// filled to n bytes with 0x00; 8152 when it is longer than n; 257 for text,
// which the server converts to binary only when asked (CONVERT).
SqlValue storedBinary(const SqlValue& value, const BinaryType& type);

} // namespace estaciones::db::tsql
