#include "data/DB_Dll.h"

#include "data/DiccionarioOracle.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace estaciones::data {

QString DB_Dll::SS_TSinonimos(const QString& Sentencia) {
    EntornoSinonimos entorno;
    entorno.esAdministrador = gEsAdmin;
    if (!gEsAdmin) {
        entorno.confidencialidad = [this] {
            return m_lectorConfiguracion &&
                   m_lectorConfiguracion(QStringLiteral("SS_CONFIDENCIALIDAD"))
                           .trimmed()
                           .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
        };
        if (!m_programasExentos) {
            m_programasExentos = ProgramasExentos::configurados();
        }
        if (!m_programaEnCurso) {
            m_programaEnCurso = QCoreApplication::instance()
                                    ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                                    : QString();
        }
        entorno.exentoDeposito =
            ProgramasExentos::incluye(m_programasExentos->deposito, *m_programaEnCurso);
        entorno.exentoFamilias =
            ProgramasExentos::incluye(m_programasExentos->familias, *m_programaEnCurso);
    }
    return reescribirSinonimos(Sentencia, entorno);
}

QString DB_Dll::ORACLE_Dicc(const QString& Valor) {
    if (!gConnString.contains(QLatin1String("ORACLE"), Qt::CaseInsensitive)) {
        return Valor;
    }
    return traducirParaOracle(Valor);
}

void DB_Dll::setLectorConfiguracion(LectorConfiguracion lector) {
    m_lectorConfiguracion = std::move(lector);
}

void DB_Dll::setProgramasExentos(const ProgramasExentos& exentos) {
    m_programasExentos = exentos;
}

void DB_Dll::setProgramaEnCurso(const QString& programa) {
    m_programaEnCurso = programa;
}

} // namespace estaciones::data
