// ADO connection strings to engines and ODBC strings; passwords kept out of
// every error text.

#include "platform/db/AdoConstants.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/EngineFactory.h"
#include "platform/db/odbc/OdbcEngine.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::db;
using estaciones::db::odbc::Backend;
using estaciones::db::odbc::mapConnectionString;
using estaciones::db::odbc::OdbcSettings;

namespace {

struct MappingCase {
    const char* name;
    const char* ado;
    const char* user;
    const char* password;
    const char* odbc;
    Backend backend;
};

OdbcSettings fixedSettings() {
    OdbcSettings s;
    s.freeTdsDriver = QStringLiteral("FreeTDS");
    s.freeTdsPort = QString();
    s.tdsVersion = QStringLiteral("7.4");
    s.oracleDriver = QStringLiteral("Oracle 19 ODBC driver");
    s.mdbDriver = QStringLiteral("MDBTools");
    return s;
}

// What each provider form of the suite becomes (OpenServerADODB builds the
// first two; "Database =" with its blank is how OpenServerADODB writes it).
const MappingCase kCases[] = {
    {"sqloledb_built_by_OpenServerADODB",
     "PROVIDER=SQLOLEDB;Server=SRV01;Database =GESTION;UId=sa;Pwd=clave;", "", "",
     "Driver={FreeTDS};Server=SRV01;TDS_Version=7.4;Database=GESTION;UID=sa;PWD=clave;"
     "ClientCharset=UTF-8;",
     Backend::SqlServer},
    {"sqloledb_named_instance",
     "Provider=SQLOLEDB.1;Data Source=SRV01\\SQLEXPRESS;Initial Catalog=GESTION", "u", "p",
     "Driver={FreeTDS};Server=SRV01\\SQLEXPRESS;TDS_Version=7.4;Database=GESTION;UID=u;PWD=p;"
     "ClientCharset=UTF-8;",
     Backend::SqlServer},
    {"sqloledb_port_after_comma", "provider = sqloledb ; server = 10.0.0.5,1435 ; database = X", "",
     "",
     "Driver={FreeTDS};Server=10.0.0.5;Port=1435;TDS_Version=7.4;Database=X;ClientCharset=UTF-8;",
     Backend::SqlServer},
    {"sqloledb_open_arguments_win", "PROVIDER=SQLOLEDB;Server=S;Database =D;UId=old;Pwd=old;",
     "nuevo", "otra",
     "Driver={FreeTDS};Server=S;TDS_Version=7.4;Database=D;UID=nuevo;PWD=otra;ClientCharset=UTF-8;",
     Backend::SqlServer},
    {"sqloledb_extended_app_name",
     "PROVIDER=SQLOLEDB;Server=S;Database =D;UId=u;Pwd=;Application Name=Estaciones", "", "",
     "Driver={FreeTDS};Server=S;TDS_Version=7.4;Database=D;UID=u;APP=Estaciones;ClientCharset=UTF-"
     "8;",
     Backend::SqlServer},
    {"oracle_built_by_OpenServerADODB",
     "Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=scott;Password=tiger;", "", "",
     "Driver={Oracle 19 ODBC driver};DBQ=ORCL;UID=scott;PWD=tiger;", Backend::Oracle},
    {"jet40_built_by_OpenLocalADODB",
     "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =/datos/caja.mdb;User Id=admin;Password=;", "",
     "", "Driver={MDBTools};DBQ=/datos/caja.mdb;", Backend::Jet},
    {"jet351", "PROVIDER=Microsoft.Jet.OLEDB.3.51;Data Source=/datos/viejo.mdb", "", "",
     "Driver={MDBTools};DBQ=/datos/viejo.mdb;", Backend::Jet},
    {"dsn_unchanged", "DSN=Contabilidad;UID=u;PWD=p", "", "", "DSN=Contabilidad;UID=u;PWD=p",
     Backend::Generic},
    {"driver_unchanged", "Driver=SQLite3;Database=/tmp/x.db", "", "",
     "Driver=SQLite3;Database=/tmp/x.db", Backend::Generic},
    {"driver_with_blank_before_equals", "Driver =SQLite3;Database=/tmp/x.db", "", "",
     "Driver =SQLite3;Database=/tmp/x.db", Backend::Generic},
    {"dsn_open_arguments_win", "DSN=Conta;UID=u;PWD=p", "otro", "nueva",
     "DSN=Conta;UID=otro;PWD=nueva", Backend::Generic},
    {"msdasql_provider_dropped", "Provider=MSDASQL.1;DSN=Conta", "", "", "DSN=Conta",
     Backend::Generic},
};

class ConnectionMappingTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(ConnectionMappingTest, shouldMapTheAdoStringToTheOdbcOne) {
    const MappingCase& c = GetParam();
    const auto mapped = mapConnectionString(QString::fromUtf8(c.ado), QString::fromUtf8(c.user),
                                            QString::fromUtf8(c.password), fixedSettings());
    EXPECT_EQ(mapped.odbcString.toStdString(), std::string(c.odbc));
    EXPECT_EQ(mapped.backend, c.backend);
}

INSTANTIATE_TEST_SUITE_P(Providers, ConnectionMappingTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MappingCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ConnectionMapping, shouldTakeDriverPortAndTdsVersionFromTheEnvironment) {
    qputenv("ESTACIONES_FREETDS_DRIVER", "TDS propio");
    qputenv("ESTACIONES_FREETDS_PORT", "2433");
    qputenv("ESTACIONES_TDS_VERSION", "7.1");
    const OdbcSettings s = OdbcSettings::fromEnvironment();
    qunsetenv("ESTACIONES_FREETDS_DRIVER");
    qunsetenv("ESTACIONES_FREETDS_PORT");
    qunsetenv("ESTACIONES_TDS_VERSION");
    const auto mapped =
        mapConnectionString(QStringLiteral("PROVIDER=SQLOLEDB;Server=S;Database =D;"), {}, {}, s);
    EXPECT_EQ(mapped.odbcString,
              QStringLiteral(
                  "Driver={TDS "
                  "propio};Server=S;Port=2433;TDS_Version=7.1;Database=D;ClientCharset=UTF-8;"));
}

TEST(ConnectionMapping, shouldBraceValuesHoldingSemicolons) {
    const auto mapped = mapConnectionString(
        QStringLiteral("PROVIDER=SQLOLEDB;Server=S;Database =D;UId=u;Pwd={a;b}"), {}, {},
        fixedSettings());
    EXPECT_TRUE(mapped.odbcString.contains(QStringLiteral("PWD={a;b};")))
        << mapped.odbcString.toStdString();
}

TEST(ConnectionMapping, shouldRefuseAnUnknownProvider) {
    try {
        mapConnectionString(QStringLiteral("Provider=Desconocido.1;Data Source=x"), {}, {},
                            fixedSettings());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), adoerr::ProviderNotFound);
    }
}

