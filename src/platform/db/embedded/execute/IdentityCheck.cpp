#include "platform/db/embedded/execute/BatchExecutor.h"

#include "platform/core/ErrorHandling.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/functions/ObjectNameParts.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/translate/IdentityColumns.h"

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

QString shown(const Variant& value) {
    return value.isNull() ? QStringLiteral("NULL") : QString::number(value.toInt64());
}

} // namespace

// DBCC CHECKIDENT (table [, NORESEED | RESEED [, value]]) [WITH NO_INFOMSGS]:
// reports the current identity value and the column's largest; RESEED sets
// the current value (to the largest when the current one is below it and no
// value is given). The next row takes the new value itself when the table
// has had no row since it was made or truncated, the value plus the
// increment otherwise.
void BatchExecutor::dbcc(const Tokens& tokens, VariableScope& scope) {
    if (upperWord(tokens, 1) != QLatin1String("CHECKIDENT")) {
        failWith(native::NotSupported, {QStringLiteral("DBCC ") + upperWord(tokens, 1)});
    }
    if (tokens.size() < 4 || !tokens[2].isPunctuation(u"(")) {
        syntaxErrorNear(tokens, 2);
    }
    const std::size_t close = closingParenthesis(tokens, 2);
    const std::vector<Range> arguments = splitByCommas(tokens, 3, close);
    const Tokens nameTokens = slice(tokens, arguments[0].from, arguments[0].to);
    const QString name = nameTokens.size() == 1 && nameTokens[0].isNameLike()
                             ? nameTokens[0].value()
                             : evaluate(nameTokens, scope).toString();
    // Another schema's name ('ventas.t') stays whole: no table has it.
    const QString own = tsql::catalogObjectName(name);
    const QString table = own.isEmpty() ? name : own;
    const QString mode = arguments.size() > 1 ? upperWord(tokens, arguments[1].from) : QString();
    if (!mode.isEmpty() && mode != QLatin1String("RESEED") && mode != QLatin1String("NORESEED")) {
        syntaxErrorNear(tokens, arguments[1].from);
    }
    const bool quiet = upperWord(tokens, close + 1) == QLatin1String("WITH") &&
                       upperWord(tokens, close + 2) == QLatin1String("NO_INFOMSGS");
    SqliteDatabase& database = m_session.current();
    if (!database.hasTable(table)) {
        failWith(native::ObjectMissingForDbcc, {table});
    }
    const QString store = tsql::identityStoreOf(table);
    const QString row = QStringLiteral(" FROM %1 WHERE table_name = %2")
                            .arg(store, literalOf(Variant(table)));
    database.run(tsql::identityTableDefinition(table));
    const Variant column = m_runner.scalar(QStringLiteral("SELECT column_name") + row);
    if (column.isNull()) {
        failWith(native::NoIdentityColumn, {table});
    }
    const Variant used = m_runner.scalar(QStringLiteral("SELECT used") + row);
    const Variant current = used.toInt64() != 0
                                ? m_runner.scalar(QStringLiteral("SELECT current") + row)
                                : Variant::null();
    const Variant step = m_runner.scalar(QStringLiteral("SELECT increment") + row);
    const Variant largest = m_runner.scalar(
        QStringLiteral("SELECT %1(%2) FROM %3")
            .arg(step.toInt64() < 0 ? QStringLiteral("min") : QStringLiteral("max"),
                 tsql::quoteName(column.toString()), tsql::quoteName(table)));
    std::optional<Variant> reseed;
    if (mode == QLatin1String("RESEED") && arguments.size() > 2) {
        reseed = evaluate(slice(tokens, arguments[2].from, arguments[2].to), scope);
    } else if (mode != QLatin1String("NORESEED") && !largest.isNull() &&
               (current.isNull() ||
                (largest.toInt64() - current.toInt64()) * step.toInt64() > 0)) {
        reseed = largest;
    }
    if (reseed) {
        const qint64 value = reseed->toInt64();
        database.run(QStringLiteral("UPDATE %1 SET current = %2 WHERE table_name = %3")
                         .arg(store)
                         .arg(value)
                         .arg(literalOf(Variant(table))));
        ignoringErrors([&] {
            database.run(tsql::schema::counterKeyFollowsStore(table).join(QStringLiteral(";\n")));
        });
    }
    if (quiet) {
        return;
    }
    ProviderError checked;
    checked.nativeError = 0;
    checked.severity = 0;
    checked.description = QStringLiteral("Checking identity information: current identity value "
                                         "'%1', current column value '%2'.")
                              .arg(shown(current), shown(largest));
    ProviderError completed = checked;
    completed.description = QStringLiteral(
        "DBCC execution completed. If DBCC printed error messages, contact your system "
        "administrator.");
    noteMessages({checked, completed});
}

} // namespace estaciones::db::sqlite
