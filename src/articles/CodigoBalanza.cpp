#include "articles/CodigoBalanza.h"

#include "articles/CodigoArticulo.h"

#include <array>
#include <cmath>

namespace estaciones::articulos {

namespace {

enum class Resultado {
    // quantity = sign: the label carries no value, or (the "0PPPPP" and
    // "0QQQQQ" layouts of five code positions) one this program ignores
    CantidadSigno,
    CantidadPorValor,     // quantity = sign x value
    ImporteYCantidadSigno // amount = value, quantity = sign
};

struct Disposicion {
    const char* patron;
    int desdeCodigo; // offset of the article part from the first label position
    int largoCodigo;
    Resultado resultado;
};

// Offsets count from the first position after the "2"; the value, when
// there is one, is always the five digits at offset 6.
constexpr int DesdeValor = 6;
constexpr int LargoValor = 5;
constexpr std::array<Disposicion, 12> disposiciones{{
    {"CCCC0TTTTTT", 0, 4, Resultado::CantidadSigno},
    {"CCCCCTTTTTT", 0, 5, Resultado::CantidadSigno},
    {"CCCCC0PPPPP", 0, 4, Resultado::CantidadSigno},
    {"CCCCC0QQQQQ", 0, 5, Resultado::CantidadSigno},
    {"CCCCCCPPPPP", 0, 6, Resultado::CantidadPorValor},
    {"CCCCCTTTTT", 1, 5, Resultado::ImporteYCantidadSigno},
    {"CCCCTTTTT", 2, 4, Resultado::ImporteYCantidadSigno},
    {"CCCCCCQQQQQ", 0, 6, Resultado::CantidadPorValor},
    {"00CCCCPPPPP", 2, 4, Resultado::CantidadPorValor},
    {"00CCCCQQQQQ", 2, 4, Resultado::CantidadPorValor},
    {"0CCCCCPPPPP", 1, 5, Resultado::CantidadPorValor},
    {"0CCCCCQQQQQ", 1, 5, Resultado::CantidadPorValor},
}};

const Disposicion* disposicionDe(const QString& patron) {
    for (const Disposicion& d : disposiciones) {
        if (patron.compare(QLatin1String(d.patron), Qt::CaseInsensitive) == 0) {
            return &d;
        }
    }
    return nullptr;
}

double divisor(int decimales) {
    return (decimales >= 0 && decimales <= 4) ? std::pow(10.0, decimales) : 1.0;
}

} // namespace

const QStringList& patronesBalanza() {
    static const QStringList patrones = [] {
        QStringList lista;
        for (const Disposicion& d : disposiciones) {
            lista << QLatin1String(d.patron);
        }
        return lista;
    }();
    return patrones;
}

std::optional<LecturaBalanza> leerCodigoBalanza(const QString& codigo, const QString& patron,
                                                int decimales) {
    const Disposicion* disposicion = disposicionDe(patron.trimmed());
    if (!disposicion) {
        return std::nullopt;
    }
    // inicio: 0-based index of the first label position (after "2" or "-2").
    int inicio = 0;
    double signo = 1;
    if (codigo.size() == 13 && codigo.startsWith(u'2') && soloDigitos(codigo)) {
        inicio = 1;
    } else if (codigo.size() == 14 && codigo.startsWith(QLatin1String("-2")) &&
               soloDigitos(codigo.mid(1))) {
        inicio = 2;
        signo = -1;
    } else {
        return std::nullopt;
    }
    LecturaBalanza lectura;
    lectura.codigo = codigo.mid(inicio + disposicion->desdeCodigo, disposicion->largoCodigo);
    lectura.cantidad = signo;
    const double valor =
        codigo.mid(inicio + DesdeValor, LargoValor).toDouble() / divisor(decimales);
    switch (disposicion->resultado) {
    case Resultado::CantidadSigno:
        break;
    case Resultado::CantidadPorValor:
        lectura.cantidad = signo * valor;
        break;
    case Resultado::ImporteYCantidadSigno:
        lectura.importe = valor;
        break;
    }
    return lectura;
}

} // namespace estaciones::articulos