TEST(EngineFactory, shouldSendLocalSqlServerToTheEmbeddedEngineAndTheRestToOdbc) {
    EXPECT_EQ(engineKindFor(QStringLiteral(
                  "PROVIDER=SQLOLEDB;Server=(local);Database =DEMO;UId=ADMIN;Pwd=;")),
              EngineKind::Embedded);
    EXPECT_EQ(engineKindFor(
                  QStringLiteral("provider=sqloledb.1;data source = (LOCAL) ;initial catalog=X")),
              EngineKind::Embedded);
    EXPECT_EQ(engineKindFor(QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV01;Database =DEMO;")),
              EngineKind::Odbc);
    EXPECT_EQ(engineKindFor(QStringLiteral("Driver=SQLite3;Database=(local)")), EngineKind::Odbc);
    EXPECT_EQ(engineKindFor(QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=(local)")),
              EngineKind::Odbc);
}

// ------------------------------------------------------------ passwords

constexpr const char* kSecret = "Secreto#4711";

void expectNoSecret(const Connection& cnn, const Error& e) {
    EXPECT_FALSE(e.description().contains(QLatin1String(kSecret))) << e.description().toStdString();
    EXPECT_FALSE(QString::fromUtf8(e.what()).contains(QLatin1String(kSecret)));
    if (const auto* failure = dynamic_cast<const ProviderFailure*>(&e)) {
        for (const ProviderError& r : failure->records()) {
            EXPECT_FALSE(r.description.contains(QLatin1String(kSecret)))
                << r.description.toStdString();
        }
    }
    for (const ProviderError& r : cnn.errors()) {
        EXPECT_FALSE(r.description.contains(QLatin1String(kSecret))) << r.description.toStdString();
        EXPECT_FALSE(r.source.contains(QLatin1String(kSecret)));
    }
}

TEST(Passwords, shouldNeverAppearInTheErrorsOfAFailedOpen) {
    QTemporaryDir dir;
    const QString secret = QString::fromLatin1(kSecret);
    const QString strings[] = {
        // A server that refuses at once (nothing listens on port 1).
        QStringLiteral("PROVIDER=SQLOLEDB;Server=127.0.0.1,1;Database =D;UId=sa;Pwd=%1;")
            .arg(secret),
        QStringLiteral("Driver={No existe este driver};UID=u;PWD=%1").arg(secret),
        QStringLiteral("DSN=NoExisteEsteDSN;UID=u;PWD=%1").arg(secret),
        QStringLiteral(
            "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =%1/falta.mdb;User Id=admin;Password=%2;")
            .arg(dir.path(), secret),
        QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=scott;Password=%1;")
            .arg(secret),
    };
    for (const QString& text : strings) {
        SCOPED_TRACE(ConnectionString::masked(text).toStdString());
        Connection cnn;
        cnn.setConnectionTimeout(2);
        try {
            cnn.open(text);
            ADD_FAILURE() << "opened";
        } catch (const Error& e) {
            expectNoSecret(cnn, e);
        }
    }
    // A password given to Open, not in the string.
    Connection cnn;
    try {
        cnn.open(QStringLiteral("DSN=NoExisteEsteDSN"), QStringLiteral("u"), secret);
        ADD_FAILURE() << "opened";
    } catch (const Error& e) {
        expectNoSecret(cnn, e);
    }
}

// ------------------------------------------------------------ Jet states

TEST(JetStates, shouldReportFileNotFoundAndInvalidPathAsJetDoes) {
    QTemporaryDir dir;
    Connection cnn;
    try {
        cnn.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =%1/no.mdb;")
                     .arg(dir.path()));
        FAIL() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.sqlState(), QStringLiteral("3024"));
        EXPECT_EQ(cnn.errors().item(0).sqlState, QStringLiteral("3024"));
    }
    try {
        cnn.open(
            QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =%1/no/hay/carpeta.mdb;")
                .arg(dir.path()));
        FAIL() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.sqlState(), QStringLiteral("3044"));
    }
}

