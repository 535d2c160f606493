#include "articles/widgets/FrmArtAlta.h"

#include "articles/AltaArticulo.h"
#include "articles/ArticulosTexts.h"
#include "articles/BaseMaestra.h"
#include "platform/core/ErrorHandling.h"
#include "platform/ui/OperatorInterface.h"
#include "session/Configuracion.h"
#include "session/MostrarError.h"
#include "session/library/FieldNavigation.h"
#include "session/library/FormFields.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace estaciones::articulos {

namespace {

struct DefinicionCampo {
    const char* campo;
    const char* etiqueta; // objectName of its label
    const QString* texto;
    int largo; // the column's width, so that nothing typed is cut by the database
};

const DefinicionCampo definiciones[] = {
    {"Codigo", "Label9", &textos::EtiquetaCodigo, 25},
    {"Descripcion", "Label10", &textos::EtiquetaDescripcion, 100},
    {"Precio", "Label11", &textos::EtiquetaPrecio, 20},
};

QLabel* etiqueta(QWidget* padre, const char* nombre, const QString& texto) {
    auto* label = new QLabel(texto, padre);
    label->setObjectName(QLatin1String(nombre));
    return label;
}

QPushButton* boton(QWidget* padre, const char* nombre, const QString& texto) {
    auto* button = new QPushButton(texto, padre);
    button->setObjectName(QLatin1String(nombre));
    // Enter advances between fields; it must never press a button by itself.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// The wait cursor while the master service is asked (up to its time-out).
class CursorEspera {
public:
    CursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QApplication::restoreOverrideCursor(); }
    CursorEspera(const CursorEspera&) = delete;
    CursorEspera& operator=(const CursorEspera&) = delete;
};

// Every handler reports an unexpected failure under its own name.
void protegido(const char* rutina, const std::function<void()>& cuerpo) {
    guarded(cuerpo, [rutina](const Error& error) {
        session::MostrarError(error, QString::fromLatin1(rutina));
    });
}

} // namespace

FrmArtAlta::FrmArtAlta(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmArtAlta"));
    setWindowTitle(textos::Caption);

    FramAlta = new QFrame(this);
    FramAlta->setObjectName(QStringLiteral("FramAlta"));
    auto* grilla = new QGridLayout(FramAlta);
    auto* navegacion = new library::FieldNavigation(this);
    int fila = 0;
    for (const DefinicionCampo& d : definiciones) {
        auto* caja = new QLineEdit(FramAlta);
        caja->setObjectName(QStringLiteral("Txtfields"));
        caja->setProperty(library::fieldNameProperty, QLatin1String(d.campo));
        caja->setProperty(library::arrayIndexProperty, fila);
        caja->setMaxLength(d.largo);
        caja->installEventFilter(navegacion);
        grilla->addWidget(etiqueta(FramAlta, d.etiqueta, *d.texto), fila, 0);
        grilla->addWidget(caja, fila, 1);
        ++fila;
    }
    auto* Label2 = etiqueta(FramAlta, "Label2", textos::Instrucciones);
    Label2->setWordWrap(true);
    grilla->addWidget(Label2, fila++, 0, 1, 2);
    CmdMaestro = boton(FramAlta, "CmdMaestro", textos::BotonMaestro);
    grilla->addWidget(CmdMaestro, fila++, 0, 1, 2);

    LblProceso = etiqueta(this, "LblProceso", QString());
    // Accept and cancel stay outside the frame: with quick registration off
    // the frame is hidden and "Aceptar" still closes the window.
    CmdAlta = boton(this, "CmdAlta", textos::BotonAlta);
    CmdCancelar = boton(this, "CmdCancelar", textos::BotonCancelar);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(CmdAlta);
    botones->addWidget(CmdCancelar);

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(FramAlta);
    principal->addWidget(LblProceso);
    principal->addWidget(etiqueta(this, "Label3", textos::InstruccionSalir));
    principal->addLayout(botones);

    connect(CmdAlta, &QPushButton::clicked, this, &FrmArtAlta::CmdAlta_Click);
    connect(CmdCancelar, &QPushButton::clicked, this, &FrmArtAlta::CmdCancelar_Click);
    connect(CmdMaestro, &QPushButton::clicked, this, &FrmArtAlta::CmdMaestro_Click);

    protegido("Form_Load", [this] { cargar(); });
}

