// The ADO-like layer on every backend: one test body per behaviour, run on the
// ODBC engine (SQLite ODBC driver) and on the embedded engine when built.

#include "DbBackends.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::db;
using estaciones::test::DbBackend;
using estaciones::test::DbScratch;

namespace {

template <class F> Error errorOf(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error was thrown";
    return Error(0, QString());
}

class LayerTest : public ::testing::TestWithParam<DbBackend> {
protected:
    LayerTest() : scratch(GetParam()) {}

    void SetUp() override {
        cnn = scratch.open(adUseClient);
        cnn.execute(
            QStringLiteral("CREATE TABLE t_articulos (codigo varchar(20) NOT NULL PRIMARY KEY, "
                           "nombre varchar(40) NULL, cantidad int NULL)"));
        cnn.execute(QStringLiteral(
            "INSERT INTO t_articulos (codigo, nombre, cantidad) VALUES ('A1', 'Uno', 1)"));
        cnn.execute(QStringLiteral(
            "INSERT INTO t_articulos (codigo, nombre, cantidad) VALUES ('A2', 'Dos', 2)"));
        cnn.execute(QStringLiteral(
            "INSERT INTO t_articulos (codigo, nombre, cantidad) VALUES ('A3', 'Tres', 3)"));
    }

    Recordset openRs(const QString& sql, int cursorType = adOpenStatic,
                     int lockType = adLockReadOnly) {
        Recordset rs;
        rs.open(sql, cnn, cursorType, lockType);
        return rs;
    }

    QString scalar(const QString& sql) {
        Recordset rs = cnn.execute(sql);
        return rs.fields(0).value().toString();
    }

    bool embedded() const { return GetParam() == DbBackend::Embedded; }

    DbScratch scratch;
    Connection cnn;
};

TEST_P(LayerTest, shouldHaveBofAndEofBothTrueWhenResultIsEmpty) {
    Recordset rs =
        openRs(QStringLiteral("SELECT codigo, nombre FROM t_articulos WHERE codigo = 'ZZ'"));
    EXPECT_EQ(rs.state(), adStateOpen);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_EQ(rs.fields().count(), 2);
    EXPECT_EQ(errorOf([&] { rs.fields(0).value(); }).number(), 3021);
    EXPECT_EQ(errorOf([&] { rs.moveNext(); }).number(), 3021);
    EXPECT_EQ(errorOf([&] { rs.moveFirst(); }).number(), 3021);
}

TEST_P(LayerTest, shouldNavigateEveryWayOnAStaticRecordset) {
    Recordset rs =
        openRs(QStringLiteral("SELECT codigo, cantidad FROM t_articulos ORDER BY codigo"));
    ASSERT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.fields(QStringLiteral("codigo")).value().toString(), QStringLiteral("A1"));
    EXPECT_EQ(rs.absolutePosition(), 1);
    rs.moveNext();
    EXPECT_EQ(rs["CODIGO"].value().toString(), QStringLiteral("A2"));
    rs.moveLast();
    EXPECT_EQ(rs[1].value().toInt32(), 3);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(errorOf([&] { rs.moveNext(); }).number(), 3021);
    rs.movePrevious();
    EXPECT_EQ(rs["codigo"].value().toString(), QStringLiteral("A3"));
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(errorOf([&] { rs.movePrevious(); }).number(), 3021);
    rs.move(2);
    EXPECT_EQ(rs["codigo"].value().toString(), QStringLiteral("A2"));
}

TEST_P(LayerTest, shouldFindFieldsByNameIgnoringCaseAndRefuseUnknownOnes) {
    Recordset rs = openRs(QStringLiteral("SELECT codigo, nombre FROM t_articulos ORDER BY codigo"));
    EXPECT_EQ(rs.fields(QStringLiteral("NoMbRe")).value().toString(), QStringLiteral("Uno"));
    EXPECT_EQ(rs.fields(QStringLiteral("NoMbRe")).name(), QStringLiteral("nombre"));
    EXPECT_EQ(rs.fields().item(Variant(1)).name(), QStringLiteral("nombre"));
    EXPECT_EQ(errorOf([&] { rs.fields(QStringLiteral("precio")); }).number(), errnum::ItemNotFound);
    EXPECT_EQ(errorOf([&] { rs.fields(2); }).number(), errnum::ItemNotFound);
}

