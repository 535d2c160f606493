#pragma once

#include "platform/db/embedded/catalog/ReferentialActions.h"
#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/execute/ChangeCapture.h"

#include <functional>
#include <memory>
#include <vector>

namespace estaciones::db::sqlite {

// The AFTER triggers of the tables a data statement changes through the
// cascading actions of foreign keys. Their rows are noted while the
// statement runs; their triggers fire after it, the table reached last
// first, and before those of the statement's own table, which it changed
// first.
class CascadedTriggers {
public:
    // Keeps the triggers that may fire (RECURSIVE_TRIGGERS is off).
    using Choose = std::function<std::vector<TriggerDefinition>(std::vector<TriggerDefinition>)>;
    using Fire = std::function<void(const std::vector<TriggerDefinition>& triggers,
                                    const QStringList& updated, const ChangeCapture& rows)>;

    // The tables that the `events` of a statement on `table` cascade to
    // (an INSERT cascades nowhere), each table and event once.
    CascadedTriggers(SqliteDatabase& database, const QString& table,
                     const std::vector<DataEvent>& events, const Choose& choose);

    bool empty() const { return m_reached.empty(); }
    // Notes the rows from now on, under `level` and the parts from `firstPart`.
    void startNoting(int level, int firstPart);
    void collect();
    // The triggers of each table whose rows a cascade reached.
    void fire(const Fire& fire) const;

private:
    struct Reached {
        CascadedChange change;
        std::vector<TriggerDefinition> triggers;
        std::unique_ptr<ChangeCapture> capture;
    };

    SqliteDatabase& m_database;
    std::vector<Reached> m_reached;
};

// Keeps the capture levels of nested statements apart while one runs.
class CaptureLevel {
public:
    explicit CaptureLevel(int& level) : m_level(level) { ++m_level; }
    ~CaptureLevel() { --m_level; }
    CaptureLevel(const CaptureLevel&) = delete;
    CaptureLevel& operator=(const CaptureLevel&) = delete;

private:
    int& m_level;
};

} // namespace estaciones::db::sqlite
