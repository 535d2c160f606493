#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/translate/Rewrites.h"

#include <QHash>

namespace estaciones::db::tsql::rewrite {

namespace {

bool isNextValueFor(const Pieces& pieces, size_t i) {
    return i + 3 < pieces.size() && pieces[i].isWord(u"NEXT") && pieces[i + 1].isWord(u"VALUE") &&
           pieces[i + 2].isWord(u"FOR") && pieces[i + 3].isNameLike();
}

// The ')' of the OVER (ORDER BY ...) at `over`, or none.
size_t orderClauseEnd(const Pieces& pieces, size_t over) {
    if (over + 1 >= pieces.size() || !pieces[over].isWord(u"OVER") ||
        !pieces[over + 1].isPunctuation(u"("))
        return none;
    const size_t close = closeOf(pieces, over + 1);
    return close < pieces.size() ? close : none;
}

// The server refuses NEXT VALUE FOR where the number of values a statement
// takes is not one per row: beside a set operator or DISTINCT (11721), or
// an ORDER BY of the statement's own unless it numbers the rows in an
// order of its own (11723).
void checkPlace(const Pieces& pieces, bool ordered) {
    int depth = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        if (piece.isPunctuation(u"("))
            ++depth;
        else if (piece.isPunctuation(u")"))
            --depth;
        else if (piece.isWord(u"DISTINCT") || piece.isWord(u"UNION") ||
                 piece.isWord(u"EXCEPT") || piece.isWord(u"INTERSECT"))
            sqlite::failWith(sqlite::native::NextValueWithSetOperator);
        else if (!ordered && depth == 0 && piece.isWord(u"ORDER") && i + 1 < pieces.size() &&
                 pieces[i + 1].isWord(u"BY"))
            sqlite::failWith(sqlite::native::NextValueWithOrderBy);
    }
}

// The ranges of pieces that make one row each: every row of an INSERT's
// VALUES, or else the whole statement.
std::vector<std::pair<size_t, size_t>> rowRanges(const Pieces& pieces) {
    if (!pieces.empty() && pieces[0].isWord(u"INSERT")) {
        const size_t values = findTopLevelWord(pieces, 0, pieces.size(), u"VALUES");
        if (values < pieces.size()) {
            std::vector<std::pair<size_t, size_t>> rows;
            for (size_t i = values + 1; i < pieces.size(); ++i)
                if (pieces[i].isPunctuation(u"(")) {
                    const size_t close = closeOf(pieces, i);
                    rows.emplace_back(i, close);
                    i = close;
                }
            return rows;
        }
    }
    return {{0, pieces.size()}};
}

} // namespace

void mapNextValues(Pieces& pieces) {
    // Where each NEXT VALUE FOR stands, with the times its row names its sequence.
    std::vector<std::pair<size_t, int>> calls;
    for (const auto& [from, to] : rowRanges(pieces)) {
        QHash<QString, int> occurrences;
        for (size_t i = from; i < to && i < pieces.size(); ++i)
            if (isNextValueFor(pieces, i))
                ++occurrences[pieces[i + 3].value().toLower()];
        for (size_t i = from; i < to && i < pieces.size(); ++i)
            if (isNextValueFor(pieces, i))
                calls.emplace_back(i, occurrences.value(pieces[i + 3].value().toLower()));
    }
    if (calls.empty())
        return;
    // A table's DEFAULT gives one value per row it fills, whatever the
    // other columns' defaults name.
    const bool definesTable = pieces[0].isWord(u"CREATE") || pieces[0].isWord(u"ALTER");
    bool ordered = false;
    for (const auto& call : calls)
        ordered = ordered || orderClauseEnd(pieces, call.first + 4) != none;
    if (!definesTable)
        checkPlace(pieces, ordered);
    // From the last, so that the places before stay where they are.
    for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
        const size_t i = call->first;
        const QString sequence = Token::string(pieces[i + 3].value()).text;
        const int times = definesTable ? 1 : call->second;
        if (const size_t close = orderClauseEnd(pieces, i + 4); close != none) {
            // The rows' order is the clause's: each row's number in it, out of how many.
            replaceRange(pieces, i, close + 1,
                         piecesOf(QStringLiteral("tsql_next_value_in_order(%1, %2, row_number() "
                                                 "%3, count(*) OVER ())")
                                      .arg(sequence)
                                      .arg(times)
                                      .arg(render(pieces, i + 4, close + 1))));
            continue;
        }
        replaceRange(pieces, i, i + 4,
                     piecesOf(QStringLiteral("tsql_next_value(%1, %2)").arg(sequence).arg(times)));
    }
}

} // namespace estaciones::db::tsql::rewrite
