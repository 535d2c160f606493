#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/bind/SchemaTyping.h"
#include "platform/db/embedded/bind/SelectInto.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/CascadedTriggers.h"
#include "platform/db/embedded/execute/ChangeCapture.h"
#include "platform/db/embedded/execute/OutputTarget.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/SignificantTokens.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/translate/Translator.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The rows MERGE sorts out before it changes any: the source's, the pairs
// its ON condition matches, the source rows matching none and the target
// rows no source row matches, each with the WHEN clause it takes (0: none).
constexpr const char* sourceRows = "tsql_merge_source";
constexpr const char* matchedRows = "tsql_merge_matched";
constexpr const char* newRows = "tsql_merge_new";
constexpr const char* orphanRows = "tsql_merge_orphan";

QString temporary(const char* table) {
    return QStringLiteral("temp.") + tsql::quoteName(QLatin1String(table));
}

enum class Match { Matched, NotMatchedByTarget, NotMatchedBySource };

struct Clause {
    Match match = Match::Matched;
    Range condition{0, 0}; // AND ...; empty: always
    QString action;        // UPDATE, DELETE or INSERT
    Range body{0, 0};      // SET list; INSERT's (columns) VALUES (...)
};

struct MergeStatement {
    Tokens target;
    QString targetAlias;
    Range source{0, 0}; // a table, or (SELECT ...) / (VALUES ...) with its parentheses
    QString sourceAlias;
    QStringList sourceColumns;
    Range on{0, 0};
    std::vector<Clause> clauses;
    Range output{0, 0};     // OUTPUT's list; empty without one
    Range outputInto{0, 0}; // OUTPUT ... INTO's table and columns
    Range top{0, 0};        // TOP's expression, inside its parentheses; empty without one
    bool topPercent = false;
};

bool startsClause(const Tokens& tokens, std::size_t i) {
    return tokens[i].isWord(u"WHEN") &&
           (upperWord(tokens, i + 1) == QLatin1String("MATCHED") ||
            (upperWord(tokens, i + 1) == QLatin1String("NOT") &&
             upperWord(tokens, i + 2) == QLatin1String("MATCHED")));
}

// The next index at the outer level where `stop` holds, or tokens.size().
template <class Stop>
std::size_t nextWhere(const Tokens& tokens, std::size_t from, Stop stop) {
    int depth = 0;
    for (std::size_t i = from; i < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth == 0 && stop(i)) {
            return i;
        }
    }
    return tokens.size();
}

// [AS] alias, unless the word there belongs to the statement.
QString readAlias(const Tokens& tokens, std::size_t& i, std::initializer_list<const char*> words) {
    if (upperWord(tokens, i) == QLatin1String("AS")) {
        ++i;
    }
    if (i >= tokens.size() || !tokens[i].isNameLike()) {
        return {};
    }
    for (const char* word : words) {
        if (tokens[i].isWord(QString::fromLatin1(word))) {
            return {};
        }
    }
    return tokens[i++].value();
}

// OUTPUT's list for the rows of one action: $action is its name, and the
// version of the rows the action has not (deleted of an INSERT, inserted of
// a DELETE) is all NULL.
QString outputQuery(const Tokens& list, const QString& action, const ChangeCapture& capture) {
    Tokens named;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].text == QLatin1String("$") && i + 1 < list.size() &&
            list[i + 1].isWord(u"action")) {
            named.push_back(Token::string(action));
            ++i;
        } else {
            named.push_back(list[i]);
        }
    }
    const QString inserted = capture.insertedTable() + QStringLiteral(" AS inserted");
    const QString deleted = capture.deletedTable() + QStringLiteral(" AS deleted");
    const QString from =
        action == QLatin1String("DELETE")
            ? deleted + QStringLiteral(" LEFT JOIN ") + inserted +
                  QStringLiteral(" ON inserted.rowid = deleted.rowid")
            : inserted + QStringLiteral(" LEFT JOIN ") + deleted +
                  QStringLiteral(" ON deleted.rowid = inserted.rowid");
    return QStringLiteral("SELECT ") + joinTokens(named) + QStringLiteral(" FROM ") + from;
}

