#pragma once

#include "platform/db/embedded/functions/TextCompare.h"
#include "platform/db/embedded/storage/Conversion.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/NumericErrors.h"
#include "platform/db/embedded/storage/SqlValue.h"

#include <QDateTime>

#include <cmath>
#include <span>
#include <vector>

struct sqlite3_context;
struct sqlite3_value;

namespace estaciones::db::tsql {

// What a function body sees: its arguments and the session.
struct Call {
    sqlite3_context* ctx;
    std::vector<SqlValue> args;
    const DialectSettings& settings;

    const SqlValue& arg(size_t i) const {
        static const SqlValue missing;
        return i < args.size() ? args[i] : missing;
    }
    bool anyNull() const {
        for (const auto& a : args)
            if (a.isNull())
                return true;
        return false;
    }
    TextCompare compare() const { return TextCompare(settings.accentInsensitive); }
    PreciseDateTime date(size_t i) const {
        const auto d = valueAsDate(arg(i), settings.dateOrder);
        if (!d)
            throw ConversionError(241, QStringLiteral("Conversion failed when converting date "
                                                      "and/or time from character string."));
        return *d;
    }
    qint64 integer(size_t i) const {
        const auto n = valueAsNumber(arg(i));
        if (!n)
            failIntegerConversion(arg(i).toText(), QStringLiteral("int"));
        return n->kind == SqlValue::Kind::Integer ? n->integer
                                                  : static_cast<qint64>(std::trunc(n->real));
    }
    DatePart part(size_t i) const {
        const auto p = parseDatePart(arg(i).toText());
        if (!p)
            throw ConversionError(
                155,
                QStringLiteral("'%1' is not a recognized datepart option.").arg(arg(i).toText()));
        return *p;
    }
};

using Body = SqlValue (*)(const Call&);

using Body = SqlValue (*)(const Call&);

// One registered function; a family of functions (arithmetic, dates...)
// hands SqliteFunctions its list.
// A shortcut for the common case (numbers in, a number out) that sets the
// result itself and answers true, or answers false to leave the call to the
// body; it spares the per-row cost of reading every argument as a SqlValue.
using Shortcut = bool (*)(sqlite3_context* ctx, sqlite3_value** argv);

struct FunctionSpec {
    const char* name;
    int arguments; // -1: any number
    Body body;
    bool deterministic;
    Shortcut shortcut = nullptr;
    // A runtime constant (GETDATE, RAND): each call in a statement gives the
    // value of its first row for the whole run of the statement. SQLite keeps
    // it with the call's first argument while that argument is constant (the
    // translator writes one in) and forgets it when the statement is reset.
    bool oncePerRun = false;
};

} // namespace estaciones::db::tsql
