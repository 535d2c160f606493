// The replay's own input events: what a widget sees from them must be what
// it sees from the keyboard and the mouse (focus on click, shortcuts first,
// the typed text), or a replayed session would not be the operator's.
#include "app/EntradaSimulada.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using namespace estaciones::app;

struct Ventana {
    QMainWindow ventana;
    QWidget* centro = new QWidget;
    QLineEdit* texto = new QLineEdit;
    QComboBox* anios = new QComboBox;
    QPushButton* boton = new QPushButton(QStringLiteral("Aceptar"));

    Ventana() {
        auto* capas = new QVBoxLayout(centro);
        capas->addWidget(texto);
        capas->addWidget(anios);
        capas->addWidget(boton);
        anios->addItems({QStringLiteral("2025"), QStringLiteral("2026"), QStringLiteral("2027")});
        anios->setCurrentIndex(0);
        ventana.setCentralWidget(centro);
        ventana.show();
        ventana.activateWindow();
        QApplication::processEvents();
    }
};

TEST(EntradaSimulada, keysCarryTheTextTheKeyboardGives) {
    EXPECT_EQ(textoDeTecla(Qt::Key_A), QStringLiteral("a"));
    EXPECT_EQ(textoDeTecla(Qt::Key_5), QStringLiteral("5"));
    EXPECT_EQ(textoDeTecla(Qt::Key_Space), QStringLiteral(" "));
    EXPECT_EQ(textoDeTecla(Qt::Key_Return), QStringLiteral("\r"));
    EXPECT_TRUE(textoDeTecla(Qt::Key_Down).isEmpty());
    EXPECT_TRUE(textoDeTecla(Qt::Key_F2).isEmpty());

    EXPECT_EQ(teclaDeCaracter(u'a'), Qt::Key_A);
    EXPECT_EQ(teclaDeCaracter(u'A'), Qt::Key_A);
    EXPECT_EQ(teclaDeCaracter(u'7'), Qt::Key_7);
    EXPECT_EQ(teclaDeCaracter(u'ñ'), Qt::Key_Ntilde);
    EXPECT_EQ(teclaDeCaracter(u'\n'), Qt::Key_Return);
    EXPECT_EQ(teclaDeCaracter(QChar(0x20AC)), Qt::Key_unknown); // the euro sign has no key
}

TEST(EntradaSimulada, typedTextReachesTheFieldAsTyping) {
    Ventana v;
    v.texto->setFocus();
    escribirTexto(v.texto, QStringLiteral("Año 2026"));
    EXPECT_EQ(v.texto->text(), QStringLiteral("Año 2026"));
    pulsarTecla(v.texto, Qt::Key_Backspace);
    EXPECT_EQ(v.texto->text(), QStringLiteral("Año 202"));
    // Shift+Home selects back to the start, as the modifier held down does.
    pulsarTecla(v.texto, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(v.texto->selectedText(), QStringLiteral("Año 202"));
}

TEST(EntradaSimulada, arrowKeysMoveTheYearList) {
    Ventana v;
    v.anios->setFocus();
    pulsarTecla(v.anios, Qt::Key_Down);
    EXPECT_EQ(v.anios->currentText(), QStringLiteral("2026"));
    pulsarTecla(v.anios, Qt::Key_Up);
    EXPECT_EQ(v.anios->currentText(), QStringLiteral("2025"));
}

TEST(EntradaSimulada, aClickPressesTheButtonAndTakesTheFocus) {
    Ventana v;
    v.texto->setFocus();
    int pulsaciones = 0;
    QObject::connect(v.boton, &QPushButton::clicked, [&] { ++pulsaciones; });
    clicIzquierdo(v.boton, v.boton->rect().center());
    EXPECT_EQ(pulsaciones, 1);
    // Only a spontaneous click moves the focus (Qt gives it by focus policy).
    EXPECT_EQ(QApplication::focusWidget(), v.boton);
    // Outside the button nothing is pressed.
    clicIzquierdo(v.boton, QPoint(-5, -5));
    EXPECT_EQ(pulsaciones, 1);
}

TEST(EntradaSimulada, shortcutsAreOfferedTheKeyFirst) {
    Ventana v;
    int disparos = 0;
    auto* guardar = new QAction(&v.ventana);
    guardar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    v.ventana.addAction(guardar);
    QObject::connect(guardar, &QAction::triggered, [&] { ++disparos; });
    v.texto->setFocus();
    pulsarTecla(v.texto, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(disparos, 1);
    EXPECT_TRUE(v.texto->text().isEmpty()); // the shortcut took the key
}

} // namespace
