#pragma once

#include <QString>

#include <optional>

namespace estaciones::data {

// What the access dialog shows and gives back.
struct DatosAcceso {
    QString servidor;
    QString baseDeDatos;
    QString usuario;
    QString contrasena;
    int plataforma = 0; // 0 SQL Server, 1 Oracle (the platform list's index)

    friend bool operator==(const DatosAcceso&, const DatosAcceso&) = default;
};

// The access dialog frmAcceso as the connection routine sees it, so that the
// data layer's logic never links QtWidgets: the program installs the Qt
// dialog, tests a scripted one.
class AccesoDialogo {
public:
    virtual ~AccesoDialogo() = default;
    // Shows the dialog modally, filled with `datos`. The edited values when
    // the operator accepted, nothing when he cancelled.
    virtual std::optional<DatosAcceso> pedirDatos(const DatosAcceso& datos) = 0;
};

// The program-wide dialog. Until one is installed the dialog counts as
// cancelled (with a warning on the log), so a forgotten set-up never blocks.
AccesoDialogo& accesoDialogo();
// Installs `dialogo` (not owned; nullptr restores the default) and returns
// the previous one.
AccesoDialogo* setAccesoDialogo(AccesoDialogo* dialogo);

} // namespace estaciones::data
