#include "platform/db/embedded/functions/TextFunctions.h"

#include "platform/db/embedded/functions/SqliteArguments.h"

#include "platform/core/TextEncodings.h"

#include "platform/db/embedded/functions/CatalogFunctions.h"
#include "platform/db/embedded/functions/FunctionRegistration.h"
#include "platform/db/embedded/functions/TextCompare.h"
#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/NumericErrors.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <sqlite3.h>

#include <cmath>
#include <stdexcept>

namespace estaciones::db::tsql {

namespace {

using Settings = std::shared_ptr<DialectSettings>;

const DialectSettings& settingsOf(sqlite3_context* ctx) {
    return **static_cast<Settings*>(sqlite3_user_data(ctx));
}

// An argument the function takes as int, converted as the server converts
// it: a float truncates, a text reads as a whole number (245 when it is
// none), bytes are the number their last four spell (CHAR(0x41) is 'A').
qint64 wholeArgument(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return sqlite3_value_int64(v);
    case SQLITE_FLOAT:
        return static_cast<qint64>(std::trunc(sqlite3_value_double(v)));
    case SQLITE_BLOB:
        return binaryAsInteger(QByteArray(static_cast<const char*>(sqlite3_value_blob(v)),
                                          sqlite3_value_bytes(v)),
                               4);
    default: {
        const QString text = valueText(v);
        bool whole = false;
        const qint64 number = text.trimmed().toLongLong(&whole);
        if (!whole)
            failIntegerConversion(text, QStringLiteral("int"));
        return number;
    }
    }
}

QDateTime dateOf(sqlite3_context* ctx, sqlite3_value* v) {
    const auto date = parseDateText(valueText(v), settingsOf(ctx).dateOrder);
    if (!date)
        throw ServerFailure(241,
                            QStringLiteral("Conversion failed when converting date and/or time "
                                           "from character string."));
    return date->at;
}

// PATINDEX('%pattern%', text): where the pattern first matches, 1 on; 0 when nowhere.
void patindex(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]) || isNullValue(argv[1]))
        return sqlite3_result_null(ctx);
    const TextCompare compare(settingsOf(ctx).accentInsensitive);
    QString pattern = valueText(argv[0]);
    const QString value = valueText(argv[1]);
    if (!pattern.startsWith(QLatin1Char('%')))
        return sqlite3_result_int64(ctx, compare.like(value, pattern) ? 1 : 0);
    while (pattern.startsWith(QLatin1Char('%')))
        pattern.remove(0, 1);
    for (qsizetype at = 0; at < value.size(); ++at)
        if (compare.like(QStringView(value).mid(at), pattern))
            return sqlite3_result_int64(ctx, at + 1);
    sqlite3_result_int64(ctx, pattern.isEmpty() && value.isEmpty() ? 1 : 0);
}

// STUFF(text, start, length, replacement): NULL when start or length fall outside.
void stuff(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]) || isNullValue(argv[1]) || isNullValue(argv[2]))
        return sqlite3_result_null(ctx);
    const QString value = valueText(argv[0]);
    const qint64 start = wholeArgument(argv[1]);
    const qint64 length = wholeArgument(argv[2]);
    if (start <= 0 || start > value.size() || length < 0)
        return sqlite3_result_null(ctx);
    const QString replacement = isNullValue(argv[3]) ? QString() : valueText(argv[3]);
    resultText(ctx, value.left(start - 1) + replacement +
                        value.mid(std::min<qint64>(value.size(), start - 1 + length)));
}

void reverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    QString value = valueText(argv[0]);
    std::reverse(value.begin(), value.end());
    resultText(ctx, value);
}

// The bytes a value of a declared type takes: two a character in the
// national types, the declared length in char(n) and binary(n) (blanks and
// zeros fill them), the type's size in the fixed-size ones; nothing for
// the variable ones, which the value tells.
std::optional<qint64> bytesByDeclaration(const QString& declared, sqlite3_value* value) {
    const DeclaredType type = describeDeclaredType(declared);
    const QString& name = type.typeName;
    if (name == QLatin1String("nchar") && type.characterLength.value_or(1) > 0)
        return 2 * qint64(type.characterLength.value_or(1));
    if (name == QLatin1String("nvarchar") || name == QLatin1String("nchar") ||
        name == QLatin1String("ntext") || name == QLatin1String("sysname"))
        return 2 * qint64(valueText(value).size());
    if (name == QLatin1String("char") || name == QLatin1String("binary"))
        return qint64(type.characterLength.value_or(1));
    static const QSet<QString> variable = {"varchar", "varbinary", "text", "image", "sql_variant",
                                           "xml"};
    if (variable.contains(name))
        return std::nullopt;
    const int bytes = declaredBytes(declared);
    return bytes > 0 ? std::optional<qint64>(bytes) : std::nullopt;
}

