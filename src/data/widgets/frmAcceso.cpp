#include "data/widgets/frmAcceso.h"

#include "data/DataTexts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace estaciones::data {

namespace {
template <class W> W* nombrado(W* widget, const char* nombre) {
    widget->setObjectName(QString::fromLatin1(nombre));
    return widget;
}
} // namespace

frmAcceso::frmAcceso(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(texts::tituloAcceso);
    setModal(true);

    framAcceso = nombrado(new QGroupBox(this), "framAcceso");
    CboPlataformaDB = nombrado(new QComboBox(framAcceso), "CboPlataformaDB");
    CboPlataformaDB->addItems({texts::plataformaSqlServer, texts::plataformaOracle});
    Label2 = nombrado(new QLabel(texts::etiquetaServidor, framAcceso), "Label2");
    TxtServidor = nombrado(new QLineEdit(framAcceso), "TxtServidor");
    Label1 = nombrado(new QLabel(texts::etiquetaBaseDatos, framAcceso), "Label1");
    TxtDbName = nombrado(new QLineEdit(framAcceso), "TxtDbName");
    lbUsuario = nombrado(new QLabel(texts::etiquetaUsuario, framAcceso), "lbUsuario");
    TxtUserId = nombrado(new QLineEdit(framAcceso), "TxtUserId");
    lbcontrasena = nombrado(new QLabel(texts::etiquetaContrasena, framAcceso), "lbcontrasena");
    TxtUserPassword = nombrado(new QLineEdit(framAcceso), "TxtUserPassword");
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    // Database and login names are sysname, passwords at most as long: a
    // longer paste could never name anything the server has.
    for (QLineEdit* caja : {TxtDbName, TxtUserId, TxtUserPassword}) {
        caja->setMaxLength(LargoNombreServidor);
    }
    bcAceptar = nombrado(new QPushButton(texts::botonAceptar, this), "bcAceptar");
    bcCancelar = nombrado(new QPushButton(texts::botonCancelar, this), "bcCancelar");
    bcAceptar->setDefault(true);

    // The "&" of each label selects its box.
    Label2->setBuddy(TxtServidor);
    Label1->setBuddy(TxtDbName);
    lbUsuario->setBuddy(TxtUserId);
    lbcontrasena->setBuddy(TxtUserPassword);

    auto* campos = new QFormLayout(framAcceso);
    campos->addRow(CboPlataformaDB);
    campos->addRow(Label2, TxtServidor);
    campos->addRow(Label1, TxtDbName);
    campos->addRow(lbUsuario, TxtUserId);
    campos->addRow(lbcontrasena, TxtUserPassword);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(bcAceptar);
    botones->addWidget(bcCancelar);

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(framAcceso);
    principal->addLayout(botones);

    connect(bcAceptar, &QPushButton::clicked, this, &frmAcceso::bcAceptar_Click);
    connect(bcCancelar, &QPushButton::clicked, this, &frmAcceso::bcCancelar_Click);
}

void frmAcceso::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, as the original's load did.
    if (const QScreen* pantalla = screen()) {
        const QRect area = pantalla->geometry();
        move(area.x() + (area.width() - frameGeometry().width()) / 2,
             area.y() + (area.height() - frameGeometry().height()) / 2);
    }
}

void frmAcceso::bcAceptar_Click() {
    Aceptar = true;
    accept();
}

void frmAcceso::bcCancelar_Click() {
    Aceptar = false;
    reject();
}

} // namespace estaciones::data
