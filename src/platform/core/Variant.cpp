#include "platform/core/Variant.h"

#include "platform/core/Error.h"
#include "platform/core/TextEncodings.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <ostream>

namespace estaciones {

namespace {

// VB rounds halves to even when a double becomes an integer.
std::int64_t roundHalfEven(double value) {
    if (!std::isfinite(value) || value > 9.2e18 || value < -9.2e18) {
        throw standardError(errnum::Overflow);
    }
    return static_cast<std::int64_t>(std::nearbyint(value)); // default mode: to nearest even
}

QString doubleToText(double value) {
    if (value == 0) {
        return QStringLiteral("0");
    }
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e'))) {
        const double magnitude = std::fabs(value);
        if (magnitude >= 1e-4 && magnitude < 1e15) {
            text = QString::number(value, 'f', 15);
            while (text.endsWith(QLatin1Char('0'))) {
                text.chop(1);
            }
            if (text.endsWith(QLatin1Char('.'))) {
                text.chop(1);
            }
        } else {
            text.replace(QLatin1String("e+"), QLatin1String("E+"));
            text.replace(QLatin1String("e-"), QLatin1String("E-"));
        }
    }
    return text;
}

std::optional<double> parseNumber(const QString& raw) {
    const QString text = raw.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString digits = text.mid(2);
        if (digits.endsWith(QLatin1Char('&'))) {
            digits.chop(1);
        }
        bool ok = false;
        const qulonglong v = digits.toULongLong(&ok, 16);
        if (!ok) {
            return std::nullopt;
        }
        // &H literals of up to 8 digits are 32-bit and signed, as in VB.
        if (digits.size() <= 8) {
            return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
        }
        return static_cast<double>(v);
    }
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return v;
}

std::optional<DateTimeValue> parseDate(const QString& raw) {
    const QString text = raw.trimmed();
    static const QRegularExpression dmy(QStringLiteral(
        R"(^(\d{1,2})[/\-.](\d{1,2})[/\-.](\d{2}|\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    static const QRegularExpression iso(QStringLiteral(
        R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[T\s]+(\d{1,2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?$)"));
    static const QRegularExpression compact(QStringLiteral(R"(^(\d{4})(\d{2})(\d{2})$)"));
    auto build = [](int y, int m, int d, const QString& hh, const QString& mi,
                    const QString& ss) -> std::optional<DateTimeValue> {
        const QDate date(y, m, d);
        const QTime time(hh.isEmpty() ? 0 : hh.toInt(), mi.isEmpty() ? 0 : mi.toInt(),
                         ss.isEmpty() ? 0 : ss.toInt());
        if (!date.isValid() || !time.isValid()) {
            return std::nullopt;
        }
        return DateTimeValue{date, time};
    };
    if (auto m = dmy.match(text); m.hasMatch()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() == 2) {
            year += year < 30 ? 2000 : 1900; // VB's two-digit year window
        }
        return build(year, m.captured(2).toInt(), m.captured(1).toInt(), m.captured(4),
                     m.captured(5), m.captured(6));
    }
    if (auto m = iso.match(text); m.hasMatch()) {
        return build(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                     m.captured(4), m.captured(5), m.captured(6));
    }
    if (auto m = compact.match(text); m.hasMatch()) {
        return build(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), {}, {},
                     {});
    }
    return std::nullopt;
}

// OLE automation dates: days since 30 December 1899, the fraction is the time.
DateTimeValue fromOleDate(double value) {
    const QDate epoch(1899, 12, 30);
    const double days = std::floor(value);
    double fraction = std::fabs(value - days);
    if (value < 0) {
        fraction = std::fabs(value - std::ceil(value));
    }
    const qint64 wholeDays = static_cast<qint64>(value < 0 ? std::ceil(value) : days);
    const int msecs = static_cast<int>(std::llround(fraction * 86400000.0));
    return DateTimeValue{epoch.addDays(wholeDays), QTime(0, 0).addMSecs(msecs)};
}

double toOleDate(const DateTimeValue& value) {
    const QDate epoch(1899, 12, 30);
    const double days = static_cast<double>(epoch.daysTo(value.date));
    const double fraction = value.time.msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + fraction : days - fraction;
}

} // namespace

Currency Currency::fromDouble(double value) {
    const double scaled = value * 10000.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.2e18) {
        throw standardError(errnum::Overflow);
    }
    return Currency{static_cast<std::int64_t>(std::nearbyint(scaled))};
}

