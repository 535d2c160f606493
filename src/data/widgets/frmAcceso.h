#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace estaciones::data {

// The characters of a sysname (nvarchar(128)): the longest database or login
// name, and the longest password the server takes.
inline constexpr int LargoNombreServidor = 128;

// The access dialog "Control de Acceso": platform, server, database, user and
// password. It only collects the values; OpenServerADODB fills and reads it
// (through QtAccesoDialogo). Controls carry the original's names as objectName.
class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget* parent = nullptr);

    // True once closed with "Aceptar"; false with "Cancelar" or the window frame.
    bool Aceptar = false;

    QGroupBox* framAcceso;
    QComboBox* CboPlataformaDB;
    QLabel* Label2;
    QLineEdit* TxtServidor;
    QLabel* Label1;
    QLineEdit* TxtDbName;
    QLabel* lbUsuario;
    QLineEdit* TxtUserId;
    QLabel* lbcontrasena;
    QLineEdit* TxtUserPassword;
    QPushButton* bcAceptar;
    QPushButton* bcCancelar;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void bcAceptar_Click();
    void bcCancelar_Click();
};

} // namespace estaciones::data
