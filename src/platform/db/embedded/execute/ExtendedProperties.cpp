#include "platform/db/embedded/execute/ExtendedProperties.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

// Where a property belongs: its class and the names of its levels.
struct PropertyPlace {
    int propertyClass = 0;
    QString schema, object, minorType, minorName;
    QString shown() const {
        QStringList parts;
        for (const QString& part : {schema, object, minorName})
            if (!part.isEmpty())
                parts << part;
        return parts.isEmpty() ? QStringLiteral("database") : parts.join(QLatin1Char('.'));
    }
};

QString text(const std::vector<CallArgument>& arguments, const char* name, int position) {
    return argumentText(arguments, name, position).trimmed();
}

[[noreturn]] void failInvalidObject(const PropertyPlace& place) {
    failWithText(15135, QStringLiteral("Object is invalid. Extended properties are not permitted "
                                       "on '%1', or the object does not exist.")
                            .arg(place.shown()));
}

bool hasColumn(SqliteDatabase& database, const QString& table, const QString& column) {
    PreparedStatement query(database.handle(),
                            QStringLiteral("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2 "
                                           "COLLATE NOCASE"));
    query.bindText(1, table);
    query.bindText(2, column);
    return query.step() == SQLITE_ROW;
}

// The place the level arguments name, which must exist. Levels after the
// first named `position` in the call's order (@name, @value, then types and
// names of levels 0 to 2).
PropertyPlace placeOf(SqliteDatabase& database, const std::vector<CallArgument>& arguments,
                      int first) {
    static const char* types[] = {"@level0type", "@level1type", "@level2type"};
    static const char* names[] = {"@level0name", "@level1name", "@level2name"};
    QString type[3], name[3];
    for (int level = 0; level < 3; ++level) {
        type[level] = text(arguments, types[level], first + level * 2).toUpper();
        name[level] = text(arguments, names[level], first + level * 2 + 1);
    }
    PropertyPlace place;
    if (type[0].isEmpty())
        return place; // the database's own
    place.schema = name[0];
    place.propertyClass = 3;
    if (type[0] != QLatin1String("SCHEMA") || name[0].compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0)
        failInvalidObject(place);
    if (type[1].isEmpty())
        return place;
    place.propertyClass = 1;
    place.object = name[1];
    static const QStringList objects = {"TABLE", "VIEW", "PROCEDURE", "FUNCTION"};
    if (!objects.contains(type[1]) || !isObjectName(database, place.object))
        failInvalidObject(place);
    if (type[2].isEmpty())
        return place;
    place.minorType = type[2];
    place.minorName = name[2];
    static const QStringList minors = {"COLUMN", "INDEX", "CONSTRAINT", "TRIGGER", "PARAMETER"};
    if (!minors.contains(type[2]) ||
        (type[2] == QLatin1String("COLUMN") && !hasColumn(database, place.object, place.minorName)))
        failInvalidObject(place);
    return place;
}

void bindPlace(PreparedStatement& statement, const PropertyPlace& place, const QString& name) {
    statement.bindInt(1, place.propertyClass);
    statement.bindText(2, place.schema);
    statement.bindText(3, place.object);
    statement.bindText(4, place.minorType);
    statement.bindText(5, place.minorName);
    statement.bindText(6, name);
}

const QString placeCondition = QStringLiteral(
    "class = ?1 AND schema_name = ?2 AND object_name = ?3 AND minor_type = ?4 AND minor_name = ?5 "
    "AND name = ?6");

bool exists(SqliteDatabase& database, const PropertyPlace& place, const QString& name) {
    PreparedStatement query(database.handle(),
                            QStringLiteral("SELECT 1 FROM %1 WHERE %2")
                                .arg(QLatin1String(tsql::propertyTable), placeCondition));
    bindPlace(query, place, name);
    return query.step() == SQLITE_ROW;
}

void write(SqliteDatabase& database, const QString& sql, const PropertyPlace& place,
           const QString& name, const Variant* value) {
    PreparedStatement statement(database.handle(), sql);
    bindPlace(statement, place, name);
    if (value)
        bindValue(statement.handle(), 7, *value);
    if (statement.step() != SQLITE_DONE)
        throw ProviderFailure({sqlServerError(native::NotSupported,
                                              {QStringLiteral("extended properties in this file")})});
}

Variant valueOf(const std::vector<CallArgument>& arguments) {
    for (const CallArgument& argument : arguments)
        if (argument.name.compare(QLatin1String("@value"), Qt::CaseInsensitive) == 0)
            return argument.value;
    return arguments.size() > 1 && arguments[1].name.isEmpty() ? arguments[1].value : Variant();
}

} // namespace

bool callExtendedPropertyProcedure(Session& session, const QString& procedure,
                                   const std::vector<CallArgument>& arguments) {
    const QString name = procedure.toLower();
    const bool add = name == QLatin1String("sp_addextendedproperty");
    const bool update = name == QLatin1String("sp_updateextendedproperty");
    const bool drop = name == QLatin1String("sp_dropextendedproperty");
    if (!add && !update && !drop)
        return false;
    SqliteDatabase& database = session.current();
    // The properties of an object dropped since go with it, as the server's do.
    database.run(QStringLiteral("DELETE FROM %1 WHERE class = 1 AND (tsql_object_id(object_name) "
                                "IS NULL OR (minor_type = 'COLUMN' AND NOT EXISTS (SELECT 1 FROM "
                                "pragma_table_info(object_name) AS c WHERE c.name = minor_name "
                                "COLLATE NOCASE)))")
                     .arg(QLatin1String(tsql::propertyTable)));
    const QString property = text(arguments, "@name", 0);
    if (property.isEmpty())
        failWithText(15600, QStringLiteral("An invalid parameter or option was specified for "
                                           "procedure '%1'.")
                                .arg(procedure));
    // sp_dropextendedproperty has no @value: its levels come right after @name.
    const PropertyPlace place = placeOf(database, arguments, drop ? 1 : 2);
    const bool present = exists(database, place, property);
    if (add && present)
        failWithText(15233, QStringLiteral("Property cannot be added. Property '%1' already "
                                           "exists for '%2'.")
                                .arg(property, place.shown()));
    if (!add && !present)
        failWithText(15217, QStringLiteral("Property cannot be updated or deleted. Property '%1' "
                                           "does not exist for '%2'.")
                                .arg(property, place.shown()));
    const QString table = QLatin1String(tsql::propertyTable);
    const Variant value = valueOf(arguments);
    if (add)
        write(database,
              QStringLiteral("INSERT INTO %1 (class, schema_name, object_name, minor_type, "
                             "minor_name, name, value) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
                  .arg(table),
              place, property, &value);
    else if (update)
        write(database, QStringLiteral("UPDATE %1 SET value = ?7 WHERE %2").arg(table, placeCondition),
              place, property, &value);
    else
        write(database, QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, placeCondition), place,
              property, nullptr);
    return true;
}

} // namespace estaciones::db::sqlite
