// The statements the lookup controller builds from a caller's request, on the
// embedded engine: exact texts where the blanks matter to callers that
// append to them, and a check that each built statement runs.
#include "ConsultasDb.h"

#include "lookup/Lib_ClsCons3.h"
#include "lookup/LookupTexts.h"
#include "lookup/SentenciaConsulta.h"
#include "session/routines/CrearMascaraConsultas.h"
#include "support/ScriptedOperator.h"

#include <QFile>
#include <QTemporaryDir>

namespace estaciones::lookup {
namespace {

class SentenciaConsulta : public ::testing::Test {
protected:
    std::optional<QString> resolver(const QString& sql, QString where = {},
                                    QString campoBusqueda = {}, const QString& opcional = {}) {
        campo = campoBusqueda;
        filtro = where;
        return controlador().ResolverSentencia(sql, campo, filtro, opcional);
    }

    Lib_ClsCons3& controlador() {
        if (!m_controlador) {
            m_controlador = std::make_unique<Lib_ClsCons3>();
        }
        return *m_controlador;
    }

    // Masks on, with the default records plus `extra`.
    void usarMascaras(const QList<QByteArray>& extra = {}) {
        const QString ruta = carpeta.filePath(QStringLiteral("consultas.tsf"));
        session::CrearMascaraConsultas(ruta);
        QFile archivo(ruta);
        ASSERT_TRUE(archivo.open(QIODevice::Append));
        for (const QByteArray& registro : extra) {
            archivo.write(registro);
        }
        controlador().gUsarMascarasConsultas = true;
        controlador().gRutaMascaraConsultas = ruta;
    }

