#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QStringList>

#include <functional>
#include <initializer_list>
#include <vector>

namespace estaciones::db::tsql {

// The translator's working form of a statement: the significant tokens, each
// with the blanks that stood before it. Comments are dropped (SQLite does not
// nest block comments), so removing a token never leaves a stray one.
struct Piece : Token {
    QString space;
    // An N'...' string whose N SQLite cannot read was taken off: its type
    // (nvarchar) is still the literal's.
    bool wasNational = false;
};
using Pieces = std::vector<Piece>;

Pieces toPieces(const Tokens& tokens);
// Pieces of a text written by the translator itself.
Pieces piecesOf(const QString& text);
// The text back, with a blank added wherever two tokens would run together.
QString render(const Pieces& pieces, size_t from = 0, size_t to = size_t(-1));

// "Not found" of the helpers below and of the rewrites that search pieces.
inline constexpr size_t none = size_t(-1);
// The pieces from `from` up to `to` (an end past the last means the last).
Pieces slice(const Pieces& pieces, size_t from, size_t to);
// The index of the ')' matching the '(' at `open` (pieces.size() if none).
size_t closeOf(const Pieces& pieces, size_t open);
// The index of the '(' matching the ')' at `close` (size_t(-1) if none).
size_t openOf(const Pieces& pieces, size_t close);
// CASE ... END pairs, which group like parentheses.
size_t endOfCase(const Pieces& pieces, size_t caseIndex);
size_t caseOfEnd(const Pieces& pieces, size_t endIndex);

// Top-level ranges [from, to) of pieces[from, to) separated by `separator`.
std::vector<std::pair<size_t, size_t>> splitTopLevel(const Pieces& pieces, size_t from, size_t to,
                                                     QStringView separator = u",");
// The first piece in [from, to) at depth 0 that is the word `word`, or `to`.
size_t findTopLevelWord(const Pieces& pieces, size_t from, size_t to, QStringView word);
// The first piece in [from, to) at depth 0 that is one of `words`, or `to`.
size_t findTopLevelWord(const Pieces& pieces, size_t from, size_t to,
                        std::initializer_list<QStringView> words);

// UNION, EXCEPT or INTERSECT.
bool isSetOperator(const Piece& p);

// The queries [from, to) of the UNION, EXCEPT or INTERSECT in pieces[from,
// to), each from its SELECT; one range for a single query.
std::vector<std::pair<size_t, size_t>> compoundBranches(const Pieces& pieces, size_t from,
                                                        size_t to);

// The nearest piece before `at` at the same depth of parentheses that
// `matches`; none when a '(' opens first.
size_t nearestAtOwnLevel(const Pieces& pieces, size_t at,
                         const std::function<bool(const Piece&)>& matches);
// The SELECT of the query whose clause holds the piece at `at`.
size_t enclosingSelect(const Pieces& pieces, size_t at);
// The end of the query whose SELECT is at `select`: its scope's ')' or ';',
// or the UNION, EXCEPT or INTERSECT that starts its next branch.
size_t queryEnd(const Pieces& pieces, size_t select);

// A word the grammar reserves: it ends an operand (SELECT, FROM, AND, ...).
bool isReservedWord(const Piece& piece);

// * / %, and + - & | ^: the operators that bind an operand to its neighbour.
bool isMultiplicative(const Piece& p);
bool isAdditive(const Piece& p);
// Whether the piece at `i` ends an operand (size_t(-1), before the first, does):
// punctuation other than arithmetic and '.', or a reserved word other than NULL and END.
bool isBoundary(const Pieces& pieces, size_t i);
// = <> != < > <= >=
bool isComparison(const Piece& p);

// Replaces pieces[from, to) with `replacement`; the first replacement piece
// keeps the blanks of the first replaced one.
void replaceRange(Pieces& pieces, size_t from, size_t to, Pieces replacement);
void insertPieces(Pieces& pieces, size_t at, const Pieces& inserted);

// "name" with embedded quotes doubled: how the translator writes identifiers.
QString quoteName(const QString& name);

} // namespace estaciones::db::tsql
