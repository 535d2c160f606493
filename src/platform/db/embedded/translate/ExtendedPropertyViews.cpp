#include "platform/db/embedded/translate/CatalogViews.h"

#include "platform/db/embedded/functions/SchemaFunctions.h"

#include <QStringList>

namespace estaciones::db::tsql::catalog_views {

namespace {

// The properties whose object (and column) is still there: a dropped one's
// go with it, as the server's do.
const QString livingProperties = QStringLiteral(
    "(SELECT * FROM %1 AS q WHERE q.class <> 1 OR (tsql_object_id(q.object_name) IS NOT NULL AND "
    "(q.minor_type <> 'COLUMN' OR EXISTS (SELECT 1 FROM pragma_table_info(q.object_name) AS c "
    "WHERE c.name = q.minor_name COLLATE NOCASE))))");

} // namespace

// sys.extended_properties: class 0 the database, 1 an object or column
// (major_id the object's id, minor_id the column's, 0 for the object or
// another kind of part), 3 a schema (dbo, schema 1).
QString extendedPropertiesView() {
    return QStringLiteral(
               "SELECT p.class AS class, CASE p.class WHEN 0 THEN 'DATABASE' WHEN 1 THEN "
               "'OBJECT_OR_COLUMN' ELSE 'SCHEMA' END AS class_desc, CASE p.class WHEN 1 THEN "
               "tsql_object_id(p.object_name) WHEN 3 THEN 1 ELSE 0 END AS major_id, CASE WHEN "
               "p.minor_type = 'COLUMN' THEN (SELECT c.cid + 1 FROM pragma_table_info(p.object_name) "
               "AS c WHERE c.name = p.minor_name COLLATE NOCASE) ELSE 0 END AS minor_id, p.name "
               "COLLATE tsql_text AS name, p.value AS value FROM %1 AS p")
        .arg(livingProperties.arg(QLatin1String(propertyTable)));
}

// fn_listextendedproperty(property, level0 type, name, level1 type, name,
// level2 type, name): the properties of the deepest level whose type is
// given, of every object of that level whose name is NULL; all properties
// for a NULL property.
QString listedExtendedProperties(const QStringList& a) {
    const QString level = QStringLiteral("CASE WHEN (%1) IS NOT NULL THEN 2 WHEN (%2) IS NOT NULL "
                                         "THEN 1 WHEN (%3) IS NOT NULL THEN 0 ELSE -1 END")
                              .arg(a[5], a[3], a[1]);
    return QStringLiteral(
               "SELECT CASE l.level WHEN 2 THEN p.minor_type WHEN 1 THEN upper(%2) WHEN 0 THEN "
               "'SCHEMA' END COLLATE tsql_text AS objtype, CASE l.level WHEN 2 THEN p.minor_name "
               "WHEN 1 THEN p.object_name WHEN 0 THEN p.schema_name END COLLATE tsql_text AS "
               "objname, p.name COLLATE tsql_text AS name, p.value AS value FROM %7 AS p, (SELECT "
               "%8 AS level) AS l WHERE ((%1) IS NULL OR p.name = (%1)) AND CASE l.level WHEN 2 "
               "THEN p.class = 1 AND p.object_name = (%3) AND p.minor_type = upper(%4) AND ((%5) "
               "IS NULL OR p.minor_name = (%5)) WHEN 1 THEN p.class = 1 AND p.minor_type = '' "
               "AND ((%3) IS NULL OR p.object_name = (%3)) WHEN 0 THEN p.class = 3 AND ((%6) IS "
               "NULL OR p.schema_name = (%6)) ELSE p.class = 0 END")
        .arg(a[0], a[3], a[4], a[5], a[6], a[2], livingProperties.arg(QLatin1String(propertyTable)),
             level);
}

} // namespace estaciones::db::tsql::catalog_views