DataEvent eventOf(const QString& action) {
    return action == QLatin1String("INSERT")   ? DataEvent::Insert
           : action == QLatin1String("UPDATE") ? DataEvent::Update
                                               : DataEvent::Delete;
}

const char* nameOf(DataEvent event) {
    return event == DataEvent::Insert ? "INSERT" : event == DataEvent::Update ? "UPDATE" : "DELETE";
}

// The columns an UPDATE clause's SET list names, for UPDATE(column).
QStringList setColumns(const Tokens& tokens, const Range& body) {
    QStringList columns;
    for (const Range& item : splitByCommas(tokens, body.from + 1, body.to)) {
        std::size_t equals = item.from;
        while (equals < item.to && !tokens[equals].isPunctuation(u"=")) {
            ++equals;
        }
        if (equals > item.from && equals < item.to &&
            !columns.contains(tokens[equals - 1].value(), Qt::CaseInsensitive)) {
            columns << tokens[equals - 1].value();
        }
    }
    return columns;
}

// MERGE TOP (n) [PERCENT]: of the rows that take a clause (the joined rows
// that qualify for an action), only n change, or n percent rounded up; the
// others take none. The server names no order among them.
void keepFirstActions(SqliteDatabase& database, SqlRunner& runner, double top, bool percent) {
    const auto qualifying = [&](const char* rows) {
        return runner.scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE clause > 0")
                                 .arg(temporary(rows)))
            .toInt64();
    };
    const char* const sorted[] = {matchedRows, newRows, orphanRows};
    std::int64_t left = static_cast<std::int64_t>(top);
    if (percent) {
        std::int64_t total = 0;
        for (const char* rows : sorted) {
            total += qualifying(rows);
        }
        left = static_cast<std::int64_t>(std::ceil(static_cast<double>(total) * top / 100.0));
    }
    for (const char* rows : sorted) {
        database.run(QStringLiteral("UPDATE %1 SET clause = 0 WHERE clause > 0 AND rowid NOT IN "
                                    "(SELECT rowid FROM %1 WHERE clause > 0 ORDER BY rowid LIMIT %2)")
                         .arg(temporary(rows))
                         .arg(left));
        left = std::max<std::int64_t>(0, left - qualifying(rows));
    }
}

