#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/bind/ArithmeticTypes.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/storage/DateText.h"

#include <QRegularExpression>
#include <QSet>

namespace estaciones::db::tsql::rewrite {

namespace {

bool isOperand(const Piece& p) {
    switch (p.kind) {
    case TokenKind::Number:
    case TokenKind::String:
    case TokenKind::Variable:
    case TokenKind::Parameter:
    case TokenKind::QuotedName:
        return true;
    case TokenKind::Word:
        return !isReservedWord(p) || p.isWord(u"NULL");
    default:
        return false;
    }
}

// The first index of the primary (name, literal, call, group, CASE...END)
// that ends at `last`, or none.
size_t primaryStart(const Pieces& pieces, size_t last) {
    const Piece& p = pieces[last];
    size_t start = none;
    if (p.isPunctuation(u")")) {
        start = openOf(pieces, last);
        if (start != none && start > 0 && pieces[start - 1].isNameLike() &&
            !isReservedWord(pieces[start - 1]))
            --start; // a function call
    } else if (p.isWord(u"END")) {
        start = caseOfEnd(pieces, last);
    } else if (isOperand(p)) {
        start = last;
    }
    // Qualified names: a.b.c
    while (start != none && start >= 2 && pieces[start - 1].isPunctuation(u".") &&
           pieces[start - 2].isNameLike())
        start -= 2;
    // COLLATE x after an operand
    return start;
}

// The last index of the primary that starts at `first`, or none.
size_t primaryEnd(const Pieces& pieces, size_t first) {
    size_t i = first;
    while (i < pieces.size() && (pieces[i].isPunctuation(u"-") || pieces[i].isPunctuation(u"+") ||
                                 pieces[i].isPunctuation(u"~")))
        ++i; // unary signs
    if (i >= pieces.size())
        return none;
    const Piece& p = pieces[i];
    size_t end = none;
    if (p.isPunctuation(u"(")) {
        end = closeOf(pieces, i);
    } else if (p.isWord(u"CASE")) {
        end = endOfCase(pieces, i);
    } else if (isOperand(p)) {
        end = i;
        while (end + 2 < pieces.size() && pieces[end + 1].isPunctuation(u".") &&
               pieces[end + 2].isNameLike())
            end += 2;
        if (end + 1 < pieces.size() && pieces[end + 1].isPunctuation(u"(") &&
            p.kind != TokenKind::String && p.kind != TokenKind::Number)
            end = closeOf(pieces, end + 1);
    }
    if (end >= pieces.size())
        return none;
    if (end + 2 < pieces.size() && pieces[end + 1].isWord(u"COLLATE"))
        end += 2;
    return end;
}

// The start of the left operand of the binary operator at `op`: everything
// back to the expression's start, since '+' is the loosest arithmetic operator.
// The count of TOP n (not in parentheses), which no operand continues.
bool isTopCount(const Pieces& pieces, size_t i) {
    return i != none && i > 0 && pieces[i].kind == TokenKind::Number &&
           pieces[i - 1].isWord(u"TOP");
}

size_t leftOperandStart(const Pieces& pieces, size_t op) {
    size_t last = op - 1;
    while (true) {
        const size_t start = primaryStart(pieces, last);
        if (start == none)
            return none;
        size_t before = start == 0 ? none : start - 1;
        if (isTopCount(pieces, before))
            return start;
        // A unary sign before the first primary belongs to it.
        while (before != none &&
               (pieces[before].isPunctuation(u"-") || pieces[before].isPunctuation(u"+") ||
                pieces[before].isPunctuation(u"~")) &&
               isBoundary(pieces, before == 0 ? none : before - 1)) {
            before = before == 0 ? none : before - 1;
            if (before == none || isBoundary(pieces, before))
                return before == none ? 0 : before + 1;
        }
        if (isBoundary(pieces, before))
            return start;
        if (!isMultiplicative(pieces[before]) && !isAdditive(pieces[before]))
            return none;
        if (before == 0)
            return none;
        last = before - 1;
    }
}

// The end of the right operand of the binary operator at `op`: up to the next
// additive operator or the expression's end.
size_t rightOperandEnd(const Pieces& pieces, size_t op) {
    size_t first = op + 1;
    while (true) {
        const size_t end = primaryEnd(pieces, first);
        if (end == none)
            return none;
        if (end + 1 < pieces.size() && isMultiplicative(pieces[end + 1])) {
            first = end + 2;
            continue;
        }
        if (end + 1 < pieces.size() && isOperand(pieces[end + 1]) &&
            !pieces[end + 1].isWord(u"NULL") && pieces[end + 1].kind != TokenKind::Word &&
            pieces[end + 1].kind != TokenKind::QuotedName)
            return none; // two operands in a row: not an expression we understand
        return end;
    }
}

bool isUnaryPosition(const Pieces& pieces, size_t op) {
    if (op > 0 && pieces[op - 1].isPunctuation(u")"))
        return false;
    return op == 0 || isBoundary(pieces, op - 1) || isAdditive(pieces[op - 1]) ||
           isMultiplicative(pieces[op - 1]);
}

} // namespace

namespace {

// The start of the left operand of the multiplicative operator at `op`: back
// over '*', '/' and '%' (they group from the left), not over '+' or '-'.
size_t multiplicativeLeftStart(const Pieces& pieces, size_t op) {
    if (op == 0)
        return none;
    size_t last = op - 1;
    while (true) {
        size_t start = primaryStart(pieces, last);
        if (start == none)
            return none;
        // Signs bind tighter than '*': -a / b is (-a) / b.
        while (start > 0 &&
               (pieces[start - 1].isPunctuation(u"-") || pieces[start - 1].isPunctuation(u"+") ||
                pieces[start - 1].isPunctuation(u"~")) &&
               isUnaryPosition(pieces, start - 1))
            --start;
        if (start == 0 || !isMultiplicative(pieces[start - 1]) || start < 2)
            return start;
        last = start - 2;
    }
}

// Wraps each `a <op> b` in `function(a, b)`, left to right, so that the
// next operator of a chain finds the call as its left operand.
void wrapOperator(Pieces& pieces, QStringView op, const QString& function) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].isPunctuation(op) || isUnaryPosition(pieces, i))
            continue;
        const size_t from = multiplicativeLeftStart(pieces, i);
        const size_t to = primaryEnd(pieces, i + 1);
        if (from == none || to == none || to <= i)
            continue;
        Pieces call = piecesOf(function + QLatin1Char('('));
        call.front().space = pieces[from].space;
        const Pieces left(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                          pieces.begin() + static_cast<std::ptrdiff_t>(i));
        const Pieces right(pieces.begin() + static_cast<std::ptrdiff_t>(i + 1),
                           pieces.begin() + static_cast<std::ptrdiff_t>(to + 1));
        call.insert(call.end(), left.begin(), left.end());
        call[2].space.clear();
        call.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
        call.insert(call.end(), right.begin(), right.end());
        call.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
        replaceRange(pieces, from, to + 1, std::move(call));
        i = from;
    }
}

} // namespace

