#include "platform/db/embedded/execute/Cursors.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/parse/BatchParser.h"

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Tokens;

Cursor::Cursor(QString name, CursorOptions options, Tokens query)
    : m_name(std::move(name)), m_options(std::move(options)), m_query(std::move(query)) {}

CursorSensitivity Cursor::sensitivity() const {
    // Without row ids to find its rows again a cursor can only be a copy, as
    // the server converts such cursors.
    return m_keyed ? m_options.sensitivity : CursorSensitivity::Static;
}

long long Cursor::size() const {
    return static_cast<long long>(sensitivity() == CursorSensitivity::Static ? m_rows.size()
                                                                             : m_keys.size());
}

QString Cursor::databaseReadAgain() const {
    return m_open && sensitivity() != CursorSensitivity::Static ? m_database : QString();
}

void Cursor::open(const CursorQueryRunner& run, const CursorTables& tables,
                  const QString& database) {
    if (m_open) {
        failWith(native::CursorAlreadyOpen);
    }
    m_database = database;
    m_rows.clear();
    m_keys.clear();
    m_position = -1;
    m_keyed = m_options.sensitivity == CursorSensitivity::Static
                  ? std::nullopt
                  : KeyedQuery::read(m_query, tables.isBaseTable);
    // A keyset over a table without a unique index is made static.
    if (m_keyed && m_options.sensitivity == CursorSensitivity::Keyset &&
        !std::all_of(m_keyed->tables().begin(), m_keyed->tables().end(), tables.hasUniqueKey)) {
        m_keyed.reset();
    }
    if (sensitivity() == CursorSensitivity::Static) {
        ResultSet copy = run(joinTokens(m_query), {});
        m_columns = std::move(copy.columns);
        m_rows = std::move(copy.rows);
    } else {
        const ResultSet keyed = run(m_keyed->withKeys(), {});
        const auto keys = static_cast<std::ptrdiff_t>(m_keyed->keyCount());
        m_columns.assign(keyed.columns.begin() + keys, keyed.columns.end());
        for (const std::vector<Variant>& row : keyed.rows) {
            m_keys.emplace_back(row.begin(), row.begin() + keys);
        }
    }
    m_open = true;
}

void Cursor::close() {
    if (!m_open) {
        failWith(native::CursorNotOpen);
    }
    m_open = false;
    m_rows.clear();
    m_keys.clear();
    m_position = -1;
}

Cursor::Fetched Cursor::fetch(FetchDirection direction, long long offset,
                              const CursorQueryRunner& run) {
    if (!m_open) {
        failWith(native::CursorNotOpen);
    }
    if (direction != FetchDirection::Next && !m_options.scrollable) {
        failWith(native::FetchTypeForwardOnly, {QStringLiteral("fetch"), directionName(direction)});
    }
    if (sensitivity() == CursorSensitivity::Dynamic) {
        if (direction == FetchDirection::Absolute) {
            failWith(native::FetchTypeDynamic, {directionName(direction)});
        }
        return fetchDynamic(direction, offset, run);
    }
    switch (direction) {
    case FetchDirection::Next:
        return fetchKept(m_position + 1, run);
    case FetchDirection::Prior:
        return fetchKept(m_position - 1, run);
    case FetchDirection::First:
        return fetchKept(0, run);
    case FetchDirection::Last:
        return fetchKept(size() - 1, run);
    case FetchDirection::Absolute:
        // 0 gives no row; a negative n counts from the end.
        return fetchKept(offset > 0 ? offset - 1 : offset < 0 ? size() + offset : -1, run);
    case FetchDirection::Relative:
        // Before the first row only a forward move finds one.
        return fetchKept(m_position < 0 && offset <= 0 ? -1 : m_position + offset, run);
    }
    return {};
}

Cursor::Fetched Cursor::fetchKept(long long target, const CursorQueryRunner& run) {
    if (target < 0 || target >= size()) {
        m_position = target < 0 ? -1 : size();
        return {-1, std::nullopt};
    }
    m_position = target;
    const auto index = static_cast<std::size_t>(target);
    if (sensitivity() == CursorSensitivity::Static) {
        return {0, m_rows[index]};
    }
    std::optional<std::vector<Variant>> row = rowAt(index, false, run);
    return row ? Fetched{0, std::move(row)} : Fetched{-2, std::nullopt};
}

