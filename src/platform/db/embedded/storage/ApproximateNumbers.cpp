#include "platform/db/embedded/storage/ApproximateNumbers.h"

#include "platform/db/embedded/storage/NumericErrors.h"
#include "platform/db/embedded/storage/SqlValue.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace estaciones::db::tsql {

namespace {

// printf's form, with the exponent widened to three digits: the server
// writes 1e+006 where the C library here writes 1e+06.
QString printed(const char* format, int digits, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, digits, value);
    QString text = QString::fromLatin1(buffer);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0 && text.size() - (e + 2) < 3)
        text.insert(e + 2, QString(3 - (text.size() - (e + 2)), QLatin1Char('0')));
    return text;
}

} // namespace

double singlePrecision(double value) {
    const float single = static_cast<float>(value);
    if (std::isinf(single) && std::isfinite(value))
        failFloatOverflow(QStringLiteral("real"), value);
    return static_cast<double>(single);
}

QString floatText(double value, int style) {
    switch (style) {
    case 1:
        return printed("%.*e", 7, value);
    case 2:
        return printed("%.*e", 15, value);
    case 3:
        return printed("%.*g", 17, value);
    case 126:
    case 128:
    case 129:
        failNotSupported(QStringLiteral("CONVERT of float or real to text with style %1").arg(style));
    default:
        return printed("%.*g", 6, value);
    }
}

void failFloatOverflow(const QString& typeName, double value) {
    throw ConversionError(232, QStringLiteral("Arithmetic overflow error for type %1, value = %2.")
                                   .arg(typeName, QString::number(value, 'f', 6)));
}

} // namespace estaciones::db::tsql
