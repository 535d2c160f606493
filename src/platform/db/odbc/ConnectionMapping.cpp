#include "platform/db/AdoConstants.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/odbc/OdbcEngine.h"

#include <QStringList>

namespace estaciones::db::odbc {

namespace {
QString env(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name).trimmed();
    return value.isEmpty() ? fallback : value;
}

// ODBC values holding ";", "{" or "}" or outer blanks go in braces.
QString braced(const QString& value) {
    if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
        value.contains(QLatin1Char('}')) || value != value.trimmed()) {
        QString escaped = value;
        escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
        return QLatin1Char('{') + escaped + QLatin1Char('}');
    }
    return value;
}

void add(QStringList& pieces, const QString& keyword, const QString& value) {
    pieces << keyword + QLatin1Char('=') + braced(value);
}

bool startsWithKeyword(const QString& text, const char* keyword) {
    const QString t = text.trimmed();
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    return eq > 0 && t.left(eq).trimmed().compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

// Appends or replaces UID/PWD of an ODBC string given unchanged.
QString withCredentials(const QString& text, const QString& user, const QString& password) {
    if (user.isEmpty() && password.isEmpty()) {
        return text;
    }
    const ConnectionString cs(text);
    QStringList pieces;
    for (const auto& [keyword, value] : cs.pairs()) {
        const QString k = keyword.simplified().toLower();
        if ((!user.isEmpty() && (k == QLatin1String("uid") || k == QLatin1String("user id") ||
                                 k == QLatin1String("user"))) ||
            (!password.isEmpty() &&
             (k == QLatin1String("pwd") || k == QLatin1String("password")))) {
            continue;
        }
        add(pieces, keyword, value);
    }
    if (!user.isEmpty()) {
        add(pieces, QStringLiteral("UID"), user);
    }
    if (!password.isEmpty()) {
        add(pieces, QStringLiteral("PWD"), password);
    }
    return pieces.join(QLatin1Char(';'));
}

[[noreturn]] void providerNotFound() {
    throw Error(adoerr::ProviderNotFound,
                QStringLiteral("Provider cannot be found. It may not be properly installed."),
                QStringLiteral("ADODB.Connection"));
}
} // namespace

OdbcSettings OdbcSettings::fromEnvironment() {
    OdbcSettings s;
    s.freeTdsDriver = env("ESTACIONES_FREETDS_DRIVER", s.freeTdsDriver);
    s.freeTdsPort = env("ESTACIONES_FREETDS_PORT", s.freeTdsPort);
    s.tdsVersion = env("ESTACIONES_TDS_VERSION", s.tdsVersion);
    s.oracleDriver = env("ESTACIONES_ORACLE_DRIVER", s.oracleDriver);
    s.mdbDriver = env("ESTACIONES_MDB_DRIVER", s.mdbDriver);
    return s;
}

