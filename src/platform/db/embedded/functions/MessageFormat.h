#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/functions/FunctionCall.h"

#include <QString>

#include <span>
#include <vector>

namespace estaciones::db::tsql {

// A message with its placeholders (%[flags][width][.precision]type of d, i,
// s, u, o, x, X; * takes the width or precision from the arguments) filled
// from `arguments` in turn, as RAISERROR and FORMATMESSAGE write it: a
// placeholder without an argument reads "(null)"; 2,047 characters at most.
QString formatMessageText(const QString& format, const std::vector<Variant>& arguments);

// FORMATMESSAGE(text, arguments...).
std::span<const FunctionSpec> messageFunctions();

} // namespace estaciones::db::tsql
