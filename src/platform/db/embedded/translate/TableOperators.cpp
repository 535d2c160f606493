#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/translate/Rewrites.h"

#include <algorithm>

namespace estaciones::db::tsql::rewrite {

namespace {

[[noreturn]] void refuse(const QString& what) {
    sqlite::failWith(sqlite::native::NotSupported, {what});
}

// The columns a derived table "(SELECT a, b AS c, t.d FROM ...)" gives:
// PIVOT and UNPIVOT keep those they do not name. `open` is its '('.
std::vector<QString> derivedColumns(const Pieces& pieces, size_t open, size_t close,
                                    const QString& what) {
    if (!pieces[open + 1].isWord(u"SELECT"))
        refuse(what + QStringLiteral(" over a table (use a derived table)"));
    size_t first = open + 2;
    if (first < close && pieces[first].isWord(u"DISTINCT"))
        ++first;
    // The first query's list gives the names, also of a compound one.
    const size_t from = findTopLevelWord(
        pieces, first, close,
        {u"FROM", u"WHERE", u"GROUP", u"ORDER", u"UNION", u"EXCEPT", u"INTERSECT"});
    std::vector<QString> names;
    for (const auto& [itemFrom, itemTo] : splitTopLevel(pieces, first, from)) {
        const Piece& last = pieces[itemTo - 1];
        if (last.isPunctuation(u"*") || !last.isNameLike())
            refuse(what + QStringLiteral(" over columns without a name"));
        names.push_back(last.value());
    }
    return names;
}

// A value of PIVOT's IN list as the literal the column is compared with.
QString pivotLiteral(const QString& value) {
    bool number = false;
    value.toDouble(&number);
    return number ? value : QStringLiteral("'%1'").arg(QString(value).replace('\'', "''"));
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// After the operator's ')' at `close`: the alias ([AS] name) and the index after it.
QString aliasAfter(const Pieces& pieces, size_t close, size_t& end, const QString& what) {
    size_t i = close + 1;
    if (i < pieces.size() && pieces[i].isWord(u"AS"))
        ++i;
    if (i >= pieces.size() || !pieces[i].isNameLike() || isReservedWord(pieces[i]))
        refuse(what + QStringLiteral(" without an alias"));
    end = i + 1;
    return pieces[i].value();
}

// The names of an IN (a, [b], ...) list whose '(' is at `open`.
std::vector<QString> inList(const Pieces& pieces, size_t open, size_t close) {
    std::vector<QString> names;
    for (const auto& [from, to] : splitTopLevel(pieces, open + 1, close))
        names.push_back(render(pieces, from, to).trimmed().remove('"'));
    return names;
}

// What PIVOT and UNPIVOT share: "(... FOR column IN (a, b, ...)) [AS] alias"
// after a derived table.
struct Clause {
    size_t forAt = 0;
    QString column;           // the one after FOR
    std::vector<QString> in;  // the IN list
    QString alias;
    std::vector<QString> sourceColumns;
    QString source;           // "(SELECT ...) [AS] name"
};

// The operator's source: "(SELECT ...) [AS] name" from `sourceOpen`, or a
// table "name [[AS] alias]", whose columns the database tells.
struct Source {
    std::vector<QString> columns;
    QString text;
};

Clause readClause(const Pieces& pieces, const Source& source, size_t open, size_t close,
                  size_t& end, const QString& what) {
    Clause clause;
    clause.forAt = findTopLevelWord(pieces, open + 1, close, u"FOR");
    const size_t inAt = findTopLevelWord(pieces, clause.forAt, close, u"IN");
    if (clause.forAt == close || inAt != clause.forAt + 2 || inAt + 1 >= close ||
        !pieces[inAt + 1].isPunctuation(u"("))
        refuse(what);
    clause.column = pieces[clause.forAt + 1].value();
    clause.in = inList(pieces, inAt + 1, closeOf(pieces, inAt + 1));
    clause.alias = aliasAfter(pieces, close, end, what);
    clause.sourceColumns = source.columns;
    clause.source = source.text;
    return clause;
}

// source PIVOT (agg(value) FOR column IN ([a], [b])) AS p →
// (SELECT kept..., agg(value) FILTER (WHERE column = a) AS "a", ... FROM
// source GROUP BY kept...) AS p: one group per combination of the columns
// PIVOT does not name.
Pieces pivot(const Pieces& pieces, const Source& source, size_t open, size_t close, size_t& end) {
    const QString what = QStringLiteral("PIVOT");
    const Clause clause = readClause(pieces, source, open, close, end, what);
    if (!pieces[open + 1].isNameLike() || !pieces[open + 2].isPunctuation(u"(") ||
        closeOf(pieces, open + 2) + 1 != clause.forAt)
        refuse(what);
    const QString aggregate = pieces[open + 1].text;
    const QString argument = render(pieces, open + 3, clause.forAt - 1).trimmed();
    const QString argumentName = argument.section('.', -1).remove('"');

    QStringList kept;
    for (const QString& name : clause.sourceColumns)
        if (!sameName(name, clause.column) && !sameName(name, argumentName))
            kept << quoteName(name);
    QStringList items = kept;
    for (const QString& value : clause.in)
        items << QStringLiteral("%1(%2) FILTER (WHERE %3 = %4) AS %5")
                     .arg(aggregate, argument, quoteName(clause.column), pivotLiteral(value),
                          quoteName(value));
    QString text =
        QStringLiteral("(SELECT %1 FROM %2").arg(items.join(QStringLiteral(", ")), clause.source);
    if (!kept.isEmpty())
        text += QStringLiteral(" GROUP BY ") + kept.join(QStringLiteral(", "));
    return piecesOf(text + QStringLiteral(") AS ") + quoteName(clause.alias));
}

// source UNPIVOT (value FOR name IN (a, b)) AS u → (SELECT kept..., 'a' AS
// name, a AS value FROM source WHERE a IS NOT NULL UNION ALL ...) AS u:
// one row per column named, NULLs left out.
Pieces unpivot(const Pieces& pieces, const Source& source, size_t open, size_t close,
               size_t& end) {
    const QString what = QStringLiteral("UNPIVOT");
    const Clause clause = readClause(pieces, source, open, close, end, what);
    if (clause.forAt != open + 2)
        refuse(what);
    const QString valueColumn = pieces[open + 1].value();

    QStringList kept;
    for (const QString& name : clause.sourceColumns)
        if (std::none_of(clause.in.begin(), clause.in.end(),
                         [&](const QString& c) { return sameName(c, name); }))
            kept << quoteName(name);
    QStringList selects;
    for (const QString& c : clause.in) {
        QStringList items = kept;
        items << QStringLiteral("'%1' AS %2").arg(c, quoteName(clause.column))
              << QStringLiteral("%1 AS %2").arg(quoteName(c), quoteName(valueColumn));
        selects << QStringLiteral("SELECT %1 FROM %2 WHERE %3 IS NOT NULL")
                       .arg(items.join(QStringLiteral(", ")), clause.source, quoteName(c));
    }
    return piecesOf(QStringLiteral("(%1) AS %2")
                        .arg(selects.join(QStringLiteral(" UNION ALL ")), quoteName(clause.alias)));
}


bool isAggregateCall(const Pieces& pieces, size_t from, size_t to) {
    static const QStringList aggregates = {"count", "count_big", "sum", "min", "max", "avg",
                                           "string_agg", "stdev", "var"};
    for (size_t i = from; i + 1 < to; ++i)
        if (pieces[i].kind == TokenKind::Word && pieces[i + 1].isPunctuation(u"(") &&
            aggregates.contains(pieces[i].text.toLower()))
            return true;
    return false;
}

// {CROSS|OUTER} APPLY (SELECT [TOP n] items FROM u [AS a] [WHERE ...] [ORDER
// BY ...]) [AS] x → {JOIN|LEFT JOIN} (SELECT items, a.rowid AS tsql_apply_row
// FROM u AS a) AS x ON x.tsql_apply_row IN (SELECT [TOP n] a.rowid FROM u AS
// a [WHERE ...] [ORDER BY ...]): SQLite has no lateral join, but a subquery
// in ON may read the tables to its left, and it picks the rows of u the
// subquery would give for each outer row. `apply` is CROSS or OUTER, `open`
// the subquery's '('.
// The names of the columns a select list [from, to) gives, refusing items
// without one.
QStringList itemNames(const Pieces& pieces, size_t from, size_t to, const QString& what) {
    QStringList names;
    for (const auto& [itemFrom, itemTo] : splitTopLevel(pieces, from, to)) {
        const Piece& last = pieces[itemTo - 1];
        const bool named =
            last.isNameLike() && !isReservedWord(last) &&
            (itemTo - itemFrom == 1 || pieces[itemTo - 2].isWord(u"AS") ||
             pieces[itemTo - 2].isPunctuation(u".") || pieces[itemTo - 2].isPunctuation(u")") ||
             pieces[itemTo - 2].isNameLike() || pieces[itemTo - 2].kind == TokenKind::Number ||
             pieces[itemTo - 2].kind == TokenKind::String);
        if (!named)
            refuse(QStringLiteral("SELECT * over ") + what + QStringLiteral(" of unnamed columns"));
        names << last.value();
    }
    return names;
}

// Whether the FROM clause goes on after `at` with more tables.
bool joinsAfter(const Pieces& pieces, size_t at) {
    for (size_t i = at; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.isPunctuation(u"("))
            i = closeOf(pieces, i);
        else if (p.isPunctuation(u")") || p.isWord(u"WHERE") || p.isWord(u"GROUP") ||
                 p.isWord(u"HAVING") || p.isWord(u"ORDER") || p.isWord(u"UNION") ||
                 p.isWord(u"EXCEPT") || p.isWord(u"INTERSECT") || p.isWord(u"OPTION"))
            return false;
        else if (p.isWord(u"JOIN") || p.isWord(u"APPLY") || p.isPunctuation(u","))
            return true;
    }
    return false;
}

// The columns of the tables in a FROM clause [from, to) as "alias"."column",
// for a star over them; a source that is not a table is refused.
QStringList tableColumnsBefore(const Pieces& pieces, size_t from, size_t to,
                               const DialectSettings& settings, const QString& what) {
    QStringList columns;
    for (size_t i = from + 1; i < to; ++i) {
        const bool starts = pieces[i - 1].isWord(u"FROM") || pieces[i - 1].isWord(u"JOIN") ||
                            pieces[i - 1].isPunctuation(u",");
        if (!starts)
            continue;
        if (!pieces[i].isNameLike() || isReservedWord(pieces[i]) || !settings.tableColumns)
            refuse(QStringLiteral("SELECT * over ") + what + QStringLiteral(" and a derived table"));
        const QString table = pieces[i].value();
        QString qualifier = table;
        size_t k = i + 1;
        if (k < to && pieces[k].isWord(u"AS"))
            ++k;
        if (k < to && pieces[k].isNameLike() && !isReservedWord(pieces[k]))
            qualifier = pieces[k].value();
        const QStringList own = settings.tableColumns(table);
        if (own.isEmpty())
            refuse(QStringLiteral("SELECT * over ") + what + QStringLiteral(" and this source"));
        for (const QString& column : own)
            columns << quoteName(qualifier) + QLatin1Char('.') + quoteName(column);
    }
    return columns;
}

Pieces applySubquery(Pieces& pieces, size_t apply, size_t open, size_t& end,
                     const DialectSettings& settings, std::ptrdiff_t& shift) {
    const bool outer = pieces[apply].isWord(u"OUTER");
    const QString what = outer ? QStringLiteral("OUTER APPLY") : QStringLiteral("CROSS APPLY");
    const size_t close = closeOf(pieces, open);
    if (close >= pieces.size())
        refuse(what);
    const size_t select = open + 1;
    size_t first = select + 1;
    QString top;
    if (first < close && pieces[first].isWord(u"TOP")) {
        size_t after = first + 1;
        if (after < close && pieces[after].isPunctuation(u"("))
            after = closeOf(pieces, after) + 1;
        else
            ++after;
        if (after < close && (pieces[after].isWord(u"PERCENT") || pieces[after].isWord(u"WITH")))
            refuse(what + QStringLiteral(" over TOP PERCENT or WITH TIES"));
        top = render(pieces, first, after).trimmed() + QLatin1Char(' ');
        first = after;
    }
    if (first < close && pieces[first].isWord(u"DISTINCT"))
        refuse(what + QStringLiteral(" over SELECT DISTINCT"));
    const size_t from = findTopLevelWord(pieces, first, close, u"FROM");
    if (from == close)
        refuse(what + QStringLiteral(" over a subquery without FROM"));
    for (const char16_t* word : {u"GROUP", u"HAVING", u"UNION", u"EXCEPT", u"INTERSECT"})
        if (findTopLevelWord(pieces, from, close, word) != close)
            refuse(what + QStringLiteral(" over a grouped or compound subquery"));
    if (isAggregateCall(pieces, first, from))
        refuse(what + QStringLiteral(" over an aggregate subquery"));
    size_t sourceEnd = std::min(findTopLevelWord(pieces, from, close, u"WHERE"),
                                findTopLevelWord(pieces, from, close, u"ORDER"));
    // One table, with or without an alias.
    size_t k = from + 1;
    if (k >= sourceEnd || !pieces[k].isNameLike())
        refuse(what + QStringLiteral(" over a subquery of more than one table"));
    QString rowOwner = pieces[k].value();
    ++k;
    if (k < sourceEnd && pieces[k].isWord(u"AS"))
        ++k;
    if (k < sourceEnd && pieces[k].isNameLike() && !isReservedWord(pieces[k])) {
        rowOwner = pieces[k].value();
        ++k;
    }
    if (k != sourceEnd)
        refuse(what + QStringLiteral(" over a subquery of more than one table"));
    for (size_t i = first; i < from; ++i)
        if (pieces[i].isPunctuation(u"*"))
            refuse(what + QStringLiteral(" over SELECT *"));
    const QString alias = aliasAfter(pieces, close, end, what);
    const QString items = render(pieces, first, from).trimmed();
    const QString source = render(pieces, from + 1, sourceEnd).trimmed();
    const QString rest = render(pieces, sourceEnd, close).trimmed();
    const QString row = quoteName(rowOwner) + QStringLiteral(".rowid");
    // The outer list must not read the row id the join adds: its stars
    // become the columns they stand for.
    const size_t outerSelect = enclosingSelect(pieces, apply);
    if (outerSelect != size_t(-1)) {
        const size_t outerFrom = findTopLevelWord(pieces, outerSelect, apply, u"FROM");
        for (size_t i = outerFrom; i-- > outerSelect + 1;) {
            if (pieces[i].isPunctuation(u")")) {
                i = openOf(pieces, i);
                continue;
            }
            if (!pieces[i].isPunctuation(u"*"))
                continue;
            const bool ofApply =
                i >= 2 && pieces[i - 1].isPunctuation(u".") && pieces[i - 2].isName(alias);
            const bool bare = i == outerSelect + 1 || pieces[i - 1].isPunctuation(u",") ||
                              pieces[i - 1].isWord(u"DISTINCT") ||
                              (i >= 2 && pieces[i - 2].isWord(u"TOP"));
            if (!bare && !ofApply)
                continue;
            QStringList columns;
            if (bare) {
                if (joinsAfter(pieces, end))
                    refuse(QStringLiteral("SELECT * over ") + what +
                           QStringLiteral(" followed by other tables"));
                columns = tableColumnsBefore(pieces, outerFrom, apply, settings, what);
            }
            for (const QString& name : itemNames(pieces, first, from, what))
                columns << quoteName(alias) + QLatin1Char('.') + quoteName(name);
            const size_t starFrom = ofApply ? i - 2 : i;
            Pieces expansion = piecesOf(columns.join(QStringLiteral(", ")));
            shift += static_cast<std::ptrdiff_t>(expansion.size()) -
                     static_cast<std::ptrdiff_t>(i + 1 - starFrom);
            replaceRange(pieces, starFrom, i + 1, std::move(expansion));
            i = starFrom;
        }
    }
    return piecesOf(QStringLiteral(" %1 (SELECT %2, %3 AS tsql_apply_row FROM %4) AS %5 ON "
                                   "%5.tsql_apply_row IN (SELECT %6%3 FROM %4 %7)")
                        .arg(outer ? QStringLiteral("LEFT JOIN") : QStringLiteral("JOIN"), items,
                             row, source, quoteName(alias), top, rest));
}

// {CROSS|OUTER} APPLY over values of the outer row, `(VALUES (a, b), (c,
// d)) AS x (p, q)` or `(SELECT e AS p [WHERE cond]) AS x`: no table to read,
// so no join on row ids. Each reference to x.p (or to p alone) in the outer
// query becomes its expression, CASE x.tsql_apply_value WHEN 1 THEN a WHEN
// 2 THEN c END for several rows, which a join with the row numbers (SELECT
// 1 AS tsql_apply_value UNION ALL SELECT 2) AS x gives; a SELECT's WHERE
// filters the outer row (CROSS) or empties the columns (OUTER).
struct AppliedValues {
    QString alias;
    QStringList columns;
    std::vector<QStringList> rows; // of each row, each column's expression
    QString condition;
    // A rowset's own (OPENJSON): each column's expression over the source
    // `joined` puts in the APPLY's place; empty for rows of values.
    QStringList expressions;
    QString joined;
};

QStringList columnList(const Pieces& pieces, size_t& end) {
    QStringList names;
    if (end >= pieces.size() || !pieces[end].isPunctuation(u"("))
        return names;
    const size_t close = closeOf(pieces, end);
    for (const auto& [from, to] : splitTopLevel(pieces, end + 1, close))
        names << render(pieces, from, to).trimmed().remove(QLatin1Char('"'));
    end = close + 1;
    return names;
}

// The items of a select list [from, to), `e AS name`, `e name`, `name = e`
// or `t.name`: their expressions, their names added to `names` (an empty
// one for an item without a name where a column list names them all).
QStringList namedItems(const Pieces& pieces, size_t from, size_t to, const QString& what,
                       QStringList& names, bool namedAfter = false) {
    QStringList expressions;
    for (const auto& [itemFrom, itemTo] : splitTopLevel(pieces, from, to)) {
        if (itemTo - itemFrom >= 3 && pieces[itemFrom + 1].isPunctuation(u"=") &&
            pieces[itemFrom].isNameLike()) {
            names << pieces[itemFrom].value();
            expressions << render(pieces, itemFrom + 2, itemTo).trimmed();
            continue;
        }
        const Piece& last = pieces[itemTo - 1];
        const bool named = itemTo - itemFrom >= 2 && last.isNameLike() && !isReservedWord(last) &&
                           !pieces[itemTo - 2].isPunctuation(u".");
        const bool qualified = itemTo - itemFrom == 3 && pieces[itemFrom + 1].isPunctuation(u".");
        if (!named && !qualified && namedAfter) {
            names << QString();
            expressions << render(pieces, itemFrom, itemTo).trimmed();
            continue;
        }
        if (!named && !qualified)
            refuse(what + QStringLiteral(" over a column without a name"));
        names << last.value();
        const size_t expressionEnd =
            named ? (pieces[itemTo - 2].isWord(u"AS") ? itemTo - 2 : itemTo - 1) : itemTo;
        expressions << render(pieces, itemFrom, expressionEnd).trimmed();
    }
    return expressions;
}

AppliedValues readAppliedValues(const Pieces& pieces, size_t open, size_t& end,
                                const QString& what) {
    const size_t close = closeOf(pieces, open);
    if (close >= pieces.size())
        refuse(what);
    AppliedValues values;
    if (pieces[open + 1].isWord(u"VALUES")) {
        for (const auto& [from, to] : splitTopLevel(pieces, open + 2, close)) {
            if (!pieces[from].isPunctuation(u"(") || closeOf(pieces, from) != to - 1)
                refuse(what + QStringLiteral(" over VALUES"));
            QStringList row;
            for (const auto& [itemFrom, itemTo] : splitTopLevel(pieces, from + 1, to - 1))
                row << render(pieces, itemFrom, itemTo).trimmed();
            values.rows.push_back(row);
        }
    } else {
        const size_t where = findTopLevelWord(pieces, open + 2, close, u"WHERE");
        for (const char16_t* word : {u"GROUP", u"HAVING", u"ORDER", u"UNION", u"EXCEPT",
                                     u"INTERSECT", u"TOP", u"DISTINCT"})
            if (findTopLevelWord(pieces, open + 2, close, word) != close)
                refuse(what + QStringLiteral(" over a subquery without FROM with ") +
                       QString::fromUtf16(word));
        if (isAggregateCall(pieces, open + 2, where))
            refuse(what + QStringLiteral(" over an aggregate without FROM"));
        values.rows.push_back(namedItems(pieces, open + 2, where, what, values.columns));
        if (where != close)
            values.condition = render(pieces, where + 1, close).trimmed();
    }
    values.alias = aliasAfter(pieces, close, end, what);
    if (const QStringList named = columnList(pieces, end); !named.isEmpty())
        values.columns = named;
    for (const QStringList& row : values.rows)
        if (row.size() != values.columns.size())
            refuse(what + QStringLiteral(" whose values and column names do not match"));
    return values;
}

// The expression that stands for column `c` of the applied values.
QString appliedExpression(const AppliedValues& values, qsizetype c, bool outer) {
    QString expression;
    if (!values.expressions.isEmpty()) {
        expression = QStringLiteral("(%1)").arg(values.expressions[c]);
    } else if (values.rows.size() == 1) {
        expression = QStringLiteral("(%1)").arg(values.rows.front()[c]);
    } else {
        QStringList branches;
        for (size_t r = 0; r < values.rows.size(); ++r)
            branches << QStringLiteral("WHEN %1 THEN %2").arg(r + 1).arg(values.rows[r][c]);
        expression = QStringLiteral("(CASE %1.tsql_apply_value %2 END)")
                         .arg(quoteName(values.alias), branches.join(QLatin1Char(' ')));
    }
    if (outer && !values.condition.isEmpty())
        expression = QStringLiteral("(CASE WHEN %1 THEN %2 END)").arg(values.condition, expression);
    return expression;
}


struct Edit {
    size_t from, to; // replaced range; from == to inserts
    QString text;
};

// The index of the applied column that the pieces at `i` name, qualified by
// the alias (`x.p`, three pieces) or alone (`p`), and how many pieces that is.
std::pair<qsizetype, size_t> appliedReference(const Pieces& pieces, size_t i,
                                              const AppliedValues& values, bool bareAllowed) {
    const auto indexOf = [&](const Piece& p) -> qsizetype {
        for (qsizetype c = 0; c < values.columns.size(); ++c)
            if (p.isNameLike() && sameName(p.value(), values.columns[c]))
                return c;
        return -1;
    };
    if (!pieces[i].isNameLike() || (i > 0 && pieces[i - 1].isPunctuation(u".")))
        return {-1, 0};
    if (i + 2 < pieces.size() && pieces[i + 1].isPunctuation(u".")) {
        if (!sameName(pieces[i].value(), values.alias))
            return {-1, 0};
        return {indexOf(pieces[i + 2]), 3};
    }
    const bool call = i + 1 < pieces.size() && pieces[i + 1].isPunctuation(u"(");
    const bool alias = i > 0 && pieces[i - 1].isWord(u"AS");
    if (!bareAllowed || call || alias || isReservedWord(pieces[i]))
        return {-1, 0};
    return {indexOf(pieces[i]), 1};
}

// Rewrites the source [apply, end) of the values, an APPLY (CROSS or OUTER
// at `apply`) or a FROM's rowset: every reference to its columns becomes
// their expression, the source the join `values.joined` gives. Answers where
// the outer query starts, to be read again from there.
size_t applySource(Pieces& pieces, size_t apply, size_t end, const AppliedValues& values,
                   bool outer, const QString& what, const DialectSettings& settings) {
    const size_t select = enclosingSelect(pieces, apply);
    if (select == size_t(-1))
        refuse(what + QStringLiteral(" outside a SELECT"));
    const size_t last = queryEnd(pieces, select);
    std::vector<Edit> edits;
    // The outer list's items that are a column of the values keep its name.
    const size_t from = findTopLevelWord(pieces, select, apply, u"FROM");
    size_t listStart = select + 1;
    if (listStart < from && pieces[listStart].isWord(u"DISTINCT"))
        ++listStart;
    for (const auto& [itemFrom, itemTo] : splitTopLevel(pieces, listStart, from)) {
        const bool star = pieces[itemTo - 1].isPunctuation(u"*");
        const bool bare = star && itemTo - itemFrom == 1;
        if (star && !bare && !sameName(pieces[itemFrom].value(), values.alias))
            continue; // another table's star
        if (star) {
            QStringList items;
            if (bare) {
                if (joinsAfter(pieces, end))
                    refuse(QStringLiteral("SELECT * over ") + what +
                           QStringLiteral(" followed by other tables"));
                items = tableColumnsBefore(pieces, from, apply, settings, what);
            }
            for (qsizetype c = 0; c < values.columns.size(); ++c)
                items << appliedExpression(values, c, outer) + QStringLiteral(" AS ") +
                             quoteName(values.columns[c]);
            edits.push_back({itemFrom, itemTo, items.join(QStringLiteral(", "))});
            continue;
        }
        const auto [column, length] = appliedReference(pieces, itemFrom, values, true);
        if (column >= 0 && itemFrom + length == itemTo)
            edits.push_back({itemTo, itemTo, QStringLiteral(" AS ") +
                                                 quoteName(values.columns[column])});
    }
    // Every reference in the outer query, outside subqueries of their own
    // for a bare name (whose tables may have a column of that name).
    int nested = 0;
    std::vector<size_t> opens;
    for (size_t i = select; i < last; ++i) {
        if (i == apply) {
            i = end - 1;
            continue;
        }
        if (pieces[i].isPunctuation(u"(")) {
            opens.push_back(i);
            if (i + 1 < last && pieces[i + 1].isWord(u"SELECT"))
                ++nested;
            continue;
        }
        if (pieces[i].isPunctuation(u")")) {
            if (!opens.empty() && opens.back() + 1 < last &&
                pieces[opens.back() + 1].isWord(u"SELECT"))
                --nested;
            if (!opens.empty())
                opens.pop_back();
            continue;
        }
        const auto [column, length] = appliedReference(pieces, i, values, nested == 0);
        if (column < 0)
            continue;
        edits.push_back({i, i + length, appliedExpression(values, column, outer)});
        i += length - 1;
    }
    edits.push_back({apply, end, values.joined});
    if (!outer && !values.condition.isEmpty()) {
        const size_t where = findTopLevelWord(pieces, end, last, u"WHERE");
        if (where < last) {
            edits.push_back({where + 1, where + 1, QStringLiteral(" (%1) AND").arg(values.condition)});
        } else {
            const size_t clauseEnd =
                findTopLevelWord(pieces, end, last, {u"GROUP", u"HAVING", u"ORDER", u"OPTION"});
            edits.push_back({clauseEnd, clauseEnd,
                             QStringLiteral(" WHERE (%1) ").arg(values.condition)});
        }
    }
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.from > b.from; });
    for (const Edit& edit : edits) {
        Pieces replacement = piecesOf(edit.text);
        if (!replacement.empty() && replacement.front().space.isEmpty())
            replacement.front().space = QStringLiteral(" ");
        if (edit.from == edit.to)
            insertPieces(pieces, edit.from, replacement);
        else
            replaceRange(pieces, edit.from, edit.to, std::move(replacement));
    }
    return select;
}

