#pragma once

// Private to the layer: a recordset state over rows already read.

#include "platform/db/LayerInternal.h"

namespace estaciones::db::detail {

RecordsetHandle
makeRecordsetState(const std::shared_ptr<ConnectionState>& connection, ResultSet rows,
                   const QString& source, int cursorType, int lockType, int cursorLocation);

// Keeps the result sets after the first of `resultSets` (which has been used)
// in `state` for nextRecordset().
void keepLaterResultSets(RecordsetState& state, std::vector<ResultSet>& resultSets);

} // namespace estaciones::db::detail
