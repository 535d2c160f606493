#include "platform/db/embedded/bind/StatementExpressions.h"

#include "platform/db/embedded/bind/QueryScopes.h"
#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/parse/Tokenizer.h"

#include <QSet>

#include <sqlite3.h>

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Pieces;
using tsql::TokenKind;
using Range = std::pair<size_t, size_t>;

namespace {

// The piece after a '(' or a CASE ... END that starts at `i`, else i + 1.
size_t skipGroup(const Pieces& pieces, size_t i) {
    if (pieces[i].isPunctuation(u"(")) {
        return tsql::closeOf(pieces, i) + 1;
    }
    if (pieces[i].isWord(u"CASE")) {
        return tsql::endOfCase(pieces, i) + 1;
    }
    return i + 1;
}

bool isSubquery(const Pieces& pieces, size_t open) {
    return open + 1 < pieces.size() && pieces[open].isPunctuation(u"(") &&
           (pieces[open + 1].isWord(u"SELECT") || pieces[open + 1].isWord(u"WITH"));
}

// Whether [from, to) computes something a double could get wrong: a binary
// + - * (the translator leaves '*' as it is and writes the others as calls),
// a division, a total, or text made of a number whose type gives its digits
// (CONCAT, CAST to text). Subqueries do not count: their own typing sees them.
bool hasArithmetic(const Pieces& pieces, size_t from, size_t to) {
    static const QSet<QString> calls = {"tsql_add",    "tsql_subtract",  "tsql_divide",
                                        "tsql_fractional_divide", "sum", "avg",
                                        "tsql_concat", "tsql_concat_ws", "tsql_convert"};
    for (size_t i = from; i < to; ++i) {
        const tsql::Piece& piece = pieces[i];
        if (isSubquery(pieces, i)) {
            i = tsql::closeOf(pieces, i);
            continue;
        }
        if (piece.kind == TokenKind::Word && calls.contains(piece.text.toLower()) &&
            i + 1 < to && pieces[i + 1].isPunctuation(u"(")) {
            return true;
        }
        const bool operatorLike = piece.isPunctuation(u"*") || piece.isPunctuation(u"+") ||
                                  piece.isPunctuation(u"-");
        if (operatorLike && i > from) {
            const tsql::Piece& before = pieces[i - 1];
            const bool afterOperand = before.isPunctuation(u")") ||
                                      (before.kind != TokenKind::Punctuation &&
                                       !tsql::isReservedWord(before));
            if (afterOperand) {
                return true;
            }
        }
    }
    return false;
}

void keepOperand(const Pieces& pieces, size_t from, size_t to, std::vector<Range>& operands) {
    // The translator gives a computed operand the text collation
    // ("tsql_add(m, n) COLLATE tsql_text = 0.3"); the value is what comes before it.
    if (to - from > 2 && pieces[to - 2].isWord(u"COLLATE")) {
        to -= 2;
    }
    while (from + 1 < to && pieces[from].isPunctuation(u"(") && !isSubquery(pieces, from) &&
           tsql::closeOf(pieces, from) == to - 1) {
        ++from;
        --to;
    }
    if (from < to && hasArithmetic(pieces, from, to)) {
        operands.emplace_back(from, to);
    }
}

// One predicate: a comparison, BETWEEN, IN, LIKE or IS [NOT] NULL.
void predicateOperands(const Pieces& pieces, size_t from, size_t to,
                       std::vector<Range>& operands) {
    for (size_t i = from; i < to; i = skipGroup(pieces, i)) {
        const tsql::Piece& piece = pieces[i];
        const bool negated = i > from && pieces[i - 1].isWord(u"NOT");
        const size_t left = negated ? i - 1 : i;
        if (isComparison(piece) || piece.isWord(u"LIKE")) {
            keepOperand(pieces, from, left, operands);
            size_t right = i + 1;
            const size_t escape = tsql::findTopLevelWord(pieces, right, to, u"ESCAPE");
            keepOperand(pieces, right, escape, operands);
            return;
        }
        if (piece.isWord(u"BETWEEN")) {
            keepOperand(pieces, from, left, operands);
            const size_t conjunction = tsql::findTopLevelWord(pieces, i + 1, to, u"AND");
            keepOperand(pieces, i + 1, conjunction, operands);
            keepOperand(pieces, std::min(conjunction + 1, to), to, operands);
            return;
        }
        if (piece.isWord(u"IN")) {
            keepOperand(pieces, from, left, operands);
            if (i + 1 < to && pieces[i + 1].isPunctuation(u"(") && !isSubquery(pieces, i + 1)) {
                const size_t close = tsql::closeOf(pieces, i + 1);
                for (const auto& [first, last] : tsql::splitTopLevel(pieces, i + 2, close)) {
                    keepOperand(pieces, first, last, operands);
                }
            }
            return;
        }
        if (piece.isWord(u"IS")) {
            keepOperand(pieces, from, i, operands);
            return;
        }
    }
}

void conditionOperands(const Pieces& pieces, size_t from, size_t to,
                       std::vector<Range>& operands) {
    // The conjuncts at this level; the AND of BETWEEN x AND y is none.
    std::vector<Range> parts;
    size_t start = from;
    bool between = false;
    for (size_t i = from; i < to; i = skipGroup(pieces, i)) {
        if (pieces[i].isWord(u"BETWEEN")) {
            between = true;
        } else if (pieces[i].isWord(u"AND") && between) {
            between = false;
        } else if (pieces[i].isWord(u"AND") || pieces[i].isWord(u"OR")) {
            parts.emplace_back(start, i);
            start = i + 1;
        }
    }
    parts.emplace_back(start, to);
    for (auto [first, last] : parts) {
        while (first < last && pieces[first].isWord(u"NOT")) {
            ++first;
        }
        if (first >= last || pieces[first].isWord(u"EXISTS")) {
            continue;
        }
        if (pieces[first].isPunctuation(u"(") && !isSubquery(pieces, first) &&
            tsql::closeOf(pieces, first) == last - 1) {
            conditionOperands(pieces, first + 1, last - 1, operands);
            continue;
        }
        // coalesce((condition), 1): how a constraint's check is written.
        if (last - first > 4 && pieces[first].isWord(u"coalesce") &&
            pieces[first + 1].isPunctuation(u"(") && pieces[first + 2].isPunctuation(u"(") &&
            tsql::closeOf(pieces, first + 1) == last - 1) {
            const size_t close = tsql::closeOf(pieces, first + 2);
            conditionOperands(pieces, first + 3, std::min(close, last), operands);
            continue;
        }
        predicateOperands(pieces, first, last, operands);
    }
}

// The first word at depth 0 in [from, to) among `words`, or `to`.
size_t firstTopLevelOf(const Pieces& pieces, size_t from, size_t to,
                       std::initializer_list<QStringView> words) {
    for (size_t i = from; i < to; i = skipGroup(pieces, i)) {
        for (QStringView word : words) {
            if (pieces[i].isWord(word)) {
                return i;
            }
        }
    }
    return to;
}

// One probe: `expressions` of the statement as the items of
// "<head> e1, e2, ... <tail>", which QueryTyping types and rewrites.
struct Probe {
    QString head; // up to and with the SELECT
    QString tail; // from the FROM on, or empty
    std::vector<Range> expressions;
};

// The probe's items as QueryTyping writes them; empty when it cannot.
std::vector<Pieces> typedItems(sqlite3* db, const Pieces& pieces, const Probe& probe) {
    QStringList items;
    for (const auto& [from, to] : probe.expressions) {
        items << tsql::render(pieces, from, to);
    }
    QString text = probe.head + QLatin1Char(' ') + items.join(QStringLiteral(", "));
    if (!probe.tail.isEmpty()) {
        text += QLatin1Char(' ') + probe.tail;
    }
    QueryTyping typing(db, text, 0);
    return rewrittenItems(typing, probe.expressions.size());
}

} // namespace

