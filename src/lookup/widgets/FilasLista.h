#pragma once

#include "platform/core/Variant.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace estaciones::lookup::widgets {

// The rows of the list window as the recordset gave them, one vector of
// values per column. A cell becomes text only when it is shown, searched or
// sorted on, so a list of a million rows costs little more than its values.
// Rows are addressed in the order shown; sorting only reorders an index.
class FilasLista : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FilasLista(QObject* parent = nullptr);

    // The columns of a new statement, without rows.
    void encabezar(const QStringList& encabezados);
    void vaciar() { encabezar({}); }
    // The rows, once: `columnas` holds one vector of values per column, all
    // of the same length; `marcable` gives every row a check box, checked
    // where `marcas` (by row, when given) is not 0.
    void llenar(std::vector<std::vector<Variant>> columnas, bool marcable,
                std::vector<std::uint8_t> marcas = {});

    // The stock level (1 to 4) a row is painted with, in the colours given.
    void pintarNiveles(std::vector<std::uint8_t> niveles, const std::array<QColor, 4>& colores,
                       const QFont& fuente);

    int filas() const { return static_cast<int>(m_orden.size()); }
    // A cell in the order shown: the value as plain trimmed text.
    QString texto(int fila, int columna) const;
    void cambiarTexto(int fila, int columna, const QString& texto);
    // The trimmed text of a stored value (as the list shows it).
    static QString textoValor(const Variant& valor);
    // The value a row was read with, before any change of its text.
    const Variant& valor(int fila, int columna) const;

    bool marcable() const { return m_marcable; }
    bool marcada(int fila) const;
    void marcar(int fila, bool marca);
    void marcarTodas(bool marca);
    void invertirMarcas();

    QString encabezado(int columna) const { return m_encabezados.value(columna); }

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override;
    // Stable, by text ignoring letter case; the current row stays current.
    void sort(int columna, Qt::SortOrder orden) override;

private:
    int guardada(int fila) const { return m_orden[static_cast<std::size_t>(fila)]; }
    void avisarMarcas();

    QStringList m_encabezados;
    std::vector<std::vector<Variant>> m_columnas;
    std::vector<int> m_orden;                 // shown row -> stored row
    std::vector<std::uint8_t> m_marcas;       // by stored row
    std::vector<std::uint8_t> m_niveles;      // by stored row, empty when not painted
    QHash<std::int64_t, QString> m_cambiados; // texts changed after loading
    std::array<QColor, 4> m_colores;
    QFont m_fuenteNivel;
    bool m_marcable = false;
};

} // namespace estaciones::lookup::widgets
