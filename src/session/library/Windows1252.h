#pragma once

#include <QByteArray>
#include <QString>

#include "platform/core/TextEncodings.h"

namespace estaciones::library {

using estaciones::fromWindows1252;
using estaciones::toWindows1252;

// Text as read from a shared file: UTF-8 when the bytes are valid UTF-8 (a BOM
// is dropped), otherwise Windows-1252.
QString decodeSharedText(const QByteArray& bytes);

} // namespace estaciones::library
