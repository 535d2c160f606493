#include "platform/db/embedded/execute/VariableScope.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/DateTextFailure.h"
#include "platform/db/embedded/functions/NumberFunctions.h"
#include "platform/db/embedded/storage/Conversion.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace estaciones::db::sqlite {

namespace {

tsql::SqlValue sqlValueOf(const Variant& value) {
    if (value.isText()) {
        return tsql::SqlValue::of(value.toString());
    }
    if (value.isBytes()) {
        return tsql::SqlValue::bytes(value.toBytes());
    }
    if (value.type() == Variant::Type::Integer || value.type() == Variant::Type::Boolean) {
        return tsql::SqlValue::of(static_cast<qint64>(value.toInt64()));
    }
    return tsql::SqlValue::of(value.toDouble());
}

// For a money or decimal variable: money and decimals as the engine carries
// them, with their digits beyond a double's.
tsql::SqlValue exactSqlValueOf(const Variant& value) {
    if (value.type() == Variant::Type::Currency) {
        return tsql::carriedNumber(*Decimal::fromCoefficient(value.toCurrency().scaled, 4), false);
    }
    if (value.type() == Variant::Type::Decimal) {
        return tsql::carriedNumber(value.toDecimal(), false);
    }
    return sqlValueOf(value);
}

// A converted money or decimal value by its exact digits at `scale`.
Decimal assignedExactly(const tsql::SqlValue& converted, int scale) {
    const auto exact = tsql::exactNumber(converted);
    const auto rescaled = exact ? exact->rescaled(scale) : std::nullopt;
    return rescaled.value_or(Decimal());
}

// A conversion's refusal as the server reports it.
template <class F> auto withServerErrors(F convert) {
    try {
        return convert();
    } catch (const tsql::ConversionError& e) {
        failWithText(e.nativeNumber(), QString::fromStdString(e.what()));
    }
}

// A number given to a numeric variable, with the server's conversion errors
// (245 for text that is no number, 220 and 8115 for what does not fit).
tsql::SqlValue converted(const Variant& value, const QString& type) {
    return withServerErrors([&] {
        return tsql::convertValue(type, sqlValueOf(value), std::nullopt, tsql::DialectSettings());
    });
}

tsql::SqlValue convertedExactly(const Variant& value, const QString& type) {
    return withServerErrors([&] {
        // A decimal or money value that does not fit names its own type in
        // the 8115 ("converting numeric to data type numeric"), not a double's.
        const auto target = tsql::ExactType::parse(type);
        const bool decimalTarget = target && target->kind == tsql::ExactType::Kind::Decimal;
        if (decimalTarget && value.type() == Variant::Type::Decimal) {
            return tsql::carriedNumber(tsql::decimalValue(value.toDecimal(), target->precision,
                                                          target->scale, QStringLiteral("numeric")),
                                       true);
        }
        if (decimalTarget && value.type() == Variant::Type::Currency) {
            return tsql::carriedNumber(
                tsql::decimalValue(*Decimal::fromCoefficient(value.toCurrency().scaled, 4),
                                   target->precision, target->scale, QStringLiteral("money")),
                true);
        }
        return tsql::convertValue(type, exactSqlValueOf(value), std::nullopt,
                                  tsql::DialectSettings());
    });
}

// A date given to a date variable keeps what its type keeps: the day alone
// for date, 1/300 s for datetime, the minute for smalldatetime, the
// declared digits for datetime2 and time.
Variant assignedDate(const Variant& value, const QString& type, tsql::DateOrder dateOrder) {
    const tsql::DateKind kind = tsql::dateKindOf(type).value_or(tsql::DateKind::DateTime);
    std::optional<tsql::PreciseDateTime> date;
    if (value.isDate()) {
        const DateTimeValue given = value.toDate();
        date = tsql::PreciseDateTime(tsql::naiveDateTime(given.date, given.time), given.ticks);
    } else {
        date = tsql::parseDateText(tsql::inIsoOrder(value.toString().trimmed(), dateOrder, kind),
                                   dateOrder);
    }
    const QString stored = withServerErrors([&] {
        if (!date) {
            throw tsql::dateTextFailure(value.toString(), kind);
        }
        tsql::checkDateRange(*date, kind);
        return tsql::formatStoredDate(*date, kind, tsql::fractionDigitsOf(type));
    });
    return parseStoredDate(stored).value_or(DateTimeValue{});
}

// A binary(n) or varbinary(n) variable keeps n bytes (1 when no length is
// written), cut silently and binary(n) filled with zeros; text is refused
// (257), numbers give their bytes.
Variant assignedBinary(const Variant& value, const QString& type) {
    if (value.isText()) {
        failWithText(257, QStringLiteral("Implicit conversion from data type varchar to "
                                         "varbinary is not allowed. Use the CONVERT function "
                                         "to run this query."));
    }
    const QString declared = type.contains(QLatin1Char('(')) ? type : type + QStringLiteral("(1)");
    return Variant::fromBytes(converted(value, declared).blob);
}

// The type a number's text depends on: money (two decimals), a decimal (its
// scale), a float (six digits at most); empty for whole numbers.
QString numberSourceType(const Variant& value) {
    switch (value.type()) {
    case Variant::Type::Double:
        return QStringLiteral("float");
    case Variant::Type::Currency:
        return QStringLiteral("money");
    case Variant::Type::Decimal:
        return QStringLiteral("decimal(38,%1)").arg(value.toDecimal().scale());
    default:
        return {};
    }
}

// A number given to a char, varchar, nchar or nvarchar variable converts as
// CAST to its declared length would: '*' for a whole number too long for
// char and varchar, the server's error (8115, 232) for the others.
QString numberAsText(const Variant& value, const QString& type, const ColumnInfo& info) {
    const QString base = type.section(QLatin1Char('('), 0, 0).trimmed();
    const QString target =
        base == QLatin1String("sysname")
            ? QStringLiteral("nvarchar(128)")
        : info.definedSize >= std::numeric_limits<std::int32_t>::max()
            ? base + QStringLiteral("(max)")
            : QStringLiteral("%1(%2)").arg(base).arg(info.definedSize);
    return withServerErrors([&] {
        return tsql::convertTyped(target, exactSqlValueOf(value), std::nullopt,
                                  numberSourceType(value), tsql::DialectSettings())
            .text;
    });
}

// char, varchar, nchar, nvarchar (of a length or max) and sysname: the types
// a number converts to by CAST's rules (text and ntext take no conversion of
// a number, sql_variant keeps the number).
bool isCharacterType(const QString& type) {
    static const QRegularExpression character(QStringLiteral(R"(^(n?(var)?char|sysname)\b)"));
    return character.match(type).hasMatch();
}

bool isNumberVariant(const Variant& value) {
    switch (value.type()) {
    case Variant::Type::Integer:
    case Variant::Type::Boolean:
    case Variant::Type::Double:
    case Variant::Type::Currency:
    case Variant::Type::Decimal:
        return true;
    default:
        return false;
    }
}

Variant coerce(const Variant& value, const QString& type, tsql::DateOrder dateOrder) {
    if (value.isNull() || value.isEmpty()) {
        return Variant::null();
    }
    // A datetimeoffset keeps its offset in its text (a date without one is at +00:00).
    if (tsql::dateKindOf(type) == tsql::DateKind::DateTimeOffset) {
        tsql::DialectSettings settings;
        settings.dateOrder = dateOrder;
        const tsql::SqlValue given =
            value.isDate() ? tsql::SqlValue::of(storedDate(value.toDate())) : sqlValueOf(value);
        return withServerErrors(
            [&] { return tsql::convertValue(type, given, std::nullopt, settings).text; });
    }
    const ColumnInfo info = columnInfoFromDeclaration(QString(), type);
    switch (info.type) {
    case adtype::Integer:
    case adtype::SmallInt:
    case adtype::UnsignedTinyInt:
    case adtype::BigInt:
    case adtype::Boolean:
        return static_cast<long long>(converted(value, type).integer);
    case adtype::Double:
    case adtype::Single:
        return converted(value, type).toReal();
    case adtype::Numeric:
        return assignedExactly(convertedExactly(value, type), info.numericScale);
    case adtype::Currency:
        return Currency{static_cast<std::int64_t>(
            assignedExactly(convertedExactly(value, type), 4).coefficient())};
    case adtype::DBTimeStamp:
    case adtype::DBDate:
    case adtype::DBTime:
        if (value.isText() || value.isDate()) {
            return assignedDate(value, type, dateOrder);
        }
        return value;
    case adtype::VarChar:
    case adtype::Char:
    case adtype::VarWChar:
    case adtype::WChar: {
        QString text = isNumberVariant(value) && isCharacterType(type)
                           ? numberAsText(value, type, info)
                       : value.isDate() ? storedDate(value.toDate())
                                        : value.toString();
        if (info.definedSize > 0 && text.size() > info.definedSize) {
            text.truncate(info.definedSize); // variables are cut silently, as SQL Server does
        }
        // char(n) and nchar(n) hold n characters: shorter values are padded with blanks.
        if ((info.type == adtype::Char || info.type == adtype::WChar) && info.definedSize > 0 &&
            info.definedSize < 8001) {
            text = text.leftJustified(static_cast<qsizetype>(info.definedSize), QLatin1Char(' '));
        }
        return text;
    }
    case adtype::Binary:
    case adtype::VarBinary:
        return assignedBinary(value, type);
    default:
        return value;
    }
}

} // namespace