namespace {

// A number literal the server types int (whole, within 32 bits).
bool isIntLiteral(const Piece& p) {
    if (p.kind != TokenKind::Number)
        return false;
    const auto type = sqlite::NumericType::fromLiteral(p.text);
    return type && type->kind() == sqlite::NumericType::Kind::Int;
}

bool isIntArithmetic(const Piece& p) {
    return p.isPunctuation(u"+") || p.isPunctuation(u"-") || p.isPunctuation(u"*");
}

} // namespace

void checkIntLiteralArithmetic(Pieces& pieces) {
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        if (!isIntArithmetic(pieces[i]) || !isIntLiteral(pieces[i - 1]) ||
            !isIntLiteral(pieces[i + 1]))
            continue;
        size_t from = i - 1;
        if (from > 0 && pieces[from - 1].isPunctuation(u"-") && isUnaryPosition(pieces, from - 1))
            --from;
        const size_t to = i + 1;
        // Only a pair that stands alone: in 1 + 2 * 3 the pair is not (1 + 2).
        if ((from > 0 && !isBoundary(pieces, from - 1)) ||
            (to + 1 < pieces.size() && !isBoundary(pieces, to + 1)))
            continue;
        Pieces call = piecesOf(QStringLiteral("tsql_int_result("));
        call.front().space = pieces[from].space;
        const size_t opening = call.size();
        call.insert(call.end(), pieces.begin() + static_cast<std::ptrdiff_t>(from),
                    pieces.begin() + static_cast<std::ptrdiff_t>(to + 1));
        call[opening].space.clear();
        call.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
        const size_t length = call.size();
        replaceRange(pieces, from, to + 1, std::move(call));
        i = from + length - 1;
    }
}

