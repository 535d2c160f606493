#include "data/DB_Dll.h"

#include "data/DataTexts.h"

namespace estaciones::data {

DB_Dll::DB_Dll() = default;

Variant DB_Dll::ArchivoErrores() const {
    return Variant(gLogErr);
}

void DB_Dll::setArchivoErrores(const Variant& archivo) {
    gLogErr = archivo.toString();
}

QString DB_Dll::pSQLOLEDB() const {
    return texts::proveedorSqlServer;
}

QString DB_Dll::pJETOLEDB40() const {
    return texts::proveedorJet40;
}

QString DB_Dll::pJETOLEDB35() const {
    return texts::proveedorJet35;
}

} // namespace estaciones::data
