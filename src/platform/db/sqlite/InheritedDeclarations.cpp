#include "platform/db/sqlite/InheritedDeclarations.h"

#include "platform/db/sqlite/PreparedStatement.h"
#include "platform/db/sqlite/dialect/Tokenizer.h"

#include <QSet>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

using tsql::Pieces;
using tsql::TokenKind;

// Where the call that starts at `from` closes, when it is a function whose
// result keeps its (first) argument's type and it closes before `to`.
std::optional<size_t> inheritingCallClose(const Pieces& pieces, size_t from, size_t to) {
    static const QSet<QString> functions = {"min", "max", "sum", "avg", "ifnull"};
    if (from + 1 >= to || pieces[from].kind != TokenKind::Word ||
        !functions.contains(pieces[from].text.toLower()) || !pieces[from + 1].isPunctuation(u"(")) {
        return std::nullopt;
    }
    const size_t close = tsql::closeOf(pieces, from + 1);
    if (close >= to) {
        return std::nullopt;
    }
    return close;
}

// Nothing, "name" or "AS name": what may follow an item's expression.
bool isAliasOnly(const Pieces& pieces, size_t from, size_t to) {
    if (from < to && pieces[from].isWord(u"AS")) {
        ++from;
    }
    return from == to || (to - from == 1 &&
                          (pieces[from].isNameLike() || pieces[from].kind == TokenKind::String));
}

// Words that end a select list at its own level.
bool endsSelectList(const tsql::Piece& piece) {
    static const QSet<QString> words = {"from",  "where",  "group", "having", "order",
                                        "limit", "window", "union", "except", "intersect"};
    return piece.kind == TokenKind::Word && words.contains(piece.text.toLower());
}

} // namespace

InheritedDeclarations::InheritedDeclarations(sqlite3_stmt* statement) : m_statement(statement) {}

void InheritedDeclarations::parse() {
    m_parsed = true;
    const char* sql = sqlite3_sql(m_statement);
    if (!sql) {
        return;
    }
    m_pieces = tsql::toPieces(tsql::tokenize(QString::fromUtf8(sql)));
    // A WITH clause's queries sit in parentheses: the first SELECT at the top
    // level is the one that gives the columns.
    const size_t select = tsql::findTopLevelWord(m_pieces, 0, m_pieces.size(), u"SELECT");
    if (select >= m_pieces.size()) {
        return;
    }
    size_t from = select + 1;
    if (from < m_pieces.size() &&
        (m_pieces[from].isWord(u"DISTINCT") || m_pieces[from].isWord(u"ALL"))) {
        ++from;
    }
    size_t end = from;
    while (end < m_pieces.size() && !endsSelectList(m_pieces[end])) {
        end = m_pieces[end].isPunctuation(u"(") ? tsql::closeOf(m_pieces, end) + 1 : end + 1;
    }
    m_items = tsql::splitTopLevel(m_pieces, from, std::min(end, m_pieces.size()));
    if (static_cast<int>(m_items.size()) != sqlite3_column_count(m_statement)) {
        m_items.clear();
    }
}

std::optional<QString> InheritedDeclarations::of(int index) {
    if (!m_parsed) {
        parse();
    }
    if (index < 0 || static_cast<size_t>(index) >= m_items.size()) {
        return std::nullopt;
    }
    const auto [first, last] = m_items[static_cast<size_t>(index)];
    const std::optional<size_t> close = inheritingCallClose(m_pieces, first, last);
    if (!close || !isAliasOnly(m_pieces, *close + 1, last)) {
        return std::nullopt;
    }
    // Down to the innermost argument: ISNULL(SUM(x), 0) → x.
    size_t argumentFrom = first + 2;
    size_t argumentTo = *close;
    for (;;) {
        const auto arguments = tsql::splitTopLevel(m_pieces, argumentFrom, argumentTo);
        if (arguments.empty()) {
            return std::nullopt;
        }
        std::tie(argumentFrom, argumentTo) = arguments.front();
        if (argumentFrom < argumentTo &&
            (m_pieces[argumentFrom].isWord(u"DISTINCT") || m_pieces[argumentFrom].isWord(u"ALL"))) {
            ++argumentFrom;
        }
        const std::optional<size_t> inner = inheritingCallClose(m_pieces, argumentFrom, argumentTo);
        if (!inner || *inner + 1 != argumentTo) {
            break;
        }
        argumentTo = *inner;
        argumentFrom += 2;
    }
    if (argumentFrom >= argumentTo) {
        return std::nullopt;
    }
    // The same statement with the argument in place of the call: SQLite
    // declares that column when the argument is a plain column.
    const QString probeText = tsql::render(m_pieces, 0, first) + QLatin1Char(' ') +
                              tsql::render(m_pieces, argumentFrom, argumentTo) + QLatin1Char(' ') +
                              tsql::render(m_pieces, *close + 1);
    PreparedStatement probe(sqlite3_db_handle(m_statement), probeText);
    if (!probe.ok() || probe.isEmpty() || sqlite3_column_count(probe.handle()) <= index) {
        return std::nullopt;
    }
    const char* declared = sqlite3_column_decltype(probe.handle(), index);
    if (!declared) {
        return std::nullopt;
    }
    return QString::fromUtf8(declared);
}

} // namespace estaciones::db::sqlite
