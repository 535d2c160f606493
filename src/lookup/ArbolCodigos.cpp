#include "lookup/ArbolCodigos.h"

namespace estaciones::lookup {

QString claveNodo(const QString& codigo) {
    return ClaveRaiz + codigo;
}

QString codigoDeClave(const QString& clave) {
    return clave.mid(1);
}

QString sentenciaFamilias() {
    return QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, ") +
           QStringLiteral("(SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  ") +
           QStringLiteral(" Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) "
                          "< Len(LTrim(RTrim(b.IdFamilia)))) ") +
           QStringLiteral(" ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b "
                          "Where IdFamilia<>'' ORDER BY IdFamilia");
}

QString clavePadre(const QStringList& clavesExistentes, const QString& claveNueva) {
    QString padre = ClaveRaiz;
    for (const QString& clave : clavesExistentes) {
        if (clave.size() > padre.size() && claveNueva.startsWith(clave, Qt::CaseInsensitive)) {
            padre = clave;
        }
    }
    return padre;
}

PartesNodo partesNodo(const QString& textoNodo) {
    const qsizetype guion = textoNodo.indexOf(u'-');
    if (guion < 0) {
        return {textoNodo.trimmed(), QString()};
    }
    return {textoNodo.left(guion).trimmed(), textoNodo.mid(guion + 1).trimmed()};
}

} // namespace estaciones::lookup
