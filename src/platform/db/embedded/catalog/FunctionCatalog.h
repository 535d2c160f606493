#pragma once

#include "platform/db/embedded/catalog/ProcedureCatalog.h"

namespace estaciones::db::sqlite {

enum class FunctionKind {
    Scalar,      // RETURNS type ... BEGIN ... RETURN expression END
    InlineTable, // RETURNS TABLE ... RETURN (select)
    Table,       // RETURNS @t TABLE (columns) ... BEGIN ... RETURN END
};

// A user-defined function: its name, parameters and what it returns.
struct FunctionDefinition {
    QString name;
    std::vector<ProcedureParameter> parameters;
    FunctionKind kind = FunctionKind::Scalar;
    QString returnType;           // a scalar function's declared type
    QString resultVariable;       // a multi-statement function's "@t"
    tsql::Tokens resultColumns;   // its "(columns)", parentheses included
    bool nullOnNullInput = false; // WITH RETURNS NULL ON NULL INPUT
    tsql::Tokens body;            // what follows AS
    tsql::Tokens query;           // an inline function's select

    // The server's type code: FN, IF or TF.
    QString typeCode() const;
};

// Reads "CREATE [OR ALTER]|ALTER FUNCTION name ([@p type [= default], ...])
// RETURNS ... [WITH options] [AS] body". Throws ProviderFailure 102 when the
// text is not such a definition.
FunctionDefinition parseFunction(const tsql::Tokens& definition);

// The functions of one database, kept in a table of their own as their
// definition texts, in the name space of procedures, tables and triggers.
class FunctionCatalog {
public:
    explicit FunctionCatalog(SqliteDatabase& database) : m_database(database) {}

    // 2714 when another object holds the name (a function too, on Create);
    // 208 on Alter when there is none.
    void store(const tsql::Tokens& definition, const QString& text, ProcedureCatalog::Store how);
    std::optional<FunctionDefinition> find(const QString& name) const;
    bool exists(const QString& name) const;
    // 3701 when there is no such function.
    void drop(const QString& name);
    // sp_rename: as ProcedureCatalog::rename.
    void rename(const QString& name, const QString& newName);

private:
    void markChanged();

    SqliteDatabase& m_database;
};

} // namespace estaciones::db::sqlite
