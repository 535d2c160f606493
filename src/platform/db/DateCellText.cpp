#include "platform/db/DateCellText.h"

#include "platform/db/AdoConstants.h"

namespace estaciones::db {

namespace {

// Fraction digits of a time of day, to the 100 ns a value keeps.
QString fractionDigits(const DateTimeValue& value, int digits) {
    if (digits <= 0) {
        return {};
    }
    const QString fraction = QStringLiteral("%1%2")
                                 .arg(value.time.msec(), 3, 10, QLatin1Char('0'))
                                 .arg(value.ticks, 4, 10, QLatin1Char('0'));
    return QLatin1Char('.') + fraction.left(digits);
}

} // namespace

QString dateCellText(const DateTimeValue& value, const ColumnInfo& column) {
    const QString date = value.date.toString(QStringLiteral("yyyy-MM-dd"));
    const QString clock = value.time.toString(QStringLiteral("HH:mm:ss"));
    switch (column.type) {
    case adtype::DBDate:
        return date;
    case adtype::DBTime:
        return clock + fractionDigits(value, column.precision > 0 ? column.numericScale : 7);
    default: {
        // A column that describes its precision gives its scale (datetime2(n),
        // datetime's 3, smalldatetime's 0); one that says nothing has three.
        const int digits = column.precision > 0      ? column.numericScale
                           : column.definedSize == 4 ? 0
                                                     : 3;
        return date + QLatin1Char(' ') + clock + fractionDigits(value, digits);
    }
    }
}

} // namespace estaciones::db
