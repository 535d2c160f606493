#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace estaciones::lookup {

// One record of the lookup mask file "consultas.tsf": fixed records of 1202
// bytes in Windows-1252 (name 100, table 100, columns 500, filter 500, CR LF).
struct RegistroMascara {
    QString nombre;   // display name, e.g. ARTICULOS
    QString tabla;    // table or view the record applies to
    QString columnas; // "|DESCRIPCION|IDARTICULO|"
    QString filtro;   // condition without WHERE; may be blank
};

inline constexpr int LargoRegistroMascara = 1202;

// The fields of one record's bytes, padding included (the records are
// written by the session's CrearMascaraConsultas).
RegistroMascara decodificarRegistroMascara(const QByteArray& bytes);

// A field as the controller reads it: codes 0 and 255 (padding that other
// programs leave) removed, then trimmed.
QString limpiarCampoMascara(const QString& campo);

// The first record, from the first on, whose table (codes 0 and 255 removed,
// trimmed) equals `tabla` trimmed, ignoring case. Nothing when the file holds
// no such record; throws Error 53 when the file cannot be opened.
std::optional<RegistroMascara> buscarRegistroMascara(const QString& archivo, const QString& tabla);

} // namespace estaciones::lookup
