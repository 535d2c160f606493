#include "platform/db/embedded/bind/GroupedColumns.h"

#include "platform/db/embedded/bind/SelectListItems.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/AggregateNames.h"

#include <QSet>

namespace estaciones::db::sqlite {

using tsql::none;
using tsql::Piece;
using tsql::Pieces;
using tsql::TokenKind;

namespace {

bool isAggregate(const QString& lowerName) {
    return tsql::isAggregateFunction(lowerName);
}

// Functions whose first argument is a word of their own (a date part, a type).
bool takesAWordFirst(const QString& lowerName) {
    static const QSet<QString> names = {"dateadd",  "datediff",    "datediff_big", "datepart",
                                        "datename", "convert",     "try_convert"};
    return names.contains(lowerName);
}

// Words that stand for a value, not a column.
bool isNiladic(const Piece& p) {
    for (const char16_t* word : {u"CURRENT_TIMESTAMP", u"CURRENT_USER", u"SESSION_USER",
                                 u"SYSTEM_USER", u"USER"}) {
        if (p.isWord(word)) {
            return true;
        }
    }
    return false;
}

// One name as a reader compares it: a.b.c is c, qualified by b.
struct Unit {
    QString text;      // lower case; a punctuation's or literal's own text
    QString qualifier; // as written
    QString written;   // the last part as written
    size_t last = 0;   // its last piece
    bool name = false;
};

Unit unitAt(const Pieces& pieces, size_t i, size_t to) {
    if (!pieces[i].isNameLike()) {
        return {pieces[i].text, {}, {}, i, false};
    }
    size_t last = i;
    QString qualifier;
    while (last + 2 < to && pieces[last + 1].isPunctuation(u".") && pieces[last + 2].isNameLike()) {
        qualifier = pieces[last].value();
        last += 2;
    }
    return {pieces[last].value().toLower(), qualifier, pieces[last].value(), last, true};
}

QStringList unitsOf(const Pieces& pieces, size_t from, size_t to) {
    QStringList units;
    for (size_t i = from; i < to; i = unitAt(pieces, i, to).last + 1) {
        units << unitAt(pieces, i, to).text;
    }
    return units;
}

// A source of the FROM clause: its name as written (dbo.t) and alias.
struct Source {
    QString written;
    QString table; // the name's last part
    QString alias;
    bool derived = false;
    QString named() const { return derived || written.isEmpty() ? alias : written; }
};

bool separatesSources(const Piece& p) {
    return p.isPunctuation(u",") || p.isWord(u"JOIN") || p.isWord(u"APPLY");
}

std::vector<Source> sourcesOf(const Pieces& pieces, size_t from, size_t to) {
    std::vector<Source> sources;
    size_t i = from;
    while (i < to) {
        Source source;
        if (pieces[i].isPunctuation(u"(")) {
            source.derived = true;
            i = tsql::closeOf(pieces, i) + 1;
        } else if (pieces[i].isNameLike() && !tsql::isReservedWord(pieces[i])) {
            QStringList parts{pieces[i].value()};
            while (i + 2 < to && pieces[i + 1].isPunctuation(u".")) {
                i += pieces[i + 2].isPunctuation(u".") ? 1 : 2; // db..t
                parts << pieces[i].value();
            }
            parts.removeAll(QString());
            source.written = parts.join(QLatin1Char('.'));
            source.table = parts.isEmpty() ? QString() : parts.back();
            ++i;
            if (i < to && pieces[i].isPunctuation(u"(")) {
                source.derived = true; // a table-valued function
                i = tsql::closeOf(pieces, i) + 1;
            }
        } else {
            ++i;
            continue;
        }
        if (i < to && pieces[i].isWord(u"AS")) {
            ++i;
        }
        if (i < to && pieces[i].isNameLike() && !tsql::isReservedWord(pieces[i]) &&
            !pieces[i].isWord(u"APPLY") && !pieces[i].isWord(u"PIVOT")) {
            source.alias = pieces[i].value();
            ++i;
        }
        sources.push_back(source);
        while (i < to && !separatesSources(pieces[i])) {
            i = pieces[i].isPunctuation(u"(") ? tsql::closeOf(pieces, i) + 1 : i + 1;
        }
        ++i;
    }
    return sources;
}

// The grouping expressions of GROUP BY, those of ROLLUP, CUBE and GROUPING
// SETS among them.
void addGroups(const Pieces& pieces, size_t from, size_t to, std::vector<QStringList>& groups) {
    for (const auto& [first, last] : tsql::splitTopLevel(pieces, from, to)) {
        if (first >= last) {
            continue;
        }
        size_t open = none;
        if ((pieces[first].isWord(u"ROLLUP") || pieces[first].isWord(u"CUBE")) &&
            first + 1 < last) {
            open = first + 1;
        } else if (pieces[first].isWord(u"GROUPING") && first + 2 < last) {
            open = first + 2; // GROUPING SETS (
        } else if (pieces[first].isPunctuation(u"(") && tsql::closeOf(pieces, first) == last - 1) {
            open = first;
        }
        if (open != none && pieces[open].isPunctuation(u"(")) {
            addGroups(pieces, open + 1, tsql::closeOf(pieces, open), groups);
        } else {
            groups.push_back(unitsOf(pieces, first, last));
        }
    }
}

// Whether `name` is the alias of a source, or its table's name where it has none.
bool namesSource(const Source& source, const QString& name) {
    return source.alias.isEmpty() ? source.table.compare(name, Qt::CaseInsensitive) == 0
                                  : source.alias.compare(name, Qt::CaseInsensitive) == 0;
}

bool namesAnySource(const std::vector<Source>& sources, const QString& name) {
    return std::any_of(sources.begin(), sources.end(),
                       [&](const Source& source) { return namesSource(source, name); });
}

// The sources of every FROM clause in [from, to), at any depth.
std::vector<Source> allSourcesIn(const Pieces& pieces, size_t from, size_t to) {
    std::vector<Source> sources;
    for (size_t i = from; i < to; ++i) {
        if (!pieces[i].isWord(u"FROM")) {
            continue;
        }
        const size_t end = clauseStart(pieces, i + 1, to,
                                       {u"WHERE", u"GROUP", u"HAVING", u"ORDER", u"OPTION", u"FOR",
                                        u"UNION", u"EXCEPT", u"INTERSECT"});
        const std::vector<Source> found = sourcesOf(pieces, i + 1, std::min(end, to));
        sources.insert(sources.end(), found.begin(), found.end());
    }
    return sources;
}

class GroupedQuery {
public:
    GroupedQuery(const Pieces& pieces, std::vector<QStringList> groups, std::vector<Source> sources)
        : m_pieces(pieces), m_groups(std::move(groups)), m_sources(std::move(sources)) {}