std::vector<Pieces> rewrittenItems(QueryTyping& typing, size_t count) {
    if (!typing.prepared()) {
        return {};
    }
    const QString rewritten = typing.withFractionalDivisions();
    if (rewritten.isEmpty()) {
        return {};
    }
    const Pieces written = tsql::toPieces(tsql::tokenize(rewritten));
    const size_t select = tsql::findTopLevelWord(written, 0, written.size(), u"SELECT");
    if (select >= written.size()) {
        return {};
    }
    const size_t end = tsql::findTopLevelWord(written, select + 1, written.size(), u"FROM");
    const auto ranges = tsql::splitTopLevel(written, select + 1, end);
    if (ranges.size() != count) {
        return {};
    }
    std::vector<Pieces> result;
    for (const auto& [from, to] : ranges) {
        result.emplace_back(written.begin() + static_cast<std::ptrdiff_t>(from),
                            written.begin() + static_cast<std::ptrdiff_t>(to));
    }
    return result;
}

namespace {

class StatementTyping {
public:
    StatementTyping(sqlite3* db, const QString& statement)
        : m_db(db), m_pieces(tsql::toPieces(tsql::tokenize(statement))) {}

    QString typed() {
        if (m_pieces.empty()) {
            return {};
        }
        const tsql::Piece& first = m_pieces.front();
        if (first.isWord(u"SELECT") || first.isWord(u"WITH")) {
            query(0, m_pieces.size());
        } else if (first.isWord(u"INSERT")) {
            insert();
        } else if (first.isWord(u"UPDATE")) {
            update();
        } else if (first.isWord(u"DELETE")) {
            remove();
        } else if (first.isWord(u"CREATE") && createsViewOrTable()) {
            const size_t as = tsql::findTopLevelWord(m_pieces, 1, m_pieces.size(), u"AS");
            if (as + 1 < m_pieces.size()) {
                query(as + 1, m_pieces.size());
            } else {
                defaults();
            }
        }
        subqueries();
        return apply();
    }

private:
    // CREATE [TEMP] VIEW or TABLE ... AS a query.
    bool createsViewOrTable() const {
        const size_t kind = m_pieces.size() > 2 && (m_pieces[1].isWord(u"TEMP") ||
                                                     m_pieces[1].isWord(u"TEMPORARY"))
                                ? 2
                                : 1;
        return kind < m_pieces.size() &&
               (m_pieces[kind].isWord(u"VIEW") || m_pieces[kind].isWord(u"TABLE"));
    }

