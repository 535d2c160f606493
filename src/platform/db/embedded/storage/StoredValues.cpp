#include "platform/db/embedded/storage/StoredValues.h"

#include "platform/core/TextEncodings.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/storage/Conversion.h"
#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/storage/StoredDate.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <cmath>
#include <functional>
#include <limits>

namespace estaciones::db::sqlite {

namespace {

struct TypeEntry {
    const char* name;
    int type;
    std::int64_t size; // 0: the declared length
};

// SQL Server type names → ADO codes and sizes as the OLE DB provider gives them.
constexpr TypeEntry typeEntries[] = {
    {"varchar", adtype::VarChar, 0},
    {"char", adtype::Char, 0},
    {"nvarchar", adtype::VarWChar, 0},
    {"nchar", adtype::WChar, 0},
    {"sysname", adtype::VarWChar, 128},
    {"text", adtype::LongVarChar, std::numeric_limits<std::int32_t>::max()},
    {"ntext", adtype::LongVarWChar, std::numeric_limits<std::int32_t>::max() / 2},
    {"int", adtype::Integer, 4},
    {"integer", adtype::Integer, 4},
    {"smallint", adtype::SmallInt, 2},
    {"tinyint", adtype::UnsignedTinyInt, 1},
    {"bigint", adtype::BigInt, 8},
    {"bit", adtype::Boolean, 2},
    {"money", adtype::Currency, 8},
    {"smallmoney", adtype::Currency, 8},
    {"float", adtype::Double, 8},
    {"double", adtype::Double, 8},
    {"real", adtype::Single, 4},
    {"decimal", adtype::Numeric, 19},
    {"numeric", adtype::Numeric, 19},
    {"datetime", adtype::DBTimeStamp, 8},
    {"smalldatetime", adtype::DBTimeStamp, 4},
    {"datetime2", adtype::DBTimeStamp, 8},
    {"date", adtype::DBDate, 3},
    {"time", adtype::DBTime, 5},
    {"uniqueidentifier", adtype::Guid, 16},
    {"binary", adtype::Binary, 0},
    {"varbinary", adtype::VarBinary, 0},
    {"image", adtype::LongVarBinary, std::numeric_limits<std::int32_t>::max()},
    {"blob", adtype::LongVarBinary, std::numeric_limits<std::int32_t>::max()},
};

} // namespace

void setDatePrecision(ColumnInfo& info, tsql::DateKind kind, int digits) {
    const int fraction = digits > 0 ? digits + 1 : 0;
    switch (kind) {
    case tsql::DateKind::Date:
        info.precision = 10;
        info.numericScale = 0;
        break;
    case tsql::DateKind::SmallDateTime:
        info.precision = 16;
        info.numericScale = 0;
        break;
    case tsql::DateKind::DateTime:
        info.precision = 23;
        info.numericScale = 3;
        break;
    case tsql::DateKind::DateTime2:
        info.precision = 19 + fraction;
        info.numericScale = digits;
        break;
    case tsql::DateKind::Time:
        info.precision = 8 + fraction;
        info.numericScale = digits;
        break;
    case tsql::DateKind::DateTimeOffset:
        info.precision = 26 + fraction;
        info.numericScale = digits;
        break;
    }
}

namespace {

// A money or decimal value exactly, rounded to `scale` decimals.
std::optional<Decimal> exactAtScale(const tsql::SqlValue& value, int scale) {
    const auto exact = tsql::exactNumber(value);
    return exact ? exact->rescaled(scale) : std::nullopt;
}

bool isTextType(int type) {
    return type == adtype::VarChar || type == adtype::Char || type == adtype::VarWChar ||
           type == adtype::WChar || type == adtype::LongVarChar || type == adtype::LongVarWChar;
}

bool isDateType(int type) {
    return type == adtype::DBTimeStamp || type == adtype::DBDate || type == adtype::Date;
}

// A datetimeoffset travels as its text, as the provider gives it to clients
// that know no such type: the only wide text column with a precision.
bool isDateTimeOffset(const ColumnInfo& column) {
    return column.type == adtype::VarWChar && column.precision > 0;
}

// A datetimeoffset kept before values kept their offset has none: it is at +00:00.
QString withOffset(const QString& stored) {
    const QByteArray latin1 = stored.toLatin1();
    const int length = static_cast<int>(latin1.size());
    if (tsql::isStoredOffsetText(latin1.constData(), length) ||
        !tsql::isStoredDateText(latin1.constData(), length)) {
        return stored;
    }
    return stored + QLatin1Char(' ') + tsql::offsetText(0);
}

} // namespace

ColumnInfo columnInfoFromDeclaration(const QString& name, const QString& declaration) {
    static const QRegularExpression pattern(
        QStringLiteral(
            "^\\s*([A-Za-z_][A-Za-z_0-9]*)\\s*(?:\\(\\s*(max|\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?"),
        QRegularExpression::CaseInsensitiveOption);
    ColumnInfo info;
    info.name = name;
    const QRegularExpressionMatch match = pattern.match(declaration);
    const QString typeName = match.captured(1).toLower();
    const QString length = match.captured(2).toLower();
    if (tsql::dateKindOf(typeName) == tsql::DateKind::DateTimeOffset) {
        info.type = adtype::VarWChar;
        setDatePrecision(info, tsql::DateKind::DateTimeOffset,
                         length.isEmpty() ? tsql::defaultFractionDigits : length.toInt());
        info.definedSize = info.precision;
        return info;
    }
    for (const TypeEntry& entry : typeEntries) {
        if (typeName != QLatin1String(entry.name)) {
            continue;
        }
        info.type = entry.type;
        info.definedSize = entry.size;
        if (entry.size == 0) {
            info.definedSize = length.isEmpty() ? 1
                               : length == QLatin1String("max")
                                   ? std::numeric_limits<std::int32_t>::max()
                                   : length.toLongLong();
        }
        if (info.type == adtype::Numeric) {
            info.precision = length.isEmpty() ? 18 : length.toInt();
            info.numericScale = match.captured(3).toInt();
        }
        if (const auto kind = tsql::dateKindOf(typeName)) {
            setDatePrecision(info, *kind,
                             length.isEmpty() ? tsql::defaultFractionDigits : length.toInt());
        }
        return info;
    }
    // SQLite's own affinities for whatever else was declared.
    if (typeName.contains(QLatin1String("int"))) {
        info.type = adtype::Integer;
        info.definedSize = 4;
    } else if (typeName.contains(QLatin1String("real")) ||
               typeName.contains(QLatin1String("floa")) ||
               typeName.contains(QLatin1String("doub"))) {
        info.type = adtype::Double;
        info.definedSize = 8;
    } else {
        info.type = adtype::VarChar;
        info.definedSize = 8000;
    }
    return info;
}

Variant readValue(sqlite3_stmt* statement, int index, const ColumnInfo& column) {
    // The column's value fetched once, then read as a sqlite3_value: one
    // call to find the column instead of three. The value is unprotected,
    // which only matters to another thread using the connection meanwhile.
    return readValue(sqlite3_column_value(statement, index), column);
}

Variant readValue(sqlite3_value* value, const ColumnInfo& column) {
    const int storage = sqlite3_value_type(value);
    if (storage == SQLITE_NULL) {
        return Variant::null();
    }
    if (storage == SQLITE_BLOB) {
        const QByteArray bytes(static_cast<const char*>(sqlite3_value_blob(value)),
                               sqlite3_value_bytes(value));
        // Bytes in a text column read as its characters, as the server converts them.
        if (isTextType(column.type)) {
            return fromWindows1252(bytes);
        }
        return Variant::fromBytes(bytes);
    }
    // A float beyond its range (SQLite's arithmetic gives an infinity) is the
    // server's overflow, never a value.
    if (storage == SQLITE_FLOAT && std::isinf(sqlite3_value_double(value))) {
        failWithText(8115, QStringLiteral("Arithmetic overflow error converting expression to "
                                          "data type float."));
    }
    // By its length: a NUL is a character of the text, not its end. Read only
    // where the value is a text: asking a number for its text makes SQLite
    // print it.
    const auto text = [&] {
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_value_text(value));
        return QString::fromUtf8(utf8, sqlite3_value_bytes(value));
    };
    switch (column.type) {
    case adtype::Boolean:
        return sqlite3_value_int64(value) != 0;
    case adtype::Integer:
    case adtype::SmallInt:
    case adtype::UnsignedTinyInt:
    case adtype::BigInt:
        // A fraction in an integer column (AVG of one, a number stored as it
        // came): SQL Server keeps the whole part.
        if (storage == SQLITE_INTEGER) {
            return static_cast<long long>(sqlite3_value_int64(value));
        }
        if (storage == SQLITE_FLOAT) {
            const double number = sqlite3_value_double(value);
            if (std::abs(number) < 9.2e18) {
                return static_cast<long long>(number);
            }
        }
        break;
    case adtype::Currency:
        if (storage != SQLITE_TEXT) {
            const double number = sqlite3_value_double(value);
            try {
                tsql::checkMoneyRange(number, QStringLiteral("money"));
            } catch (const tsql::ConversionError& e) {
                failWithText(e.nativeNumber(), QString::fromStdString(e.what()));
            }
            return Currency::fromDouble(number);
        }
        // A money too wide for a double travels as its digits.
        if (const auto exact = exactAtScale(tsql::SqlValue::of(text()), 4);
            exact && exact->coefficient() >= std::numeric_limits<std::int64_t>::min() &&
            exact->coefficient() <= std::numeric_limits<std::int64_t>::max()) {
            return Currency{static_cast<std::int64_t>(exact->coefficient())};
        }
        break;
    case adtype::Numeric:
        // At the column's scale: decimal(10,4) shows 1.0000. A whole number
        // by its 64 bits: decimal(19,0) holds more digits than a double.
        if (const auto exact = exactAtScale(
                storage == SQLITE_TEXT ? tsql::SqlValue::of(text())
                : storage == SQLITE_INTEGER
                    ? tsql::SqlValue::of(static_cast<qint64>(sqlite3_value_int64(value)))
                    : tsql::SqlValue::of(sqlite3_value_double(value)),
                column.numericScale)) {
            return *exact;
        }
        if (storage != SQLITE_TEXT) {
            return sqlite3_value_double(value);
        }
        break;
    case adtype::Double:
    case adtype::Single:
        if (storage != SQLITE_TEXT) {
            return sqlite3_value_double(value);
        }
        break;
    default:
        if (isDateTimeOffset(column) && storage == SQLITE_TEXT) {
            return withOffset(text());
        }
        if (isDateType(column.type)) {
            const auto* utf8 = reinterpret_cast<const char*>(sqlite3_value_text(value));
            if (auto date = storedDateValue(utf8, sqlite3_value_bytes(value))) {
                return *date;
            }
        }
        return text();
    }
    // A value whose storage does not match its declaration: as stored.
    if (storage == SQLITE_INTEGER) {
        return static_cast<long long>(sqlite3_value_int64(value));
    }
    if (storage == SQLITE_FLOAT) {
        return sqlite3_value_double(value);
    }
    return text();
}