// The APPLY at `apply` over the values at `open`: several rows are numbered
// by a join, one row needs none.
size_t applyValues(Pieces& pieces, size_t apply, size_t open, const DialectSettings& settings) {
    const bool outer = pieces[apply].isWord(u"OUTER");
    const QString what = outer ? QStringLiteral("OUTER APPLY") : QStringLiteral("CROSS APPLY");
    size_t end = open;
    AppliedValues values = readAppliedValues(pieces, open, end, what);
    if (values.rows.size() > 1) {
        QStringList numbers;
        for (size_t r = 0; r < values.rows.size(); ++r)
            numbers << QStringLiteral("SELECT %1 AS tsql_apply_value").arg(r + 1);
        values.joined = QStringLiteral(" CROSS JOIN (%1) AS %2")
                            .arg(numbers.join(QStringLiteral(" UNION ALL ")),
                                 quoteName(values.alias));
    }
    return applySource(pieces, apply, end, values, outer, what, settings);
}

// Whether the subquery at `open` is an aggregate without GROUP BY
// (SELECT MAX(a) AS m, COUNT(*) AS n FROM u WHERE ...), which gives one
// row whatever rows it reads.
bool isScalarAggregate(const Pieces& pieces, size_t open) {
    const size_t close = closeOf(pieces, open);
    const size_t first = open + 2;
    if (close >= pieces.size() || first >= close || pieces[first].isWord(u"TOP") ||
        pieces[first].isWord(u"DISTINCT"))
        return false;
    const size_t from = findTopLevelWord(pieces, first, close, u"FROM");
    if (from == close)
        return false;
    for (const char16_t* word : {u"GROUP", u"HAVING", u"UNION", u"EXCEPT", u"INTERSECT"})
        if (findTopLevelWord(pieces, from, close, word) != close)
            return false;
    return isAggregateCall(pieces, first, from);
}

