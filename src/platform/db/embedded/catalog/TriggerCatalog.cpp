#include "platform/db/embedded/catalog/TriggerCatalog.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/ReferentialActions.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

using tsql::Tokens;

namespace {

bool isWordAt(const Tokens& tokens, std::size_t i, QStringView word) {
    return i < tokens.size() && tokens[i].isWord(word);
}

QString table() {
    return QString::fromLatin1(tsql::triggerTable);
}

QString columnText(sqlite3_stmt* statement, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
}

} // namespace

bool TriggerDefinition::firesOn(DataEvent event) const {
    switch (event) {
    case DataEvent::Insert:
        return onInsert;
    case DataEvent::Update:
        return onUpdate;
    case DataEvent::Delete:
        return onDelete;
    }
    return false;
}

TriggerDefinition parseTrigger(const Tokens& t) {
    std::size_t i = 1; // after CREATE / ALTER
    if (isWordAt(t, i, u"OR") && isWordAt(t, i + 1, u"ALTER")) {
        i += 2;
    }
    if (!isWordAt(t, i, u"TRIGGER")) {
        syntaxErrorAt(t, i);
    }
    ++i;
    TriggerDefinition definition;
    definition.name = readObjectName(t, i);
    if (definition.name.isEmpty() || !isWordAt(t, i, u"ON")) {
        syntaxErrorAt(t, i);
    }
    ++i;
    definition.table = readObjectName(t, i);
    if (definition.table.isEmpty()) {
        syntaxErrorAt(t, i);
    }
    if (isWordAt(t, i, u"WITH")) {
        i += 2; // WITH ENCRYPTION / EXECUTE AS ...: nothing to do in a local file
        if (isWordAt(t, i - 1, u"EXECUTE") && isWordAt(t, i, u"AS")) {
            i += 2;
        }
    }
    if (isWordAt(t, i, u"INSTEAD") && isWordAt(t, i + 1, u"OF")) {
        definition.insteadOf = true;
        i += 2;
    } else if (isWordAt(t, i, u"AFTER") || isWordAt(t, i, u"FOR")) {
        ++i;
    } else {
        syntaxErrorAt(t, i);
    }
    bool expectEvent = true;
    for (; i < t.size() && expectEvent; ++i) {
        if (t[i].isWord(u"INSERT")) {
            definition.onInsert = true;
        } else if (t[i].isWord(u"UPDATE")) {
            definition.onUpdate = true;
        } else if (t[i].isWord(u"DELETE")) {
            definition.onDelete = true;
        } else {
            syntaxErrorAt(t, i);
        }
        expectEvent = i + 1 < t.size() && t[i + 1].isPunctuation(u",");
        i += expectEvent ? 1 : 0;
    }
    if (isWordAt(t, i, u"WITH") && isWordAt(t, i + 1, u"APPEND")) {
        i += 2;
    }
    if (isWordAt(t, i, u"NOT") && isWordAt(t, i + 1, u"FOR") &&
        isWordAt(t, i + 2, u"REPLICATION")) {
        i += 3;
    }
    if (!isWordAt(t, i, u"AS") || i + 1 >= t.size()) {
        syntaxErrorAt(t, i);
    }
    definition.body.assign(t.begin() + static_cast<std::ptrdiff_t>(i + 1), t.end());
    return definition;
}

TriggerCatalog::TriggerCatalog(SqliteDatabase& database) : m_database(database) {}

void TriggerCatalog::write(const QString& sql, const QStringList& values) {
    PreparedStatement statement(m_database.handle(), sql);
    for (int k = 0; k < values.size(); ++k) {
        statement.bindText(k + 1, values[k]);
    }
    if (!statement.ok() || statement.step() != SQLITE_DONE) {
        throw ProviderFailure({m_database.lastError(sql)});
    }
}

bool TriggerCatalog::exists(const QString& name) const {
    PreparedStatement query(m_database.handle(),
                            QStringLiteral("SELECT 1 FROM %1 WHERE name = ?1").arg(table()));
    query.bindText(1, name);
    return query.ok() && query.step() == SQLITE_ROW;
}

