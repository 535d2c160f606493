#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

namespace estaciones::db::tsql::rewrite {

namespace {

// The first piece of the query whose clause holds `at`: just after the '('
// that encloses it, or the statement's start.
size_t queryStart(const Pieces& pieces, size_t at) {
    int depth = 0;
    for (size_t i = at; i-- > 0;) {
        if (pieces[i].isPunctuation(u")"))
            ++depth;
        else if (pieces[i].isPunctuation(u"(") && --depth < 0)
            return i + 1;
        else if (depth == 0 && pieces[i].isPunctuation(u";"))
            return i + 1;
    }
    return 0;
}

// Whether a query of [from, to) at its own level writes TOP after SELECT.
bool hasTop(const Pieces& pieces, size_t from, size_t to) {
    for (const auto& [first, last] : compoundBranches(pieces, from, to)) {
        size_t at = first + 1;
        if (at < last && (pieces[at].isWord(u"DISTINCT") || pieces[at].isWord(u"ALL")))
            ++at;
        if (at < last && pieces[first].isWord(u"SELECT") && pieces[at].isWord(u"TOP"))
            return true;
    }
    return false;
}

// Whether the count is a whole number written as such: it needs no check.
bool isWholeNumber(const Pieces& count) {
    if (count.size() != 1 || count.front().kind != TokenKind::Number)
        return false;
    for (const QChar c : count.front().text)
        if (!c.isDigit())
            return false;
    return true;
}

// The count as LIMIT or OFFSET takes it: a whole number at least `least` as
// it stands, anything else through the function that checks it when the
// statement runs (SQLite would read a negative LIMIT as no limit at all).
QString checkedCount(const Pieces& count, const QString& check, int least) {
    const QString text = render(count).trimmed();
    if (isWholeNumber(count) && text.toLongLong() >= least)
        return text;
    return QStringLiteral("%1(%2)").arg(check, text);
}

// The end (exclusive) of a row count that starts at `from`: the ROW or ROWS
// word at its level that follows it.
size_t countEnd(const Pieces& pieces, size_t from) {
    const size_t end = findTopLevelWord(pieces, from, pieces.size(), {u"ROW", u"ROWS"});
    if (end == from || end >= pieces.size())
        sqlite::failWith(sqlite::native::SyntaxError,
                         {from < pieces.size() ? pieces[from].text : QStringLiteral("OFFSET")});
    return end;
}

// Whether the OFFSET at `at` ends an ORDER BY of its own query level.
bool followsOrderBy(const Pieces& pieces, size_t start, size_t at) {
    const size_t order = findTopLevelWord(pieces, start, at, u"ORDER");
    return order < at && order + 1 < at && pieces[order + 1].isWord(u"BY");
}

} // namespace

// ORDER BY ... OFFSET m ROWS [FETCH NEXT n ROWS ONLY] → ORDER BY ... LIMIT n
// OFFSET m (LIMIT -1 without FETCH): SQLite's form of the same page of rows.
void moveOffsetFetchToLimit(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        // ORDER BY offset names a column.
        if (!pieces[i].isWord(u"OFFSET") || i == 0 || pieces[i - 1].isWord(u"BY") ||
            pieces[i - 1].isPunctuation(u","))
            continue;
        const size_t start = queryStart(pieces, i);
        if (!followsOrderBy(pieces, start, i))
            continue;
        if (hasTop(pieces, start, i))
            sqlite::failWith(sqlite::native::TopWithOffset);
        const size_t offsetEnd = countEnd(pieces, i + 1);
        const Pieces offset = slice(pieces, i + 1, offsetEnd);
        size_t end = offsetEnd + 1;
        Pieces fetch;
        if (end < pieces.size() && pieces[end].isWord(u"FETCH")) {
            if (end + 1 >= pieces.size() ||
                !(pieces[end + 1].isWord(u"NEXT") || pieces[end + 1].isWord(u"FIRST")))
                sqlite::failWith(sqlite::native::SyntaxError,
                                 {end + 1 < pieces.size() ? pieces[end + 1].text : QStringLiteral("FETCH")});
            const size_t fetchEnd = countEnd(pieces, end + 2);
            fetch = slice(pieces, end + 2, fetchEnd);
            if (fetchEnd + 1 >= pieces.size() || !pieces[fetchEnd + 1].isWord(u"ONLY"))
                sqlite::failWith(sqlite::native::SyntaxError, {pieces[fetchEnd].text});
            end = fetchEnd + 2;
        }
        Pieces limit = piecesOf(
            QStringLiteral(" LIMIT %1 OFFSET %2")
                .arg(fetch.empty() ? QStringLiteral("-1")
                                   : checkedCount(fetch, QStringLiteral("tsql_fetch_rows"), 1),
                     checkedCount(offset, QStringLiteral("tsql_offset_rows"), 0)));
        const size_t written = limit.size();
        replaceRange(pieces, i, end, std::move(limit));
        i += written - 1; // past the OFFSET just written
    }
}

} // namespace estaciones::db::tsql::rewrite
