#include "platform/db/embedded/translate/ComputedColumnDefinitions.h"

#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql::schema {

namespace {

QStringList withTable(const QString& statement) {
    return {QString::fromLatin1(computedColumnTableSql), statement};
}

QString table() {
    return QString::fromLatin1(computedColumnTable);
}

} // namespace

QStringList recordComputedDefinition(const QString& tableName, const QString& column,
                                     const QString& definition, bool persisted) {
    return withTable(QStringLiteral("INSERT OR REPLACE INTO %1 (table_name, column_name, "
                                    "definition, persisted) VALUES (%2, %3, %4, %5)")
                         .arg(table(), Token::literal(tableName), Token::literal(column),
                              Token::literal(definition),
                              persisted ? QStringLiteral("1") : QStringLiteral("0")));
}

QStringList forgetComputedDefinitions(const QString& tableName, const QString& column) {
    QString statement = QStringLiteral("DELETE FROM %1 WHERE table_name = %2")
                            .arg(table(), Token::literal(tableName));
    if (!column.isEmpty())
        statement += QStringLiteral(" AND column_name = %1").arg(Token::literal(column));
    return withTable(statement);
}

QStringList renameComputedDefinitionsTable(const QString& tableName, const QString& newTable) {
    return withTable(QStringLiteral("UPDATE %1 SET table_name = %2 WHERE table_name = %3")
                         .arg(table(), Token::literal(newTable), Token::literal(tableName)));
}

QStringList renameComputedDefinitionColumn(const QString& tableName, const QString& column,
                                           const QString& newColumn) {
    return withTable(
        QStringLiteral("UPDATE %1 SET column_name = %2 WHERE table_name = %3 AND column_name = %4")
            .arg(table(), Token::literal(newColumn), Token::literal(tableName),
                 Token::literal(column)));
}

} // namespace estaciones::db::tsql::schema
