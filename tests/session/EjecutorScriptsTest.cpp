#include "session/EjecutorScripts.h"
#include "session/LotesScript.h"
#include "data/SharedDb.h"
#include "platform/os/Desktop.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;

namespace {

class Ejecutor : public ::testing::Test {
protected:
    void SetUp() override {
        previo = os::setDesktop(&escritorio);
        data::DB_Dll& db = data::sharedDb();
        db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
        db.gDBName = empresa.nombre();
    }
    void TearDown() override {
        data::releaseSharedDb();
        os::setDesktop(previo);
    }

    QString script(const QString& nombre, const QByteArray& contenido) {
        const QString ruta = temporal.filePath(nombre);
        QFile archivo(ruta);
        archivo.open(QIODevice::WriteOnly);
        archivo.write(contenido);
        return ruta;
    }

    ResultadoScript correr(const QString& ruta, const QString& solo = {}, bool permite = false,
                           ReglasScript reglas = {}) {
        bool permiteDrop = permite;
        return ejecutarScript(ruta, solo, permiteDrop, reglas);
    }

    QVariant valor(const QString& consulta) {
        db::Recordset rs = data::sharedDb().gCnn.execute(consulta);
        return rs.eof() ? QVariant() : QVariant(rs.fields(0).value().toString());
    }

    bool existe(const QString& tabla) {
        return valor("SELECT count(*) FROM sysobjects WHERE name = '" + tabla + "'") == "1";
    }

    test::EmpresaDb empresa;
    test::ScopedEnvFolder temporal{"TEMP"};
    test::ScriptedOperator operador;
    os::RecordingDesktop escritorio;
    os::Desktop* previo = nullptr;
};

TEST_F(Ejecutor, aViewOnATableCreatedLaterSucceedsInTheSecondPassWithoutLogging) {
    const QString ruta = script("tres.sql", "CREATE TABLE A (x int)\r\nGO\r\n"
                                            "CREATE VIEW V AS SELECT y FROM B\r\nGO\r\n"
                                            "CREATE TABLE B (y int)\r\n-- fin\r\n");
    const ResultadoScript r = correr(ruta);
    EXPECT_EQ(r.pasadas, 2);
    EXPECT_FALSE(r.huboErrores);
    EXPECT_TRUE(existe("V"));
    EXPECT_TRUE(operador.dialogs().empty());
    EXPECT_EQ(QFile(r.archivoRegistro).size(), 0) << "the log exists and stays empty";
    EXPECT_TRUE(escritorio.calls().empty());
}

TEST_F(Ejecutor, separatorsCommentsAndAFinalGoShapeTheBatches) {
    const QString ruta =
        script("lotes.sql", "  -- comentario\nSELECT 1\n  go  \n/\nSELECT 2\nGO\n");
    const auto lotesDe = [&](Qt::CaseSensitivity mayusculas) {
        LotesScript lectura(mayusculas);
        EXPECT_TRUE(lectura.open(ruta));
        QStringList lotes;
        while (const auto lote = lectura.next())
            lotes << *lote;
        return lotes;
    };
    EXPECT_EQ(lotesDe(Qt::CaseInsensitive), (QStringList{"SELECT 1\r\n", "", "SELECT 2\r\n", ""}));
    EXPECT_EQ(lotesDe(Qt::CaseSensitive), (QStringList{"SELECT 1\r\n  go  \r\n", "SELECT 2\r\n", ""}));

    const ResultadoScript r = correr(ruta);
    EXPECT_EQ(r.lotes, 4);
    EXPECT_FALSE(r.huboErrores);
    EXPECT_GT(operador.processEventsCalls(), 8);
    ReglasScript exactas;
    exactas.mayusculas = Qt::CaseSensitive;
    EXPECT_EQ(correr(ruta, {}, false, exactas).lotes, 3);
}

TEST_F(Ejecutor, laterPassesReadTheFileAgainAndTheReaderStopsWhereItIsTold) {
    // The second pass reads the batches from the file again: nothing of them
    // is held between passes. The runner stops its reader at a destructive
    // line no key was asked for (a file changed under the run).
    const QString ruta = script("cambia.sql", "CREATE VIEW W AS SELECT z FROM E\r\nGO\r\n"
                                              "CREATE TABLE E (z int)\r\n");
    const ResultadoScript r = correr(ruta);
    EXPECT_EQ(r.pasadas, 2);
    EXPECT_TRUE(existe("W"));
    EXPECT_FALSE(r.abortado);

    LotesScript lectura(Qt::CaseInsensitive);
    ASSERT_TRUE(lectura.open(ruta));
    int vistas = 0;
    lectura.alLeerLinea = [&](const QString& linea) {
        if (linea.startsWith(QLatin1String("CREATE VIEW")))
            ++vistas;
        return !linea.startsWith(QLatin1String("CREATE TABLE"));
    };
    EXPECT_EQ(lectura.next(), QStringLiteral("CREATE VIEW W AS SELECT z FROM E\r\n"));
    EXPECT_EQ(lectura.next(), std::nullopt); // stopped at the second batch's line
    EXPECT_EQ(lectura.next(), std::nullopt);
    EXPECT_EQ(vistas, 1);
}

TEST_F(Ejecutor, aDestructiveLineNeedsTheKeyTypedInAnyCase) {
    const QString ruta = script("borra.sql", "CREATE TABLE C (x int)\nGO\nDROP TABLE C\nGO\n"
                                             "CREATE TABLE D (x int)\n");
    operador.answerInput(QStringLiteral("kelp@"));
    bool permiteDrop = false;
    ejecutarScript(ruta, {}, permiteDrop, {});
    EXPECT_TRUE(permiteDrop);
    EXPECT_TRUE(existe("D"));
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].title, "Atencion");
    EXPECT_EQ(operador.dialogs()[0].text,
              "Ingresa la Clave para permitir ejecutar este comando..\r\nDROP TABLE C");
}

