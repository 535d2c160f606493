#include "lookup/widgets/Lib_FrmCons3.h"

#include "data/SharedDb.h"
#include "lookup/AnchosColumnas.h"
#include "lookup/BusquedaServidor.h"
#include "lookup/LargoBusqueda.h"
#include "lookup/LookupTexts.h"
#include "lookup/NivelStock.h"
#include "lookup/NuevoRegistro.h"
#include "lookup/widgets/FilasLista.h"
#include "lookup/widgets/MedidasTwips.h"
#include "platform/core/ErrorHandling.h"
#include "platform/ui/ControlArrays.h"
#include "platform/ui/OperatorInterface.h"
#include "session/Configuracion.h"
#include "session/MostrarError.h"
#include "session/library/WindowPreparation.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <cmath>

namespace estaciones::lookup::widgets {

namespace {
const QString Arreglo = QStringLiteral("CmbSearch");
const QColor Cian(0, 255, 255); // 0xFFFF00 in the suite's blue-green-red

bool contiene(const QString& texto, const char* parte) {
    return texto.contains(QLatin1String(parte), Qt::CaseInsensitive);
}

QColor colorBgr(const Variant& valor) {
    const auto bgr = static_cast<std::uint32_t>(valor.toInt64());
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The table read by a statement: the word after the first "from".
QString tablaDeSentencia(const QString& sentencia) {
    const qsizetype desde = sentencia.indexOf(QLatin1String("from"), 0, Qt::CaseInsensitive);
    if (desde < 0) {
        return {};
    }
    const QString resto = sentencia.mid(desde + 4).trimmed();
    return resto.section(u' ', 0, 0).trimmed();
}

// The width in characters that a field's column gets.
int caracteresDeCampo(const db::Field& campo) {
    const int tipo = campo.type();
    qint64 ancho = campo.definedSize();
    if (tipo == db::adtype::Currency || tipo == db::adtype::Numeric) {
        ancho = 12;
    }
    return static_cast<int>(std::clamp<qint64>(ancho, 0, 60));
}
} // namespace

Lib_FrmCons3::Lib_FrmCons3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Lib_FrmCons3"));
    setWindowTitle(texto::Consulta);
    carpetaAnchos = carpetaAnchosColumnas();
    construirControles();
}

Lib_FrmCons3::~Lib_FrmCons3() = default;

ErrorHandler Lib_FrmCons3::informarEn(const QString& rutina) {
    return
        [rutina](const Error& error) { return session::MostrarError(error, std::nullopt, rutina); };
}

void Lib_FrmCons3::construirControles() {
    Label1 = new QLabel(texto::EtiquetaConsulta, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblFieldName = new QLabel(this);
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));

    m_recorte = new QWidget(this);
    m_recorte->setObjectName(QStringLiteral("marcoCampos"));
    picFields = new QWidget(m_recorte);
    picFields->setObjectName(QStringLiteral("picFields"));

