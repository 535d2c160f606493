#include "platform/db/embedded/errors/TableVariableNames.h"

namespace estaciones::db::sqlite {

QString shownTableName(const QString& table) {
    if (!table.startsWith(tableVariablePrefix))
        return QStringLiteral("dbo.") + table;
    // #tsql_var_<n>_name → @name
    const QString rest = table.mid(tableVariablePrefix.size());
    return QStringLiteral("dbo.@") + rest.section(QLatin1Char('_'), 1);
}

} // namespace estaciones::db::sqlite
