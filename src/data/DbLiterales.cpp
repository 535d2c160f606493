#include "data/DB_Dll.h"

#include "data/CodigosTipo.h"
#include "session/library/SharedObjects.h"

#include <algorithm>

namespace estaciones::data {

namespace {

Error argumentoInvalido() {
    return standardError(errnum::InvalidProcedureCall, QStringLiteral("DB_Dll"));
}

} // namespace

bool DB_Dll::adodate(const Variant& Qtype) const {
    return esCodigoDeTipo(Qtype, {7, 133, 137, 134, 135, 64});
}

bool DB_Dll::ADOText(const Variant& Qtype) const {
    return esCodigoDeTipo(Qtype, {8, 201, 203, 200, 202, 130, 129});
}

bool DB_Dll::ADONumeric(const Variant& Qtype) const {
    return esCodigoDeTipo(Qtype, {20, 14, 5, 3, 131, 4, 2, 16, 21, 19, 18, 17});
}

bool DB_Dll::ADOCurrency(const Variant& Qtype) const {
    return esCodigoDeTipo(Qtype, {6});
}

bool DB_Dll::ADOBoolean(const Variant& Qtype) const {
    return esCodigoDeTipo(Qtype, {11});
}

QString DB_Dll::ADOComilla(const Variant& Qtype) const {
    return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString();
}

Variant DB_Dll::SQLValue(const Variant& Valor, const QString& Tipo) const {
    const bool numero = Tipo == QLatin1String("@");
    if (Valor.isNull()) {
        return numero ? QStringLiteral("0") : QStringLiteral("NULL");
    }
    if (numero) {
        return library::textHelper()
            .toDecimal(Valor.toString())
            .toString()
            .replace(QLatin1Char(','), QLatin1Char('.'));
    }
    // Quotes inside the value are the caller's business (the statement
    // builders remove them); this routine never doubles them.
    const QString comilla = Tipo == QLatin1String("'") ? QStringLiteral("'") : QString();
    return comilla + Valor.toString() + comilla;
}

QString DB_Dll::stSTF(QString& rsName, bool rnPart) const {
    const qsizetype primero = rsName.indexOf(QLatin1Char('.'));
    if (rsName.count(QLatin1Char('.')) >= 2) {
        return StripOwner(rsName);
    }
    if (rnPart) {
        return primero < 0 ? rsName : rsName.mid(primero + 1);
    }
    if (primero < 0) {
        throw argumentoInvalido(); // the original's Left(name, -1)
    }
    return rsName.left(primero);
}

QString DB_Dll::AddBrackets(const QString& rObjName) const {
    if (!rObjName.startsWith(QLatin1Char('[')) && rObjName.contains(QLatin1Char(' '))) {
        return QLatin1Char('[') + rObjName + QLatin1Char(']');
    }
    return rObjName;
}

QString DB_Dll::StripConnect(const QString& rsTblName) const {
    const qsizetype flecha = rsTblName.indexOf(QLatin1String("->"));
    if (flecha < 0) {
        return rsTblName;
    }
    // The arrow and the blank before it go; an arrow in first place leaves
    // a negative length, an invalid argument as in the original.
    if (flecha == 0) {
        throw argumentoInvalido();
    }
    return rsTblName.left(flecha - 1);
}

QString DB_Dll::StripBrackets(const QString& rsObjName) const {
    if (rsObjName.startsWith(QLatin1Char('['))) {
        return rsObjName.mid(1, rsObjName.size() - 2);
    }
    return rsObjName;
}

QString DB_Dll::StripOwner(QString& rsTblName) const {
    const qsizetype punto = rsTblName.indexOf(QLatin1Char('.'));
    if (punto >= 0) {
        rsTblName = rsTblName.mid(punto + 1);
    }
    return rsTblName;
}

QString DB_Dll::StripFileName(const QString& rsFileName) const {
    // Paths written on Windows use "\"; this platform's use "/".
    const qsizetype separador = std::max(rsFileName.lastIndexOf(QLatin1Char('\\')),
                                         rsFileName.lastIndexOf(QLatin1Char('/')));
    return separador < 0 ? QString() : rsFileName.left(separador);
}

} // namespace estaciones::data