// The APPLY at `apply` over such an aggregate: one row for every outer row,
// CROSS and OUTER alike, so each column is the scalar subquery of its item.
size_t applyAggregate(Pieces& pieces, size_t apply, size_t open, const DialectSettings& settings) {
    const bool outer = pieces[apply].isWord(u"OUTER");
    const QString what = outer ? QStringLiteral("OUTER APPLY") : QStringLiteral("CROSS APPLY");
    const size_t close = closeOf(pieces, open);
    const size_t from = findTopLevelWord(pieces, open + 2, close, u"FROM");
    size_t end = close;
    const QString alias = aliasAfter(pieces, close, end, what);
    const bool namedAfter = end < pieces.size() && pieces[end].isPunctuation(u"(");
    AppliedValues values;
    QStringList row = namedItems(pieces, open + 2, from, what, values.columns, namedAfter);
    const QString source = render(pieces, from, close).trimmed();
    for (QString& item : row)
        item = QStringLiteral("SELECT %1 %2").arg(item, source);
    values.rows.push_back(row);
    values.alias = alias;
    if (const QStringList named = columnList(pieces, end); !named.isEmpty()) {
        if (named.size() != values.columns.size())
            refuse(what + QStringLiteral(" whose values and column names do not match"));
        values.columns = named;
    }
    return applySource(pieces, apply, end, values, outer, what, settings);
}

