#include "data/DB_Dll.h"

#include <functional>

namespace estaciones::data {

namespace {

bool mismoNombre(const Variant& delCatalogo, const QString& buscado) {
    return delCatalogo.toString().trimmed().compare(buscado.trimmed(), Qt::CaseInsensitive) == 0;
}

// Opens a schema rowset and walks it until a row's `columna` names
// `buscado`. Errors go to the error treatment; going on after a failed open
// has nothing to walk.
bool catalogoNombra(DB_Dll& datos, const std::function<db::Recordset()>& abrir,
                    const QString& columna, const QString& buscado) {
    HandledSteps pasos([&datos](const Error& error) {
        return datos.TratamientoErrores(error, std::nullopt, QStringLiteral("VerificaCampos"));
    });
    db::Recordset esquema;
    if (!pasos.run([&] { esquema = abrir(); }) || pasos.lastStepFailed()) {
        return false;
    }
    bool existe = false;
    if (!pasos.run([&] {
            for (; !existe && !esquema.eof(); esquema.moveNext()) {
                existe = mismoNombre(esquema[columna].value(), buscado);
            }
        })) {
        return false;
    }
    ignoringErrors([&] { esquema.close(); });
    return existe;
}

} // namespace

bool DB_Dll::ExisteTablaDB(const QString& Tabla) {
    return catalogoNombra(
        *this, [this] { return gCnn.openSchema(db::adSchemaTables); }, QStringLiteral("TABLE_NAME"),
        Tabla);
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo) {
    // The Oracle catalogue is not asked: its columns are taken as present.
    if (gCnn.connectionString().contains(QLatin1String("ORACLE"), Qt::CaseInsensitive)) {
        return true;
    }
    // A connection opened from a given string may leave gDBName blank: then
    // the current database's catalogue is the one asked.
    const Variant catalogo = gDBName.trimmed().isEmpty() ? Variant() : Variant(gDBName);
    return catalogoNombra(
        *this,
        [&] {
            return gCnn.openSchema(db::adSchemaColumns, {catalogo, Variant(), Tabla, Variant()});
        },
        QStringLiteral("COLUMN_NAME"), Campo);
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar,
                        const QString& Tipo, bool PermiteNulos, const Variant& ValorDefault) {
    if (Agregar && ExisteTablaDB(Tabla) && !ExisteCampoDB(Tabla, Campo)) {
        AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    }
    return true;
}

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo,
                      bool PermiteNulos, const Variant& ValorDefault) {
    HandledSteps pasos([this](const Error& error) {
        return TratamientoErrores(error, std::nullopt, QStringLiteral("errAddField"));
    });
    QString sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo +
                  QLatin1Char(' ') + Tipo +
                  (PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null "));
    if (!ValorDefault.isEmpty()) {
        const QString valor =
            ValorDefault.isNull() ? QStringLiteral("NULL") : ValorDefault.toString();
        sql += QStringLiteral(" CONSTRAINT DF_") + Tabla.trimmed() + QLatin1Char('_') +
               Campo.trimmed() + QStringLiteral(" DEFAULT (") + valor + QLatin1Char(')');
    }
    std::int64_t filas = 0;
    pasos.run([&] { EjecutaConsultaSQL(sql, filas); });
}

} // namespace estaciones::data
