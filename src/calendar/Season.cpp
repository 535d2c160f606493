#include "calendar/Season.h"

namespace estaciones::calendar {

const std::array<Season, SeasonCount>& seasons() {
    static const std::array<Season, SeasonCount> table = {{
        {0, QStringLiteral("BAJA"), QStringLiteral("BA"), QStringLiteral("TempoCol_BA"),
         QStringLiteral("&H0000FF00&")},
        {1, QStringLiteral("MEDIA"), QStringLiteral("ME"), QStringLiteral("TempoCol_ME"),
         QStringLiteral("&H0000FFFF&")},
        {2, QStringLiteral("ALTA"), QStringLiteral("AL"), QStringLiteral("TempoCol_AL"),
         QStringLiteral("&H00FFFF00&")},
        {3, QStringLiteral("ESPECIAL"), QStringLiteral("ES"), QStringLiteral("TempoCol_ES"),
         QStringLiteral("&H000000FF&")},
    }};
    return table;
}

namespace {
// The database compares codes ignoring case and trailing blanks (a char(2)
// column may hand back "B " for "B").
QString comparable(const QString& code) {
    qsizetype end = code.size();
    while (end > 0 && code.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return code.left(end).toUpper();
}
} // namespace

std::optional<int> seasonIndexOfCode(const QString& code) {
    const QString wanted = comparable(code);
    for (const Season& season : seasons()) {
        if (season.code == wanted) {
            return season.index;
        }
    }
    return std::nullopt;
}

bool sameSeasonCode(const QString& a, const QString& b) {
    return comparable(a) == comparable(b);
}

std::optional<BgrColour> SeasonColours::colourOfCode(const QString& code) const {
    if (comparable(code).isEmpty()) {
        return colour[0];
    }
    if (const auto index = seasonIndexOfCode(code)) {
        return colour[static_cast<std::size_t>(*index)];
    }
    return std::nullopt;
}

} // namespace estaciones::calendar
