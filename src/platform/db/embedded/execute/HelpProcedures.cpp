#include "platform/db/embedded/execute/HelpProcedures.h"

#include "platform/db/embedded/catalog/FunctionCatalog.h"
#include "platform/db/embedded/catalog/ProcedureCatalog.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/catalog/ViewDefinitions.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/UserSchemas.h"
#include "platform/db/embedded/functions/ObjectNameParts.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/StoredDate.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <algorithm>
#include <initializer_list>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

// Named inside the anonymous namespace: the stage is compiled as combined
// files, where its other files' helpers share that namespace.
namespace {
namespace help_procedures {

// A result set being filled: the documented columns, then rows.
class Rows {
public:
    Rows& column(const char* name, int type, std::int64_t size = 0, int precision = 0) {
        ColumnInfo info;
        info.name = QString::fromLatin1(name);
        info.type = type;
        info.definedSize = size;
        info.precision = precision;
        m_set.columns.push_back(info);
        return *this;
    }
    Rows& name(const char* name) { return column(name, adtype::VarWChar, 128); }
    void add(std::vector<Variant> row) { m_set.rows.push_back(std::move(row)); }
    bool empty() const { return m_set.rows.empty(); }
    ResultSet take() { return std::move(m_set); }

private:
    ResultSet m_set;
};

// The rows of a catalogue query, each column as text (a null one as a null string).
std::vector<QStringList> query(SqliteDatabase& database, const QString& sql,
                               const QStringList& parameters = {}) {
    std::vector<QStringList> rows;
    PreparedStatement statement(database.handle(), sql);
    for (int i = 0; i < parameters.size(); ++i)
        statement.bindText(i + 1, parameters[i]);
    while (statement.ok() && statement.step() == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(statement.handle()); ++c)
            row << (sqlite3_column_type(statement.handle(), c) == SQLITE_NULL
                        ? QString()
                        : QString::fromUtf8(reinterpret_cast<const char*>(
                              sqlite3_column_text(statement.handle(), c))));
        rows.push_back(row);
    }
    return rows;
}

Variant textOrNull(const QString& text) {
    return text.isNull() ? Variant::null() : Variant(text);
}

// '[dbo].[T]' → T: the owner and brackets go, the name stays. Another
// schema's name ('ventas.T') is the file's "ventas.T".
QString objectName(const QString& name) {
    const QString own = tsql::catalogObjectName(name);
    return own.isEmpty() ? name : own;
}

enum class ObjectKind { None, Table, View, Procedure, Function, Trigger, Constraint };

struct CatalogObject {
    ObjectKind kind = ObjectKind::None;
    QString name; // as it was created
    QString code; // a constraint's kind code (C, D, F, PK, UQ), a function's (FN, IF, TF)
};

CatalogObject findObject(SqliteDatabase& database, const QString& name) {
    for (const QStringList& row :
         query(database, QStringLiteral("SELECT name, type FROM sqlite_schema WHERE type IN "
                                        "('table', 'view') AND lower(name) = lower(?1) AND name "
                                        "NOT GLOB 'sqlite_*' AND name NOT GLOB 'estaciones_*'"),
               {name}))
        return {row[1] == QLatin1String("view") ? ObjectKind::View : ObjectKind::Table, row[0], {}};
    if (ProcedureCatalog(database).exists(name))
        return {ObjectKind::Procedure, name, {}};
    if (const std::optional<FunctionDefinition> function = FunctionCatalog(database).find(name))
        return {ObjectKind::Function, function->name, function->typeCode()};
    if (TriggerCatalog(database).exists(name))
        return {ObjectKind::Trigger, name, {}};
    if (database.hasTable(QLatin1String(tsql::constraintTable)))
        for (const QStringList& row :
             query(database, QStringLiteral("SELECT name, kind FROM %1 WHERE lower(name) = lower(?1)")
                                 .arg(QLatin1String(tsql::constraintTable)),
                   {name}))
            return {ObjectKind::Constraint, row[0], row[1]};
    return {};
}

[[noreturn]] void missingObject(Session& session, const QString& name) {
    failWith(native::ObjectNotInDatabase,
             {name, tsql::schema_access::databaseName(session.current().handle())});
}

// The object the procedure's first argument `parameter` names; 15009 unless
// it is of one of `kinds`.
CatalogObject requiredObject(Session& session, const std::vector<CallArgument>& arguments,
                             const char* parameter, std::initializer_list<ObjectKind> kinds) {
    const QString name = objectName(argumentText(arguments, parameter, 0));
    const CatalogObject object = findObject(session.current(), name);
    if (std::find(kinds.begin(), kinds.end(), object.kind) == kinds.end())
        missingObject(session, name);
    return object;
}

QString typeDescription(const CatalogObject& object) {
    switch (object.kind) {
    case ObjectKind::Table:
        return QStringLiteral("user table");
    case ObjectKind::View:
        return QStringLiteral("view");
    case ObjectKind::Procedure:
        return QStringLiteral("stored procedure");
    case ObjectKind::Trigger:
        return QStringLiteral("trigger");
    case ObjectKind::Function:
        return object.code == QLatin1String("FN")   ? QStringLiteral("scalar function")
               : object.code == QLatin1String("IF") ? QStringLiteral("inline function")
                                                    : QStringLiteral("table function");
    case ObjectKind::Constraint:
        break;
    case ObjectKind::None:
        return {};
    }
    const QString& c = object.code;
    return c == QLatin1String("C")    ? QStringLiteral("check cns")
           : c == QLatin1String("D")  ? QStringLiteral("default (maybe cns)")
           : c == QLatin1String("F")  ? QStringLiteral("foreign key cns")
           : c == QLatin1String("PK") ? QStringLiteral("primary key cns")
                                      : QStringLiteral("unique key cns");
}

// When the object was made, as sys.objects gives it; null when the file
// holds no date for it.
Variant creationOf(SqliteDatabase& database, const QString& name) {
    const auto found = query(database,
                             QStringLiteral("SELECT create_date FROM %1 WHERE name = ?1")
                                 .arg(QLatin1String(tsql::objectDateTable)),
                             {name});
    if (found.empty() || found.front().front().isNull())
        return Variant::null();
    const QByteArray text = found.front().front().toUtf8();
    const std::optional<tsql::PreciseDateTime> date =
        tsql::readStoredDate(text.constData(), static_cast<int>(text.size()));
    return date ? Variant(date->at) : Variant::null();
}

ResultSet objectSet(SqliteDatabase& database, const CatalogObject& object) {
    Rows rows;
    rows.name("Name").name("Owner").column("Type", adtype::VarWChar, 31);
    rows.column("Created_datetime", adtype::DBTimeStamp);
    const tsql::SchemaQualifiedName qualified = tsql::splitStoredName(database.handle(), object.name);
    rows.add({qualified.name, qualified.schema.name, typeDescription(object),
              creationOf(database, object.name)});
    return rows.take();
}

// One column of a table or view as the catalogue declares it.
struct ColumnFacts {
    QString name;
    tsql::DeclaredType type;
    int bytes = 0;
    int precision = 0;
    int scale = 0;
    bool nullable = true;
    bool identity = false;
    bool computed = false;
    QString defaultText; // null when the column has none
    int ordinal = 0;
};

std::vector<ColumnFacts> columnsOf(SqliteDatabase& database, const QString& table) {
    std::vector<ColumnFacts> columns;
    for (const QStringList& row : query(
             database,
             QStringLiteral(
                 "SELECT p.name, p.type, tsql_column_bytes(p.type), tsql_type_precision(p.type), "
                 "tsql_type_scale(p.type), tsql_columnproperty(m.rowid, p.name, 'AllowsNull'), "
                 "tsql_columnproperty(m.rowid, p.name, 'IsIdentity'), p.hidden IN (2, 3), "
                 "p.dflt_value FROM sqlite_schema m JOIN pragma_table_xinfo(m.name) p WHERE "
                 "m.type IN ('table', 'view') AND lower(m.name) = lower(?1) AND p.hidden <> 1 "
                 "ORDER BY p.cid"),
             {table})) {
        ColumnFacts c;
        c.name = row[0];
        c.type = tsql::describeDeclaredType(row[1]);
        c.bytes = row[2].toInt();
        c.precision = row[3].toInt();
        c.scale = row[4].toInt();
        c.nullable = row[5] == QLatin1String("1");
        c.identity = row[6] == QLatin1String("1");
        c.computed = row[7] == QLatin1String("1");
        c.defaultText = row[8];
        c.ordinal = static_cast<int>(columns.size()) + 1;
        columns.push_back(c);
    }
    return columns;
}

bool isNumber(const tsql::DeclaredType& type) {
    static const QStringList numbers{"bigint", "int",   "smallint", "tinyint",    "bit",
                                     "decimal", "numeric", "money", "smallmoney", "float",
                                     "real"};
    return numbers.contains(type.typeName);
}

bool isCharacter(const tsql::DeclaredType& type) {
    static const QStringList texts{"char", "varchar", "nchar", "nvarchar", "text", "ntext"};
    return texts.contains(type.typeName);
}

QString yesNo(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

// Prec and Scale are char(5): a number's digits, blanks for other types.
QString fiveCharacters(const ColumnFacts& c, int value) {
    return (isNumber(c.type) ? QString::number(value) : QString()).leftJustified(5, QLatin1Char(' '));
}

ResultSet columnSet(const std::vector<ColumnFacts>& columns, const QString& collation) {
    Rows rows;
    rows.name("Column_name").name("Type").column("Computed", adtype::VarChar, 35);
    rows.column("Length", adtype::Integer).column("Prec", adtype::Char, 5);
    rows.column("Scale", adtype::Char, 5).column("Nullable", adtype::VarChar, 35);
    rows.column("TrimTrailingBlanks", adtype::VarChar, 35);
    rows.column("FixedLenNullInSource", adtype::VarChar, 35).name("Collation");
    for (const ColumnFacts& c : columns) {
        const bool text = isCharacter(c.type);
        const bool fixed = c.type.typeName == QLatin1String("char") ||
                           c.type.typeName == QLatin1String("nchar") ||
                           c.type.typeName == QLatin1String("binary");
        const QString notApplicable = QStringLiteral("(n/a)");
        rows.add({c.name, c.type.typeName, yesNo(c.computed), c.bytes,
                  fiveCharacters(c, c.precision), fiveCharacters(c, c.scale), yesNo(c.nullable),
                  text || fixed ? yesNo(false) : notApplicable,
                  text || fixed ? yesNo(fixed && c.nullable) : notApplicable,
                  text ? Variant(collation) : Variant::null()});
    }
    return rows.take();
}

ResultSet identitySet(SqliteDatabase& database, const QString& table,
                      const std::vector<ColumnFacts>& columns) {
    Rows rows;
    rows.name("Identity").column("Seed", adtype::Numeric, 0, 38);
    rows.column("Increment", adtype::Numeric, 0, 38).column("Not For Replication", adtype::Integer);
    for (const ColumnFacts& c : columns) {
        if (!c.identity)
            continue;
        const QStringList facts =
            query(database, QStringLiteral("SELECT tsql_ident_seed(?1), tsql_ident_incr(?1)"),
                  {table})
                .front();
        rows.add({c.name, Decimal::parse(facts[0]).value_or(Decimal(1)),
                  Decimal::parse(facts[1]).value_or(Decimal(1)), 0});
    }
    if (rows.empty())
        rows.add({QStringLiteral("No identity column defined."), Variant::null(), Variant::null(),
                  Variant::null()});
    return rows.take();
}

ResultSet singleText(const char* column, int type, int size, const QString& text) {
    Rows rows;
    rows.column(column, type, size);
    rows.add({text});
    return rows.take();
}

QString listed(const QString& columns) {
    return columns.split(QLatin1Char(','), Qt::SkipEmptyParts).join(QStringLiteral(", "));
}

// The key columns of SQLite's index `index`, "a, b(-)": a descending one
// followed by a minus sign. Empty when there is no such index.
QString indexKeys(SqliteDatabase& database, const QString& index) {
    QStringList keys;
    for (const QStringList& key :
         query(database,
               QStringLiteral("SELECT name, \"desc\" FROM pragma_index_xinfo(?1) WHERE key = 1 "
                              "ORDER BY seqno"),
               {index}))
        keys << key[0] + (key[1] == QLatin1String("1") ? QStringLiteral("(-)") : QString());
    return keys.join(QStringLiteral(", "));
}

// The columns of key `name` of `table` as its index lists them, descending
// ones marked: its own index, or the one SQLite makes for a primary key kept
// in the table; `columns` (the catalogue's list) when it has neither.
QString keyColumns(SqliteDatabase& database, const QString& table, const QString& name,
                   const QString& columns) {
    QString keys = indexKeys(database, table + QLatin1Char('.') + name);
    if (keys.isEmpty())
        for (const QStringList& index :
             query(database,
                   QStringLiteral("SELECT name FROM pragma_index_list(?1) WHERE origin = 'pk'"),
                   {table}))
            keys = indexKeys(database, index[0]);
    return keys.isEmpty() ? listed(columns) : keys;
}

// A table's indexes: SQLite's, named "table.index", and the key SQLite keeps in the table.
void addIndexes(SqliteDatabase& database, const QString& table, std::vector<HelpOutput>& out) {
    Rows rows;
    rows.column("index_name", adtype::VarWChar, 128).column("index_description", adtype::VarChar, 210);
    rows.column("index_keys", adtype::VarWChar, 2078);
    const QString constraints = QLatin1String(tsql::constraintTable);
    const bool hasConstraints = database.hasTable(constraints);
    // A primary key SQLite keeps in the table itself has no index of its own.
    if (hasConstraints)
        for (const QStringList& key : query(
                 database,
                 QStringLiteral("SELECT name, columns FROM %1 WHERE kind = 'PK' AND "
                                "lower(table_name) = lower(?1) AND NOT EXISTS (SELECT 1 FROM "
                                "sqlite_schema WHERE type = 'index' AND lower(name) = "
                                "lower(?1 || '.' || %1.name))")
                     .arg(constraints),
                 {table}))
            rows.add({key[0],
                      QStringLiteral("clustered, unique, primary key located on PRIMARY"),
                      keyColumns(database, table, key[0], key[1])});
    for (const QStringList& row : query(
             database,
             QStringLiteral("SELECT substr(i.name, length(?1) + 2), i.name FROM sqlite_schema i WHERE "
                            "i.type = 'index' AND lower(i.tbl_name) = lower(?1) AND "
                            "substr(lower(i.name), 1, length(?1) + 1) = lower(?1 || '.') ORDER BY "
                            "i.rowid"),
             {table})) {
        const std::vector<QStringList> keyKinds =
            hasConstraints
                ? query(database,
                        QStringLiteral("SELECT kind FROM %1 WHERE lower(table_name) = lower(?1) "
                                       "AND lower(name) = lower(?2) AND kind IN ('PK', 'UQ')")
                            .arg(constraints),
                        {table, row[0]})
                : std::vector<QStringList>{};
        const QString kind = keyKinds.empty() ? QString() : keyKinds.front().value(0);
        const bool unique =
            !kind.isEmpty() ||
            !query(database, QStringLiteral("SELECT 1 FROM sqlite_schema WHERE name = ?1"),
                   {QStringLiteral("tsql_uq.%1.i").arg(row[1])})
                 .empty();
        QString description = kind == QLatin1String("PK") ? QStringLiteral("clustered")
                                                          : QStringLiteral("nonclustered");
        if (unique)
            description += QStringLiteral(", unique");
        if (kind == QLatin1String("PK"))
            description += QStringLiteral(", primary key");
        else if (kind == QLatin1String("UQ"))
            description += QStringLiteral(", unique key");
        rows.add({row[0], description + QStringLiteral(" located on PRIMARY"),
                  indexKeys(database, row[1])});
    }
    if (rows.empty())
        out.emplace_back(
            QStringLiteral("The object '%1' does not have any indexes, or you do not have "
                           "permissions.")
                .arg(table));
    else
        out.emplace_back(rows.take());
}

QString actionText(const QString& action) {
    return action == QLatin1String("CASCADE")    ? QStringLiteral("Cascade")
           : action == QLatin1String("SET NULL") ? QStringLiteral("Set Null")
           : action == QLatin1String("SET DEFAULT")
               ? QStringLiteral("Set Default")
               : QStringLiteral("No Action");
}


void addConstraints(SqliteDatabase& database, const QString& table, std::vector<HelpOutput>& out) {
    Rows rows;
    rows.column("constraint_type", adtype::VarWChar, 146).name("constraint_name");
    rows.column("delete_action", adtype::VarWChar, 9).column("update_action", adtype::VarWChar, 9);
    rows.column("status_enabled", adtype::VarChar, 8);
    rows.column("status_for_replication", adtype::VarChar, 19);
    rows.column("constraint_keys", adtype::VarWChar, 2078);
    const QString constraints = QLatin1String(tsql::constraintTable);
    const QString database_name = tsql::schema_access::databaseName(database.handle());
    const QString notApplicable = QStringLiteral("(n/a)");
    std::vector<QStringList> referencing;
    if (database.hasTable(constraints)) {
        for (const QStringList& c : query(
                 database,
                 QStringLiteral("SELECT kind, name, columns, ref_table, ref_columns, definition, "
                                "on_delete, on_update, disabled FROM %1 WHERE lower(table_name) = "
                                "lower(?1) ORDER BY kind, name")
                     .arg(constraints),
                 {table})) {
            const QString& kind = c[0];
            const QString enabled =
                c[8] == QLatin1String("1") ? QStringLiteral("Disabled") : QStringLiteral("Enabled");
            if (kind == QLatin1String("C"))
                rows.add({QStringLiteral("CHECK on column %1").arg(listed(c[2])), c[1],
                          notApplicable, notApplicable, enabled, QStringLiteral("Is_For_Replication"),
                          c[5]});
            else if (kind == QLatin1String("D"))
                rows.add({QStringLiteral("DEFAULT on column %1").arg(listed(c[2])), c[1],
                          notApplicable, notApplicable, notApplicable, notApplicable, c[5]});
            else if (kind == QLatin1String("F")) {
                rows.add({QStringLiteral("FOREIGN KEY"), c[1], actionText(c[6]), actionText(c[7]),
                          enabled, QStringLiteral("Is_For_Replication"), listed(c[2])});
                rows.add({QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                          QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                          QStringLiteral("REFERENCES %1.dbo.%2 (%3)")
                              .arg(database_name, c[3], listed(c[4]))});
            } else {
                rows.add({kind == QLatin1String("PK") ? QStringLiteral("PRIMARY KEY (clustered)")
                                                      : QStringLiteral("UNIQUE (non-clustered)"),
                          c[1], notApplicable, notApplicable, notApplicable, notApplicable,
                          keyColumns(database, table, c[1], c[2])});
            }
        }
        referencing = query(database,
                            QStringLiteral("SELECT table_name, name FROM %1 WHERE kind = 'F' AND "
                                           "lower(ref_table) = lower(?1) ORDER BY table_name, name")
                                .arg(constraints),
                            {table});
    }
    if (rows.empty())
        out.emplace_back(QStringLiteral("No constraints are defined on object '%1', or you do not "
                                        "have permissions.")
                             .arg(table));
    else
        out.emplace_back(rows.take());
    if (referencing.empty()) {
        out.emplace_back(QStringLiteral("No foreign keys reference table '%1', or you do not have "
                                        "permissions.")
                             .arg(table));
        return;
    }
    Rows referenced;
    referenced.column("Table is referenced by foreign key", adtype::VarWChar, 516);
    for (const QStringList& r : referencing)
        referenced.add({QStringLiteral("%1.dbo.%2: %3").arg(database_name, r[0], r[1])});
    out.emplace_back(referenced.take());
}

// One parameter as sp_help lists it; a scalar function's return value is the
// one of order 0 and no name, as sys.parameters gives it.
struct ParameterFacts {
    QString name;
    QString type;
    int order = 0;
};

std::vector<ParameterFacts> procedureParameters(SqliteDatabase& database,
                                                const QString& procedure) {
    std::vector<ParameterFacts> parameters;
    for (const QStringList& p :
         query(database,
               QStringLiteral("SELECT name, type, ordinal FROM %1 WHERE lower(procedure_name) = "
                              "lower(?1) ORDER BY ordinal")
                   .arg(QLatin1String(tsql::parameterTable)),
               {procedure}))
        parameters.push_back({p[0], p[1], p[2].toInt()});
    return parameters;
}

std::vector<ParameterFacts> functionParameters(const FunctionDefinition& function) {
    std::vector<ParameterFacts> parameters;
    if (function.kind == FunctionKind::Scalar)
        parameters.push_back({QString(), function.returnType, 0});
    int order = 0;
    for (const ProcedureParameter& p : function.parameters)
        parameters.push_back({p.name, p.type, ++order});
    return parameters;
}

ResultSet parameterSet(SqliteDatabase& database, const std::vector<ParameterFacts>& parameters) {
    Rows rows;
    rows.name("Parameter_name").name("Type").column("Length", adtype::SmallInt);
    rows.column("Prec", adtype::Integer).column("Scale", adtype::Integer);
    rows.column("Param_order", adtype::SmallInt).name("Collation");
    const QString collation = database.collation();
    for (const ParameterFacts& p : parameters) {
        const QStringList sizes =
            query(database,
                  QStringLiteral("SELECT tsql_column_bytes(?1), tsql_type_precision(?1), "
                                 "tsql_type_scale(?1)"),
                  {p.type})
                .front();
        const tsql::DeclaredType type = tsql::describeDeclaredType(p.type);
        rows.add({p.name, type.typeName, sizes[0].toInt(), sizes[1].toInt(), sizes[2].toInt(),
                  p.order, isCharacter(type) ? Variant(collation) : Variant::null()});
    }
    return rows.take();
}

// The ODBC type codes of sp_columns: DATA_TYPE, and SQL_DATA_TYPE with its
// subcode for the date and time types; version 2 has no date or time type of
// its own and gives those as Unicode text.
struct OdbcType {
    int code = 0;
    bool known = true;
    int verbose = 0;
    std::optional<int> subcode;
};

OdbcType odbcType(const QString& type, int version) {
    static const std::vector<std::pair<const char*, int>> codes{
        {"bigint", -5},   {"binary", -2}, {"bit", -7},       {"char", 1},      {"decimal", 3},
        {"float", 6},     {"image", -4},  {"int", 4},        {"money", 3},     {"nchar", -8},
        {"ntext", -10},   {"numeric", 2}, {"nvarchar", -9},  {"real", 7},      {"smallint", 5},
        {"smallmoney", 3}, {"text", -1},  {"tinyint", -6},   {"uniqueidentifier", -11},
        {"varbinary", -3}, {"varchar", 12}, {"sql_variant", -150}, {"xml", -152}};
    for (const auto& [name, code] : codes)
        if (type == QLatin1String(name))
            return {code, true, code, std::nullopt};
    if (type == QLatin1String("datetime") || type == QLatin1String("smalldatetime"))
        return version >= 3 ? OdbcType{93, true, 9, 3} : OdbcType{11, true, 9, 3};
    if (version >= 3 && type == QLatin1String("date"))
        return {91, true, 9, 1};
    if (version >= 3 && type == QLatin1String("datetime2"))
        return {93, true, 9, 3};
    if (type == QLatin1String("date") || type == QLatin1String("time") ||
        type == QLatin1String("datetime2") || type == QLatin1String("datetimeoffset"))
        return {-9, true, -9, std::nullopt};
    return {0, false, 0, std::nullopt};
}

// sp_help without a name: every object of the database, then its user types (none here).
std::vector<HelpOutput> helpAll(SqliteDatabase& database) {
    Rows objects;
    objects.name("Name").name("Owner").column("Object_type", adtype::VarWChar, 31);
    QStringList names;
    for (const QStringList& row :
         query(database, QStringLiteral("SELECT name FROM sqlite_schema WHERE type IN ('table', "
                                        "'view') AND name NOT GLOB 'sqlite_*' AND name NOT GLOB "
                                        "'estaciones_*'")))
        names << row[0];
    for (const char* table : {tsql::procedureTable, tsql::triggerTable, tsql::constraintTable})
        if (database.hasTable(QLatin1String(table)))
            for (const QStringList& row :
                 query(database, QStringLiteral("SELECT name FROM %1").arg(QLatin1String(table))))
                names << row[0];
    std::vector<std::pair<QString, QString>> listedObjects;
    for (const QString& name : names)
        listedObjects.emplace_back(typeDescription(findObject(database, name)), name);
    std::sort(listedObjects.begin(), listedObjects.end());
    for (const auto& [type, name] : listedObjects) {
        const tsql::SchemaQualifiedName qualified = tsql::splitStoredName(database.handle(), name);
        objects.add({qualified.name, qualified.schema.name, type});
    }
    Rows types;
    types.name("User_type").name("Storage_type").column("Length", adtype::SmallInt);
    types.column("Prec", adtype::Integer).column("Scale", adtype::Integer);
    types.column("Nullable", adtype::VarChar, 35).name("Default_name").name("Rule_name");
    types.name("Collation");
    return {objects.take(), types.take()};
}

// A data type's name rather than an object's: sp_help describes types in a form not made here.
bool isTypeName(const QString& name) {
    return odbcType(name.toLower(), 3).known;
}

std::vector<HelpOutput> help(Session& session, const std::vector<CallArgument>& arguments) {
    SqliteDatabase& database = session.current();
    const QString name = objectName(argumentText(arguments, "@objname", 0));
    if (name.isEmpty())
        return helpAll(database);
    const CatalogObject object = findObject(database, name);
    if (object.kind == ObjectKind::None) {
        if (isTypeName(name))
            failWith(native::NotSupported, {QStringLiteral("sp_help de un tipo de datos")});
        missingObject(session, name);
    }
    std::vector<HelpOutput> out{objectSet(database, object)};
    if (object.kind == ObjectKind::Procedure || object.kind == ObjectKind::Function) {
        const std::vector<ParameterFacts> parameters =
            object.kind == ObjectKind::Procedure
                ? procedureParameters(database, object.name)
                : functionParameters(*FunctionCatalog(database).find(object.name));
        if (!parameters.empty())
            out.emplace_back(parameterSet(database, parameters));
        return out;
    }
    if (object.kind != ObjectKind::Table && object.kind != ObjectKind::View)
        return out;
    const std::vector<ColumnFacts> columns = columnsOf(database, object.name);
    out.emplace_back(columnSet(columns, database.collation()));
    out.emplace_back(identitySet(database, object.name, columns));
    out.emplace_back(singleText("RowGuidCol", adtype::VarWChar, 128,
                                QStringLiteral("No rowguidcol column defined.")));
    if (object.kind == ObjectKind::View)
        return out;
    out.emplace_back(singleText("Data_located_on_filegroup", adtype::VarWChar, 128,
                                QStringLiteral("PRIMARY")));
    addIndexes(database, object.name, out);
    addConstraints(database, object.name, out);
    return out;
}

// sp_helpconstraint: the table's name (unless @nomsg is 'nomsg'), then its
// constraints and the foreign keys that reference it, as sp_help lists them.
std::vector<HelpOutput> helpConstraint(Session& session,
                                       const std::vector<CallArgument>& arguments) {
    SqliteDatabase& database = session.current();
    const CatalogObject object = requiredObject(session, arguments, "@objname", {ObjectKind::Table});
    std::vector<HelpOutput> out;
    const bool quiet = argumentText(arguments, "@nomsg", 1).toLower() == QLatin1String("nomsg");
    if (!quiet)
        out.emplace_back(singleText("Object Name", adtype::VarWChar, 776, object.name));
    addConstraints(database, object.name, out);
    return out;
}

// sp_helpindex: a table's or view's indexes, as sp_help lists them.
std::vector<HelpOutput> helpIndex(Session& session, const std::vector<CallArgument>& arguments) {
    const CatalogObject object =
        requiredObject(session, arguments, "@objname", {ObjectKind::Table, ObjectKind::View});
    std::vector<HelpOutput> out;
    addIndexes(session.current(), object.name, out);
    return out;
}

// sp_helptext: the definition in rows of at most 255 characters, a row per line
// (each with its line end).
std::vector<HelpOutput> helpText(Session& session, const std::vector<CallArgument>& arguments) {
    SqliteDatabase& database = session.current();
    const QString name = objectName(argumentText(arguments, "@objname", 0));
    const CatalogObject object = findObject(database, name);
    // The text column of the catalogue table that keeps the object's kind.
    const auto textOf = [&](const char* table, const char* column) {
        return storedText(database,
                          QStringLiteral("SELECT %1 FROM %2 WHERE name = ?1 COLLATE NOCASE")
                              .arg(QLatin1String(column), QLatin1String(table)),
                          object.name)
            .value_or(QString());
    };
    QString definition;
    if (object.kind == ObjectKind::Function)
        definition = textOf(tsql::functionTable, "definition");
    else if (object.kind == ObjectKind::Procedure)
        definition = textOf(tsql::procedureTable, "definicion");
    else if (object.kind == ObjectKind::Trigger)
        definition = textOf(tsql::triggerTable, "definition");
    else if (object.kind == ObjectKind::View) {
        // A view made before its text was kept has none to give.
        const std::optional<QString> text = ViewDefinitions(database).find(object.name);
        if (!text)
            failWith(native::NoTextForObject, {name});
        definition = *text;
    } else if (object.kind == ObjectKind::Constraint &&
               (object.code == QLatin1String("C") || object.code == QLatin1String("D")))
        // A CHECK's or DEFAULT's definition, as sys.check_constraints and
        // sys.default_constraints give it.
        definition = textOf(tsql::constraintTable, "definition");
    else if (object.kind == ObjectKind::None)
        missingObject(session, name);
    else
        failWith(native::NoTextForObject, {name});
    Rows rows;
    rows.column("Text", adtype::VarWChar, 255);
    // A line ends after its line feed, CR LF or LF alone as it was written.
    for (qsizetype start = 0; start < definition.size();) {
        const qsizetype feed = definition.indexOf(QLatin1Char('\n'), start);
        const qsizetype end = feed < 0 ? definition.size() : feed + 1;
        for (qsizetype at = start; at < end; at += 255)
            rows.add({definition.mid(at, std::min<qsizetype>(255, end - at))});
        start = end;
    }
    return {rows.take()};
}

// PRECISION and LENGTH as ODBC gives them: column size and transfer octets.
std::pair<int, int> odbcSizes(const ColumnFacts& c) {
    const QString& t = c.type.typeName;
    if (isCharacter(c.type) || t == QLatin1String("binary") || t == QLatin1String("varbinary")) {
        const int characters = c.type.characterLength.value_or(1) < 0
                                   ? 2147483647
                                   : c.type.characterLength.value_or(1);
        return {characters, c.bytes < 0 ? 2147483647 : c.bytes};
    }
    if (t == QLatin1String("decimal") || t == QLatin1String("numeric") ||
        t == QLatin1String("money") || t == QLatin1String("smallmoney"))
        return {c.precision, c.precision + 2};
    if (t == QLatin1String("datetime"))
        return {23, 16};
    if (t == QLatin1String("smalldatetime"))
        return {16, 16};
    if (t == QLatin1String("uniqueidentifier"))
        return {36, 16};
    if (t == QLatin1String("float"))
        return {15, 8};
    if (t == QLatin1String("real"))
        return {7, 4};
    if (t == QLatin1String("date") || t == QLatin1String("time") ||
        t == QLatin1String("datetime2") || t == QLatin1String("datetimeoffset"))
        return {c.precision, c.precision * 2};
    return {c.precision, c.bytes};
}

std::vector<HelpOutput> columnsHelp(Session& session, const std::vector<CallArgument>& arguments) {
    SqliteDatabase& database = session.current();
    // A schema's tables go by the file's name, "ventas.t".
    const QString pattern = tsql::storedName(argumentText(arguments, "@table_owner", 1),
                                             objectName(argumentText(arguments, "@table_name", 0)));
    const QString columnPattern = argumentText(arguments, "@column_name", 3);
    const QString version = argumentText(arguments, "@ODBCVer", 4);
    const int odbcVersion = version.isEmpty() ? 2 : version.toInt();
    Rows rows;
    rows.name("TABLE_QUALIFIER").name("TABLE_OWNER").name("TABLE_NAME").name("COLUMN_NAME");
    rows.column("DATA_TYPE", adtype::SmallInt).name("TYPE_NAME");
    rows.column("PRECISION", adtype::Integer).column("LENGTH", adtype::Integer);
    rows.column("SCALE", adtype::SmallInt).column("RADIX", adtype::SmallInt);
    rows.column("NULLABLE", adtype::SmallInt).column("REMARKS", adtype::VarChar, 254);
    rows.column("COLUMN_DEF", adtype::VarWChar, 4000).column("SQL_DATA_TYPE", adtype::SmallInt);
    rows.column("SQL_DATETIME_SUB", adtype::SmallInt).column("CHAR_OCTET_LENGTH", adtype::Integer);
    rows.column("ORDINAL_POSITION", adtype::Integer).column("IS_NULLABLE", adtype::VarChar, 254);
    rows.column("SS_DATA_TYPE", adtype::UnsignedTinyInt);
    const QString qualifier = tsql::schema_access::databaseName(database.handle());
    for (const QStringList& table :
         query(database,
               QStringLiteral("SELECT name FROM sqlite_schema WHERE type IN ('table', 'view') AND "
                              "name LIKE ?1 AND name NOT GLOB 'sqlite_*' AND name NOT GLOB "
                              "'estaciones_*' ORDER BY name"),
               {pattern})) {
        const tsql::SchemaQualifiedName owned = tsql::splitStoredName(database.handle(), table[0]);
        for (const ColumnFacts& c : columnsOf(database, table[0])) {
            if (!columnPattern.isEmpty() &&
                query(database, QStringLiteral("SELECT ?1 LIKE ?2"), {c.name, columnPattern})
                        .front()
                        .front() != QLatin1String("1"))
                continue;
            const OdbcType odbc = odbcType(c.type.typeName, odbcVersion);
            const auto [precision, length] = odbcSizes(c);
            const bool exact = isNumber(c.type) && c.type.typeName != QLatin1String("float") &&
                               c.type.typeName != QLatin1String("real");
            const bool scaled = exact || c.type.typeName.contains(QLatin1String("time"));
            rows.add({qualifier, owned.schema.name, owned.name, c.name,
                      odbc.known ? Variant(odbc.code) : Variant::null(),
                      c.identity ? c.type.typeName + QStringLiteral(" identity") : c.type.typeName,
                      precision, length, scaled ? Variant(c.scale) : Variant::null(),
                      isNumber(c.type) ? Variant(10) : Variant::null(), c.nullable ? 1 : 0,
                      Variant::null(), textOrNull(c.defaultText),
                      odbc.known ? Variant(odbc.verbose) : Variant::null(),
                      odbc.subcode ? Variant(*odbc.subcode) : Variant::null(),
                      isCharacter(c.type) ? Variant(c.bytes) : Variant::null(), c.ordinal,
                      c.nullable ? QStringLiteral("YES") : QStringLiteral("NO"),
                      Variant::null()});
        }
    }
    return {rows.take()};
}

// sp_helptrigger: the table's DML triggers, those of one statement kind
// when @triggertype names it, oldest first.
std::vector<HelpOutput> helpTrigger(Session& session, const std::vector<CallArgument>& arguments) {
    SqliteDatabase& database = session.current();
    const CatalogObject object =
        requiredObject(session, arguments, "@tabname", {ObjectKind::Table, ObjectKind::View});
    const QString type = argumentText(arguments, "@triggertype", 1).toUpper();
    static const QStringList types{"INSERT", "UPDATE", "DELETE"};
    if (!type.isEmpty() && !types.contains(type))
        failWith(native::NotSupported, {QStringLiteral("sp_helptrigger @triggertype = '%1'").arg(type)});
    Rows rows;
    rows.name("trigger_name").name("trigger_owner");
    for (const char* column : {"isupdate", "isdelete", "isinsert", "isafter", "isinsteadof"})
        rows.column(column, adtype::Integer);
    rows.name("trigger_schema");
    const QString filter = type.isEmpty() ? QString() : QStringLiteral(" AND on_%1 = 1").arg(type.toLower());
    for (const QStringList& row :
         query(database,
               QStringLiteral("SELECT name, on_update, on_delete, on_insert, instead_of FROM %1 "
                              "WHERE lower(table_name) = lower(?1)%2 ORDER BY rowid")
                   .arg(QLatin1String(tsql::triggerTable), filter),
               {object.name}))
        rows.add({row[0], QStringLiteral("dbo"), row[1].toInt(), row[2].toInt(), row[3].toInt(),
                  row[4].toInt() == 0 ? 1 : 0, row[4].toInt(), QStringLiteral("dbo")});
    return {rows.take()};
}

} // namespace help_procedures
} // namespace

std::optional<std::vector<HelpOutput>> callHelpProcedure(Session& session,
                                                         const QString& procedure,
                                                         const std::vector<CallArgument>& arguments) {
    const QString name = procedure.toLower();
    if (name == QLatin1String("sp_help"))
        return help_procedures::help(session, arguments);
    if (name == QLatin1String("sp_helptext"))
        return help_procedures::helpText(session, arguments);
    if (name == QLatin1String("sp_helpconstraint"))
        return help_procedures::helpConstraint(session, arguments);
    if (name == QLatin1String("sp_helpindex"))
        return help_procedures::helpIndex(session, arguments);
    if (name == QLatin1String("sp_columns"))
        return help_procedures::columnsHelp(session, arguments);
    if (name == QLatin1String("sp_helptrigger"))
        return help_procedures::helpTrigger(session, arguments);
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
