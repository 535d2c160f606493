#include "platform/db/embedded/translate/IdentityColumns.h"

#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql::schema {

QStringList identityStatements(const QString& table, const QString& column,
                               const Identity& identity, bool counterKey) {
    const QString t = quoteName(table);
    const QString c = quoteName(column);
    const QString store = QLatin1String(identityTable);
    const QString row = QStringLiteral("table_name = %1").arg(Token::literal(table));
    // A value given (IDENTITY_INSERT ON, or SQLite's own key) beyond the
    // current one becomes the current one.
    const QString followed = QStringLiteral("CASE WHEN used = 0 OR (NEW.%1 - current) * increment "
                                            "> 0 THEN NEW.%1 ELSE current END")
                                 .arg(c);
    QString body;
    if (counterKey) {
        body = QStringLiteral("UPDATE %1 SET current = %2, used = 1 WHERE %3;")
                   .arg(store, followed, row);
    } else {
        // SQLite checks NOT NULL before AFTER triggers: the column is declared
        // without it and is filled here.
        body = QStringLiteral("UPDATE %1 SET current = CASE WHEN NEW.%2 IS NULL THEN current + "
                              "CASE WHEN used THEN increment ELSE 0 END ELSE %3 END, used = 1 "
                              "WHERE %4; UPDATE %5 SET %2 = (SELECT current FROM %1 WHERE %4) "
                              "WHERE rowid = NEW.rowid AND NEW.%2 IS NULL;")
                   .arg(store, c, followed, row, t);
    }
    const QString extreme = identity.step < 0 ? QStringLiteral("min") : QStringLiteral("max");
    return {identityTableDefinition(table),
            QStringLiteral("INSERT OR REPLACE INTO %1 (table_name, column_name, seed, increment, "
                           "current, used) SELECT %2, %3, %4, %5, coalesce(%6(%7), %4), "
                           "count(%7) > 0 FROM %8")
                .arg(identityStoreOf(table), Token::literal(table), Token::literal(column))
                .arg(identity.seed)
                .arg(identity.step)
                .arg(extreme, c, t),
            QStringLiteral("CREATE %1TRIGGER %2 AFTER INSERT ON %3 BEGIN %4 END")
                .arg(isTemporaryTable(table) ? QStringLiteral("TEMP ") : QString(),
                     quoteName(QStringLiteral("tsql_identity_") + table), t, body)};
}

QStringList restartIdentity(const QString& table) {
    return {identityTableDefinition(table),
            QStringLiteral("UPDATE %1 SET current = seed, used = 0 WHERE table_name = %2")
                .arg(identityStoreOf(table), Token::literal(table))};
}

QStringList counterKeyFollowsStore(const QString& table) {
    // SQLite's key goes on from its sequence: the current value once rows
    // were numbered, one below it before.
    return {QStringLiteral("DELETE FROM sqlite_sequence WHERE name = %1 COLLATE NOCASE")
                .arg(Token::literal(table)),
            QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT table_name, current - "
                           "1 + used FROM %1 WHERE table_name = %2 AND EXISTS (SELECT 1 FROM "
                           "sqlite_master WHERE type = 'table' AND name = %2 COLLATE NOCASE AND "
                           "sql LIKE '%AUTOINCREMENT%')")
                .arg(identityStoreOf(table), Token::literal(table))};
}

QStringList forgetIdentity(const QString& table) {
    return {identityTableDefinition(table),
            QStringLiteral("DELETE FROM %1 WHERE table_name = %2")
                .arg(identityStoreOf(table), Token::literal(table))};
}

} // namespace estaciones::db::tsql::schema
