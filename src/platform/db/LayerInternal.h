#pragma once

// Shared state behind the Connection and Recordset handles (private to the layer).

#include "platform/core/LocalShared.h"
#include "platform/db/AdoConstants.h"
#include "platform/db/Engine.h"
#include "platform/db/Errors.h"
#include "platform/db/FaultInjection.h"

#include <memory>
#include <type_traits>
#include <vector>

namespace estaciones::db::detail {

inline const QString kConnectionSource = QStringLiteral("ADODB.Connection");
inline const QString kRecordsetSource = QStringLiteral("ADODB.Recordset");
inline const QString kFieldSource = QStringLiteral("ADODB.Field");
inline const QString kCursorEngineSource = QStringLiteral("Microsoft Cursor Engine");

struct ConnectionState {
    std::unique_ptr<Engine> engine; // set while open
    bool open = false;
    QString connectionString;
    QString provider;
    int cursorLocation = adUseServer;
    int commandTimeout = 30;
    int connectionTimeout = 15;
    QString pendingDatabase; // DefaultDatabase set while closed
    int isolationLevel = adXactReadCommitted;
    Errors errors;
    FaultInjector faults;

    // Runs an engine call: planned faults first, provider failures into Errors.
    template <class F> auto call(FaultOperation operation, F&& f) -> decltype(f()) {
        try {
            faults.beforeOperation(operation, engine.get());
            if constexpr (std::is_void_v<decltype(f())>) {
                f();
                faults.afterOperation(engine.get());
            } else {
                auto result = f();
                faults.afterOperation(engine.get());
                return result;
            }
        } catch (const ProviderFailure& failure) {
            errors.replace(failure.records());
            throw;
        }
    }
    void takeWarnings(const std::vector<ProviderError>& warnings) {
        if (!warnings.empty()) {
            errors.replace(warnings);
        }
    }
};

[[noreturn]] void raiseRecordsetClosed();
[[noreturn]] void raiseNoCurrentRecord();

struct RecordsetState : LocalCounted {
    std::shared_ptr<ConnectionState> connection; // active connection, may be null
    bool open = false;
    int requestedCursorType = adOpenForwardOnly;
    int requestedLockType = adLockReadOnly;
    int requestedCursorLocation = -1; // -1: the connection's
    int cursorType = adOpenForwardOnly;
    int lockType = adLockReadOnly;
    int cursorLocation = adUseServer;
    QString source;

    std::vector<ColumnInfo> columns;
    std::vector<std::vector<Variant>> rows;
    // rows hold what the database has (ADO's OriginalValue outside an edit);
    // an edit works on editValues until update() writes it.
    std::int64_t position = -1; // -1 BOF, rows.size() EOF
    QString baseTable; // read through resolvedBaseTable()
    bool baseTableFromSourcePending = false;
    // What the same text returned after these rows, for nextRecordset().
    std::vector<ResultSet> laterResultSets;

    int editMode = adEditNone;
    std::vector<Variant> editValues;
    std::vector<bool> changed;
    std::int64_t positionBeforeAdd = -1;

    std::int64_t rowCount() const { return static_cast<std::int64_t>(rows.size()); }
    bool atBof() const { return position < 0 || rows.empty(); }
    bool atEof() const { return position >= rowCount() || rows.empty(); }
    bool hasCurrentRow() const {
        return editMode == adEditAdd || (position >= 0 && position < rowCount());
    }

    // Inline: every value read passes here.
    void requireOpen() const {
        if (!open) {
            raiseRecordsetClosed();
        }
    }
    void requireCurrentRow() const {
        if (!hasCurrentRow()) {
            raiseNoCurrentRecord();
        }
    }
    int fieldIndex(const QString& name) const; // -1 when unknown
    // The engine's base table, with the schema prefix the source gave it.
    const QString& resolvedBaseTable();
    const Variant& currentValue(int index) const {
        if (editMode != adEditNone) {
            return editValues[static_cast<size_t>(index)];
        }
        return rows[static_cast<size_t>(position)][static_cast<size_t>(index)];
    }
    void setValue(int index, const Variant& value);
};

} // namespace estaciones::db::detail
