// DML triggers and the OUTPUT clause as the server runs them: what inserted
// and deleted hold, the transaction they share with their statement, nesting
// and what the catalogue keeps of them.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

using TriggersTest = EmbeddedFixture;

TEST_F(TriggersTest, InsertedHoldsTheValuesTheEngineGaveTheRow) {
    // An identity that is not the key and a date column are filled by the
    // engine after the row is written; the trigger and OUTPUT see the final row.
    run("CREATE TABLE pedido (clave varchar(5) PRIMARY KEY, numero int IDENTITY(10, 10), "
        "fecha datetime)");
    run("CREATE TABLE pedido_log (numero int, fecha datetime)");
    run("CREATE TRIGGER tr_pedido ON pedido AFTER INSERT AS\n"
        "INSERT INTO pedido_log SELECT numero, fecha FROM inserted");
    const auto output = rows("INSERT INTO pedido (clave, fecha) OUTPUT inserted.numero "
                             "VALUES ('a', '20240107'), ('b', '20240108')");
    ASSERT_EQ(output.size(), 2u);
    EXPECT_EQ(output[0][0].toInt32() + output[1][0].toInt32(), 30);
    const auto logged = rows("SELECT numero, YEAR(fecha), DAY(fecha) FROM pedido_log ORDER BY "
                             "numero");
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0][0].toInt32(), 10);
    EXPECT_EQ(logged[0][1].toInt32(), 2024);
    EXPECT_EQ(logged[1][0].toInt32(), 20);
    EXPECT_EQ(logged[1][2].toInt32(), 8);
}

TEST_F(TriggersTest, DeletedPairsWithInsertedRowByRow) {
    run("CREATE TABLE stock (id int PRIMARY KEY, cantidad int, fecha datetime)");
    run("INSERT INTO stock VALUES (1, 5, '20240101'), (2, 7, '20240101'), (3, 9, '20240101')");
    const auto changed = rows("UPDATE stock SET cantidad = cantidad * 10, fecha = '20250101' "
                              "OUTPUT deleted.id, deleted.cantidad, inserted.cantidad, "
                              "YEAR(deleted.fecha) WHERE id <> 2");
    ASSERT_EQ(changed.size(), 2u);
    for (const auto& row : changed) {
        EXPECT_EQ(row[2].toInt32(), row[1].toInt32() * 10) << row[0].toInt32();
        EXPECT_EQ(row[3].toInt32(), 2024);
    }
}

TEST_F(TriggersTest, AnErrorInTheBodyUndoesTheStatementAndEndsTheBatch) {
    run("CREATE TABLE origen (n int)");
    run("CREATE TABLE marca (n int)");
    run("CREATE TRIGGER tr_origen ON origen AFTER INSERT AS\n"
        "INSERT INTO marca SELECT n FROM inserted\n"
        "SELECT 1 / 0");
    EXPECT_EQ(nativeErrorOf("INSERT INTO origen VALUES (1)\nINSERT INTO marca VALUES (2)"), 8134);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM origen").toInt32(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM marca").toInt32(), 0);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);
}

TEST_F(TriggersTest, IndirectRecursionStopsAtTheNestingLimit) {
    run("CREATE TABLE ping (n int)");
    run("CREATE TABLE pong (n int)");
    run("CREATE TRIGGER tr_ping ON ping AFTER INSERT AS INSERT INTO pong SELECT n + 1 FROM "
        "inserted");
    run("CREATE TRIGGER tr_pong ON pong AFTER INSERT AS INSERT INTO ping SELECT n + 1 FROM "
        "inserted");
    EXPECT_EQ(nativeErrorOf("INSERT INTO ping VALUES (1)"), 217);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ping").toInt32(), 0);
}

