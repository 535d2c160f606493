#include "platform/db/embedded/errors/TableVariableNames.h"

#include <QCryptographicHash>

namespace estaciones::db::sqlite {

QString shownTableName(const QString& table) {
    if (!table.startsWith(tableVariablePrefix))
        return QStringLiteral("dbo.") + table;
    // #tsql_var_<n>_name → @name
    const QString rest = table.mid(tableVariablePrefix.size());
    return QStringLiteral("dbo.@") + rest.section(QLatin1Char('_'), 1);
}

QString tableNameInGeneratedNames(const QString& table) {
    if (!table.startsWith(tableVariablePrefix))
        return table;
    const QByteArray hash =
        QCryptographicHash::hash(table.toUtf8(), QCryptographicHash::Sha1).toHex().toUpper();
    return QLatin1Char('#') + QString::fromLatin1(hash.left(8));
}

} // namespace estaciones::db::sqlite
