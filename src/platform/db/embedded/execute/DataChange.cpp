// INSERT, UPDATE and DELETE with the triggers they fire and their OUTPUT
// clause: both read the rows the statement changed from one ChangeCapture.
#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/CascadedTriggers.h"
#include "platform/db/embedded/execute/ChangeCapture.h"
#include "platform/db/embedded/execute/OtherSchemaDefinitions.h"
#include "platform/db/embedded/execute/OutputTarget.h"
#include "platform/db/embedded/execute/SessionSettings.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/execute/TriggerBody.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/SignificantTokens.h"


namespace estaciones::db::sqlite {

using tsql::Tokens;

namespace {

// OUTPUT reads the captured rows alone: a column of another table of the
// statement's FROM (from_table_name.column) fails by name rather than as a
// column that does not exist.
void refuseOtherTablesColumns(const Tokens& list) {
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (list[i].isNameLike() && list[i + 1].isPunctuation(u".") &&
            (i == 0 || !list[i - 1].isPunctuation(u".")) && !list[i].isName(u"INSERTED") &&
            !list[i].isName(u"DELETED") &&
            !(i + 3 < list.size() && list[i + 3].isPunctuation(u"("))) { // dbo.f(x) is a call
            failWith(native::NotSupportedInThisVersion,
                     {QStringLiteral("OUTPUT %1.column").arg(list[i].value())});
        }
    }
}

// Whether tokens[k] is a word that ends a table reference (its alias is none).
bool endsTableReference(const tsql::Token& token) {
    static const QStringList words = {"JOIN",  "INNER", "LEFT",  "RIGHT", "FULL",  "CROSS",
                                      "OUTER", "ON",    "WHERE", "APPLY", "OPTION", "WITH"};
    return !token.isNameLike() || words.contains(token.text, Qt::CaseInsensitive);
}

// The FROM of OUTPUT over an UPDATE's or DELETE's own FROM: the target's
// place in it taken by its captured rows (the old ones; for an UPDATE the new
// ones joined as inserted), the WHERE kept, so that OUTPUT reads the columns
// of the other tables the rows were changed with.
QString outputThroughFrom(const DataStatement& data, const ChangeCapture& capture) {
    const QString rows = capture.deletedTable();
    Tokens tables = data.fromTables;
    QString alias = data.targetName;
    bool placed = false;
    for (std::size_t k = 0; k < tables.size() && !placed; ++k) {
        if (!tables[k].isName(data.table) || (k + 1 < tables.size() && tables[k + 1].isPunctuation(u"."))) {
            continue;
        }
        std::size_t first = k;
        while (first >= 2 && tables[first - 1].isPunctuation(u".") && tables[first - 2].isNameLike()) {
            first -= 2; // dbo.table
        }
        std::size_t next = k + 1;
        if (next < tables.size() && tables[next].isWord(u"AS")) {
            ++next;
        }
        const bool aliased = next < tables.size() && !endsTableReference(tables[next]);
        alias = aliased ? tables[next].value() : data.table;
        Tokens replacement{tsql::Token::word(rows), tsql::Token::word(QStringLiteral("AS")),
                           tsql::Token::word(tsql::quoteName(alias))};
        const std::size_t last = aliased ? next + 1 : k + 1;
        tables.erase(tables.begin() + static_cast<std::ptrdiff_t>(first),
                     tables.begin() + static_cast<std::ptrdiff_t>(last));
        tables.insert(tables.begin() + static_cast<std::ptrdiff_t>(first), replacement.begin(),
                      replacement.end());
        placed = true;
    }
    QString text = placed ? joinTokens(tables)
                          : QStringLiteral("%1 AS %2, ").arg(rows, tsql::quoteName(alias)) +
                                joinTokens(tables);
    const QString quotedAlias = tsql::quoteName(alias);
    text += QStringLiteral(" JOIN %1 AS deleted ON deleted.rowid = %2.rowid")
                .arg(capture.deletedTable(), quotedAlias);
    if (data.event == DataEvent::Update) {
        text += QStringLiteral(" JOIN %1 AS inserted ON inserted.rowid = %2.rowid")
                    .arg(capture.insertedTable(), quotedAlias);
    }
    if (!data.whereCondition.empty()) {
        text += QStringLiteral(" WHERE ") + joinTokens(data.whereCondition);
    }
    return text;
}

} // namespace