TEST_F(TriggersTest, InsteadOfOnAViewWritesWhatTheBodyDecides) {
    run("CREATE TABLE persona (id int PRIMARY KEY, nombre varchar(20))");
    run("CREATE VIEW v_persona AS SELECT id, nombre FROM persona");
    run("CREATE TRIGGER tr_v_persona ON v_persona INSTEAD OF INSERT AS\n"
        "INSERT INTO persona SELECT id, UPPER(nombre) FROM inserted");
    run("INSERT INTO v_persona VALUES (1, 'ana'), (2, 'luis')");
    const auto people = rows("SELECT id, nombre FROM persona ORDER BY id");
    ASSERT_EQ(people.size(), 2u);
    EXPECT_EQ(people[0][1].toString(), QStringLiteral("ANA"));
    EXPECT_EQ(people[1][1].toString(), QStringLiteral("LUIS"));
}

TEST_F(TriggersTest, TheDefinitionIsKeptAndReplaced) {
    run("CREATE TABLE t (n int)");
    EXPECT_EQ(nativeErrorOf("CREATE TRIGGER tr ON no_existe AFTER INSERT AS SELECT 1"), 208);
    run("CREATE TRIGGER tr ON t AFTER INSERT AS SELECT 1");
    EXPECT_EQ(nativeErrorOf("CREATE TRIGGER tr ON t AFTER INSERT AS SELECT 2"), 2714);
    EXPECT_EQ(nativeErrorOf("ALTER TRIGGER otro ON t AFTER INSERT AS SELECT 2"), 208);
    EXPECT_EQ(nativeErrorOf("SELECT 1\nCREATE TRIGGER tr2 ON t AFTER INSERT AS SELECT 2"), 111);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sysobjects WHERE xtype = 'TR' AND name = 'tr' AND "
                     "parent_obj = OBJECT_ID('t')")
                  .toInt32(),
              1);
    EXPECT_FALSE(scalar("SELECT OBJECT_ID('tr', 'TR')").isNull());
    run("DROP TRIGGER tr");
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('tr')").isNull());
}

TEST_F(TriggersTest, ARenamedTableKeepsItsTriggers) {
    run("CREATE TABLE cuenta (n int)");
    run("CREATE TABLE cuenta_log (n int)");
    run("CREATE TRIGGER tr_cuenta ON cuenta AFTER INSERT AS INSERT INTO cuenta_log SELECT n FROM "
        "inserted");
    run("EXEC sp_rename 'cuenta', 'cuenta_nueva'");
    run("INSERT INTO cuenta_nueva VALUES (7)");
    EXPECT_EQ(scalar("SELECT n FROM cuenta_log").toInt32(), 7);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.triggers WHERE parent_id = "
                     "OBJECT_ID('cuenta_nueva')")
                  .toInt32(),
              1);
}

TEST_F(TriggersTest, AlterTableSwitchesTheTablesTriggers) {
    run("CREATE TABLE caja (n int)");
    run("CREATE TABLE caja_log (origen varchar(5))");
    run("CREATE TRIGGER tr_caja_a ON caja AFTER INSERT AS INSERT INTO caja_log VALUES ('a')");
    run("CREATE TRIGGER tr_caja_b ON caja AFTER INSERT AS INSERT INTO caja_log VALUES ('b')");
    run("ALTER TABLE caja DISABLE TRIGGER ALL");
    run("INSERT INTO caja VALUES (1)");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM caja_log").toInt32(), 0);
    run("ALTER TABLE caja ENABLE TRIGGER tr_caja_b");
    run("INSERT INTO caja VALUES (2)");
    EXPECT_EQ(scalar("SELECT MAX(origen) + CAST(COUNT(*) AS varchar) FROM caja_log").toString(),
              QStringLiteral("b1"));
    EXPECT_EQ(scalar("SELECT SUM(is_disabled) FROM sys.triggers WHERE parent_id = "
                     "OBJECT_ID('caja')")
                  .toInt32(),
              1);
}