TEST_F(Ejecutor, aWrongOrCancelledKeyAbortsBeforeAnythingRuns) {
    const QString ruta = script("borra.sql", "CREATE TABLE E (x int)\nGO\ntruncate table E\n");
    for (const auto& respuesta : {std::optional<QString>("otra"), std::optional<QString>()}) {
        operador.clear();
        operador.answerInput(respuesta).answerMessage(ui::reply::OK);
        const ResultadoScript r = correr(ruta);
        EXPECT_TRUE(r.abortado);
        EXPECT_FALSE(existe("E"));
        ASSERT_EQ(operador.dialogs().size(), 2u);
        EXPECT_EQ(operador.dialogs()[1].title, "ATENCION!");
        EXPECT_EQ(operador.dialogs()[1].flags, ui::style::Critical);
        EXPECT_TRUE(operador.dialogs()[1].text.endsWith("\r\nOPERACION ABORTADA!!!"));
    }
}

TEST_F(Ejecutor, batchesWithDropRunOnlyInTheFirstPassAndPlaceholdersIgnoreCase) {
    const QString ruta =
        script("macros.sql", "CREATE TABLE M (t varchar(60))\nGO\n"
                             "INSERT INTO M VALUES ('<date> drop ')\nGO\n"
                             "CREATE VIEW W AS SELECT z FROM N\nGO\nCREATE TABLE N (z int)\n");
    const ResultadoScript r = correr(ruta);
    EXPECT_EQ(r.pasadas, 2);
    EXPECT_EQ(valor("SELECT count(*) FROM M"), "1");
    const QString hoy = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_EQ(valor("SELECT t FROM M"), hoy + " drop ");
}

TEST_F(Ejecutor, everyPlaceholderIsReplacedAndTheExactRunnerLeavesOtherCasesAlone) {
    const QLocale regional = QLocale::system();
    const QDate hoy = QDate::currentDate();
    const QString lote = QStringLiteral("<DATE>|<date+year>|<Date-Year>|<database>|a < b");
    const QString reemplazado = reemplazarMacros(lote, Qt::CaseInsensitive);
    const QStringList partes = reemplazado.split(QLatin1Char('|'));
    ASSERT_EQ(partes.size(), 5) << reemplazado.toStdString();
    EXPECT_EQ(partes[0], regional.toString(hoy, QLocale::ShortFormat));
    EXPECT_EQ(partes[1], regional.toString(hoy.addYears(1), QLocale::ShortFormat));
    EXPECT_EQ(partes[2], regional.toString(hoy.addYears(-1), QLocale::ShortFormat));
    EXPECT_EQ(partes[3], empresa.nombre().toUpper());
    EXPECT_EQ(partes[4], "a < b") << "a lone '<' is no placeholder";
    // The provisioning runner compares exactly: only the upper-case forms.
    EXPECT_EQ(reemplazarMacros(QStringLiteral("<date> <DATABASE>"), Qt::CaseSensitive),
              QStringLiteral("<date> ") + empresa.nombre().toUpper());
}