MergeStatement parseMerge(const Tokens& tokens) {
    MergeStatement merge;
    std::size_t i = 1;
    if (upperWord(tokens, i) == QLatin1String("TOP")) {
        // MERGE TOP takes its expression in parentheses.
        if (i + 1 >= tokens.size() || !tokens[i + 1].isPunctuation(u"(")) {
            syntaxErrorNear(tokens, i + 1);
        }
        const std::size_t close = closingParenthesis(tokens, i + 1);
        merge.top = {i + 2, close};
        i = close + 1;
        if (upperWord(tokens, i) == QLatin1String("PERCENT")) {
            merge.topPercent = true;
            ++i;
        }
    }
    if (upperWord(tokens, i) == QLatin1String("INTO")) {
        ++i;
    }
    const std::size_t targetStart = i;
    if (i < tokens.size() && tokens[i].kind == TokenKind::Variable) {
        ++i;
    } else if (readObjectName(tokens, i).isEmpty()) {
        syntaxErrorNear(tokens, i);
    }
    merge.target = slice(tokens, targetStart, i);
    merge.targetAlias = readAlias(tokens, i, {"USING", "WITH"});
    if (upperWord(tokens, i) != QLatin1String("USING")) {
        syntaxErrorNear(tokens, i);
    }
    const std::size_t sourceStart = ++i;
    if (i < tokens.size() && tokens[i].isPunctuation(u"(")) {
        i = closingParenthesis(tokens, i) + 1;
    } else if (i < tokens.size() && tokens[i].kind == TokenKind::Variable) {
        ++i;
    } else if (readObjectName(tokens, i).isEmpty()) {
        syntaxErrorNear(tokens, i);
    }
    merge.source = {sourceStart, i};
    merge.sourceAlias = readAlias(tokens, i, {"ON"});
    if (i < tokens.size() && tokens[i].isPunctuation(u"(")) {
        const std::size_t close = closingParenthesis(tokens, i);
        for (const Range& column : splitByCommas(tokens, i + 1, close)) {
            merge.sourceColumns << tokens[column.from].value();
        }
        i = close + 1;
    }
    if (upperWord(tokens, i) != QLatin1String("ON")) {
        syntaxErrorNear(tokens, i);
    }
    const auto clauseStart = [&](std::size_t at) { return startsClause(tokens, at); };
    const std::size_t firstClause = nextWhere(tokens, i + 1, clauseStart);
    merge.on = {i + 1, firstClause};
    if (nextWhere(tokens, i + 1, [&](std::size_t at) { return tokens[at].isWord(u"OPTION"); }) <
        tokens.size()) {
        failWith(native::NotSupported, {QStringLiteral("MERGE ... OPTION")});
    }
    const std::size_t clausesEnd =
        nextWhere(tokens, i + 1, [&](std::size_t at) { return tokens[at].isWord(u"OUTPUT"); });
    if (clausesEnd < tokens.size()) {
        const std::size_t last =
            tokens.back().isPunctuation(u";") ? tokens.size() - 1 : tokens.size();
        const std::size_t into = std::min(
            nextWhere(tokens, clausesEnd + 1, [&](std::size_t at) { return tokens[at].isWord(u"INTO"); }),
            last);
        merge.output = {clausesEnd + 1, into};
        if (into < last) {
            merge.outputInto = {into + 1, last};
        }
    }
    for (i = firstClause; i < clausesEnd;) {
        Clause clause;
        std::size_t k = i + 1;
        if (tokens[k].isWord(u"NOT")) {
            k += 2; // NOT MATCHED
            clause.match = Match::NotMatchedByTarget;
            if (upperWord(tokens, k) == QLatin1String("BY")) {
                clause.match = upperWord(tokens, k + 1) == QLatin1String("SOURCE")
                                   ? Match::NotMatchedBySource
                                   : Match::NotMatchedByTarget;
                k += 2;
            }
        } else {
            k += 1; // MATCHED
        }
        const std::size_t then =
            nextWhere(tokens, k, [&](std::size_t at) { return tokens[at].isWord(u"THEN"); });
        if (then >= tokens.size()) {
            syntaxErrorNear(tokens, k);
        }
        if (upperWord(tokens, k) == QLatin1String("AND")) {
            clause.condition = {k + 1, then};
        } else if (k != then) {
            syntaxErrorNear(tokens, k);
        }
        clause.action = upperWord(tokens, then + 1);
        const std::size_t end = std::min(nextWhere(tokens, then + 2, clauseStart), clausesEnd);
        clause.body = {then + 2, end};
        const bool fits = clause.match == Match::NotMatchedByTarget
                              ? clause.action == QLatin1String("INSERT")
                              : clause.action == QLatin1String("UPDATE") ||
                                    clause.action == QLatin1String("DELETE");
        if (!fits) {
            syntaxErrorNear(tokens, then + 1);
        }
        merge.clauses.push_back(clause);
        i = end;
    }
    if (merge.clauses.empty()) {
        syntaxErrorNear(tokens, firstClause);
    }
    return merge;
}

QStringList columnNames(SqliteDatabase& database, const QString& sql, const QString& table) {
    QStringList names;
    PreparedStatement query(database.handle(), sql);
    query.bindText(1, table);
    while (query.ok() && query.step() == SQLITE_ROW) {
        names << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
    }
    return names;
}

// One kind of action a MERGE carries out (several clauses may share it): the
// target's triggers it fires and the rows it changes.
struct Action {
    DataEvent event = DataEvent::Insert;
    std::vector<TriggerDefinition> triggers;
    bool insteadOf = false;
    QStringList updated; // UPDATE(column)
    std::unique_ptr<ChangeCapture> capture;
};

