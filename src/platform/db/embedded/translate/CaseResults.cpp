#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/translate/Rewrites.h"

#include <vector>

namespace estaciones::db::tsql::rewrite {

namespace {

bool isNullConstant(const Pieces& pieces, size_t from, size_t to) {
    return to == from + 1 && pieces[from].isWord(u"NULL");
}

// The result expressions of the CASE at `caseIndex`: after each THEN and the
// ELSE of its own level (a nested CASE and parentheses are skipped whole).
// Without ELSE the missing one is NULL, which changes nothing here.
std::vector<std::pair<size_t, size_t>> caseResults(const Pieces& pieces, size_t caseIndex) {
    const size_t end = endOfCase(pieces, caseIndex);
    std::vector<std::pair<size_t, size_t>> results;
    size_t start = none;
    for (size_t i = caseIndex + 1; i < end; ++i) {
        const Piece& piece = pieces[i];
        if (piece.isWord(u"CASE")) {
            i = endOfCase(pieces, i);
        } else if (piece.isPunctuation(u"(")) {
            i = closeOf(pieces, i);
        } else if (piece.isWord(u"THEN") || piece.isWord(u"ELSE") || piece.isWord(u"WHEN")) {
            // A WHEN or the ELSE ends the result before it; THEN and ELSE start one.
            if (start != none && !piece.isWord(u"THEN"))
                results.emplace_back(start, i);
            start = piece.isWord(u"WHEN") ? none : i + 1;
        }
    }
    if (start != none && end < pieces.size())
        results.emplace_back(start, end);
    return results;
}

} // namespace

void checkCaseResults(const Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::vector<std::pair<size_t, size_t>> results;
        if (pieces[i].isWord(u"CASE")) {
            results = caseResults(pieces, i);
        } else if (pieces[i].isWord(u"IIF") && i + 1 < pieces.size() &&
                   pieces[i + 1].isPunctuation(u"(")) {
            const auto arguments = splitTopLevel(pieces, i + 2, closeOf(pieces, i + 1));
            if (arguments.size() == 3)
                results.assign(arguments.begin() + 1, arguments.end());
        }
        if (!results.empty() && std::all_of(results.begin(), results.end(), [&](const auto& r) {
                return isNullConstant(pieces, r.first, r.second);
            }))
            sqlite::failWith(sqlite::native::CaseOfNullResultsOnly);
    }
}

} // namespace estaciones::db::tsql::rewrite
