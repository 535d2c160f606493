#include "ProgramaExterno.h"

#include <QDir>
#include <QProcess>

namespace test {

QString carpetaCompilacion() {
    return qEnvironmentVariable("ESTACIONES_BUILD_DIR");
}

Resultado ejecutar(const QString& programa, const QStringList& argumentos,
                   QProcessEnvironment entorno, const QStringList& envoltorio) {
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess proceso;
    proceso.setProcessEnvironment(entorno);
    if (envoltorio.isEmpty()) {
        proceso.start(programa, argumentos);
    } else {
        proceso.start(envoltorio.first(), envoltorio.mid(1) + QStringList{programa} + argumentos);
    }
    Resultado resultado;
    if (!proceso.waitForFinished(120000)) {
        proceso.kill();
        proceso.waitForFinished();
    } else if (proceso.exitStatus() == QProcess::NormalExit) {
        resultado.codigo = proceso.exitCode();
    }
    resultado.salida = QString::fromUtf8(proceso.readAllStandardOutput());
    resultado.errores = QString::fromUtf8(proceso.readAllStandardError());
    return resultado;
}

QString consultar(const QString& datos, const QString& baseDeDatos, const QString& sentencia) {
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("ESTACIONES_DATOS"), datos);
    const Resultado r = ejecutar(
        QDir(carpetaCompilacion()).filePath(QStringLiteral("estaciones-sql")),
        {QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"), baseDeDatos,
         QStringLiteral("-h"), QStringLiteral("-1"), QStringLiteral("-W"), QStringLiteral("-b"),
         QStringLiteral("-Q"), QStringLiteral("SET NOCOUNT ON ") + sentencia},
        entorno);
    if (r.codigo != 0) {
        return QStringLiteral("<error> ") + r.salida + r.errores;
    }
    return r.salida.split(u'\n', Qt::SkipEmptyParts).value(0).trimmed();
}

} // namespace test
