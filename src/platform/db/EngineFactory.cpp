#include "platform/db/EngineFactory.h"

#include "platform/db/AdoConstants.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/odbc/OdbcEngine.h"

#ifdef ESTACIONES_HAVE_EMBEDDED_ENGINE
#include "platform/db/embedded/EmbeddedEngine.h"
#endif

namespace estaciones::db {

namespace {
EngineFactoryFunction& testFactory() {
    static EngineFactoryFunction factory;
    return factory;
}
} // namespace

EngineKind engineKindFor(const QString& connectionString) {
    const ConnectionString cs(connectionString);
    const QString provider = cs.value(QStringLiteral("Provider"), QString()).trimmed();
    const bool sqloledb = provider.compare(QLatin1String("SQLOLEDB"), Qt::CaseInsensitive) == 0 ||
                          provider.startsWith(QLatin1String("SQLOLEDB."), Qt::CaseInsensitive);
    if (sqloledb) {
        const QString server =
            cs.firstOf({"Server", "Data Source", "Address", "Addr", "Network Address"})
                .value_or(QString());
        if (server.trimmed().compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0) {
            return EngineKind::Embedded;
        }
    }
    return EngineKind::Odbc;
}

bool embeddedEngineAvailable() {
#ifdef ESTACIONES_HAVE_EMBEDDED_ENGINE
    return true;
#else
    return false;
#endif
}

std::unique_ptr<Engine> createEngine(const QString& connectionString) {
    if (testFactory()) {
        return testFactory()(connectionString);
    }
    if (engineKindFor(connectionString) == EngineKind::Embedded) {
#ifdef ESTACIONES_HAVE_EMBEDDED_ENGINE
        return sqlite::createEmbeddedEngine();
#else
        throw Error(adoerr::ProviderNotFound,
                    QStringLiteral("Provider cannot be found. It may not be properly installed."),
                    QStringLiteral("ADODB.Connection"));
#endif
    }
    return odbc::createOdbcEngine();
}

void setEngineFactoryForTesting(EngineFactoryFunction factory) {
    testFactory() = std::move(factory);
}

} // namespace estaciones::db
