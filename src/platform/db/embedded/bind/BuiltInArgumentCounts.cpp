#include "platform/db/embedded/bind/BuiltInArgumentCounts.h"

#include "platform/db/embedded/parse/ObjectNameBeforeParenthesis.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/SignificantTokens.h"

#include <QHash>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::Tokens;

namespace {

// Each function's syntax as its reference page writes it (SQL Server 2017).
// Functions of no fixed maximum the pages do not bound (COALESCE, CHOOSE,
// CHECKSUM, FORMATMESSAGE ...) are left to their own checks.
const QHash<QString, ArgumentCount>& argumentCounts() {
    static const QHash<QString, ArgumentCount> counts = {
        // Strings.
        {"ascii", {1, 1}}, {"char", {1, 1}}, {"charindex", {2, 3}}, {"concat", {2, 254}},
        {"concat_ws", {3, 254}}, {"difference", {2, 2}}, {"format", {2, 3}},
        {"left", {2, 2}}, {"len", {1, 1}}, {"lower", {1, 1}}, {"ltrim", {1, 1}},
        {"nchar", {1, 1}}, {"patindex", {2, 2}}, {"quotename", {1, 2}}, {"replace", {3, 3}},
        {"replicate", {2, 2}}, {"reverse", {1, 1}}, {"right", {2, 2}}, {"rtrim", {1, 1}},
        {"soundex", {1, 1}}, {"space", {1, 1}}, {"str", {1, 3}}, {"string_escape", {2, 2}},
        {"stuff", {4, 4}}, {"substring", {3, 3}}, {"translate", {3, 3}}, {"trim", {1, 1}},
        {"unicode", {1, 1}}, {"upper", {1, 1}}, {"string_split", {2, 2}},
        // Numbers.
        {"abs", {1, 1}}, {"acos", {1, 1}}, {"asin", {1, 1}}, {"atan", {1, 1}},
        {"atn2", {2, 2}}, {"ceiling", {1, 1}}, {"cos", {1, 1}}, {"cot", {1, 1}},
        {"degrees", {1, 1}}, {"exp", {1, 1}}, {"floor", {1, 1}}, {"log", {1, 2}},
        {"log10", {1, 1}}, {"pi", {0, 0}}, {"power", {2, 2}}, {"radians", {1, 1}},
        {"rand", {0, 1}}, {"round", {2, 3}}, {"sign", {1, 1}}, {"sin", {1, 1}},
        {"sqrt", {1, 1}}, {"square", {1, 1}}, {"tan", {1, 1}},
        // Dates.
        {"dateadd", {3, 3}}, {"datediff", {3, 3}}, {"datediff_big", {3, 3}},
        {"datefromparts", {3, 3}}, {"datename", {2, 2}}, {"datepart", {2, 2}},
        {"datetime2fromparts", {8, 8}}, {"datetimefromparts", {7, 7}},
        {"datetimeoffsetfromparts", {10, 10}}, {"day", {1, 1}}, {"eomonth", {1, 2}},
        {"getdate", {0, 0}}, {"getutcdate", {0, 0}}, {"isdate", {1, 1}}, {"month", {1, 1}},
        {"smalldatetimefromparts", {5, 5}}, {"switchoffset", {2, 2}}, {"sysdatetime", {0, 0}},
        {"sysdatetimeoffset", {0, 0}}, {"sysutcdatetime", {0, 0}}, {"timefromparts", {5, 5}},
        {"todatetimeoffset", {2, 2}}, {"year", {1, 1}},
        // Aggregates and windows.
        {"avg", {1, 1}}, {"checksum_agg", {1, 1}}, {"count", {1, 1}}, {"count_big", {1, 1}},
        {"grouping", {1, 1}}, {"max", {1, 1}}, {"min", {1, 1}}, {"stdev", {1, 1}},
        {"stdevp", {1, 1}}, {"string_agg", {2, 2}}, {"sum", {1, 1}}, {"var", {1, 1}},
        {"varp", {1, 1}}, {"row_number", {0, 0}}, {"rank", {0, 0}}, {"dense_rank", {0, 0}},
        {"ntile", {1, 1}}, {"cume_dist", {0, 0}}, {"percent_rank", {0, 0}},
        {"first_value", {1, 1}}, {"last_value", {1, 1}}, {"lag", {1, 3}}, {"lead", {1, 3}},
        // Values, JSON and the session.
        {"isnull", {2, 2}}, {"nullif", {2, 2}}, {"isnumeric", {1, 1}}, {"datalength", {1, 1}},
        {"hashbytes", {2, 2}}, {"newid", {0, 0}}, {"isjson", {1, 1}}, {"json_value", {2, 2}},
        {"json_query", {1, 2}}, {"json_modify", {3, 3}}, {"parsename", {2, 2}},
        {"compress", {1, 1}}, {"decompress", {1, 1}}, {"session_context", {1, 1}},
        {"error_number", {0, 0}}, {"error_message", {0, 0}}, {"error_severity", {0, 0}},
        {"error_state", {0, 0}}, {"error_line", {0, 0}}, {"error_procedure", {0, 0}},
        {"xact_state", {0, 0}}, {"scope_identity", {0, 0}}, {"rowcount_big", {0, 0}},
        {"host_name", {0, 0}}, {"app_name", {0, 0}}, {"original_login", {0, 0}},
        {"user_name", {0, 1}}, {"user_id", {0, 1}}, {"suser_name", {0, 1}},
        {"suser_sname", {0, 1}}, {"db_id", {0, 1}}, {"db_name", {0, 1}},
        {"schema_id", {0, 1}}, {"schema_name", {0, 1}},
        // The catalogue.
        {"object_id", {1, 2}}, {"object_name", {1, 2}}, {"object_schema_name", {1, 2}},
        {"object_definition", {1, 1}}, {"objectproperty", {2, 2}},
        {"objectpropertyex", {2, 2}}, {"col_length", {2, 2}}, {"col_name", {2, 2}},
        {"columnproperty", {3, 3}}, {"indexproperty", {3, 3}}, {"type_id", {1, 1}},
        {"type_name", {1, 1}}, {"typeproperty", {2, 2}}, {"databasepropertyex", {2, 2}},
        {"serverproperty", {1, 1}}, {"ident_seed", {1, 1}}, {"ident_incr", {1, 1}},
        {"ident_current", {1, 1}}, {"sql_variant_property", {2, 2}},
    };
    return counts;
}

// The arguments between the parentheses at `open` and `close`; nullopt when
// one is empty ('LEN(a,)': the syntax error is told elsewhere).
std::optional<int> argumentsBetween(const Tokens& tokens, std::size_t open, std::size_t close) {
    if (close == open + 1) {
        return 0;
    }
    int count = 1;
    int depth = 0;
    std::size_t start = open + 1;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (tokens[i].isPunctuation(u"(")) {
            ++depth;
        } else if (tokens[i].isPunctuation(u")")) {
            --depth;
        } else if (depth == 0 && tokens[i].isPunctuation(u",")) {
            if (i == start) {
                return std::nullopt;
            }
            ++count;
            start = i + 1;
        }
    }
    return start == close ? std::nullopt : std::optional<int>(count);
}

} // namespace

