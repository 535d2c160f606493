#pragma once

#include "platform/db/embedded/parse/Token.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <optional>

namespace estaciones::db::sqlite {

struct ProcedureParameter {
    QString name; // with its "@"
    QString type;
    std::optional<tsql::Tokens> defaultValue;
    bool output = false; // OUTPUT: the value goes back to a caller that asks for it
};

// A stored procedure: name, parameters and the body, a batch run on each call.
struct ProcedureDefinition {
    QString name;
    std::vector<ProcedureParameter> parameters;
    tsql::Tokens body;
    // The text the body's tokens were read from when it runs straight from
    // one (sp_executesql's statement), so that a module it creates keeps that
    // text; empty for a stored procedure.
    QString source;
};

// "@p type [= default] [OUTPUT], ...", in parentheses when `parenthesised`,
// from `i` on; `i` ends after it. Procedures and functions declare them alike.
std::vector<ProcedureParameter> readParameters(const tsql::Tokens& tokens, std::size_t& i,
                                               bool parenthesised);

// Reads "CREATE [OR ALTER]|ALTER PROC[EDURE] name [(] @p type [= default] [OUTPUT], ... [)]
// AS body".
// Throws ProviderFailure 102 when the text is not such a definition.
ProcedureDefinition parseProcedure(const tsql::Tokens& definition);

// The procedures of one database, kept in a table of its file as their
// definition text (SQLite has no procedures of its own).
class ProcedureCatalog {
public:
    explicit ProcedureCatalog(SqliteDatabase& database);

    enum class Store {
        Create,        // 2714 when a procedure of that name exists
        Alter,         // 208 when there is none to change
        CreateOrAlter, // either
    };
    // 2714 when a table, view or trigger holds the name. `definition` is read
    // for its name and parameters; `text` is kept (the definition as written).
    void store(const tsql::Tokens& definition, const QString& text, Store how);
    std::optional<ProcedureDefinition> find(const QString& name) const;
    bool exists(const QString& name) const;
    // 3701 when there is no such procedure.
    void drop(const QString& name);
    // sp_rename: the procedure answers to `newName`; its text keeps the name
    // it was written with, as sys.sql_modules shows it on the server.
    void rename(const QString& name, const QString& newName);

private:
    SqliteDatabase& m_database;
};

// What the catalogues of procedures, functions and triggers share.
// A write to a catalogue table with `texts` bound as ?1, ?2, ...
void runCatalogWrite(SqliteDatabase& database, const QString& sql, const QStringList& texts);
// A routine's parameters, one row each, for INFORMATION_SCHEMA.PARAMETERS.
// A scalar function's `returnType` is kept too, as the parameter of ordinal
// 0 without a name, as sys.parameters lists it.
void storeRoutineParameters(SqliteDatabase& database, const QString& routine,
                            const std::vector<ProcedureParameter>& parameters,
                            const QString& returnType = {});
void forgetRoutineParameters(SqliteDatabase& database, const QString& routine);
// A routine's row in `table` and its parameters' rows under `newName`.
void renameRoutine(SqliteDatabase& database, const char* table, const QString& name,
                   const QString& newName);
// The first column of the row a one-name query (?1) finds; nullopt for none.
std::optional<QString> storedText(const SqliteDatabase& database, const QString& sql,
                                  const QString& name);

} // namespace estaciones::db::sqlite