    m_filasLista = new FilasLista(this);
    ListView1 = new QTreeView(picFields);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setModel(m_filasLista);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListView1->header()->setSectionsClickable(true);
    ListView1->header()->setStretchLastSection(false);
    ListView1->installEventFilter(this);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int columna) { ignoringErrors([&] { ordenarPor(columna); }); });
    connect(ListView1->header(), &QHeaderView::sectionResized, this,
            [this] { ignoringErrors([&] { alinearCajas(); }); });
    connect(ListView1, &QTreeView::doubleClicked, this, [this] { CmdAceptar_Click(); });

    cajaBusqueda(0)->setToolTip(texto::AyudaBusqueda);

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    connect(HScroll1, &QScrollBar::valueChanged, this,
            [this](int valor) { HScroll1_Change(valor); });

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    const auto boton = [this](const char* nombre, const QString& texto,
                              void (Lib_FrmCons3::*accion)()) {
        auto* b = new QPushButton(texto, Frame1);
        b->setObjectName(QLatin1String(nombre));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, accion);
        return b;
    };
    CmdTodos = boton("CmdTodos", texto::Marcar, &Lib_FrmCons3::CmdTodos_Click);
    CmdNuevo = boton("CmdNuevo", texto::Nuevo, &Lib_FrmCons3::CmdNuevo_Click);
    CmdNueva = boton("CmdNueva", texto::NuevaBusqueda, &Lib_FrmCons3::CmdNueva_Click);
    CmdCancelar = boton("CmdCancelar", texto::Cancelar, &Lib_FrmCons3::CmdCancelar_Click);
    CmdAceptar = boton("CmdAceptar", texto::Aceptar, &Lib_FrmCons3::CmdAceptar_Click);

    // Kept as the suite's window has it; the window itself never opens it.
    MNU_Emergente = new QMenu(this);
    MNU_Emergente->setObjectName(QStringLiteral("MNU_Emergente"));
    MNU_Emergente->addAction(texto::LlenarConValores)->setObjectName(QStringLiteral("MNU_Llena"));
    MNU_Emergente->addSeparator()->setObjectName(QStringLiteral("MNU_Separador"));
    MNU_Emergente->addAction(texto::CancelarMenu)->setObjectName(QStringLiteral("MNU_Cancelar"));

    resize(640, 420);
}

QComboBox* Lib_FrmCons3::cajaBusqueda(int indice) {
    if (QComboBox* existente = ui::arrayElement<QComboBox>(*picFields, Arreglo, indice)) {
        return existente; // reused when the columns are rebuilt
    }
    auto* caja = new QComboBox(picFields);
    caja->setEditable(true);
    caja->setInsertPolicy(QComboBox::NoInsert);
    ui::nameArrayElement(*caja, Arreglo, indice);
    caja->installEventFilter(this);
    connect(caja, &QComboBox::editTextChanged, this, [this, indice] { CmbSearch_Change(indice); });
    connect(caja, &QComboBox::activated, this, [this, indice] { CmbSearch_Change(indice); });
    marcarCajaActual(caja, false);
    if (indice > 0) {
        QWidget::setTabOrder(cajaBusqueda(indice - 1), caja);
    }
    return caja;
}

QList<QComboBox*> Lib_FrmCons3::cajasVisibles() const {
    QList<QComboBox*> cajas;
    for (int i = 0; i < m_filasLista->columnCount(); ++i) {
        if (QComboBox* caja = ui::arrayElement<QComboBox>(*picFields, Arreglo, i)) {
            cajas << caja;
        }
    }
    return cajas;
}

void Lib_FrmCons3::marcarCajaActual(QComboBox* caja, bool activa) {
    QPalette paleta = caja->palette();
    paleta.setColor(QPalette::Base, activa ? Cian : QColor(Qt::white));
    caja->setPalette(paleta);
    if (caja->lineEdit()) {
        caja->lineEdit()->setPalette(paleta);
    }
}

data::DB_Dll& Lib_FrmCons3::datos() {
    if (!m.UsarUDBC) {
        return data::sharedDb();
    }
    if (!m_udbc) {
        // A separate instance on the same database, for callers that keep the
        // shared connection busy.
        m_udbc = std::make_unique<data::DB_Dll>();
        m_udbc->gCnn.setCursorLocation(data::sharedDb().gCnn.cursorLocation());
        m_udbc->gCnn.open(data::sharedDb().gCnn.connectionString());
        m_udbc->gOpenFlag = true;
    }
    return *m_udbc;
}

