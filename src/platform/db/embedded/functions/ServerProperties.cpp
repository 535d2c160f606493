#include "platform/db/embedded/functions/ServerProperties.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSysInfo>

namespace estaciones::db::tsql {

namespace {

const QString serverCollation = QStringLiteral("Latin1_General_CI_AS");

SqlValue serverProperty(const Call& c) {
    static const QHash<QString, SqlValue> fixed = {
        {"productversion", SqlValue::of(QStringLiteral("14.0.1000.169"))},
        {"productmajorversion", SqlValue::of(QStringLiteral("14"))},
        {"productminorversion", SqlValue::of(QStringLiteral("0"))},
        {"productlevel", SqlValue::of(QStringLiteral("RTM"))},
        {"edition", SqlValue::of(QStringLiteral("Express Edition (64-bit)"))},
        {"editionid", SqlValue::of(qint64{-1592396055})},
        {"engineedition", SqlValue::of(qint64{4})},
        {"servername", SqlValue::of(QStringLiteral("(local)"))},
        {"collation", SqlValue::of(serverCollation)},
        {"lcid", SqlValue::of(qint64{1033})},
        {"isintegratedsecurityonly", SqlValue::of(qint64{0})},
        {"issingleuser", SqlValue::of(qint64{0})},
        {"isclustered", SqlValue::of(qint64{0})},
        {"isfulltextinstalled", SqlValue::of(qint64{0})},
        {"ishadrenabled", SqlValue::of(qint64{0})},
        {"isxtpsupported", SqlValue::of(qint64{0})},
        {"ispolybaseinstalled", SqlValue::of(qint64{0})},
    };
    if (c.arg(0).isNull())
        return {};
    const QString name = c.arg(0).toText().trimmed().toLower();
    if (const auto it = fixed.constFind(name); it != fixed.constEnd())
        return *it;
    if (name == QLatin1String("machinename") ||
        name == QLatin1String("computernamephysicalnetbios"))
        return SqlValue::of(QSysInfo::machineHostName());
    if (name == QLatin1String("processid"))
        return SqlValue::of(QCoreApplication::applicationPid());
    return {}; // InstanceName among them: the default instance has none
}

bool isListed(const QString& databases, const QString& name) {
    for (const auto& listed : QJsonDocument::fromJson(databases.toUtf8()).array())
        if (listed.toString().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

SqlValue databaseProperty(const Call& c) {
    static const QHash<QString, SqlValue> fixed = {
        {"status", SqlValue::of(QStringLiteral("ONLINE"))},
        {"updateability", SqlValue::of(QStringLiteral("READ_WRITE"))},
        {"useraccess", SqlValue::of(QStringLiteral("MULTI_USER"))},
        {"recovery", SqlValue::of(QStringLiteral("SIMPLE"))},
        {"version", SqlValue::of(qint64{869})},
        {"isautoclose", SqlValue::of(qint64{0})},
        {"isautoshrink", SqlValue::of(qint64{0})},
        {"isautocreatestatistics", SqlValue::of(qint64{1})},
        {"isautoupdatestatistics", SqlValue::of(qint64{1})},
        {"isinstandby", SqlValue::of(qint64{0})},
        {"isfulltextenabled", SqlValue::of(qint64{0})},
    };
    if (c.arg(2).isNull() || c.arg(3).isNull())
        return {};
    const QString database = c.arg(2).toText().trimmed();
    if (!isListed(c.arg(0).toText(), database))
        return {};
    const QString name = c.arg(3).toText().trimmed().toLower();
    if (name == QLatin1String("collation")) {
        // The current database's own; another keeps the one it was made with,
        // which this connection does not read.
        if (database.compare(c.arg(1).toText(), Qt::CaseInsensitive) != 0)
            return {};
        return SqlValue::of(databaseCollation(c.settings));
    }
    if (const auto it = fixed.constFind(name); it != fixed.constEnd())
        return *it;
    return {};
}

} // namespace

QString databaseCollation(const DialectSettings& settings) {
    return settings.collation.isEmpty() ? serverCollation : settings.collation;
}

namespace {

const FunctionSpec serverPropertySpecs[] = {
    {"serverproperty", 1, serverProperty, false},
    {"tsql_databasepropertyex", 4, databaseProperty, false},
};

} // namespace

std::span<const FunctionSpec> serverPropertyFunctions() {
    return serverPropertySpecs;
}

} // namespace estaciones::db::tsql
