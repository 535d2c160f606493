#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/translate/Rewrites.h"

#include <QSet>

#include <algorithm>

namespace estaciones::db::tsql::rewrite {

namespace {

[[noreturn]] void refuseGrouping(const QString& what) {
    sqlite::failWith(sqlite::native::NotSupported, {what});
}

// A grouping expression as its pieces; a column reference (x or t.x) also
// matches the other way of writing it.
struct GroupingExpression {
    Pieces pieces;
    QString key; // lower-case text, to tell expressions apart
    bool isColumn() const {
        return (pieces.size() == 1 && pieces[0].isNameLike()) ||
               (pieces.size() == 3 && pieces[1].isPunctuation(u".") && pieces[2].isNameLike());
    }
    QString columnName() const { return pieces.back().value(); }
};

using GroupingSet = std::vector<int>; // indexes into the expressions

struct GroupingPlan {
    std::vector<GroupingExpression> expressions;
    std::vector<GroupingSet> sets;
};

int expressionIndex(GroupingPlan& plan, const Pieces& pieces, size_t from, size_t to) {
    GroupingExpression e{slice(pieces, from, to), render(pieces, from, to).trimmed().toLower()};
    for (size_t i = 0; i < plan.expressions.size(); ++i)
        if (plan.expressions[i].key == e.key)
            return static_cast<int>(i);
    plan.expressions.push_back(std::move(e));
    return static_cast<int>(plan.expressions.size() - 1);
}

// One element of ROLLUP or CUBE: an expression, or (a, b) taken together.
GroupingSet element(GroupingPlan& plan, const Pieces& pieces, size_t from, size_t to) {
    GroupingSet set;
    if (pieces[from].isPunctuation(u"(") && closeOf(pieces, from) == to - 1) {
        for (const auto& [a, b] : splitTopLevel(pieces, from + 1, to - 1))
            set.push_back(expressionIndex(plan, pieces, a, b));
        return set;
    }
    return {expressionIndex(plan, pieces, from, to)};
}

GroupingSet joined(const GroupingSet& a, const GroupingSet& b) {
    GroupingSet set = a;
    for (int e : b)
        if (std::find(set.begin(), set.end(), e) == set.end())
            set.push_back(e);
    return set;
}

std::vector<GroupingSet> rollup(const std::vector<GroupingSet>& elements) {
    std::vector<GroupingSet> sets;
    for (size_t n = elements.size() + 1; n-- > 0;) {
        GroupingSet set;
        for (size_t k = 0; k < n; ++k)
            set = joined(set, elements[k]);
        sets.push_back(set);
    }
    return sets;
}

std::vector<GroupingSet> cube(const std::vector<GroupingSet>& elements) {
    std::vector<GroupingSet> sets;
    const size_t count = size_t{1} << elements.size();
    // The whole set first: it names the columns of the union.
    for (size_t mask = count; mask-- > 0;) {
        GroupingSet set;
        for (size_t k = 0; k < elements.size(); ++k)
            if (mask & (size_t{1} << (elements.size() - 1 - k)))
                set = joined(set, elements[k]);
        sets.push_back(set);
    }
    return sets;
}

std::vector<GroupingSet> crossed(const std::vector<GroupingSet>& a,
                                 const std::vector<GroupingSet>& b) {
    std::vector<GroupingSet> sets;
    for (const GroupingSet& x : a)
        for (const GroupingSet& y : b)
            sets.push_back(joined(x, y));
    return sets;
}

std::vector<GroupingSet> setsOf(GroupingPlan& plan, const Pieces& pieces, size_t from, size_t to);

// One item of the GROUP BY list (or of GROUPING SETS): its grouping sets.
std::vector<GroupingSet> itemSets(GroupingPlan& plan, const Pieces& pieces, size_t from,
                                  size_t to) {
    const bool call = from + 1 < to && pieces[from + 1].isPunctuation(u"(") &&
                      closeOf(pieces, from + 1) == to - 1;
    if (call && (pieces[from].isWord(u"ROLLUP") || pieces[from].isWord(u"CUBE"))) {
        std::vector<GroupingSet> elements;
        for (const auto& [a, b] : splitTopLevel(pieces, from + 2, to - 1))
            elements.push_back(element(plan, pieces, a, b));
        return pieces[from].isWord(u"ROLLUP") ? rollup(elements) : cube(elements);
    }
    if (from + 2 < to && pieces[from].isWord(u"GROUPING") && pieces[from + 1].isWord(u"SETS") &&
        pieces[from + 2].isPunctuation(u"(") && closeOf(pieces, from + 2) == to - 1) {
        std::vector<GroupingSet> sets;
        for (const auto& [a, b] : splitTopLevel(pieces, from + 3, to - 1)) {
            if (pieces[a].isPunctuation(u"(") && closeOf(pieces, a) == b - 1) {
                // (a, b) together, or () for the grand total.
                GroupingSet set;
                if (b > a + 2)
                    for (const auto& [x, y] : splitTopLevel(pieces, a + 1, b - 1))
                        for (const GroupingSet& inner : itemSets(plan, pieces, x, y))
                            set = joined(set, inner);
                sets.push_back(set);
                continue;
            }
            const std::vector<GroupingSet> inner = itemSets(plan, pieces, a, b);
            sets.insert(sets.end(), inner.begin(), inner.end());
        }
        return sets;
    }
    if (pieces[from].isPunctuation(u"(") && closeOf(pieces, from) == to - 1 && to == from + 2)
        return {GroupingSet{}}; // ()
    return {GroupingSet{expressionIndex(plan, pieces, from, to)}};
}

std::vector<GroupingSet> setsOf(GroupingPlan& plan, const Pieces& pieces, size_t from, size_t to) {
    std::vector<GroupingSet> sets{GroupingSet{}};
    for (const auto& [a, b] : splitTopLevel(pieces, from, to))
        sets = crossed(sets, itemSets(plan, pieces, a, b));
    return sets;
}

bool isGroupingList(const Pieces& pieces, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        const Piece& p = pieces[i];
        if ((p.isWord(u"ROLLUP") || p.isWord(u"CUBE")) && i + 1 < to &&
            pieces[i + 1].isPunctuation(u"("))
            return true;
        if (p.isWord(u"GROUPING") && i + 1 < to && pieces[i + 1].isWord(u"SETS"))
            return true;
        // GROUP BY (): the grand total.
        if (p.isPunctuation(u"(") && i + 1 < to && pieces[i + 1].isPunctuation(u")") &&
            (i == from || pieces[i - 1].isPunctuation(u",")))
            return true;
    }
    return false;
}

bool isAggregate(const Piece& p) {
    static const QSet<QString> aggregates = {"count", "count_big", "sum",   "min",
                                             "max",   "avg",       "stdev", "stdevp",
                                             "var",   "varp",      "string_agg",
                                             "checksum_agg"};
    return p.kind == TokenKind::Word && aggregates.contains(p.text.toLower());
}

// The length of the reference to grouping expression `e` at `i`, 0 if none.
size_t matchAt(const Pieces& pieces, size_t i, size_t to, const GroupingExpression& e) {
    if (e.isColumn()) {
        if (i > 0 && pieces[i - 1].isPunctuation(u"."))
            return 0;
        if (i + 2 < to && pieces[i + 1].isPunctuation(u".")) {
            if (e.pieces.size() == 3 && !pieces[i].isName(e.pieces[0].value()))
                return 0;
            return pieces[i + 2].isName(e.columnName()) ? 3 : 0;
        }
        const bool call = i + 1 < to && pieces[i + 1].isPunctuation(u"(");
        return !call && pieces[i].isName(e.columnName()) ? 1 : 0;
    }
    if (i + e.pieces.size() > to)
        return 0;
    for (size_t k = 0; k < e.pieces.size(); ++k)
        if (pieces[i + k].text.compare(e.pieces[k].text, Qt::CaseInsensitive) != 0)
            return 0;
    return e.pieces.size();
}

// GROUPING(x) and GROUPING_ID(x, y, ...) of the set: 1 where x is rolled up.
QString groupingValue(const Pieces& pieces, size_t name, size_t close, const GroupingPlan& plan,
                      const GroupingSet& set) {
    qint64 value = 0;
    for (const auto& [a, b] : splitTopLevel(pieces, name + 2, close)) {
        int found = -1;
        for (size_t e = 0; e < plan.expressions.size(); ++e)
            if (matchAt(pieces, a, b, plan.expressions[e]) == b - a)
                found = static_cast<int>(e);
        if (found < 0)
            refuseGrouping(QStringLiteral("GROUPING of an expression the GROUP BY does not list"));
        const bool rolled = std::find(set.begin(), set.end(), found) == set.end();
        value = value * 2 + (rolled ? 1 : 0);
    }
    return QString::number(value);
}

// The text of pieces [from, to) for one grouping set: the expressions it
// rolls up are NULL outside aggregates, GROUPING and GROUPING_ID constants.
QString forSet(const Pieces& pieces, size_t from, size_t to, const GroupingPlan& plan,
               const GroupingSet& set) {
    Pieces out;
    for (size_t i = from; i < to; ++i) {
        const Piece& p = pieces[i];
        const bool call = i + 1 < to && pieces[i + 1].isPunctuation(u"(");
        if (call && isAggregate(p)) {
            const size_t close = closeOf(pieces, i + 1);
            out.insert(out.end(), pieces.begin() + static_cast<std::ptrdiff_t>(i),
                       pieces.begin() + static_cast<std::ptrdiff_t>(close + 1));
            i = close;
            continue;
        }
        if (call && (p.isWord(u"GROUPING") || p.isWord(u"GROUPING_ID"))) {
            const size_t close = closeOf(pieces, i + 1);
            out.push_back(Piece{Token::number(groupingValue(pieces, i, close, plan, set)), p.space});
            i = close;
            continue;
        }
        size_t matched = 0;
        for (size_t e = 0; e < plan.expressions.size() && !matched; ++e)
            if (std::find(set.begin(), set.end(), static_cast<int>(e)) == set.end())
                matched = matchAt(pieces, i, to, plan.expressions[e]);
        if (matched) {
            out.push_back(Piece{Token::word(QStringLiteral("NULL")), p.space});
            i += matched - 1;
            continue;
        }
        out.push_back(p);
    }
    return render(out);
}

// Whether the select item [from, to) ends with a name of its own.
bool hasAlias(const Pieces& pieces, size_t from, size_t to) {
    if (to - from >= 2 && pieces[to - 2].isWord(u"AS"))
        return true;
    if (to - from >= 3 && pieces[from + 1].isPunctuation(u"="))
        return true;
    return to - from >= 2 && pieces[to - 1].isNameLike() && !pieces[to - 2].isPunctuation(u".") &&
           !isReservedWord(pieces[to - 1]) &&
           (pieces[to - 2].isPunctuation(u")") || pieces[to - 2].isNameLike() ||
            pieces[to - 2].kind == TokenKind::String || pieces[to - 2].kind == TokenKind::Number);
}


// A term of the ORDER BY: the position of the item it repeats, or 0 for an
// expression the list does not give (GROUPING(x), say), worked out in each
// query as a column of its own.
struct OrderTerm {
    int position = 0;
    size_t from = 0, to = 0;
    QString direction;
};

std::vector<OrderTerm> orderTerms(const Pieces& pieces, size_t from, size_t to,
                                  const std::vector<std::pair<size_t, size_t>>& items) {
    std::vector<OrderTerm> terms;
    for (auto [a, b] : splitTopLevel(pieces, from, to)) {
        OrderTerm term;
        if (b > a + 1 && (pieces[b - 1].isWord(u"ASC") || pieces[b - 1].isWord(u"DESC")))
            term.direction = QLatin1Char(' ') + pieces[--b].text;
        term.from = a;
        term.to = b;
        if (b == a + 1 && pieces[a].kind == TokenKind::Number)
            term.position = pieces[a].text.toInt();
        const QString text = render(pieces, a, b).trimmed();
        for (size_t k = 0; k < items.size() && !term.position; ++k) {
            const auto [itemFrom, itemTo] = items[k];
            const bool same =
                render(pieces, itemFrom, itemTo).trimmed().compare(text, Qt::CaseInsensitive) == 0;
            const bool named = b == a + 1 && pieces[itemTo - 1].isName(pieces[a].value()) &&
                               (hasAlias(pieces, itemFrom, itemTo) || itemTo == itemFrom + 1 ||
                                pieces[itemTo - 2].isPunctuation(u"."));
            if (same || named)
                term.position = static_cast<int>(k + 1);
        }
        terms.push_back(term);
    }
    return terms;
}

// The expression of a select item, without its name.
std::pair<size_t, size_t> itemExpression(const Pieces& pieces, size_t from, size_t to) {
    if (to - from >= 3 && pieces[from + 1].isPunctuation(u"=") && pieces[from].isNameLike())
        return {from + 2, to};
    if (!hasAlias(pieces, from, to))
        return {from, to};
    return {from, pieces[to - 2].isWord(u"AS") ? to - 2 : to - 1};
}

// The name a select item gives its column: its alias, its column's name, or
// none ('').
QString itemName(const Pieces& pieces, size_t from, size_t to) {
    if (to - from >= 3 && pieces[from + 1].isPunctuation(u"=") && pieces[from].isNameLike())
        return pieces[from].value();
    if (hasAlias(pieces, from, to) || to == from + 1 ||
        (to - from >= 3 && pieces[to - 2].isPunctuation(u".") && pieces[to - 1].isNameLike()))
        return pieces[to - 1].isNameLike() ? pieces[to - 1].value() : QString();
    return {};
}

// The query at `select` whose GROUP BY at `group` lists ROLLUP, CUBE or
// GROUPING SETS (or ends WITH ROLLUP or WITH CUBE), as the UNION ALL of one
// query per grouping set; its TOP and ORDER BY then apply to the union.
void expandQuery(Pieces& pieces, size_t select, size_t group) {
    const size_t end = queryEnd(pieces, select);
    if (end < pieces.size() && !pieces[end].isPunctuation(u")") && !pieces[end].isPunctuation(u";"))
        refuseGrouping(QStringLiteral("ROLLUP, CUBE or GROUPING SETS in a UNION"));
    const size_t having = findTopLevelWord(pieces, group, end, u"HAVING");
    const size_t order = findTopLevelWord(pieces, group, end, u"ORDER");
    const size_t option = findTopLevelWord(pieces, group, end, u"OPTION");
    const size_t groupEnd = std::min({having, order, option});
    size_t listEnd = groupEnd;
    QString oldForm;
    if (listEnd >= group + 4 && pieces[listEnd - 2].isWord(u"WITH") &&
        (pieces[listEnd - 1].isWord(u"ROLLUP") || pieces[listEnd - 1].isWord(u"CUBE"))) {
        oldForm = pieces[listEnd - 1].text.toUpper();
        listEnd -= 2;
    }
    GroupingPlan plan;
    if (oldForm.isEmpty()) {
        plan.sets = setsOf(plan, pieces, group + 2, listEnd);
    } else {
        std::vector<GroupingSet> elements;
        for (const auto& [a, b] : splitTopLevel(pieces, group + 2, listEnd))
            elements.push_back(element(plan, pieces, a, b));
        plan.sets = oldForm == QLatin1String("ROLLUP") ? rollup(elements) : cube(elements);
    }
    size_t listStart = select + 1;
    if (listStart < group && pieces[listStart].isWord(u"DISTINCT"))
        ++listStart;
    QString top;
    if (listStart < group && pieces[listStart].isWord(u"TOP")) {
        size_t after = listStart + 1;
        after = after < group && pieces[after].isPunctuation(u"(") ? closeOf(pieces, after) + 1
                                                                   : after + 1;
        while (after < group && (pieces[after].isWord(u"PERCENT") || pieces[after].isWord(u"WITH") ||
                                 pieces[after].isWord(u"TIES")))
            ++after;
        top = render(pieces, listStart, after).trimmed() + QLatin1Char(' ');
        listStart = after;
    }
    const size_t from = findTopLevelWord(pieces, listStart, group, u"FROM");
    const auto items = splitTopLevel(pieces, listStart, from);
    const bool distinct = pieces[select + 1].isWord(u"DISTINCT");
    const std::vector<OrderTerm> terms =
        order < end ? orderTerms(pieces, order + 2, std::min(option, end), items)
                    : std::vector<OrderTerm>{};
    // An order the list does not give needs columns of its own, which an
    // outer query then leaves out.
    const bool hidden = std::any_of(terms.begin(), terms.end(),
                                    [](const OrderTerm& t) { return t.position == 0; });
    bool aggregated = false;
    for (size_t i = select; i + 1 < end; ++i)
        aggregated = aggregated || (isAggregate(pieces[i]) && pieces[i + 1].isPunctuation(u"("));
    QStringList branches;
    for (const GroupingSet& set : plan.sets) {
        QStringList list;
        for (size_t k = 0; k < items.size(); ++k) {
            const auto [a, b] = items[k];
            QString item = forSet(pieces, a, b, plan, set).trimmed();
            if (hidden) {
                const auto [exprFrom, exprTo] = itemExpression(pieces, a, b);
                item = QStringLiteral("%1 AS tsql_item_%2")
                           .arg(forSet(pieces, exprFrom, exprTo, plan, set).trimmed())
                           .arg(k + 1);
            } else {
                // An item that is a grouping column keeps its name where it is NULL.
                for (const GroupingExpression& e : plan.expressions)
                    if (e.isColumn() && !hasAlias(pieces, a, b) && matchAt(pieces, a, b, e) == b - a)
                        item += QStringLiteral(" AS ") + quoteName(e.columnName());
            }
            list << item;
        }
        for (size_t t = 0; t < terms.size(); ++t)
            if (terms[t].position == 0)
                list << QStringLiteral("%1 AS tsql_order_%2")
                            .arg(forSet(pieces, terms[t].from, terms[t].to, plan, set).trimmed())
                            .arg(t + 1);
        QStringList grouped;
        for (int e : set)
            grouped << render(plan.expressions[static_cast<size_t>(e)].pieces).trimmed();
        QString branch = QStringLiteral("SELECT %1%2%3 %4")
                             .arg(distinct ? QStringLiteral("DISTINCT ") : QString(),
                                  QString(),
                                  list.join(QStringLiteral(", ")),
                                  render(pieces, from, group).trimmed());
        if (!grouped.isEmpty())
            branch += QStringLiteral(" GROUP BY ") + grouped.join(QStringLiteral(", "));
        else if (having < end || !aggregated)
            // The grand total is one group: SQLite makes one only of a query
            // with an aggregate, and wants a GROUP BY before a HAVING.
            branch += QStringLiteral(" GROUP BY 'tsql_grand_total'");
        if (having < end)
            branch += QStringLiteral(" HAVING ") +
                      forSet(pieces, having + 1, std::min(order, option), plan, set);
        branches << branch;
    }
    // TOP and ORDER BY apply to the union: TOP on a query that reads it
    // (on its first query it would limit that query alone), the order
    // names the items by position.
    QString expanded = branches.join(QStringLiteral(" UNION ALL "));
    QStringList orderBy;
    for (size_t t = 0; t < terms.size(); ++t) {
        const OrderTerm& term = terms[t];
        const QString column = !hidden ? QString::number(term.position)
                               : term.position ? QStringLiteral("tsql_item_%1").arg(term.position)
                                               : QStringLiteral("tsql_order_%1").arg(t + 1);
        orderBy << column + term.direction;
    }
    if (hidden) {
        QStringList outer;
        for (size_t k = 0; k < items.size(); ++k)
            outer << QStringLiteral("tsql_item_%1 AS %2")
                         .arg(k + 1)
                         .arg(quoteName(itemName(pieces, items[k].first, items[k].second)));
        expanded = QStringLiteral("SELECT %1%2 FROM (%3) AS tsql_grouping_sets")
                       .arg(top, outer.join(QStringLiteral(", ")), expanded);
    } else if (!top.isEmpty()) {
        expanded = QStringLiteral("SELECT %1* FROM (%2) AS tsql_grouping_sets").arg(top, expanded);
    }
    if (!orderBy.isEmpty())
        expanded += QStringLiteral(" ORDER BY ") + orderBy.join(QStringLiteral(", "));
    if (option < end)
        expanded += QLatin1Char(' ') + render(pieces, option, end).trimmed();
    Pieces replacement = piecesOf(expanded);
    if (!replacement.empty())
        replacement.front().space = pieces[select].space;
    replaceRange(pieces, select, end, std::move(replacement));
}

// A HAVING without GROUP BY filters one implicit group of all the rows:
// the grand total's GROUP BY, which SQLite wants before a HAVING.
void groupHavingAlone(Pieces& pieces, size_t having) {
    const size_t select = enclosingSelect(pieces, having);
    if (select == none || findTopLevelWord(pieces, select, having, u"GROUP") < having)
        return;
    Pieces grandTotal = piecesOf(QStringLiteral("GROUP BY 'tsql_grand_total'"));
    insertPieces(pieces, having, grandTotal);
}

} // namespace