void Lib_FrmCons3::Form_Load() {
    HandledSteps pasos(informarEn(QStringLiteral("FORM_LOAD")));
    m_cargada = true;
    if (!pasos.run([&] {
            m_esArticulo = contiene(m.SQL, "articulos");
            m.Valores = QStringList{};
            m.Cantidades = QList<double>{};
            m_filasLista->vaciar();
            QFont fuente = ListView1->font();
            fuente.setBold(true);
            fuente.setPointSize(10);
            ListView1->setFont(fuente);
        })) {
        return;
    }
    if (m.SQL.isEmpty()) {
        library::prepareWindow(*this, false);
        return;
    }
    if (!pasos.run([&] {
            m.SQL += u' ';
            m_tabla = tablaDeSentencia(m.SQL);
            if (m_sentenciaInicial.isEmpty()) {
                m_sentenciaInicial = m.SQL;
            }
            m_sentenciaBase = m.SQL;
        })) {
        return;
    }
    if (!pasos.run([&] {
            QString sentencia = m.SQL;
            datos().AbrirRecordset(sentencia, m_rs, std::nullopt, db::adOpenForwardOnly,
                                   db::adLockReadOnly, db::adOptionUnspecified, true);
        })) {
        return;
    }
    if (!pasos.run([&] { Encolumnar(); })) {
        return;
    }
    if (!pasos.run([&] { Leer(1, 0); })) {
        return;
    }
    if (!pasos.run([&] {
            if (m.OrdenarPorLwv) {
                ordenar(0, Qt::AscendingOrder);
            }
            if (!m.FiltroInicial.trimmed().isEmpty()) {
                cajaBusqueda(0)->setEditText(m.FiltroInicial);
            }
        })) {
        return;
    }
    pasos.run([&] { datos().CierraRecordset(m_rs); });
    pasos.run([&] { aplicarAnchosGuardados(); });
    pasos.run([&] { CalcularAncho(); });
    pasos.run([&] { library::prepareWindow(*this, false); });
}

void Lib_FrmCons3::Encolumnar() {
    m_filasLista->vaciar();
    const db::Fields campos = m_rs.fields();
    const bool preciosConNombre =
        contiene(m.SQL, "V_MA_ARTICULOS") || contiene(m.SQL, "STK_MA_ARTICULOS");
    const QFontMetrics medidas(ListView1->font());
    QStringList encabezados;
    QList<int> anchos;
    for (int i = 0; i < campos.count(); ++i) {
        const db::Field campo = campos.item(i);
        int caracteres = caracteresDeCampo(campo);
        QComboBox* caja = cajaBusqueda(i);
        caja->setProperty("Campo", campo.name());
        caja->lineEdit()->setMaxLength(largoBusqueda(campo));
        caja->setVisible(true);

        QString encabezado = campo.name();
        if (preciosConNombre) {
            for (int clase = 1; clase <= 8; ++clase) {
                if (campo.name().compare(QStringLiteral("PRECIO%1").arg(clase),
                                         Qt::CaseInsensitive) == 0) {
                    encabezado = session::Cfg(QStringLiteral("NOM_PCLASE%1").arg(clase));
                }
            }
        } else if (m.ValoresDefault == QLatin1String("@10")) {
            caracteres += 10;
        }
        encabezados << encabezado;
        anchos << medidas.horizontalAdvance(QString(caracteres, u'X'));
    }
    // Boxes of a wider earlier statement stay out of sight.
    for (QComboBox* caja : picFields->findChildren<QComboBox*>(Arreglo)) {
        if (ui::arrayIndexOf(*caja) >= campos.count()) {
            caja->setVisible(false);
        }
    }
    m_filasLista->encabezar(encabezados);
    for (int i = 0; i < anchos.size(); ++i) {
        ListView1->setColumnWidth(i, anchos.at(i));
    }
}

