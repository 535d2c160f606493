#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace test {

// The demo command line of the README.
inline const QString lineaDemo = QStringLiteral(
    "@server=(local); @dbname=DEMO; @usuario=ADMIN; @Password=; @ParametroAdicional=; "
    "@Caja=1;kelp@");

// The built programs, found through ESTACIONES_BUILD_DIR ("" when unset).
QString carpetaCompilacion();

struct Resultado {
    int codigo = -1; // exit code; -1 when it crashed or did not end in time
    QString salida;  // stdout
    QString errores; // stderr
};

// Runs `programa` with `argumentos` in `entorno` (offscreen platform added)
// and waits up to two minutes.
Resultado ejecutar(const QString& programa, const QStringList& argumentos,
                   QProcessEnvironment entorno, const QStringList& envoltorio = {});

// One value of a query run with estaciones-sql on the embedded engine of
// `datos` (the first column of the first row, trimmed).
QString consultar(const QString& datos, const QString& baseDeDatos, const QString& sentencia);

} // namespace test
