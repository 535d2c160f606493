// DECLARE CURSOR, OPEN, FETCH, CLOSE, DEALLOCATE, cursor variables,
// CURSOR_STATUS and the changes made WHERE CURRENT OF a cursor.
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The columns an UPDATE's SET assigns (the last part of a qualified name).
QStringList assignedColumns(const Tokens& tokens) {
    std::size_t set = 1;
    while (set < tokens.size() && !tokens[set].isWord(u"SET")) {
        ++set;
    }
    std::size_t end = set + 1;
    int depth = 0;
    for (; end < tokens.size(); ++end) {
        depth += tokens[end].isPunctuation(u"(") ? 1 : tokens[end].isPunctuation(u")") ? -1 : 0;
        if (depth == 0 && (tokens[end].isWord(u"FROM") || tokens[end].isWord(u"WHERE"))) {
            break;
        }
    }
    QStringList columns;
    for (const Range& range : splitByCommas(tokens, set + 1, end)) {
        for (std::size_t i = range.from; i < range.to; ++i) {
            if (tokens[i].kind == TokenKind::Punctuation && tokens[i].text.endsWith(u'=')) {
                if (i > range.from && tokens[i - 1].isNameLike()) {
                    columns << tokens[i - 1].value();
                }
                break;
            }
        }
    }
    return columns;
}

} // namespace

Tokens BatchExecutor::cursorQueryText(const Tokens& query, const VariableScope& scope) {
    // The caller's '?' values are the query's from now on, as the variables'.
    Tokens bound = query;
    for (Token& token : bound) {
        if (token.kind == TokenKind::Parameter) {
            const std::optional<Variant> value = m_runner.takeParameter();
            token = value ? typedValueToken(*value) : Token::word(QStringLiteral("NULL"));
        }
    }
    return tsql::significantTokens(resolvedText(bound, scope));
}

void BatchExecutor::declareCursor(const Tokens& tokens, VariableScope& scope) {
    if (!tokens[1].isNameLike()) {
        syntaxErrorNear(tokens, 1);
    }
    const CursorDefinition definition = readCursorDefinition(tokens, 2);
    auto cursor = std::make_shared<Cursor>(tokens[1].value(), definition.options,
                                           cursorQueryText(definition.query, scope));
    (definition.options.global ? m_session.globalCursors : scope.localCursors()).add(cursor);
}

void BatchExecutor::setCursorVariable(const Tokens& tokens, VariableScope& scope) {
    const QString variable = tokens[1].text;
    if (tokens.size() < 4 || !tokens[2].isPunctuation(u"=")) {
        syntaxErrorNear(tokens, 2);
    }
    std::size_t at = 3;
    const bool defines = tokens[at].isWord(u"CURSOR") || tokens[at].isWord(u"SCROLL") ||
                         tokens[at].isWord(u"INSENSITIVE");
    if (!defines) {
        // Another name for a cursor that exists: the variable holds it too.
        const CursorReference reference = readCursorReference(tokens, at);
        if (at < tokens.size()) {
            syntaxErrorNear(tokens, at);
        }
        scope.setCursor(variable, cursorNamed(reference, scope));
        return;
    }
    const CursorDefinition definition = readCursorDefinition(tokens, at);
    scope.setCursor(variable, std::make_shared<Cursor>(variable, definition.options,
                                                       cursorQueryText(definition.query, scope)));
}

std::shared_ptr<Cursor> BatchExecutor::cursorNamed(const CursorReference& reference,
                                                   const VariableScope& scope) const {
    if (reference.variable) {
        std::shared_ptr<Cursor> cursor = scope.cursorOf(reference.name);
        if (!cursor) {
            failWith(native::NoCursorInVariable, {reference.name});
        }
        return cursor;
    }
    if (!reference.global) {
        if (std::shared_ptr<Cursor> local = scope.localCursors().find(reference.name)) {
            return local;
        }
    }
    std::shared_ptr<Cursor> global = m_session.globalCursors.find(reference.name);
    if (!global) {
        failWith(native::CursorDoesNotExist, {reference.name});
    }
    return global;
}