// Each action in the order first written, with the target's triggers that
// fire for it; INSTEAD OF triggers replace every action or none.
std::vector<Action> plannedActions(SqliteDatabase& database, const MergeStatement& merge,
                                   const Tokens& tokens, const QString& target,
                                   const CascadedTriggers::Choose& notFiringAgain) {
    const TriggerCatalog catalog(database);
    std::vector<Action> actions;
    for (const Clause& clause : merge.clauses) {
        const DataEvent event = eventOf(clause.action);
        auto action = std::find_if(actions.begin(), actions.end(),
                                   [&](const Action& a) { return a.event == event; });
        if (action == actions.end()) {
            Action planned;
            planned.event = event;
            planned.triggers = notFiringAgain(catalog.firedBy(target, event));
            planned.insteadOf = std::any_of(planned.triggers.begin(), planned.triggers.end(),
                                            [](const TriggerDefinition& t) { return t.insteadOf; });
            std::erase_if(planned.triggers, [&](const TriggerDefinition& t) {
                return t.insteadOf != planned.insteadOf;
            });
            actions.push_back(std::move(planned));
            action = actions.end() - 1;
        }
        if (event == DataEvent::Update) {
            for (const QString& column : setColumns(tokens, clause.body)) {
                if (!action->updated.contains(column, Qt::CaseInsensitive)) {
                    action->updated << column;
                }
            }
        }
    }
    const auto replaced = std::count_if(actions.begin(), actions.end(),
                                        [](const Action& a) { return a.insteadOf; });
    if (replaced > 0 && replaced < static_cast<long>(actions.size())) {
        failWith(native::NotSupported,
                 {QStringLiteral("MERGE on a table with INSTEAD OF triggers for only some of its actions")});
    }
    return actions;
}

} // namespace

