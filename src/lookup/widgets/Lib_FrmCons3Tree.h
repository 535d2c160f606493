#pragma once

#include "lookup/VentanasConsulta.h"
#include "platform/core/ErrorHandling.h"

#include <QDialog>
#include <QHash>
#include <QList>

#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace estaciones::lookup::widgets {

// The tree lookup window: hierarchical codes (families, positions, cost
// centres, accounts) as a tree under the root "Consulta..."; one node or
// several checked nodes are returned.
class Lib_FrmCons3Tree : public QDialog, public VentanaArbol {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Tree(QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    MiembrosArbol& miembros() override { return m; }
    void mostrarModal() override;

    // Builds the tree for SQL (again after every new search).
    void Form_Load();
    // The article family tree, from its own fixed statement.
    void ArmarTreeVFamilias();
    // Any tree of codes from SQL, nested by the longest prefix.
    void ArmarTreeVAutomatico();

    // The node of a key ("A" + code), or nullptr.
    QTreeWidgetItem* nodo(const QString& clave) const;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void reject() override;

private:
    static ErrorHandler informarEn(const QString& rutina);
    void construirControles();
    void prepararArbol();
    std::vector<std::vector<Variant>> leerFilas(const QString& sentencia);
    void agregarNodo(const QString& clavePadre, const QString& codigo, const QString& descripcion);
    void propagarMarca(QTreeWidgetItem* nodo);

    void CmbSearch_Change();
    void CmbSearch_NuevaBusqueda();
    void TreeV_NodeCheck(QTreeWidgetItem* nodo, int columna);
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void CmdNueva_Click();
    void aceptarMarcados();
    void aceptarSeleccionado();

    MiembrosArbol m;
    bool m_cargada = false;
    bool m_propagando = false;
    QString m_base;
    QString m_cola;
    int m_cajaActual = 0;
    // Nodes by key, and in the order they were added (the search walks it).
    QHash<QString, QTreeWidgetItem*> m_nodos;
    QList<QTreeWidgetItem*> m_orden;

    QTreeWidget* TreeV = nullptr;
    QComboBox* CmbSearch = nullptr;
    QWidget* picFields = nullptr;
    QLabel* lblFieldName = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* CmdNueva = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QMenu* MNU_Emergente = nullptr;
};

} // namespace estaciones::lookup::widgets
