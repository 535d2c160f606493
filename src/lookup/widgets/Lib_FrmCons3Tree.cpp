#include "lookup/widgets/Lib_FrmCons3Tree.h"

#include "data/SharedDb.h"
#include "lookup/ArbolCodigos.h"
#include "lookup/BusquedaServidor.h"
#include "lookup/LargoBusqueda.h"
#include "lookup/LookupTexts.h"
#include "lookup/widgets/MedidasTwips.h"
#include "platform/db/Recordset.h"
#include "platform/ui/ControlArrays.h"
#include "session/MostrarError.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace estaciones::lookup::widgets {

namespace {
// How far down a check mark travels from the node the operator checked.
constexpr int NivelesPropagados = 6;

bool consultaContiene(const QString& texto, const char* parte) {
    return texto.contains(QLatin1String(parte), Qt::CaseInsensitive);
}

bool esCampo(const QString& campo, const char* nombre) {
    return campo.trimmed().compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

// The value of `campo` in the first row of `tabla` whose `clave` is `codigo`;
// empty when there is no such row.
std::optional<Variant> valorEncontrado(const QString& tabla, const QString& clave,
                                       const QString& codigo, const QString& campo) {
    data::DB_Dll& db = data::sharedDb();
    db::Recordset fila;
    if (!db.ExisteEnTabla(tabla, codigo, clave, &fila)) {
        db.CierraRecordset(fila);
        return std::nullopt;
    }
    const Variant valor = fila[campo].value();
    db.CierraRecordset(fila);
    return valor.isNull() ? Variant(QString()) : valor;
}
} // namespace

Lib_FrmCons3Tree::Lib_FrmCons3Tree(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Lib_FrmCons3Tree"));
    setWindowTitle(texto::Consulta);
    construirControles();
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

ErrorHandler Lib_FrmCons3Tree::informarEn(const QString& rutina) {
    return
        [rutina](const Error& error) { return session::MostrarError(error, std::nullopt, rutina); };
}

void Lib_FrmCons3Tree::construirControles() {
    auto* disposicion = new QVBoxLayout(this);
    picFields = new QWidget(this);
    picFields->setObjectName(QStringLiteral("picFields"));
    auto* campos = new QVBoxLayout(picFields);
    campos->setContentsMargins(0, 0, 0, 0);
    lblFieldName = new QLabel(picFields);
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));
    CmbSearch = new QComboBox(picFields);
    CmbSearch->setEditable(true);
    CmbSearch->setInsertPolicy(QComboBox::NoInsert);
    CmbSearch->setToolTip(texto::AyudaBusqueda);
    ui::nameArrayElement(*CmbSearch, QStringLiteral("CmbSearch"), 0);
    CmbSearch->installEventFilter(this);
    connect(CmbSearch, &QComboBox::editTextChanged, this, [this] { CmbSearch_Change(); });
    connect(CmbSearch, &QComboBox::activated, this, [this] { CmbSearch_Change(); });
    campos->addWidget(lblFieldName);
    campos->addWidget(CmbSearch);
    disposicion->addWidget(picFields);

