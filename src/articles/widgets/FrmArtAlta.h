#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace estaciones::articulos {

// The article quick-registration window ("Articulos"): the operator scans or
// types a barcode, fills description and price (or fetches the description
// from the barcode master service with F7) and registers the article with F2.
// Shown modally by its caller, which then reads pAceptar and CodArtNuevo.
// The window loads (reads its configuration) when it is created.
class FrmArtAlta : public QDialog {
    Q_OBJECT
public:
    explicit FrmArtAlta(QWidget* parent = nullptr);

    bool pAceptar = false;      // closed with F2 / CmdAlta
    QString CodArtNuevo;        // the new article's number; "" when none was registered
    QString pIdLista;           // price list for the price row; empty: none
    bool DesdeConsulta = false; // opened from a lookup window
    QString Codigo;             // what PonerCodigo places in the barcode box

    // Puts Codigo trimmed into the barcode box and empties Codigo.
    void PonerCodigo();
    // Registers the article from the boxes (sets CodArtNuevo).
    void AltaArticulos();
    // Asks the master service for `codigoBarra`; the description, or "" with
    // pError set and Mensaje explaining why.
    QString ObtenerDescMaestra(const QString& codigoBarra, bool& pError, QString& Mensaje);

    void CmdAlta_Click();
    void CmdCancelar_Click();
    void CmdMaestro_Click();

    // The box of a field: "Codigo", "Descripcion" or "Precio".
    QLineEdit* campo(const QString& nombre) const;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cargar();
    void mostrarProceso(const QString& texto);

    QFrame* FramAlta;
    QLabel* LblProceso;
    QPushButton* CmdMaestro;
    QPushButton* CmdAlta;
    QPushButton* CmdCancelar;
};

} // namespace estaciones::articulos
