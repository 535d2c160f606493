#include "platform/db/embedded/storage/NumericErrors.h"

#include "platform/db/embedded/storage/SqlValue.h"

#include <limits>

namespace estaciones::db::tsql {

void failDivideByZero() {
    throw ConversionError(8134, QStringLiteral("Divide by zero error encountered."));
}

void failOverflow(const QString& typeName) {
    throw ConversionError(
        8115, QStringLiteral("Arithmetic overflow error converting expression to data type %1.")
                  .arg(typeName));
}

void failConversionOverflow(const QString& fromType, const QString& typeName) {
    throw ConversionError(8115, QStringLiteral("Arithmetic overflow error converting %1 to data "
                                               "type %2.")
                                    .arg(fromType, typeName));
}

void failBeyondStoredDigits(const QString& typeName, const QString& value) {
    throw ConversionError(
        40517, QStringLiteral("Keyword or statement option '%1 value %2 (a database file keeps "
                              "money and decimal values of up to 15 significant digits)' is not "
                              "supported in this version of SQL Server.")
                   .arg(typeName, value));
}

void failSmallIntegerOverflow(const QString& typeName, const QString& value) {
    throw ConversionError(220,
                          QStringLiteral("Arithmetic overflow error for data type %1, value = %2.")
                              .arg(typeName, value));
}

void failIntegerConversion(const QString& text, const QString& typeName) {
    throw ConversionError(
        245,
        QStringLiteral("Conversion failed when converting the varchar value '%1' to data type %2.")
            .arg(text, typeName));
}

void failNumberConversion(const QString& fromType, const QString& typeName) {
    throw ConversionError(
        8114, QStringLiteral("Error converting data type %1 to %2.").arg(fromType, typeName));
}

void failNotSupported(const QString& what) {
    throw ConversionError(40517, QStringLiteral("Keyword or statement option '%1' is not "
                                                "supported in this version of SQL Server.")
                                     .arg(what));
}

void checkIntegerRange(qint64 value, const QString& typeName) {
    if (typeName == QLatin1String("tinyint")) {
        if (value < 0 || value > 255)
            failSmallIntegerOverflow(typeName, QString::number(value));
    } else if (typeName == QLatin1String("smallint")) {
        if (value < std::numeric_limits<qint16>::min() ||
            value > std::numeric_limits<qint16>::max())
            failSmallIntegerOverflow(typeName, QString::number(value));
    } else if (typeName == QLatin1String("int") || typeName == QLatin1String("integer")) {
        if (value < std::numeric_limits<qint32>::min() ||
            value > std::numeric_limits<qint32>::max())
            failOverflow(QStringLiteral("int"));
    }
}

} // namespace estaciones::db::tsql