void BatchExecutor::openCursor(const Tokens& tokens, VariableScope& scope) {
    const std::shared_ptr<Cursor> cursor = cursorNamed(readCursorTarget(tokens), scope);
    cursor->open([this](const QString& query,
                        const std::vector<Variant>& values) { return cursorQuery(query, values); },
                 CursorTables{[this](const QString& name) { return isBaseTable(name); },
                              [this](const QString& name) { return hasUniqueKey(name); }},
                 m_session.current().name());
    m_session.lastOpenedCursor = cursor;
}

void BatchExecutor::closeCursor(const Tokens& tokens, VariableScope& scope) {
    cursorNamed(readCursorTarget(tokens), scope)->close();
}

void BatchExecutor::deallocateCursor(const Tokens& tokens, VariableScope& scope) {
    const CursorReference reference = readCursorTarget(tokens);
    if (reference.variable) {
        cursorNamed(reference, scope); // 16950 when it holds none
        scope.setCursor(reference.name, nullptr);
        return;
    }
    // The name goes; the cursor with it unless a variable still holds it.
    const bool removed = (!reference.global && scope.localCursors().remove(reference.name)) ||
                         m_session.globalCursors.remove(reference.name);
    if (!removed) {
        failWith(native::CursorDoesNotExist, {reference.name});
    }
}

void BatchExecutor::fetch(const Tokens& tokens, VariableScope& scope) {
    const FetchStatement statement = readFetch(tokens);
    const std::shared_ptr<Cursor> cursor = cursorNamed(statement.cursor, scope);
    if (!cursor->isOpen()) {
        failWith(native::CursorNotOpen);
    }
    if (!statement.into.empty() && statement.into.size() != cursor->columns().size()) {
        failWith(native::FetchIntoCountMismatch);
    }
    const long long offset =
        statement.offset.empty() ? 0 : evaluate(statement.offset, scope).toInt64();
    refuseAnotherDatabase(*cursor);
    Cursor::Fetched fetched = cursor->fetch(
        statement.direction, offset,
        [this](const QString& query, const std::vector<Variant>& values) {
            return cursorQuery(query, values);
        });
    m_session.fetchStatus = fetched.status;
    if (statement.into.empty()) {
        // The row as a result set of its own; none when there is no row.
        ResultSet row;
        row.columns = cursor->columns();
        if (fetched.row) {
            row.rows.push_back(std::move(*fetched.row));
        }
        StatementOutcome outcome;
        outcome.resultSet = std::move(row);
        record(std::move(outcome));
    } else if (fetched.row) {
        for (std::size_t k = 0; k < statement.into.size(); ++k) {
            scope.assign(statement.into[k], (*fetched.row)[k], m_session.dateOrder);
        }
    }
    m_session.rowCount = fetched.row ? 1 : 0;
}

Tokens BatchExecutor::positionedChange(const Tokens& tokens, std::size_t currentAt,
                                       const VariableScope& scope) const {
    std::size_t at = currentAt + 2; // CURRENT OF
    const CursorReference reference = readCursorReference(tokens, at);
    if (at < tokens.size()) {
        syntaxErrorNear(tokens, at);
    }
    const bool isUpdate = tokens.front().isWord(u"UPDATE");
    std::size_t i = 1;
    if (!isUpdate && upperWord(tokens, i) == QLatin1String("FROM")) {
        ++i;
    }
    // A table variable's table is the one the cursor's query named for it.
    const bool variable = i < tokens.size() && tokens[i].kind == TokenKind::Variable;
    const QString table = variable ? scope.tableOf(tokens[i++].text) : readObjectName(tokens, i);
    if (table.isEmpty()) {
        syntaxErrorNear(tokens, i);
    }
    const std::shared_ptr<Cursor> cursor = cursorNamed(reference, scope);
    refuseAnotherDatabase(*cursor);
    const Variant rowId =
        cursor->currentRowId(table, isUpdate ? assignedColumns(tokens) : QStringList());
    Tokens positioned = slice(tokens, 0, currentAt);
    positioned.push_back(tokens[i - 1]);
    positioned.push_back(Token::punctuation(QStringLiteral(".")));
    positioned.push_back(Token::word(QString::fromLatin1(rowIdColumn)));
    positioned.push_back(Token::punctuation(QStringLiteral("=")));
    positioned.push_back(literalToken(rowId));
    return positioned;
}

