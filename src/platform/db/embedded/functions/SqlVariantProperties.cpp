#include "platform/db/embedded/functions/SqlVariantProperties.h"

#include "platform/db/embedded/functions/CatalogFunctions.h"
#include "platform/db/embedded/functions/ServerProperties.h"
#include "platform/db/embedded/storage/TypeNames.h"

namespace estaciones::db::tsql {

namespace {

bool isTextTypeName(const QString& name) {
    static const QStringList texts{"char", "varchar", "nchar", "nvarchar", "text", "ntext", "sysname"};
    return texts.contains(name);
}

SqlValue propertyOf(const Call& c) {
    const QString property = c.arg(1).toText().trimmed().toLower();
    const QString declaration = c.args.size() > 2 ? c.arg(2).toText() : QString();
    const DeclaredType type = describeDeclaredType(withoutStoredAffinity(declaration));
    if (type.typeName.isEmpty() || type.typeName == QLatin1String("sql_variant"))
        failNotSupported(QStringLiteral("SQL_VARIANT_PROPERTY of a value whose base type is not "
                                        "known"));
    if (property == QLatin1String("totalbytes"))
        failNotSupported(QStringLiteral("SQL_VARIANT_PROPERTY TotalBytes"));
    if (c.arg(0).isNull())
        return {};
    if (property == QLatin1String("basetype"))
        return SqlValue::of(type.typeName);
    if (property == QLatin1String("precision"))
        return SqlValue::of(qint64{declaredPrecision(declaration)});
    if (property == QLatin1String("scale"))
        return SqlValue::of(qint64{declaredScale(declaration)});
    if (property == QLatin1String("maxlength"))
        return SqlValue::of(qint64{declaredBytes(declaration)});
    if (property == QLatin1String("collation"))
        return isTextTypeName(type.typeName) ? SqlValue::of(databaseCollation(c.settings))
                                             : SqlValue{};
    return {};
}

const FunctionSpec sqlVariantPropertySpecs[] = {
    {"tsql_sql_variant_property", 2, propertyOf, true},
    {"tsql_sql_variant_property", 3, propertyOf, true},
};

} // namespace

std::span<const FunctionSpec> sqlVariantPropertyFunctions() {
    return sqlVariantPropertySpecs;
}

} // namespace estaciones::db::tsql
