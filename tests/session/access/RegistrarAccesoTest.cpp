#include "session/access/RegistrarAcceso.h"
#include "platform/db/EngineFactory.h"
#include "platform/db/ForwardingEngine.h"
#include "platform/db/embedded/EmbeddedEngine.h"
#include "platform/os/System.h"
#include "session/SessionParameters.h"
#include "session/access/FinalizarSesion.h"
#include "session/access/NombresProgramas.h"
#include "session/library/IniFile.h"
#include "session/library/SharedObjects.h"
#include "session/routines/RutinasTestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace estaciones;
using namespace estaciones::session;

namespace {

class Acceso : public test::ConEmpresaAbierta {
protected:
    void SetUp() override {
        ConEmpresaAbierta::SetUp();
        data::sharedDb().gUsuario = QStringLiteral("ADMIN");
        data::sharedDb().gDBName = empresa.nombre();
        gIdControlAcceso = 0;
        ejecutar("INSERT INTO TA_MENU (Clave, Proceso, Nombre) VALUES "
                 "('M1', 'C:\\SUITE\\VENTAS.EXE', 'Facturación'), "
                 "('M2', 'LIQUIDACION', 'Liquidaciones'), "
                 "('M3', 'O''HIGGINS', 'Sucursal')");
        ejecutar("INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES ('ADMIN', 'M1'), "
                 "('ADMIN', 'M2'), ('OTRO', 'M3')");
    }
    void TearDown() override {
        reiniciarParametrosSesion();
        gIdControlAcceso = 0;
        ConEmpresaAbierta::TearDown();
    }

    // "Formulario|Tarea" of every row, oldest first.
    QStringList filas() {
        return columna("SELECT Formulario + '|' + Tarea FROM Control_Acceso ORDER BY Id");
    }
};

TEST_F(Acceso, aTaskOfTheUserNamesTheRowAndTheRowsIdIsKept) {
    const QString antes = momentoRegistro();
    RegistrarAcceso(QStringLiteral("Ventas"));
    const QString despues = momentoRegistro();
    EXPECT_EQ(filas(), QStringList{"VENTAS|FACTURACIÓN"});
    EXPECT_EQ(columna("SELECT Maquina FROM Control_Acceso"),
              QStringList{library::systemInfo().machineName().trimmed().toUpper()});
    EXPECT_EQ(columna("SELECT Usuario + '|' + NombreUsuario FROM Control_Acceso"),
              QStringList{"ADMIN|ADMIN"});
    EXPECT_EQ(columna("SELECT EGRESO FROM Control_Acceso"), QStringList{"<null>"});
    const QString ingreso = columna("SELECT Ingreso FROM Control_Acceso").value(0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\d\d/\d\d/\d\d \d\d:\d\d$)"))
                    .match(ingreso)
                    .hasMatch())
        << ingreso.toStdString();
    EXPECT_TRUE(ingreso == antes || ingreso == despues) << "dd/mm/yy hh:mm of now";
    EXPECT_EQ(QString::number(gIdControlAcceso), columna("SELECT Id FROM Control_Acceso")[0]);
    EXPECT_EQ(gUsuarioLogeado, "ADMIN");
}

TEST_F(Acceso, programNamesFollowTheAliasAndListRules) {
    // A variant of the sales program, in any case, is the sales program.
    RegistrarAcceso(QStringLiteral("VentasC"));
    // A program of the no-lookup list gets no task though the user has one.
    RegistrarAcceso(QStringLiteral("liquidacion"));
    // The silent program writes nothing at all.
    RegistrarAcceso(QStringLiteral("Respaldo"));
    // The rules can be configured by the installation.
    ReglasNombresProgramas& reglas = reglasNombresProgramas();
    const ReglasNombresProgramas previas = reglas;
    reglas.alias.push_back({QStringList{"CALEND2"}, QStringLiteral("VENTAS")});
    RegistrarAcceso(QStringLiteral("calend2"));
    reglas = previas;
    EXPECT_EQ(filas(), (QStringList{"VENTAS|FACTURACIÓN", "LIQUIDACION|", "VENTAS|FACTURACIÓN"}));
}