namespace {
// Without overflow for the smallest money value, whose negation no int64 holds.
std::uint64_t magnitudeOf(std::int64_t scaled) {
    return scaled < 0 ? static_cast<std::uint64_t>(-(scaled + 1)) + 1
                      : static_cast<std::uint64_t>(scaled);
}
} // namespace

QString Currency::toFixedString() const {
    const std::uint64_t magnitude = magnitudeOf(scaled);
    return QStringLiteral("%1%2.%3")
        .arg(scaled < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10000)
        .arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
}

QString Currency::toString() const {
    const bool negative = scaled < 0;
    const std::uint64_t magnitude = magnitudeOf(scaled);
    QString text = QString::number(magnitude / 10000);
    QString decimals = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    while (decimals.endsWith(QLatin1Char('0'))) {
        decimals.chop(1);
    }
    if (!decimals.isEmpty()) {
        text += QLatin1Char('.') + decimals;
    }
    return negative ? QLatin1Char('-') + text : text;
}

Variant Variant::null() {
    Variant v;
    v.m_value = NullTag{};
    return v;
}

Variant::Type Variant::type() const {
    return static_cast<Type>(m_value.index());
}

bool Variant::isNumeric() const {
    switch (type()) {
    case Type::Boolean:
    case Type::Integer:
    case Type::Double:
    case Type::Currency:
    case Type::Decimal:
    case Type::Empty:
        return true;
    case Type::Text:
        return parseNumber(std::get<QString>(m_value)).has_value();
    default:
        return false;
    }
}

QString Variant::toString() const {
    switch (type()) {
    case Type::Empty:
    case Type::Null:
        return {};
    case Type::Boolean:
        return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer:
        return QString::number(std::get<std::int64_t>(m_value));
    case Type::Double:
        return doubleToText(std::get<double>(m_value));
    case Type::Currency:
        return std::get<estaciones::Currency>(m_value).toString();
    case Type::Decimal:
        return std::get<estaciones::Decimal>(m_value).toString();
    case Type::Text:
        return std::get<QString>(m_value);
    case Type::Date: {
        const auto& d = std::get<DateTimeValue>(m_value);
        QString text = d.date.toString(QStringLiteral("dd/MM/yyyy"));
        if (d.time != QTime(0, 0)) {
            text += QLatin1Char(' ') + d.time.toString(QStringLiteral("HH:mm:ss"));
        }
        return text;
    }
    case Type::Bytes:
        // A byte array read as a String: its bytes are UTF-16 code units, two a character.
        return fromUtf16Bytes(std::get<QByteArray>(m_value));
    case Type::Object:
        break;
    }
    throw standardError(errnum::TypeMismatch);
}

double Variant::toDouble() const {
    switch (type()) {
    case Type::Empty:
    case Type::Null:
        return 0;
    case Type::Boolean:
        return std::get<bool>(m_value) ? -1 : 0;
    case Type::Integer:
        return static_cast<double>(std::get<std::int64_t>(m_value));
    case Type::Double:
        return std::get<double>(m_value);
    case Type::Currency:
        return std::get<estaciones::Currency>(m_value).toDouble();
    case Type::Decimal:
        return std::get<estaciones::Decimal>(m_value).toDouble();
    case Type::Text:
        if (auto v = parseNumber(std::get<QString>(m_value))) {
            return *v;
        }
        break;
    case Type::Date:
        return toOleDate(std::get<DateTimeValue>(m_value));
    case Type::Object:
    case Type::Bytes:
        break;
    }
    throw standardError(errnum::TypeMismatch);
}

std::int64_t Variant::toInt64() const {
    if (type() == Type::Integer) {
        return std::get<std::int64_t>(m_value);
    }
    if (type() == Type::Currency) {
        const auto c = std::get<estaciones::Currency>(m_value);
        return roundHalfEven(static_cast<double>(c.scaled) / 10000.0);
    }
    if (type() == Type::Decimal) {
        // VB's rounding of halves to even, done exactly.
        const auto& d = std::get<estaciones::Decimal>(m_value);
        const auto whole = d.truncated(0);
        const auto twice =
            estaciones::Decimal::multiply(*estaciones::Decimal::subtract(d, *whole), 2);
        auto result = whole->truncatedToInt64();
        if (!result || !twice) {
            throw standardError(errnum::Overflow);
        }
        const auto half = *twice <=> estaciones::Decimal(d.isNegative() ? -1 : 1);
        const bool away = d.isNegative() ? half < 0 : half > 0;
        if (away || (half == 0 && *result % 2 != 0)) {
            *result += d.isNegative() ? -1 : 1;
        }
        return *result;
    }
    return roundHalfEven(toDouble());
}