    TreeV = new QTreeWidget(this);
    TreeV->setObjectName(QStringLiteral("TreeV"));
    TreeV->setHeaderHidden(true);
    TreeV->setColumnCount(1);
    TreeV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(TreeV, &QTreeWidget::itemChanged, this, &Lib_FrmCons3Tree::TreeV_NodeCheck);
    connect(TreeV, &QTreeWidget::itemDoubleClicked, this, [this] { CmdAceptar_Click(); });
    disposicion->addWidget(TreeV, 1);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* botones = new QHBoxLayout(Frame1);
    const auto boton = [&](const char* nombre, const QString& texto,
                           void (Lib_FrmCons3Tree::*accion)()) {
        auto* b = new QPushButton(texto, Frame1);
        b->setObjectName(QLatin1String(nombre));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, accion);
        botones->addWidget(b);
        return b;
    };
    CmdAceptar = boton("CmdAceptar", texto::Aceptar, &Lib_FrmCons3Tree::CmdAceptar_Click);
    CmdCancelar = boton("CmdCancelar", texto::Cancelar, &Lib_FrmCons3Tree::CmdCancelar_Click);
    CmdNueva = boton("CmdNueva", texto::NuevaBusqueda, &Lib_FrmCons3Tree::CmdNueva_Click);
    disposicion->addWidget(Frame1);

    // Kept as the suite's window has it; the window itself never opens it.
    MNU_Emergente = new QMenu(this);
    MNU_Emergente->setObjectName(QStringLiteral("MNU_Emergente"));
    MNU_Emergente->addAction(texto::LlenarConValores)->setObjectName(QStringLiteral("MNU_Llena"));
    MNU_Emergente->addSeparator()->setObjectName(QStringLiteral("MNU_Separador"));
    MNU_Emergente->addAction(texto::CancelarMenu)->setObjectName(QStringLiteral("MNU_Cancelar"));

    resize(480, 520);
}

QTreeWidgetItem* Lib_FrmCons3Tree::nodo(const QString& clave) const {
    return m_nodos.value(clave, nullptr);
}

void Lib_FrmCons3Tree::mostrarModal() {
    if (!m_cargada) {
        Form_Load();
    }
    exec();
}

void Lib_FrmCons3Tree::Form_Load() {
    HandledSteps pasos(informarEn(QStringLiteral("FORM_LOAD")));
    m_cargada = true;
    if (!pasos.run([&] {
            m.Valores = QStringList{};
            prepararArbol();
        })) {
        return;
    }
    pasos.run([&] {
        if (consultaContiene(m.SQL, "v_ta_familias")) {
            ArmarTreeVFamilias();
        } else {
            ArmarTreeVAutomatico();
        }
    });
}

void Lib_FrmCons3Tree::prepararArbol() {
    const QSignalBlocker sinAvisos(TreeV);
    TreeV->clear();
    m_nodos.clear();
    m_orden.clear();
    TreeV->setRootIsDecorated(true);
    auto* raiz = new QTreeWidgetItem(TreeV, {texto::Consulta});
    if (m.CheckBoxes) {
        raiz->setCheckState(0, Qt::Unchecked);
    }
    m_nodos.insert(ClaveRaiz, raiz);
    m_orden << raiz;
    raiz->setExpanded(true);
}

std::vector<std::vector<Variant>> Lib_FrmCons3Tree::leerFilas(const QString& sentencia) {
    data::DB_Dll& db = data::sharedDb();
    db::Recordset rs;
    QString texto = sentencia;
    db.AbrirRecordset(texto, rs, std::nullopt, db::adOpenForwardOnly, db::adLockReadOnly,
                      db::adOptionUnspecified, true);
    std::vector<std::vector<Variant>> filas;
    if (rs.state() == db::adStateOpen && rs.fields().count() > 1) {
        // The box searches the descriptions, the second column.
        CmbSearch->lineEdit()->setMaxLength(largoBusqueda(rs.fields().item(1)));
    }
    if (rs.state() == db::adStateOpen && !(rs.bof() && rs.eof())) {
        filas = rs.getRows();
    }
    db.CierraRecordset(rs);
    return filas;
}