    bool isGroupedColumn(const QString& lowerName) const {
        return std::any_of(m_groups.begin(), m_groups.end(), [&](const QStringList& group) {
            return group.size() == 1 && group.front() == lowerName;
        });
    }

    // The first column of [from, to) outside every aggregate and group.
    std::optional<Unit> ungrouped(size_t from, size_t to) const {
        for (size_t i = from; i < to;) {
            const Piece& p = m_pieces[i];
            if (p.isPunctuation(u"(") && i + 1 < to && m_pieces[i + 1].isWord(u"SELECT")) {
                const size_t close = tsql::closeOf(m_pieces, i);
                if (const auto outer = ungroupedOuterReference(i + 1, close)) {
                    return outer;
                }
                i = close + 1; // the subquery's own columns: its own block
                continue;
            }
            if (const size_t after = afterGroup(i, to); after != none) {
                i = after;
                continue;
            }
            if (p.isWord(u"NEXT") || p.isWord(u"COLLATE")) {
                i += 2; // NEXT VALUE FOR s, x COLLATE c
                continue;
            }
            if (p.isWord(u"AS")) { // CAST(x AS type), PARSE(x AS type USING c)
                i += 2;
                if (i < to && m_pieces[i].isPunctuation(u"(")) {
                    i = tsql::closeOf(m_pieces, i) + 1;
                }
                continue;
            }
            const Unit unit = unitAt(m_pieces, i, to);
            if (p.kind == TokenKind::Word && unit.last == i && i + 1 < to &&
                m_pieces[i + 1].isPunctuation(u"(")) {
                i = intoCall(i, to);
                continue;
            }
            const bool column = unit.name && !(p.kind == TokenKind::Word && unit.last == i &&
                                               (tsql::isReservedWord(p) || isNiladic(p)));
            if (column) {
                return unit;
            }
            i = unit.last + 1;
        }
        return std::nullopt;
    }

private:
    // A column of this query that the subquery [from, to) names by its
    // table or alias (which no source of the subquery takes), outside the
    // subquery's aggregates and this query's groups.
    std::optional<Unit> ungroupedOuterReference(size_t from, size_t to) const {
        const std::vector<Source> inner = allSourcesIn(m_pieces, from, to);
        for (size_t i = from; i < to;) {
            const Piece& p = m_pieces[i];
            if (p.kind == TokenKind::Word && i + 1 < to && m_pieces[i + 1].isPunctuation(u"(") &&
                isAggregate(p.text.toLower())) {
                i = tsql::closeOf(m_pieces, i + 1) + 1;
                continue;
            }
            const Unit unit = unitAt(m_pieces, i, to);
            const bool outer = unit.name && !unit.qualifier.isEmpty() &&
                               namesAnySource(m_sources, unit.qualifier) &&
                               !namesAnySource(inner, unit.qualifier);
            if (outer && !isGroupedColumn(unit.text)) {
                return unit;
            }
            i = unit.last + 1;
        }
        return std::nullopt;
    }

