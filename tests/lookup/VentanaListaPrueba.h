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
#include <QHeaderView>
#include <QTreeView>

#include <functional>
#include <memory>

namespace estaciones::test {

// What the list shows, read through its view as a screen reader would.
inline QTreeView& listaDe(QWidget& ventana) {
    return *ventana.findChild<QTreeView*>(QStringLiteral("ListView1"));
}
inline int filasDe(const QTreeView& lista) {
    return lista.model()->rowCount();
}
inline QString textoDe(const QTreeView& lista, int fila, int columna) {
    return lista.model()->index(fila, columna).data().toString();
}
inline QString encabezadoDe(const QTreeView& lista, int columna) {
    return lista.model()->headerData(columna, Qt::Horizontal).toString();
}
inline Qt::CheckState marcaDe(const QTreeView& lista, int fila) {
    return lista.model()->index(fila, 0).data(Qt::CheckStateRole).value<Qt::CheckState>();
}
// A click on a row's last column (away from its check box).
inline void pulsarFila(QTreeView& lista, int fila) {
    const QModelIndex celda =
        lista.model()->index(fila, std::max(0, lista.model()->columnCount() - 1));
    lista.scrollTo(celda);
    QTest::mouseClick(lista.viewport(), Qt::LeftButton, {}, lista.visualRect(celda).center());
}

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

    QTreeView& lista() const { return listaDe(*ventana); }
    QComboBox& caja(int indice) const {
        return *ui::arrayElement<QComboBox>(*ventana, QStringLiteral("CmbSearch"), indice);
    }
    QPushButton& boton(const char* nombre) const {
        return *ventana->findChild<QPushButton*>(QLatin1String(nombre));
    }
    // The texts of one column, in the order the list shows them.
    QStringList columna(int indice) const {
        QStringList textos;
        for (int i = 0; i < filasDe(lista()); ++i) {
            textos << textoDe(lista(), i, indice);
        }
        return textos;
    }
    QStringList marcadas() const {
        QStringList textos;
        for (int i = 0; i < filasDe(lista()); ++i) {
            if (marcaDe(lista(), i) == Qt::Checked) {
                textos << textoDe(lista(), i, 0);
            }
        }
        return textos;
    }
    QString actual(int columna = 0) const {
        const QModelIndex indice = lista().currentIndex();
        return indice.isValid() ? textoDe(lista(), indice.row(), columna) : QString();
    }
    void seleccionar(int fila) const { pulsarFila(lista(), fila); }

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
