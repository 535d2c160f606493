#include "platform/db/embedded/execute/ChangeRowsSource.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"

namespace estaciones::db::sqlite {

using tsql::TokenKind;
using tsql::Tokens;

namespace {

bool isChangeVerb(const QString& word) {
    return word == QLatin1String("MERGE") || word == QLatin1String("INSERT") ||
           word == QLatin1String("UPDATE") || word == QLatin1String("DELETE");
}

// The first of `words` at depth 0 of tokens[from, to), or `to`.
std::size_t wordAtTop(const Tokens& tokens, std::size_t from, std::size_t to,
                      std::initializer_list<QStringView> words) {
    int depth = 0;
    for (std::size_t i = from; i < to; ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        if (depth == 0) {
            for (QStringView word : words) {
                if (tokens[i].isWord(word)) {
                    return i;
                }
            }
        }
    }
    return to;
}

// The name an OUTPUT item gives its column: its alias, else the column it names.
QString itemName(const Tokens& tokens, const Range& item) {
    if (item.to == item.from) {
        return {};
    }
    const tsql::Token& last = tokens[item.to - 1];
    const bool named = last.kind == TokenKind::Word || last.kind == TokenKind::QuotedName ||
                       last.kind == TokenKind::String;
    if (!named || last.isWord(u"NULL") || (item.to - item.from == 1 && last.text.startsWith('$'))) {
        return {};
    }
    return last.value();
}

} // namespace

std::optional<ChangeRowsSource> readChangeRowsSource(const Tokens& tokens) {
    if (upperWord(tokens, 0) != QLatin1String("INSERT")) {
        return std::nullopt;
    }
    const std::size_t select = wordAtTop(tokens, 1, tokens.size(), {u"SELECT"});
    const std::size_t from = wordAtTop(tokens, select, tokens.size(), {u"FROM"});
    if (from + 2 >= tokens.size() || !tokens[from + 1].isPunctuation(u"(") ||
        !isChangeVerb(upperWord(tokens, from + 2))) {
        return std::nullopt;
    }
    ChangeRowsSource source;
    source.open = from + 1;
    const std::size_t close = closingParenthesis(tokens, source.open);
    if (close >= tokens.size()) {
        syntaxErrorNear(tokens, source.open);
    }
    source.change = slice(tokens, source.open + 1, close);
    std::size_t i = close + 1;
    if (upperWord(tokens, i) == QLatin1String("AS")) {
        ++i;
    }
    if (i >= tokens.size() || !tokens[i].isNameLike()) {
        syntaxErrorNear(tokens, i); // a derived table needs its name
    }
    source.alias = tokens[i++].value();
    if (i < tokens.size() && tokens[i].isPunctuation(u"(")) {
        const std::size_t listClose = closingParenthesis(tokens, i);
        for (const Range& column : splitByCommas(tokens, i + 1, listClose)) {
            source.columns << tokens[column.from].value();
        }
        i = listClose + 1;
    }
    source.end = i;
    // The change's own OUTPUT list, which must go to the reader, not INTO a table.
    const Tokens& change = source.change;
    const std::size_t output = wordAtTop(change, 1, change.size(), {u"OUTPUT"});
    if (output >= change.size()) {
        syntaxErrorNear(tokens, close);
    }
    source.outputListEnd =
        wordAtTop(change, output + 1, change.size(),
                  {u"INTO", u"VALUES", u"SELECT", u"DEFAULT", u"EXEC", u"EXECUTE", u"FROM",
                   u"WHERE", u"OPTION", u"WITH", u"OUTPUT"});
    if (source.outputListEnd < change.size() && change[source.outputListEnd].isWord(u"INTO")) {
        syntaxErrorNear(change, source.outputListEnd);
    }
    const std::vector<Range> items = splitByCommas(change, output + 1, source.outputListEnd);
    if (source.columns.isEmpty()) {
        for (const Range& item : items) {
            const QString name = itemName(change, item);
            if (name.isEmpty()) {
                failWith(native::DerivedColumnWithoutName,
                         {QString::number(source.columns.size() + 1), source.alias});
            }
            source.columns << name;
        }
    } else if (static_cast<std::size_t>(source.columns.size()) != items.size()) {
        failWith(static_cast<std::size_t>(source.columns.size()) < items.size()
                     ? native::DerivedTableMoreColumns
                     : native::DerivedTableFewerColumns,
                 {source.alias});
    }
    return source;
}

} // namespace estaciones::db::sqlite