void VariableScope::declare(const QString& name, const QString& type, const void* site) {
    const QString key = name.toLower();
    if (const auto it = m_variables.constFind(key); it != m_variables.constEnd()) {
        if (site && it->site == site) {
            return;
        }
        failWith(native::VariableRedeclared, {name});
    }
    m_variables.insert(key, Variable{type.toLower(), Variant::null(), site, {}, {}});
}

void VariableScope::declareTable(const QString& name, const QString& table, const void* site) {
    declare(name, QStringLiteral("table"), site);
    m_variables[name.toLower()].table = table;
}

QString VariableScope::tableOf(const QString& name) const {
    const auto it = m_variables.constFind(name.toLower());
    return it == m_variables.constEnd() ? QString() : it->table;
}

QStringList VariableScope::tables() const {
    QStringList names;
    for (const Variable& variable : m_variables) {
        if (!variable.table.isEmpty()) {
            names << variable.table;
        }
    }
    return names;
}

bool VariableScope::isCursorVariable(const QString& name) const {
    const auto it = m_variables.constFind(name.toLower());
    // "cursor", or a procedure's "cursor varying" parameter
    return it != m_variables.constEnd() && it->type.startsWith(QLatin1String("cursor"));
}

std::shared_ptr<Cursor> VariableScope::cursorOf(const QString& name) const {
    return find(name).cursor;
}

