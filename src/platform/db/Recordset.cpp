#include "platform/db/Recordset.h"

#include "platform/db/Connection.h"
#include "platform/db/RecordsetBuilder.h"

#include <QRegularExpression>

namespace estaciones::db {

using detail::ConnectionState;
using detail::kRecordsetSource;
using detail::RecordsetState;

namespace {
[[noreturn]] void raiseRecordsetError(std::int32_t number) {
    throw standardError(number, kRecordsetSource);
}

[[noreturn]] void raiseBofEof() {
    throw Error(adoerr::BofOrEof,
                QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                               "Requested operation requires a current record."),
                kRecordsetSource);
}

[[noreturn]] void raiseNotUpdatable() {
    throw Error(
        adoerr::NotSupported,
        QStringLiteral("Current Recordset does not support updating. This may be a limitation "
                       "of the provider, or of the selected locktype."),
        kRecordsetSource);
}

[[noreturn]] void raiseCannotFetchBackward() {
    throw Error(adoerr::CannotFetchBackward,
                QStringLiteral("Rowset does not support fetching backward."), kRecordsetSource);
}

QString stripQuotes(QString name) {
    name = name.trimmed();
    if (name.size() >= 2 &&
        ((name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) ||
         (name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"'))) ||
         (name.startsWith(QLatin1Char('`')) && name.endsWith(QLatin1Char('`'))))) {
        name = name.mid(1, name.size() - 2);
    }
    return name;
}

// The one table a SELECT reads from, when the engine did not say: blanks out
// string literals, then looks for "FROM name [alias] [WITH (...)]" followed by
// nothing but WHERE / ORDER / GROUP / HAVING / the end. Joins, unions and
// sub-queries give "".
QString tableFromSource(const QString& source) {
    QString text = source;
    bool inString = false;
    for (QChar& c : text) {
        if (c == QLatin1Char('\'')) {
            inString = !inString;
            continue;
        }
        if (inString) {
            c = QLatin1Char('x');
        }
    }
    static const QRegularExpression forbidden(
        QStringLiteral("\\b(JOIN|UNION|EXCEPT|INTERSECT)\\b|\\(\\s*SELECT\\b"),
        QRegularExpression::CaseInsensitiveOption);
    if (forbidden.match(text).hasMatch()) {
        return {};
    }
    static const QRegularExpression pattern(
        QStringLiteral(
            "^\\s*SELECT\\b.*?\\bFROM\\s+((?:\\[[^\\]]+\\]|\"[^\"]+\"|[\\w@#$]+)(?:\\.(?:\\[[^\\]]+"
            "\\]|\"[^\"]+\"|[\\w@#$]+))*)"
            "(?:\\s+(?:AS\\s+)?(?!WHERE\\b|ORDER\\b|GROUP\\b|HAVING\\b|WITH\\b)\\w+)?"
            "(?:\\s+WITH\\s*\\([^)]*\\))?\\s*(?:;\\s*)?(?:$|WHERE\\b|ORDER\\b|GROUP\\b|HAVING\\b)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) {
        return {};
    }
    // Take the name from the original text (same positions).
    return source.mid(m.capturedStart(1), m.capturedLength(1));
}

bool isLongType(int type) {
    return type == adtype::LongVarChar || type == adtype::LongVarWChar ||
           type == adtype::LongVarBinary;
}

bool isIntegerType(int type) {
    return type == adtype::Integer || type == adtype::BigInt || type == adtype::SmallInt ||
           type == adtype::TinyInt || type == adtype::UnsignedTinyInt || type == adtype::Numeric ||
           type == adtype::Decimal;
}

void fillState(RecordsetState& s, const std::shared_ptr<ConnectionState>& connection,
               ResultSet rows, const QString& source, int cursorType, int lockType,
               int cursorLocation) {
    s.connection = connection;
    s.source = source;
    s.columns = std::move(rows.columns);
    s.rows = std::move(rows.rows);
    s.position = 0;
    s.editMode = adEditNone;
    s.editValues.clear();
    s.changed.clear();
    s.cursorLocation = cursorLocation == adUseClient ? adUseClient : adUseServer;
    if (lockType == adLockUnspecified) {
        lockType = adLockReadOnly;
    }
    if (cursorType == adOpenUnspecified) {
        cursorType = adOpenForwardOnly;
    }
    if (s.cursorLocation == adUseClient) {
        // Client cursors are static whatever was asked, and lock optimistically.
        s.cursorType = adOpenStatic;
        s.lockType = lockType == adLockPessimistic ? adLockOptimistic : lockType;
    } else {
        s.cursorType = cursorType;
        s.lockType = lockType;
    }

    // The base table: the engine's, when every column that has one agrees.
    s.baseTable.clear();
    bool conflict = false;
    bool any = false;
    for (const ColumnInfo& c : s.columns) {
        if (c.baseTable.isEmpty()) {
            continue;
        }
        any = true;
        if (s.baseTable.isEmpty()) {
            s.baseTable = c.baseTable;
        } else if (s.baseTable.compare(c.baseTable, Qt::CaseInsensitive) != 0) {
            conflict = true;
        }
    }
    s.baseTableFromSourcePending = false;
    if (conflict) {
        s.baseTable.clear();
    } else if (!any) {
        const QString parsed = tableFromSource(source);
        s.baseTable = parsed;
        for (ColumnInfo& c : s.columns) {
            if (!parsed.isEmpty()) {
                c.baseTable = stripQuotes(parsed.section(QLatin1Char('.'), -1));
                if (c.baseColumn.isEmpty()) {
                    c.baseColumn = c.name;
                }
            }
        }
    } else {
        // The statement's spelling (a schema prefix) is looked for only when
        // asked: reading the source costs more than a short query.
        s.baseTableFromSourcePending = true;
    }
    s.open = true;
}

QString quotedTable(const Engine& engine, const QString& table) {
    // "dbo.T" / "[dbo].[T]": each part quoted on its own.
    QStringList parts;
    QString part;
    bool inBracket = false;
    bool inQuote = false;
    for (const QChar c : table) {
        if (c == QLatin1Char('[') && !inQuote) {
            inBracket = true;
        } else if (c == QLatin1Char(']') && inBracket) {
            inBracket = false;
        } else if (c == QLatin1Char('"') && !inBracket) {
            inQuote = !inQuote;
        }
        if (c == QLatin1Char('.') && !inBracket && !inQuote) {
            parts << part;
            part.clear();
        } else {
            part += c;
        }
    }
    parts << part;
    QStringList quoted;
    for (const QString& p : parts) {
        quoted << engine.quoteIdentifier(stripQuotes(p));
    }
    return quoted.join(QLatin1Char('.'));
}

ProviderFailure rowNotFound() {
    ProviderError record;
    record.number = errnum::RowNotFoundForUpdate;
    record.description = standardDescription(errnum::RowNotFoundForUpdate);
    record.source = detail::kCursorEngineSource;
    return ProviderFailure({record});
}
} // namespace

// ---------------------------------------------------------------- state

namespace detail {

void keepLaterResultSets(RecordsetState& state, std::vector<ResultSet>& resultSets) {
    state.laterResultSets.assign(std::make_move_iterator(resultSets.begin() + 1),
                                 std::make_move_iterator(resultSets.end()));
}

RecordsetHandle
makeRecordsetState(const std::shared_ptr<ConnectionState>& connection, ResultSet rows,
                   const QString& source, int cursorType, int lockType, int cursorLocation) {
    auto state = makeLocalShared<RecordsetState>();
    state->requestedCursorType = cursorType;
    state->requestedLockType = lockType;
    fillState(*state, connection, std::move(rows), source, cursorType, lockType, cursorLocation);
    return state;
}

const QString& RecordsetState::resolvedBaseTable() {
    if (baseTableFromSourcePending) {
        baseTableFromSourcePending = false;
        const QString parsed = tableFromSource(source);
        if (!parsed.isEmpty() && stripQuotes(parsed.section(QLatin1Char('.'), -1))
                                     .compare(baseTable, Qt::CaseInsensitive) == 0) {
            baseTable = parsed; // keeps a schema prefix the statement gave
        }
    }
    return baseTable;
}

void raiseRecordsetClosed() {
    raiseRecordsetError(errnum::ObjectClosed);
}

void raiseNoCurrentRecord() {
    raiseBofEof();
}

int RecordsetState::fieldIndex(const QString& name) const {
    const QString wanted = name.trimmed();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(wanted, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void RecordsetState::setValue(int index, const Variant& value) {
    requireOpen();
    if (lockType == adLockReadOnly) {
        raiseNotUpdatable();
    }
    requireCurrentRow();
    if (editMode == adEditNone) {
        editMode = adEditInProgress;
        editValues = rows[static_cast<size_t>(position)];
        changed.assign(columns.size(), false);
    }
    editValues[static_cast<size_t>(index)] = value;
    changed[static_cast<size_t>(index)] = true;
}

} // namespace detail

// ---------------------------------------------------------------- Recordset

Recordset::Recordset() : m_state(makeLocalShared<RecordsetState>()) {}

void Recordset::open(const QString& source, const Connection& activeConnection, int cursorType,
                     int lockType, int options) {
    if (m_state->open) {
        raiseRecordsetError(errnum::ObjectOpen);
    }
    m_state->connection = activeConnection.m_state;
    open(source, cursorType, lockType, options);
}

void Recordset::open(const QString& source, int cursorType, int lockType, int options) {
    RecordsetState& s = *m_state;
    if (s.open) {
        raiseRecordsetError(errnum::ObjectOpen);
    }
    if (!s.connection || !s.connection->open) {
        raiseRecordsetError(errnum::ConnectionUnusable);
    }
    ConnectionState& c = *s.connection;
    QString text = source;
    if (options > 0 && (options & 0xFF) == adCmdTable) {
        text = QStringLiteral("SELECT * FROM ") + source;
    }
    ExecutionResult result = c.call(FaultOperation::Execute,
                                    [&] { return c.engine->execute(text, {}, c.commandTimeout); });
    c.takeWarnings(result.warnings);
    s.requestedCursorType = cursorType;
    s.requestedLockType = lockType;
    if (result.resultSets.empty()) {
        // A statement without rows leaves the recordset closed, as in ADO.
        s.source = text;
        return;
    }
    const int location =
        s.requestedCursorLocation == -1 ? c.cursorLocation : s.requestedCursorLocation;
    fillState(s, s.connection, std::move(result.resultSets.front()), text, cursorType, lockType,
              location);
    detail::keepLaterResultSets(s, result.resultSets);
}

Recordset Recordset::nextRecordset() {
    RecordsetState& s = *m_state;
    if (!s.open) {
        raiseRecordsetError(errnum::ObjectClosed);
    }
    if (s.editMode != adEditNone) {
        raiseRecordsetError(errnum::OperationNotAllowed);
    }
    std::vector<ResultSet> later = std::move(s.laterResultSets);
    close();
    if (later.empty()) {
        return Recordset();
    }
    auto next =
        detail::makeRecordsetState(s.connection, std::move(later.front()), s.source,
                                   s.requestedCursorType, s.requestedLockType, s.cursorLocation);
    later.erase(later.begin());
    next->laterResultSets = std::move(later);
    return Recordset(std::move(next));
}

void Recordset::close() {
    RecordsetState& s = *m_state;
    if (!s.open) {
        raiseRecordsetError(errnum::ObjectClosed);
    }
    if (s.editMode != adEditNone) {
        raiseRecordsetError(errnum::OperationNotAllowed);
    }
    s.open = false;
    s.rows.clear();
    s.columns.clear();
    s.laterResultSets.clear();
    s.position = 0;
    s.baseTable.clear();
    s.baseTableFromSourcePending = false;
}

int Recordset::state() const {
    return m_state->open ? adStateOpen : adStateClosed;
}

void Recordset::setActiveConnection(const Connection& connection) {
    m_state->connection = connection.m_state;
}

std::optional<Connection> Recordset::activeConnection() const {
    if (!m_state->connection) {
        return std::nullopt;
    }
    return Connection(m_state->connection);
}

int Recordset::cursorType() const {
    return m_state->open ? m_state->cursorType : m_state->requestedCursorType;
}

void Recordset::setCursorType(int type) {
    if (m_state->open) {
        raiseRecordsetError(errnum::ObjectOpen);
    }
    m_state->requestedCursorType = type;
}

int Recordset::lockType() const {
    return m_state->open ? m_state->lockType : m_state->requestedLockType;
}

void Recordset::setLockType(int type) {
    if (m_state->open) {
        raiseRecordsetError(errnum::ObjectOpen);
    }
    m_state->requestedLockType = type;
}

int Recordset::cursorLocation() const {
    if (m_state->open) {
        return m_state->cursorLocation;
    }
    if (m_state->requestedCursorLocation != -1) {
        return m_state->requestedCursorLocation;
    }
    return m_state->connection ? m_state->connection->cursorLocation : adUseServer;
}

void Recordset::setCursorLocation(int location) {
    if (m_state->open) {
        raiseRecordsetError(errnum::ObjectOpen);
    }
    m_state->requestedCursorLocation = location;
}

QString Recordset::source() const {
    return m_state->source;
}

bool Recordset::bof() const {
    m_state->requireOpen();
    return m_state->editMode != adEditAdd && m_state->atBof();
}

bool Recordset::eof() const {
    m_state->requireOpen();
    return m_state->editMode != adEditAdd && m_state->atEof();
}

namespace {
// Moving off a row with a pending edit writes it first, as ADO does.
void flushEdit(Recordset& rs, RecordsetState& s) {
    if (s.editMode != adEditNone) {
        rs.update();
    }
}

bool forwardOnly(const RecordsetState& s) {
    return s.cursorLocation == adUseServer && s.cursorType == adOpenForwardOnly;
}
} // namespace

void Recordset::moveFirst() {
    RecordsetState& s = *m_state;
    s.requireOpen();
    flushEdit(*this, s);
    if (s.rows.empty()) {
        raiseBofEof();
    }
    s.position = 0;
}

void Recordset::moveLast() {
    RecordsetState& s = *m_state;
    s.requireOpen();
    flushEdit(*this, s);
    if (s.rows.empty()) {
        raiseBofEof();
    }
    s.position = s.rowCount() - 1;
}

void Recordset::moveNext() {
    RecordsetState& s = *m_state;
    s.requireOpen();
    flushEdit(*this, s);
    if (s.atEof()) {
        raiseBofEof();
    }
    ++s.position;
}

void Recordset::movePrevious() {
    RecordsetState& s = *m_state;
    s.requireOpen();
    if (forwardOnly(s)) {
        raiseCannotFetchBackward();
    }
    flushEdit(*this, s);
    if (s.atBof()) {
        raiseBofEof();
    }
    --s.position;
}

void Recordset::move(std::int64_t rows) {
    RecordsetState& s = *m_state;
    s.requireOpen();
    if (rows < 0 && forwardOnly(s)) {
        raiseCannotFetchBackward();
    }
    flushEdit(*this, s);
    if (rows == 0) {
        s.requireCurrentRow();
        return;
    }
    if ((rows > 0 && s.atEof()) || (rows < 0 && s.atBof())) {
        raiseBofEof();
    }
    s.position = std::clamp<std::int64_t>(s.position + rows, -1, s.rowCount());
}

std::int64_t Recordset::recordCount() const {
    const RecordsetState& s = *m_state;
    s.requireOpen();
    if (s.cursorLocation == adUseServer &&
        (s.cursorType == adOpenForwardOnly || s.cursorType == adOpenDynamic)) {
        return -1;
    }
    return s.rowCount();
}

std::int64_t Recordset::absolutePosition() const {
    const RecordsetState& s = *m_state;
    s.requireOpen();
    if (s.rows.empty()) {
        return -1;
    }
    if (s.position < 0) {
        return -2;
    }
    if (s.position >= s.rowCount()) {
        return -3;
    }
    return s.position + 1;
}

Fields Recordset::fields() const {
    return Fields(m_state);
}

std::vector<std::vector<Variant>> Recordset::getRows(std::int64_t rows) {
    RecordsetState& s = *m_state;
    s.requireOpen();
    flushEdit(*this, s);
    if (s.atEof() || s.atBof()) {
        raiseBofEof();
    }
    const std::int64_t available = s.rowCount() - s.position;
    const std::int64_t n = rows < 0 ? available : std::min(rows, available);
    std::vector<std::vector<Variant>> result(s.columns.size());
    for (size_t f = 0; f < s.columns.size(); ++f) {
        result[f].reserve(static_cast<size_t>(n));
        for (std::int64_t r = 0; r < n; ++r) {
            result[f].push_back(s.rows[static_cast<size_t>(s.position + r)][f]);
        }
    }
    s.position += n;
    return result;
}

void Recordset::addNew() {
    RecordsetState& s = *m_state;
    s.requireOpen();
    if (s.lockType == adLockReadOnly) {
        raiseNotUpdatable();
    }
    flushEdit(*this, s);
    s.positionBeforeAdd = s.position;
    s.editMode = adEditAdd;
    s.editValues.assign(s.columns.size(), Variant::null());
    s.changed.assign(s.columns.size(), false);
}

void Recordset::cancelUpdate() {
    RecordsetState& s = *m_state;
    s.requireOpen();
    if (s.editMode == adEditAdd) {
        s.position = s.positionBeforeAdd;
    }
    s.editMode = adEditNone;
    s.editValues.clear();
    s.changed.clear();
}

int Recordset::editMode() const {
    m_state->requireOpen();
    return m_state->editMode;
}

namespace {
class RecordsetObject final : public VariantObject {
public:
    explicit RecordsetObject(RecordsetHandle state) : state(std::move(state)) {}
    QString typeName() const override { return QStringLiteral("Recordset"); }
    RecordsetHandle state;
};
} // namespace

Variant Recordset::toVariant() const {
    return Variant(std::shared_ptr<VariantObject>(std::make_shared<RecordsetObject>(m_state)));
}

std::optional<Recordset> Recordset::fromVariant(const Variant& value) {
    if (!value.isObject()) {
        return std::nullopt;
    }
    const auto object = value.objectAs<RecordsetObject>();
    if (!object) {
        return std::nullopt;
    }
    return Recordset(object->state);
}

QString Recordset::baseTable() const {
    return m_state->resolvedBaseTable();
}

void Recordset::update() {
    RecordsetState& s = *m_state;
    s.requireOpen();
    if (s.editMode == adEditNone) {
        return;
    }
    if (s.lockType == adLockReadOnly) {
        raiseNotUpdatable();
    }
    if (s.resolvedBaseTable().isEmpty()) {
        throw Error(
            errnum::E_FAIL,
            QStringLiteral("Insufficient base table information for updating or refreshing."),
            detail::kCursorEngineSource);
    }
    if (!s.connection || !s.connection->open || !s.connection->engine) {
        raiseRecordsetError(errnum::ConnectionUnusable);
    }
    ConnectionState& c = *s.connection;
    Engine& engine = *c.engine;
    const QString baseName = stripQuotes(s.baseTable.section(QLatin1Char('.'), -1));
    const QString table = quotedTable(engine, s.baseTable);

    // The columns that belong to the base table, with their names there.
    std::vector<int> writable;
    for (size_t i = 0; i < s.columns.size(); ++i) {
        const ColumnInfo& col = s.columns[i];
        if (!col.baseTable.isEmpty() && col.baseTable.compare(baseName, Qt::CaseInsensitive) == 0) {
            writable.push_back(static_cast<int>(i));
        }
    }
    auto columnName = [&](int i) {
        const ColumnInfo& col = s.columns[static_cast<size_t>(i)];
        return engine.quoteIdentifier(col.baseColumn.isEmpty() ? col.name : col.baseColumn);
    };
    auto baseColumnIs = [&](int i, const QString& name) {
        const ColumnInfo& col = s.columns[static_cast<size_t>(i)];
        return (col.baseColumn.isEmpty() ? col.name : col.baseColumn)
                   .compare(name, Qt::CaseInsensitive) == 0;
    };

    const QStringList keyNames =
        c.call(FaultOperation::Execute, [&] { return engine.primaryKeyColumns(baseName); });
    std::vector<int> keys;
    for (const QString& key : keyNames) {
        int found = -1;
        for (int i : writable) {
            if (baseColumnIs(i, key)) {
                found = i;
                break;
            }
        }
        if (found < 0) {
            keys.clear(); // a key column the recordset lacks: fall back to all values
            break;
        }
        keys.push_back(found);
    }

    if (s.editMode == adEditAdd) {
        QStringList names;
        QStringList marks;
        std::vector<Variant> params;
        for (int i : writable) {
            if (s.changed[static_cast<size_t>(i)]) {
                names << columnName(i);
                marks << QStringLiteral("?");
                params.push_back(s.editValues[static_cast<size_t>(i)]);
            }
        }
        const QString sql = names.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table, names.join(QStringLiteral(", ")),
                                           marks.join(QStringLiteral(", ")));
        ExecutionResult result = c.call(
            FaultOperation::Execute, [&] { return engine.execute(sql, params, c.commandTimeout); });
        c.takeWarnings(result.warnings);
        // The server's identity value: a column flagged identity, else a
        // single integer key the insert did not give (SQLite's rowid alias).
        int identity = -1;
        for (int i : writable) {
            if (s.columns[static_cast<size_t>(i)].identity) {
                identity = i;
                break;
            }
        }
        if (identity < 0 && keys.size() == 1 && !s.changed[static_cast<size_t>(keys[0])] &&
            isIntegerType(s.columns[static_cast<size_t>(keys[0])].type)) {
            identity = keys[0];
        }
        if (identity >= 0) {
            const Variant value =
                c.call(FaultOperation::Execute, [&] { return engine.lastIdentity(); });
            if (!value.isNull() && !value.isEmpty()) {
                s.editValues[static_cast<size_t>(identity)] = value;
            }
        }
        s.rows.push_back(s.editValues);
        s.position = s.rowCount() - 1;
    } else {
        QStringList sets;
        std::vector<Variant> params;
        for (int i : writable) {
            if (s.changed[static_cast<size_t>(i)]) {
                sets << columnName(i) + QStringLiteral(" = ?");
                params.push_back(s.editValues[static_cast<size_t>(i)]);
            }
        }
        if (sets.isEmpty()) {
            s.editMode = adEditNone;
            s.editValues.clear();
            return;
        }
        // Criteria: key plus changed columns (all columns without a key),
        // with the values as read; Null compares with IS NULL.
        const std::vector<Variant>& original = s.rows[static_cast<size_t>(s.position)];
        std::vector<int> criteria = keys;
        for (int i : writable) {
            const bool inKeys = std::find(keys.begin(), keys.end(), i) != keys.end();
            if (!inKeys && (keys.empty() || s.changed[static_cast<size_t>(i)]) &&
                !isLongType(s.columns[static_cast<size_t>(i)].type)) {
                criteria.push_back(i);
            }
        }
        auto whereFor = [&](const std::vector<Variant>& values, std::vector<Variant>& out) {
            QStringList terms;
            for (int i : criteria) {
                const Variant& v = values[static_cast<size_t>(i)];
                if (v.isNull() || v.isEmpty()) {
                    terms << columnName(i) + QStringLiteral(" IS NULL");
                } else {
                    terms << columnName(i) + QStringLiteral(" = ?");
                    out.push_back(v);
                }
            }
            return terms.join(QStringLiteral(" AND "));
        };
        const QString where = whereFor(original, params);
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                .arg(table, sets.join(QStringLiteral(", ")), where);
        ExecutionResult result = c.call(
            FaultOperation::Execute, [&] { return engine.execute(sql, params, c.commandTimeout); });
        c.takeWarnings(result.warnings);
        std::int64_t affected = result.rowsAffected;
        if (affected < 0) {
            // SET NOCOUNT ON hides the count: look for the row as written.
            std::vector<Variant> checkParams;
            const QString check = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                                      .arg(table, whereFor(s.editValues, checkParams));
            ExecutionResult counted = c.call(FaultOperation::Execute, [&] {
                return engine.execute(check, checkParams, c.commandTimeout);
            });
            affected = 0;
            if (!counted.resultSets.empty() && !counted.resultSets.front().rows.empty()) {
                affected = counted.resultSets.front().rows.front().front().toInt64();
            }
        }
        if (affected == 0) {
            const ProviderFailure failure = rowNotFound();
            c.errors.replace(failure.records());
            throw failure;
        }
        s.rows[static_cast<size_t>(s.position)] = s.editValues;
    }
    s.editMode = adEditNone;
    s.editValues.clear();
    s.changed.clear();
}

} // namespace estaciones::db
