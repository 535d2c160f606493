#pragma once

#include "platform/core/Variant.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::session {

// The stored row of one configuration key.
struct FilaConfiguracion {
    Variant valor;
    Variant valorAux;
};

// What the per-key read of one key found: no row, or its row.
using LecturaClave = std::optional<FilaConfiguracion>;

// The configuration rows of a list of keys, read with one statement: a step
// that reads dozens of keys asks the table once instead of once per key.
// The server compares the column with each key's literal, as the per-key
// statement does, so its collation decides which rows match; its values come
// back as that statement gives them. Keys it cannot tell apart without that
// collation (not printable ASCII, equal but for case) and rows it cannot
// name are left to the per-key read. A read that failed keeps nothing: every
// key is then read on its own, and reports its error as it always did.
class ConfiguracionLeida {
public:
    // Reads `claves` (as the per-key reader receives them) from the
    // configuration table through `db`.
    ConfiguracionLeida(data::DB_Dll& db, const QStringList& claves);

    // The answer for `clave` when it was read here; nothing when it must be
    // read on its own (not in the list, or the read failed).
    std::optional<LecturaClave> lectura(const data::DB_Dll& db, const QString& clave) const;

    // While an instance is current, the main connection's Cfg answers from it.
    // The program's own writes of configuration end it (olvidarLecturaActual).
    class Vigente {
    public:
        explicit Vigente(const ConfiguracionLeida& lectura);
        ~Vigente();
        Vigente(const Vigente&) = delete;
        Vigente& operator=(const Vigente&) = delete;

    private:
        // The one current before: a step inside another gives it back.
        const ConfiguracionLeida* m_anterior;
    };
    static const ConfiguracionLeida* actual();
    static void olvidarLecturaActual();

private:
    const data::DB_Dll* m_db = nullptr;
    // By the key as the per-key statement names it (trimmed).
    QHash<QString, LecturaClave> m_filas;
};

// The per-key statement's key: the key trimmed. Keys whose statement the
// reader writes in capitals are left to it (the whole text changes case).
QString claveDeSentencia(const QString& clave);
bool seLeeEnMayusculas(const QString& clave);
// The configuration table's name, "TA_CONFIGURACION" when it was left blank.
const QString& asegurarTablaConfiguracion();
// The statement that reads one key (from gTablaConfiguracion()).
QString sentenciaDeUnaClave(const QString& clave);

} // namespace estaciones::session
