#pragma once

#include "platform/core/Decimal.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>
#include <memory>
#include <variant>

namespace estaciones {

// Base of the objects a Variant can refer to (JSON dictionaries and collections,
// recordsets handed around as values). Shared ownership, as COM references were.
class VariantObject {
public:
    virtual ~VariantObject() = default;
    virtual QString typeName() const = 0;
};

// Fixed point with four decimals, as the original's Currency.
struct Currency {
    std::int64_t scaled = 0; // value * 10000

    static Currency fromDouble(double value);
    double toDouble() const { return static_cast<double>(scaled) / 10000.0; }
    // "." as decimal mark, trailing zeros and a bare "." dropped: 1.5, 12, -0.0001.
    QString toString() const;
    // All four decimals, as a console prints money: 1.5000, -0.0001.
    QString toFixedString() const;
    friend bool operator==(Currency, Currency) = default;
    friend auto operator<=>(Currency, Currency) = default;
};

// A date and time of day without time zone, as the original's Date.
struct DateTimeValue {
    QDate date;
    QTime time{0, 0};
    int ticks = 0; // 100 ns below the millisecond (0 to 9999), which datetime2 and time keep

    QDateTime toDateTime() const { return QDateTime(date, time); }
    friend bool operator==(const DateTimeValue&, const DateTimeValue&) = default;
};

// The original's Variant: Empty (never assigned) and Null (a database null) are
// different values, and both matter to callers.
class Variant {
public:
    enum class Type {
        Empty,
        Null,
        Boolean,
        Integer,
        Double,
        Currency,
        Decimal,
        Text,
        Date,
        Object,
        Bytes // a byte array (binary and varbinary values)
    };

    Variant() = default;
    static Variant null();
    Variant(bool value) : m_value(value) {}
    Variant(int value) : m_value(static_cast<std::int64_t>(value)) {}
    Variant(long value) : m_value(static_cast<std::int64_t>(value)) {}
    Variant(long long value) : m_value(static_cast<std::int64_t>(value)) {}
    Variant(double value) : m_value(value) {}
    Variant(estaciones::Currency value) : m_value(value) {}
    Variant(const estaciones::Decimal& value) : m_value(value) {}
    Variant(const QString& value) : m_value(value) {}
    Variant(const char* value) : m_value(QString::fromUtf8(value)) {}
    Variant(const QDate& value) : m_value(DateTimeValue{value, QTime(0, 0)}) {}
    Variant(const QDateTime& value) : m_value(DateTimeValue{value.date(), value.time()}) {}
    Variant(const DateTimeValue& value) : m_value(value) {}
    Variant(std::shared_ptr<VariantObject> object) : m_value(std::move(object)) {}
    // Explicit: a QByteArray is often UTF-8 text, which must stay text.
    explicit Variant(const QByteArray& bytes) : m_value(bytes) {}
    static Variant fromBytes(const QByteArray& bytes) { return Variant(bytes); }

    Type type() const;
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isNumeric() const;
    bool isText() const { return type() == Type::Text; }
    bool isDate() const { return type() == Type::Date; }
    bool isObject() const { return type() == Type::Object; }
    bool isBytes() const { return type() == Type::Bytes; }

    // Conversions in the manner of the original's CStr/CLng/CDbl/CBool/CDate,
    // with "." as the decimal mark. Empty and Null read as "" / 0 / false; the
    // callers that must tell them apart test isEmpty()/isNull() first.
    // The numeric and date conversions throw Error 13 (type mismatch) on text
    // that is not a number or a date.
    QString toString() const;
    std::int64_t toInt64() const;
    std::int32_t toInt32() const;
    double toDouble() const;
    estaciones::Currency toCurrency() const;
    // Exact for every numeric type; doubles by their shortest digits; text
    // that is a number. Throws Error 13 otherwise, 6 (overflow) beyond 38 digits.
    estaciones::Decimal toDecimal() const;
    bool toBool() const;
    DateTimeValue toDate() const;
    std::shared_ptr<VariantObject> toObject() const;
    // The bytes of a byte array; text gives its UTF-16 code units (as
    // assigning a String to a Byte array does). Error 13 otherwise.
    QByteArray toBytes() const;

    template <class T> std::shared_ptr<T> objectAs() const {
        return std::dynamic_pointer_cast<T>(toObject());
    }

    // Same type and same value (text compared exactly). Not the original's
    // "=" operator, whose Null handling differs; for tests and containers.
    friend bool operator==(const Variant& a, const Variant& b) { return a.m_value == b.m_value; }

    // A readable form for test failures and logs: Empty, Null, "text", 12, ...
    QString debugString() const;

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };
    using Storage =
        std::variant<std::monostate, NullTag, bool, std::int64_t, double, estaciones::Currency,
                     estaciones::Decimal, QString, DateTimeValue, std::shared_ptr<VariantObject>,
                     QByteArray>;
    Storage m_value;
};

void PrintTo(const Variant& value, std::ostream* os);

// Bytes as the server's consoles show a binary value: 0x and upper-case hex ("0x0A1B"; "0x" when empty).
QString hexLiteral(const QByteArray& bytes);

} // namespace estaciones