TEST_F(Ejecutor, aConstraintFailureIsLoggedWithItsBatchAndTheLogOpened) {
    const QString ruta = script("falla.sql", "CREATE TABLE P (id int PRIMARY KEY)\nGO\n"
                                             "CREATE TABLE H (p int REFERENCES P(id))\nGO\n"
                                             "INSERT INTO H VALUES (7)\n");
    operador.answerMessage(ui::reply::OK);
    const ResultadoScript r = correr(ruta);
    EXPECT_TRUE(r.huboErrores);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text,
              "Se detectaron errores, consulte el archivo " + r.archivoRegistro);
    EXPECT_TRUE(QFileInfo(r.archivoRegistro).fileName().startsWith("Script"));
    ASSERT_EQ(escritorio.calls().size(), 1u);
    EXPECT_EQ(escritorio.calls()[0].target, r.archivoRegistro);

    QFile log(r.archivoRegistro);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lineas = log.readAll().split('\n');
    ASSERT_GE(lineas.size(), 7);
    EXPECT_EQ(lineas[0], QByteArray(112, '*') + "\r");
    EXPECT_TRUE(lineas[2].startsWith("  Error 547 "));
    EXPECT_EQ(lineas[4], "INSERT INTO H VALUES (7)\r");
    EXPECT_EQ(lineas[6], QByteArray(112, '*') + "\r");
}

TEST_F(Ejecutor, soloRunsOnlyTheBatchesThatMentionIt) {
    const QString ruta =
        script("solo.sql", "CREATE TABLE S1 (x int)\nGO\nCREATE TABLE S2 (x int)\n");
    correr(ruta, QStringLiteral("s2"));
    EXPECT_FALSE(existe("S1"));
    EXPECT_TRUE(existe("S2"));
}

TEST_F(Ejecutor, aCompletoScriptAlwaysGetsThePlainAccountView) {
    data::sharedDb().gCnn.execute(
        "INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('SS_CONFIDENCIALIDAD', 'SI')");
    const QString ruta = script("CUENTASCOMPLETO.sql",
                                "if exists (select * from sysobjects where name = 'SS_MA_CUENTAS') "
                                "drop view SS_MA_CUENTAS\nGO\n"
                                "create view dbo.ss_ma_cuentas as select CODIGO from MA_CUENTAS\n");
    correr(ruta, {}, true);
    EXPECT_EQ(valor("SELECT count(*) FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = "
                    "'SS_MA_CUENTAS'"),
              valor("SELECT count(*) FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = "
                    "'MA_CUENTAS'"));
}

TEST_F(Ejecutor, aMissingScriptGoesToThePreparationHandler) {
    ReglasScript reglas;
    int preguntas = 0;
    reglas.errorPreparacion = [&](const Error& e) {
        ++preguntas;
        EXPECT_EQ(e.number(), errnum::FileNotFound);
        return 3;
    };
    const ResultadoScript r = correr(temporal.filePath("no_existe.sql"), {}, false, reglas);
    EXPECT_EQ(preguntas, 1);
    EXPECT_EQ(r.pasadas, 0);
}

} // namespace