    // The WHERE and HAVING of each query of the one that starts at `start`,
    // and their select lists too in a UNION, EXCEPT or INTERSECT and in a
    // subquery (the statement's own query's list is QueryTyping's, but it
    // types a compound's by precedence only).
    void query(size_t start, size_t end, bool nested = false) {
        const size_t select = tsql::findTopLevelWord(m_pieces, start, end, u"SELECT");
        if (select >= end) {
            return;
        }
        const QString head = tsql::render(m_pieces, start, select + 1);
        std::vector<Range> branches;
        size_t branchStart = select;
        size_t i = select;
        for (; i < end; i = skipGroup(m_pieces, i)) {
            const tsql::Piece& piece = m_pieces[i];
            if (piece.isWord(u"UNION") || piece.isWord(u"EXCEPT") || piece.isWord(u"INTERSECT")) {
                branches.emplace_back(branchStart, i);
                branchStart = i + 1 < end && m_pieces[i + 1].isWord(u"ALL") ? i + 2 : i + 1;
            } else if (piece.isWord(u"ORDER") || piece.isWord(u"LIMIT") ||
                       piece.isWord(u"WINDOW")) {
                break;
            }
        }
        branches.emplace_back(branchStart, i);
        for (const auto& [first, last] : branches) {
            if (first < last && m_pieces[first].isWord(u"SELECT")) {
                queryClauses(first, last, head, nested || branches.size() > 1);
            }
        }
        // A compound's ORDER BY names its result columns, which no probe
        // over one query's tables has.
        if (branches.size() == 1 && i < end && m_pieces[i].isWord(u"ORDER")) {
            orderBy(branchStart, i, end, head);
        }
    }