TEST(NombresProgramas, theIniFileReplacesTheNoLookupListAndTheSilentProgram) {
    QTemporaryDir carpeta;
    QFile ini(QDir(carpeta.path()).filePath(QStringLiteral("CN000pr.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Programas]\r\nSinBusquedaDeTarea = Balance; Cierre ,Arqueo\r\n"
              "SinRegistroDeAcceso=Copias\r\n");
    ini.close();
    const ReglasNombresProgramas reglas =
        reglasNombresProgramasDesdeIni(library::IniFile(carpeta.path()));
    EXPECT_EQ(reglas.sinBusquedaDeTarea, (QStringList{"Balance", "Cierre", "Arqueo"}));
    EXPECT_EQ(reglas.silencioso, QStringLiteral("Copias"));
    // Aliases are not read from the file: the suite's own stay.
    EXPECT_EQ(nombreRegistrado(reglas, QStringLiteral("ventasb")), QStringLiteral("VENTAS"));

    const ReglasNombresProgramas sinArchivo =
        reglasNombresProgramasDesdeIni(library::IniFile(carpeta.path() + QStringLiteral("/no")));
    EXPECT_EQ(sinArchivo.silencioso, QStringLiteral("RESPALDO"));
}

TEST_F(Acceso, withoutATaskTheProgramIsNamedOnlyForTheDatabaseOwner) {
    RegistrarAcceso(QStringLiteral("PRECIOS"));
    data::sharedDb().gUsuario = empresa.nombre(); // connected as the database's own user
    RegistrarAcceso(QStringLiteral("PRECIOS"));
    data::sharedDb().gUsuario = QStringLiteral("supervisor tessera mc");
    RegistrarAcceso(QStringLiteral("PRECIOS"));
    const QString programa = os::executableName().toUpper();
    EXPECT_EQ(filas(), (QStringList{"PRECIOS|", "PRECIOS|" + programa, "PRECIOS|" + programa}));
}

TEST_F(Acceso, theTaskLookupFindsNamesWithApostrophesWhichTheRowDrops) {
    // The user is compared with one blank after it; trailing blanks do not count.
    data::sharedDb().gUsuario = QStringLiteral("OTRO");
    RegistrarAcceso(QStringLiteral("HIGGINS"));
    RegistrarAcceso(QStringLiteral("O'Higgins"));
    EXPECT_EQ(filas(), (QStringList{"HIGGINS|SUCURSAL", "OHIGGINS|SUCURSAL"}));
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Acceso, egresoClosesOnlyTheOwnRowAndNothingWithoutOne) {
    ejecutar("INSERT INTO Control_Acceso (Maquina, Usuario, Formulario, Ingreso) "
             "VALUES ('OTRA', 'X', 'VENTAS', '01/01/26 08:00')");
    RegistrarEgreso(); // no row of ours yet
    EXPECT_EQ(columna("SELECT EGRESO FROM Control_Acceso"), QStringList{"<null>"});

    RegistrarAcceso(QString());
    const std::int32_t propio = gIdControlAcceso;
    ASSERT_NE(propio, 0);
    EXPECT_EQ(
        columna("SELECT Formulario FROM Control_Acceso WHERE Id = " + QString::number(propio)),
        QStringList{os::executableName().toUpper()})
        << "the row just written, not the older one a TOP 1 read returns";
    const QString antes = momentoRegistro();
    FinalizarSesion();
    const QString despues = momentoRegistro();
    ASSERT_TRUE(data::sharedDb().gCnn.state() == db::adStateClosed) << "released";

    data::DB_Dll& db = data::sharedDb();
    db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
    const QStringList egresos = columna("SELECT EGRESO FROM Control_Acceso ORDER BY Id");
    ASSERT_EQ(egresos.size(), 2);
    EXPECT_EQ(egresos[0], "<null>");
    EXPECT_TRUE(egresos[1] == antes || egresos[1] == despues) << egresos[1].toStdString();
}

// SQL Server runs a table's trigger inside the INSERT; one that writes an
// audit row with an identity of its own leaves @@IDENTITY on that row. This
// engine plays the server's part: after a batch that inserts into
// Control_Acceso it writes the audit row, in the same session.
class ServidorConAuditoria : public db::ForwardingEngine {
public:
    explicit ServidorConAuditoria(const bool& auditar)
        : ForwardingEngine(db::sqlite::createEmbeddedEngine()), m_auditar(auditar) {}

    db::ExecutionResult execute(const QString& texto, const std::vector<Variant>& parametros,
                                int espera) override {
        db::ExecutionResult resultado = ForwardingEngine::execute(texto, parametros, espera);
        if (m_auditar &&
            texto.contains(QLatin1String("INSERT INTO Control_Acceso"), Qt::CaseInsensitive)) {
            ForwardingEngine::execute(
                QStringLiteral("INSERT INTO AUDITORIA (Nota) VALUES ('alta')"), {}, espera);
        }
        return resultado;
    }

private:
    const bool& m_auditar;
};

class AccesoConAuditoria : public Acceso {
protected:
    AccesoConAuditoria() {
        db::setEngineFactoryForTesting(
            [this](const QString&) { return std::make_unique<ServidorConAuditoria>(auditar); });
    }
    ~AccesoConAuditoria() override { db::setEngineFactoryForTesting({}); }

    bool auditar = false;
};

TEST_F(AccesoConAuditoria, anAuditTriggerDoesNotMakeTheSessionCloseAnotherStationsRow) {
    for (const char* maquina : {"CAJA1", "CAJA2", "CAJA3"}) {
        ejecutar(
            QStringLiteral("INSERT INTO Control_Acceso (Maquina, Usuario, Formulario, Ingreso) "
                           "VALUES ('%1', 'X', 'VENTAS', '01/01/26 08:00')")
                .arg(QLatin1String(maquina)));
    }
    ejecutar(
        "CREATE TABLE AUDITORIA (Id int IDENTITY(1,1) NOT NULL PRIMARY KEY, Nota varchar(10))");
    ejecutar("INSERT INTO AUDITORIA (Nota) VALUES ('previa')");
    auditar = true;

    RegistrarAcceso(QStringLiteral("PRECIOS"));
    const QStringList propia =
        columna("SELECT Id FROM Control_Acceso WHERE Formulario = 'PRECIOS'");
    ASSERT_EQ(propia.size(), 1);
    EXPECT_EQ(QString::number(gIdControlAcceso), propia[0]);

    RegistrarEgreso();
    EXPECT_EQ(columna("SELECT Maquina FROM Control_Acceso WHERE EGRESO IS NOT NULL"),
              QStringList{library::systemInfo().machineName().trimmed().toUpper()});
}

TEST_F(Acceso, aFailedInsertionIsShownAndLeavesNoRowToClose) {
    ejecutar("DROP TABLE Control_Acceso");
    ejecutar("CREATE TABLE Control_Acceso (Id int IDENTITY(1,1) PRIMARY KEY, Maquina varchar(100), "
             "Usuario varchar(50), Formulario varchar(3), Tarea varchar(100), Ingreso varchar(20), "
             "NombreUsuario varchar(50), EGRESO varchar(20))");
    ejecutar("INSERT INTO Control_Acceso (Formulario) VALUES ('X')");
    operador.answerMessage(ui::reply::OK);
    RegistrarAcceso(QStringLiteral("PROGRAMA_LARGO"));
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al Operador!");
    EXPECT_EQ(gIdControlAcceso, 0) << "the old row must not pass for ours";
    EXPECT_EQ(columna("SELECT count(*) FROM AUX_ERR"), QStringList{"1"});
}

} // namespace