// MERGE target USING source ON ... WHEN ...: the rows are sorted out first
// (which pair each WHEN MATCHED clause takes, which source rows are new,
// which target rows no source row matched), with the conditions read on the
// rows as they were; then each clause's UPDATE, DELETE or INSERT runs on its
// rows, all or none of them (a savepoint). @@ROWCOUNT counts every row changed.
void BatchExecutor::merge(const Tokens& tokens, VariableScope& scope) {
    const MergeStatement merge = parseMerge(tokens);
    SqliteDatabase& database = m_session.current();
    const tsql::Translator translator(database.sharedDialectSettings());
    const auto expression = [&](const Range& range) {
        return translator.translateExpression(resolvedText(slice(tokens, range.from, range.to), scope));
    };
    const auto query = [&](const Tokens& select) {
        return translator.translate(resolvedText(select, scope)).statements.join(QStringLiteral(";\n"));
    };
    std::size_t at = 0;
    const Tokens resolvedTarget = tsql::tokenize(resolvedText(merge.target, scope));
    const QString target = readObjectName(resolvedTarget, at);
    if (!database.hasTable(target)) {
        failWith(native::InvalidObjectName, {target});
    }
    const QString t = tsql::quoteName(target);
    const QString targetName = tsql::quoteName(merge.targetAlias.isEmpty() ? target : merge.targetAlias);
    QString sourceAlias = merge.sourceAlias;
    if (sourceAlias.isEmpty()) {
        std::size_t s = merge.source.from;
        sourceAlias = readObjectName(tokens, s);
    }
    const QString sourceName = tsql::quoteName(sourceAlias);

    // The source's rows, under the names the statement gives them.
    const Tokens source = slice(tokens, merge.source.from, merge.source.to);
    Tokens select;
    if (source.front().isPunctuation(u"(") && upperWord(source, 1) != QLatin1String("VALUES")) {
        select = slice(source, 1, source.size() - 1);
    } else {
        select = tsql::tokenize(QStringLiteral("SELECT * FROM "));
        select.insert(select.end(), source.begin(), source.end());
        if (source.front().isPunctuation(u"(")) {
            select.push_back(Token::word(QStringLiteral("tsql_values")));
        }
    }
    const QString sourceQuery = query(select);
    const auto cleanUp = [&] {
        ignoringErrors([&] {
            for (const char* table : {sourceRows, matchedRows, newRows, orphanRows}) {
                database.run(QStringLiteral("DROP TABLE IF EXISTS ") + temporary(table));
            }
        });
    };
    const bool withOutput = merge.output.from != merge.output.to;
    if (merge.outputInto.from != merge.outputInto.to) {
        refuseOutputTarget(database, slice(tokens, merge.outputInto.from, merge.outputInto.to));
    }
    const CascadedTriggers::Choose choose = [this](std::vector<TriggerDefinition> t) {
        return notFiringAgain(std::move(t));
    };
    std::vector<Action> actions = plannedActions(database, merge, tokens, target, choose);
    // The AFTER triggers of the tables the UPDATE and DELETE cascade to.
    std::vector<DataEvent> cascading;
    for (const Action& action : actions) {
        if (!action.insteadOf && action.event != DataEvent::Insert) {
            cascading.push_back(action.event);
        }
    }
    CascadedTriggers cascaded(database, target, cascading, choose);
    const bool fires = !cascaded.empty() || std::any_of(actions.begin(), actions.end(), [](const Action& a) {
        return !a.triggers.empty();
    });
    // The statement and its triggers are one transaction, as for the other data statements.
    const bool implicitTransaction = fires && m_session.transactionDepth() == 0;
    if (implicitTransaction) {
        m_session.beginTransaction();
    }
    cleanUp();
    std::int64_t changed = 0;
    bool countGivenByRows = false;
    const CaptureLevel level(m_captureLevel);
    try {
        database.run(QStringLiteral("SAVEPOINT tsql_merge"));
        if (merge.sourceColumns.isEmpty()) {
            database.run(withDeclaredColumns(
                database.handle(), QStringLiteral("CREATE TEMP TABLE %1 AS %2")
                                       .arg(tsql::quoteName(QLatin1String(sourceRows)), sourceQuery),
                false));
        } else {
            QStringList columns;
            for (const QString& column : merge.sourceColumns) {
                columns << tsql::quoteName(column);
            }
            database.run(QStringLiteral("CREATE TEMP TABLE %1 (%2); INSERT INTO %3 SELECT * FROM (%4)")
                             .arg(tsql::quoteName(QLatin1String(sourceRows)),
                                  columns.join(QStringLiteral(", ")), temporary(sourceRows),
                                  sourceQuery));
        }
        // Which clause each row takes, in the order the clauses are written.
        const auto clauseOf = [&](Match match) {
            QString cases;
            for (std::size_t c = 0; c < merge.clauses.size(); ++c) {
                const Clause& clause = merge.clauses[c];
                if (clause.match != match) {
                    continue;
                }
                cases += QStringLiteral(" WHEN %1 THEN %2")
                             .arg(clause.condition.from == clause.condition.to
                                      ? QStringLiteral("1")
                                      : QStringLiteral("(%1)").arg(expression(clause.condition)))
                             .arg(c + 1);
            }
            return cases.isEmpty() ? QStringLiteral("0")
                                   : QStringLiteral("CASE%1 ELSE 0 END").arg(cases);
        };
        // The ON clause and the clauses' conditions are typed as any query's
        // (a text meeting a money column converts to money).
        const auto sortRows = [&](const QString& statement) {
            database.run(typedForSchema(database.handle(), statement));
        };
        sortRows(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT %2.rowid AS target_row, "
                                "%3.rowid AS source_row, %4 AS clause FROM %5 AS %2 JOIN %6 "
                                "AS %3 ON %7")
                     .arg(tsql::quoteName(QLatin1String(matchedRows)), targetName, sourceName,
                          clauseOf(Match::Matched), t, temporary(sourceRows),
                          expression(merge.on)));
        if (!m_runner.scalar(QStringLiteral("SELECT 1 FROM %1 WHERE clause > 0 GROUP BY "
                                            "target_row HAVING count(*) > 1")
                                 .arg(temporary(matchedRows)))
                 .isNull()) {
            failWith(native::MergeRowMatchedTwice);
        }
        sortRows(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT %2.rowid AS source_row, %3 "
                                "AS clause FROM %4 AS %2 WHERE %2.rowid NOT IN (SELECT "
                                "source_row FROM %5)")
                     .arg(tsql::quoteName(QLatin1String(newRows)), sourceName,
                          clauseOf(Match::NotMatchedByTarget), temporary(sourceRows),
                          temporary(matchedRows)));
        sortRows(QStringLiteral("CREATE TEMP TABLE %1 AS SELECT %2.rowid AS target_row, %3 "
                                "AS clause FROM %4 AS %2 WHERE %2.rowid NOT IN (SELECT "
                                "target_row FROM %5)")
                     .arg(tsql::quoteName(QLatin1String(orphanRows)), targetName,
                          clauseOf(Match::NotMatchedBySource), t, temporary(matchedRows)));

        if (merge.top.from != merge.top.to) {
            const QString limit = QStringLiteral("SELECT %1(%2)").arg(
                merge.topPercent ? QStringLiteral("tsql_top_percent")
                                 : QStringLiteral("tsql_top_rows"),
                expression(merge.top));
            keepFirstActions(database, m_runner, m_runner.scalar(limit).toDouble(), merge.topPercent);
        }

        QStringList clauseSql;
        for (std::size_t c = 0; c < merge.clauses.size(); ++c) {
            const Clause& clause = merge.clauses[c];
            const QString rows = temporary(clause.match == Match::Matched ? matchedRows : orphanRows);
            const QString chosen = QStringLiteral("tsql_m.clause = %1").arg(c + 1);
            QString sql;
            if (clause.action == QLatin1String("DELETE")) {
                sql = QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT target_row FROM %2 AS "
                                     "tsql_m WHERE %3)")
                          .arg(t, rows, chosen);
            } else if (clause.action == QLatin1String("UPDATE")) {
                if (upperWord(tokens, clause.body.from) != QLatin1String("SET")) {
                    syntaxErrorNear(tokens, clause.body.from);
                }
                QStringList assignments;
                for (const Range& item : splitByCommas(tokens, clause.body.from + 1, clause.body.to)) {
                    std::size_t equals = item.from;
                    while (equals < item.to && !tokens[equals].isPunctuation(u"=")) {
                        ++equals;
                    }
                    if (equals == item.from || equals >= item.to) {
                        syntaxErrorNear(tokens, item.from);
                    }
                    // t.column = ...: SQLite's SET takes the column alone.
                    assignments << QStringLiteral("%1 = (%2)").arg(
                        tsql::quoteName(tokens[equals - 1].value()),
                        expression({equals + 1, item.to}));
                }
                const QString joined =
                    clause.match == Match::Matched
                        ? QStringLiteral("%1 AS tsql_m JOIN %2 AS %3 ON %3.rowid = "
                                         "tsql_m.source_row")
                              .arg(rows, temporary(sourceRows), sourceName)
                        : QStringLiteral("%1 AS tsql_m").arg(rows);
                sql = QStringLiteral("UPDATE %1 AS %2 SET %3 FROM %4 WHERE %2.rowid = "
                                     "tsql_m.target_row AND %5")
                          .arg(t, targetName, assignments.join(QStringLiteral(", ")), joined,
                               chosen);
            } else {
                std::size_t k = clause.body.from;
                QStringList columns;
                if (k < clause.body.to && tokens[k].isPunctuation(u"(")) {
                    const std::size_t close = closingParenthesis(tokens, k);
                    for (const Range& column : splitByCommas(tokens, k + 1, close)) {
                        columns << tsql::quoteName(tokens[column.from].value());
                    }
                    k = close + 1;
                } else {
                    database.run(tsql::identityTableDefinition(target));
                    for (const QString& name : columnNames(
                             database,
                             QStringLiteral("SELECT name FROM pragma_table_info(?1) WHERE "
                                            "lower(name) NOT IN (SELECT lower(column_name) FROM "
                                            "%1 WHERE table_name = ?1) ORDER BY cid")
                                 .arg(tsql::identityStoreOf(target)),
                             target)) {
                        columns << tsql::quoteName(name);
                    }
                }
                if (upperWord(tokens, k) != QLatin1String("VALUES") ||
                    !tokens[k + 1].isPunctuation(u"(")) {
                    failWith(native::NotSupported,
                             {QStringLiteral("MERGE ... INSERT ") + upperWord(tokens, k)});
                }
                QStringList values;
                for (const Range& value :
                     splitByCommas(tokens, k + 2, closingParenthesis(tokens, k + 1))) {
                    values << expression(value);
                }
                sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 AS %5 WHERE "
                                     "%5.rowid IN (SELECT source_row FROM %6 AS tsql_m WHERE %7) "
                                     "ORDER BY %5.rowid")
                          .arg(t, columns.join(QStringLiteral(", ")),
                               values.join(QStringLiteral(", ")), temporary(sourceRows),
                               sourceName, temporary(newRows), chosen);
            }
            clauseSql.push_back(sql);
        }
        // Each action's rows are noted over all its clauses: its triggers
        // fire once, and OUTPUT reads them once all have run.
        int part = 0;
        for (Action& action : actions) {
            if (withOutput || !action.triggers.empty()) {
                action.capture = std::make_unique<ChangeCapture>(
                    database, target, action.event,
                    action.insteadOf ? ChangeCapture::Timing::InsteadOf : ChangeCapture::Timing::After,
                    m_captureLevel, part++);
            }
        }
        cascaded.startNoting(m_captureLevel, part);
        for (std::size_t c = 0; c < merge.clauses.size(); ++c) {
            // Its values and conditions typed as in any UPDATE or INSERT.
            const StatementOutcome outcome = m_runner.run(
                typedForSchema(database.handle(), clauseSql[c]), merge.clauses[c].action,
                target);
            changed += std::max<std::int64_t>(outcome.rowsChanged, 0);
        }
        QStringList outputs;
        for (Action& action : actions) {
            if (action.capture) {
                action.capture->collect();
                if (action.insteadOf) {
                    changed += action.capture->rows();
                }
                if (withOutput) {
                    outputs << outputQuery(slice(tokens, merge.output.from, merge.output.to),
                                           nameOf(action.event), *action.capture);
                }
            }
        }
        cascaded.collect();
        if (!outputs.isEmpty()) {
            const QString rows = outputs.join(QStringLiteral(" UNION ALL "));
            if (merge.outputInto.from == merge.outputInto.to) {
                record(runTranslated(tsql::significantTokens(rows), scope));
                countGivenByRows = true;
            } else {
                runChange(tsql::significantTokens(
                              QStringLiteral("INSERT INTO ") +
                              joinTokens(slice(tokens, merge.outputInto.from, merge.outputInto.to)) +
                              QLatin1Char(' ') + rows),
                          scope);
            }
        }
        database.run(QStringLiteral("RELEASE tsql_merge"));
        cleanUp(); // a trigger may MERGE too
        cascaded.fire([this](const std::vector<TriggerDefinition>& fired, const QStringList& updated,
                             const ChangeCapture& rows) { fireTriggers(fired, updated, rows, rows.rows()); });
        for (const Action& action : actions) {
            if (!action.triggers.empty()) {
                fireTriggers(action.triggers,
                             action.event == DataEvent::Insert ? action.capture->columns()
                                                               : action.updated,
                             *action.capture, action.capture->rows());
            }
        }
    } catch (...) {
        ignoringErrors([&] { database.run(QStringLiteral("ROLLBACK TO tsql_merge; RELEASE tsql_merge")); });
        cleanUp();
        if (implicitTransaction && m_session.transactionDepth() > 0) {
            ignoringErrors([this] { m_session.rollbackTransaction(); });
        }
        throw;
    }
    if (implicitTransaction) {
        m_session.commitTransaction();
    }
    m_session.rowCount = changed;
    record(StatementOutcome{std::nullopt, changed, countGivenByRows});
}

} // namespace estaciones::db::sqlite
