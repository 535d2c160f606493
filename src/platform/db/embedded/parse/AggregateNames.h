#pragma once

#include <QSet>
#include <QString>

namespace estaciones::db::tsql {

// Whether `lowerName` is one of the server's aggregate functions (lower
// case): what groups rows when it is called without OVER.
inline bool isAggregateFunction(const QString& lowerName) {
    static const QSet<QString> names = {"count", "count_big",    "sum",        "avg",
                                        "min",   "max",          "stdev",      "stdevp",
                                        "var",   "varp",         "checksum_agg", "string_agg",
                                        "grouping", "grouping_id"};
    return names.contains(lowerName);
}

} // namespace estaciones::db::tsql