// A path literal of OPENJSON as SQLite's json_each takes it: lax is its
// only mode (strict would fail where lax gives no rows).
QString eachPath(const Pieces& pieces, size_t from, size_t to) {
    if (to != from + 1 || pieces[from].kind != TokenKind::String)
        refuse(QStringLiteral("OPENJSON with a path that is not a literal"));
    QString path = pieces[from].value().trimmed();
    if (path.startsWith(QLatin1String("strict"), Qt::CaseInsensitive))
        refuse(QStringLiteral("OPENJSON in strict mode"));
    if (path.startsWith(QLatin1String("lax"), Qt::CaseInsensitive))
        path = path.mid(3).trimmed();
    return Token::literal(path);
}

// OPENJSON(json [, path]) [WITH (column type [path] [AS JSON], ...)] [[AS]
// alias] at `at`: the rows of json_each over the text; key, value and type
// (0 null ... 5 object) without WITH, else each column the value its path
// finds in the row, converted to its type (JSON_VALUE), or the object or
// array (JSON_QUERY) AS JSON.
AppliedValues readOpenJson(const Pieces& pieces, size_t at, size_t& end, int number) {
    const size_t open = at + 1;
    const size_t close = closeOf(pieces, open);
    if (close >= pieces.size())
        refuse(QStringLiteral("OPENJSON"));
    const auto arguments = splitTopLevel(pieces, open + 1, close);
    if (arguments.empty() || arguments.size() > 2)
        refuse(QStringLiteral("OPENJSON"));
    const QString json = render(pieces, arguments[0].first, arguments[0].second).trimmed();
    QString each = QStringLiteral("json_each(%1").arg(json);
    if (arguments.size() == 2)
        each += QStringLiteral(", ") + eachPath(pieces, arguments[1].first, arguments[1].second);
    each += QLatin1Char(')');
    AppliedValues values;
    const QString row = QStringLiteral("tsql_json_each_%1").arg(number);
    const QString element =
        QStringLiteral("tsql_openjson_value(%1, %2.fullkey, %2.type)").arg(json, row);
    end = close + 1;
    if (end + 1 < pieces.size() && pieces[end].isWord(u"WITH") && pieces[end + 1].isPunctuation(u"(")) {
        const size_t withClose = closeOf(pieces, end + 1);
        for (const auto& [from, to] : splitTopLevel(pieces, end + 2, withClose)) {
            // name type ['path'] [AS JSON]
            size_t last = to;
            const bool asJson = last - from >= 2 && pieces[last - 1].isWord(u"JSON") &&
                                pieces[last - 2].isWord(u"AS");
            if (asJson)
                last -= 2;
            QString path = QStringLiteral("'$.%1'").arg(pieces[from].value());
            if (last > from + 1 && pieces[last - 1].kind == TokenKind::String) {
                path = render(pieces, last - 1, last).trimmed();
                --last;
            }
            values.columns << pieces[from].value();
            const QString type = render(pieces, from + 1, last).trimmed();
            values.expressions << (asJson ? QStringLiteral("JSON_QUERY(%1, %2)").arg(element, path)
                                          : QStringLiteral("CAST(JSON_VALUE(%1, %2) AS %3)")
                                                .arg(element, path, type));
        }
        end = withClose + 1;
    } else {
        values.columns = {QStringLiteral("key"), QStringLiteral("value"), QStringLiteral("type")};
        values.expressions = {
            QStringLiteral("CONVERT(nvarchar(4000), %1.[key])").arg(row), element,
            QStringLiteral("CASE %1.type WHEN 'null' THEN 0 WHEN 'text' THEN 1 WHEN 'integer' THEN "
                           "2 WHEN 'real' THEN 2 WHEN 'true' THEN 3 WHEN 'false' THEN 3 WHEN "
                           "'array' THEN 4 WHEN 'object' THEN 5 END")
                .arg(row)};
    }
    size_t alias = end;
    if (alias < pieces.size() && pieces[alias].isWord(u"AS"))
        ++alias;
    if (alias < pieces.size() && pieces[alias].isNameLike() && !isReservedWord(pieces[alias])) {
        values.alias = pieces[alias].value();
        end = alias + 1;
    } else {
        values.alias = QStringLiteral("tsql_openjson_%1").arg(number);
    }
    values.joined = QStringLiteral("%1 AS %2").arg(each, row);
    return values;
}

