#pragma once

#include "data/SharedDb.h"
#include "platform/core/ErrorHandling.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QVariant>

#include <gtest/gtest.h>

namespace estaciones::test {

// The shared data access object open on a fresh company database, with a
// scripted operator and a private temporary folder.
class ConEmpresaAbierta : public ::testing::Test {
protected:
    void SetUp() override {
        data::DB_Dll& db = data::sharedDb();
        // The data layer's error log goes to this test's folder.
        db.gLogErr = temporal.filePath(QStringLiteral("TSERR.LOG"));
        db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
    }
    void TearDown() override { data::releaseSharedDb(); }

    void ejecutar(const QString& texto) { data::sharedDb().gCnn.execute(texto); }

    // The first column of every row of `consulta`, as text ("<null>" for Null).
    QStringList columna(const QString& consulta) {
        QStringList valores;
        db::Recordset rs = data::sharedDb().gCnn.execute(consulta);
        while (rs.state() == db::adStateOpen && !rs.eof()) {
            const Variant v = rs.fields(0).value();
            valores << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            rs.moveNext();
        }
        return valores;
    }

    EmpresaDb empresa;
    ScopedEnvFolder temporal{"TEMP"};
    ScriptedOperator operador;
};

} // namespace estaciones::test