    test::ConsultasDb db;
    test::ScriptedOperator operador;
    QTemporaryDir carpeta;
    QString campo;
    QString filtro;

private:
    std::unique_ptr<Lib_ClsCons3> m_controlador;
};

TEST_F(SentenciaConsulta, shouldUseCallerStatementsAsTheyAreWhateverTheirCase) {
    EXPECT_EQ(resolver(QStringLiteral("select * from V_TA_UNIDAD")),
              QStringLiteral("select * from V_TA_UNIDAD"));
    // A name holding the letters "select" counts as a statement too.
    EXPECT_EQ(resolver(QStringLiteral("V_TA_SELECTOS")), QStringLiteral("V_TA_SELECTOS"));
    // The article table is read through its view; the filter is appended.
    EXPECT_EQ(resolver(QStringLiteral("SELECT IdArticulo FROM V_MA_ARTICULOS"),
                       QStringLiteral("IdTipo = '1'")),
              QStringLiteral("SELECT IdArticulo FROM VT_MA_ARTICULOS WHERE  (IdTipo = '1') "));
    EXPECT_EQ(filtro, QStringLiteral(" WHERE  (IdTipo = '1') "));
    // A filter with its own WHERE is appended as it is, unframed.
    EXPECT_EQ(resolver(QStringLiteral("SELECT Codigo FROM TA_CCOSTO"),
                       QStringLiteral(" WHERE Codigo > '1'")),
              QStringLiteral("SELECT Codigo FROM TA_CCOSTO WHERE Codigo > '1'"));
}

TEST_F(SentenciaConsulta, shouldFrameFiltersLongerThanOneCharacter) {
    resolver(QStringLiteral("select 1"), QStringLiteral("A=1"));
    EXPECT_EQ(filtro, QStringLiteral(" WHERE  (A=1) "));
    for (const QString& intacto : {QStringLiteral("A"), QStringLiteral("(A=1) OR B=2")}) {
        QString where = intacto;
        normalizarWhere(where);
        EXPECT_EQ(where, intacto);
    }
    QString where = QStringLiteral("A=1 OR B=2");
    normalizarWhere(where);
    EXPECT_EQ(where, QStringLiteral(" (A=1 OR B=2) "));
}

TEST_F(SentenciaConsulta, shouldLimitRowsWithTheConfiguredTop) {
    const QString deposito = QStringLiteral("V_TA_DEPOSITO");
    EXPECT_TRUE(resolver(deposito)->startsWith(QStringLiteral("SELECT TOP 1000 ")));
    db.configurar(QStringLiteral("TopConsArt"), QStringLiteral("0"));
    EXPECT_TRUE(resolver(deposito)->startsWith(QStringLiteral("SELECT TOP 1000 ")));
    db.configurar(QStringLiteral("TopConsArt"), QStringLiteral("250"));
    EXPECT_TRUE(resolver(deposito)->startsWith(QStringLiteral("SELECT TOP 250 ")));
    db.configurar(QStringLiteral("TopConsArt"), QStringLiteral("muchos"));
    EXPECT_TRUE(resolver(deposito)->startsWith(QStringLiteral("SELECT TOP 1000 ")));
}

TEST_F(SentenciaConsulta, shouldGiveTheDepositTableItsFixedColumns) {
    // Two blanks before ORDER BY: the one before the empty filter and the one
    // that opens " ORDER BY ".
    EXPECT_EQ(resolver(QStringLiteral("V_TA_DEPOSITO")),
              QStringLiteral("SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio FROM "
                             "V_TA_DEPOSITO  ORDER BY IDDEPOSITO"));
    EXPECT_EQ(campo, QStringLiteral("IDDEPOSITO"));
    EXPECT_EQ(
        db.filas(*resolver(QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("IdDeposito='1'"))), 0);
}

TEST_F(SentenciaConsulta, shouldDiscoverColumnsInReverseWithTheDescriptionAsSearchField) {
    db.ejecutar(QStringLiteral("CREATE TABLE T_LISTA (ID int NOT NULL, CODIGO varchar(10), "
                               "DESCRIPCION varchar(50), PRECIO money)"));
    EXPECT_EQ(resolver(QStringLiteral("T_LISTA"), {}, QStringLiteral("CODIGO")),
              QStringLiteral("SELECT TOP 1000 PRECIO,DESCRIPCION,CODIGO FROM T_LISTA  ORDER BY "
                             "DESCRIPCION"));
    EXPECT_EQ(campo, QStringLiteral("DESCRIPCION"));

    // Masks in use but the table has no record: the same discovery.
    usarMascaras();
    EXPECT_EQ(resolver(QStringLiteral("T_LISTA"), QStringLiteral("CODIGO='7'")),
              QStringLiteral("SELECT TOP 1000 PRECIO,DESCRIPCION,CODIGO FROM T_LISTA WHERE   "
                             "(CODIGO='7')  ORDER BY DESCRIPCION"));
    EXPECT_EQ(db.filas(*resolver(QStringLiteral("T_LISTA"), QStringLiteral("CODIGO='7'"))), 0);
}

TEST_F(SentenciaConsulta, shouldTakeStampColumnsOnlyInTheMutualsTable) {
    const QString columnas = QStringLiteral(
        "(ID int NOT NULL, CODIGO varchar(10), FECHAHORA_GRABACION datetime, NOMBRE varchar(20), "
        "DETALLE varchar(20), FECHAHORA_MODIFICACION datetime)");
    db.ejecutar(QStringLiteral("CREATE TABLE v_mv_mutuales ") + columnas);
    db.ejecutar(QStringLiteral("CREATE TABLE T_SELLOS ") + columnas);
    EXPECT_EQ(resolver(QStringLiteral("v_mv_mutuales")),
              QStringLiteral("SELECT TOP 1000 FECHAHORA_MODIFICACION,DETALLE,NOMBRE,"
                             "FECHAHORA_GRABACION,CODIGO,ID FROM v_mv_mutuales  ORDER BY "
                             "FECHAHORA_MODIFICACION"));
    EXPECT_EQ(resolver(QStringLiteral("T_SELLOS")),
              QStringLiteral("SELECT TOP 1000 DETALLE,NOMBRE,CODIGO FROM T_SELLOS  ORDER BY "
                             "DETALLE"));
}

TEST_F(SentenciaConsulta, shouldLeaveOutTheOrderingWhenNoColumnIsKnown) {
    db.ejecutar(QStringLiteral("CREATE TABLE T_SOLOID (ID int NOT NULL)"));
    const std::optional<QString> sentencia = resolver(QStringLiteral("T_SOLOID"));
    EXPECT_EQ(sentencia, QStringLiteral("SELECT TOP 1000  *  FROM T_SOLOID "));
    db.ejecutar(QStringLiteral("INSERT INTO T_SOLOID (ID) VALUES (3)"));
    EXPECT_EQ(db.filas(*sentencia), 1);
    // A search field given by the caller still orders the rows.
    EXPECT_EQ(resolver(QStringLiteral("T_SOLOID"), {}, QStringLiteral("ID")),
              QStringLiteral("SELECT TOP 1000  *  FROM T_SOLOID  ORDER BY ID"));
}

TEST_F(SentenciaConsulta, shouldPreferTheOptionalStatementOverDiscovery) {
    const QString opcional = QStringLiteral("SELECT Codigo, Descripcion FROM TA_CCOSTO");
    EXPECT_EQ(resolver(QStringLiteral("TA_CCOSTO"), {}, {}, opcional), opcional);
}

TEST_F(SentenciaConsulta, shouldReadMaskRecordsWithTheirTableRules) {
    usarMascaras({session::registroMascara(
        QStringLiteral("VENDEDORES ACTIVOS"), QStringLiteral("T_VENDEDORES"),
        QStringLiteral("|NOMBRE|IDVENDEDOR|"), QStringLiteral("IdVendedor <> '9'"))});
    db.ejecutar(QStringLiteral(
        "CREATE TABLE T_VENDEDORES (IdVendedor varchar(4) NOT NULL, Nombre varchar(30))"));

    // A record with a filter of its own ignores the caller's.
    EXPECT_EQ(resolver(QStringLiteral("T_VENDEDORES"), QStringLiteral("Nombre = 'x'")),
              QStringLiteral("SELECT TOP 1000 NOMBRE,IDVENDEDOR FROM T_VENDEDORES  with(nolock)  "
                             "WHERE IdVendedor <> '9' ORDER BY NOMBRE"));
    EXPECT_EQ(campo, QStringLiteral("NOMBRE"));
    EXPECT_EQ(resolver(QStringLiteral("VT_CLIENTES")),
              QStringLiteral("SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  "
                             "with(nolock)  WHERE Dada_De_Baja = 0 ORDER BY RAZON_SOCIAL"));
    EXPECT_EQ(resolver(QStringLiteral("vt_proveedores"), QStringLiteral("Codigo='1'"),
                       QStringLiteral("CODIGO")),
              QStringLiteral("SELECT TOP 1000 RAZON_SOCIAL,CODIGO FROM vt_proveedores  "
                             "with(nolock)  WHERE  (Codigo='1')  ORDER BY CODIGO"));
    const std::optional<QString> articulos = resolver(QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_EQ(articulos,
              QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  "
                             "with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION"));
    // The default records' table "V_TA_Tareas  " matches the trimmed name.
    EXPECT_EQ(resolver(QStringLiteral("V_TA_TAREAS")),
              QStringLiteral("SELECT TOP 1000 Descripcion,IdTarea FROM V_TA_TAREAS  with(nolock) "
                             " ORDER BY Descripcion"));
    for (const QString& tabla : {QStringLiteral("VT_CLIENTES"), QStringLiteral("V_MA_ARTICULOS"),
                                 QStringLiteral("T_VENDEDORES")}) {
        EXPECT_EQ(db.filas(*resolver(tabla)), 0) << tabla.toStdString();
    }
}

TEST_F(SentenciaConsulta, shouldAskForConfigurationOfSingleColumnMasks) {
    usarMascaras({session::registroMascara(QStringLiteral("UNA"), QStringLiteral("T_UNA"),
                                           QStringLiteral("|CODIGO|"), QString())});
    operador.answerMessage(ui::reply::OK);
    EXPECT_EQ(resolver(QStringLiteral("T_UNA")), std::nullopt);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, texto::ConfigurarConsulta);
    EXPECT_EQ(operador.dialogs()[0].title, QStringLiteral("Aviso al operador"));
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::Information);
    // With a search field given, a single column is enough.
    EXPECT_EQ(resolver(QStringLiteral("T_UNA"), {}, QStringLiteral("CODIGO")),
              QStringLiteral("SELECT TOP 1000 CODIGO FROM T_UNA  with(nolock)  ORDER BY CODIGO"));
}

TEST_F(SentenciaConsulta, shouldBuildTheDefaultStatementWhenTheMaskFileIsMissing) {
    controlador().gUsarMascarasConsultas = true;
    controlador().gRutaMascaraConsultas = carpeta.filePath(QStringLiteral("no-existe.tsf"));
    EXPECT_EQ(resolver(QStringLiteral("V_TA_DEPOSITO")),
              QStringLiteral("SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio FROM "
                             "V_TA_DEPOSITO  ORDER BY IDDEPOSITO"));
}

} // namespace
} // namespace estaciones::lookup
