// The access dialog as a real window under the offscreen platform.
#include "data/widgets/frmAcceso.h"
#include "data/widgets/QtAccesoDialogo.h"
#include "support/TextoPegado.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

using estaciones::data::DatosAcceso;
using estaciones::data::frmAcceso;
using estaciones::data::QtAccesoDialogo;

namespace {

template <class W> W* control(QWidget& ventana, const char* nombre) {
    return ventana.findChild<W*>(QString::fromLatin1(nombre));
}

TEST(FrmAcceso, shouldCarryTheOriginalControlsAndTexts) {
    frmAcceso dialogo;
    EXPECT_EQ(dialogo.objectName(), QStringLiteral("frmAcceso"));
    EXPECT_EQ(dialogo.windowTitle(), QStringLiteral("Control de Acceso"));
    ASSERT_NE(control<QGroupBox>(dialogo, "framAcceso"), nullptr);
    auto* plataforma = control<QComboBox>(dialogo, "CboPlataformaDB");
    ASSERT_NE(plataforma, nullptr);
    ASSERT_EQ(plataforma->count(), 2);
    EXPECT_EQ(plataforma->itemText(0), QStringLiteral("SQL Server"));
    EXPECT_EQ(plataforma->itemText(1), QStringLiteral("ORACLE"));
    const std::pair<const char*, const char*> etiquetas[] = {{"Label2", "&Servidor"},
                                                             {"Label1", "&Base de Datos"},
                                                             {"lbUsuario", "&Usuario"},
                                                             {"lbcontrasena", "&Contraseña"}};
    for (const auto& [nombre, texto] : etiquetas) {
        auto* etiqueta = control<QLabel>(dialogo, nombre);
        ASSERT_NE(etiqueta, nullptr) << nombre;
        EXPECT_EQ(etiqueta->text(), QString::fromUtf8(texto));
        EXPECT_NE(etiqueta->buddy(), nullptr) << nombre;
    }
    for (const char* nombre : {"TxtServidor", "TxtDbName", "TxtUserId", "TxtUserPassword"}) {
        EXPECT_NE(control<QLineEdit>(dialogo, nombre), nullptr) << nombre;
    }
    EXPECT_EQ(control<QLineEdit>(dialogo, "TxtUserPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(control<QPushButton>(dialogo, "bcAceptar")->text(), QStringLiteral("Aceptar"));
    EXPECT_EQ(control<QPushButton>(dialogo, "bcCancelar")->text(), QStringLiteral("Cancelar"));
}

TEST(FrmAcceso, shouldTellAceptarFromCancelarAndTheWindowFrame) {
    {
        frmAcceso dialogo;
        dialogo.show();
        dialogo.bcAceptar->click();
        EXPECT_TRUE(dialogo.Aceptar);
        EXPECT_FALSE(dialogo.isVisible());
    }
    {
        frmAcceso dialogo;
        dialogo.Aceptar = true;
        dialogo.show();
        dialogo.bcCancelar->click();
        EXPECT_FALSE(dialogo.Aceptar);
        EXPECT_FALSE(dialogo.isVisible());
    }
    {
        frmAcceso dialogo;
        dialogo.show();
        dialogo.close();
        EXPECT_FALSE(dialogo.Aceptar);
    }
}

TEST(FrmAcceso, shouldBeCentredOnTheScreen) {
    frmAcceso dialogo;
    dialogo.show();
    const QRect pantalla = dialogo.screen()->geometry();
    const QRect marco = dialogo.frameGeometry();
    EXPECT_LE(std::abs(marco.center().x() - pantalla.center().x()), 1);
    EXPECT_LE(std::abs(marco.center().y() - pantalla.center().y()), 1);
    dialogo.close();
}

// Acts on the modal dialog once it is up.
void alAparecer(const std::function<void(frmAcceso&)>& accion) {
    QTimer::singleShot(0, [accion] {
        for (QWidget* ventana : QApplication::topLevelWidgets()) {
            if (auto* dialogo = qobject_cast<frmAcceso*>(ventana);
                dialogo && dialogo->isVisible()) {
                accion(*dialogo);
                return;
            }
        }
        ADD_FAILURE() << "frmAcceso was not shown";
    });
}

TEST(QtAccesoDialogo, shouldFillTheDialogAndReturnWhatWasTyped) {
    const DatosAcceso iniciales{QStringLiteral("SRV"), QStringLiteral("EMPRESA"),
                                QStringLiteral("ana"), QStringLiteral("x"), 0};
    alAparecer([](frmAcceso& dialogo) {
        EXPECT_EQ(dialogo.TxtServidor->text(), QStringLiteral("SRV"));
        EXPECT_EQ(dialogo.TxtDbName->text(), QStringLiteral("EMPRESA"));
        EXPECT_EQ(dialogo.TxtUserId->text(), QStringLiteral("ana"));
        EXPECT_EQ(dialogo.TxtUserPassword->text(), QStringLiteral("x"));
        EXPECT_EQ(dialogo.CboPlataformaDB->currentIndex(), 0);
        dialogo.TxtServidor->setText(QStringLiteral("ORA"));
        dialogo.TxtUserPassword->setText(QStringLiteral("nueva"));
        dialogo.CboPlataformaDB->setCurrentIndex(1);
        dialogo.bcAceptar->click();
    });
    QtAccesoDialogo acceso;
    const auto datos = acceso.pedirDatos(iniciales);
    ASSERT_TRUE(datos.has_value());
    EXPECT_EQ(*datos, (DatosAcceso{QStringLiteral("ORA"), QStringLiteral("EMPRESA"),
                                   QStringLiteral("ana"), QStringLiteral("nueva"), 1}));
}

TEST(QtAccesoDialogo, shouldReturnNothingWhenCancelled) {
    alAparecer([](frmAcceso& dialogo) { dialogo.bcCancelar->click(); });
    QtAccesoDialogo acceso;
    EXPECT_FALSE(acceso.pedirDatos({}).has_value());
}

// Hostile clipboard texts pasted into each box with the paste keys come back
// exactly as the boxes hold them: names and password cut to a sysname, the
// server's text whole, quotes and NULs kept as data.
TEST(QtAccesoDialogo, shouldReturnPastedTextsAsTheBoxesHoldThem) {
    for (const estaciones::test::TextoHostil& hostil : estaciones::test::textosHostiles()) {
        SCOPED_TRACE(hostil.nombre);
        const QString pegado = estaciones::test::textoDecodificado(hostil.bytes);
        std::vector<QString> mostrados;
        alAparecer([&](frmAcceso& dialogo) {
            for (QLineEdit* caja : {dialogo.TxtServidor, dialogo.TxtDbName, dialogo.TxtUserId,
                                    dialogo.TxtUserPassword}) {
                caja->selectAll();
                estaciones::test::pegar(*caja, hostil.bytes);
                mostrados.push_back(caja->text());
            }
            QTest::mouseClick(dialogo.bcAceptar, Qt::LeftButton);
        });
        QtAccesoDialogo acceso;
        const auto datos = acceso.pedirDatos({});
        ASSERT_TRUE(datos.has_value());
        ASSERT_EQ(mostrados.size(), 4u);
        EXPECT_TRUE(pegado.startsWith(mostrados[0]));
        for (std::size_t i = 1; i < 4; ++i) {
            EXPECT_EQ(mostrados[i].toStdString(), pegado.left(128).toStdString()) << i;
        }
        EXPECT_EQ(*datos, (DatosAcceso{mostrados[0], mostrados[1], mostrados[2], mostrados[3], 0}));
    }
}

} // namespace