TEST_P(LayerTest, shouldReportAdoTypeCodesAndDefinedSizes) {
    cnn.execute(QStringLiteral(
        "CREATE TABLE t_tipos (texto varchar(25) NULL, entero int NULL, fecha datetime NULL, "
        "importe money NULL, precio decimal(10,2) NULL, activo bit NULL, peso float NULL)"));
    cnn.execute(QStringLiteral(
        "INSERT INTO t_tipos VALUES ('abc', 7, '2025-03-14T10:20:30', 12.5, 3.25, 1, 0.5)"));
    Recordset rs = openRs(
        QStringLiteral("SELECT texto, entero, fecha, importe, precio, activo, peso FROM t_tipos"));
    struct Expected {
        const char* name;
        int type;
    };
    const Expected expected[] = {{"texto", adtype::VarChar},     {"entero", adtype::Integer},
                                 {"fecha", adtype::DBTimeStamp}, {"importe", adtype::Currency},
                                 {"precio", adtype::Numeric},    {"activo", adtype::Boolean},
                                 {"peso", adtype::Double}};
    for (const Expected& e : expected) {
        EXPECT_EQ(rs.fields(QString::fromLatin1(e.name)).type(), e.type) << e.name;
    }
    EXPECT_EQ(rs["texto"].definedSize(), 25);
    EXPECT_EQ(rs["texto"].value(), Variant(QStringLiteral("abc")));
    EXPECT_EQ(rs["entero"].value().toInt32(), 7);
    EXPECT_EQ(rs["fecha"].value().toDate().date, QDate(2025, 3, 14));
    EXPECT_EQ(rs["fecha"].value().toDate().time, QTime(10, 20, 30));
    EXPECT_EQ(rs["importe"].value().toCurrency(), Currency::fromDouble(12.5));
    EXPECT_DOUBLE_EQ(rs["precio"].value().toDouble(), 3.25);
    EXPECT_TRUE(rs["activo"].value().toBool());
    EXPECT_DOUBLE_EQ(rs["peso"].value().toDouble(), 0.5);
}

TEST_P(LayerTest, shouldRunEveryStatementOfAMultiStatementText) {
    std::int64_t affected = 0;
    cnn.execute(QStringLiteral("INSERT INTO t_articulos (codigo) VALUES ('B1'); "
                               "INSERT INTO t_articulos (codigo) VALUES ('B2'); "
                               "UPDATE t_articulos SET cantidad = 9 WHERE codigo LIKE 'B%';"),
                affected);
    EXPECT_GE(affected, 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t_articulos WHERE cantidad = 9")),
              QStringLiteral("2"));
    Recordset rs =
        cnn.execute(QStringLiteral("UPDATE t_articulos SET cantidad = 8 WHERE codigo = 'B1'; "
                                   "SELECT codigo FROM t_articulos WHERE cantidad = 8"));
    ASSERT_EQ(rs.state(), adStateOpen);
    EXPECT_EQ(rs["codigo"].value().toString(), QStringLiteral("B1"));
}

TEST_P(LayerTest, shouldHandEachResultOfABatchInTurn) {
    Recordset rs =
        cnn.execute(QStringLiteral("SELECT codigo FROM t_articulos WHERE codigo = 'A1'; "
                                   "UPDATE t_articulos SET cantidad = 3 WHERE codigo = 'A1'; "
                                   "SELECT cantidad, codigo FROM t_articulos WHERE codigo = 'A1'"));
    ASSERT_EQ(rs.state(), adStateOpen);
    EXPECT_EQ(rs["codigo"].value().toString(), QStringLiteral("A1"));
    Recordset segundo = rs.nextRecordset();
    EXPECT_EQ(rs.state(), adStateClosed);
    ASSERT_EQ(segundo.state(), adStateOpen);
    EXPECT_EQ(segundo.fields().count(), 2);
    EXPECT_EQ(segundo["cantidad"].value().toString(), QStringLiteral("3"));
    EXPECT_EQ(segundo.nextRecordset().state(), adStateClosed);
    EXPECT_EQ(errorOf([&] { segundo.nextRecordset(); }).number(), errnum::ObjectClosed);
}

TEST_P(LayerTest, shouldCountRowsAffectedAndGiveAClosedRecordsetWithoutRows) {
    std::int64_t affected = -5;
    Recordset rs = cnn.execute(
        QStringLiteral("UPDATE t_articulos SET cantidad = 0 WHERE codigo <> 'A1'"), affected);
    EXPECT_EQ(affected, 2);
    EXPECT_EQ(rs.state(), adStateClosed);
    EXPECT_EQ(errorOf([&] { rs.eof(); }).number(), errnum::ObjectClosed);
}

