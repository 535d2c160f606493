#pragma once

#include "lookup/VentanasConsulta.h"
#include "platform/core/ErrorHandling.h"
#include "platform/db/Recordset.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QTreeView;

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::lookup::widgets {

class FilasLista;

// The list lookup window: the rows of one statement in a report list, one
// search box per column kept over its column, server searches with F5,
// check boxes and quantities. The controller configures it through
// miembros(), shows it modally and reads the results back.
class Lib_FrmCons3 : public QDialog, public VentanaLista {
    Q_OBJECT
public:
    explicit Lib_FrmCons3(QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    MiembrosLista& miembros() override { return m; }
    void desmarcarTodas() override;
    void mostrarModal() override;
    void mostrarOpciones(const ListaOpciones& lista) override;
    void descargar() override;

    // Loads the rows of SQL (again after every new search).
    void Form_Load();
    // Columns and search boxes from the open recordset.
    void Encolumnar();
    // Reads every row of the open recordset (the statement's TOP limits them).
    void Leer(int Cdesde, int Cuantas);
    // Aligns the search boxes with the columns and sizes the window.
    void CalcularAncho();
    // 1-based index of the first row whose column `Clave` (0 the first)
    // starts with the trimmed `QueValor`, ignoring case; 0 when none.
    int Busqueda(int Clave, const QString& QueValor) const;
    // 1-based index of the column headed `Columna` (trimmed, any case); 0 none.
    int IndiceColumna(const QString& Columna) const;

    // The folder of CONSULTASLEN.TSF (the program's by default).
    QString carpetaAnchos;

    // The statement the window was opened with (kept for "&Nueva Busqueda").
    const QString& sentenciaInicial() const { return m_sentenciaInicial; }
    const QString& tabla() const { return m_tabla; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;
    void reject() override;

private:
    // The error dialog of a handler, under the handler's routine name.
    static ErrorHandler informarEn(const QString& rutina);
    void construirControles();
    QComboBox* cajaBusqueda(int indice);
    QList<QComboBox*> cajasVisibles() const;
    void alinearCajas();
    void aplicarAnchosGuardados();
    void ordenarPor(int columna);
    void ordenar(int columna, Qt::SortOrder orden);
    void marcarCajaActual(QComboBox* caja, bool activa);

    // Handlers, each behind one guard.
    void CmbSearch_Change(int indice);
    void CmbSearch_NuevaBusqueda(int indice);
    bool ListView1_KeyDown(QKeyEvent* evento);
    void informarFaltante();
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void CmdTodos_Click();
    void CmdNueva_Click();
    void CmdNuevo_Click();
    void HScroll1_Change(int valor);

    // The row shown at the cursor, -1 when none.
    int filaActual() const;
    void irAFila(int fila);
    void cambiarCantidad(int fila, double cambio);
    void pedirCantidad(int fila);
    QString textoCelda(int fila, int columna1) const;
    data::DB_Dll& datos();

    MiembrosLista m;
    bool m_cargada = false;
    bool m_esArticulo = false;
    QString m_sentenciaInicial;
    QString m_sentenciaBase;
    QString m_tabla;
    int m_cajaActual = 0;
    int m_filas = 0;
    bool m_ordenAscendente = false;
    db::Recordset m_rs;
    std::unique_ptr<data::DB_Dll> m_udbc;

    QLabel* Label1 = nullptr;
    QLabel* lblFieldName = nullptr;
    QWidget* m_recorte = nullptr; // clips picFields as HScroll1 moves it
    QWidget* picFields = nullptr;
    FilasLista* m_filasLista = nullptr;
    QTreeView* ListView1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* CmdTodos = nullptr;
    QPushButton* CmdNuevo = nullptr;
    QPushButton* CmdNueva = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QMenu* MNU_Emergente = nullptr;
};

} // namespace estaciones::lookup::widgets