// DATALENGTH: the bytes a value takes, trailing blanks included (LEN leaves
// them out). The value's declared type comes second where it is known.
void datalength(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL && argc == 2 && !isNullValue(argv[1]))
        if (const std::optional<qint64> bytes = bytesByDeclaration(valueText(argv[1]), argv[0]))
            return sqlite3_result_int64(ctx, *bytes);
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_value_int64(argv[0]);
        return sqlite3_result_int64(ctx, v >= INT32_MIN && v <= INT32_MAX ? 4 : 8);
    }
    case SQLITE_FLOAT:
        return sqlite3_result_int64(ctx, 8);
    case SQLITE_BLOB:
        return sqlite3_result_int64(ctx, sqlite3_value_bytes(argv[0]));
    default:
        return sqlite3_result_int64(ctx, valueText(argv[0]).toLatin1().size());
    }
}

// tsql_national(x): x, marked as an nvarchar literal for the binder.
void nationalMarker(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_value(ctx, argv[0]);
}

// STRING_ESCAPE(text, 'json'): the characters JSON escapes, escaped; the
// only type the server knows is json.
void stringEscape(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    if (isNullValue(argv[1]) || valueText(argv[1]).compare(QLatin1String("json"), Qt::CaseInsensitive) != 0)
        throw ServerFailure(40517,
                            QStringLiteral("Keyword or statement option 'STRING_ESCAPE with a type "
                                           "other than json' is not supported in this version "
                                           "of SQL Server."));
    QString escaped;
    for (const QChar c : valueText(argv[0])) {
        switch (c.unicode()) {
        case '"':
            escaped += QStringLiteral("\\\"");
            break;
        case '\\':
            escaped += QStringLiteral("\\\\");
            break;
        case '/':
            escaped += QStringLiteral("\\/");
            break;
        case '\b':
            escaped += QStringLiteral("\\b");
            break;
        case '\f':
            escaped += QStringLiteral("\\f");
            break;
        case '\n':
            escaped += QStringLiteral("\\n");
            break;
        case '\r':
            escaped += QStringLiteral("\\r");
            break;
        case '\t':
            escaped += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 32)
                escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    resultText(ctx, escaped);
}

// CONCAT: NULL arguments count as empty text; CONCAT_WS leaves them and their separator out.
void concat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    QString joined;
    for (int i = 0; i < argc; ++i)
        if (!isNullValue(argv[i]))
            joined += valueText(argv[i]);
    resultText(ctx, joined);
}

void concatWs(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    QStringList parts;
    for (int i = 1; i < argc; ++i)
        if (!isNullValue(argv[i]))
            parts << valueText(argv[i]);
    resultText(ctx, parts.join(valueText(argv[0])));
}

// CHOOSE(index, a, b, ...): NULL for an index outside the list.
void choose(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const qint64 index = wholeArgument(argv[0]);
    if (index < 1 || index >= argc)
        return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, argv[index]);
}

// EOMONTH(date [, months]): the month's last day, as a date.
void eomonth(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNullValue(argv[0]) || (argc > 1 && isNullValue(argv[1])))
        return sqlite3_result_null(ctx);
    QDate date = dateOf(ctx, argv[0]).date();
    if (argc > 1)
        date = date.addMonths(static_cast<int>(wholeArgument(argv[1])));
    date = QDate(date.year(), date.month(), date.daysInMonth());
    resultText(ctx, date.toString(QStringLiteral("yyyy-MM-dd")));
}

// QUOTENAME(name [, quote]): the name between the quote and its closing
// partner, that partner doubled inside; NULL past 128 characters or for a
// quote the server does not take.
// CHAR(n): the character of byte n in the code page of the database's
// collation (1252: CHAR(128) is the euro sign); NULL outside 0 to 255.
void charOfCode(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const qint64 code = wholeArgument(argv[0]);
    if (code < 0 || code > 255)
        return sqlite3_result_null(ctx);
    resultText(ctx, fromWindows1252(QByteArray(1, static_cast<char>(code))));
}

// NCHAR(n): the UTF-16 code unit n; NULL outside 0 to 65535, as in a
// collation without supplementary characters.
void nationalCharOfCode(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const qint64 code = wholeArgument(argv[0]);
    if (code < 0 || code > 0xFFFF)
        return sqlite3_result_null(ctx);
    resultText(ctx, QString(QChar(static_cast<char16_t>(code))));
}

// ASCII(text): the code page byte of its first character (ASCII('€') is
// 128; one the code page lacks is '?'); NULL for an empty text.
void asciiOfFirst(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]))
        return sqlite3_result_null(ctx);
    const QString text = valueText(argv[0]);
    if (text.isEmpty())
        return sqlite3_result_null(ctx);
    const QByteArray byte = toWindows1252(text.left(text.front().isHighSurrogate() ? 2 : 1));
    sqlite3_result_int(ctx, static_cast<unsigned char>(byte.at(0)));
}