Cursor::Fetched Cursor::fetchDynamic(FetchDirection direction, long long offset,
                                     const CursorQueryRunner& run) {
    // The rows kept at OPEN are read again in the direction of the move; one
    // deleted or no longer qualifying is passed over, as it left the result set.
    long long start = m_position + 1;
    int step = 1;
    long long count = 1;
    switch (direction) {
    case FetchDirection::Next:
    case FetchDirection::Absolute:
        break;
    case FetchDirection::Prior:
        start = m_position - 1;
        step = -1;
        break;
    case FetchDirection::First:
        start = 0;
        break;
    case FetchDirection::Last:
        start = size() - 1;
        step = -1;
        break;
    case FetchDirection::Relative:
        if (offset == 0) {
            if (m_position < 0 || m_position >= size()) {
                return {-1, std::nullopt};
            }
            std::optional<std::vector<Variant>> row =
                rowAt(static_cast<std::size_t>(m_position), true, run);
            return row ? Fetched{0, std::move(row)} : Fetched{-2, std::nullopt};
        }
        if (m_position < 0 && offset < 0) {
            return {-1, std::nullopt};
        }
        step = offset > 0 ? 1 : -1;
        start = m_position + step;
        count = offset > 0 ? offset : -offset;
        break;
    }
    long long found = 0;
    for (long long i = start; i >= 0 && i < size(); i += step) {
        std::optional<std::vector<Variant>> row = rowAt(static_cast<std::size_t>(i), true, run);
        if (row && ++found == count) {
            m_position = i;
            return {0, std::move(row)};
        }
    }
    m_position = step > 0 ? size() : -1;
    return {-1, std::nullopt};
}

std::optional<std::vector<Variant>> Cursor::rowAt(std::size_t index, bool qualifying,
                                                  const CursorQueryRunner& run) const {
    const auto [text, values] = m_keyed->reread(m_keys[index], qualifying);
    ResultSet found = run(text, values);
    if (found.rows.empty()) {
        return std::nullopt;
    }
    return std::move(found.rows.front());
}

long long Cursor::rowCountStatus() const {
    if (!m_open) {
        return 0;
    }
    return sensitivity() == CursorSensitivity::Dynamic ? -1 : size();
}

int Cursor::status() const {
    if (!m_open) {
        return -1;
    }
    return sensitivity() == CursorSensitivity::Dynamic || size() > 0 ? 1 : 0;
}

Variant Cursor::currentRowId(const QString& table, const QStringList& changedColumns) const {
    if (m_options.readOnly || sensitivity() == CursorSensitivity::Static) {
        failWith(native::CursorReadOnly);
    }
    if (!m_open) {
        failWith(native::CursorNotOpen);
    }
    const std::optional<std::size_t> key = m_keyed->keyOf(table);
    if (!key) {
        failWith(native::TableNotInCursor);
    }
    if (m_position < 0 || m_position >= size()) {
        failWith(native::RowNotInFetchBuffer);
    }
    if (!m_options.updatableColumns.isEmpty()) {
        for (const QString& column : changedColumns) {
            if (!m_options.updatableColumns.contains(column, Qt::CaseInsensitive)) {
                failWith(native::ColumnNotForUpdate);
            }
        }
    }
    return m_keys[static_cast<std::size_t>(m_position)][*key];
}

std::shared_ptr<Cursor> CursorNames::find(const QString& name) const {
    return m_cursors.value(name.toLower());
}

void CursorNames::add(std::shared_ptr<Cursor> cursor) {
    const QString key = cursor->name().toLower();
    if (m_cursors.contains(key)) {
        failWith(native::CursorExists, {cursor->name()});
    }
    m_cursors.insert(key, std::move(cursor));
}

bool CursorNames::remove(const QString& name) {
    return m_cursors.remove(name.toLower()) > 0;
}

} // namespace estaciones::db::sqlite