void mapDivisionOperators(Pieces& pieces) {
    wrapOperator(pieces, u"/", QStringLiteral("tsql_divide"));
    wrapOperator(pieces, u"%", QStringLiteral("tsql_modulo"));
}

namespace {

// Wraps each binary `a <op> b` of the additive level (+ - & | ^, applied
// left to right) in `function(a, b)`.
void wrapAdditiveOperator(Pieces& pieces, QStringView op, const QString& function) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].isPunctuation(op) || isUnaryPosition(pieces, i))
            continue;
        const size_t from = leftOperandStart(pieces, i);
        const size_t to = rightOperandEnd(pieces, i);
        if (from == none || to == none)
            continue;
        // Two numbers SQLite computes as they are.
        if ((op == u"+" || op == u"-") && from + 1 == i && to == i + 1 &&
            pieces[from].kind == TokenKind::Number &&
            pieces[to].kind == TokenKind::Number)
            continue;
        Pieces call = piecesOf(function + QLatin1Char('('));
        const Pieces left(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                          pieces.begin() + static_cast<std::ptrdiff_t>(i));
        const Pieces right(pieces.begin() + static_cast<std::ptrdiff_t>(i + 1),
                           pieces.begin() + static_cast<std::ptrdiff_t>(to + 1));
        call.insert(call.end(), left.begin(), left.end());
        call.front().space.clear();
        call[2].space.clear();
        call.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
        call.insert(call.end(), right.begin(), right.end());
        call.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
        const size_t length = call.size();
        replaceRange(pieces, from, to + 1, std::move(call));
        i = from + length - 1;
    }
}

} // namespace

void mapPlusOperator(Pieces& pieces) {
    wrapAdditiveOperator(pieces, u"+", QStringLiteral("tsql_add"));
}

void mapMinusOperator(Pieces& pieces) {
    wrapAdditiveOperator(pieces, u"-", QStringLiteral("tsql_subtract"));
}

void mapBitwiseOperators(Pieces& pieces) {
    wrapAdditiveOperator(pieces, u"^", QStringLiteral("tsql_bitwise_xor"));
    wrapAdditiveOperator(pieces, u"&", QStringLiteral("tsql_bitwise_and"));
    wrapAdditiveOperator(pieces, u"|", QStringLiteral("tsql_bitwise_or"));
}