void quotename(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (isNullValue(argv[0]) || (argc > 1 && isNullValue(argv[1])))
        return sqlite3_result_null(ctx);
    const QString name = valueText(argv[0]);
    const QString quote = argc > 1 ? valueText(argv[1]) : QStringLiteral("[");
    static const QHash<QChar, QChar> closing = {
        {u'[', u']'}, {u']', u']'}, {u'\'', u'\''}, {u'"', u'"'}, {u'(', u')'}, {u')', u')'},
        {u'<', u'>'}, {u'>', u'>'}, {u'{', u'}'}, {u'}', u'}'}, {u'`', u'`'}};
    if (name.size() > 128 || quote.size() != 1 || !closing.contains(quote[0]))
        return sqlite3_result_null(ctx);
    const QChar close = closing.value(quote[0]);
    const QChar open = quote[0] == close && close == u']' ? QChar(u'[')
                       : quote[0] == u')'                 ? QChar(u'(')
                       : quote[0] == u'>'                 ? QChar(u'<')
                       : quote[0] == u'}'                 ? QChar(u'{')
                                                          : quote[0];
    QString inner = name;
    inner.replace(close, QString(2, close));
    resultText(ctx, open + inner + close);
}

// TRANSLATE(text, characters, translations): each character of the second
// argument becomes the one at its place in the third.
void translate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (isNullValue(argv[0]) || isNullValue(argv[1]) || isNullValue(argv[2]))
        return sqlite3_result_null(ctx);
    const QString from = valueText(argv[1]);
    const QString to = valueText(argv[2]);
    if (from.size() != to.size())
        throw ServerFailure(9828, QStringLiteral("The second and third arguments of the TRANSLATE "
                                                 "built-in function must contain an equal number "
                                                 "of characters."));
    QString value = valueText(argv[0]);
    for (QChar& ch : value) {
        const qsizetype at = from.indexOf(ch);
        if (at >= 0)
            ch = to[at];
    }
    resultText(ctx, value);
}

// CHECKSUM(a, b, ...): a hash of the values as the database compares them
// (case and trailing blanks aside), so equal rows give equal sums.
void checksum(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    quint32 hash = 2166136261u;
    const auto mix = [&hash](const QByteArray& bytes) {
        for (char b : bytes)
            hash = (hash ^ static_cast<unsigned char>(b)) * 16777619u;
        hash = (hash ^ 0xffu) * 16777619u;
    };
    for (int i = 0; i < argc; ++i) {
        switch (sqlite3_value_type(argv[i])) {
        case SQLITE_NULL:
            mix(QByteArray());
            break;
        case SQLITE_TEXT: {
            QString value = valueText(argv[i]).toCaseFolded();
            while (value.endsWith(QLatin1Char(' ')))
                value.chop(1);
            mix(value.toUtf8());
            break;
        }
        case SQLITE_BLOB:
            mix(QByteArray(static_cast<const char*>(sqlite3_value_blob(argv[i])),
                           sqlite3_value_bytes(argv[i])));
            break;
        default:
            mix(QByteArray::number(sqlite3_value_double(argv[i]), 'g', 17));
        }
    }
    sqlite3_result_int64(ctx, static_cast<qint32>(hash));
}

const FunctionRegistration textRegistrations[] = {
    {"tsql_char", 1, guarded<charOfCode>},
    {"tsql_nchar", 1, guarded<nationalCharOfCode>},
    {"tsql_ascii", 1, guarded<asciiOfFirst>},
    {"tsql_quotename", 1, guarded<quotename>},
    {"tsql_quotename", 2, guarded<quotename>},
    {"tsql_translate", 3, guarded<translate>},
    {"tsql_checksum", -1, guarded<checksum>},
    {"tsql_patindex", 2, guarded<patindex>},
    {"tsql_stuff", 4, guarded<stuff>},
    {"tsql_reverse", 1, guarded<reverse>},
    {"tsql_datalength", 1, guarded<datalength>},
    {"tsql_datalength", 2, guarded<datalength>},
    {"tsql_string_escape", 2, guarded<stringEscape>},
    {"tsql_national", 1, nationalMarker},
    {"tsql_concat", -1, guarded<concat>},
    {"tsql_concat_ws", -1, guarded<concatWs>},
    {"tsql_choose", -1, guarded<choose>},
    {"tsql_eomonth", 1, guarded<eomonth>},
    {"tsql_eomonth", 2, guarded<eomonth>},
};

} // namespace

void registerTextFunctions(sqlite3* db, std::shared_ptr<DialectSettings> settings) {
    // Innocuous and deterministic: views and defaults may call them.
    for (const FunctionRegistration& r : textRegistrations)
        registerOne(db, r, SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC, new Settings(settings),
                    destroySharedSettings);
}

} // namespace estaciones::db::tsql