void expandGroupingSets(Pieces& pieces) {
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (pieces[i].isWord(u"HAVING")) {
            groupHavingAlone(pieces, i);
            continue;
        }
        if (!pieces[i].isWord(u"GROUP") || !pieces[i + 1].isWord(u"BY"))
            continue;
        const size_t select = enclosingSelect(pieces, i);
        if (select == none)
            continue;
        const size_t end = queryEnd(pieces, select);
        const size_t listEnd =
            std::min({findTopLevelWord(pieces, i, end, u"HAVING"),
                      findTopLevelWord(pieces, i, end, u"ORDER"),
                      findTopLevelWord(pieces, i, end, u"OPTION")});
        const bool oldForm = listEnd >= i + 4 && pieces[listEnd - 2].isWord(u"WITH") &&
                             (pieces[listEnd - 1].isWord(u"ROLLUP") ||
                              pieces[listEnd - 1].isWord(u"CUBE"));
        // GROUPING() over a plain GROUP BY is 0: one grouping set.
        bool grouping = false;
        for (size_t k = select; k + 1 < end && !grouping; ++k)
            grouping = (pieces[k].isWord(u"GROUPING") || pieces[k].isWord(u"GROUPING_ID")) &&
                       pieces[k + 1].isPunctuation(u"(");
        if (!oldForm && !grouping && !isGroupingList(pieces, i + 2, listEnd))
            continue;
        expandQuery(pieces, select, i);
        i = select; // the branches' GROUP BYs are plain
    }
}

} // namespace estaciones::db::tsql::rewrite