MappedConnection mapConnectionString(const QString& adoString, const QString& user,
                                     const QString& password, const OdbcSettings& settings) {
    MappedConnection mapped;
    if (startsWithKeyword(adoString, "DSN") || startsWithKeyword(adoString, "Driver") ||
        startsWithKeyword(adoString, "FileDSN")) {
        mapped.odbcString = withCredentials(adoString, user, password);
        const ConnectionString cs(adoString);
        mapped.database = cs.firstOf({"Database", "DBQ"}).value_or(QString());
        return mapped;
    }
    const ConnectionString cs(adoString);
    const QString provider = cs.value(QStringLiteral("Provider"), QString()).trimmed();
    const QString uid = user.isEmpty()
                            ? cs.firstOf({"UID", "User Id", "User ID", "User"}).value_or(QString())
                            : user;
    const QString pwd =
        password.isEmpty() ? cs.firstOf({"PWD", "Password"}).value_or(QString()) : password;
    QStringList out;

    auto providerIs = [&](const char* name) {
        return provider.compare(QLatin1String(name), Qt::CaseInsensitive) == 0 ||
               provider.startsWith(QLatin1String(name) + QLatin1Char('.'), Qt::CaseInsensitive);
    };

    if (providerIs("SQLOLEDB") || providerIs("SQLNCLI") || providerIs("SQLNCLI10") ||
        providerIs("SQLNCLI11") || providerIs("MSOLEDBSQL")) {
        mapped.backend = Backend::SqlServer;
        QString server = cs.firstOf({"Server", "Data Source", "Address", "Addr", "Network Address"})
                             .value_or(QString())
                             .trimmed();
        QString port = settings.freeTdsPort;
        // "host,port" is SQL Server's way of naming a port.
        const qsizetype comma = server.indexOf(QLatin1Char(','));
        if (comma >= 0) {
            port = server.mid(comma + 1).trimmed();
            server = server.left(comma).trimmed();
        }
        if (server.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
            server = server.mid(4);
        }
        out << QStringLiteral("Driver={") + settings.freeTdsDriver + QLatin1Char('}');
        add(out, QStringLiteral("Server"), server); // host or host\instance (SQL Browser)
        if (!port.isEmpty()) {
            add(out, QStringLiteral("Port"), port);
        }
        if (!settings.tdsVersion.isEmpty()) {
            add(out, QStringLiteral("TDS_Version"), settings.tdsVersion);
        }
        mapped.database = cs.firstOf({"Database", "Initial Catalog"}).value_or(QString());
        if (!mapped.database.isEmpty()) {
            add(out, QStringLiteral("Database"), mapped.database);
        }
        const QString trusted =
            cs.firstOf({"Trusted_Connection", "Integrated Security"}).value_or(QString());
        if (trusted.compare(QLatin1String("SSPI"), Qt::CaseInsensitive) == 0 ||
            trusted.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ||
            trusted.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            add(out, QStringLiteral("Trusted_Connection"), QStringLiteral("Yes"));
        }
        if (!uid.isEmpty()) {
            add(out, QStringLiteral("UID"), uid);
        }
        if (!pwd.isEmpty()) {
            add(out, QStringLiteral("PWD"), pwd);
        }
        if (const auto app = cs.firstOf({"Application Name", "APP"})) {
            add(out, QStringLiteral("APP"), *app);
        }
        if (const auto wsid = cs.firstOf({"Workstation ID", "WSID"})) {
            add(out, QStringLiteral("WSID"), *wsid);
        }
        if (const auto language = cs.firstOf({"Current Language", "Language"})) {
            add(out, QStringLiteral("Language"), *language);
        }
        add(out, QStringLiteral("ClientCharset"), QStringLiteral("UTF-8"));
    } else if (providerIs("OraOLEDB") || providerIs("MSDAORA")) {
        mapped.backend = Backend::Oracle;
        out << QStringLiteral("Driver={") + settings.oracleDriver + QLatin1Char('}');
        mapped.database = cs.firstOf({"Data Source", "DBQ", "Server"}).value_or(QString());
        add(out, QStringLiteral("DBQ"), mapped.database);
        if (!uid.isEmpty()) {
            add(out, QStringLiteral("UID"), uid);
        }
        if (!pwd.isEmpty()) {
            add(out, QStringLiteral("PWD"), pwd);
        }
    } else if (providerIs("Microsoft.Jet") || providerIs("Microsoft.ACE")) {
        mapped.backend = Backend::Jet;
        out << QStringLiteral("Driver={") + settings.mdbDriver + QLatin1Char('}');
        mapped.jetFile = cs.firstOf({"Data Source", "DBQ"}).value_or(QString()).trimmed();
        mapped.database = mapped.jetFile;
        add(out, QStringLiteral("DBQ"), mapped.jetFile);
        // MDBTools reads the file without credentials; a database password
        // ("Jet OLEDB:Database Password") has nothing to go to.
    } else if (provider.isEmpty() || providerIs("MSDASQL")) {
        // ADO's default provider is the ODBC bridge: the rest goes to ODBC.
        QStringList rest;
        for (const auto& [keyword, value] : cs.pairs()) {
            if (keyword.simplified().compare(QLatin1String("Provider"), Qt::CaseInsensitive) != 0) {
                add(rest, keyword, value);
            }
        }
        mapped.odbcString = withCredentials(rest.join(QLatin1Char(';')), user, password);
        mapped.database = cs.firstOf({"Database", "DBQ"}).value_or(QString());
        return mapped;
    } else {
        providerNotFound();
    }
    mapped.odbcString = out.join(QLatin1Char(';')) + QLatin1Char(';');
    return mapped;
}

} // namespace estaciones::db::odbc
