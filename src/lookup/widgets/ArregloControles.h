#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <algorithm>

// The lookup windows' control arrays (CmbSearch): every element carries the
// array's name as its objectName and its index in the dynamic property
// "Index", so that a test or a widget inspector finds element 2 by name.
namespace estaciones::lookup::widgets {

inline constexpr char PropiedadIndice[] = "Index";

inline void nombrarElemento(QObject& elemento, const QString& arreglo, int indice) {
    elemento.setObjectName(arreglo);
    elemento.setProperty(PropiedadIndice, indice);
}

inline int indiceDe(const QObject& elemento) {
    return elemento.property(PropiedadIndice).toInt();
}

// Element `indice` of the array `arreglo` under `raiz`, or nullptr.
template <class T> T* elementoDe(const QObject& raiz, const QString& arreglo, int indice) {
    for (T* elemento : raiz.findChildren<T*>(arreglo)) {
        if (indiceDe(*elemento) == indice) {
            return elemento;
        }
    }
    return nullptr;
}

// Twips (the suite's unit of length) as pixels: 15 twips a pixel at 96 dpi.
constexpr int pixeles(double twips) {
    return static_cast<int>(twips / 15.0);
}
constexpr int twips(int pixeles) {
    return pixeles * 15;
}

} // namespace estaciones::lookup::widgets
