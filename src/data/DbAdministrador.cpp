#include "data/DB_Dll.h"

#include "data/DataTexts.h"
#include "data/ValorNumerico.h"
#include "platform/ui/OperatorInterface.h"

namespace estaciones::data {

void DB_Dll::validarAdministrador(HandledSteps& pasos, bool ValidaAdmin, bool MuestraError) {
    if (!ValidaAdmin) {
        gEsAdmin = true;
        return;
    }
    // Without a database or a users table gEsAdmin keeps its value.
    if (gDBName.trimmed().isEmpty()) {
        return;
    }
    if (!pasos.run([&] { gCnn.setDefaultDatabase(gDBName); })) {
        return;
    }
    bool existe = false;
    if (!pasos.run([&] { existe = existeTablaProvisional(QStringLiteral("TA_USUARIOS")); }) ||
        !existe) {
        return;
    }
    if (!MuestraError) {
        gEsAdmin = true;
        return;
    }
    pasos.run([&] {
        const Variant administrador =
            datosTablaProvisional(QStringLiteral("ta_usuarios"), gUsuario,
                                  QStringLiteral("Administrador"), QStringLiteral("nombre"));
        gEsAdmin = valorNumerico(administrador.toString()) == 1.0;
    });
}

// INTERIM (replaced by ExisteTablaDB when the schema inspection lands): walks
// the connection's table schema as ExisteTablaDB does, errors through
// TratamientoErrores with the routine name "VerificaCampos".
bool DB_Dll::existeTablaProvisional(const QString& tabla) {
    HandledSteps pasos([this](const Error& error) {
        return TratamientoErrores(error, std::nullopt, QStringLiteral("VerificaCampos"));
    });
    bool existe = false;
    pasos.run([&] {
        db::Recordset esquema = gCnn.openSchema(db::adSchemaTables);
        for (; !esquema.eof() && !existe; esquema.moveNext()) {
            existe = esquema[QStringLiteral("TABLE_NAME")].value().toString().trimmed().compare(
                         tabla.trimmed(), Qt::CaseInsensitive) == 0;
        }
        esquema.close();
    });
    return existe;
}

// INTERIM (replaced by DatosTabla with a string key and UsaTrim when the table
// look-ups land): the same SELECT, the same "Aviso al Operador" dialog on an
// error; Empty when the connection is closed, "" when no row matches.
Variant DB_Dll::datosTablaProvisional(const QString& tabla, const QString& valorBuscado,
                                      const QString& campoDevuelto, const QString& campo) {
    HandledSteps pasos([](const Error& error) {
        return ui::operatorInterface().messageBox(error.description(),
                                                  ui::style::AbortRetryIgnore | ui::style::Critical,
                                                  texts::avisoAlOperador);
    });
    // Apostrophes doubled: a user name must not be able to break the statement.
    QString clave = valorBuscado.trimmed();
    clave.replace(u'\'', QStringLiteral("''"));
    const QString sql = QStringLiteral("SELECT TOP 1 * FROM ") + tabla +
                        QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") + campo +
                        QStringLiteral(")) ='") + clave + QStringLiteral("' ");
    if (gCnn.state() != db::adStateOpen) {
        return Variant();
    }
    Variant valor = QString();
    db::Recordset rs;
    if (!pasos.run([&] { rs.open(sql, gCnn, db::adOpenForwardOnly, db::adLockReadOnly); })) {
        return valor;
    }
    if (rs.state() != db::adStateOpen || rs.bof()) {
        return valor;
    }
    pasos.run([&] {
        const Variant leido = rs[campoDevuelto].value();
        valor = leido.isNull() ? QString() : leido.toString();
    });
    ignoringErrors([&] { rs.close(); });
    return valor;
}

} // namespace estaciones::data
