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
    const size_t from = findTopLevelWord(pieces, first, close, u"FROM");
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

Clause readClause(const Pieces& pieces, size_t sourceOpen, size_t sourceEnd, size_t open,
                  size_t close, size_t& end, const QString& what) {
    Clause clause;
    clause.forAt = findTopLevelWord(pieces, open + 1, close, u"FOR");
    const size_t inAt = findTopLevelWord(pieces, clause.forAt, close, u"IN");
    if (clause.forAt == close || inAt != clause.forAt + 2 || inAt + 1 >= close ||
        !pieces[inAt + 1].isPunctuation(u"("))
        refuse(what);
    clause.column = pieces[clause.forAt + 1].value();
    clause.in = inList(pieces, inAt + 1, closeOf(pieces, inAt + 1));
    clause.alias = aliasAfter(pieces, close, end, what);
    clause.sourceColumns = derivedColumns(pieces, sourceOpen, closeOf(pieces, sourceOpen), what);
    clause.source = render(pieces, sourceOpen, sourceEnd).trimmed();
    return clause;
}

// source PIVOT (agg(value) FOR column IN ([a], [b])) AS p →
// (SELECT kept..., agg(value) FILTER (WHERE column = a) AS "a", ... FROM
// source GROUP BY kept...) AS p: one group per combination of the columns
// PIVOT does not name.
Pieces pivot(const Pieces& pieces, size_t sourceOpen, size_t sourceEnd, size_t open, size_t close,
             size_t& end) {
    const QString what = QStringLiteral("PIVOT");
    const Clause clause = readClause(pieces, sourceOpen, sourceEnd, open, close, end, what);
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
Pieces unpivot(const Pieces& pieces, size_t sourceOpen, size_t sourceEnd, size_t open,
               size_t close, size_t& end) {
    const QString what = QStringLiteral("UNPIVOT");
    const Clause clause = readClause(pieces, sourceOpen, sourceEnd, open, close, end, what);
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

} // namespace

void rewriteTableOperators(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.isWord(u"APPLY") && i > 0) {
            // A table-valued function takes the columns of the tables before it as a join.
            const bool cross = pieces[i - 1].isWord(u"CROSS");
            if (!cross || i + 2 >= pieces.size() || !pieces[i + 1].isNameLike() ||
                !pieces[i + 2].isPunctuation(u"("))
                refuse(cross ? QStringLiteral("CROSS APPLY over a subquery")
                             : QStringLiteral("OUTER APPLY"));
            pieces[i].text = QStringLiteral("JOIN");
            continue;
        }
        const bool isPivot = p.isName(u"PIVOT");
        if ((!isPivot && !p.isName(u"UNPIVOT")) || i + 1 >= pieces.size() ||
            !pieces[i + 1].isPunctuation(u"("))
            continue;
        // The source before it: "(SELECT ...) [AS] alias".
        size_t sourceEnd = i;
        size_t aliasAt = i - 1;
        if (aliasAt > 0 && pieces[aliasAt - 1].isWord(u"AS"))
            --aliasAt;
        const size_t sourceClose = aliasAt > 0 ? aliasAt - 1 : 0;
        if (!pieces[sourceClose].isPunctuation(u")"))
            refuse((isPivot ? QStringLiteral("PIVOT") : QStringLiteral("UNPIVOT")) +
                   QStringLiteral(" over a table (use a derived table)"));
        const size_t sourceOpen = openOf(pieces, sourceClose);
        const size_t open = i + 1;
        const size_t close = closeOf(pieces, open);
        if (sourceOpen == size_t(-1) || close >= pieces.size())
            refuse(isPivot ? QStringLiteral("PIVOT") : QStringLiteral("UNPIVOT"));
        size_t end = close + 1;
        Pieces replacement = isPivot ? pivot(pieces, sourceOpen, sourceEnd, open, close, end)
                                     : unpivot(pieces, sourceOpen, sourceEnd, open, close, end);
        const size_t length = replacement.size();
        replaceRange(pieces, sourceOpen, end, std::move(replacement));
        i = sourceOpen + length - 1;
    }
}

} // namespace estaciones::db::tsql::rewrite