namespace {

// An upgrade script as the suite writes them: every step guarded by the
// catalogue, so that running it again changes nothing more.
const QByteArray scriptActualizacion =
    "IF OBJECT_ID('Regiones') IS NULL\r\n"
    "CREATE TABLE Regiones (Codigo varchar(4) NOT NULL CONSTRAINT PK_Regiones PRIMARY KEY, "
    "Nombre varchar(20) NULL)\r\nGO\r\n"
    "IF OBJECT_ID('Puestos') IS NULL\r\n"
    "CREATE TABLE Puestos (Id int IDENTITY(1,1) NOT NULL PRIMARY KEY, Zona varchar(4) NULL, "
    "Descrip varchar(10) NULL)\r\nGO\r\n"
    // The first rows name a column a later step renames: the server compiles a
    // batch whole, so they go through EXEC, compiled only when it runs.
    "IF NOT EXISTS (SELECT * FROM Regiones)\r\nBEGIN\r\n"
    "INSERT INTO Regiones VALUES ('N', 'Norte')\r\nINSERT INTO Regiones VALUES ('S', 'Sur')\r\n"
    "EXEC ('INSERT INTO Puestos (Zona, Descrip) VALUES (''N'', ''uno'')')\r\n"
    "EXEC ('INSERT INTO Puestos (Zona, Descrip) VALUES (''S'', ''dos'')')\r\nEND\r\nGO\r\n"
    "IF COL_LENGTH('Puestos', 'Zona') IS NOT NULL\r\n"
    "EXEC sp_rename 'Puestos.Zona', 'Region', 'COLUMN'\r\nGO\r\n"
    "IF COL_LENGTH('Puestos', 'Descrip') < 40\r\n"
    "ALTER TABLE Puestos ALTER COLUMN Descrip varchar(40) NULL\r\nGO\r\n"
    "IF NOT EXISTS (SELECT * FROM sys.foreign_keys WHERE name = 'FK_Puestos_Regiones')\r\n"
    "ALTER TABLE Puestos WITH CHECK ADD CONSTRAINT FK_Puestos_Regiones FOREIGN KEY (Region) "
    "REFERENCES Regiones (Codigo)\r\nGO\r\n"
    "IF NOT EXISTS (SELECT * FROM syscolumns WHERE id = OBJECT_ID('Puestos') AND name = "
    "'NombreRegion')\r\nALTER TABLE Puestos ADD NombreRegion varchar(20) NULL\r\nGO\r\n"
    // A history kept by a trigger, made once through EXEC: only real changes are recorded.
    "IF OBJECT_ID('Puestos_Historia', 'U') IS NULL\r\n"
    "CREATE TABLE Puestos_Historia (Id int NOT NULL, Antes varchar(40) NULL, Despues "
    "varchar(40) NULL)\r\nGO\r\n"
    "IF OBJECT_ID('TR_Puestos_Descrip', 'TR') IS NULL\r\n"
    "EXEC ('CREATE TRIGGER TR_Puestos_Descrip ON Puestos AFTER UPDATE AS\r\n"
    "SET NOCOUNT ON\r\nIF UPDATE(Descrip)\r\n"
    "INSERT INTO Puestos_Historia SELECT d.Id, d.Descrip, i.Descrip FROM deleted d JOIN "
    "inserted i ON i.Id = d.Id WHERE d.Descrip <> i.Descrip')\r\nGO\r\n"
    "UPDATE p SET NombreRegion = r.Nombre, Descrip = 'Puesto de la zona ' + r.Nombre FROM "
    "Puestos p JOIN Regiones r ON r.Codigo = p.Region\r\nGO\r\n";

} // namespace

TEST_F(Ejecutor, anUpgradeScriptGuardedByTheCatalogueRunsTwiceToTheSameSchemaAndRows) {
    const QString ruta = script("actualizacion.sql", scriptActualizacion);
    const auto estado = [&] {
        return QStringList{
            valor("SELECT count(*) FROM sys.foreign_keys WHERE name = 'FK_Puestos_Regiones'")
                .toString(),
            valor("SELECT COL_LENGTH('Puestos', 'Descrip')").toString(),
            valor("SELECT count(*) FROM syscolumns WHERE id = OBJECT_ID('Puestos') AND name IN "
                  "('Region', 'NombreRegion', 'Zona')")
                .toString(),
            valor("SELECT count(*) FROM Puestos").toString(),
            valor("SELECT Descrip + '/' + NombreRegion FROM Puestos WHERE Region = 'S'")
                .toString(),
            valor("SELECT count(*) FROM Puestos_Historia").toString(),
            valor("SELECT Antes + '>' + Despues FROM Puestos_Historia WHERE Antes = 'dos'")
                .toString()};
    };
    const ResultadoScript primera = correr(ruta);
    EXPECT_FALSE(primera.huboErrores);
    const QStringList despues = estado();
    EXPECT_EQ(despues, (QStringList{"1", "40", "2", "2", "Puesto de la zona Sur/Sur", "2",
                                    "dos>Puesto de la zona Sur"}));
    const ResultadoScript segunda = correr(ruta);
    EXPECT_FALSE(segunda.huboErrores);
    EXPECT_EQ(estado(), despues);
    // The foreign key added on the way is enforced.
    EXPECT_THROW(
        data::sharedDb().gCnn.execute("INSERT INTO Puestos (Region, Descrip) VALUES ('X', 'nada')"),
        db::ProviderFailure);
}
