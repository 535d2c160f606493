#pragma once

#include "platform/db/embedded/storage/SqlValue.h"

#include <functional>

namespace estaciones::db::tsql {

// The number of the ConversionError `action` throws; 0 when it throws none.
inline int conversionErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ConversionError& e) {
        return e.nativeNumber();
    }
    return 0;
}

} // namespace estaciones::db::tsql
