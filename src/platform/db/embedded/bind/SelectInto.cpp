#include "platform/db/embedded/bind/SelectInto.h"

#include "platform/db/embedded/bind/InheritedDeclarations.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

QString withDeclaredColumns(sqlite3* db, const QString& statement) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*CREATE\s+(TEMP\s+)?TABLE\s+("(?:[^"]|"")+")\s+AS\s+(SELECT\b.*)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = form.match(statement);
    if (!match.hasMatch()) {
        return statement;
    }
    const QString select = match.captured(3);
    PreparedStatement query(db, select);
    if (!query.ok() || query.isEmpty()) {
        return statement; // it fails as it is, with its own error
    }
    InheritedDeclarations inherited(query.handle());
    QStringList columns;
    QSet<QString> names;
    for (int i = 0; i < sqlite3_column_count(query.handle()); ++i) {
        const char* name = sqlite3_column_name(query.handle(), i);
        const QString column = name ? QString::fromUtf8(name) : QString();
        if (column.isEmpty() || names.contains(column.toLower())) {
            return statement; // SQLite's own naming is as good as any
        }
        names.insert(column.toLower());
        const char* declared = sqlite3_column_decltype(query.handle(), i);
        const std::optional<QString> declaration =
            declared ? std::optional<QString>(QString::fromUtf8(declared)) : inherited.of(i);
        // Without a declaration the column has none: typed from its values.
        columns << tsql::quoteName(column) +
                       (declaration ? QLatin1Char(' ') + *declaration : QString());
    }
    return QStringLiteral("CREATE %1TABLE %2 (%3);\nINSERT INTO %2 %4")
        .arg(match.captured(1), match.captured(2), columns.join(QStringLiteral(", ")), select);
}

} // namespace estaciones::db::sqlite