TEST_P(LayerTest, shouldKeepCommittedWorkAndDropRolledBackWork) {
    EXPECT_EQ(cnn.beginTrans(), 1);
    cnn.execute(QStringLiteral("INSERT INTO t_articulos (codigo) VALUES ('C1')"));
    cnn.commitTrans();
    cnn.beginTrans();
    cnn.execute(QStringLiteral("INSERT INTO t_articulos (codigo) VALUES ('C2')"));
    cnn.execute(QStringLiteral("DELETE FROM t_articulos WHERE codigo = 'A1'"));
    cnn.rollbackTrans();
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM t_articulos WHERE codigo IN ('C1', 'C2', 'A1')")),
              QStringLiteral("2"));
    EXPECT_NE(errorOf([&] { cnn.commitTrans(); }).number(), 0);
}

TEST_P(LayerTest, shouldInsertWithAddNewAndReadTheIdentityBack) {
    scratch.createIdentityTable(cnn, QStringLiteral("t_cajas"),
                                QStringLiteral("nombre varchar(30) NULL"));
    cnn.execute(QStringLiteral("INSERT INTO t_cajas (nombre) VALUES ('primera')"));
    Recordset rs =
        openRs(QStringLiteral("SELECT id, nombre FROM t_cajas"), adOpenDynamic, adLockOptimistic);
    rs.addNew();
    EXPECT_EQ(rs.editMode(), adEditAdd);
    rs["nombre"] = Variant(QStringLiteral("segunda"));
    rs.update();
    EXPECT_EQ(rs.editMode(), adEditNone);
    EXPECT_EQ(rs["id"].value().toInt32(), 2);
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT nombre FROM t_cajas WHERE id = 2")),
              QStringLiteral("segunda"));
}

