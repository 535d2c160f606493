#include "platform/db/embedded/functions/SequenceStore.h"

#include "platform/db/embedded/functions/SchemaAccess.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <optional>
#include <mutex>
#include <vector>

namespace estaciones::db::tsql {

namespace {

using namespace schema_access;

// A value given inside an explicit transaction: what the row's change count
// was before and became, and the value.
struct GivenValue {
    QString sequence;
    qint64 takenBefore = 0;
    qint64 value = 0;
};

struct SequenceRow {
    qint64 increment = 0, minimum = 0, maximum = 0, current = 0, taken = 0;
    bool cycling = false, used = false;
};

// One connection's memory: the value of the row being made for each
// sequence a statement names more than once (and how many of its calls are
// still to come), and the values given since its transaction began.
struct SequenceState {
    struct Row {
        qint64 value = 0;
        int callsLeft = 0;
        int occurrences = 0;
    };
    std::map<QString, Row> rows;
    // The values an OVER (ORDER BY ...) statement took at its first call:
    // the first of them, and the calls still to come.
    struct OrderedRun {
        SequenceRow sequence;
        qint64 first = 0;
        qint64 callsLeft = 0;
    };
    std::map<QString, OrderedRun> orderedRuns;
    std::vector<GivenValue> given;
};

std::mutex statesMutex;
std::map<sqlite3*, SequenceState*>& states() {
    static std::map<sqlite3*, SequenceState*> byConnection;
    return byConnection;
}


std::optional<SequenceRow> sequenceRow(sqlite3* db, const QString& name) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QStringLiteral("SELECT increment, minimum_value, maximum_value, "
                                          "current_value, taken, is_cycling, used FROM %1 "
                                          "WHERE name = ?1")
                               .arg(QLatin1String(sequenceTable))
                               .toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(statement, 1, utf8.constData(), -1, SQLITE_TRANSIENT);
    std::optional<SequenceRow> row;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        row.emplace();
        row->increment = sqlite3_column_int64(statement, 0);
        row->minimum = sqlite3_column_int64(statement, 1);
        row->maximum = sqlite3_column_int64(statement, 2);
        row->current = sqlite3_column_int64(statement, 3);
        row->taken = sqlite3_column_int64(statement, 4);
        row->cycling = sqlite3_column_int64(statement, 5) != 0;
        row->used = sqlite3_column_int64(statement, 6) != 0;
    }
    sqlite3_finalize(statement);
    return row;
}

// The value after `row`'s last one: its current value while unused, the
// next step within its bounds, the other bound when it cycles; 11728 when
// it has run out.
[[noreturn]] void failExhausted(const QString& name) {
    throw ServerFailure(11728, QStringLiteral("The sequence object '%1' has reached its minimum or "
                                              "maximum value. Restart the sequence object to "
                                              "allow new values to be generated.")
                                   .arg(name));
}

qint64 followingValue(const SequenceRow& row, const QString& name) {
    if (!row.used)
        return row.current;
    qint64 next = 0;
    const bool overflows = __builtin_add_overflow(row.current, row.increment, &next);
    const bool beyond = overflows || next > row.maximum || next < row.minimum;
    if (!beyond)
        return next;
    if (row.cycling)
        return row.increment > 0 ? row.minimum : row.maximum;
    failExhausted(name);
}

void writeValue(sqlite3* db, const QString& name, qint64 value, qint64 taken) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QStringLiteral("UPDATE %1 SET current_value = ?2, used = 1, taken = ?3 "
                                          "WHERE name = ?1")
                               .arg(QLatin1String(sequenceTable))
                               .toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw std::runtime_error(sqlite3_errmsg(db));
    }
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(statement, 1, utf8.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement, 2, value);
    sqlite3_bind_int64(statement, 3, taken);
    const int rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

SequenceRow existingRow(sqlite3* db, const QString& name) {
    const std::optional<SequenceRow> row = sequenceRow(db, name);
    if (!row)
        throw ServerFailure(208, QStringLiteral("Invalid object name '%1'.").arg(name));
    return *row;
}

// `value` becomes the sequence's last one, remembered in case the
// transaction is rolled back.
void keepGiven(sqlite3* db, SequenceState& state, const QString& name, const SequenceRow& row,
               qint64 value) {
    writeValue(db, name, value, row.taken + 1);
    state.given.push_back({name, row.taken, value});
}

qint64 takeValue(sqlite3* db, SequenceState& state, const QString& name) {
    const SequenceRow row = existingRow(db, name);
    const qint64 value = followingValue(row, name);
    keepGiven(db, state, name, row, value);
    return value;
}

SequenceState* stateOf(sqlite3* db) {
    const std::lock_guard lock(statesMutex);
    const auto found = states().find(db);
    return found == states().end() ? nullptr : found->second;
}

