#include "platform/db/embedded/execute/CascadedTriggers.h"

namespace estaciones::db::sqlite {

CascadedTriggers::CascadedTriggers(SqliteDatabase& database, const QString& table,
                                   const std::vector<DataEvent>& events, const Choose& choose)
    : m_database(database) {
    const TriggerCatalog catalog(database);
    for (const DataEvent event : events) {
        for (CascadedChange& change : cascadedChanges(database, table, event)) {
            if (change.table.compare(table, Qt::CaseInsensitive) == 0) {
                continue; // a key of the table on itself: the statement's own capture notes those rows
            }
            // A MERGE's UPDATE and DELETE may reach the same table and event.
            const auto same = std::find_if(m_reached.begin(), m_reached.end(), [&](const Reached& r) {
                return r.change.event == change.event &&
                       r.change.table.compare(change.table, Qt::CaseInsensitive) == 0;
            });
            if (same != m_reached.end()) {
                for (const QString& column : change.columns) {
                    if (!same->change.columns.contains(column, Qt::CaseInsensitive)) {
                        same->change.columns << column;
                    }
                }
                continue;
            }
            std::vector<TriggerDefinition> fired = choose(catalog.firedBy(change.table, change.event));
            std::erase_if(fired, [](const TriggerDefinition& t) { return t.insteadOf; });
            if (!fired.empty()) {
                m_reached.push_back({std::move(change), std::move(fired), nullptr});
            }
        }
    }
}

void CascadedTriggers::startNoting(int level, int firstPart) {
    int part = firstPart;
    for (Reached& reached : m_reached) {
        reached.capture = std::make_unique<ChangeCapture>(m_database, reached.change.table,
                                                          reached.change.event,
                                                          ChangeCapture::Timing::After, level, part++);
    }
}

void CascadedTriggers::collect() {
    for (Reached& reached : m_reached) {
        if (reached.capture) {
            reached.capture->collect();
        }
    }
}

void CascadedTriggers::fire(const Fire& fire) const {
    for (auto reached = m_reached.rbegin(); reached != m_reached.rend(); ++reached) {
        if (reached->capture && reached->capture->rows() > 0) {
            fire(reached->triggers, reached->change.columns, *reached->capture);
        }
    }
}

} // namespace estaciones::db::sqlite