TEST_P(LayerTest, shouldUpdateAnExistingRowAndKeepTheOthers) {
    Recordset rs =
        openRs(QStringLiteral("SELECT codigo, nombre, cantidad FROM t_articulos ORDER BY codigo"),
               adOpenStatic, adLockOptimistic);
    rs.moveNext();
    rs["nombre"] = Variant(QStringLiteral("Dos bis"));
    rs["cantidad"] = Variant(20);
    EXPECT_EQ(rs.editMode(), adEditInProgress);
    EXPECT_EQ(rs["nombre"].originalValue().toString(), QStringLiteral("Dos"));
    rs.update();
    EXPECT_EQ(rs["nombre"].value().toString(), QStringLiteral("Dos bis"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT nombre FROM t_articulos WHERE codigo = 'A2'")),
              QStringLiteral("Dos bis"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT cantidad FROM t_articulos WHERE codigo = 'A2'")),
              QStringLiteral("20"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT nombre FROM t_articulos WHERE codigo = 'A1'")),
              QStringLiteral("Uno"));
}

TEST_P(LayerTest, shouldWriteAPendingEditWhenMovingOff) {
    Recordset rs = openRs(QStringLiteral("SELECT codigo, nombre FROM t_articulos ORDER BY codigo"),
                          adOpenStatic, adLockOptimistic);
    rs["nombre"] = Variant(QStringLiteral("Uno movido"));
    rs.moveNext();
    EXPECT_EQ(scalar(QStringLiteral("SELECT nombre FROM t_articulos WHERE codigo = 'A1'")),
              QStringLiteral("Uno movido"));
}

TEST_P(LayerTest, shouldUpdateARowWhoseOriginalValueIsNull) {
    cnn.execute(QStringLiteral("INSERT INTO t_articulos (codigo, nombre) VALUES ('N1', NULL)"));
    Recordset rs =
        openRs(QStringLiteral("SELECT codigo, nombre FROM t_articulos WHERE codigo = 'N1'"),
               adOpenStatic, adLockOptimistic);
    rs["nombre"] = Variant(QStringLiteral("ya no es nulo"));
    rs.update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT nombre FROM t_articulos WHERE codigo = 'N1'")),
              QStringLiteral("ya no es nulo"));
}

TEST_P(LayerTest, shouldUpdateATableWithoutKeyByAllOriginalValues) {
    cnn.execute(QStringLiteral("CREATE TABLE t_sin_clave (a varchar(10) NULL, b int NULL)"));
    cnn.execute(QStringLiteral(
        "INSERT INTO t_sin_clave VALUES ('x', 1); INSERT INTO t_sin_clave VALUES ('x', 2);"));
    Recordset rs = openRs(QStringLiteral("SELECT a, b FROM t_sin_clave ORDER BY b"), adOpenStatic,
                          adLockOptimistic);
    rs["a"] = Variant(QStringLiteral("y"));
    rs.update();
    EXPECT_EQ(scalar(QStringLiteral("SELECT a FROM t_sin_clave WHERE b = 1")), QStringLiteral("y"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT a FROM t_sin_clave WHERE b = 2")), QStringLiteral("x"));
}


// The base table is the statement's own spelling of it, worked out when first
// asked, and it belongs to the statement the recordset holds now.
TEST_P(LayerTest, shouldNameTheBaseTableAsTheStatementSpellsItAndWriteThroughIt) {
    Recordset rs = openRs(
        QStringLiteral("SELECT codigo, nombre FROM [t_articulos] WHERE codigo = 'A1'"),
        adOpenStatic, adLockOptimistic);
    rs["nombre"] = Variant(QStringLiteral("Uno entre corchetes"));
    rs.update();
    EXPECT_EQ(rs.baseTable(), QStringLiteral("[t_articulos]"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT nombre FROM t_articulos WHERE codigo = 'A1'")),
              QStringLiteral("Uno entre corchetes"));

    rs.close();
    cnn.execute(QStringLiteral("CREATE TABLE t_otra (a varchar(10) NOT NULL PRIMARY KEY)"));
    rs.open(QStringLiteral("SELECT a FROM t_otra"), cnn, adOpenStatic, adLockOptimistic);
    EXPECT_EQ(rs.baseTable().compare(QStringLiteral("t_otra"), Qt::CaseInsensitive), 0);
}
TEST_P(LayerTest, shouldDetectAnOptimisticConflictBetweenTwoRecordsets) {
    const QString sql =
        QStringLiteral("SELECT codigo, nombre FROM t_articulos WHERE codigo = 'A1'");
    Recordset first = openRs(sql, adOpenStatic, adLockOptimistic);
    Recordset second = openRs(sql, adOpenStatic, adLockOptimistic);
    first["nombre"] = Variant(QStringLiteral("primero"));
    first.update();
    second["nombre"] = Variant(QStringLiteral("segundo"));
    const Error e = errorOf([&] { second.update(); });
    EXPECT_EQ(e.number(), errnum::RowNotFoundForUpdate);
    EXPECT_EQ(e.description(),
              QStringLiteral("Row cannot be located for updating. Some values may have been "
                             "changed since it was last read."));
    ASSERT_GE(cnn.errors().count(), 1);
    EXPECT_EQ(cnn.errors().item(0).number, errnum::RowNotFoundForUpdate);
    EXPECT_EQ(scalar(QStringLiteral("SELECT nombre FROM t_articulos WHERE codigo = 'A1'")),
              QStringLiteral("primero"));
    // The edit stays pending, so Close refuses until CancelUpdate (CierraRecordset's 3219).
    EXPECT_EQ(errorOf([&] { second.close(); }).number(), errnum::OperationNotAllowed);
    second.cancelUpdate();
    second.close();
    EXPECT_EQ(second.state(), adStateClosed);
}

TEST_P(LayerTest, shouldCancelAnAddNewAndStayOnTheRowBefore) {
    Recordset rs = openRs(QStringLiteral("SELECT codigo, nombre FROM t_articulos ORDER BY codigo"),
                          adOpenStatic, adLockOptimistic);
    rs.moveNext();
    rs.addNew();
    rs["codigo"] = Variant(QStringLiteral("X9"));
    rs.cancelUpdate();
    EXPECT_EQ(rs["codigo"].value().toString(), QStringLiteral("A2"));
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t_articulos")), QStringLiteral("3"));
}

TEST_P(LayerTest, shouldRefuseWritesOnAReadOnlyRecordset) {
    Recordset rs = openRs(QStringLiteral("SELECT codigo FROM t_articulos"));
    EXPECT_EQ(errorOf([&] { rs["codigo"] = Variant(QStringLiteral("Q")); }).number(),
              adoerr::NotSupported);
    EXPECT_EQ(errorOf([&] { rs.addNew(); }).number(), adoerr::NotSupported);
}

TEST_P(LayerTest, shouldKeepErrorsAfterSuccessReplaceThemOnFailureAndEmptyThemOnClear) {
    const Error missing =
        errorOf([&] { cnn.execute(QStringLiteral("SELECT * FROM no_existe_tabla")); });
    EXPECT_EQ(missing.number(), errnum::NoSuchTable);
    ASSERT_GE(cnn.errors().count(), 1);
    const QString firstText = cnn.errors().item(0).description;
    EXPECT_TRUE(firstText.contains(QStringLiteral("no_existe_tabla"), Qt::CaseInsensitive))
        << firstText.toStdString();

    cnn.execute(QStringLiteral("SELECT codigo FROM t_articulos"));
    ASSERT_GE(cnn.errors().count(), 1);
    EXPECT_EQ(cnn.errors().item(0).description, firstText);

    const Error syntax = errorOf([&] { cnn.execute(QStringLiteral("SELEC mal escrito FROM")); });
    EXPECT_EQ(syntax.number(), errnum::CommandError);
    ASSERT_GE(cnn.errors().count(), 1);
    EXPECT_NE(cnn.errors().item(0).description, firstText);
    EXPECT_EQ(cnn.errors().item(0).number, errnum::CommandError);

    cnn.errors().clear();
    EXPECT_EQ(cnn.errors().count(), 0);
    EXPECT_EQ(errorOf([&] { cnn.errors().item(0); }).number(), errnum::ItemNotFound);
}

TEST_P(LayerTest, shouldReportAnIntegrityViolation) {
    const Error e = errorOf([&] {
        cnn.execute(
            QStringLiteral("INSERT INTO t_articulos (codigo, nombre) VALUES ('A1', 'repetido')"));
    });
    EXPECT_EQ(e.number(), errnum::IntegrityViolation);
    EXPECT_FALSE(e.sqlState().isEmpty());
}

TEST_P(LayerTest, shouldFindTableAndColumnInTheSchemaIgnoringCase) {
    cnn.execute(QStringLiteral("CREATE TABLE Prueba_Esquema (Clave int NOT NULL PRIMARY KEY, "
                               "Descripcion varchar(30) NULL)"));
    // ExisteTablaDB: walk the table schema without restrictions.
    Recordset tables = cnn.openSchema(adSchemaTables);
    bool found = false;
    while (!tables.eof()) {
        if (tables["TABLE_NAME"].value().toString().trimmed().compare(
                QStringLiteral("PRUEBA_ESQUEMA"), Qt::CaseInsensitive) == 0) {
            found = true;
        }
        tables.moveNext();
    }
    EXPECT_TRUE(found);
    Recordset restricted = cnn.openSchema(
        adSchemaTables, {Variant(), Variant(), Variant(QStringLiteral("prueba_esquema"))});
    EXPECT_EQ(restricted.recordCount(), 1);

    // ExisteCampoDB: (catalogue, any schema, table, any column).
    Recordset columns =
        cnn.openSchema(adSchemaColumns, {Variant(cnn.defaultDatabase()), Variant(),
                                         Variant(QStringLiteral("PRUEBA_ESQUEMA")), Variant()});
    QStringList names;
    while (!columns.eof()) {
        names << columns["COLUMN_NAME"].value().toString();
        columns.moveNext();
    }
    EXPECT_TRUE(names.contains(QStringLiteral("descripcion"), Qt::CaseInsensitive))
        << names.join(',').toStdString();
    EXPECT_EQ(names.size(), 2);
    Recordset one = cnn.openSchema(adSchemaColumns,
                                   {Variant(), Variant(), Variant(QStringLiteral("prueba_esquema")),
                                    Variant(QStringLiteral("DESCRIPCION"))});
    ASSERT_EQ(one.recordCount(), 1);
    EXPECT_EQ(one["DATA_TYPE"].value().toInt32(), adtype::VarChar);
    EXPECT_EQ(
        cnn.openSchema(adSchemaTables, {Variant(), Variant(), Variant(QStringLiteral("no_hay"))})
            .recordCount(),
        0);
}

TEST_P(LayerTest, shouldMoveFirstLastFirstOnAForwardOnlyRecordsetWithClientCursor) {
    Recordset rs = openRs(QStringLiteral("SELECT codigo FROM t_articulos ORDER BY codigo"),
                          adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(rs.cursorType(), adOpenStatic);
    EXPECT_EQ(rs.recordCount(), 3);
    rs.moveFirst();
    rs.moveLast();
    EXPECT_EQ(rs["codigo"].value().toString(), QStringLiteral("A3"));
    rs.moveFirst();
    EXPECT_EQ(rs["codigo"].value().toString(), QStringLiteral("A1"));
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
}

TEST_P(LayerTest, shouldRefuseBackwardMovesOnAForwardOnlyServerCursor) {
    cnn.setCursorLocation(adUseServer);
    Recordset rs =
        openRs(QStringLiteral("SELECT codigo FROM t_articulos ORDER BY codigo"), adOpenForwardOnly);
    EXPECT_EQ(rs.cursorType(), adOpenForwardOnly);
    EXPECT_EQ(rs.recordCount(), -1);
    rs.moveNext();
    EXPECT_EQ(errorOf([&] { rs.movePrevious(); }).number(), adoerr::CannotFetchBackward);
    Recordset executed = cnn.execute(QStringLiteral("SELECT codigo FROM t_articulos"));
    EXPECT_EQ(executed.recordCount(), -1);
}

TEST_P(LayerTest, shouldGiveRowsByFieldWithGetRows) {
    Recordset rs =
        openRs(QStringLiteral("SELECT codigo, cantidad FROM t_articulos ORDER BY codigo"));
    rs.moveNext();
    const auto two = rs.getRows(2);
    ASSERT_EQ(two.size(), 2u);
    ASSERT_EQ(two[0].size(), 2u);
    EXPECT_EQ(two[0][0].toString(), QStringLiteral("A2"));
    EXPECT_EQ(two[1][1].toInt32(), 3);
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(errorOf([&] { rs.getRows(); }).number(), 3021);
    rs.moveFirst();
    EXPECT_EQ(rs.getRows()[0].size(), 3u);
}

TEST_P(LayerTest, shouldRaiseAdoNumbersForClosedAndOpenObjects) {
    Connection closed;
    EXPECT_EQ(errorOf([&] { closed.execute(QStringLiteral("SELECT 1")); }).number(),
              errnum::ObjectClosed);
    EXPECT_EQ(errorOf([&] { closed.close(); }).number(), errnum::ObjectClosed);
    EXPECT_EQ(errorOf([&] { cnn.open(scratch.connectionString()); }).number(), errnum::ObjectOpen);
    Recordset rs;
    EXPECT_EQ(rs.state(), adStateClosed);
    EXPECT_EQ(errorOf([&] { rs.open(QStringLiteral("SELECT 1"), closed); }).number(),
              errnum::ConnectionUnusable);
    EXPECT_EQ(errorOf([&] { rs.close(); }).number(), errnum::ObjectClosed);
    rs.open(QStringLiteral("SELECT codigo FROM t_articulos"), cnn);
    EXPECT_EQ(
        errorOf([&] { rs.open(QStringLiteral("SELECT codigo FROM t_articulos"), cnn); }).number(),
        errnum::ObjectOpen);
    rs.close();
    EXPECT_EQ(cnn.errors().count(), 0);
}

TEST_P(LayerTest, shouldKeepConnectionPropertiesAdoDefaults) {
    Connection fresh;
    EXPECT_EQ(fresh.state(), adStateClosed);
    EXPECT_EQ(fresh.commandTimeout(), 30);
    EXPECT_EQ(fresh.cursorLocation(), adUseServer);
    EXPECT_EQ(fresh.isolationLevel(), adXactReadCommitted);
    cnn.setCommandTimeout(5);
    EXPECT_EQ(cnn.commandTimeout(), 5);
    cnn.setIsolationLevel(adXactReadUncommitted);
    EXPECT_EQ(cnn.isolationLevel(), adXactReadUncommitted);
    EXPECT_FALSE(cnn.defaultDatabase().isEmpty());
    EXPECT_EQ(cnn.connectionString(), scratch.connectionString());
    cnn.close();
    EXPECT_EQ(cnn.state(), adStateClosed);
    cnn.open(); // its own ConnectionString again, as ReintentaConectar does
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t_articulos")), QStringLiteral("3"));
}

TEST_P(LayerTest, shouldGiveMinusOneRowsAffectedAfterSetNocountOn) {
    if (!embedded()) {
        GTEST_SKIP() << "SET NOCOUNT is T-SQL: embedded engine only";
    }
    std::int64_t affected = 0;
    cnn.execute(QStringLiteral("SET NOCOUNT ON"));
    cnn.execute(QStringLiteral("UPDATE t_articulos SET cantidad = 5"), affected);
    EXPECT_EQ(affected, -1);
    // Recordset updates still detect a conflict without counts.
    const QString sql =
        QStringLiteral("SELECT codigo, nombre FROM t_articulos WHERE codigo = 'A1'");
    Recordset first = openRs(sql, adOpenStatic, adLockOptimistic);
    Recordset second = openRs(sql, adOpenStatic, adLockOptimistic);
    first["nombre"] = Variant(QStringLiteral("cambiado"));
    first.update();
    second["nombre"] = Variant(QStringLiteral("otro"));
    EXPECT_EQ(errorOf([&] { second.update(); }).number(), errnum::RowNotFoundForUpdate);
    second.cancelUpdate();
}

// ------------------------------------------------------------ fault injection

TEST_P(LayerTest, shouldFailTheNextOperationWithTheInjectedError) {
    cnn.faults().failNext(errnum::IntegrityViolation,
                          QStringLiteral("Violation of PRIMARY KEY constraint"),
                          QStringLiteral("23000"), 2627, FaultOperation::Execute);
    const Error e = errorOf([&] { cnn.execute(QStringLiteral("SELECT codigo FROM t_articulos")); });
    EXPECT_EQ(e.number(), errnum::IntegrityViolation);
    EXPECT_EQ(e.nativeError(), 2627);
    ASSERT_EQ(cnn.errors().count(), 1);
    EXPECT_EQ(cnn.errors()[0].sqlState, QStringLiteral("23000"));
    EXPECT_EQ(cnn.faults().pendingFaults(), 0);
    cnn.execute(QStringLiteral("SELECT codigo FROM t_articulos")); // the next one runs
}

TEST_P(LayerTest, shouldFailEveryCallAfterADropUntilReopenedAndLoseTheOpenTransaction) {
    cnn.beginTrans();
    cnn.execute(QStringLiteral("INSERT INTO t_articulos (codigo) VALUES ('T1')"));
    cnn.faults().dropConnection();
    EXPECT_EQ(cnn.state(), adStateOpen);
    const Error e = errorOf([&] { cnn.execute(QStringLiteral("SELECT codigo FROM t_articulos")); });
    EXPECT_EQ(e.number(), errnum::E_FAIL);
    EXPECT_EQ(e.sqlState(), QStringLiteral("08S01"));
    ASSERT_GE(cnn.errors().count(), 1);
    Recordset rs;
    EXPECT_EQ(errorOf([&] { rs.open(QStringLiteral("SELECT 1"), cnn); }).number(), errnum::E_FAIL);
    EXPECT_EQ(errorOf([&] { cnn.commitTrans(); }).number(), errnum::E_FAIL);
    // ReintentaConectar: close, open with its own string.
    cnn.close();
    cnn.open();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t_articulos WHERE codigo = 'T1'")),
              QStringLiteral("0"));
}

TEST_P(LayerTest, shouldFailTheNextOpensAndThenConnect) {
    cnn.close();
    cnn.faults().failNext(errnum::E_FAIL,
                          QStringLiteral("[DBNETLIB]SQL Server does not exist or access denied."),
                          QStringLiteral("08001"), 17, FaultOperation::Open, 2);
    EXPECT_EQ(errorOf([&] { cnn.open(); }).number(), errnum::E_FAIL);
    EXPECT_EQ(cnn.state(), adStateClosed);
    EXPECT_EQ(errorOf([&] { cnn.open(); }).number(), errnum::E_FAIL);
    cnn.open();
    EXPECT_EQ(cnn.state(), adStateOpen);
}

TEST_P(LayerTest, shouldDropTheLinkWhenTheNextCommitStarts) {
    cnn.beginTrans();
    cnn.execute(QStringLiteral("DELETE FROM t_articulos"));
    cnn.faults().dropOnNext(FaultOperation::CommitTrans);
    cnn.execute(QStringLiteral("SELECT COUNT(*) FROM t_articulos")); // not yet
    EXPECT_EQ(errorOf([&] { cnn.commitTrans(); }).sqlState(), QStringLiteral("08S01"));
    cnn.close();
    cnn.open();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM t_articulos")), QStringLiteral("3"));
}

INSTANTIATE_TEST_SUITE_P(Engines, LayerTest, ::testing::ValuesIn(estaciones::test::dbBackends()),
                         estaciones::test::dbBackendName);

} // namespace