void nextValue(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    auto& state = *static_cast<SequenceState*>(sqlite3_user_data(ctx));
    const QString name = textOf(argv[0]);
    const int occurrences = sqlite3_value_int(argv[1]);
    if (occurrences <= 1)
        return sqlite3_result_int64(ctx, takeValue(db, state, name));
    // The row's calls come one after another: the first takes the value,
    // the others give it again.
    SequenceState::Row& row = state.rows[name.toLower()];
    if (row.callsLeft == 0 || row.occurrences != occurrences) {
        row.callsLeft = 0; // a row left half-made (a failed statement) ends here
        row.value = takeValue(db, state, name);
        row.occurrences = occurrences;
        row.callsLeft = occurrences;
    }
    --row.callsLeft;
    sqlite3_result_int64(ctx, row.value);
}

// The value `steps` increments after `first`, and the times the sequence
// cycled to reach it; 11728 past a bound it does not cycle from. In 128
// bits: the distance between a bigint's bounds does not fit in 64.
std::pair<qint64, int> valueAfter(const SequenceRow& row, const QString& name, qint64 first,
                                  qint64 steps) {
    using Wide = __int128;
    const bool ascending = row.increment > 0;
    const Wide step = ascending ? Wide(row.increment) : -Wide(row.increment);
    const Wide leftInPass =
        (ascending ? Wide(row.maximum) - first : Wide(first) - row.minimum) / step + 1;
    if (steps < leftInPass)
        return {qint64(Wide(first) + Wide(steps) * row.increment), 0};
    if (!row.cycling)
        failExhausted(name);
    const Wide pass = (Wide(row.maximum) - row.minimum) / step + 1;
    const Wide rest = Wide(steps) - leftInPass;
    return {qint64(Wide(ascending ? row.minimum : row.maximum) + (rest % pass) * row.increment),
            int(1 + rest / pass)};
}

// NEXT VALUE FOR ... OVER (ORDER BY ...): the statement's rows, `rows` of
// them, take as many values at its first call; the row numbered `position`
// in the clause's order gets the position-th of them.
void nextValueInOrder(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    auto& state = *static_cast<SequenceState*>(sqlite3_user_data(ctx));
    const QString name = textOf(argv[0]);
    const qint64 occurrences = std::max(1, sqlite3_value_int(argv[1]));
    const qint64 position = sqlite3_value_int64(argv[2]);
    const qint64 rows = sqlite3_value_int64(argv[3]);
    SequenceState::OrderedRun& run = state.orderedRuns[name.toLower()];
    if (run.callsLeft <= 0) {
        const SequenceRow row = existingRow(db, name);
        const qint64 first = followingValue(row, name);
        const qint64 last = valueAfter(row, name, first, rows - 1).first;
        keepGiven(db, state, name, row, last);
        run = {row, first, rows * occurrences};
    }
    --run.callsLeft;
    sqlite3_result_int64(ctx, valueAfter(run.sequence, name, run.first, position - 1).first);
}


void releaseState(void* data) {
    auto* state = static_cast<SequenceState*>(data);
    const std::lock_guard lock(statesMutex);
    for (auto it = states().begin(); it != states().end(); ++it)
        if (it->second == state) {
            states().erase(it);
            break;
        }
    delete state;
}

} // namespace

SequenceRange takeSequenceRange(sqlite3* db, const QString& name, qint64 size) {
    SequenceState* state = stateOf(db);
    const SequenceRow row = existingRow(db, name);
    SequenceRange range{followingValue(row, name), 0, 0, row.increment, row.minimum, row.maximum};
    std::tie(range.last, range.cycles) = valueAfter(row, name, range.first, size - 1);
    if (state)
        keepGiven(db, *state, name, row, range.last);
    else
        writeValue(db, name, range.last, row.taken + 1);
    return range;
}

void registerSequenceFunctions(sqlite3* db) {
    auto* state = new SequenceState;
    {
        const std::lock_guard lock(statesMutex);
        states()[db] = state;
    }
    registerOne(db, {"tsql_next_value", 2, guarded<nextValue>}, 0, state, releaseState);
    registerOne(db, {"tsql_next_value_in_order", 4, guarded<nextValueInOrder>}, 0, state);
}

void keepSequenceValuesGiven(sqlite3* db) {
    SequenceState* state = stateOf(db);
    if (!state)
        return;
    state->rows.clear();
    state->orderedRuns.clear();
    // Outside a transaction each write back commits, and a commit forgets
    // what was given: the list is read from a copy.
    const std::vector<GivenValue> given = std::move(state->given);
    state->given.clear();
    for (const GivenValue& value : given) {
        const std::optional<SequenceRow> row = sequenceRow(db, value.sequence);
        if (row && row->taken == value.takenBefore)
            writeValue(db, value.sequence, value.value, value.takenBefore + 1);
    }
    // Inside one (a savepoint rolled back), its own rollback may undo them again.
    if (!sqlite3_get_autocommit(db))
        state->given = given;
}

void forgetSequenceValuesGiven(sqlite3* db) {
    if (SequenceState* state = stateOf(db))
        state->given.clear();
}

} // namespace estaciones::db::tsql
