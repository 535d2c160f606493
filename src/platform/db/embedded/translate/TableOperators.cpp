#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/translate/Rewrites.h"

namespace estaciones::db::tsql::rewrite {

namespace {

[[noreturn]] void refuse(const QString& what) {
    sqlite::failWith(sqlite::native::NotSupported, {what});
}

struct SourceColumn {
    QString name;
    size_t from, to; // the item's pieces in the derived table's select list
};

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

QString quoted(const QString& name) {
    return quoteName(name);
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

// source PIVOT (agg(value) FOR column IN ([a], [b])) AS p →
// (SELECT kept..., agg(value) FILTER (WHERE column = a) AS "a", ... FROM
// source GROUP BY kept...) AS p: one group per combination of the columns
// PIVOT does not name.
Pieces pivot(const Pieces& pieces, size_t sourceOpen, size_t sourceEnd, size_t open, size_t close,
             size_t& end) {
    const QString what = QStringLiteral("PIVOT");
    const size_t forAt = findTopLevelWord(pieces, open + 1, close, u"FOR");
    const size_t inAt = findTopLevelWord(pieces, forAt, close, u"IN");
    if (forAt == close || inAt == close || forAt + 2 != inAt || !pieces[open + 1].isNameLike() ||
        !pieces[open + 2].isPunctuation(u"(") || !pieces[inAt + 1].isPunctuation(u"("))
        refuse(what);
    const size_t aggregateClose = closeOf(pieces, open + 2);
    const QString aggregate = pieces[open + 1].text;
    const QString argument = render(pieces, open + 3, aggregateClose).trimmed();
    const QString column = pieces[forAt + 1].value();
    const auto values = inList(pieces, inAt + 1, closeOf(pieces, inAt + 1));
    const QString alias = aliasAfter(pieces, close, end, what);

    QStringList kept;
    for (const QString& name : derivedColumns(pieces, sourceOpen,
                                              closeOf(pieces, sourceOpen), what))
        if (!sameName(name, column) && !sameName(name, argument.section('.', -1).remove('"')))
            kept << quoted(name);
    QStringList items = kept;
    for (const QString& value : values)
        items << QStringLiteral("%1(%2) FILTER (WHERE %3 = %4) AS %5")
                     .arg(aggregate, argument, quoted(column), pivotLiteral(value), quoted(value));
    QString text = QStringLiteral("(SELECT %1 FROM %2").arg(items.join(QStringLiteral(", ")),
                                                         render(pieces, sourceOpen, sourceEnd).trimmed());
    if (!kept.isEmpty())
        text += QStringLiteral(" GROUP BY ") + kept.join(QStringLiteral(", "));
    return piecesOf(text + QStringLiteral(") AS ") + quoted(alias));
}

// source UNPIVOT (value FOR name IN (a, b)) AS u → (SELECT kept..., 'a' AS
// name, a AS value FROM source WHERE a IS NOT NULL UNION ALL ...) AS u:
// one row per column named, NULLs left out.
Pieces unpivot(const Pieces& pieces, size_t sourceOpen, size_t sourceEnd, size_t open,
               size_t close, size_t& end) {
    const QString what = QStringLiteral("UNPIVOT");
    const size_t forAt = findTopLevelWord(pieces, open + 1, close, u"FOR");
    const size_t inAt = findTopLevelWord(pieces, forAt, close, u"IN");
    if (forAt != open + 2 || inAt != forAt + 2 || !pieces[inAt + 1].isPunctuation(u"("))
        refuse(what);
    const QString valueColumn = pieces[open + 1].value();
    const QString nameColumn = pieces[forAt + 1].value();
    const auto columns = inList(pieces, inAt + 1, closeOf(pieces, inAt + 1));
    const QString alias = aliasAfter(pieces, close, end, what);

    QStringList kept;
    for (const QString& name : derivedColumns(pieces, sourceOpen,
                                              closeOf(pieces, sourceOpen), what))
        if (std::none_of(columns.begin(), columns.end(),
                         [&](const QString& c) { return sameName(c, name); }))
            kept << quoted(name);
    const QString source = render(pieces, sourceOpen, sourceEnd).trimmed();
    QStringList selects;
    for (const QString& c : columns) {
        QStringList items = kept;
        items << QStringLiteral("'%1' AS %2").arg(c, quoted(nameColumn))
              << QStringLiteral("%1 AS %2").arg(quoted(c), quoted(valueColumn));
        selects << QStringLiteral("SELECT %1 FROM %2 WHERE %3 IS NOT NULL")
                       .arg(items.join(QStringLiteral(", ")), source, quoted(c));
    }
    return piecesOf(QStringLiteral("(%1) AS %2")
                        .arg(selects.join(QStringLiteral(" UNION ALL ")), quoted(alias)));
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
