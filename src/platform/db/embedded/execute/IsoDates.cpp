#include "platform/db/embedded/execute/IsoDates.h"

#include "platform/db/DateCellText.h"

namespace estaciones::db::sqlite {

QString isoDateText(const Variant& value, const ColumnInfo& column) {
    QString text = dateCellText(value.toDate(), column);
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    if (space == 10)
        text[space] = QLatin1Char('T');
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && text.indexOf(QLatin1Char(':')) >= 0) {
        qsizetype end = text.size();
        while (end > dot + 1 && text[end - 1] == u'0')
            --end;
        text.truncate(end == dot + 1 ? dot : end);
    }
    return text;
}

} // namespace estaciones::db::sqlite
