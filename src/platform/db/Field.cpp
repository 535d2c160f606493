#include "platform/db/Field.h"

#include "platform/db/LayerInternal.h"

namespace estaciones::db {

using detail::RecordsetState;

QString Field::name() const {
    return info().name;
}

int Field::type() const {
    return info().type;
}

std::int64_t Field::definedSize() const {
    return info().definedSize;
}

int Field::precision() const {
    return info().precision;
}

int Field::numericScale() const {
    return info().numericScale;
}

const ColumnInfo& Field::info() const {
    m_state->requireOpen();
    return m_state->columns.at(static_cast<size_t>(m_index));
}

std::int64_t Field::actualSize() const {
    const Variant v = value();
    if (v.isNull() || v.isEmpty()) {
        return -1;
    }
    if (v.isText()) {
        return v.toString().size();
    }
    if (v.isBytes()) {
        return v.toBytes().size();
    }
    return info().definedSize;
}

Variant Field::value() const {
    m_state->requireOpen();
    m_state->requireCurrentRow();
    return m_state->currentValue(m_index);
}

Variant Field::originalValue() const {
    m_state->requireOpen();
    if (m_state->editMode == adEditAdd) {
        return Variant::null();
    }
    m_state->requireCurrentRow();
    return m_state->rows[static_cast<size_t>(m_state->position)][static_cast<size_t>(m_index)];
}

void Field::setValue(const Variant& value) {
    m_state->setValue(m_index, value);
}

int Fields::count() const {
    m_state->requireOpen();
    return static_cast<int>(m_state->columns.size());
}

Field Fields::item(int index) const {
    return itemOf(m_state, index);
}

Field Fields::item(const QString& name) const {
    return itemOf(m_state, name);
}

Field Fields::itemOf(const RecordsetHandle& state, int index) {
    state->requireOpen();
    if (index < 0 || index >= static_cast<int>(state->columns.size())) {
        throw standardError(errnum::ItemNotFound, detail::kRecordsetSource);
    }
    return Field(state, index);
}

Field Fields::itemOf(const RecordsetHandle& state, const QString& name) {
    state->requireOpen();
    const int index = state->fieldIndex(name);
    if (index < 0) {
        throw standardError(errnum::ItemNotFound, detail::kRecordsetSource);
    }
    return Field(state, index);
}

Field Fields::item(const Variant& indexOrName) const {
    if (indexOrName.isNumeric()) {
        return item(indexOrName.toInt32());
    }
    return item(indexOrName.toString());
}

} // namespace estaciones::db