    // The piece after the grouping expression written at `at`, or none.
    size_t afterGroup(size_t at, size_t to) const {
        size_t best = none;
        for (const QStringList& group : m_groups) {
            size_t i = at;
            qsizetype matched = 0;
            while (matched < group.size() && i < to &&
                   unitAt(m_pieces, i, to).text == group[matched]) {
                i = unitAt(m_pieces, i, to).last + 1;
                ++matched;
            }
            if (!group.isEmpty() && matched == group.size() && (best == none || i > best)) {
                best = i;
            }
        }
        return best;
    }

    // Where the walk goes on after the name of a call at `name`: past an
    // aggregate or a windowed function, into the arguments of others (past
    // a date part or CONVERT's type).
    size_t intoCall(size_t name, size_t to) const {
        const QString lower = m_pieces[name].text.toLower();
        const size_t close = tsql::closeOf(m_pieces, name + 1);
        size_t after = close + 1;
        if (after + 2 < to && m_pieces[after].isWord(u"WITHIN")) {
            after = tsql::closeOf(m_pieces, after + 2) + 1; // WITHIN GROUP (ORDER BY ...)
        }
        const bool windowed = after + 1 < to && m_pieces[after].isWord(u"OVER");
        if (windowed) {
            return tsql::closeOf(m_pieces, after + 1) + 1;
        }
        if (isAggregate(lower)) {
            return after;
        }
        if (takesAWordFirst(lower)) {
            const auto arguments = tsql::splitTopLevel(m_pieces, name + 2, close);
            return arguments.size() > 1 ? arguments[1].first : close;
        }
        return name + 2;
    }

