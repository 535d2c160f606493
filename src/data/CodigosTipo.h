#pragma once

#include "platform/core/Variant.h"

#include <QString>

#include <initializer_list>

namespace estaciones::data {

// Whether a type code is one of `codigos`. Callers pass the code as a number
// or as its decimal text; both compare alike as text.
inline bool esCodigoDeTipo(const Variant& codigo, std::initializer_list<int> codigos) {
    const QString texto = codigo.isObject() ? QString() : codigo.toString().trimmed();
    for (const int candidato : codigos) {
        if (texto == QString::number(candidato)) {
            return true;
        }
    }
    return false;
}

} // namespace estaciones::data