// ------------------------------------------------------------ missing drivers

// Debian has no Oracle driver, and an Access driver may be missing or
// registered under another name: such a connection cannot work, and says so
// before anything else, naming the driver and what to install.
TEST(MissingDrivers, shouldFailAtOnceNamingTheDriverAndWhatToInstall) {
    Connection oracle;
    try {
        oracle.open(QStringLiteral(
            "Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=scott;Password=tiger;"));
        FAIL() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.sqlState(), QStringLiteral("IM002"));
        EXPECT_TRUE(e.description().startsWith(
            QStringLiteral("No está instalado el controlador ODBC \"Oracle\"")))
            << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("Oracle Instant Client")));
        EXPECT_EQ(oracle.errors().item(0).sqlState, QStringLiteral("IM002"));
        EXPECT_EQ(oracle.state(), adStateClosed);
    }

    QTemporaryDir dir;
    const QString archivo = dir.filePath(QStringLiteral("caja.mdb"));
    QFile mdb(archivo);
    ASSERT_TRUE(mdb.open(QIODevice::WriteOnly));
    mdb.close();
    qputenv("ESTACIONES_MDB_DRIVER", "MDBTools que no existe");
    Connection jet;
    try {
        jet.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =%1;").arg(archivo));
        ADD_FAILURE() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.sqlState(), QStringLiteral("IM002")) << "not a file that cannot be opened";
        EXPECT_TRUE(e.description().contains(QStringLiteral("\"MDBTools que no existe\"")));
        EXPECT_TRUE(e.description().contains(QStringLiteral("odbc-mdbtools")));
    }
    qunsetenv("ESTACIONES_MDB_DRIVER");

    Connection generico;
    EXPECT_THROW(generico.open(QStringLiteral("Driver={No existe este driver};Database=x")), Error);
    EXPECT_TRUE(generico.errors().item(0).description.contains(QStringLiteral("odbcinst -q -d")));
}

} // namespace

