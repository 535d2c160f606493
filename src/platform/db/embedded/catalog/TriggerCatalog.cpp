#include "platform/db/embedded/catalog/TriggerCatalog.h"

#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/catalog/ReferentialActions.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

#include <array>
#include <memory>

namespace estaciones::db::sqlite {

using tsql::Tokens;

namespace {

bool isWordAt(const Tokens& tokens, std::size_t i, QStringView word) {
    return i < tokens.size() && tokens[i].isWord(word);
}

QString table() {
    return QString::fromLatin1(tsql::triggerTable);
}

QString triggerColumnText(sqlite3_stmt* statement, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
}

QString orderTable() {
    return QString::fromLatin1(tsql::triggerOrderTable);
}

QString eventWord(DataEvent event) {
    return event == DataEvent::Insert   ? QStringLiteral("INSERT")
           : event == DataEvent::Update ? QStringLiteral("UPDATE")
                                        : QStringLiteral("DELETE");
}

// The ORDER BY of a listing in firing order.
QString firingOrderOf(DataEvent event) {
    return QStringLiteral("coalesce((SELECT CASE o.position WHEN 'First' THEN 0 ELSE 2 END FROM "
                          "%1 AS o WHERE o.trigger_name = %2.name AND o.event = '%3'), 1), rowid")
        .arg(orderTable(), table(), eventWord(event));
}

std::size_t listingIndex(DataEvent event, bool withDisabled, bool ordered) {
    return static_cast<std::size_t>(event) * 4 + (withDisabled ? 2 : 0) + (ordered ? 1 : 0);
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

void TriggerCatalog::store(const Tokens& definitionTokens, const QString& text,
                                ProcedureCatalog::Store how) {
    const TriggerDefinition definition = parseTrigger(definitionTokens);
    const bool known = exists(definition.name);
    if (how == ProcedureCatalog::Store::Create && known) {
        failObjectExists(m_database, definition.name);
    }
    if (how == ProcedureCatalog::Store::Alter && !known) {
        failWith(native::InvalidObjectName, {definition.name});
    }
    if (!m_database.hasTable(definition.table)) {
        failWith(native::InvalidObjectName, {definition.table});
    }
    if (m_database.hasTable(definition.name) ||
        ProcedureCatalog(m_database).exists(definition.name) ||
        FunctionCatalog(m_database).exists(definition.name)) {
        failObjectExists(m_database, definition.name);
    }
    const QString verb = known && how != ProcedureCatalog::Store::Create ? QStringLiteral("ALTER")
                                                                           : QStringLiteral("CREATE");
    if (definition.insteadOf) {
        // The rows a cascading key deletes or updates cannot be given to a
        // trigger to do instead.
        if ((definition.onDelete && hasCascadingKey(m_database, definition.table, DataEvent::Delete)) ||
            (definition.onUpdate && hasCascadingKey(m_database, definition.table, DataEvent::Update))) {
            failWith(native::InsteadOfTriggerOnCascadedTable, {verb, definition.name, definition.table});
        }
        refuseSecondInsteadOf(definition, verb);
    }
    // An altered trigger keeps its id (and so its place among the table's),
    // but not a first or last place sp_settriggerorder gave it.
    if (known) {
        forgetOrder(definition.name);
    }
    write(QStringLiteral("INSERT INTO %1 (name, table_name, instead_of, on_insert, on_update, "
                         "on_delete, definition) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT "
                         "(name) DO UPDATE SET table_name = excluded.table_name, instead_of = "
                         "excluded.instead_of, on_insert = excluded.on_insert, on_update = "
                         "excluded.on_update, on_delete = excluded.on_delete, definition = "
                         "excluded.definition")
              .arg(table()),
          {definition.name, definition.table, QString::number(int(definition.insteadOf)),
           QString::number(int(definition.onInsert)), QString::number(int(definition.onUpdate)),
           QString::number(int(definition.onDelete)), text});
}

// One INSTEAD OF trigger per statement kind on a table or view.
void TriggerCatalog::refuseSecondInsteadOf(const TriggerDefinition& definition,
                                           const QString& verb) const {
    for (const auto& [event, word] : {std::pair{DataEvent::Insert, "INSERT"},
                                      std::pair{DataEvent::Update, "UPDATE"},
                                      std::pair{DataEvent::Delete, "DELETE"}}) {
        if (!definition.firesOn(event)) {
            continue;
        }
        for (const TriggerDefinition& other : triggersOf(definition.table, event, true)) {
            if (other.insteadOf && other.name.compare(definition.name, Qt::CaseInsensitive) != 0) {
                PreparedStatement kind(m_database.handle(),
                                       QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type = "
                                                      "'view' AND name = ?1 COLLATE NOCASE"));
                kind.bindText(1, definition.table);
                const bool view = kind.ok() && kind.step() == SQLITE_ROW;
                failWith(native::SecondInsteadOfTrigger,
                         {verb, definition.name, view ? QStringLiteral("view") : QStringLiteral("table"),
                          definition.table, QLatin1String(word)});
            }
        }
    }
}

void TriggerCatalog::drop(const QString& name) {
    if (!exists(name)) {
        failWith(native::CannotDrop, {QStringLiteral("trigger"), name});
    }
    write(QStringLiteral("DELETE FROM %1 WHERE name = ?1").arg(table()), {name});
    forgetOrder(name);
}

void TriggerCatalog::rename(const QString& name, const QString& newName) {
    write(QStringLiteral("UPDATE %1 SET name = ?2 WHERE name = ?1 COLLATE NOCASE").arg(table()),
          {name, newName});
    if (m_database.hasTable(orderTable())) {
        write(QStringLiteral("UPDATE %1 SET trigger_name = ?2 WHERE trigger_name = ?1 COLLATE "
                             "NOCASE")
                  .arg(orderTable()),
              {name, newName});
    }
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
    return triggersOf(tableName, event, false);
}

std::vector<TriggerDefinition> TriggerCatalog::triggersOf(const QString& tableName, DataEvent event,
                                                          bool withDisabled) const {
    // Asked of every data change: one statement, not a look for the order's
    // table first. A file made before the order was kept (opened read-only)
    // has no such table, and its triggers fire in the order they were made.
    // The texts are the same at every call: written once.
    static const auto listings = [] {
        std::array<QString, 12> texts;
        for (const DataEvent e : {DataEvent::Insert, DataEvent::Update, DataEvent::Delete}) {
            const char* column = e == DataEvent::Insert   ? "on_insert"
                                 : e == DataEvent::Update ? "on_update"
                                                          : "on_delete";
            for (const bool disabledToo : {false, true}) {
                for (const bool ordered : {true, false}) {
                    texts[listingIndex(e, disabledToo, ordered)] =
                        QStringLiteral("SELECT definition, name, table_name FROM %1 WHERE table_name = ?1 AND %2 = "
                                       "1%3 ORDER BY %4")
                            .arg(table(), QLatin1String(column),
                                 disabledToo ? QString() : QStringLiteral(" AND disabled = 0"),
                                 ordered ? firingOrderOf(e) : QStringLiteral("rowid"));
                }
            }
        }
        return texts;
    }();
    auto query = std::make_unique<PreparedStatement>(
        m_database.handle(), listings[listingIndex(event, withDisabled, true)]);
    if (!query->ok())
        query = std::make_unique<PreparedStatement>(
            m_database.handle(), listings[listingIndex(event, withDisabled, false)]);
    query->bindText(1, tableName);
    std::vector<TriggerDefinition> triggers;
    if (!query->ok()) {
        return triggers; // a file without the table (opened read-only) has no triggers
    }
    while (query->step() == SQLITE_ROW) {
        // It answers to the catalogue's names, which sp_rename and ALTER SCHEMA
        // TRANSFER change without changing the text.
        TriggerDefinition trigger =
            parseTrigger(tsql::storedDefinitionTokens(triggerColumnText(query->handle(), 0)));
        trigger.name = triggerColumnText(query->handle(), 1);
        trigger.table = triggerColumnText(query->handle(), 2);
        triggers.push_back(std::move(trigger));
    }
    return triggers;
}

QString TriggerCatalog::orderOf(const QString& name, DataEvent event) const {
    if (!m_database.hasTable(orderTable())) {
        return {};
    }
    PreparedStatement query(
        m_database.handle(),
        QStringLiteral("SELECT position FROM %1 WHERE trigger_name = ?1 AND event = ?2").arg(orderTable()));
    query.bindText(1, name);
    query.bindText(2, eventWord(event));
    return query.ok() && query.step() == SQLITE_ROW ? triggerColumnText(query.handle(), 0) : QString();
}

void TriggerCatalog::setOrder(const QString& name, const QString& position, DataEvent event) {
    PreparedStatement query(
        m_database.handle(),
        QStringLiteral("SELECT definition FROM %1 WHERE name = ?1").arg(table()));
    query.bindText(1, name);
    if (!query.ok() || query.step() != SQLITE_ROW) {
        failWith(native::ObjectNotInDatabase,
                 {name, tsql::schema_access::databaseName(m_database.handle())});
    }
    const TriggerDefinition trigger =
        parseTrigger(tsql::storedDefinitionTokens(triggerColumnText(query.handle(), 0)));
    const QString word = eventWord(event);
    if (trigger.insteadOf) {
        failWith(native::NotSupported,
                 {QStringLiteral("sp_settriggerorder of the INSTEAD OF trigger '%1'").arg(name)});
    }
    if (!trigger.firesOn(event)) {
        failWith(native::NotSupported,
                 {QStringLiteral("sp_settriggerorder of '%1' for %2, which does not fire it").arg(name, word)});
    }
    write(QStringLiteral("DELETE FROM %1 WHERE trigger_name = ?1 AND event = ?2").arg(orderTable()),
          {name, word});
    if (position.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0) {
        return;
    }
    const QString place = position.compare(QLatin1String("First"), Qt::CaseInsensitive) == 0
                              ? QStringLiteral("First")
                              : QStringLiteral("Last");
    // One first and one last trigger for each statement kind of a table.
    for (const TriggerDefinition& other : triggersOf(trigger.table, event, true)) {
        if (other.name.compare(name, Qt::CaseInsensitive) != 0 && orderOf(other.name, event) == place) {
            failWith(native::NotSupported,
                     {QStringLiteral("sp_settriggerorder: '%1' is already the %2 %3 trigger of '%4'")
                          .arg(other.name, place, word, trigger.table)});
        }
    }
    write(QStringLiteral("INSERT INTO %1 (trigger_name, event, position) VALUES (?1, ?2, ?3)")
              .arg(orderTable()),
          {name, word, place});
}

void TriggerCatalog::dropTableTriggers(const QString& tableName) {
    if (m_database.hasTable(orderTable())) {
        write(QStringLiteral("DELETE FROM %1 WHERE trigger_name IN (SELECT name FROM %2 WHERE "
                             "table_name = ?1)")
                  .arg(orderTable(), table()),
              {tableName});
    }
    write(QStringLiteral("DELETE FROM %1 WHERE table_name = ?1").arg(table()), {tableName});
}

void TriggerCatalog::forgetOrder(const QString& name) {
    if (m_database.hasTable(orderTable())) {
        write(QStringLiteral("DELETE FROM %1 WHERE trigger_name = ?1").arg(orderTable()), {name});
    }
}

} // namespace estaciones::db::sqlite