    // ORDER BY e [ASC | DESC], ...: each e over the query's tables, grouped
    // as the query groups them.
    void orderBy(size_t select, size_t order, size_t end, const QString& head) {
        const size_t from = firstTopLevelOf(m_pieces, select + 1, order, {u"FROM"});
        if (from >= order || order + 1 >= end || !m_pieces[order + 1].isWord(u"BY")) {
            return;
        }
        const size_t listEnd = firstTopLevelOf(m_pieces, order + 2, end, {u"LIMIT", u"OFFSET"});
        Probe keys{head, tsql::render(m_pieces, from, order), {}};
        for (auto [first, last] : tsql::splitTopLevel(m_pieces, order + 2, listEnd)) {
            if (last > first &&
                (m_pieces[last - 1].isWord(u"ASC") || m_pieces[last - 1].isWord(u"DESC"))) {
                --last;
            }
            keepOperand(m_pieces, first, last, keys.expressions);
        }
        add(std::move(keys));
    }

    void queryClauses(size_t select, size_t end, const QString& head, bool typeList) {
        const size_t listEnd =
            firstTopLevelOf(m_pieces, select + 1, end, {u"FROM", u"WHERE", u"GROUP", u"HAVING"});
        const bool hasFrom = listEnd < end && m_pieces[listEnd].isWord(u"FROM");
        const size_t from = hasFrom ? listEnd : end;
        if (typeList) {
            size_t listStart = select + 1;
            if (listStart < listEnd &&
                (m_pieces[listStart].isWord(u"DISTINCT") || m_pieces[listStart].isWord(u"ALL"))) {
                ++listStart;
            }
            Probe items{head, tsql::render(m_pieces, listEnd, end), {}};
            for (const auto& [first, last] : tsql::splitTopLevel(m_pieces, listStart, listEnd)) {
                const size_t expression = expressionEnd(m_pieces, first, last);
                if (hasArithmetic(m_pieces, first, expression)) {
                    items.expressions.emplace_back(first, expression);
                }
            }
            add(std::move(items));
        }
        const size_t where = tsql::findTopLevelWord(m_pieces, from, end, u"WHERE");
        const size_t group = tsql::findTopLevelWord(m_pieces, from, end, u"GROUP");
        const size_t having = tsql::findTopLevelWord(m_pieces, from, end, u"HAVING");
        if (hasFrom) {
            const size_t sourcesEnd = std::min({where, group, having});
            joinConditions(from, sourcesEnd, head, tsql::render(m_pieces, from, sourcesEnd));
        }
        if (where < end) {
            const size_t whereEnd = firstTopLevelOf(m_pieces, where + 1, end, {u"GROUP", u"HAVING"});
            condition(where + 1, whereEnd, head, tsql::render(m_pieces, from, where));
        }
        if (group + 1 < end && m_pieces[group + 1].isWord(u"BY")) {
            Probe keys{head, tsql::render(m_pieces, from, group), {}};
            for (const auto& [first, last] :
                 tsql::splitTopLevel(m_pieces, group + 2, std::min(having, end))) {
                keepOperand(m_pieces, first, last, keys.expressions);
            }
            add(std::move(keys));
        }
        if (having < end) {
            condition(having + 1, end, head, tsql::render(m_pieces, from, having));
        }
    }

    // The ON conditions of the joins in the sources [from, to), each typed
    // over all of the statement's `sources`.
    void joinConditions(size_t from, size_t to, const QString& head, const QString& sources) {
        for (size_t on = from + 1; on < to; on = skipGroup(m_pieces, on)) {
            if (!m_pieces[on].isWord(u"ON")) {
                continue;
            }
            size_t conditionEnd = on + 1;
            while (conditionEnd < to && !m_pieces[conditionEnd].isPunctuation(u",") &&
                   !startsJoin(m_pieces[conditionEnd])) {
                conditionEnd = skipGroup(m_pieces, conditionEnd);
            }
            condition(on + 1, std::min(conditionEnd, to), head, sources);
        }
    }

