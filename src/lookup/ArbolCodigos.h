#pragma once

#include <QString>
#include <QStringList>

// The tree lookup's node keys and nesting rules.
namespace estaciones::lookup {

// The root's key; every other node's key is the root's key + its code (the
// prefix keeps numeric codes valid as keys).
inline const QString ClaveRaiz = QStringLiteral("A");
QString claveNodo(const QString& codigo);
// The code of a node's key.
QString codigoDeClave(const QString& clave);

// The family tree's fixed statement: code, description and the nearest
// shorter code that sorts before it ([relative]), in code order.
QString sentenciaFamilias();

// The general tree's parent of a new key: the existing key that is the
// longest prefix of it, ignoring letter case; the root when none is.
QString clavePadre(const QStringList& clavesExistentes, const QString& claveNueva);

// The parts of a node's text "code - description" that the incremental
// search compares: before and after the first "-", trimmed.
struct PartesNodo {
    QString codigo;
    QString descripcion;
};
PartesNodo partesNodo(const QString& textoNodo);

} // namespace estaciones::lookup
