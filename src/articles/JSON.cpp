#include "articles/JSON.h"

#include "articles/JsonReader.h"

namespace estaciones {

namespace {
// Module-wide, as callers expect; one per thread so that a parse on another
// thread cannot change what a caller is reading.
thread_local QString errores;
} // namespace

std::shared_ptr<VariantObject> LeerJson(const QString& text) {
    errores.clear();
    if (text.size() > JsonReader::MaxLength) {
        errores = QStringLiteral("JSON text longer than %1 characters").arg(JsonReader::MaxLength);
        return nullptr;
    }
    JsonReader reader(text);
    reader.SaltarBlancos();
    std::shared_ptr<VariantObject> result;
    const QChar first = reader.position() <= text.size() ? text[reader.position() - 1] : QChar();
    if (first == u'{') {
        result = reader.LeerObjeto();
    } else if (first == u'[') {
        result = reader.LeerArreglo();
    } else {
        errores = QStringLiteral("Invalid JSON");
        return nullptr;
    }
    errores = reader.errors();
    return result;
}

const QString& ErroresJson() {
    return errores;
}

} // namespace estaciones