void mapAtTimeZone(Pieces& pieces) {
    // Left to right: in x AT TIME ZONE 'a' AT TIME ZONE 'b' the second finds
    // the first's call as its value.
    for (size_t i = 1; i + 3 < pieces.size(); ++i) {
        if (!pieces[i].isWord(u"AT") || !pieces[i + 1].isWord(u"TIME") ||
            !pieces[i + 2].isWord(u"ZONE"))
            continue;
        const size_t first = primaryStart(pieces, i - 1);
        const size_t zoneLast = primaryEnd(pieces, i + 3);
        if (first == none || zoneLast == none)
            sqlite::failWith(sqlite::native::SyntaxErrorNearKeyword, {QStringLiteral("AT")});
        // A text is no date here: the server takes no implicit conversion.
        if (first == i - 1 && pieces[first].kind == TokenKind::String)
            sqlite::failWithText(8116, QStringLiteral("Argument data type varchar is invalid for "
                                                      "argument 1 of AT TIME ZONE function."));
        Pieces call = piecesOf(QStringLiteral("tsql_at_time_zone("));
        call.front().space = pieces[first].space;
        Pieces value = slice(pieces, first, i);
        value.front().space.clear();
        call.insert(call.end(), value.begin(), value.end());
        call.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
        call.insert(call.end(), pieces.begin() + static_cast<std::ptrdiff_t>(i + 3),
                    pieces.begin() + static_cast<std::ptrdiff_t>(zoneLast + 1));
        call.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
        const size_t length = call.size();
        replaceRange(pieces, first, zoneLast + 1, std::move(call));
        i = first + length - 1;
    }
}

namespace {

// Whether the call whose name is at `name` gives a datetimeoffset.
bool givesOffsetValue(const Pieces& pieces, size_t name) {
    static const QSet<QString> functions = {"tsql_sysdatetimeoffset", "tsql_switchoffset",
                                            "tsql_todatetimeoffset", "tsql_at_time_zone",
                                            "tsql_datetimeoffsetfromparts"};
    const QString called = pieces[name].text.toLower();
    if (functions.contains(called))
        return true;
    return (called == QLatin1String("tsql_convert") ||
            called == QLatin1String("tsql_try_convert")) &&
           name + 2 < pieces.size() && pieces[name + 2].kind == TokenKind::String &&
           dateKindOf(pieces[name + 2].value().section(QLatin1Char('('), 0, 0)) ==
               DateKind::DateTimeOffset;
}

} // namespace

void collateOffsetValues(Pieces& pieces) {
    for (size_t i = pieces.size(); i-- > 0;) {
        if (pieces[i].kind != TokenKind::Word || i + 1 >= pieces.size() ||
            !pieces[i + 1].isPunctuation(u"(") || !givesOffsetValue(pieces, i))
            continue;
        const size_t close = closeOf(pieces, i + 1);
        if (close >= pieces.size() ||
            (close + 1 < pieces.size() && pieces[close + 1].isWord(u"COLLATE")))
            continue;
        insertPieces(pieces, close + 1,
                     piecesOf(QStringLiteral("COLLATE %1").arg(QLatin1String(dateCollation))));
    }
}

namespace {

enum class OperandKind { Column, Date, Other };

bool isDateFunction(const Pieces& pieces, size_t nameIndex) {
    const QString name = pieces[nameIndex].text.toLower();
    static const QSet<QString> dateResults = {"tsql_dateadd",     "tsql_getdate",
                                              "tsql_sysdatetime", "tsql_sysutcdatetime",
                                              "tsql_getutcdate",  "tsql_store_date"};
    if (dateResults.contains(name) || givesOffsetValue(pieces, nameIndex))
        return true;
    if (name == QLatin1String("tsql_convert") && nameIndex + 2 < pieces.size() &&
        pieces[nameIndex + 2].kind == TokenKind::String) {
        QString type = pieces[nameIndex + 2].value();
        type = type.section(QLatin1Char('('), 0, 0).trimmed();
        return dateKindOf(type).has_value();
    }
    return false;
}

// What stands at the end of a left operand (`last`) or the start of a right one.
OperandKind leftKind(const Pieces& pieces, size_t last) {
    const Piece& p = pieces[last];
    if (p.isPunctuation(u")")) {
        const size_t open = openOf(pieces, last);
        if (open == none || open == 0 || pieces[open - 1].kind != TokenKind::Word ||
            isReservedWord(pieces[open - 1]))
            return OperandKind::Column; // a group or subquery: leave it to SQLite
        return isDateFunction(pieces, open - 1) ? OperandKind::Date : OperandKind::Other;
    }
    if (p.kind == TokenKind::Variable || p.kind == TokenKind::Parameter ||
        p.kind == TokenKind::String)
        return OperandKind::Other;
    return OperandKind::Column;
}

OperandKind rightKind(const Pieces& pieces, size_t first) {
    if (first >= pieces.size())
        return OperandKind::Column;
    const Piece& p = pieces[first];
    if (p.isNameLike() && !isReservedWord(p)) {
        if (first + 1 < pieces.size() && pieces[first + 1].isPunctuation(u"("))
            return isDateFunction(pieces, first) ? OperandKind::Date : OperandKind::Other;
        return OperandKind::Column;
    }
    if (p.kind == TokenKind::String || p.kind == TokenKind::Variable ||
        p.kind == TokenKind::Parameter)
        return OperandKind::Other;
    if (p.isPunctuation(u"("))
        return OperandKind::Other; // IN (...) lists
    return OperandKind::Column;
}

} // namespace

