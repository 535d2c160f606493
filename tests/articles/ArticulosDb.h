#pragma once

#include "articles/AjustesBusquedaArticulo.h"
#include "data/SharedDb.h"
#include "session/Configuracion.h"
#include "session/OpcionesSesion.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <gtest/gtest.h>

namespace estaciones::test {

// The shared data access object opened on a fresh company database, with the
// session options and the lookup's module settings back at their defaults.
class ConArticulos : public ::testing::Test {
protected:
    void SetUp() override {
        session::gTablaConfiguracion() = QStringLiteral("ta_configuracion");
        session::opciones() = session::OpcionesSesion{};
        session::opciones().gUNegocio = QStringLiteral("   1");
        articulos::ajustesBusquedaArticulo() = articulos::AjustesBusquedaArticulo{};
        articulos::ajustesBusquedaArticulo().programa = QStringLiteral("stock");
        data::DB_Dll& db = data::sharedDb();
        // The data layer's error log goes to this test's folder.
        db.gLogErr = temporal.filePath(QStringLiteral("TSERR.LOG"));
        db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
    }
    void TearDown() override {
        data::releaseSharedDb();
        session::gTablaConfiguracion().clear();
        session::opciones() = session::OpcionesSesion{};
        articulos::ajustesBusquedaArticulo() = articulos::AjustesBusquedaArticulo{};
    }

    static QString id(const QString& numero) { return numero.rightJustified(25, u' '); }

    void ejecutar(const QString& texto) { data::sharedDb().gCnn.execute(texto); }

    // Values of the first row of `consulta`, as text ("" for Null); empty
    // when there is no row.
    QStringList fila(const QString& consulta) {
        db::Recordset rs = data::sharedDb().gCnn.execute(consulta);
        QStringList valores;
        if (rs.state() == db::adStateOpen && !rs.eof()) {
            for (int i = 0; i < rs.fields().count(); ++i) {
                valores << rs.fields(i).value().toString();
            }
        }
        return valores;
    }
    int contar(const QString& tabla) {
        return fila(QStringLiteral("SELECT COUNT(*) FROM ") + tabla).value(0).toInt();
    }

    test::EmpresaDb empresa;
    test::ScopedEnvFolder temporal{"TEMP"};
    test::ScriptedOperator operador;
};

} // namespace estaciones::test
