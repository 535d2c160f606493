#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace estaciones::db::tsql {

// A value as SQLite hands it to a function, and as the function returns it.
struct SqlValue {
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    qint64 integer = 0;
    double real = 0;
    QString text;
    QByteArray blob;

    static SqlValue null() { return {}; }
    static SqlValue of(qint64 v) {
        SqlValue value;
        value.kind = Kind::Integer;
        value.integer = v;
        return value;
    }
    static SqlValue of(double v) {
        SqlValue value;
        value.kind = Kind::Real;
        value.real = v;
        return value;
    }
    static SqlValue of(const QString& v) {
        SqlValue value;
        value.kind = Kind::Text;
        value.text = v;
        return value;
    }

    static SqlValue bytes(const QByteArray& v) {
        SqlValue value;
        value.kind = Kind::Blob;
        value.blob = v;
        return value;
    }

    bool isNull() const { return kind == Kind::Null; }
    bool isNumber() const { return kind == Kind::Integer || kind == Kind::Real; }
    double toReal() const { return kind == Kind::Integer ? static_cast<double>(integer) : real; }
    // The value as SQL Server would show it converted to varchar.
    QString toText() const;
};

// A conversion SQL Server refuses, with its message number (241, 245, 8114, ...).
class ConversionError : public std::runtime_error {
public:
    ConversionError(int nativeNumber, const QString& message)
        : std::runtime_error(message.toStdString()), m_nativeNumber(nativeNumber) {}
    int nativeNumber() const { return m_nativeNumber; }

private:
    int m_nativeNumber;
};

} // namespace estaciones::db::tsql