namespace {

// Where a value goes: a statement's parameter or a function's result.
struct ValueSink {
    std::function<void()> null;
    std::function<void(sqlite3_int64)> integer;
    std::function<void(double)> real;
    std::function<void(const QByteArray&)> text;
    std::function<void(const QByteArray&)> blob;
};

// A money or decimal value as the engine carries it (ExactNumbers.h).
// Always with a fraction's storage, as a double was: SQLite divides integers whole.
void putExact(const ValueSink& sink, const Decimal& value) {
    const tsql::SqlValue carried = tsql::carriedNumber(value, false);
    if (carried.kind == tsql::SqlValue::Kind::Real) {
        sink.real(carried.real);
    } else {
        sink.text(carried.text.toUtf8());
    }
}

void putValue(const ValueSink& sink, const Variant& value) {
    switch (value.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
    case Variant::Type::Object:
        sink.null();
        break;
    case Variant::Type::Boolean:
        sink.integer(value.toBool() ? 1 : 0);
        break;
    case Variant::Type::Integer:
        sink.integer(value.toInt64());
        break;
    case Variant::Type::Double:
        sink.real(value.toDouble());
        break;
    case Variant::Type::Currency:
        putExact(sink, *Decimal::fromCoefficient(value.toCurrency().scaled, 4));
        break;
    case Variant::Type::Decimal:
        putExact(sink, value.toDecimal());
        break;
    case Variant::Type::Date:
        sink.text(storedDate(value.toDate()).toUtf8());
        break;
    case Variant::Type::Text:
        sink.text(value.toString().toUtf8());
        break;
    case Variant::Type::Bytes:
        sink.blob(value.toBytes());
        break;
    }
}

} // namespace