std::int32_t Variant::toInt32() const {
    const std::int64_t v = toInt64();
    if (v < INT32_MIN || v > INT32_MAX) {
        throw standardError(errnum::Overflow);
    }
    return static_cast<std::int32_t>(v);
}

Currency Variant::toCurrency() const {
    if (type() == Type::Currency) {
        return std::get<estaciones::Currency>(m_value);
    }
    if (type() == Type::Integer) {
        return estaciones::Currency{std::get<std::int64_t>(m_value) * 10000};
    }
    if (type() == Type::Decimal) {
        const auto four = std::get<estaciones::Decimal>(m_value).rescaled(4);
        if (!four || four->coefficient() > INT64_MAX || four->coefficient() < INT64_MIN) {
            throw standardError(errnum::Overflow);
        }
        return estaciones::Currency{static_cast<std::int64_t>(four->coefficient())};
    }
    return estaciones::Currency::fromDouble(toDouble());
}

Decimal Variant::toDecimal() const {
    std::optional<estaciones::Decimal> value;
    switch (type()) {
    case Type::Empty:
    case Type::Null:
        return {};
    case Type::Boolean:
        return std::get<bool>(m_value) ? -1 : 0;
    case Type::Integer:
        return std::get<std::int64_t>(m_value);
    case Type::Currency:
        value =
            estaciones::Decimal::fromCoefficient(std::get<estaciones::Currency>(m_value).scaled, 4);
        break;
    case Type::Decimal:
        return std::get<estaciones::Decimal>(m_value);
    case Type::Double: {
        const double d = std::get<double>(m_value);
        if (!std::isfinite(d)) {
            throw standardError(errnum::Overflow);
        }
        value = estaciones::Decimal::parse(QString::number(d, 'g', QLocale::FloatingPointShortest));
        break;
    }
    case Type::Text:
        value = estaciones::Decimal::parse(std::get<QString>(m_value));
        if (!value) {
            throw standardError(errnum::TypeMismatch);
        }
        break;
    default:
        throw standardError(errnum::TypeMismatch);
    }
    if (!value) {
        throw standardError(errnum::Overflow);
    }
    return *value;
}

bool Variant::toBool() const {
    if (type() == Type::Text) {
        const QString t = std::get<QString>(m_value).trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("Verdadero"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("Falso"), Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    if (type() == Type::Boolean) {
        return std::get<bool>(m_value);
    }
    return toDouble() != 0;
}

DateTimeValue Variant::toDate() const {
    switch (type()) {
    case Type::Date:
        return std::get<DateTimeValue>(m_value);
    case Type::Text:
        if (auto d = parseDate(std::get<QString>(m_value))) {
            return *d;
        }
        break;
    case Type::Integer:
    case Type::Double:
    case Type::Currency:
    case Type::Decimal:
    case Type::Empty:
        return fromOleDate(toDouble());
    default:
        break;
    }
    throw standardError(errnum::TypeMismatch);
}

std::shared_ptr<VariantObject> Variant::toObject() const {
    if (type() != Type::Object) {
        throw standardError(errnum::TypeMismatch);
    }
    return std::get<std::shared_ptr<VariantObject>>(m_value);
}

QByteArray Variant::toBytes() const {
    if (type() == Type::Bytes) {
        return std::get<QByteArray>(m_value);
    }
    if (type() == Type::Text) {
        return toUtf16Bytes(std::get<QString>(m_value));
    }
    throw standardError(errnum::TypeMismatch);
}

QString Variant::debugString() const {
    switch (type()) {
    case Type::Empty:
        return QStringLiteral("Empty");
    case Type::Null:
        return QStringLiteral("Null");
    case Type::Text:
        return QLatin1Char('"') + std::get<QString>(m_value) + QLatin1Char('"');
    case Type::Date:
        return QStringLiteral("#") + toString() + QLatin1Char('#');
    case Type::Object: {
        const auto& o = std::get<std::shared_ptr<VariantObject>>(m_value);
        return o ? QStringLiteral("<%1>").arg(o->typeName()) : QStringLiteral("Nothing");
    }
    case Type::Bytes:
        return hexLiteral(std::get<QByteArray>(m_value));
    default:
        return toString();
    }
}

QString hexLiteral(const QByteArray& bytes) {
    return QStringLiteral("0x") + QString::fromLatin1(bytes.toHex().toUpper());
}

void PrintTo(const Variant& value, std::ostream* os) {
    *os << value.debugString().toStdString();
}

} // namespace estaciones
