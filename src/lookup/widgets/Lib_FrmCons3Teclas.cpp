// The list window's keyboard: search boxes, list keys and the window's F12.
#include "lookup/widgets/Lib_FrmCons3.h"

#include "data/SharedDb.h"
#include "lookup/FaltanteStock.h"
#include "lookup/LookupTexts.h"
#include "lookup/widgets/FilasLista.h"
#include "lookup/widgets/MedidasTwips.h"
#include "platform/core/ErrorHandling.h"
#include "platform/ui/ControlArrays.h"
#include "platform/ui/OperatorInterface.h"
#include "session/MostrarError.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QTreeView>

namespace estaciones::lookup::widgets {

namespace {
const QString ArregloBusqueda = QStringLiteral("CmbSearch");

QString cantidadConFormato(double valor, int decimales) {
    return QString::number(valor, 'f', decimales);
}

bool esTeclaDeLista(int tecla) {
    return tecla == Qt::Key_Down || tecla == Qt::Key_Up || tecla == Qt::Key_PageDown ||
           tecla == Qt::Key_PageUp;
}
} // namespace

bool Lib_FrmCons3::eventFilter(QObject* objeto, QEvent* evento) {
    auto* caja = qobject_cast<QComboBox*>(objeto);
    if (caja && caja->objectName() == ArregloBusqueda) {
        if (evento->type() == QEvent::FocusIn) {
            m_cajaActual = ui::arrayIndexOf(*caja);
            marcarCajaActual(caja, true);
        } else if (evento->type() == QEvent::FocusOut) {
            marcarCajaActual(caja, false);
        } else if (evento->type() == QEvent::KeyPress) {
            auto* tecla = static_cast<QKeyEvent*>(evento);
            if (tecla->key() == Qt::Key_F5) {
                CmbSearch_NuevaBusqueda(ui::arrayIndexOf(*caja));
                return true;
            }
            if (tecla->key() == Qt::Key_F12) {
                informarFaltante();
                return true;
            }
            if (esTeclaDeLista(tecla->key())) {
                ListView1->setFocus();
                QKeyEvent copia(QEvent::KeyPress, tecla->key(), tecla->modifiers());
                QApplication::sendEvent(ListView1, &copia);
                return true;
            }
        }
        return QDialog::eventFilter(objeto, evento);
    }
    if (objeto == ListView1 && evento->type() == QEvent::KeyPress) {
        return ListView1_KeyDown(static_cast<QKeyEvent*>(evento));
    }
    return QDialog::eventFilter(objeto, evento);
}

// True when the key was handled here (the list's own handling is skipped).
bool Lib_FrmCons3::ListView1_KeyDown(QKeyEvent* evento) {
    bool atendida = false;
    HandledSteps pasos(informarEn(QStringLiteral("ListView1_KeyDown")));
    pasos.run([&] {
        const int tecla = evento->key();
        const bool shift = evento->modifiers().testFlag(Qt::ShiftModifier);
        const int fila = filaActual();
        QComboBox* caja = cajaBusqueda(m_cajaActual);
        const auto escribir = [&](const QString& texto) {
            caja->setFocus();
            caja->setEditText(caja->currentText() + texto);
            atendida = true;
        };

        if (tecla == Qt::Key_F12) {
            informarFaltante();
            atendida = true;
        } else if (tecla == Qt::Key_Space && m.CheckBoxes) {
            if (fila >= 0) {
                m_filasLista->marcar(fila, !m_filasLista->marcada(fila));
            }
            atendida = true;
        } else if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            CmdAceptar_Click();
            atendida = true;
        } else if (tecla == Qt::Key_Insert && m.UsaCantidades && fila >= 0) {
            if (shift) {
                pedirCantidad(fila);
            } else {
                cambiarCantidad(fila, 1);
            }
            atendida = true;
        } else if (tecla == Qt::Key_Delete && m.UsaCantidades && !shift && fila >= 0) {
            cambiarCantidad(fila, -1);
            atendida = true;
        } else if (tecla >= 47 && tecla <= 93) {
            escribir(QString(QChar(tecla)));
        } else if (tecla == Qt::Key_Space) {
            escribir(QStringLiteral(" "));
        } else if (tecla == Qt::Key_Backspace) {
            caja->setFocus();
            caja->setEditText(
                caja->currentText().chopped(std::min<qsizetype>(1, caja->currentText().size())));
            atendida = true;
        }
    });
    return atendida;
}

void Lib_FrmCons3::cambiarCantidad(int fila, double cambio) {
    const int columna = IndiceColumna(texto::ColumnaCantidad);
    if (columna == 0) {
        throw standardError(errnum::ItemNotFound, texto::ColumnaCantidad);
    }
    const double cantidad = m_filasLista->texto(fila, columna - 1).trimmed().toDouble() + cambio;
    if (cantidad > 0) {
        m_filasLista->cambiarTexto(fila, columna - 1, cantidadConFormato(cantidad, 1));
        m_filasLista->marcar(fila, true);
    } else {
        m_filasLista->cambiarTexto(fila, columna - 1, QStringLiteral("0.00"));
        m_filasLista->marcar(fila, false);
    }
}

void Lib_FrmCons3::pedirCantidad(int fila) {
    const int columna = IndiceColumna(texto::ColumnaCantidad);
    if (columna == 0) {
        throw standardError(errnum::ItemNotFound, texto::ColumnaCantidad);
    }
    const std::optional<QString> respuesta = ui::operatorInterface().inputBox(
        texto::IngreseCantidad, texto::CargaDatos, m_filasLista->texto(fila, columna - 1).trimmed());
    if (!respuesta) {
        return; // cancelled: the quantity stays as it was
    }
    QString numero = respuesta->trimmed();
    numero.replace(u',', u'.');
    m_filasLista->cambiarTexto(fila, columna - 1, cantidadConFormato(numero.toDouble(), 2));
    m_filasLista->marcar(fila, true);
}

void Lib_FrmCons3::informarFaltante() {
    guarded(
        [&] {
            const int fila = filaActual();
            if (!m_esArticulo || fila < 0) {
                return;
            }
            const int columnaCodigo = IndiceColumna(QStringLiteral("idarticulo"));
            const int columnaDescripcion = IndiceColumna(QStringLiteral("Descripcion"));
            const QString codigo =
                columnaCodigo > 0 ? m_filasLista->texto(fila, columnaCodigo - 1).trimmed() : QString();
            const QString descripcion =
                columnaDescripcion > 0 ? m_filasLista->texto(fila, columnaDescripcion - 1).trimmed()
                                        : QString();
            if (ui::operatorInterface().messageBox(preguntaFaltante(codigo, descripcion),
                                                   ui::style::YesNo | ui::style::Question,
                                                   texto::Atencion) != ui::reply::Yes) {
                return;
            }
            data::DB_Dll& db = data::sharedDb();
            QString sentencia =
                sentenciaFaltante(QDateTime::currentDateTime(), codigo, descripcion, db.gUsuario);
            std::int64_t filas = 0;
            db.EjecutaConsultaSQL(sentencia, filas);
        },
        [](const Error& error) {
            session::MostrarError(error, std::nullopt, QStringLiteral("Form_KeyDown"));
        });
}

} // namespace estaciones::lookup::widgets