// Cascades reach further tables: each table's AFTER trigger sees its own
// cascaded rows, and a cascaded table's trigger runs its statements (which
// fire triggers of their own) inside the statement's transaction.
TEST_F(TriggersTest, CascadesFireTheTriggersOfEveryTableTheyReach) {
    run("CREATE TABLE obra (id int PRIMARY KEY)");
    run("CREATE TABLE fase (id int PRIMARY KEY, obra int REFERENCES obra (id) ON DELETE CASCADE)");
    run("CREATE TABLE tarea (id int PRIMARY KEY, fase int REFERENCES fase (id) ON DELETE CASCADE)");
    run("CREATE TABLE rastro (tabla varchar(10), filas int)");
    run("CREATE TABLE rastro_copia (tabla varchar(10))");
    run("CREATE TRIGGER tr_fase ON fase AFTER DELETE AS INSERT INTO rastro SELECT 'fase', "
        "COUNT(*) FROM deleted");
    run("CREATE TRIGGER tr_tarea ON tarea AFTER DELETE AS INSERT INTO rastro SELECT 'tarea', "
        "COUNT(*) FROM deleted");
    run("CREATE TRIGGER tr_rastro ON rastro AFTER INSERT AS INSERT INTO rastro_copia SELECT tabla "
        "FROM inserted");
    run("INSERT INTO obra VALUES (1), (2)");
    run("INSERT INTO fase VALUES (10, 1), (11, 1), (20, 2)");
    run("INSERT INTO tarea VALUES (100, 10), (101, 10), (102, 11), (200, 20)");
    run("DELETE FROM obra WHERE id = 1");
    const auto traced = rows("SELECT tabla, filas FROM rastro ORDER BY tabla");
    ASSERT_EQ(traced.size(), 2u);
    EXPECT_EQ(traced[0][1].toInt32(), 2); // fase 10 and 11
    EXPECT_EQ(traced[1][1].toInt32(), 3); // their three tasks
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM rastro_copia").toInt32(), 2);
    // No capture table outlives the statement.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sqlite_temp_schema WHERE name LIKE 'estaciones%'")
                  .toInt32(),
              0);
    // A failure in a cascaded table's trigger undoes the whole statement.
    run("CREATE TRIGGER tr_tarea_falla ON tarea AFTER DELETE AS SELECT 1 / 0");
    EXPECT_EQ(nativeErrorOf("DELETE FROM obra WHERE id = 2"), 8134);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tarea WHERE id = 200").toInt32(), 1);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);
}

// The rows a cascading key changes cannot go to an INSTEAD OF trigger.
TEST_F(TriggersTest, InsteadOfTriggersAreRefusedWhereAKeyCascades) {
    run("CREATE TABLE padre (id int PRIMARY KEY)");
    run("CREATE TABLE hijo (id int, padre int REFERENCES padre (id) ON DELETE CASCADE)");
    EXPECT_EQ(nativeErrorOf("CREATE TRIGGER tr_hijo ON hijo INSTEAD OF DELETE AS SELECT 1"), 2113);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.triggers WHERE name = 'tr_hijo'").toInt32(), 0);
    // The key's update does not cascade: INSTEAD OF UPDATE and INSERT are fine.
    run("CREATE TRIGGER tr_hijo_u ON hijo INSTEAD OF UPDATE AS SELECT 1");
    run("CREATE TRIGGER tr_hijo_i ON hijo INSTEAD OF INSERT AS SELECT 1");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.triggers WHERE parent_id = OBJECT_ID('hijo')")
                  .toInt32(),
              2);
    // Nor can a key that cascades updates come to a table with INSTEAD OF UPDATE.
    run("CREATE TABLE otro (id int PRIMARY KEY)");
    run("ALTER TABLE hijo ADD otro int NULL");
    EXPECT_EQ(nativeErrorOf("ALTER TABLE hijo ADD CONSTRAINT fk_hijo_otro FOREIGN KEY (otro) "
                            "REFERENCES otro (id) ON UPDATE CASCADE"),
              1787);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.foreign_keys WHERE name = 'fk_hijo_otro'").toInt32(),
              0);
    run("ALTER TABLE hijo ADD CONSTRAINT fk_hijo_otro FOREIGN KEY (otro) REFERENCES otro (id) ON "
        "DELETE NO ACTION");
}