void bindValue(sqlite3_stmt* statement, int index, const Variant& value) {
    putValue({[&] { sqlite3_bind_null(statement, index); },
              [&](sqlite3_int64 n) { sqlite3_bind_int64(statement, index, n); },
              [&](double d) { sqlite3_bind_double(statement, index, d); },
              [&](const QByteArray& utf8) {
                  sqlite3_bind_text(statement, index, utf8.constData(),
                                    static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
              },
              [&](const QByteArray& bytes) {
                  sqlite3_bind_blob(statement, index, bytes.constData(),
                                    static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
              }},
             value);
}

void resultValue(sqlite3_context* context, const Variant& value) {
    putValue({[&] { sqlite3_result_null(context); },
              [&](sqlite3_int64 n) { sqlite3_result_int64(context, n); },
              [&](double d) { sqlite3_result_double(context, d); },
              [&](const QByteArray& utf8) {
                  sqlite3_result_text(context, utf8.constData(), static_cast<int>(utf8.size()),
                                      SQLITE_TRANSIENT);
              },
              [&](const QByteArray& bytes) {
                  sqlite3_result_blob(context, bytes.constData(), static_cast<int>(bytes.size()),
                                      SQLITE_TRANSIENT);
              }},
             value);
}

QString storedDate(const DateTimeValue& value) {
    const QString day = value.date.toString(QStringLiteral("yyyy-MM-dd"));
    if (value.time == QTime(0, 0) && value.ticks == 0) {
        return day;
    }
    if (value.ticks != 0) {
        return tsql::formatStoredDate(
            tsql::PreciseDateTime(tsql::naiveDateTime(value.date, value.time), value.ticks),
            tsql::DateKind::DateTime2);
    }
    return day + QLatin1Char(' ') +
           value.time.toString(value.time.msec() != 0 ? QStringLiteral("HH:mm:ss.zzz")
                                                       : QStringLiteral("HH:mm:ss"));
}

std::optional<DateTimeValue> parseStoredDate(const QString& text) {
    const QByteArray latin1 = text.trimmed().toLatin1();
    return storedDateValue(latin1.constData(), static_cast<int>(latin1.size()));
}

std::optional<DateTimeValue> storedDateValue(const char* text, int length) {
    const auto parts = tsql::readStoredDateParts(text, length);
    if (!parts) {
        return std::nullopt;
    }
    return DateTimeValue{parts->date, parts->time, parts->ticks};
}

} // namespace estaciones::db::sqlite
