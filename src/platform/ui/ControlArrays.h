#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <algorithm>

// The windows' control arrays (the calendar's OptTemp, OptDiaN, the status
// bar's Panels, the lookups' CmbSearch, ...): every element carries the array's name as its
// objectName and its index in the dynamic property "Index", so that a test or
// a widget inspector finds "OptDia3" element 14 by name.
//
// The year combo is named CmbAnio: Qt's meta-object compiler cuts identifiers
// at a non-ASCII letter, so "ñ" cannot appear in the window's slot names, and
// one spelling is kept for the member, the routines and the objectName.
namespace estaciones::ui {

inline constexpr char IndexProperty[] = "Index";

inline void nameArrayElement(QObject& element, const QString& arrayName, int index) {
    element.setObjectName(arrayName);
    element.setProperty(IndexProperty, index);
}

inline int arrayIndexOf(const QObject& element) {
    return element.property(IndexProperty).toInt();
}

// Element `index` of the array `arrayName` under `root`, or nullptr.
template <class T> T* arrayElement(const QObject& root, const QString& arrayName, int index) {
    for (T* element : root.findChildren<T*>(arrayName)) {
        if (arrayIndexOf(*element) == index) {
            return element;
        }
    }
    return nullptr;
}

// Every element of the array, by index.
template <class T> QList<T*> arrayElements(const QObject& root, const QString& arrayName) {
    QList<T*> elements = root.findChildren<T*>(arrayName);
    std::sort(elements.begin(), elements.end(),
              [](T* a, T* b) { return arrayIndexOf(*a) < arrayIndexOf(*b); });
    return elements;
}

} // namespace estaciones::ui
