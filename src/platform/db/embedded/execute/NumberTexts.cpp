#include "platform/db/embedded/execute/NumberTexts.h"

namespace estaciones::db::sqlite {

QString numberText(const Variant& v, const ColumnInfo& column) {
    if (v.type() == Variant::Type::Currency)
        return v.toCurrency().toFixedString();
    if (v.type() == Variant::Type::Decimal) {
        const Decimal value = v.toDecimal();
        const auto rescaled = value.rescaled(column.numericScale);
        return column.numericScale > 0 && rescaled ? rescaled->toString() : value.toString();
    }
    if (column.type == adtype::Currency)
        return QString::number(v.toDouble(), 'f', 4);
    return v.toString();
}

} // namespace estaciones::db::sqlite
