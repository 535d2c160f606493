#include "platform/db/embedded/translate/JoinedDml.h"

#include <QSet>

namespace estaciones::db::tsql::rewrite {

namespace {

// A table the FROM clause reads, and the name its columns go by there.
struct TableReference {
    QString table;
    QString alias;
};

bool isJoinWord(const Piece& p) {
    static const QSet<QString> words = {"join",  "inner", "left", "right", "full",
                                        "cross", "outer", "on",   "where", "apply"};
    return p.kind == TokenKind::Word && words.contains(p.text.toLower());
}

// The tables of FROM pieces[from, to): where each table factor starts (at
// the beginning, after a comma or after JOIN) its name and alias.
std::vector<TableReference> tablesOf(const Pieces& pieces, size_t from, size_t to) {
    std::vector<TableReference> tables;
    bool expectTable = true;
    for (size_t i = from; i < to; ++i) {
        const Piece& p = pieces[i];
        if (p.isPunctuation(u"(")) {
            const size_t close = closeOf(pieces, i);
            if (expectTable) {
                TableReference derived;
                size_t next = close + 1;
                if (next < to && pieces[next].isWord(u"AS"))
                    ++next;
                if (next < to && pieces[next].isNameLike() && !isJoinWord(pieces[next]))
                    derived.alias = pieces[next].value();
                tables.push_back(derived);
                expectTable = false;
            }
            i = close;
            continue;
        }
        if (p.isPunctuation(u",") || p.isWord(u"JOIN") || p.isWord(u"APPLY")) {
            expectTable = true;
            continue;
        }
        if (expectTable && p.isNameLike()) {
            TableReference reference{p.value(), QString()};
            size_t next = i + 1;
            if (next < to && pieces[next].isWord(u"AS"))
                ++next;
            if (next < to && pieces[next].isNameLike() && !isJoinWord(pieces[next]) &&
                !(pieces[next].kind == TokenKind::Word && isReservedWord(pieces[next])))
                reference.alias = pieces[next].value();
            tables.push_back(reference);
            expectTable = false;
        }
    }
    return tables;
}

// The target's entry among the FROM tables: by alias first, then by name.
std::optional<TableReference> targetIn(const std::vector<TableReference>& tables,
                                       const QString& target) {
    for (const TableReference& t : tables)
        if (!t.alias.isEmpty() && t.alias.compare(target, Qt::CaseInsensitive) == 0)
            return t;
    for (const TableReference& t : tables)
        if (t.table.compare(target, Qt::CaseInsensitive) == 0)
            return t;
    return std::nullopt;
}

// UPDATE/DELETE [TOP (n)]: the limit's text and the index after it.
size_t skipTop(const Pieces& pieces, size_t k, QString* limit) {
    if (k >= pieces.size() || !pieces[k].isWord(u"TOP"))
        return k;
    if (k + 1 < pieces.size() && pieces[k + 1].isPunctuation(u"(")) {
        const size_t close = closeOf(pieces, k + 1);
        *limit = render(pieces, k + 1, close + 1).trimmed();
        return close + 1;
    }
    *limit = k + 1 < pieces.size() ? pieces[k + 1].text : QString();
    return k + 2;
}

QString referenceOf(const TableReference& t) {
    return quoteName(t.alias.isEmpty() ? t.table : t.alias);
}

// FROM ... [WHERE ...] [LIMIT n] as the subquery's tail.
QString sourceText(const Pieces& pieces, size_t from, const QString& limit) {
    QString text = render(pieces, from, pieces.size()).trimmed();
    if (!limit.isEmpty())
        text += QStringLiteral(" LIMIT ") + limit;
    return text;
}

} // namespace

std::optional<Pieces> joinedUpdate(const Pieces& pieces) {
    if (pieces.empty() || !pieces[0].isWord(u"UPDATE"))
        return std::nullopt;
    QString limit;
    size_t k = skipTop(pieces, 1, &limit);
    if (k + 1 >= pieces.size() || !pieces[k].isNameLike() || !pieces[k + 1].isWord(u"SET"))
        return std::nullopt;
    const QString target = pieces[k].value();
    const size_t set = k + 1;
    const size_t from = findTopLevelWord(pieces, set + 1, pieces.size(), u"FROM");
    if (from >= pieces.size())
        return std::nullopt;
    const size_t where = findTopLevelWord(pieces, from + 1, pieces.size(), u"WHERE");

    QStringList columns, values;
    for (const auto& [first, last] : splitTopLevel(pieces, set + 1, from)) {
        size_t equals = first;
        while (equals < last && !pieces[equals].isPunctuation(u"="))
            ++equals;
        if (equals == first || equals >= last)
            return std::nullopt;
        // t.col = ...: SQLite's SET takes the column alone.
        columns << quoteName(pieces[equals - 1].value());
        values << render(pieces, equals + 1, last).trimmed();
    }
    const auto reference = targetIn(tablesOf(pieces, from + 1, where), target);
    if (!reference) {
        // The target is not among the FROM tables: SQLite's UPDATE ... FROM reads it alike.
        QStringList assignments;
        for (qsizetype i = 0; i < columns.size(); ++i)
            assignments << columns[i] + QStringLiteral(" = ") + values[i];
        return piecesOf(QStringLiteral("UPDATE %1 SET %2 %3")
                            .arg(quoteName(target), assignments.join(QStringLiteral(", ")),
                                 sourceText(pieces, from, limit)));
    }
    QStringList assignments, selected;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        assignments << QStringLiteral("%1 = tsql_q.tsql_v%2").arg(columns[i]).arg(i);
        selected << QStringLiteral("(%1) AS tsql_v%2").arg(values[i]).arg(i);
    }
    const QString table = quoteName(reference->table);
    return piecesOf(QStringLiteral("UPDATE %1 SET %2 FROM (SELECT %3.rowid AS tsql_rowid, %4 %5) "
                                   "AS tsql_q WHERE %1.rowid = tsql_q.tsql_rowid")
                        .arg(table, assignments.join(QStringLiteral(", ")), referenceOf(*reference),
                             selected.join(QStringLiteral(", ")), sourceText(pieces, from, limit)));
}

