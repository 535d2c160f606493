#pragma once

#include "platform/db/embedded/storage/DialectSettings.h"

#include <QString>

#include <array>

namespace estaciones::db::tsql {

// What FORMAT and PARSE need of a .NET culture: separators, the currency,
// the standard date and time patterns and the month and day names.
struct Culture {
    const char* name;
    QChar decimal;
    QChar group;
    QChar dateSeparator;
    const char* currency;
    // "n" stands for the number: "$n", "n €", "€ n"; negatives have their own.
    const char* currencyPattern;
    const char* negativeCurrencyPattern;
    const char* percentPattern;
    const char* shortDate;
    const char* longDate;
    const char* shortTime;
    const char* longTime;
    const char* monthDay;
    const char* yearMonth;
    const char* am;
    const char* pm;
    std::array<const char*, 12> months;
    std::array<const char*, 12> shortMonths;
    std::array<const char*, 7> days; // Monday first
    std::array<const char*, 7> shortDays;
};

// The culture named ('en-US', 'es-es'...; case does not count), or the
// session language's when `name` is empty; 9818 (a ConversionError) for a
// culture not known here.
const Culture& cultureNamed(const QString& name, Language sessionLanguage);

} // namespace estaciones::db::tsql