    const Pieces& m_pieces;
    std::vector<QStringList> m_groups;
    std::vector<Source> m_sources;
};

// Whether [from, to) calls an aggregate of its own block (not a windowed one).
bool aggregates(const Pieces& pieces, size_t from, size_t to) {
    for (size_t i = from; i + 1 < to; ++i) {
        if (pieces[i].isPunctuation(u"(") && pieces[i + 1].isWord(u"SELECT")) {
            i = tsql::closeOf(pieces, i);
        } else if (pieces[i].kind == TokenKind::Word && pieces[i + 1].isPunctuation(u"(") &&
                   isAggregate(pieces[i].text.toLower())) {
            const size_t close = tsql::closeOf(pieces, i + 1);
            if (close + 1 >= to || !pieces[close + 1].isWord(u"OVER")) {
                return true;
            }
        }
    }
    return false;
}

// The clauses of the query whose SELECT is at `select`.
struct Clauses {
    size_t list = 0, listEnd = 0, from = none, fromEnd = 0, group = none, groupEnd = 0,
           having = none, havingEnd = 0;
};

Clauses clausesOf(const Pieces& pieces, size_t select) {
    const size_t end = tsql::queryEnd(pieces, select);
    const auto next = [&](size_t at, std::initializer_list<QStringView> words) {
        return clauseStart(pieces, at, end, words);
    };
    Clauses c;
    c.list = selectListStart(pieces, select, end);
    c.listEnd = next(c.list, {u"FROM", u"INTO", u"WHERE", u"GROUP", u"HAVING", u"ORDER",
                              u"OPTION", u"FOR", u"WINDOW"});
    const size_t from = next(c.list, {u"FROM"});
    if (from < end) {
        c.from = from + 1;
        c.fromEnd = next(from, {u"WHERE", u"GROUP", u"HAVING", u"ORDER", u"OPTION", u"FOR"});
    }
    const size_t group = next(c.list, {u"GROUP"});
    if (group + 1 < end && pieces[group + 1].isWord(u"BY")) {
        c.group = group + 2;
        c.groupEnd = next(c.group, {u"HAVING", u"ORDER", u"OPTION", u"FOR", u"WITH"}); // WITH ROLLUP
    }
    const size_t having = next(c.list, {u"HAVING"});
    if (having < end) {
        c.having = having + 1;
        c.havingEnd = next(c.having, {u"ORDER", u"OPTION", u"FOR"});
    }
    return c;
}

QString ownerOf(const Unit& unit, const std::vector<Source>& sources, const ColumnLookup& hasColumn) {
    if (!unit.qualifier.isEmpty()) {
        for (const Source& source : sources) {
            if (namesSource(source, unit.qualifier)) {
                return source.named();
            }
        }
        return unit.qualifier;
    }
    if (sources.size() > 1) {
        for (const Source& source : sources) {
            if (!source.derived && hasColumn(source.table, unit.written)) {
                return source.named();
            }
        }
    }
    return sources.empty() ? QString() : sources.front().named();
}

// The first column a * (or t.*) stands for that no group holds, named by
// its source; nothing where a source's columns are not known.
std::optional<QString> ungroupedStarColumn(const Pieces& pieces, PieceSpan item,
                                           const std::vector<Source>& sources,
                                           const GroupedQuery& query, const ColumnList& columnsOf) {
    const bool qualified = item.second - item.first > 1;
    for (const Source& source : sources) {
        if (source.derived || (qualified && !namesSource(source, pieces[item.first].value()))) {
            continue;
        }
        for (const QString& column : columnsOf(source.table)) {
            if (!query.isGroupedColumn(column.toLower())) {
                return source.named() + QLatin1Char('.') + column;
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<ProviderError> ungroupedColumnError(const tsql::Tokens& tokens,
                                                  const ColumnLookup& hasColumn,
                                                  const ColumnList& columnsOf) {
    const Pieces pieces = tsql::toPieces(tokens);
    for (size_t select = 0; select < pieces.size(); ++select) {
        if (!pieces[select].isWord(u"SELECT")) {
            continue;
        }
        const Clauses c = clausesOf(pieces, select);
        // Without GROUP BY, a HAVING makes the rows one group.
        const bool grouped =
            c.group != none || c.having != none || aggregates(pieces, c.list, c.listEnd);
        if (!grouped || c.from == none) {
            continue;
        }
        std::vector<QStringList> groups;
        if (c.group != none) {
            addGroups(pieces, c.group, c.groupEnd, groups);
        }
        const std::vector<Source> sources = sourcesOf(pieces, c.from, c.fromEnd);
        const GroupedQuery query(pieces, std::move(groups), sources);
        const auto failure = [&](int number, const Unit& unit) {
            return sqlServerError(number, {ownerOf(unit, sources, hasColumn) +
                                           QLatin1Char('.') + unit.written});
        };
        for (const PieceSpan& item : tsql::splitTopLevel(pieces, c.list, c.listEnd)) {
            if (isStarItem(pieces, item)) {
                if (const auto column = ungroupedStarColumn(pieces, item, sources, query, columnsOf)) {
                    return sqlServerError(native::UngroupedColumnInSelectList, {*column});
                }
                continue;
            }
            const SelectItem read = readSelectItem(pieces, item);
            if (const auto unit = query.ungrouped(read.expression.first, read.expression.second)) {
                return failure(native::UngroupedColumnInSelectList, *unit);
            }
        }
        if (c.having != none) {
            if (const auto unit = query.ungrouped(c.having, c.havingEnd)) {
                return failure(native::UngroupedColumnInHaving, *unit);
            }
        }
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