void BatchExecutor::refuseAnotherDatabase(const Cursor& cursor) const {
    // Its row ids are of that database's tables: read in another, they
    // would give another table's rows.
    const QString database = cursor.databaseReadAgain();
    if (!database.isEmpty() &&
        database.compare(m_session.current().name(), Qt::CaseInsensitive) != 0) {
        failWith(native::NotSupported,
                 {QStringLiteral("FETCH o WHERE CURRENT OF de un cursor abierto en la base de "
                                 "datos %1, desde otra")
                      .arg(database)});
    }
}

Tokens BatchExecutor::withCursorStatus(const Tokens& tokens, const VariableScope& scope) const {
    Tokens result;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const bool call = tokens[i].isWord(u"CURSOR_STATUS") && i + 5 < tokens.size() &&
                          tokens[i + 1].isPunctuation(u"(") &&
                          tokens[i + 2].kind == TokenKind::String &&
                          tokens[i + 3].isPunctuation(u",") &&
                          tokens[i + 4].kind == TokenKind::String &&
                          tokens[i + 5].isPunctuation(u")");
        if (!call) {
            result.push_back(tokens[i]);
            continue;
        }
        const QString source = tokens[i + 2].value().toLower();
        const QString name = tokens[i + 4].value();
        int status = -3; // no such cursor
        if (source == QLatin1String("variable")) {
            if (scope.isCursorVariable(name)) {
                const std::shared_ptr<Cursor> cursor = scope.cursorOf(name);
                status = cursor ? cursor->status() : -2;
            }
        } else if (source == QLatin1String("local") || source == QLatin1String("global")) {
            const std::shared_ptr<Cursor> cursor = source == QLatin1String("local")
                                                       ? scope.localCursors().find(name)
                                                       : m_session.globalCursors.find(name);
            status = cursor ? cursor->status() : -3;
        } else {
            failWith(native::SyntaxError, {tokens[i + 2].text});
        }
        // smallint, as the server types it.
        result.push_back(Token::word(QStringLiteral("CAST")));
        result.push_back(Token::punctuation(QStringLiteral("(")));
        result.push_back(Token::number(QString::number(status)));
        result.push_back(Token::word(QStringLiteral("AS")));
        result.push_back(Token::word(QStringLiteral("smallint")));
        result.push_back(Token::punctuation(QStringLiteral(")")));
        i += 5;
    }
    return result;
}

ResultSet BatchExecutor::cursorQuery(const QString& query, const std::vector<Variant>& values) {
    const DerivedTexts translated = translatedStatement(query);
    StatementOutcome outcome = m_runner.runBound(translated.statements.front(), values);
    return outcome.resultSet ? std::move(*outcome.resultSet) : ResultSet{};
}

bool BatchExecutor::isBaseTable(const QString& name) const {
    // #names are the connection's own temporary tables (table variables too).
    const QString catalogue = name.startsWith(QLatin1Char('#'))
                                  ? QStringLiteral("sqlite_temp_master")
                                  : QStringLiteral("sqlite_master");
    PreparedStatement query(
        m_session.current().handle(),
        QStringLiteral("SELECT 1 FROM %1 WHERE type = 'table' AND name = ?1 COLLATE NOCASE")
            .arg(catalogue));
    query.bindText(1, name);
    return query.ok() && query.step() == SQLITE_ROW;
}

bool BatchExecutor::hasUniqueKey(const QString& table) const {
    // An INTEGER PRIMARY KEY is the row id itself and has no index of its
    // own; a UNIQUE constraint is an index its tsql_uq trigger keeps unique.
    PreparedStatement query(
        m_session.current().handle(),
        QStringLiteral("SELECT 1 FROM pragma_table_info(?1) WHERE pk > 0 "
                       "UNION ALL SELECT 1 FROM pragma_index_list(?1) l WHERE l.\"unique\" = 1 "
                       "OR EXISTS (SELECT 1 FROM sqlite_schema t WHERE t.type = 'trigger' AND "
                       "t.name = 'tsql_uq.' || l.name || '.i') "
                       "OR EXISTS (SELECT 1 FROM sqlite_temp_schema t WHERE t.type = 'trigger' AND "
                       "t.name = 'tsql_uq.' || l.name || '.i')"));
    query.bindText(1, table);
    return query.ok() && query.step() == SQLITE_ROW;
}

} // namespace estaciones::db::sqlite