    static bool startsJoin(const tsql::Piece& piece) {
        for (QStringView word : {u"JOIN", u"INNER", u"LEFT", u"RIGHT", u"FULL", u"CROSS",
                                 u"NATURAL", u"ON"}) {
            if (piece.isWord(word)) {
                return true;
            }
        }
        return false;
    }

    void insert() {
        const size_t end = m_pieces.size();
        const size_t values = tsql::findTopLevelWord(m_pieces, 1, end, u"VALUES");
        const size_t select = firstTopLevelOf(m_pieces, 1, end, {u"SELECT", u"WITH"});
        if (select < values) {
            query(select, end);
            return;
        }
        // VALUES (a, b), (c, d): each row a probe of its own, over no table.
        for (size_t i = values + 1; i < end && m_pieces[i].isPunctuation(u"(");) {
            const size_t close = tsql::closeOf(m_pieces, i);
            if (close >= end) {
                return;
            }
            Probe row{QStringLiteral("SELECT"), {}, {}};
            for (const auto& [first, last] : tsql::splitTopLevel(m_pieces, i + 1, close)) {
                if (hasArithmetic(m_pieces, first, last)) {
                    row.expressions.emplace_back(first, last);
                }
            }
            add(std::move(row));
            i = close + 1 < end && m_pieces[close + 1].isPunctuation(u",") ? close + 2 : end;
        }
    }

    // UPDATE t [AS a] SET c = e, ... [FROM ...] [WHERE ...]: the values and
    // the condition, over the table and the FROM clause's sources.
    void update() {
        const size_t end = m_pieces.size();
        const size_t set = tsql::findTopLevelWord(m_pieces, 1, end, u"SET");
        if (set >= end) {
            return;
        }
        const size_t from = tsql::findTopLevelWord(m_pieces, set + 1, end, u"FROM");
        const size_t where = tsql::findTopLevelWord(m_pieces, set + 1, end, u"WHERE");
        const size_t tailEnd = firstTopLevelOf(m_pieces, set + 1, end,
                                               {u"ORDER", u"LIMIT", u"RETURNING"});
        QString sources = QStringLiteral("FROM ") + tsql::render(m_pieces, 1, set);
        if (from < end) {
            sources += QStringLiteral(", ") + tsql::render(m_pieces, from + 1, std::min(where, tailEnd));
        }
        Probe values{QStringLiteral("SELECT"), sources, {}};
        for (const auto& [first, last] :
             tsql::splitTopLevel(m_pieces, set + 1, std::min({from, where, tailEnd}))) {
            size_t equals = first;
            while (equals < last && !m_pieces[equals].isPunctuation(u"=")) {
                ++equals;
            }
            if (equals + 1 < last && hasArithmetic(m_pieces, equals + 1, last)) {
                values.expressions.emplace_back(equals + 1, last);
            }
        }
        add(std::move(values));
        if (from < end) {
            joinConditions(from, std::min(where, tailEnd), QStringLiteral("SELECT"), sources);
        }
        if (where < end) {
            condition(where + 1, tailEnd, QStringLiteral("SELECT"), sources);
        }
    }

    // DELETE FROM t [AS a] WHERE ...
    void remove() {
        const size_t end = m_pieces.size();
        const size_t where = tsql::findTopLevelWord(m_pieces, 1, end, u"WHERE");
        if (where >= end || !m_pieces[1].isWord(u"FROM")) {
            return;
        }
        const size_t tailEnd =
            firstTopLevelOf(m_pieces, where + 1, end, {u"ORDER", u"LIMIT", u"RETURNING"});
        condition(where + 1, tailEnd, QStringLiteral("SELECT"), tsql::render(m_pieces, 1, where));
    }

