#pragma once

#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/parse/Token.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <optional>
#include <vector>

namespace estaciones::db::sqlite {

// The data statements a trigger answers.
enum class DataEvent { Insert, Update, Delete };

// A DML trigger: the table or view it belongs to, when it runs (after the
// statement or instead of it), the statements that fire it and its body.
struct TriggerDefinition {
    QString name;
    QString table;
    bool insteadOf = false;
    bool onInsert = false;
    bool onUpdate = false;
    bool onDelete = false;
    bool disabled = false;
    tsql::Tokens body;

    bool firesOn(DataEvent event) const;
};

// Reads "CREATE [OR ALTER]|ALTER TRIGGER name ON table {FOR|AFTER|INSTEAD OF}
// {INSERT, UPDATE, DELETE} [WITH APPEND] [NOT FOR REPLICATION] AS body".
// Throws ProviderFailure 102/156 when the text is not such a definition.
TriggerDefinition parseTrigger(const tsql::Tokens& definition);

// The triggers of one database, kept with their definition text in a table
// of its file, as procedures are (SQLite's own triggers are the engine's
// constraints, never these).
class TriggerCatalog {
public:
    explicit TriggerCatalog(SqliteDatabase& database);

    // 2714 when the name is taken (Create), 208 when there is none to alter
    // or the table or view does not exist.
    void store(const tsql::Tokens& definition, const QString& text, ProcedureCatalog::Store how);
    bool exists(const QString& name) const;
    // 3701 when there is no such trigger.
    void drop(const QString& name);
    // sp_rename: the trigger answers to `newName`, keeps its place in the
    // firing order, and its text keeps the name it was written with.
    void rename(const QString& name, const QString& newName);
    // DISABLE / ENABLE TRIGGER name ON table: 3701 when it is not that
    // table's; an empty name is every trigger of the table (ALL).
    void setDisabled(const QString& name, const QString& table, bool disabled);
    // The enabled triggers of `table` that `event` fires: the first one
    // (sp_settriggerorder), then the rest oldest first, then the last one.
    std::vector<TriggerDefinition> firedBy(const QString& table, DataEvent event) const;
    // sp_settriggerorder: `position` First, Last or None for the statements
    // of `event`. 15009 for a trigger that is not there; refused by name for
    // an INSTEAD OF trigger, one `event` does not fire, or a place another
    // trigger of the table holds.
    void setOrder(const QString& name, const QString& position, DataEvent event);
    // 'First', 'Last' or nothing.
    QString orderOf(const QString& name, DataEvent event) const;
    // A dropped table's triggers go with it.
    void dropTableTriggers(const QString& table);

private:
    void write(const QString& sql, const QStringList& values);
    std::vector<TriggerDefinition> triggersOf(const QString& table, DataEvent event,
                                              bool withDisabled) const;
    void refuseSecondInsteadOf(const TriggerDefinition& definition, const QString& verb) const;
    void forgetOrder(const QString& name);

    SqliteDatabase& m_database;
};

} // namespace estaciones::db::sqlite