// OPENJSON at `at`, after FROM, JOIN, a comma or an APPLY.
size_t openJson(Pieces& pieces, size_t at, int number, const DialectSettings& settings) {
    size_t end = at;
    AppliedValues values = readOpenJson(pieces, at, end, number);
    const bool apply = at >= 2 && pieces[at - 1].isWord(u"APPLY");
    const bool outer = apply && pieces[at - 2].isWord(u"OUTER");
    if (apply)
        values.joined = (outer ? QStringLiteral(" LEFT JOIN ") : QStringLiteral(" CROSS JOIN ")) +
                        values.joined + (outer ? QStringLiteral(" ON 1 = 1") : QString());
    const QString what = QStringLiteral("OPENJSON");
    return applySource(pieces, apply ? at - 2 : at, end, values, outer, what, settings);
}

} // namespace

void rewriteTableOperators(Pieces& pieces, const DialectSettings& settings) {
    int openJsons = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.isWord(u"OPENJSON") && i > 0 && i + 1 < pieces.size() &&
            pieces[i + 1].isPunctuation(u"(") &&
            (pieces[i - 1].isWord(u"FROM") || pieces[i - 1].isWord(u"JOIN") ||
             pieces[i - 1].isWord(u"APPLY") || pieces[i - 1].isPunctuation(u","))) {
            i = openJson(pieces, i, ++openJsons, settings);
            continue;
        }
        if (p.isWord(u"APPLY") && i > 0) {
            const bool cross = pieces[i - 1].isWord(u"CROSS");
            const bool outer = pieces[i - 1].isWord(u"OUTER");
            const bool values = (cross || outer) && i + 2 < pieces.size() &&
                                pieces[i + 1].isPunctuation(u"(") &&
                                (pieces[i + 2].isWord(u"VALUES") ||
                                 (pieces[i + 2].isWord(u"SELECT") &&
                                  findTopLevelWord(pieces, i + 3, closeOf(pieces, i + 1),
                                                   u"FROM") == closeOf(pieces, i + 1)));
            if (values) {
                i = applyValues(pieces, i - 1, i + 1, settings);
                continue;
            }
            if ((cross || outer) && i + 2 < pieces.size() && pieces[i + 1].isPunctuation(u"(") &&
                pieces[i + 2].isWord(u"SELECT") && isScalarAggregate(pieces, i + 1)) {
                i = applyAggregate(pieces, i - 1, i + 1, settings);
                continue;
            }
            if ((cross || outer) && i + 2 < pieces.size() && pieces[i + 1].isPunctuation(u"(") &&
                pieces[i + 2].isWord(u"SELECT")) {
                size_t end = i + 1;
                std::ptrdiff_t shift = 0;
                Pieces replacement = applySubquery(pieces, i - 1, i + 1, end, settings, shift);
                // A star before it became the columns it stands for.
                const size_t start = static_cast<size_t>(static_cast<std::ptrdiff_t>(i - 1) + shift);
                end = static_cast<size_t>(static_cast<std::ptrdiff_t>(end) + shift);
                const size_t length = replacement.size();
                replaceRange(pieces, start, end, std::move(replacement));
                i = start + length - 1;
                continue;
            }
            // A table-valued function takes the columns of the tables before it as a join.
            if (!(cross || outer) || i + 2 >= pieces.size() || !pieces[i + 1].isNameLike() ||
                !pieces[i + 2].isPunctuation(u"("))
                refuse(outer ? QStringLiteral("OUTER APPLY") : QStringLiteral("CROSS APPLY"));
            pieces[i - 1].text = outer ? QStringLiteral("LEFT") : pieces[i - 1].text;
            pieces[i].text = QStringLiteral("JOIN");
            continue;
        }
        const bool isPivot = p.isName(u"PIVOT");
        if ((!isPivot && !p.isName(u"UNPIVOT")) || i + 1 >= pieces.size() ||
            !pieces[i + 1].isPunctuation(u"("))
            continue;
        const QString what = isPivot ? QStringLiteral("PIVOT") : QStringLiteral("UNPIVOT");
        // The source before it: "(SELECT ...) [AS] alias" or "table [[AS] alias]".
        size_t sourceStart = i;
        Source source;
        size_t aliasAt = i - 1;
        if (aliasAt > 0 && pieces[aliasAt - 1].isWord(u"AS"))
            --aliasAt;
        const size_t sourceClose = aliasAt > 0 ? aliasAt - 1 : 0;
        if (pieces[sourceClose].isPunctuation(u")")) {
            sourceStart = openOf(pieces, sourceClose);
            if (sourceStart == size_t(-1))
                refuse(what);
            source.columns = derivedColumns(pieces, sourceStart, sourceClose, what);
        } else {
            // FROM t [AS] a PIVOT, FROM t PIVOT: the table's own columns.
            size_t table = i - 1;
            if (table > 1 && pieces[table - 1].isWord(u"AS"))
                table -= 2;
            else if (table > 1 && pieces[table - 1].isNameLike() &&
                     !isReservedWord(pieces[table - 1]))
                table -= 1;
            if (!pieces[table].isNameLike() || isReservedWord(pieces[table]) ||
                !settings.tableColumns)
                refuse(what + QStringLiteral(" over this source"));
            const QStringList columns = settings.tableColumns(pieces[table].value());
            if (columns.isEmpty())
                refuse(what + QStringLiteral(" over this source"));
            source.columns.assign(columns.begin(), columns.end());
            sourceStart = table;
        }
        source.text = render(pieces, sourceStart, i).trimmed();
        const size_t open = i + 1;
        const size_t close = closeOf(pieces, open);
        if (close >= pieces.size())
            refuse(what);
        size_t end = close + 1;
        Pieces replacement = isPivot ? pivot(pieces, source, open, close, end)
                                     : unpivot(pieces, source, open, close, end);
        const size_t length = replacement.size();
        replaceRange(pieces, sourceStart, end, std::move(replacement));
        i = sourceStart + length - 1;
    }
}

} // namespace estaciones::db::tsql::rewrite
