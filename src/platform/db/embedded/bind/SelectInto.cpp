#include "platform/db/embedded/bind/SelectInto.h"

#include "platform/db/embedded/bind/InheritedDeclarations.h"
#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/TextScan.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/StoredColumns.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

QRegularExpressionMatch createTableAs(const QString& statement) {
    // Asked of every statement: most are not a CREATE at all.
    if (!tsql::startsWithWord(statement, "create"))
        return {};
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*CREATE\s+(TEMP\s+)?TABLE\s+("(?:[^"]|"")+")\s+AS\s+(SELECT\b.*)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return form.match(statement);
}

// Whether the query reads more than one table or combines rows, at its own level.
bool combinesRows(const tsql::Pieces& pieces) {
    static const QSet<QString> words{"join", "group", "union", "except", "intersect", "apply"};
    const size_t from = tsql::findTopLevelWord(pieces, 0, pieces.size(), u"FROM");
    for (size_t i = 0; i < pieces.size(); ++i) {
        const tsql::Piece& p = pieces[i];
        if (p.isPunctuation(u"(")) {
            i = tsql::closeOf(pieces, i);
        } else if (p.kind == tsql::TokenKind::Word && words.contains(p.text.toLower())) {
            return true;
        } else if (i > from && p.isPunctuation(u",")) {
            return true;
        }
    }
    return false;
}

QString textOf(const char* text) {
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

std::optional<InheritedIdentity> inheritedIdentity(sqlite3* db, const QString& statement) {
    const QRegularExpressionMatch match = createTableAs(statement);
    if (!match.hasMatch())
        return std::nullopt;
    QString table = match.captured(2);
    const QString select = match.captured(3);
    table = table.mid(1, table.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    if (combinesRows(tsql::toPieces(tsql::tokenize(select))))
        return std::nullopt;
    PreparedStatement query(db, select);
    if (!query.ok() || query.isEmpty())
        return std::nullopt;
    std::optional<InheritedIdentity> found;
    for (int i = 0; i < sqlite3_column_count(query.handle()); ++i) {
        const QString source = textOf(sqlite3_column_table_name(query.handle(), i));
        const QString origin = textOf(sqlite3_column_origin_name(query.handle(), i));
        const QString schema = textOf(sqlite3_column_database_name(query.handle(), i));
        if (source.isEmpty() || origin.isEmpty())
            continue;
        PreparedStatement identity(
            db, QStringLiteral("SELECT seed, increment FROM \"%1\".%2 WHERE table_name = ?1 AND "
                               "lower(column_name) = lower(?2)")
                    .arg(schema, QLatin1String(tsql::identityTable)));
        if (!identity.ok())
            continue; // no store in that schema: no identity there
        identity.bindText(1, source);
        identity.bindText(2, origin);
        if (identity.step() != SQLITE_ROW)
            continue;
        if (found)
            return std::nullopt; // listed twice: the server copies it as a plain column
        found = InheritedIdentity{table, textOf(sqlite3_column_name(query.handle(), i)),
                                  sqlite3_column_int64(identity.handle(), 0),
                                  sqlite3_column_int64(identity.handle(), 1)};
    }
    return found;
}

QString withDeclaredColumns(sqlite3* db, const QString& statement, bool storeTriggers) {
    const QRegularExpressionMatch match = createTableAs(statement);
    if (!match.hasMatch()) {
        return statement;
    }
    const QString select = match.captured(3);
    PreparedStatement query(db, select);
    if (!query.ok() || query.isEmpty()) {
        return statement; // it fails as it is, with its own error
    }
    InheritedDeclarations inherited(query.handle());
    QString table = match.captured(2);
    table = table.mid(1, table.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    QStringList columns;
    QString triggers;
    QSet<QString> names;
    for (int i = 0; i < sqlite3_column_count(query.handle()); ++i) {
        const char* name = sqlite3_column_name(query.handle(), i);
        const QString column = name ? QString::fromUtf8(name) : QString();
        if (column.isEmpty() || names.contains(column.toLower())) {
            return statement; // SQLite's own naming is as good as any
        }
        names.insert(column.toLower());
        const char* declared = sqlite3_column_decltype(query.handle(), i);
        std::optional<QString> declaration =
            declared ? std::optional<QString>(QString::fromUtf8(declared)) : inherited.of(i);
        const bool exact =
            declaration &&
            tsql::isExactNumberTypeName(tsql::describeDeclaredType(*declaration).typeName);
        if (exact && !declared)
            declaration = tsql::sqliteDeclaredType(*declaration); // as a column of the type is
        // Without a declaration the column has none: typed from its values.
        columns << tsql::quoteName(column) +
                       (declaration ? QLatin1Char(' ') + tsql::sqliteColumnType(*declaration)
                                    : QString());
        // A real column keeps single precision from then on, as a money or decimal its scale.
        const bool real =
            declaration && tsql::describeDeclaredType(*declaration).typeName == QLatin1String("real");
        if ((exact || real) && storeTriggers)
            for (const QString& trigger : tsql::storeTriggers(table, column, *declaration))
                triggers += QStringLiteral("\n%1;").arg(trigger);
    }
    return QStringLiteral("CREATE %1TABLE %2 (%3);%4\nINSERT INTO %2 %5")
        .arg(match.captured(1), match.captured(2), columns.join(QStringLiteral(", ")), triggers,
             select);
}

} // namespace estaciones::db::sqlite