void addComparisonCollations(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        // CASE x WHEN y compares x = y: x lends its collation to the comparisons.
        if (!pieces[i].isWord(u"CASE") || i + 1 >= pieces.size() || pieces[i + 1].isWord(u"WHEN"))
            continue;
        const size_t last = primaryEnd(pieces, i + 1);
        if (last == none || last + 1 >= pieces.size() || !pieces[last + 1].isWord(u"WHEN") ||
            pieces[last - 1].isWord(u"COLLATE"))
            continue;
        const OperandKind base = leftKind(pieces, last);
        if (base == OperandKind::Column)
            continue;
        insertPieces(pieces, last + 1,
                     piecesOf(QStringLiteral("COLLATE %1")
                                  .arg(QLatin1String(base == OperandKind::Date ? dateCollation
                                                                               : textCollation))));
    }
    for (size_t i = 1; i < pieces.size(); ++i) {
        size_t right = i + 1;
        if (pieces[i].isWord(u"IN") || pieces[i].isWord(u"BETWEEN")) {
            // x NOT IN (...): the collation goes after x, before NOT.
        } else if (!isComparison(pieces[i])) {
            continue;
        }
        size_t at = i;
        if (at > 0 && pieces[at - 1].isWord(u"NOT"))
            --at;
        if (at == 0)
            continue;
        const size_t last = at - 1;
        const OperandKind left = leftKind(pieces, last);
        if (left == OperandKind::Column)
            continue;
        const OperandKind other = rightKind(pieces, right);
        if (other == OperandKind::Column && !pieces[i].isWord(u"IN"))
            continue;
        // A column on the right would give its own collation; literals and
        // function results have none, so they get the one a column would have.
        const bool date = left == OperandKind::Date || other == OperandKind::Date;
        if (last + 1 < pieces.size() && pieces[last + 1].isWord(u"COLLATE"))
            continue;
        insertPieces(pieces, last + 1,
                     piecesOf(QStringLiteral("COLLATE %1")
                                  .arg(QLatin1String(date ? dateCollation : textCollation))));
        i += 2;
    }
}

