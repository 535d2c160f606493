#include "platform/db/embedded/execute/SystemProcedures.h"

#include "platform/db/embedded/catalog/LoginRegistry.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/SchemaProcedures.h"

#include <QStringList>

#include <optional>

namespace estaciones::db::sqlite {

QString argumentText(const std::vector<CallArgument>& arguments, const char* name, int position) {
    for (const CallArgument& argument : arguments) {
        if (argument.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return argument.value.toString().trimmed();
        }
    }
    int index = 0;
    for (const CallArgument& argument : arguments) {
        if (argument.name.isEmpty() && index++ == position) {
            return argument.value.toString().trimmed();
        }
    }
    return {};
}

namespace {

// Arguments by the procedure's parameter names, named or in order.
class Arguments {
public:
    Arguments(const std::vector<CallArgument>& arguments, QStringList parameterNames)
        : m_arguments(arguments), m_names(std::move(parameterNames)) {}

    QString text(int position) const {
        return argumentText(m_arguments, m_names.value(position).toLatin1().constData(), position);
    }

private:
    const std::vector<CallArgument>& m_arguments;
    QStringList m_names;
};


void addLogin(Session& session, const Arguments& arguments) {
    const QString login = arguments.text(0);
    const QString database = arguments.text(2);
    LoginRegistry registry(session.folder().loginRegistryFile());
    if (registry.contains(login)) {
        failWith(native::LoginExists, {login});
    }
    if (!database.isEmpty() && !isSystemDatabase(database) &&
        !session.folder().hasDatabase(database)) {
        failWith(native::DefaultDatabaseMissing, {database});
    }
    registry.add(login, arguments.text(1), database, arguments.text(3));
}

// sp_settriggerorder for the DML statements; the DDL and logon triggers it
// also orders are not kept here.
void setTriggerOrder(Session& session, const Arguments& arguments) {
    const QString type = arguments.text(2).toUpper();
    const std::optional<DataEvent> event =
        type == QLatin1String("INSERT")   ? std::optional(DataEvent::Insert)
        : type == QLatin1String("UPDATE") ? std::optional(DataEvent::Update)
        : type == QLatin1String("DELETE") ? std::optional(DataEvent::Delete)
                                          : std::nullopt;
    const QString order = arguments.text(1);
    static const QStringList orders{"First", "Last", "None"};
    if (!event || !orders.contains(order, Qt::CaseInsensitive) || !arguments.text(3).isEmpty()) {
        failWith(native::NotSupported,
                 {QStringLiteral("sp_settriggerorder @order = '%1', @stmttype = '%2'").arg(order, type)});
    }
    QString trigger = arguments.text(0);
    trigger.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    TriggerCatalog(session.current()).setOrder(trigger.split(QLatin1Char('.')).last(), order, *event);
}

} // namespace

bool isSystemDatabase(const QString& name) {
    static const QStringList system{"master", "tempdb", "model", "msdb"};
    return system.contains(name, Qt::CaseInsensitive);
}

bool callSystemProcedure(Session& session, const QString& procedure,
                         const std::vector<CallArgument>& arguments) {
    const QString name = procedure.toLower();
    if (callSchemaProcedure(session, procedure, arguments)) {
        return true;
    }
    if (name == QLatin1String("sp_addlogin")) {
        addLogin(session, Arguments(arguments, {"@loginame", "@passwd", "@defdb", "@deflanguage",
                                                "@sid", "@encryptopt"}));
        return true;
    }
    if (name == QLatin1String("sp_settriggerorder")) {
        setTriggerOrder(session, Arguments(arguments, {"@triggername", "@order", "@stmttype", "@namespace"}));
        return true;
    }
    if (name == QLatin1String("sp_defaultdb")) {
        const Arguments named(arguments, {"@loginame", "@defdb"});
        if (!session.folder().hasDatabase(named.text(1)) && !isSystemDatabase(named.text(1))) {
            failWith(native::DefaultDatabaseMissing, {named.text(1)});
        }
        LoginRegistry registry(session.folder().loginRegistryFile());
        if (registry.contains(named.text(0))) {
            registry.setDefaultDatabase(named.text(0), named.text(1));
        }
        return true;
    }
    if (name == QLatin1String("sp_password")) {
        const Arguments named(arguments, {"@old", "@new", "@loginame"});
        const QString login = named.text(2).isEmpty() ? session.user : named.text(2);
        LoginRegistry registry(session.folder().loginRegistryFile());
        if (registry.contains(login)) {
            registry.setPassword(login, named.text(1));
        }
        return true;
    }
    // Roles and database access have no meaning for a local file database,
    // nor statistics for its planner: accepted so that provisioning scripts
    // run through.
    static const QStringList accepted{
        "sp_addsrvrolemember", "sp_grantdbaccess",  "sp_addrolemember", "sp_adduser",
        "sp_droprolemember",   "sp_revokedbaccess", "sp_grantlogin",    "sp_changedbowner",
        "sp_addrole",          "sp_dboption",       "sp_updatestats"};
    return accepted.contains(name);
}

} // namespace estaciones::db::sqlite
