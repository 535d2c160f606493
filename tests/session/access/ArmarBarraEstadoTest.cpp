#include "session/access/ArmarBarraEstado.h"
#include "app/BarraEstadoVentana.h"
#include "calendar/window/StatusPanels.h"
#include "session/SessionParameters.h"
#include "session/routines/RutinasTestSupport.h"

#include <QLabel>
#include <QStatusBar>

using namespace estaciones;
using namespace estaciones::session;
using calendar::window::statusPanel;

namespace {

class Barra : public test::ConEmpresaAbierta {
protected:
    void SetUp() override {
        ConEmpresaAbierta::SetUp();
        data::DB_Dll& db = data::sharedDb();
        db.gServidor = QStringLiteral("(local)");
        db.gUsuario = QStringLiteral("ADMIN");
        db.gDBName = empresa.nombre();
        calendar::window::addStatusPanels(sbStatusBar);
    }
    void TearDown() override {
        reiniciarParametrosSesion();
        ConEmpresaAbierta::TearDown();
    }

    void armar(const QString& mensaje = QString()) {
        app::BarraEstadoVentana barra(sbStatusBar);
        ArmarBarraEstado(barra, mensaje);
    }
    QString texto(const char* clave) { return statusPanel(sbStatusBar, clave)->text(); }
    QString ayuda(const char* clave) { return statusPanel(sbStatusBar, clave)->toolTip(); }
    QStringList cajas() {
        return columna("SELECT IdCajas + '|' + Descripcion FROM V_TA_Cajas ORDER BY IdCajas");
    }

    QStatusBar sbStatusBar;
};

TEST_F(Barra, anEmptyTillIsTillOneRegisteredAsCajaOneAndEveryPanelIsFilled) {
    gCaja.clear();
    armar(QStringLiteral("Listo"));
    EXPECT_EQ(gCaja, "1");
    EXPECT_EQ(cajas(), QStringList{"   1|CAJA 1"}) << "right-aligned in four characters";
    EXPECT_EQ(texto("MENSAJE"), "Listo");
    EXPECT_EQ(texto("SERVER"), "Srv: (local)");
    EXPECT_EQ(texto("USUARIO"), "Uid: ADMIN");
    EXPECT_EQ(texto("BASEDEDATOS"), "Db: EMPRESA");
    EXPECT_EQ(texto("CAJA"), "1 CAJA 1");
    EXPECT_EQ(texto("VERSION"), QStringLiteral("V." ESTACIONES_VERSION));
    for (const char* clave : {"SERVER", "USUARIO", "BASEDEDATOS", "CAJA"}) {
        EXPECT_EQ(ayuda(clave), texto(clave)) << clave;
    }
    EXPECT_TRUE(ayuda("MENSAJE").isEmpty());
    EXPECT_TRUE(ayuda("VERSION").isEmpty());
}

TEST_F(Barra, aTillTheTableKnowsIsShownWithItsDescriptionAndNotInsertedAgain) {
    ejecutar("INSERT INTO V_TA_Cajas (IdCajas, Descripcion) VALUES ('  12', 'Mostrador')");
    gCaja = QStringLiteral("12");
    armar();
    EXPECT_EQ(cajas(), QStringList{"  12|Mostrador"});
    EXPECT_EQ(texto("CAJA"), "12 Mostrador");
}

TEST_F(Barra, aSecondCallChangesOnlyTheMessage) {
    armar(QStringLiteral("primero"));
    const QString caja = texto("CAJA");
    data::sharedDb().gServidor = QStringLiteral("OTRO");
    gCaja = QStringLiteral("7");
    armar(QStringLiteral("segundo"));
    EXPECT_EQ(texto("MENSAJE"), "segundo");
    EXPECT_EQ(texto("SERVER"), "Srv: (local)");
    EXPECT_EQ(texto("CAJA"), caja);
    EXPECT_EQ(cajas(), QStringList{"   1|CAJA 1"}) << "till 7 is not registered by the second call";
}

TEST_F(Barra, aBarWithoutSomePanelsStillGetsTheOthers) {
    delete statusPanel(sbStatusBar, QStringLiteral("USUARIO"));
    delete statusPanel(sbStatusBar, QStringLiteral("MENSAJE"));
    armar(QStringLiteral("sin lugar"));
    EXPECT_EQ(texto("SERVER"), "Srv: (local)");
    EXPECT_EQ(texto("CAJA"), "1 CAJA 1");
    EXPECT_EQ(ayuda("CAJA"), "1 CAJA 1");
    EXPECT_EQ(texto("VERSION"), QStringLiteral("V." ESTACIONES_VERSION));
}

TEST_F(Barra, aTillThatCannotBeRegisteredShowsItsNumberAlone) {
    // Five characters do not fit the four of IdCajas: the insertion fails
    // (a truncation, which the data layer passes over silently).
    gCaja = QStringLiteral("12345");
    armar();
    EXPECT_TRUE(cajas().isEmpty());
    EXPECT_EQ(texto("CAJA"), "12345 ");
    EXPECT_EQ(texto("VERSION"), QStringLiteral("V." ESTACIONES_VERSION));
}

// The apostrophe goes in as data: the till is registered as typed, found
// again at the next start, and never registered twice.
TEST_F(Barra, aTillWithAnApostropheCannotBreakOutOfTheStatement) {
    gCaja = QStringLiteral("9'");
    armar();
    EXPECT_EQ(cajas(), QStringList{"  9'|CAJA 9'"});
    EXPECT_EQ(texto("CAJA"), "9' CAJA 9'");
    statusPanel(sbStatusBar, "SERVER")->clear();
    armar();
    EXPECT_EQ(cajas(), QStringList{"  9'|CAJA 9'"});
}

} // namespace
