#include "platform/db/RealCellText.h"

#include <algorithm>
#include <charconv>

namespace estaciones::db {

QString realCellText(double value) {
    // The shortest scientific form tells how many digits the single needs.
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value),
                      std::chars_format::scientific);
    int digits = 0;
    for (const char* c = buffer; c < written.ptr && *c != 'e'; ++c) {
        digits += *c >= '0' && *c <= '9' ? 1 : 0;
    }
    return QString::number(value, 'g', std::max(digits, 1));
}

} // namespace estaciones::db