std::optional<StatementOutcome> BatchExecutor::runDataChange(const DataStatement& data,
                                                             VariableScope& scope) {
    SqliteDatabase& database = m_session.current();
    // A table variable is a temporary table of its own name.
    const QString table =
        data.table.startsWith(QLatin1Char('@')) ? scope.tableOf(data.table) : data.table;
    if (table.isEmpty()) {
        return std::nullopt;
    }
    // Before any row changes; with a FROM the other tables' columns are read through it.
    if (data.fromTables.empty()) {
        refuseOtherTablesColumns(data.output);
        refuseOtherTablesColumns(data.outputToCaller);
    }
    if (!data.outputInto.empty()) {
        refuseOutputTarget(database, data.outputInto);
    }
    const TriggerCatalog catalog(database);
    std::vector<TriggerDefinition> triggers = notFiringAgain(catalog.firedBy(table, data.event));
    const bool insteadOf = std::any_of(triggers.begin(), triggers.end(),
                                       [](const TriggerDefinition& t) { return t.insteadOf; });
    if (insteadOf) {
        std::erase_if(triggers, [](const TriggerDefinition& t) { return !t.insteadOf; });
    }
    // The AFTER triggers of the tables the statement's cascading foreign
    // keys change fire too, with the rows the cascade changed.
    CascadedTriggers cascaded(database, table,
                              insteadOf ? std::vector<DataEvent>{} : std::vector{data.event},
                              [this](std::vector<TriggerDefinition> t) { return notFiringAgain(std::move(t)); });
    if (triggers.empty() && cascaded.empty() && data.output.empty()) {
        return std::nullopt;
    }
    // The statement and its triggers are one transaction: a trigger's
    // ROLLBACK undoes the statement too.
    const bool implicitTransaction =
        (!triggers.empty() || !cascaded.empty()) && m_session.transactionDepth() == 0;
    if (implicitTransaction) {
        m_session.beginTransaction();
    }
    StatementOutcome outcome;
    try {
        const CaptureLevel level(m_captureLevel);
        ChangeCapture capture(database, table, data.event,
                              insteadOf ? ChangeCapture::Timing::InsteadOf
                                        : ChangeCapture::Timing::After,
                              m_captureLevel);
        cascaded.startNoting(m_captureLevel, 1);
        outcome = runTranslated(data.statement, scope);
        capture.collect();
        cascaded.collect();
        if (insteadOf) {
            outcome.rowsChanged = capture.rows();
        }
        const long long rows = std::max<long long>(outcome.rowsChanged, 0);
        if (!data.output.empty()) {
            outcome.countGivenByRows =
                runOutput(data, data.output, data.outputInto, capture, scope);
        }
        if (!data.outputToCaller.empty()) {
            outcome.countGivenByRows = runOutput(data, data.outputToCaller, {}, capture, scope);
        }
        cascaded.fire([this](const std::vector<TriggerDefinition>& fired, const QStringList& updated,
                             const ChangeCapture& changes) {
            fireTriggers(fired, updated, changes, changes.rows());
        });
        const QStringList updated = data.event == DataEvent::Insert   ? capture.columns()
                                    : data.event == DataEvent::Update ? data.setColumns
                                                                      : QStringList();
        fireTriggers(triggers, updated, capture, rows);
        m_session.rowCount = rows;
    } catch (...) {
        if (implicitTransaction && m_session.transactionDepth() > 0) {
            ignoringErrors([this] { m_session.rollbackTransaction(); });
        }
        throw;
    }
    if (implicitTransaction) {
        m_session.commitTransaction();
    }
    return outcome;
}

std::vector<TriggerDefinition> BatchExecutor::notFiringAgain(
    std::vector<TriggerDefinition> triggers) const {
    // RECURSIVE_TRIGGERS is OFF: a trigger's own statements do not fire it
    // again, and an INSTEAD OF trigger's statements reach the table itself.
    std::erase_if(triggers, [&](const TriggerDefinition& trigger) {
        return trigger.insteadOf ? m_triggers.contains(trigger.name, Qt::CaseInsensitive)
                                 : !m_triggers.isEmpty() &&
                                       m_triggers.back().compare(trigger.name, Qt::CaseInsensitive) == 0;
    });
    return triggers;
}