// ------------------------------------------------------------ diagnostics

#include "platform/db/Recordset.h"
#include "platform/db/odbc/OdbcCall.h"

namespace {

ProviderError record(const char* state, int native, int severity) {
    ProviderError r;
    r.sqlState = QString::fromLatin1(state);
    r.nativeError = native;
    r.severity = severity;
    return r;
}

TEST(OdbcDiagnostics, shouldKeepInformationalMessagesOutOfErrors) {
    using odbc::isInformational;
    // Changed database context / language / character set, PRINT output.
    EXPECT_TRUE(isInformational(record("01000", 5701, 10), Backend::SqlServer));
    EXPECT_TRUE(isInformational(record("01000", 5703, 10), Backend::SqlServer));
    EXPECT_TRUE(isInformational(record("01000", 5704, 10), Backend::Generic));
    EXPECT_TRUE(isInformational(record("01000", 0, 0), Backend::SqlServer));
    EXPECT_TRUE(isInformational(record("01003", 8153, 10), Backend::SqlServer)); // NULL eliminated
    // Real errors and driver warnings elsewhere stay.
    EXPECT_FALSE(isInformational(record("42S02", 208, 16), Backend::SqlServer));
    EXPECT_FALSE(isInformational(record("22001", 8152, 16), Backend::SqlServer));
    EXPECT_FALSE(isInformational(record("01004", 0, 10), Backend::Generic));
}

TEST(OdbcDiagnostics, shouldGiveTheAdoNumbersOfTheParts) {
    using odbc::adoNumberFor;
    EXPECT_EQ(adoNumberFor(QStringLiteral("42S02"), 208, {}, Backend::SqlServer),
              errnum::NoSuchTable);
    EXPECT_EQ(adoNumberFor(QStringLiteral("42000"), 208, {}, Backend::SqlServer),
              errnum::NoSuchTable);
    EXPECT_EQ(adoNumberFor(QStringLiteral("23000"), 2627, {}, Backend::SqlServer),
              errnum::IntegrityViolation);
    EXPECT_EQ(adoNumberFor(QStringLiteral("23000"), 547, {}, Backend::SqlServer),
              errnum::IntegrityViolation);
    EXPECT_EQ(adoNumberFor(QStringLiteral("42000"), 102, {}, Backend::SqlServer),
              errnum::CommandError);
    EXPECT_EQ(adoNumberFor(QStringLiteral("08S01"), 20009, {}, Backend::SqlServer), errnum::E_FAIL);
    EXPECT_EQ(adoNumberFor(QStringLiteral("HYT00"), 0, {}, Backend::SqlServer), errnum::Timeout);
    EXPECT_EQ(adoNumberFor(QStringLiteral("HY000"), 1, QStringLiteral("no such table: x"),
                           Backend::Generic),
              errnum::NoSuchTable);
    EXPECT_EQ(adoNumberFor(QStringLiteral("HY000"), 5, QStringLiteral("database is locked"),
                           Backend::Generic),
              errnum::E_FAIL);
}

TEST(RecordsetVariant, shouldTravelInsideAVariantAsTheSameObject) {
    Recordset rs;
    const Variant v = rs.toVariant();
    ASSERT_TRUE(v.isObject());
    const auto back = Recordset::fromVariant(v);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->sameObjectAs(rs));
    EXPECT_FALSE(Recordset::fromVariant(Variant(5)).has_value());
}

} // namespace