    void condition(size_t from, size_t to, const QString& head, const QString& tail) {
        Probe probe{head, tail, {}};
        conditionOperands(m_pieces, from, to, probe.expressions);
        add(std::move(probe));
    }

    // A new table's DEFAULT (expression)s, which name no column: each a
    // probe over no table.
    void defaults() {
        for (size_t i = 0; i + 1 < m_pieces.size(); ++i) {
            if (!m_pieces[i].isWord(u"DEFAULT") || !m_pieces[i + 1].isPunctuation(u"(")) {
                continue;
            }
            const size_t close = tsql::closeOf(m_pieces, i + 1);
            if (close < m_pieces.size() && hasArithmetic(m_pieces, i + 2, close)) {
                add(Probe{QStringLiteral("SELECT"), {}, {{i + 2, close}}});
            }
        }
    }

    // The queries in parentheses anywhere in the statement, each typed on
    // its own (one that names the outer query's columns does not compile
    // alone, and stays as it is): an EXISTS, a scalar subquery, the checks
    // of constraints.
    void subqueries() {
        std::optional<QueryScopes> scopes;
        for (size_t i = 0; i + 1 < m_pieces.size(); ++i) {
            if (isSubquery(m_pieces, i)) {
                if (!scopes) {
                    scopes.emplace(m_pieces);
                }
                m_outerSources = outerSources(*scopes, i + 1);
                const size_t inner = scopes->scopeAt(i + 1);
                m_innerSources = inner == QueryScope::none ? std::vector<QuerySource>{}
                                                           : scopes->scope(inner).sources;
                query(i + 1, std::min(tsql::closeOf(m_pieces, i), m_pieces.size()), true);
                m_outerSources.clear();
                m_innerSources.clear();
            }
        }
    }

    // The FROM clauses of the blocks around the one at piece `at`, for the
    // probes of a correlated subquery ("a, b JOIN c ON ..."). A derived
    // table reads the blocks around the one whose FROM holds it, not that
    // one's other sources (nor itself).
    static QString outerSources(const QueryScopes& scopes, size_t at) {
        QStringList sources;
        const size_t scope = scopes.scopeAt(at);
        for (size_t s = scope == QueryScope::none ? scope : scopes.scope(scope).parent;
             s != QueryScope::none; s = scopes.scope(s).parent) {
            const std::vector<QuerySource>& own = scopes.scope(s).sources;
            const bool holdsIt = std::any_of(own.begin(), own.end(), [&](const QuerySource& source) {
                return source.derived && source.queryFrom <= at && at < source.queryTo;
            });
            if (!holdsIt && !scopes.scope(s).sourcesText.isEmpty()) {
                sources << scopes.scope(s).sourcesText;
            }
        }
        return sources.join(QStringLiteral(", "));
    }

    // A probe of a correlated subquery names the outer tables' columns: it
    // is typed again over those tables too (listed first, so that the
    // subquery's own clauses follow its FROM as they were).
    std::vector<Pieces> typedProbe(const Probe& probe) const {
        std::vector<Pieces> items = typedItems(m_db, m_pieces, probe);
        const bool hasFrom = probe.tail.startsWith(QLatin1String("FROM "), Qt::CaseInsensitive);
        if (!items.empty() || m_outerSources.isEmpty() || !hasFrom) {
            return items;
        }
        // Over the outer tables too, a name the subquery's own tables have is
        // ambiguous where the server reads it in the subquery: it is written
        // with its table's name first.
        Probe correlated = probe;
        correlated.tail = QStringLiteral("FROM ") + m_outerSources + QStringLiteral(", ") +
                          tsql::render(qualifiedByInnerSources(tsql::piecesOf(probe.tail.mid(5))));
        return typedItems(m_db, qualifiedByInnerSources(m_pieces), correlated);
    }