void BatchExecutor::fireTriggers(const std::vector<TriggerDefinition>& triggers,
                                 const QStringList& updated, const ChangeCapture& capture,
                                 long long rows) {
    for (const TriggerDefinition& trigger : triggers) {
        runTrigger(trigger, updated, capture, rows);
        if (m_session.transactionDepth() == 0) {
            failWith(native::TransactionEndedInTrigger);
        }
    }
}

bool BatchExecutor::runOutput(const DataStatement& data, const Tokens& list, const Tokens& into,
                              const ChangeCapture& capture, VariableScope& scope) {
    const QString inserted = capture.insertedTable() + QStringLiteral(" AS inserted");
    const QString deleted = capture.deletedTable() + QStringLiteral(" AS deleted");
    QString from;
    switch (data.event) {
    case DataEvent::Insert:
        from = inserted;
        break;
    case DataEvent::Delete:
        from = deleted;
        break;
    case DataEvent::Update:
        // The old and new versions of a row share their row id.
        from = inserted + QStringLiteral(" JOIN ") + deleted +
               QStringLiteral(" ON deleted.rowid = inserted.rowid");
        break;
    }
    if (!data.fromTables.empty()) {
        from = outputThroughFrom(data, capture);
    }
    QString text = QStringLiteral("SELECT ") + joinTokens(list) + QStringLiteral(" FROM ") + from;
    if (into.empty()) {
        record(runTranslated(tsql::significantTokens(text), scope));
        return true;
    }
    // OUTPUT ... INTO is an INSERT of those rows, without a count of its own.
    text = QStringLiteral("INSERT INTO ") + joinTokens(into) + QLatin1Char(' ') + text;
    runChange(tsql::significantTokens(text), scope);
    return false;
}

void BatchExecutor::runTrigger(const TriggerDefinition& trigger, const QStringList& updated,
                               const ChangeCapture& capture, long long rows) {
    if (m_nesting + 1 > maximumNesting) {
        failWith(native::NestingLimit);
    }
    const FiringStatement firing{capture.insertedTable(), capture.deletedTable(),
                                 capture.columns(), updated};
    // A trigger is in its table's schema.
    const std::optional<Tokens> inSchema =
        bodyInModuleSchema(m_session.current(), trigger.table, trigger.body);
    const std::vector<StatementNode> body =
        parseBatch(triggerBodyFor(inSchema ? *inSchema : trigger.body, firing));
    // The body starts with the statement's @@ROWCOUNT and runs with
    // XACT_ABORT ON: an error in it ends the batch and rolls back.
    const SetOptions options(m_session);
    m_session.xactAbort = true;
    m_session.rowCount = rows;
    m_triggers.append(trigger.name);
    m_procedures.append(trigger.name);
    ++m_session.triggersRunning;
    const auto restore = [&] {
        --m_session.triggersRunning;
        m_procedures.removeLast();
        m_triggers.removeLast();
        options.restore(m_session);
    };
    VariableScope scope;
    try {
        runNested(body, scope, 1, true);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void BatchExecutor::switchTriggers(const Tokens& tokens) {
    // "ENABLE|DISABLE TRIGGER {names|ALL} ON table" or
    // "ALTER TABLE table ENABLE|DISABLE TRIGGER {names|ALL}".
    const bool onTable = upperWord(tokens, 0) == QLatin1String("ALTER");
    std::size_t i = 2;
    QString table = onTable ? readObjectName(tokens, i) : QString();
    const bool enable = upperWord(tokens, onTable ? i : 0) == QLatin1String("ENABLE");
    i = onTable ? i + 2 : 2;
    QStringList names;
    while (i < tokens.size() && !tokens[i].isWord(u"ON")) {
        const QString name = readObjectName(tokens, i);
        if (name.isEmpty()) {
            failWith(native::SyntaxError, {tokens[i].text});
        }
        names << name;
        i += i < tokens.size() && tokens[i].isPunctuation(u",") ? 1 : 0;
    }
    if (!onTable) {
        ++i;
        table = readObjectName(tokens, i);
    }
    if (names.isEmpty() || table.isEmpty()) {
        failWith(native::SyntaxError, {i < tokens.size() ? tokens[i].text : QString()});
    }
    TriggerCatalog catalog(m_session.current());
    for (const QString& name : names) {
        // ALL: every trigger of the table.
        catalog.setDisabled(name.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0 ? QString()
                                                                                          : name,
                            table, !enable);
    }
}

} // namespace estaciones::db::sqlite