// sp_settriggerorder keeps a first and a last AFTER trigger per table and
// statement kind, and refuses what it cannot order.
TEST_F(TriggersTest, TheFirstAndLastTriggersAreKeptPerStatementKind) {
    run("CREATE TABLE pieza (id int)");
    run("CREATE TABLE traza (quien varchar(5), n int IDENTITY(1,1))");
    for (const char* name : {"uno", "dos", "tres"})
        run(QStringLiteral("CREATE TRIGGER tr_%1 ON pieza AFTER INSERT, UPDATE AS INSERT INTO "
                           "traza (quien) VALUES ('%1')")
                .arg(QLatin1String(name)));
    run("EXEC sp_settriggerorder 'tr_uno', 'Last', 'INSERT'");
    run("EXEC sp_settriggerorder @triggername = 'dbo.tr_tres', @order = 'First', @stmttype = 'INSERT'");
    run("INSERT INTO pieza VALUES (1)");
    QStringList fired;
    for (const auto& row : rows("SELECT quien FROM traza ORDER BY n"))
        fired << row[0].toString();
    EXPECT_EQ(fired, QStringList({"tres", "dos", "uno"}));
    // The order is the INSERT's: an UPDATE keeps the triggers' age.
    run("DELETE FROM traza; UPDATE pieza SET id = 2");
    fired.clear();
    for (const auto& row : rows("SELECT quien FROM traza ORDER BY n"))
        fired << row[0].toString();
    EXPECT_EQ(fired, QStringList({"uno", "dos", "tres"}));
    // Another first trigger for the INSERT, a statement the trigger does not
    // answer, an INSTEAD OF trigger, a trigger that is not there.
    EXPECT_EQ(nativeErrorOf("EXEC sp_settriggerorder 'tr_dos', 'First', 'INSERT'"), 40517);
    EXPECT_EQ(nativeErrorOf("EXEC sp_settriggerorder 'tr_dos', 'First', 'DELETE'"), 40517);
    run("CREATE TRIGGER tr_en_vez ON pieza INSTEAD OF DELETE AS SELECT 1");
    EXPECT_EQ(nativeErrorOf("EXEC sp_settriggerorder 'tr_en_vez', 'First', 'DELETE'"), 40517);
    EXPECT_EQ(nativeErrorOf("EXEC sp_settriggerorder 'tr_nada', 'First', 'INSERT'"), 15009);
    EXPECT_EQ(nativeErrorOf("EXEC sp_settriggerorder 'tr_dos', 'First', 'CREATE_TABLE', 'DATABASE'"),
              40517);
    // None gives the place back; a dropped trigger leaves no order behind.
    run("EXEC sp_settriggerorder 'tr_tres', 'None', 'INSERT'");
    run("EXEC sp_settriggerorder 'tr_dos', 'First', 'INSERT'");
    run("DROP TRIGGER tr_dos");
    EXPECT_EQ(pastTheEngine("SELECT COUNT(*) FROM estaciones_orden_disparadores WHERE trigger_name "
                            "= 'tr_dos'"),
              "0");
    // A table dropped takes its triggers' order with it.
    run("DROP TABLE pieza");
    EXPECT_EQ(pastTheEngine("SELECT COUNT(*) FROM estaciones_orden_disparadores"), "0");
}

// A table or view has one INSTEAD OF trigger per statement kind (2111);
// ALTER TRIGGER of that same trigger is fine.
TEST_F(TriggersTest, OneInsteadOfTriggerPerStatementKind) {
    run("CREATE TABLE caja (id int)");
    run("CREATE TRIGGER tr_caja_1 ON caja INSTEAD OF INSERT, DELETE AS SELECT 1");
    EXPECT_EQ(nativeErrorOf("CREATE TRIGGER tr_caja_2 ON caja INSTEAD OF DELETE AS SELECT 2"), 2111);
    EXPECT_TRUE(lastFailure.front().description.contains("INSTEAD OF DELETE"));
    run("CREATE TRIGGER tr_caja_3 ON caja INSTEAD OF UPDATE AS SELECT 3");
    run("ALTER TRIGGER tr_caja_1 ON caja INSTEAD OF INSERT AS SELECT 1");
    run("CREATE TRIGGER tr_caja_2 ON caja INSTEAD OF DELETE AS SELECT 2");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM sys.triggers WHERE parent_id = OBJECT_ID('caja')").toInt64(),
              3);
}

} // namespace estaciones::db::sqlite::test
