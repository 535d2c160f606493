#include "platform/db/embedded/functions/PrincipalFunctions.h"

#include <QSet>

namespace estaciones::db::tsql {

namespace {

const QString databaseOwner = QStringLiteral("dbo");

SqlValue loginFunction(const Call& c) {
    const QString user = c.settings.userName ? c.settings.userName() : QString();
    return SqlValue::of(user.isEmpty() ? QStringLiteral("sa") : user);
}

SqlValue databaseUserFunction(const Call&) {
    return SqlValue::of(databaseOwner);
}

SqlValue databaseUserIdFunction(const Call& c) {
    // dbo is user 1; USER_ID('name') of another name is none.
    if (c.args.empty() || c.arg(0).toText().compare(databaseOwner, Qt::CaseInsensitive) == 0)
        return SqlValue::of(qint64{1});
    return {};
}

// The role's membership: 1 for the one the session holds, 0 for another
// role of the same kind, NULL for a name that is none of them.
SqlValue membership(const SqlValue& role, QStringView held, const QSet<QString>& roles) {
    if (role.isNull())
        return {};
    const QString name = role.toText().toLower();
    if (name == held)
        return SqlValue::of(qint64{1});
    return roles.contains(name) ? SqlValue::of(qint64{0}) : SqlValue{};
}

SqlValue isMemberFunction(const Call& c) {
    static const QSet<QString> roles = {
        "db_owner",          "db_accessadmin", "db_securityadmin", "db_ddladmin",
        "db_backupoperator", "db_datareader",  "db_datawriter",    "db_denydatareader",
        "db_denydatawriter", "public"};
    // Everyone is in public.
    if (c.arg(0).toText().compare(QLatin1String("public"), Qt::CaseInsensitive) == 0)
        return SqlValue::of(qint64{1});
    return membership(c.arg(0), u"db_owner", roles);
}

SqlValue isServerRoleMemberFunction(const Call& c) {
    static const QSet<QString> roles = {"sysadmin",     "serveradmin", "dbcreator",
                                        "setupadmin",   "bulkadmin",   "securityadmin",
                                        "diskadmin",    "public",      "processadmin"};
    if (c.arg(0).toText().compare(QLatin1String("public"), Qt::CaseInsensitive) == 0)
        return SqlValue::of(qint64{1});
    return membership(c.arg(0), u"sysadmin", roles);
}

const FunctionSpec principalSpecs[] = {
    {"tsql_system_user", 0, loginFunction, false},
    {"tsql_database_user", 0, databaseUserFunction, true},
    {"user_id", 0, databaseUserIdFunction, true},
    {"user_id", 1, databaseUserIdFunction, true},
    {"database_principal_id", 0, databaseUserIdFunction, true},
    {"is_member", 1, isMemberFunction, true},
    {"is_srvrolemember", 1, isServerRoleMemberFunction, false},
};

} // namespace

std::span<const FunctionSpec> principalFunctions() {
    return principalSpecs;
}

} // namespace estaciones::db::tsql
