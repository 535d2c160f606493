#include "ValueText.h"

#include <QLocale>
#include <QStringList>

namespace estaciones::conformance {
namespace {

const QString cellSeparator = QStringLiteral(" | ");

QString quotedIfAmbiguous(const QString& text) {
    const bool ambiguous = text.isEmpty() || text.front().isSpace() || text.back().isSpace() ||
                           text == QLatin1String("NULL") || text.contains(cellSeparator) ||
                           (text.startsWith('\'') && text.endsWith('\''));
    return ambiguous ? QLatin1Char('\'') + text + QLatin1Char('\'') : text;
}


// Fraction digits of a time of day, to the 100 ns a value keeps.
QString fractionText(const DateTimeValue& value, int digits) {
    if (digits <= 0) {
        return {};
    }
    const QString fraction = QStringLiteral("%1%2")
                                 .arg(value.time.msec(), 3, 10, QLatin1Char('0'))
                                 .arg(value.ticks, 4, 10, QLatin1Char('0'));
    return QLatin1Char('.') + fraction.left(digits);
}

QString dateText(const DateTimeValue& value, const db::ColumnInfo& column) {
    const QString date = value.date.toString(QStringLiteral("yyyy-MM-dd"));
    const QString clock = value.time.toString(QStringLiteral("HH:mm:ss"));
    switch (column.type) {
    case db::adtype::DBDate:
        return date;
    case db::adtype::DBTime:
        return clock + fractionText(value, column.precision > 0 ? column.numericScale : 7);
    default: {
        // A column that describes its precision gives its scale (datetime2(n),
        // datetime's 3, smalldatetime's 0); one that says nothing has three.
        const int digits = column.precision > 0      ? column.numericScale
                           : column.definedSize == 4 ? 0
                                                     : 3;
        return date + QLatin1Char(' ') + clock + fractionText(value, digits);
    }
    }
}

} // namespace

QString valueText(const Variant& value, const db::ColumnInfo& column) {
    switch (value.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
        return QStringLiteral("NULL");
    case Variant::Type::Boolean:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Variant::Type::Integer:
        return QString::number(value.toInt64());
    case Variant::Type::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case Variant::Type::Currency:
        return value.toCurrency().toFixedString();
    case Variant::Type::Decimal:
        return value.toDecimal().toString();
    case Variant::Type::Date:
        return dateText(value.toDate(), column);
    case Variant::Type::Text:
        return quotedIfAmbiguous(value.toString());
    case Variant::Type::Object:
        break;
    }
    return value.debugString();
}

QStringList rowTexts(const db::ResultSet& resultSet) {
    QStringList rows;
    for (const auto& row : resultSet.rows) {
        QStringList cells;
        for (std::size_t c = 0; c < row.size(); ++c) {
            cells.append(valueText(row[c], c < resultSet.columns.size() ? resultSet.columns[c]
                                                                        : db::ColumnInfo{}));
        }
        rows.append(cells.join(cellSeparator));
    }
    return rows;
}

QString headerText(const db::ResultSet& resultSet) {
    QStringList names;
    for (const db::ColumnInfo& column : resultSet.columns) {
        names.append(quotedIfAmbiguous(column.name));
    }
    return names.join(cellSeparator);
}

} // namespace estaciones::conformance