void VariableScope::setCursor(const QString& name, std::shared_ptr<Cursor> cursor) {
    find(name); // 137 for a name not declared
    m_variables[name.toLower()].cursor = std::move(cursor);
}

bool VariableScope::isDeclaredAt(const QString& name, const void* site) const {
    const auto it = m_variables.constFind(name.toLower());
    return site && it != m_variables.constEnd() && it->site == site;
}

bool VariableScope::isDeclared(const QString& name) const {
    return m_variables.contains(name.toLower());
}

const VariableScope::Variable& VariableScope::find(const QString& name) const {
    const auto it = m_variables.constFind(name.toLower());
    if (it == m_variables.constEnd()) {
        failWith(native::UndeclaredVariable, {name});
    }
    return *it;
}

void VariableScope::assign(const QString& name, const Variant& value, tsql::DateOrder dateOrder) {
    const Variable& variable = find(name);
    m_variables[name.toLower()].value = coerce(value, variable.type, dateOrder);
}

const Variant& VariableScope::value(const QString& name) const {
    return find(name).value;
}

const QString& VariableScope::type(const QString& name) const {
    return find(name).type;
}

Variant convertedForAssignment(const Variant& value, const QString& type,
                               tsql::DateOrder dateOrder) {
    return coerce(value, type.toLower(), dateOrder);
}

QString literalOf(const Variant& value) {
    switch (value.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
    case Variant::Type::Object:
        return QStringLiteral("NULL");
    case Variant::Type::Boolean:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Variant::Type::Integer:
        return QString::number(value.toInt64());
    case Variant::Type::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case Variant::Type::Currency:
        return value.toCurrency().toString();
    case Variant::Type::Decimal:
        return value.toDecimal().toString();
    case Variant::Type::Date:
        return QLatin1Char('\'') + storedDate(value.toDate()) + QLatin1Char('\'');
    case Variant::Type::Text: {
        QString text = value.toString();
        text.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    case Variant::Type::Bytes:
        return hexLiteral(value.toBytes());
    }
    return QStringLiteral("NULL");
}

} // namespace estaciones::db::sqlite