void unqualifyTargetColumns(Pieces& pieces) {
    if (pieces.empty() || !pieces[0].isWord(u"UPDATE"))
        return;
    QString limit;
    const size_t k = skipTop(pieces, 1, &limit);
    if (k + 1 >= pieces.size() || !pieces[k].isNameLike() || !pieces[k + 1].isWord(u"SET"))
        return;
    const size_t set = k + 1;
    const size_t end = findTopLevelWord(pieces, set + 1, pieces.size(), {u"OUTPUT", u"FROM", u"WHERE", u"OPTION"});
    if (end < pieces.size() && pieces[end].isWord(u"FROM"))
        return; // joinedUpdate's
    const QString target = pieces[k].value();
    const auto assignments = splitTopLevel(pieces, set + 1, end);
    for (auto it = assignments.rbegin(); it != assignments.rend(); ++it) {
        const size_t first = it->first;
        if (it->second - first > 3 && pieces[first].isNameLike() &&
            pieces[first].value().compare(target, Qt::CaseInsensitive) == 0 &&
            pieces[first + 1].isPunctuation(u".") && pieces[first + 2].isNameLike()) {
            const QString space = pieces[first].space;
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(first),
                         pieces.begin() + static_cast<std::ptrdiff_t>(first + 2));
            pieces[first].space = space;
        }
    }
}

std::optional<Pieces> joinedDelete(const Pieces& pieces) {
    if (pieces.empty() || !pieces[0].isWord(u"DELETE"))
        return std::nullopt;
    QString limit;
    size_t k = skipTop(pieces, 1, &limit);
    if (k < pieces.size() && pieces[k].isWord(u"FROM"))
        ++k;
    if (k + 1 >= pieces.size() || !pieces[k].isNameLike() || !pieces[k + 1].isWord(u"FROM"))
        return std::nullopt;
    const QString target = pieces[k].value();
    const size_t from = k + 1;
    const size_t where = findTopLevelWord(pieces, from + 1, pieces.size(), u"WHERE");
    const auto reference = targetIn(tablesOf(pieces, from + 1, where), target);
    if (!reference)
        // DELETE t FROM u WHERE t.x = u.y: the target row goes when the FROM finds a match.
        return piecesOf(QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT %1.rowid FROM %1 "
                                       "WHERE EXISTS (SELECT 1 %2))")
                            .arg(quoteName(target), sourceText(pieces, from, limit)));
    return piecesOf(QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT %2.rowid %3)")
                        .arg(quoteName(reference->table), referenceOf(*reference),
                             sourceText(pieces, from, limit)));
}

} // namespace estaciones::db::tsql::rewrite
