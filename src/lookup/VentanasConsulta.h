#pragma once

#include "platform/core/Variant.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// What the lookup controller hands to its two windows and reads back. The
// controller's logic sees only these interfaces; the Qt windows implement
// them (lookup/widgets) and tests may put recording windows in their place.
namespace estaciones::lookup {

// The list window's public members, in the suite's order. Lists that the
// original could release ("Nothing") are optional: nullopt is a released list.
struct MiembrosLista {
    Variant StkNivel1 = 0;
    Variant StkNivel2 = 0;
    Variant StkNivel3 = 0;
    Variant StkNivel4 = 0;
    QString MuestraStock;
    QString SQL;
    QString CampoDevuelto;
    std::optional<QStringList> CmpsDevueltos = QStringList{};
    bool CheckBoxes = false;
    QString gConnString;
    Variant ValorDevuelto;
    QString FiltroInicial;
    QString CampoBusqueda;
    bool OrdenarPorLwv = false;
    std::optional<QStringList> Valores = QStringList{};
    std::optional<QList<double>> Cantidades = QList<double>{};
    bool UsaCantidades = false;
    QString ValoresDefault;
    bool CfgUsaConsultaLIKE = false;
    bool GrabarCfg = false;
    bool UsarUDBC = false;
};

// One row of an option list: its text and whether it starts checked.
struct OpcionLista {
    QString texto;
    bool marcada = false;
};

// An option list shown without a query (CheckOpciones, MenuOpciones,
// ConsultaDesdeArchivo).
struct ListaOpciones {
    QString titulo;
    bool checkBoxes = false;
    QList<OpcionLista> opciones;
    int anchoTwips = 0; // the window's width; the window keeps it within the screen
};

class VentanaLista {
public:
    virtual ~VentanaLista() = default;
    virtual MiembrosLista& miembros() = 0;
    // Clears the check mark of every row; loads the rows first when needed.
    virtual void desmarcarTodas() = 0;
    // Loads (when not loaded yet) and shows the window modally.
    virtual void mostrarModal() = 0;
    // Prepares the window as an option list and shows it modally.
    virtual void mostrarOpciones(const ListaOpciones& lista) = 0;
    // Unloads the window (saves the widths when asked, empties the list).
    virtual void descargar() = 0;
};

// The tree window's public members.
struct MiembrosArbol {
    QString SQL;
    QString CampoDevuelto;
    bool CheckBoxes = false;
    Variant ValorDevuelto;
    std::optional<QStringList> Valores = QStringList{};
};

class VentanaArbol {
public:
    virtual ~VentanaArbol() = default;
    virtual MiembrosArbol& miembros() = 0;
    virtual void mostrarModal() = 0;
};

using FabricaVentanaLista = std::function<std::unique_ptr<VentanaLista>()>;
using FabricaVentanaArbol = std::function<std::unique_ptr<VentanaArbol>()>;

// The windows the program's controllers create, installed at start-up by the
// Qt windows' library. Unset, a lookup shows nothing and returns nothing.
FabricaVentanaLista& fabricaVentanaLista();
FabricaVentanaArbol& fabricaVentanaArbol();

} // namespace estaciones::lookup