std::optional<ArgumentCount> builtInArgumentCount(const QString& lowerName) {
    const auto found = argumentCounts().constFind(lowerName);
    return found == argumentCounts().constEnd() ? std::nullopt
                                                : std::optional<ArgumentCount>(*found);
}

std::optional<ProviderError> builtInArgumentCountError(const Tokens& tokens) {
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].kind != tsql::TokenKind::Word || !tokens[i + 1].isPunctuation(u"(") ||
            tsql::namesAnObjectBeforeParenthesis(tokens, i)) {
            continue;
        }
        const QString name = tokens[i].text.toLower();
        const std::optional<ArgumentCount> expected = builtInArgumentCount(name);
        if (!expected) {
            continue;
        }
        const std::size_t close = tsql::closingParenthesis(tokens, i + 1);
        if (close >= tokens.size()) {
            continue;
        }
        const std::optional<int> given = argumentsBetween(tokens, i + 1, close);
        if (!given || (*given >= expected->least && *given <= expected->most)) {
            continue;
        }
        return expected->least == expected->most
                   ? sqlServerError(native::FunctionArgumentCount,
                                    {name, QString::number(expected->least)})
                   : sqlServerError(native::FunctionArgumentRange,
                                    {name, QString::number(expected->least),
                                     QString::number(expected->most)});
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