void FrmArtAlta::cargar() {
    const QString permite = session::Cfg(QStringLiteral("ArticulosPermitealtaAutomatica"));
    if (permite.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) != 0) {
        FramAlta->hide();
        for (QLineEdit* caja : library::controlArray(*this, QStringLiteral("Txtfields"))) {
            caja->clear();
        }
        CmdAlta->setText(textos::BotonAltaSinAlta);
    }
}

QLineEdit* FrmArtAlta::campo(const QString& nombre) const {
    return library::findFieldBox(library::controlArray(*this, QStringLiteral("Txtfields")), nombre);
}

void FrmArtAlta::mostrarProceso(const QString& texto) {
    LblProceso->setText(texto);
    LblProceso->repaint();
}

void FrmArtAlta::PonerCodigo() {
    campo(QStringLiteral("Codigo"))->setText(Codigo.trimmed());
    Codigo.clear();
}

void FrmArtAlta::AltaArticulos() {
    DatosAltaArticulo datos;
    datos.codigoBarra = campo(QStringLiteral("Codigo"))->text();
    datos.descripcion = campo(QStringLiteral("Descripcion"))->text();
    datos.precio = campo(QStringLiteral("Precio"))->text();
    datos.idLista = pIdLista;
    CodArtNuevo = registrarArticulo(datos);
}

QString FrmArtAlta::ObtenerDescMaestra(const QString& codigoBarra, bool& pError, QString& Mensaje) {
    mostrarProceso(textos::Consultando);
    pError = false;
    if (codigoBarra.trimmed().isEmpty()) {
        Mensaje = textos::DebeInformarCodigo;
        ui::operatorInterface().messageBox(textos::DebeInformarCodigoBarras, ui::style::Critical,
                                           textos::TituloAviso);
        pError = true;
        return {};
    }
    const ConsultaMaestra consulta = [&] {
        const CursorEspera espera;
        return consultarCodigoMaestra(codigoBarra);
    }();
    if (consulta.error) {
        pError = true;
        Mensaje = consulta.mensaje;
        mostrarProceso(consulta.mensaje);
        if (consulta.servicioFallo) {
            ui::operatorInterface().messageBox(consulta.mensaje, ui::style::Exclamation,
                                               textos::TituloAviso);
        }
        return {};
    }
    mostrarProceso(textos::Encontrado);
    return consulta.descripcion;
}

void FrmArtAlta::CmdMaestro_Click() {
    protegido("CmdMaestro_Click", [this] {
        bool error = false;
        QString mensaje;
        const QString descripcion =
            ObtenerDescMaestra(campo(QStringLiteral("Codigo"))->text(), error, mensaje);
        QLineEdit* cajaDescripcion = campo(QStringLiteral("Descripcion"));
        if (error) {
            cajaDescripcion->clear();
            cajaDescripcion->setFocus();
            return;
        }
        mostrarProceso(textos::Correcto);
        cajaDescripcion->setText(descripcion);
        campo(QStringLiteral("Precio"))->setFocus();
    });
}

void FrmArtAlta::CmdAlta_Click() {
    protegido("CmdAlta_Click", [this] {
        pAceptar = true;
        if (!campo(QStringLiteral("Descripcion"))->text().trimmed().isEmpty()) {
            AltaArticulos();
        }
        QDialog::accept();
    });
}

void FrmArtAlta::CmdCancelar_Click() {
    reject();
}

void FrmArtAlta::reject() {
    pAceptar = false;
    QDialog::reject();
}

void FrmArtAlta::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_F2:
        CmdAlta_Click();
        break;
    case Qt::Key_F7:
        CmdMaestro_Click();
        break;
    case Qt::Key_Escape:
        CmdCancelar_Click();
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace estaciones::articulos