void TriggerCatalog::store(const Tokens& definitionTokens, ProcedureCatalog::Store how) {
    const TriggerDefinition definition = parseTrigger(definitionTokens);
    const bool known = exists(definition.name);
    if (how == ProcedureCatalog::Store::Create && known) {
        failWith(native::ObjectExists, {definition.name});
    }
    if (how == ProcedureCatalog::Store::Alter && !known) {
        failWith(native::InvalidObjectName, {definition.name});
    }
    if (!m_database.hasTable(definition.table)) {
        failWith(native::InvalidObjectName, {definition.table});
    }
    if (m_database.hasTable(definition.name) ||
        ProcedureCatalog(m_database).exists(definition.name)) {
        failWith(native::ObjectExists, {definition.name});
    }
    // The rows a cascading key deletes or updates cannot be given to a
    // trigger to do instead.
    if (definition.insteadOf &&
        ((definition.onDelete && hasCascadingKey(m_database, definition.table, DataEvent::Delete)) ||
         (definition.onUpdate && hasCascadingKey(m_database, definition.table, DataEvent::Update)))) {
        failWith(native::InsteadOfTriggerOnCascadedTable, {definition.name, definition.table});
    }
    // An altered trigger keeps its id (and so its place among the table's).
    write(QStringLiteral("INSERT INTO %1 (name, table_name, instead_of, on_insert, on_update, "
                         "on_delete, definition) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT "
                         "(name) DO UPDATE SET table_name = excluded.table_name, instead_of = "
                         "excluded.instead_of, on_insert = excluded.on_insert, on_update = "
                         "excluded.on_update, on_delete = excluded.on_delete, definition = "
                         "excluded.definition")
              .arg(table()),
          {definition.name, definition.table, QString::number(int(definition.insteadOf)),
           QString::number(int(definition.onInsert)), QString::number(int(definition.onUpdate)),
           QString::number(int(definition.onDelete)), joinTokensByLine(definitionTokens)});
}

void TriggerCatalog::drop(const QString& name) {
    if (!exists(name)) {
        failWith(native::CannotDrop, {QStringLiteral("trigger"), name});
    }
    write(QStringLiteral("DELETE FROM %1 WHERE name = ?1").arg(table()), {name});
}

void TriggerCatalog::setDisabled(const QString& name, const QString& tableName, bool disabled) {
    if (!m_database.hasTable(tableName)) {
        failWith(native::InvalidObjectName, {tableName});
    }
    if (name.isEmpty()) {
        write(QStringLiteral("UPDATE %1 SET disabled = %2 WHERE table_name = ?1")
                  .arg(table(), QString::number(int(disabled))),
              {tableName});
        return;
    }
    PreparedStatement query(
        m_database.handle(),
        QStringLiteral("SELECT 1 FROM %1 WHERE name = ?1 AND table_name = ?2").arg(table()));
    query.bindText(1, name);
    query.bindText(2, tableName);
    if (!query.ok() || query.step() != SQLITE_ROW) {
        failWith(native::CannotDrop, {QStringLiteral("trigger"), name});
    }
    write(QStringLiteral("UPDATE %1 SET disabled = %2 WHERE name = ?1")
              .arg(table(), QString::number(int(disabled))),
          {name});
}

std::vector<TriggerDefinition> TriggerCatalog::firedBy(const QString& tableName,
                                                       DataEvent event) const {
    const char* column = event == DataEvent::Insert   ? "on_insert"
                         : event == DataEvent::Update ? "on_update"
                                                      : "on_delete";
    PreparedStatement query(m_database.handle(),
                            QStringLiteral("SELECT definition FROM %1 WHERE table_name = ?1 AND "
                                           "%2 = 1 AND disabled = 0 ORDER BY rowid")
                                .arg(table(), QLatin1String(column)));
    query.bindText(1, tableName);
    std::vector<TriggerDefinition> triggers;
    if (!query.ok()) {
        return triggers; // a file without the table (opened read-only) has no triggers
    }
    while (query.step() == SQLITE_ROW) {
        triggers.push_back(parseTrigger(tsql::significantTokens(columnText(query.handle(), 0))));
    }
    return triggers;
}

void TriggerCatalog::dropTableTriggers(const QString& tableName) {
    write(QStringLiteral("DELETE FROM %1 WHERE table_name = ?1").arg(table()), {tableName});
}

} // namespace estaciones::db::sqlite
