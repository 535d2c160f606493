#include "ValueText.h"

#include "platform/db/DateCellText.h"
#include "platform/db/RealCellText.h"

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
        if (column.type == db::adtype::Single)
            return db::realCellText(value.toDouble());
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case Variant::Type::Currency:
        return value.toCurrency().toFixedString();
    case Variant::Type::Decimal:
        return value.toDecimal().toString();
    case Variant::Type::Date:
        return db::dateCellText(value.toDate(), column);
    case Variant::Type::Text:
        return quotedIfAmbiguous(value.toString());
    case Variant::Type::Bytes:
        return hexLiteral(value.toBytes());
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
