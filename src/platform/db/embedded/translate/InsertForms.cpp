#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

#include <optional>

namespace estaciones::db::tsql::rewrite {

namespace {

// INSERT [TOP (n)] [INTO] table [(columns)]: where the table's name is and
// what follows the column list.
struct InsertHead {
    size_t table = 0;
    size_t afterColumns = 0;
    QStringList columns;
};

std::optional<InsertHead> insertHead(const Pieces& pieces) {
    if (pieces.empty() || !pieces[0].isWord(u"INSERT"))
        return std::nullopt;
    size_t k = 1;
    if (k < pieces.size() && pieces[k].isWord(u"TOP"))
        return std::nullopt; // moved to the source first
    if (k < pieces.size() && pieces[k].isWord(u"INTO"))
        ++k;
    if (k >= pieces.size() || !pieces[k].isNameLike())
        return std::nullopt;
    InsertHead head;
    head.table = k++;
    if (k < pieces.size() && pieces[k].isPunctuation(u"(")) {
        const size_t close = closeOf(pieces, k);
        for (const auto& [from, to] : splitTopLevel(pieces, k + 1, close))
            if (from < to)
                head.columns << pieces[from].value();
        k = close + 1;
    }
    head.afterColumns = k;
    return head;
}

} // namespace

void fillDefaultValues(Pieces& pieces) {
    const std::optional<InsertHead> head = insertHead(pieces);
    if (!head || head->afterColumns >= pieces.size() || !pieces[head->afterColumns].isWord(u"VALUES"))
        return;
    const QString table = Token::literal(pieces[head->table].value());
    // Right to left, so that the ranges still to visit stay where they are.
    std::vector<std::pair<size_t, size_t>> rows;
    for (size_t k = head->afterColumns + 1; k < pieces.size(); ++k) {
        if (pieces[k].isPunctuation(u"(")) {
            rows.emplace_back(k, closeOf(pieces, k));
            k = rows.back().second;
        } else if (!pieces[k].isPunctuation(u",")) {
            break;
        }
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const auto items = splitTopLevel(pieces, row->first + 1, row->second);
        for (size_t i = items.size(); i-- > 0;) {
            const auto [from, to] = items[i];
            if (to != from + 1 || !pieces[from].isWord(u"DEFAULT"))
                continue;
            const QString column =
                i < static_cast<size_t>(head->columns.size())
                    ? Token::literal(head->columns[static_cast<qsizetype>(i)])
                    : QStringLiteral("(SELECT name FROM pragma_table_info(%1) LIMIT 1 OFFSET %2)")
                          .arg(table)
                          .arg(i);
            replaceRange(pieces, from, to,
                         piecesOf(QStringLiteral("tsql_column_default(%1, %2)").arg(table, column)));
        }
    }
}

void moveInsertTop(Pieces& pieces) {
    if (pieces.size() < 3 || !pieces[0].isWord(u"INSERT") || !pieces[1].isWord(u"TOP"))
        return;
    size_t end = 2;
    QString limit;
    if (pieces[end].isPunctuation(u"(")) {
        const size_t close = closeOf(pieces, end);
        limit = render(pieces, end, close + 1).trimmed();
        end = close + 1;
    } else {
        limit = pieces[end].text;
        ++end;
    }
    if (end < pieces.size() && pieces[end].isWord(u"PERCENT"))
        sqlite::failWith(sqlite::native::NotSupported, {QStringLiteral("INSERT TOP ... PERCENT")});
    pieces.erase(pieces.begin() + 1, pieces.begin() + static_cast<std::ptrdiff_t>(end));
    const std::optional<InsertHead> head = insertHead(pieces);
    if (!head || head->afterColumns >= pieces.size() ||
        !(pieces[head->afterColumns].isWord(u"SELECT") || pieces[head->afterColumns].isWord(u"WITH")))
        sqlite::failWith(sqlite::native::NotSupported, {QStringLiteral("INSERT TOP without SELECT")});
    // The source's own ORDER BY or TOP stays inside it.
    Pieces wrapped = piecesOf(QStringLiteral("SELECT * FROM ("));
    const Pieces source(pieces.begin() + static_cast<std::ptrdiff_t>(head->afterColumns), pieces.end());
    wrapped.insert(wrapped.end(), source.begin(), source.end());
    const Pieces tail = piecesOf(QStringLiteral(") LIMIT ") + limit);
    wrapped.insert(wrapped.end(), tail.begin(), tail.end());
    replaceRange(pieces, head->afterColumns, pieces.size(), wrapped);
}

} // namespace estaciones::db::tsql::rewrite