void Lib_FrmCons3::Leer(int /*Cdesde*/, int /*Cuantas*/) {
    if (m_rs.state() != db::adStateOpen || (m_rs.bof() && m_rs.eof())) {
        return;
    }
    const db::Fields campos = m_rs.fields();
    const int columnas = campos.count();
    const auto indiceCampo = [&](const QString& nombre) {
        for (int i = 0; i < columnas; ++i) {
            if (campos.item(i).name().compare(nombre, Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
        return -1;
    };
    const int puntoPedido = indiceCampo(QStringLiteral("PUNTOPEDIDO"));
    const int stock = indiceCampo(QStringLiteral("Stock"));
    const int devuelto =
        indiceCampo(m.CampoDevuelto.isEmpty() ? campos.item(0).name() : m.CampoDevuelto);
    const bool pintar =
        m.MuestraStock.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0 &&
        m_esArticulo && puntoPedido >= 0 && stock >= 0;
    const Variant niveles[] = {m.StkNivel1, m.StkNivel2, m.StkNivel3, m.StkNivel4};

    std::vector<std::vector<Variant>> filas = m_rs.getRows();
    const std::size_t cuenta = filas.empty() ? 0 : filas.front().size();
    m_filas += static_cast<int>(cuenta);
    std::vector<std::uint8_t> marcas;
    if (m.CheckBoxes) {
        marcas.reserve(cuenta);
        for (std::size_t fila = 0; fila < cuenta; ++fila) {
            const QString valor =
                devuelto >= 0
                    ? FilasLista::textoValor(filas[static_cast<std::size_t>(devuelto)][fila])
                    : QString();
            marcas.push_back(m.ValoresDefault.contains(valor, Qt::CaseInsensitive) ? 1 : 0);
        }
    }
    std::vector<std::uint8_t> nivelesFila;
    if (pintar) {
        nivelesFila.reserve(cuenta);
        for (std::size_t fila = 0; fila < cuenta; ++fila) {
            nivelesFila.push_back(static_cast<std::uint8_t>(
                nivelStock(filas[static_cast<std::size_t>(puntoPedido)][fila].toDouble(),
                           filas[static_cast<std::size_t>(stock)][fila].toDouble())));
        }
    }
    m_filasLista->llenar(std::move(filas), m.CheckBoxes, std::move(marcas));
    if (pintar) {
        QFont negrita = ListView1->font();
        negrita.setBold(true);
        m_filasLista->pintarNiveles(std::move(nivelesFila),
                                    {colorBgr(niveles[0]), colorBgr(niveles[1]),
                                     colorBgr(niveles[2]), colorBgr(niveles[3])},
                                    negrita);
    }
}

void Lib_FrmCons3::aplicarAnchosGuardados() {
    const std::optional<QList<int>> anchos = leerAnchosColumnas(carpetaAnchos, m_tabla);
    if (!anchos) {
        return;
    }
    for (int i = 0; i < anchos->size() && i < m_filasLista->columnCount(); ++i) {
        ListView1->setColumnWidth(i, pixeles(anchos->at(i)));
    }
    alinearCajas();
}

void Lib_FrmCons3::alinearCajas() {
    QHeaderView* encabezado = ListView1->header();
    const int alto = cajaBusqueda(0)->sizeHint().height();
    for (QComboBox* caja : cajasVisibles()) {
        const int columna = ui::arrayIndexOf(*caja);
        caja->setGeometry(encabezado->sectionPosition(columna), 0,
                          std::max(encabezado->sectionSize(columna) - pixeles(50), 10), alto);
    }
    ListView1->move(0, alto + 2);
}

void Lib_FrmCons3::CalcularAncho() {
    alinearCajas();
    int columnas = 0;
    for (int i = 0; i < m_filasLista->columnCount(); ++i) {
        columnas += ListView1->columnWidth(i);
    }
    const int anchoLista = columnas + pixeles(360);
    const int anchoContenedor = columnas + pixeles(360);
    picFields->resize(std::max(anchoContenedor, m_recorte->width()), picFields->height());
    ListView1->resize(std::max(anchoLista, m_recorte->width() - 2), ListView1->height());
    const int contenedorTwips = twips(anchoContenedor);
    HScroll1->setMaximum(contenedorTwips <= 32700
                             ? static_cast<int>(std::lround((contenedorTwips + 480) * 0.6))
                             : 32700);
    HScroll1->setPageStep(std::max(1, twips(m_recorte->width())));

    const QScreen* pantalla = screen();
    const int anchoPantalla = pantalla ? pantalla->availableGeometry().width() : 1024;
    resize(anchoLista + pixeles(360) > anchoPantalla ? anchoPantalla - pixeles(480)
                                                     : anchoLista + pixeles(280),
           height());
}

void Lib_FrmCons3::HScroll1_Change(int valor) {
    // The bar's value is the container's shift to the left, in twips.
    ignoringErrors([&] { picFields->move(-pixeles(valor), 0); });
}

void Lib_FrmCons3::resizeEvent(QResizeEvent* evento) {
    QDialog::resizeEvent(evento);
    ignoringErrors([&] {
        const int ancho = width();
        const int altoBotones = CmdAceptar->sizeHint().height() + 12;
        const int margen = pixeles(120) / 2;
        Label1->setGeometry(margen, 4, std::max(10, ancho - CmdNuevo->sizeHint().width()), 18);
        lblFieldName->setGeometry(margen, 22, ancho / 2, 0);
        const int arriba = 24;
        const int altoScroll = HScroll1->sizeHint().height();
        const int altoRecorte = std::max(60, height() - arriba - altoBotones - altoScroll - 12);
        m_recorte->setGeometry(margen, arriba, ancho - 2 * margen, altoRecorte);
        picFields->resize(std::max(picFields->width(), m_recorte->width()), altoRecorte);
        ListView1->resize(std::max(ListView1->width(), m_recorte->width() - 2),
                          altoRecorte - ListView1->y());
        HScroll1->setGeometry(margen, arriba + altoRecorte + 2, ancho - 2 * margen, altoScroll);
        Frame1->setGeometry(0, height() - altoBotones, ancho, altoBotones);

        // Aceptar at the left, Cancelar in the middle, the rest at the right.
        const int y = 6;
        const int alto = altoBotones - 12;
        CmdAceptar->setGeometry(pixeles(100), y, CmdAceptar->sizeHint().width(), alto);
        CmdCancelar->setGeometry((ancho - CmdCancelar->sizeHint().width()) / 2, y,
                                 CmdCancelar->sizeHint().width(), alto);
        int derecha = ancho - pixeles(150);
        for (QPushButton* b : {CmdNueva, CmdNuevo, CmdTodos}) {
            if (!b->isHidden()) {
                derecha -= b->sizeHint().width();
                b->setGeometry(derecha, y, b->sizeHint().width(), alto);
                derecha -= 6;
            }
        }
    });
}

int Lib_FrmCons3::Busqueda(int Clave, const QString& QueValor) const {
    const QString buscado = QueValor.trimmed();
    for (int i = 0; i < m_filasLista->filas(); ++i) {
        if (m_filasLista->texto(i, Clave).trimmed().startsWith(buscado, Qt::CaseInsensitive)) {
            return i + 1;
        }
    }
    return 0;
}

int Lib_FrmCons3::IndiceColumna(const QString& Columna) const {
    for (int i = 0; i < m_filasLista->columnCount(); ++i) {
        if (m_filasLista->encabezado(i).trimmed().compare(Columna.trimmed(), Qt::CaseInsensitive) == 0) {
            return i + 1;
        }
    }
    return 0;
}

void Lib_FrmCons3::CmbSearch_Change(int indice) {
    ignoringErrors([&] {
        if (indice >= m_filasLista->columnCount()) {
            return;
        }
        const int fila = Busqueda(indice, cajaBusqueda(indice)->currentText());
        if (fila > 0) {
            irAFila(fila - 1);
        }
    });
}

void Lib_FrmCons3::CmbSearch_NuevaBusqueda(int indice) {
    ignoringErrors([&] {
        QComboBox* caja = cajaBusqueda(indice);
        const QString campo = caja->property("Campo").toString();
        const QString buscado = caja->currentText();
        if (!m.CfgUsaConsultaLIKE) {
            caja->setEditText(textoComodines(buscado));
        }
        const QString nueva =
            sentenciaBusquedaLista(m_sentenciaBase.isEmpty() ? m.SQL : m_sentenciaBase, campo,
                                   buscado, m.CfgUsaConsultaLIKE);
        caja->setEditText(QString());
        m.SQL = nueva;
        m_sentenciaBase = nueva;
        Form_Load();
    });
}

void Lib_FrmCons3::ordenarPor(int columna) {
    m_ordenAscendente = !m_ordenAscendente;
    ordenar(columna, m_ordenAscendente ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void Lib_FrmCons3::ordenar(int columna, Qt::SortOrder orden) {
    ListView1->header()->setSortIndicator(columna, orden);
    m_filasLista->sort(columna, orden);
}

int Lib_FrmCons3::filaActual() const {
    const QModelIndex actual = ListView1->currentIndex();
    return actual.isValid() ? actual.row() : -1;
}

void Lib_FrmCons3::irAFila(int fila) {
    const QModelIndex indice = m_filasLista->index(fila, 0);
    ListView1->setCurrentIndex(indice);
    ListView1->scrollTo(indice);
}

QString Lib_FrmCons3::textoCelda(int fila, int columna1) const {
    return m_filasLista->texto(fila, std::max(columna1, 1) - 1);
}

void Lib_FrmCons3::CmdAceptar_Click() {
    HandledSteps pasos(informarEn(QStringLiteral("CmdAceptar_Click")));
    const int cantidad = IndiceColumna(texto::ColumnaCantidad);
    const auto agregarCantidad = [&](int fila) {
        if (cantidad > 0 && m.Cantidades) {
            m.Cantidades->append(textoCelda(fila, cantidad).trimmed().toDouble());
        }
    };
    if (!m.Valores) {
        m.Valores = QStringList{};
    }
    if (!m.Cantidades) {
        m.Cantidades = QList<double>{};
    }
    if (m.CheckBoxes) {
        if (!pasos.run([&] {
                if (m.CampoDevuelto.isEmpty()) {
                    m.CampoDevuelto = m_filasLista->encabezado(0);
                }
            })) {
            return;
        }
        const int columna = IndiceColumna(m.CampoDevuelto);
        for (int fila = 0; fila < m_filasLista->filas(); ++fila) {
            if (!m_filasLista->marcada(fila)) {
                continue;
            }
            if (!pasos.run([&] {
                    if (columna == 0) {
                        throw standardError(errnum::ItemNotFound, m.CampoDevuelto);
                    }
                    m.Valores->append(textoCelda(fila, columna));
                    agregarCantidad(fila);
                })) {
                return;
            }
        }
    } else if (const int fila = filaActual(); fila >= 0) {
        if (m.CmpsDevueltos) {
            for (const QString& nombre : *m.CmpsDevueltos) {
                if (!pasos.run([&] {
                        const int columna = IndiceColumna(nombre);
                        if (columna == 0) {
                            throw standardError(errnum::ItemNotFound, nombre);
                        }
                        m.Valores->append(textoCelda(fila, columna));
                    })) {
                    return;
                }
            }
        }
        if (!pasos.run([&] {
                if (!m.CampoDevuelto.trimmed().isEmpty()) {
                    const int columna = IndiceColumna(m.CampoDevuelto);
                    if (columna == 0) {
                        throw standardError(errnum::ItemNotFound, m.CampoDevuelto);
                    }
                    m.ValorDevuelto = textoCelda(fila, columna);
                } else if (!m.Valores->isEmpty()) {
                    m.ValorDevuelto = m.Valores->last();
                }
                agregarCantidad(fila);
            })) {
            return;
        }
    }
    hide();
}

void Lib_FrmCons3::CmdCancelar_Click() {
    ignoringErrors([&] {
        m.ValorDevuelto = Variant();
        m.CmpsDevueltos.reset();
        m.Valores.reset();
    });
    hide();
}

void Lib_FrmCons3::reject() {
    CmdCancelar_Click();
}

void Lib_FrmCons3::CmdTodos_Click() {
    ignoringErrors([&] {
        m_filasLista->invertirMarcas();
    });
}

void Lib_FrmCons3::CmdNueva_Click() {
    ignoringErrors([&] {
        m.SQL = m_sentenciaInicial;
        Form_Load();
        cajaBusqueda(0)->setFocus();
    });
}

void Lib_FrmCons3::CmdNuevo_Click() {
    ignoringErrors([&] {
        const bool altaAutomatica = session::Cfg(QStringLiteral("ArticulosPermitealtaAutomatica"))
                                        .trimmed()
                                        .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
        AccionNuevo accion = accionNuevo(m_tabla, altaAutomatica);
        if (accion.altaRapida && !altaRapidaArticulo()) {
            accion = accionNuevo(m_tabla, false);
        }
        if (!accion.altaRapida) {
            lanzadorProgramas()(accion.programa, accion.parametro);
            return;
        }
        const std::optional<QString> codigo =
            altaRapidaArticulo()(this, codigoArticuloPropuesto(data::sharedDb()));
        if (codigo && !codigo->isEmpty()) {
            m.ValorDevuelto = *codigo;
            hide();
        }
    });
}

void Lib_FrmCons3::desmarcarTodas() {
    if (!m_cargada) {
        Form_Load();
    }
    if (!m.CheckBoxes) {
        return; // rows without check boxes must not grow one
    }
    m_filasLista->marcarTodas(false);
}

void Lib_FrmCons3::mostrarModal() {
    if (!m_cargada) {
        Form_Load();
    }
    exec();
}

void Lib_FrmCons3::mostrarOpciones(const ListaOpciones& lista) {
    Form_Load();
    setWindowTitle(lista.titulo);
    CmdNueva->hide();
    m.OrdenarPorLwv = true;
    m.SQL.clear();
    m.gConnString.clear();
    m.CampoDevuelto = lista.titulo;
    m.CheckBoxes = lista.checkBoxes;
    m_filasLista->encabezar({lista.titulo});
    std::vector<Variant> textos;
    std::vector<std::uint8_t> marcas;
    for (const OpcionLista& opcion : lista.opciones) {
        textos.emplace_back(opcion.texto);
        marcas.push_back(opcion.marcada ? 1 : 0);
    }
    m_filasLista->llenar({std::move(textos)}, lista.checkBoxes, std::move(marcas));
    const QScreen* pantalla = screen();
    const int anchoPantalla = pantalla ? pantalla->availableGeometry().width() : 1024;
    resize(std::min(pixeles(lista.anchoTwips), anchoPantalla), height());
    ListView1->setColumnWidth(0, std::max(m_recorte->width() - 2, 50));
    CalcularAncho();
    resize(std::min(std::max(pixeles(lista.anchoTwips), 240), anchoPantalla), height());
    exec();
}

void Lib_FrmCons3::descargar() {
    m.UsarUDBC = false;
    if (m.GrabarCfg && !m_tabla.isEmpty()) {
        if (const auto error = ignoringErrors([&] {
                QList<int> anchos;
                for (int i = 0; i < m_filasLista->columnCount(); ++i) {
                    anchos << twips(ListView1->columnWidth(i));
                }
                guardarAnchosColumnas(carpetaAnchos, m_tabla, anchos);
            })) {
            ui::operatorInterface().messageBox(error->description(), ui::style::Critical,
                                               texto::AvisoOperadorVentana);
        }
    }
    m_filasLista->vaciar();
    m_cargada = false;
}

} // namespace estaciones::lookup::widgets
