#pragma once

#include "platform/core/LocalShared.h"
#include "platform/core/Variant.h"
#include "platform/db/Engine.h"

#include <QString>

#include <memory>

namespace estaciones::db {

namespace detail {
struct RecordsetState;
}
// What Recordset, Fields and Field hold: the recordset's state, shared.
using RecordsetHandle = LocalShared<detail::RecordsetState>;

// One column of a recordset's current row (ADO Field). A light handle: it
// reads and writes through the recordset it came from, so a Field taken
// before a Move shows the new row's value afterwards, as in ADO.
class Field {
public:
    QString name() const;
    // ADO DataTypeEnum code (adtype:: in Engine.h) and DefinedSize (characters
    // for text, bytes otherwise), from the engine's column information.
    int type() const;
    std::int64_t definedSize() const;
    int precision() const;
    int numericScale() const;
    // ADO ActualSize: characters of a text value, bytes otherwise, -1 for Null.
    std::int64_t actualSize() const;

    // The current row's value. Throws 3021 when BOF or EOF is true, 3704 when
    // the recordset is closed.
    Variant value() const;
    // The value as read from the database (before any pending change).
    Variant originalValue() const;
    // Starts or continues an edit of the current row (lock type 3 only; a
    // read-only recordset throws 3251).
    void setValue(const Variant& value);
    Field& operator=(const Variant& value) {
        setValue(value);
        return *this;
    }

    const ColumnInfo& info() const;
    int index() const { return m_index; }

private:
    friend class Recordset;
    friend class Fields;
    Field(RecordsetHandle state, int index)
        : m_state(std::move(state)), m_index(index) {}

    RecordsetHandle m_state;
    int m_index;
};

// A recordset's Fields collection: by index (0-based) or by name ignoring case.
// Unknown names and indexes throw 3265.
class Fields {
public:
    int count() const;
    Field item(int index) const;
    Field item(const QString& name) const;
    Field item(const Variant& indexOrName) const;
    Field operator[](int index) const { return item(index); }
    Field operator[](const QString& name) const { return item(name); }
    Field operator[](const char* name) const { return item(QString::fromUtf8(name)); }

private:
    friend class Recordset;
    explicit Fields(RecordsetHandle state) : m_state(std::move(state)) {}
    // What item() gives, for a recordset's own shortcuts: no collection is
    // made for one field.
    static Field itemOf(const RecordsetHandle& state, int index);
    static Field itemOf(const RecordsetHandle& state, const QString& name);
    RecordsetHandle m_state;
};

} // namespace estaciones::db