    // `pieces` with each unqualified name that is a column of exactly one of
    // the subquery's own tables written as that table's name or alias, dot,
    // the name; the pieces stay where they were.
    Pieces qualifiedByInnerSources(Pieces pieces) const {
        for (size_t i = 0; i < pieces.size(); ++i) {
            tsql::Piece& piece = pieces[i];
            if (!piece.isNameLike() || tsql::isReservedWord(piece) ||
                (i > 0 && pieces[i - 1].isPunctuation(u".")) ||
                (i + 1 < pieces.size() && (pieces[i + 1].isPunctuation(u".") ||
                                           pieces[i + 1].isPunctuation(u"(")))) {
                continue;
            }
            const QString name = piece.value();
            const QuerySource* owner = nullptr;
            int owners = 0;
            for (const QuerySource& source : m_innerSources) {
                if (source.isNamed(name) ||
                    source.name.compare(name, Qt::CaseInsensitive) == 0) {
                    owners = 2; // a table's name or alias, not a column
                    break;
                }
                if (!source.derived && !source.name.isEmpty() &&
                    hasColumn(source, name)) {
                    owner = &source;
                    ++owners;
                }
            }
            if (owners == 1) {
                const QString& qualifier = owner->alias.isEmpty() ? owner->name : owner->alias;
                piece.text = tsql::quoteName(qualifier) + QLatin1Char('.') + piece.text;
            }
        }
        return pieces;
    }

    bool hasColumn(const QuerySource& source, const QString& column) const {
        const QByteArray schema = source.schema.toUtf8();
        return sqlite3_table_column_metadata(
                   m_db, source.schema.isEmpty() ? nullptr : schema.constData(),
                   source.name.toUtf8().constData(), column.toUtf8().constData(), nullptr,
                   nullptr, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    // Expressions already typed as part of a larger one are left to it.
    void add(Probe probe) {
        const auto overlaps = [&](const Range& range) {
            return std::any_of(m_replacements.begin(), m_replacements.end(), [&](const auto& r) {
                return range.first < r.first.second && r.first.first < range.second;
            });
        };
        probe.expressions.erase(
            std::remove_if(probe.expressions.begin(), probe.expressions.end(), overlaps),
            probe.expressions.end());
        if (probe.expressions.empty()) {
            return;
        }
        const std::vector<Pieces> items = typedProbe(probe);
        for (size_t k = 0; k < items.size(); ++k) {
            m_replacements.push_back({probe.expressions[k], items[k]});
        }
    }

    // Written back from the last to the first, so that the ranges before
    // stay where they were.
    QString apply() {
        if (m_replacements.empty()) {
            return {};
        }
        std::sort(m_replacements.begin(), m_replacements.end(),
                  [](const auto& a, const auto& b) { return a.first.first > b.first.first; });
        for (auto& [range, replacement] : m_replacements) {
            tsql::replaceRange(m_pieces, range.first, range.second, std::move(replacement));
        }
        return tsql::render(m_pieces);
    }

    sqlite3* m_db;
    Pieces m_pieces;
    std::vector<std::pair<Range, Pieces>> m_replacements;
    // While a subquery is typed: the FROM clauses of the queries around it,
    // and its own tables.
    QString m_outerSources;
    std::vector<QuerySource> m_innerSources;
};

} // namespace

std::vector<Range> arithmeticOperands(const Pieces& pieces, size_t from, size_t to) {
    std::vector<Range> operands;
    conditionOperands(pieces, from, std::min(to, pieces.size()), operands);
    return operands;
}

std::optional<Range> arithmeticOperand(const Pieces& pieces, size_t from, size_t to) {
    std::vector<Range> operands;
    keepOperand(pieces, from, std::min(to, pieces.size()), operands);
    return operands.empty() ? std::nullopt : std::optional<Range>(operands.front());
}

QString withTypedExpressions(sqlite3* db, const QString& statement) {
    const QString typed = StatementTyping(db, statement).typed();
    return typed.isEmpty() ? statement : typed;
}

} // namespace estaciones::db::sqlite
