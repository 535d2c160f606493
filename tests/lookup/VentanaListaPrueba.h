#pragma once

// Opening the list window on the test database and reaching its controls by
// their names, as an operator's tools would.

#include "ConsultasDb.h"

#include "lookup/widgets/Lib_FrmCons3.h"
#include "lookup/widgets/MedidasTwips.h"
#include "platform/ui/ControlArrays.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace estaciones::test {

class VentanaListaPrueba {
public:
    // The window loaded on `sql` (after `ajustes` set its members) and shown.
    lookup::widgets::Lib_FrmCons3&
    abrir(const QString& sql, const std::function<void(lookup::MiembrosLista&)>& ajustes = {}) {
        ventana = std::make_unique<lookup::widgets::Lib_FrmCons3>();
        ventana->carpetaAnchos = carpeta.path();
        ventana->miembros().SQL = sql;
        if (ajustes) {
            ajustes(ventana->miembros());
        }
        ventana->Form_Load();
        ventana->show();
        return *ventana;
    }

    QTreeWidget& lista() const {
        return *ventana->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    }
    QComboBox& caja(int indice) const {
        return *ui::arrayElement<QComboBox>(*ventana, QStringLiteral("CmbSearch"), indice);
    }
    QPushButton& boton(const char* nombre) const {
        return *ventana->findChild<QPushButton*>(QLatin1String(nombre));
    }
    // The texts of one column, in the order the list shows them.
    QStringList columna(int indice) const {
        QStringList textos;
        for (int i = 0; i < lista().topLevelItemCount(); ++i) {
            textos << lista().topLevelItem(i)->text(indice);
        }
        return textos;
    }
    QStringList marcadas() const {
        QStringList textos;
        for (int i = 0; i < lista().topLevelItemCount(); ++i) {
            if (lista().topLevelItem(i)->checkState(0) == Qt::Checked) {
                textos << lista().topLevelItem(i)->text(0);
            }
        }
        return textos;
    }
    QString actual(int columna = 0) const {
        return lista().currentItem() ? lista().currentItem()->text(columna) : QString();
    }
    void seleccionar(int fila) const { lista().setCurrentItem(lista().topLevelItem(fila)); }

    std::unique_ptr<lookup::widgets::Lib_FrmCons3> ventana;
    QTemporaryDir carpeta;
};

// The lookup window open at the moment (shown modally by a controller).
template <class T> T* ventanaAbierta() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* ventana = qobject_cast<T*>(w); ventana && ventana->isVisible()) {
            return ventana;
        }
    }
    return nullptr;
}

// Runs `accion` on the modal window once it is shown.
template <class T> void mientrasSeMuestra(std::function<void(T&)> accion) {
    QTimer::singleShot(0, [accion] {
        T* ventana = ventanaAbierta<T>();
        if (!ventana) {
            ADD_FAILURE() << "No lookup window is showing";
            return;
        }
        accion(*ventana);
        if (ventana->isVisible()) {
            ADD_FAILURE() << "The window is still open";
            ventana->hide();
        }
    });
}

} // namespace estaciones::test