void Lib_FrmCons3Tree::agregarNodo(const QString& clavePadre, const QString& codigo,
                                   const QString& descripcion) {
    const QString clave = claveNodo(codigo);
    QTreeWidgetItem* padre = nodo(clavePadre);
    if (!padre) {
        throw Error(35601, QStringLiteral("Element not found"), clavePadre);
    }
    if (m_nodos.contains(clave)) {
        throw Error(35602, QStringLiteral("Key is not unique in collection"), clave);
    }
    const QSignalBlocker sinAvisos(TreeV);
    auto* item = new QTreeWidgetItem(padre, {codigo + QStringLiteral(" - ") + descripcion});
    if (m.CheckBoxes) {
        item->setCheckState(0, Qt::Unchecked);
    }
    m_nodos.insert(clave, item);
    m_orden << item;
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias() {
    HandledSteps pasos(informarEn(QStringLiteral("ArmarTreeVFamilias")));
    std::vector<std::vector<Variant>> filas;
    if (!pasos.run([&] {
            prepararArbol();
            m.SQL = sentenciaFamilias();
            filas = leerFilas(m.SQL);
        })) {
        return;
    }
    const std::size_t cuenta = filas.size() < 3 ? 0 : filas.front().size();
    for (std::size_t i = 0; i < cuenta; ++i) {
        if (!pasos.run([&] {
                const Variant& relativo = filas[2][i];
                agregarNodo(relativo.isNull() || relativo.isEmpty()
                                ? ClaveRaiz
                                : claveNodo(relativo.toString().trimmed()),
                            filas[0][i].toString().trimmed(), filas[1][i].toString().trimmed());
            })) {
            return;
        }
    }
}

void Lib_FrmCons3Tree::ArmarTreeVAutomatico() {
    HandledSteps pasos(informarEn(QStringLiteral("ArmarTreeVAutomatico")));
    std::vector<std::vector<Variant>> filas;
    if (!pasos.run([&] {
            prepararArbol();
            filas = leerFilas(m.SQL);
        })) {
        return;
    }
    const std::size_t cuenta = filas.size() < 2 ? 0 : filas.front().size();
    for (std::size_t i = 0; i < cuenta; ++i) {
        if (!pasos.run([&] {
                const QString codigo = filas[0][i].toString().trimmed();
                agregarNodo(clavePadre(m_nodos.keys(), claveNodo(codigo)), codigo,
                            filas[1][i].toString().trimmed());
            })) {
            return;
        }
    }
}

void Lib_FrmCons3Tree::TreeV_NodeCheck(QTreeWidgetItem* cambiado, int /*columna*/) {
    if (m_propagando || !m.CheckBoxes || !cambiado) {
        return;
    }
    ignoringErrors([&] {
        m_propagando = true;
        propagarMarca(cambiado);
        m_propagando = false;
    });
    m_propagando = false;
}

void Lib_FrmCons3Tree::propagarMarca(QTreeWidgetItem* origen) {
    QList<QTreeWidgetItem*> nivel{origen};
    for (int profundidad = 0; profundidad < NivelesPropagados && !nivel.isEmpty(); ++profundidad) {
        QList<QTreeWidgetItem*> siguiente;
        for (QTreeWidgetItem* padre : nivel) {
            for (int i = 0; i < padre->childCount(); ++i) {
                QTreeWidgetItem* hijo = padre->child(i);
                hijo->setCheckState(0, padre->checkState(0));
                siguiente << hijo;
            }
        }
        nivel = siguiente;
    }
}

bool Lib_FrmCons3Tree::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == CmbSearch && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_F5) {
            CmbSearch_NuevaBusqueda();
            return true;
        }
        if (tecla == Qt::Key_Down || tecla == Qt::Key_Up || tecla == Qt::Key_PageDown ||
            tecla == Qt::Key_PageUp) {
            TreeV->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void Lib_FrmCons3Tree::CmbSearch_Change() {
    ignoringErrors([&] {
        const QString buscado = CmbSearch->currentText().trimmed();
        for (QTreeWidgetItem* candidato : std::as_const(m_orden)) {
            const PartesNodo partes = partesNodo(candidato->text(0));
            if (partes.codigo.startsWith(buscado, Qt::CaseInsensitive) ||
                partes.descripcion.startsWith(buscado, Qt::CaseInsensitive)) {
                TreeV->setCurrentItem(candidato);
                TreeV->scrollToItem(candidato);
                return;
            }
        }
    });
}

void Lib_FrmCons3Tree::CmbSearch_NuevaBusqueda() {
    ignoringErrors([&] {
        CmbSearch->setProperty("Campo", QStringLiteral("Descripcion"));
        const QString nueva = sentenciaBusquedaArbol(m.SQL, CmbSearch->currentText());
        {
            const QSignalBlocker sinBusqueda(CmbSearch);
            CmbSearch->setEditText(QString());
        }
        m_base = nueva;
        m.SQL = nueva;
        Form_Load();
    });
}

void Lib_FrmCons3Tree::CmdNueva_Click() {
    ignoringErrors([&] {
        if (consultaContiene(m.SQL, "v_ta_familias")) {
            ArmarTreeVFamilias();
        } else {
            ArmarTreeVAutomatico();
        }
    });
}

void Lib_FrmCons3Tree::aceptarMarcados() {
    HandledSteps pasos(informarEn(QStringLiteral("CmdAceptar_Click")));
    for (QTreeWidgetItem* marcado : std::as_const(m_orden)) {
        // The root is no code: checking it only carries the mark down.
        if (marcado == m_orden.first() || marcado->checkState(0) != Qt::Checked) {
            continue;
        }
        const QString codigo = codigoDeClave(m_nodos.key(marcado));
        if (!pasos.run([&] {
                if (esCampo(m.CampoDevuelto, "IDFAMILIA") || esCampo(m.CampoDevuelto, "CODIGO")) {
                    m.Valores->append(codigo.trimmed());
                } else if (esCampo(m.CampoDevuelto, "IDPOSICION")) {
                    if (const auto valor = valorEncontrado(QStringLiteral("MA_POSICIONES"),
                                                           QStringLiteral("IDPOSICION"), codigo,
                                                           QStringLiteral("IDPOSICION"))) {
                        m.Valores->append(valor->toString());
                    }
                }
            })) {
            return;
        }
    }
}

void Lib_FrmCons3Tree::aceptarSeleccionado() {
    const QTreeWidgetItem* elegido = TreeV->currentItem();
    const QString codigo =
        elegido ? codigoDeClave(m_nodos.key(const_cast<QTreeWidgetItem*>(elegido))) : QString();
    HandledSteps pasos(informarEn(QStringLiteral("CmdAceptar_Click")));
    pasos.run([&] {
        std::optional<Variant> valor;
        if (esCampo(m.CampoDevuelto, "IDFAMILIA")) {
            valor = valorEncontrado(QStringLiteral("@admin_V_TA_FAMILIAS"),
                                    QStringLiteral("IDFAMILIA"), codigo, m.CampoDevuelto);
        } else if (esCampo(m.CampoDevuelto, "IDPOSICION")) {
            valor = valorEncontrado(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"),
                                    codigo, m.CampoDevuelto);
        } else if (esCampo(m.CampoDevuelto, "CODIGO")) {
            valor = valorEncontrado(QStringLiteral("TA_CCOSTO"), QStringLiteral("CODIGO"), codigo,
                                    m.CampoDevuelto);
            if (!valor) {
                valor = valorEncontrado(QStringLiteral("MA_CUENTAS"), QStringLiteral("CODIGO"),
                                        codigo, m.CampoDevuelto);
            }
        } else {
            return;
        }
        m.ValorDevuelto = valor ? *valor : Variant();
    });
}

void Lib_FrmCons3Tree::CmdAceptar_Click() {
    if (!m.Valores) {
        m.Valores = QStringList{};
    }
    if (m.CheckBoxes) {
        aceptarMarcados();
    } else {
        aceptarSeleccionado();
    }
    hide();
}

void Lib_FrmCons3Tree::CmdCancelar_Click() {
    m.ValorDevuelto = Variant();
    m.Valores.reset();
    hide();
}

void Lib_FrmCons3Tree::reject() {
    CmdCancelar_Click();
}

} // namespace estaciones::lookup::widgets