namespace {

// The text literal at `at` converted, when the statement runs, to a whole
// number or a float (245 or 8114 when it is no number).
void convertToNumber(Pieces& pieces, size_t at, bool whole) {
    Pieces call = piecesOf(
        QStringLiteral("tsql_convert('%1', %2)")
            .arg(whole ? QStringLiteral("int") : QStringLiteral("float"), pieces[at].text));
    call.front().space = pieces[at].space;
    replaceRange(pieces, at, at + 1, std::move(call));
}

// The numeric type of a CAST or CONVERT to a number whose call starts with
// the name at `name`.
std::optional<sqlite::NumericType> convertedType(const Pieces& pieces, size_t name) {
    if (name + 2 >= pieces.size() || !pieces[name].isWord(u"tsql_convert") ||
        !pieces[name + 1].isPunctuation(u"(") || pieces[name + 2].kind != TokenKind::String)
        return std::nullopt;
    return sqlite::NumericType::fromDeclaration(pieces[name + 2].value());
}

// The type of the number that ends at `last` (a literal standing alone, or a
// conversion to a number); nothing for anything else.
std::optional<sqlite::NumericType> numberEndingAt(const Pieces& pieces, size_t last) {
    if (pieces[last].kind == TokenKind::Number) {
        const bool alone =
            last == 0 || isBoundary(pieces, last - 1) || pieces[last - 1].isPunctuation(u"-");
        return alone ? sqlite::NumericType::fromLiteral(pieces[last].text) : std::nullopt;
    }
    if (!pieces[last].isPunctuation(u")"))
        return std::nullopt;
    const size_t open = openOf(pieces, last);
    return open != none && open > 0 ? convertedType(pieces, open - 1) : std::nullopt;
}

// The type of the number that starts at `first`.
std::optional<sqlite::NumericType> numberStartingAt(const Pieces& pieces, size_t first) {
    if (pieces[first].kind == TokenKind::Number) {
        const bool alone = first + 1 >= pieces.size() || isBoundary(pieces, first + 1);
        return alone ? sqlite::NumericType::fromLiteral(pieces[first].text) : std::nullopt;
    }
    const auto type = convertedType(pieces, first);
    const size_t close = type ? closeOf(pieces, first + 1) : none;
    const bool alone =
        close != none && (close + 1 >= pieces.size() || isBoundary(pieces, close + 1));
    return alone ? type : std::nullopt;
}

} // namespace

void convertTextComparedWithNumbers(Pieces& pieces) {
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        if (!isComparison(pieces[i]))
            continue;
        // Only a number standing alone on its side (a literal, a numeric
        // variable's value, a CAST): `a + 1 = '2'` is left to the column's affinity.
        if (pieces[i + 1].kind == TokenKind::String) {
            if (const auto type = numberEndingAt(pieces, i - 1))
                convertToNumber(pieces, i + 1, type->isWhole());
        } else if (pieces[i - 1].kind == TokenKind::String) {
            if (const auto type = numberStartingAt(pieces, i + 1))
                convertToNumber(pieces, i - 1, type->isWhole());
        }
    }
}

void canonicaliseDateLiterals(Pieces& pieces, const DialectSettings& settings) {
    // Only the calendar's 'd/m/yyyy' form: '1.1.01' or '1-2-03' are as often codes as dates.
    static const QRegularExpression slashed(
        QStringLiteral(R"(^\s*\d{1,2}/\d{1,2}/(\d{2}|\d{4})(\s.*)?$)"));
    size_t lastConverted = none;
    // Inside SET (UPDATE ... SET c = '...') '=' assigns: the column's own rules apply.
    bool assigning = false;
    for (size_t i = 0; i < pieces.size(); ++i) {
        Piece& p = pieces[i];
        if (p.isWord(u"SET"))
            assigning = true;
        else if (p.isWord(u"WHERE") || p.isWord(u"FROM") || p.isWord(u"SELECT"))
            assigning = false;
        if (p.kind != TokenKind::String || assigning)
            continue;
        const bool afterComparison =
            i > 0 && (isComparison(pieces[i - 1]) || pieces[i - 1].isWord(u"BETWEEN"));
        const bool beforeComparison = i + 1 < pieces.size() && isComparison(pieces[i + 1]);
        const bool betweenEnd = i >= 2 && pieces[i - 1].isWord(u"AND") && lastConverted == i - 2;
        if (!afterComparison && !beforeComparison && !betweenEnd)
            continue;
        const QString value = p.value();
        if (!slashed.match(value).hasMatch())
            continue;
        if (const auto date = parseDateText(value, settings.dateOrder)) {
            // One with an offset keeps it, as a datetimeoffset's text.
            p.text = Token::string(date->offsetMinutes
                                       ? formatStoredDate(*date, DateKind::DateTimeOffset)
                                       : formatStoredDate(*date))
                         .text;
            lastConverted = i;
        }
    }
}

} // namespace estaciones::db::tsql::rewrite
