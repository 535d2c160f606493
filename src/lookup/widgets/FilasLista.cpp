#include "lookup/widgets/FilasLista.h"

#include <QBrush>

#include <algorithm>
#include <numeric>

namespace estaciones::lookup::widgets {

namespace {
std::int64_t claveCelda(int guardada, int columna) {
    return (static_cast<std::int64_t>(guardada) << 16) | columna;
}
} // namespace

FilasLista::FilasLista(QObject* parent) : QAbstractTableModel(parent) {}

QString FilasLista::textoValor(const Variant& valor) {
    return valor.toString().trimmed();
}

void FilasLista::encabezar(const QStringList& encabezados) {
    beginResetModel();
    m_encabezados = encabezados;
    m_columnas.assign(static_cast<std::size_t>(encabezados.size()), {});
    m_orden.clear();
    m_marcable = false;
    m_marcas.clear();
    m_niveles.clear();
    m_cambiados.clear();
    endResetModel();
}

void FilasLista::llenar(std::vector<std::vector<Variant>> columnas, bool marcable,
                        std::vector<std::uint8_t> marcas) {
    columnas.resize(m_columnas.size());
    const std::size_t cuenta = columnas.empty() ? 0 : columnas.front().size();
    if (cuenta == 0) {
        return;
    }
    // Inserted rather than reset, so the header keeps its column widths.
    beginInsertRows({}, filas(), filas() + static_cast<int>(cuenta) - 1);
    m_columnas = std::move(columnas);
    m_orden.resize(cuenta);
    std::iota(m_orden.begin(), m_orden.end(), 0);
    m_marcable = marcable;
    m_marcas = std::move(marcas);
    m_marcas.resize(marcable ? cuenta : 0, 0);
    endInsertRows();
}

void FilasLista::pintarNiveles(std::vector<std::uint8_t> niveles,
                               const std::array<QColor, 4>& colores, const QFont& fuente) {
    m_niveles = std::move(niveles);
    m_colores = colores;
    m_fuenteNivel = fuente;
    if (filas() > 0) {
        emit dataChanged(index(0, 0), index(filas() - 1, columnCount() - 1));
    }
}

const Variant& FilasLista::valor(int fila, int columna) const {
    return m_columnas[static_cast<std::size_t>(columna)][static_cast<std::size_t>(guardada(fila))];
}

QString FilasLista::texto(int fila, int columna) const {
    if (fila < 0 || fila >= filas() || columna < 0 || columna >= columnCount()) {
        return {};
    }
    if (!m_cambiados.isEmpty()) {
        const auto cambiado = m_cambiados.constFind(claveCelda(guardada(fila), columna));
        if (cambiado != m_cambiados.cend()) {
            return *cambiado;
        }
    }
    return textoValor(valor(fila, columna));
}

void FilasLista::cambiarTexto(int fila, int columna, const QString& texto) {
    m_cambiados.insert(claveCelda(guardada(fila), columna), texto);
    emit dataChanged(index(fila, columna), index(fila, columna), {Qt::DisplayRole});
}

bool FilasLista::marcada(int fila) const {
    return m_marcable && m_marcas[static_cast<std::size_t>(guardada(fila))] != 0;
}

void FilasLista::marcar(int fila, bool marca) {
    if (!m_marcable) {
        return;
    }
    m_marcas[static_cast<std::size_t>(guardada(fila))] = marca ? 1 : 0;
    emit dataChanged(index(fila, 0), index(fila, 0), {Qt::CheckStateRole});
}

void FilasLista::marcarTodas(bool marca) {
    std::fill(m_marcas.begin(), m_marcas.end(), marca ? 1 : 0);
    avisarMarcas();
}

void FilasLista::invertirMarcas() {
    for (std::uint8_t& marca : m_marcas) {
        marca = marca ? 0 : 1;
    }
    avisarMarcas();
}

void FilasLista::avisarMarcas() {
    if (m_marcable && filas() > 0) {
        emit dataChanged(index(0, 0), index(filas() - 1, 0), {Qt::CheckStateRole});
    }
}

int FilasLista::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : filas();
}

int FilasLista::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(m_encabezados.size());
}

QVariant FilasLista::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid()) {
        return {};
    }
    const int fila = indice.row();
    switch (rol) {
    case Qt::DisplayRole:
        return texto(fila, indice.column());
    case Qt::CheckStateRole:
        if (m_marcable && indice.column() == 0) {
            return marcada(fila) ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    case Qt::ForegroundRole:
        if (!m_niveles.empty()) {
            return QBrush(m_colores[m_niveles[static_cast<std::size_t>(guardada(fila))] - 1]);
        }
        return {};
    case Qt::FontRole:
        if (!m_niveles.empty()) {
            return m_fuenteNivel;
        }
        return {};
    default:
        return {};
    }
}

bool FilasLista::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (!indice.isValid() || rol != Qt::CheckStateRole || !m_marcable || indice.column() != 0) {
        return false;
    }
    marcar(indice.row(), valor.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags FilasLista::flags(const QModelIndex& indice) const {
    if (!indice.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags banderas = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_marcable && indice.column() == 0) {
        banderas |= Qt::ItemIsUserCheckable;
    }
    return banderas;
}

QVariant FilasLista::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole) {
        return m_encabezados.value(seccion);
    }
    return QAbstractTableModel::headerData(seccion, orientacion, rol);
}

void FilasLista::sort(int columna, Qt::SortOrder orden) {
    if (columna < 0 || columna >= columnCount()) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistentes = persistentIndexList();
    std::vector<int> guardadas;
    guardadas.reserve(static_cast<std::size_t>(persistentes.size()));
    for (const QModelIndex& p : persistentes) {
        guardadas.push_back(guardada(p.row()));
    }

    // The column's texts exist only while sorting.
    std::vector<QString> textos(m_orden.size());
    for (int fila = 0; fila < filas(); ++fila) {
        textos[static_cast<std::size_t>(guardada(fila))] = texto(fila, columna);
    }
    const auto menor = [&](int a, int b) {
        return textos[static_cast<std::size_t>(a)].compare(textos[static_cast<std::size_t>(b)],
                                                           Qt::CaseInsensitive) < 0;
    };
    if (orden == Qt::AscendingOrder) {
        std::stable_sort(m_orden.begin(), m_orden.end(), menor);
    } else {
        std::stable_sort(m_orden.begin(), m_orden.end(), [&](int a, int b) { return menor(b, a); });
    }

    std::vector<int> mostrada(m_orden.size());
    for (std::size_t fila = 0; fila < m_orden.size(); ++fila) {
        mostrada[static_cast<std::size_t>(m_orden[fila])] = static_cast<int>(fila);
    }
    QModelIndexList nuevos;
    nuevos.reserve(persistentes.size());
    for (qsizetype i = 0; i < persistentes.size(); ++i) {
        nuevos << index(mostrada[static_cast<std::size_t>(guardadas[static_cast<std::size_t>(i)])],
                        persistentes[i].column());
    }
    changePersistentIndexList(persistentes, nuevos);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace estaciones::lookup::widgets
