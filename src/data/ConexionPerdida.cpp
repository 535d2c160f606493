#include "data/ConexionPerdida.h"

namespace estaciones::data {

const QStringList& estadosConexionPerdida() {
    static const QStringList estados{
        QStringLiteral("08S01"), QStringLiteral("08001"), QStringLiteral("08003"),
        QStringLiteral("08007"),
        // PostgreSQL's server ending the session: an administrator's
        // shutdown or restart (57P01), a crash (57P02), not accepting
        // connections yet (57P03).
        QStringLiteral("57P01"), QStringLiteral("57P02"), QStringLiteral("57P03")};
    return estados;
}

bool esConexionPerdida(const Error& error, const db::Errors& errores) {
    if (error.number() == errnum::ConnectionUnusable) {
        return true;
    }
    const QStringList& estados = estadosConexionPerdida();
    if (error.sqlState().isEmpty()) {
        // Not a provider failure: the collection holds older news.
        return false;
    }
    if (estados.contains(error.sqlState(), Qt::CaseInsensitive)) {
        return true;
    }
    for (const db::ProviderError& registro : errores) {
        if (estados.contains(registro.sqlState, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

} // namespace estaciones::data
