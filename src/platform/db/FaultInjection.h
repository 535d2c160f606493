#pragma once

#include "platform/db/Engine.h"

#include <deque>
#include <functional>
#include <memory>

namespace estaciones::db {

// What a planned fault waits for.
enum class FaultOperation {
    Any, // the next engine call of any kind below
    Open,
    Execute, // Connection::execute, Recordset::open, recordset writes
    BeginTrans,
    CommitTrans,
    RollbackTrans,
    OpenSchema,
};

// The test seam of a Connection (Connection::faults()): makes the next
// operations fail with a given provider error, or drops the link as a server
// or network failure would. Planned faults survive close/open; a drop lasts
// until the connection is closed and opened again.
class FaultInjector {
public:
    // The next `times` operations of kind `operation` throw ProviderFailure
    // with `records` (which also fill the connection's Errors) and never reach
    // the engine.
    void failNext(std::vector<ProviderError> records,
                  FaultOperation operation = FaultOperation::Any, int times = 1);
    // Shorthand: one record with that number, text, SQL state and native error.
    void failNext(std::int32_t number, const QString& description,
                  const QString& sqlState = QStringLiteral("HY000"), std::int32_t nativeError = 0,
                  FaultOperation operation = FaultOperation::Any, int times = 1);

    // Drops the link now: the engine's session ends (the server rolls back any
    // open transaction) while State still says open, as ADO would; every later
    // call but close() fails with E_FAIL, SQL state 08S01, native 10054
    // ("Communication link failure"), until close() and open().
    void dropConnection();
    // Drops the link when the next operation of kind `operation` starts (that
    // operation fails as above).
    void dropOnNext(FaultOperation operation = FaultOperation::Any);
    // Lets the next operation of kind `operation` reach the engine and finish
    // there, then drops the link before its answer comes back: the caller sees
    // the lost link and cannot know that the work was done.
    void dropAfterNext(FaultOperation operation = FaultOperation::Any);
    bool isDropped() const { return m_dropped; }

    // Forgets planned faults (a drop in force stays until reopened).
    void clear();
    int pendingFaults() const { return static_cast<int>(m_planned.size()); }

    // The records a dropped link reports.
    static std::vector<ProviderError> linkFailureRecords();

    // --- used by the layer ---
    // Called before each engine call: throws when a fault is due. `engine`
    // is closed when a drop happens.
    void beforeOperation(FaultOperation operation, Engine* engine);
    // Called after each engine call that returned: throws when a drop after
    // it is due.
    void afterOperation(Engine* engine);
    void afterReopen() {
        m_dropped = false;
        m_closeEnginePending = false;
    }
    // What dropConnection() calls to end the engine's session at once.
    void setDropHandler(std::function<void()> handler) { m_dropHandler = std::move(handler); }

private:
    struct Planned {
        FaultOperation operation = FaultOperation::Any;
        bool drop = false;
        std::vector<ProviderError> records;
        int remaining = 1;
        bool afterwards = false; // the drop comes once the engine has answered
    };
    std::deque<Planned> m_planned;
    bool m_dropped = false;
    bool m_closeEnginePending = false;
    bool m_dropAfterPending = false;
    std::function<void()> m_dropHandler;
};

} // namespace estaciones::db
