#include "platform/db/embedded/functions/DateFunctions.h"

namespace estaciones::db::tsql {

namespace {

SqlValue datenameFunction(const Call& c) {
    if (c.arg(1).isNull())
        return {};
    return SqlValue::of(
        dateName(c.part(0), c.date(1), c.settings.language, c.settings.firstDayOfWeek));
}

SqlValue datepartFunction(const Call& c) {
    if (c.arg(1).isNull())
        return {};
    return SqlValue::of(
        datePart(c.part(0), c.date(1), c.settings.language, c.settings.firstDayOfWeek));
}

SqlValue dateaddFunction(const Call& c) {
    if (c.arg(1).isNull() || c.arg(2).isNull())
        return {};
    const QDateTime result = dateAdd(c.part(0), c.integer(1), c.date(2));
    if (!result.isValid() || result.date().year() < 1753 || result.date().year() > 9999)
        throw ConversionError(
            517, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
    // A date-only input stays date-only (DATEADD on a date column gives a date).
    const bool dateOnly = c.arg(2).kind == SqlValue::Kind::Text &&
                          c.arg(2).text.trimmed().size() == 10 &&
                          c.arg(2).text.trimmed()[4] == QLatin1Char('-');
    return SqlValue::of(formatStoredDate(result, dateOnly ? DateKind::Date : DateKind::DateTime));
}

SqlValue datediffFunction(const Call& c) {
    if (c.arg(1).isNull() || c.arg(2).isNull())
        return {};
    return SqlValue::of(dateDiff(c.part(0), c.date(1), c.date(2)));
}

SqlValue getdateFunction(const Call&) {
    const QDateTime now = QDateTime::currentDateTime();
    return SqlValue::of(formatStoredDate(naiveDateTime(now.date(), now.time())));
}

SqlValue getutcdateFunction(const Call&) {
    const QDateTime utc = QDateTime::currentDateTimeUtc();
    return SqlValue::of(formatStoredDate(naiveDateTime(utc.date(), utc.time())));
}

// ISDATE: whether the text is a valid datetime, in datetime's range.
SqlValue isdateFunction(const Call& c) {
    if (c.arg(0).kind != SqlValue::Kind::Text)
        return SqlValue::of(qint64(0));
    const auto date = parseDateText(c.arg(0).text, c.settings.dateOrder);
    const bool valid = date && date->date().year() >= 1753;
    return SqlValue::of(qint64(valid ? 1 : 0));
}

// What a date column keeps: canonical text, whatever literal form came in.
SqlValue storeDateFunction(const Call& c) {
    const SqlValue& value = c.arg(0);
    if (value.isNull())
        return value;
    const QString type = c.arg(1).toText();
    const DateKind kind = dateKindOf(type).value_or(DateKind::DateTime);
    const int digits = fractionDigitsOf(type);
    // A bare 8-digit number is a 'yyyymmdd' literal that lost its quotes to affinity.
    if (value.kind == SqlValue::Kind::Integer && value.integer >= 17530101 &&
        value.integer <= 99991231) {
        if (auto d = parseDateText(QString::number(value.integer)))
            return SqlValue::of(formatStoredDate(*d, kind, digits));
    }
    // Most values come in a stored form already: read without a regular expression.
    std::optional<QDateTime> stored;
    if (value.kind == SqlValue::Kind::Text) {
        const QByteArray latin1 = value.text.toLatin1();
        stored = readStoredDate(latin1.constData(), static_cast<int>(latin1.size()));
    }
    const QDateTime date = stored ? *stored : c.date(0);
    checkDateRange(date, kind);
    return SqlValue::of(formatStoredDate(date, kind, digits));
}

const FunctionSpec functions[] = {
    {"tsql_datename", 2, datenameFunction, true}, {"tsql_datepart", 2, datepartFunction, true},
    {"tsql_dateadd", 3, dateaddFunction, true},   {"tsql_datediff", 3, datediffFunction, true},
    {"tsql_getdate", 0, getdateFunction, false},  {"tsql_getutcdate", 0, getutcdateFunction, false},
    {"tsql_isdate", 1, isdateFunction, true},     {"tsql_store_date", 2, storeDateFunction, true},
};

} // namespace

std::span<const FunctionSpec> dateFunctions() {
    return functions;
}

} // namespace estaciones::db::tsql
