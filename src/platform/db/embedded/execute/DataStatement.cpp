#include "platform/db/embedded/execute/DataStatement.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/execute/StatementTokens.h"

namespace estaciones::db::sqlite {

using tsql::TokenKind;
using tsql::Tokens;

namespace {

// The first word of `words` at parenthesis depth 0 from `from`, or the end.
std::size_t topLevelWord(const Tokens& tokens, std::size_t from,
                         std::initializer_list<QStringView> words) {
    int depth = 0;
    for (std::size_t i = from; i < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth != 0) {
            continue;
        }
        for (QStringView word : words) {
            if (tokens[i].isWord(word)) {
                return i;
            }
        }
    }
    return tokens.size();
}

std::size_t afterTop(const Tokens& tokens, std::size_t i) {
    if (upperWord(tokens, i) == QLatin1String("TOP")) {
        ++i;
        if (i < tokens.size() && tokens[i].isPunctuation(u"(")) {
            i = closingParenthesis(tokens, i) + 1;
        } else {
            ++i;
        }
        if (upperWord(tokens, i) == QLatin1String("PERCENT")) {
            ++i;
        }
    }
    return i;
}

// "UPDATE a SET ... FROM t AS a": the table behind alias `name` in the FROM
// clause at `from`, or `name` itself.
QString resolveAlias(const Tokens& tokens, std::size_t from, const QString& name) {
    if (from >= tokens.size()) {
        return name;
    }
    for (std::size_t i = from + 1; i < tokens.size(); ++i) {
        if (!tokens[i].isNameLike() || (i > 0 && tokens[i - 1].isPunctuation(u"."))) {
            continue;
        }
        std::size_t at = i;
        const QString table = readObjectName(tokens, at);
        if (table.isEmpty()) {
            continue;
        }
        if (at < tokens.size() && tokens[at].isWord(u"AS")) {
            ++at;
        }
        if (at < tokens.size() && tokens[at].isName(name) &&
            table.compare(name, Qt::CaseInsensitive) != 0) {
            return table;
        }
    }
    return name;
}

// The column each item of a SET list assigns ("@v = col = x" assigns col).
QStringList assignedColumns(const Tokens& tokens, std::size_t from, std::size_t to) {
    QStringList columns;
    for (const Range& item : splitByCommas(tokens, from, to)) {
        for (std::size_t i = item.from; i + 1 < item.to; ++i) {
            const bool assigns = tokens[i + 1].kind == TokenKind::Punctuation &&
                                 tokens[i + 1].text.endsWith(QLatin1Char('='));
            if (assigns && tokens[i].isNameLike()) {
                columns << tokens[i].value();
                break;
            }
        }
    }
    return columns;
}

// The statement's table: a name, or a table variable (@t).
QString readTarget(const Tokens& tokens, std::size_t& i) {
    if (i < tokens.size() && tokens[i].kind == TokenKind::Variable &&
        !tokens[i].text.startsWith(QLatin1String("@@"))) {
        return tokens[i++].text;
    }
    return readObjectName(tokens, i);
}

// The FROM and WHERE of an UPDATE or DELETE `statement` (without its
// OUTPUT), and the name its target goes by there.
void readFromClause(const Tokens& statement, DataStatement& data) {
    std::size_t i = afterTop(statement, 1);
    if (data.event == DataEvent::Delete && upperWord(statement, i) == QLatin1String("FROM")) {
        ++i;
    }
    const QString written = readTarget(statement, i);
    const std::size_t after =
        data.event == DataEvent::Update ? topLevelWord(statement, i, {u"SET"}) + 1 : i;
    const std::size_t from = topLevelWord(statement, after, {u"FROM"});
    if (from >= statement.size() || written.isEmpty()) {
        return;
    }
    const std::size_t where = topLevelWord(statement, from + 1, {u"WHERE"});
    const std::size_t end = topLevelWord(statement, from + 1, {u"OPTION"});
    data.targetName = written;
    data.fromTables = slice(statement, from + 1, std::min(where, end));
    if (where < end) {
        data.whereCondition = slice(statement, where + 1, end);
    }
}

} // namespace

std::optional<DataStatement> readDataStatement(const Tokens& tokens) {
    DataStatement data;
    const QString verb = upperWord(tokens, 0);
    std::size_t i = afterTop(tokens, 1);
    std::size_t clauseEnd = tokens.size();
    if (verb == QLatin1String("INSERT")) {
        data.event = DataEvent::Insert;
        if (upperWord(tokens, i) == QLatin1String("INTO")) {
            ++i;
        }
        data.table = readTarget(tokens, i);
    } else if (verb == QLatin1String("UPDATE")) {
        data.event = DataEvent::Update;
        const QString target = readTarget(tokens, i);
        const std::size_t set = topLevelWord(tokens, i, {u"SET"});
        const std::size_t setEnd =
            topLevelWord(tokens, set + 1, {u"OUTPUT", u"FROM", u"WHERE", u"OPTION"});
        data.setColumns = assignedColumns(tokens, set + 1, setEnd);
        data.table = resolveAlias(tokens, topLevelWord(tokens, setEnd, {u"FROM"}), target);
    } else if (verb == QLatin1String("DELETE")) {
        data.event = DataEvent::Delete;
        if (upperWord(tokens, i) == QLatin1String("FROM")) {
            ++i;
        }
        const QString target = readTarget(tokens, i);
        data.table = resolveAlias(tokens, topLevelWord(tokens, i, {u"FROM"}), target);
    } else {
        return std::nullopt;
    }
    if (data.table.isEmpty()) {
        return std::nullopt;
    }
    const std::size_t output = topLevelWord(tokens, 1, {u"OUTPUT"});
    if (output < tokens.size()) {
        clauseEnd = topLevelWord(tokens, output + 1,
                                 {u"VALUES", u"SELECT", u"DEFAULT", u"EXEC", u"EXECUTE", u"FROM",
                                  u"WHERE", u"OPTION", u"WITH"});
        // OUTPUT ... INTO ... may be followed by the OUTPUT the caller gets.
        const std::size_t second = topLevelWord(slice(tokens, 0, clauseEnd), output + 1, {u"OUTPUT"});
        const std::size_t firstEnd = std::min(second, clauseEnd);
        const std::size_t into = topLevelWord(slice(tokens, 0, firstEnd), output + 1, {u"INTO"});
        data.output = slice(tokens, output + 1, std::min(into, firstEnd));
        if (into < firstEnd) {
            data.outputInto = slice(tokens, into + 1, firstEnd);
        }
        if (second < clauseEnd) {
            if (data.outputInto.empty()) {
                syntaxErrorNear(tokens, second); // only the last OUTPUT goes to the caller
            }
            data.outputToCaller = slice(tokens, second + 1, clauseEnd);
        }
        data.statement = slice(tokens, 0, output);
        const Tokens rest = slice(tokens, clauseEnd, tokens.size());
        data.statement.insert(data.statement.end(), rest.begin(), rest.end());
    } else {
        data.statement = tokens;
    }
    if (data.event != DataEvent::Insert) {
        readFromClause(data.statement, data);
    }
    return data;
}

} // namespace estaciones::db::sqlite
