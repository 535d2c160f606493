#include "platform/db/embedded/bind/QueryTyping.h"

#include "platform/db/embedded/bind/DataTypeNames.h"
#include "platform/db/embedded/bind/KeptColumnTypes.h"
#include "platform/db/embedded/bind/QueryScopes.h"
#include "platform/db/embedded/bind/SelectListItems.h"
#include "platform/db/embedded/bind/StatementExpressions.h"
#include "platform/db/embedded/bind/UpdateTyping.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"

#include "platform/db/embedded/parse/TextScan.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"
#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace estaciones::db::sqlite {

using tsql::Pieces;
using tsql::TokenKind;
using tsql::none;

namespace {

// Whether [from, to) is a column, plain or qualified (t.c, s.t.c).
bool isColumnChain(const tsql::Pieces& pieces, size_t from, size_t to) {
    if (from >= to || (to - from) % 2 == 0) {
        return false;
    }
    for (size_t i = from; i < to; ++i) {
        const bool expected = (i - from) % 2 == 0
                                  ? pieces[i].isNameLike() && !tsql::isReservedWord(pieces[i])
                                  : pieces[i].isPunctuation(u".");
        if (!expected) {
            return false;
        }
    }
    return true;
}

// SUM and AVG take numbers ("except for the bit data type", their pages):
// a column of text, dates, bit or bytes is 8117, where SQLite would add up
// zeros. MIN and MAX take any comparable type but bit, which is 8117 too.
void refuseNonNumericTotal(const QString& declared, const QString& function) {
    static const QSet<QString> comparable = {QStringLiteral("min"), QStringLiteral("max")};
    static const QSet<QString> refused = {
        "char",  "varchar", "nchar",    "nvarchar",  "text",          "ntext",
        "sysname", "bit",   "date",     "time",      "datetime",      "datetime2",
        "smalldatetime", "datetimeoffset", "uniqueidentifier", "binary", "varbinary", "image",
        "xml"};
    // The type's name alone: "varchar(20)", "datetime text" (a date's stored affinity).
    const QString trimmed = declared.trimmed();
    qsizetype end = 0;
    while (end < trimmed.size() && (trimmed[end].isLetterOrNumber() || trimmed[end] == u'_')) {
        ++end;
    }
    const QString base = trimmed.left(end).toLower();
    if (comparable.contains(function) ? base == QLatin1String("bit") : refused.contains(base)) {
        failWith(native::InvalidOperandType, {base, function});
    }
}

// Views over views over subqueries: deeper than this is left untyped.
constexpr int maximumDepth = 8;
// Words that end a select list at its own level.
bool endsSelectList(const tsql::Piece& piece) {
    static const QSet<QString> words = {"from",  "where",  "group", "having", "order",
                                        "limit", "window", "union", "except", "intersect"};
    return piece.kind == TokenKind::Word && words.contains(piece.text.toLower());
}

bool isMoney(const NumericType& type) {
    return type.kind() == NumericType::Kind::Money || type.kind() == NumericType::Kind::SmallMoney;
}

bool isArithmeticOperator(const tsql::Piece& piece) {
    return piece.kind == TokenKind::Punctuation && piece.text.size() == 1 &&
           QStringLiteral("+-*/%").contains(piece.text);
}

// A date type's name as dateKindOf reads it, from a column's declaration
// ("datetime2(3) text") or a conversion's type as written ("datetime2 ( 3 )");
// empty for no declaration.
QString dateTypeName(const std::optional<QString>& declaration) {
    if (!declaration) {
        return {};
    }
    QString name = declaration->trimmed().toLower();
    if (name.endsWith(QLatin1String(" text"))) {
        name.chop(5);
    }
    return name.remove(QLatin1Char(' '));
}

// Of the date types, the one of higher precedence ranks higher.
int dateRank(tsql::DateKind kind) {
    switch (kind) {
    case tsql::DateKind::Time:
        return 0;
    case tsql::DateKind::Date:
        return 1;
    case tsql::DateKind::SmallDateTime:
        return 2;
    case tsql::DateKind::DateTime:
        return 3;
    case tsql::DateKind::DateTime2:
        return 4;
    case tsql::DateKind::DateTimeOffset:
        return 5;
    }
    return 0;
}

// The declaration of highest precedence among `declarations`: a date type
// over numbers, numbers (united: the larger decimal) over text; nothing
// when one is unknown or all are text.
std::optional<QString> highestPrecedence(const std::vector<std::optional<QString>>& declarations) {
    std::optional<NumericType> numeric;
    std::optional<QString> date;
    std::optional<tsql::DateKind> dateKind;
    for (const std::optional<QString>& declaration : declarations) {
        if (!declaration) {
            return std::nullopt;
        }
        // A date column is declared "datetime text".
        if (const auto kind = tsql::dateKindOf(declaration->section(QLatin1Char(' '), 0, 0))) {
            if (!dateKind || dateRank(*kind) > dateRank(*dateKind)) {
                dateKind = kind;
                date = declaration;
            }
        } else if (const auto type = NumericType::fromDeclaration(*declaration)) {
            numeric = numeric ? NumericType::unite(*numeric, *type) : *type;
        }
    }
    if (date) {
        return date;
    }
    return numeric ? std::optional<QString>(numeric->declaration()) : std::nullopt;
}

// The exact function of + - * whose result is money or a decimal, and of /
// whose result is a decimal, where SQLite's own operators would work in
// doubles; empty for other results (money's quotient has its own function).
QString exactFunction(QChar op, const NumericType& result) {
    if (!isMoney(result) && result.kind() != NumericType::Kind::Decimal) {
        return {};
    }
    switch (op.unicode()) {
    case '+':
        return QStringLiteral("tsql_exact_add");
    case '-':
        return QStringLiteral("tsql_exact_subtract");
    case '*':
        return QStringLiteral("tsql_exact_multiply");
    case '/':
        return isMoney(result) ? QString() : QStringLiteral("tsql_exact_divide");
    default:
        return {};
    }
}

// A type as the exact functions take it: 'decimal(12,2)'.
QString typeArgument(const NumericType& type) {
    return tsql::Token::string(type.declaration()).text;
}

// The type a value is converted to when it meets a value of `declaration`:
// a number type, a date type, text of a set length; nothing for others
// (text of no set length converts nothing).
std::optional<QString> conversionTarget(const QString& declaration) {
    const QString name = declaration.section(QLatin1Char(' '), 0, 0);
    if (tsql::dateKindOf(name)) {
        return name;
    }
    if (const auto numeric = NumericType::fromDeclaration(declaration)) {
        return numeric->declaration();
    }
    static const QRegularExpression sizedText(
        QStringLiteral(R"(^\s*n?(var)?char\s*\(\s*(\d+|max)\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    if (sizedText.match(declaration).hasMatch()) {
        return declaration.trimmed();
    }
    return std::nullopt;
}

bool isTextDeclaration(const QString& declaration) {
    static const QRegularExpression text(QStringLiteral(R"(^\s*(n?(var)?char|n?text|sysname)\b)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return text.match(declaration).hasMatch();
}

bool isBinaryDeclaration(const QString& declaration) {
    return tsql::isBinaryTypeName(
        declaration.trimmed().section(QLatin1Char('('), 0, 0).section(QLatin1Char(' '), 0, 0).toLower());
}

// Among values of other types, text and binary (the lowest types) are the
// ones converted to the type of highest precedence.
bool givesWayToOthers(const QString& declaration) {
    return isTextDeclaration(declaration) || isBinaryDeclaration(declaration);
}

// tsql_divide(a, 7) → ((a) / 7.0): a divisor that is a number other than
// zero cannot fail, and SQLite's own division of a real costs no call per row.
bool divideNatively(Pieces& pieces, size_t call) {
    const size_t open = call + 1;
    const size_t close = tsql::closeOf(pieces, open);
    if (close >= pieces.size()) {
        return false;
    }
    const auto arguments = tsql::splitTopLevel(pieces, open + 1, close);
    if (arguments.size() != 2 || arguments[1].second != arguments[1].first + 1 ||
        pieces[arguments[1].first].kind != TokenKind::Number) {
        return false;
    }
    tsql::Piece& divisor = pieces[arguments[1].first];
    bool ok = false;
    const double value = divisor.text.toDouble(&ok);
    if (!ok || value == 0 || !std::isfinite(value)) {
        return false;
    }
    pieces[call].text.clear();
    pieces[open].text = QStringLiteral("((");
    pieces[arguments[0].second].text = QStringLiteral(") /");
    if (!divisor.text.contains(QLatin1Char('.')) && !divisor.text.contains(QLatin1Char('e')) &&
        !divisor.text.contains(QLatin1Char('E'))) {
        divisor.text += QStringLiteral(".0");
    }
    return true;
}

// Whether the text has a binary + - or * (which may give money or a
// decimal, which SQLite's operators give in doubles): one after an operand,
// not the '*' of SELECT *, t.* or COUNT(*), nor a sign.
bool hasBinaryArithmetic(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'') { // a text literal ('2024-01-07'), '' inside it
            i = text.indexOf(u'\'', i + 1);
            if (i < 0) {
                return false;
            }
            continue;
        }
        if (c != u'+' && c != u'-' && c != u'*') {
            continue;
        }
        qsizetype before = i - 1;
        while (before >= 0 && text[before].isSpace()) {
            --before;
        }
        if (before < 0) {
            continue;
        }
        const QChar last = text[before];
        if (last == u')' || last == u'\'' || last == u'"' || last == u']' || last == u'`') {
            return true;
        }
        if (!last.isLetterOrNumber() && last != u'_' && last != u'@') {
            continue;
        }
        qsizetype start = before;
        while (start > 0 && (text[start - 1].isLetterOrNumber() || text[start - 1] == u'_')) {
            --start;
        }
        const QStringView word = QStringView(text).mid(start, before - start + 1);
        static const QStringView keywords[] = {u"SELECT", u"DISTINCT", u"ALL",  u"WHERE",
                                               u"AND",    u"OR",       u"NOT",  u"WHEN",
                                               u"THEN",   u"ELSE",     u"CASE", u"RETURN"};
        if (std::none_of(std::begin(keywords), std::end(keywords), [&](QStringView keyword) {
                return word.compare(keyword, Qt::CaseInsensitive) == 0;
            })) {
            return true;
        }
    }
    return false;
}

QString columnText(sqlite3_stmt* statement, int index, const char* (*read)(sqlite3_stmt*, int)) {
    const char* text = read(statement, index);
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

bool isBinaryLiteral(const Pieces& pieces, size_t from, size_t to) {
    return to == from + 1 && pieces[from].isWord(u"X") && pieces[to].kind == TokenKind::String &&
           pieces[to].space.isEmpty();
}

size_t expressionEnd(const Pieces& pieces, size_t from, size_t to) {
    if (to - from >= 2 && pieces[to - 2].isWord(u"AS")) {
        return to - 2;
    }
    if (to - from >= 2) {
        const tsql::Piece& last = pieces[to - 1];
        const tsql::Piece& before = pieces[to - 2];
        const bool aliasLike =
            (last.isNameLike() && !tsql::isReservedWord(last)) || last.kind == TokenKind::String;
        // x COLLATE tsql_date: the translator's collation, not an alias; nor
        // are the digits of X'01'.
        if (aliasLike && !before.isPunctuation(u".") && !isArithmeticOperator(before) &&
            !before.isPunctuation(u"(") && !before.isPunctuation(u",") &&
            !before.isWord(u"COLLATE") && !isBinaryLiteral(pieces, to - 2, to - 1)) {
            return to - 1;
        }
    }
    return to;
}

QueryTyping::QueryTyping(sqlite3_stmt* statement)
    : m_db(sqlite3_db_handle(statement)), m_statement(statement) {}

QueryTyping::QueryTyping(sqlite3* db, const QString& text, int depth)
    : m_db(db), m_own(std::make_unique<PreparedStatement>(db, text)), m_depth(depth) {
    m_statement = m_own->ok() ? m_own->handle() : nullptr;
}

std::optional<QString> QueryTyping::declarationOf(int index) {
    if (!m_statement || m_depth > maximumDepth || index < 0 ||
        index >= sqlite3_column_count(m_statement)) {
        return std::nullopt;
    }
    if (const auto united = ofUnion(index)) {
        return united;
    }
    if (const char* declared = sqlite3_column_decltype(m_statement, index)) {
        return QString::fromUtf8(declared);
    }
    if (!m_parsed) {
        parse();
    }
    if (static_cast<size_t>(index) < m_items.size()) {
        const auto [first, last] = m_items[static_cast<size_t>(index)];
        m_index = index;
        m_itemFirst = first;
        m_itemLast = last;
        m_aliasFirst = expressionEnd(m_pieces, first, last);
        return typeOf(first, m_aliasFirst);
    }
    // SELECT *: a view's computed column, found by its name.
    return fromViews(columnText(m_statement, index, sqlite3_column_name));
}

int QueryTyping::columnIndex(const QString& name) const {
    for (int i = 0; m_statement && i < sqlite3_column_count(m_statement); ++i) {
        if (columnText(m_statement, i, sqlite3_column_name).compare(name, Qt::CaseInsensitive) ==
            0) {
            return i;
        }
    }
    return -1;
}

bool QueryTyping::isUnnamed(int index) {
    if (!m_statement) {
        return false;
    }
    if (!m_parsed) {
        parse();
    }
    if (index < 0 || static_cast<size_t>(index) >= m_items.size()) {
        return false;
    }
    const auto [first, last] = m_items[static_cast<size_t>(index)];
    if (expressionEnd(m_pieces, first, last) != last) {
        return false; // an alias
    }
    // x, t.x, t.*: named by the column.
    for (size_t i = first; i < last; ++i) {
        const bool expected = (i - first) % 2 == 0 ? (m_pieces[i].isNameLike() &&
                                                      !tsql::isReservedWord(m_pieces[i])) ||
                                                         m_pieces[i].isPunctuation(u"*")
                                                   : m_pieces[i].isPunctuation(u".");
        if (!expected) {
            return true;
        }
    }
    return (last - first) % 2 == 0;
}

void QueryTyping::parse() {
    m_parsed = true;
    const char* sql = sqlite3_sql(m_statement);
    if (!sql) {
        return;
    }
    m_pieces = tsql::toPieces(tsql::tokenize(QString::fromUtf8(sql)));
    // A WITH clause's queries sit in parentheses: the first SELECT at the
    // top level is the one that gives the columns.
    const size_t select = tsql::findTopLevelWord(m_pieces, 0, m_pieces.size(), u"SELECT");
    if (select >= m_pieces.size()) {
        return;
    }
    size_t from = select + 1;
    if (from < m_pieces.size() &&
        (m_pieces[from].isWord(u"DISTINCT") || m_pieces[from].isWord(u"ALL"))) {
        ++from;
    }
    size_t end = from;
    while (end < m_pieces.size() && !endsSelectList(m_pieces[end])) {
        end = m_pieces[end].isPunctuation(u"(") ? tsql::closeOf(m_pieces, end) + 1 : end + 1;
    }
    end = std::min(end, m_pieces.size());
    findBranches(select);
    m_listFirst = from;
    m_listLast = end;
    m_items = tsql::splitTopLevel(m_pieces, from, end);
    // SELECT * of one column has as many items as columns, and still no
    // expression for it: its column is typed by its name.
    if (static_cast<int>(m_items.size()) != sqlite3_column_count(m_statement) ||
        std::any_of(m_items.begin(), m_items.end(),
                    [&](const auto& item) { return isStarItem(m_pieces, item); })) {
        m_items.clear();
    }
    // The FROM clause's objects, for the views among them.
    if (end < m_pieces.size() && m_pieces[end].isWord(u"FROM")) {
        size_t i = end + 1;
        while (i < m_pieces.size() &&
               !(endsSelectList(m_pieces[i]) && i > end + 1 && !m_pieces[i].isWord(u"FROM"))) {
            if (m_pieces[i].isPunctuation(u"(")) {
                i = tsql::closeOf(m_pieces, i) + 1;
                continue;
            }
            if (m_pieces[i].isNameLike() && !tsql::isReservedWord(m_pieces[i]) &&
                (i == 0 || !m_pieces[i - 1].isPunctuation(u"."))) {
                m_sources << m_pieces[i].value();
            }
            ++i;
        }
    }
}

// The queries joined by UNION, EXCEPT or INTERSECT at the top level, from
// the first SELECT to the compound's ORDER BY or LIMIT.
void QueryTyping::findBranches(size_t select) {
    size_t start = select;
    for (size_t i = select; i < m_pieces.size(); ++i) {
        const tsql::Piece& piece = m_pieces[i];
        if (piece.isPunctuation(u"(")) {
            i = tsql::closeOf(m_pieces, i);
        } else if (piece.isWord(u"UNION") || piece.isWord(u"EXCEPT") ||
                   piece.isWord(u"INTERSECT")) {
            m_branches.emplace_back(start, i);
            start = i + 1 < m_pieces.size() && m_pieces[i + 1].isWord(u"ALL") ? i + 2 : i + 1;
        } else if (piece.isWord(u"ORDER") || piece.isWord(u"LIMIT")) {
            break;
        }
    }
    if (!m_branches.empty()) {
        size_t end = start;
        while (end < m_pieces.size() && !m_pieces[end].isWord(u"ORDER") &&
               !m_pieces[end].isWord(u"LIMIT")) {
            end = m_pieces[end].isPunctuation(u"(") ? tsql::closeOf(m_pieces, end) + 1 : end + 1;
        }
        m_branches.emplace_back(start, std::min(end, m_pieces.size()));
    }
}

std::optional<NumericType> QueryTyping::numericTypeOf(size_t from, size_t to) {
    // A literal keeps its digits, which count when it meets a decimal.
    if (to - from == 1 && m_pieces[from].kind == TokenKind::Number) {
        return NumericType::fromLiteral(m_pieces[from].text);
    }
    const std::optional<QString> declaration = typeOf(from, to);
    return declaration ? NumericType::fromDeclaration(*declaration) : std::nullopt;
}

std::optional<QString> QueryTyping::arithmetic(size_t leftFrom, size_t leftTo, QChar op,
                                               size_t rightFrom, size_t rightTo) {
    // Both sides are typed (once: typing a side again would wrap its own
    // arithmetic twice), also beside a text: 'x' + CAST(m AS varchar)
    // converts the money with its type's two decimals, and arithmetic
    // inside either side is worked out exactly.
    const auto typed = [&](size_t from, size_t to) {
        if (to - from == 1 && m_pieces[from].kind == TokenKind::Number) {
            return std::pair{std::optional<QString>(), NumericType::fromLiteral(m_pieces[from].text)};
        }
        const std::optional<QString> declared = typeOf(from, to);
        return std::pair{declared,
                         declared ? NumericType::fromDeclaration(*declared) : std::nullopt};
    };
    auto [leftDeclared, left] = typed(leftFrom, leftTo);
    auto [rightDeclared, right] = typed(rightFrom, rightTo);
    if (op == QLatin1Char('+') || op == QLatin1Char('-')) {
        if (const std::optional<QString> moved = dateArithmetic(
                {leftFrom, leftTo, leftDeclared}, op, {rightFrom, rightTo, rightDeclared})) {
            return moved;
        }
    }
    if (!left) {
        left = binaryAsWhole(leftFrom, leftTo, right);
    } else if (!right) {
        right = binaryAsWhole(rightFrom, rightTo, left);
    }
    if (!left || !right) {
        return std::nullopt;
    }
    const NumericType result = NumericType::combine(*left, op, *right);
    const bool native = m_pieces[leftTo].isPunctuation(QString(op));
    const QString function = exactFunction(op, result);
    if (op == QLatin1Char('/') && !result.isWhole() && native && function.isEmpty()) {
        m_wrappings.push_back({leftFrom, rightTo - 1, leftTo,
                               isMoney(result) ? QStringLiteral("tsql_money_divide(")
                                               : QStringLiteral("tsql_fractional_divide("),
                               QStringLiteral(")"), {}});
    }
    if (!function.isEmpty() && native) {
        m_wrappings.push_back({leftFrom, rightTo - 1, leftTo, function + QLatin1Char('('),
                               QStringLiteral(", %1)").arg(typeArgument(result)),
                               typeArgument(result)});
    }
    // a + b and a - b reach here as tsql_add(a, b) and tsql_subtract(a, b)
    // (which also join text and move dates); their operands are numbers now.
    const bool addCall = (op == QLatin1Char('+') || op == QLatin1Char('-')) && leftFrom >= 2 &&
                         m_pieces[leftFrom - 2].isWord(op == QLatin1Char('+') ? u"tsql_add"
                                                                              : u"tsql_subtract") &&
                         m_pieces[leftTo].isPunctuation(u",") && rightTo < m_pieces.size();
    // Whole numbers narrower than bigint are worked out in 64 bits: a result
    // outside its type's range is the server's 8115, not a wider number
    // (bigint's own overflow SQLite reports).
    if (result.isWhole() && result.kind() != NumericType::Kind::BigInt && op != QLatin1Char('/') &&
        op != QLatin1Char('%') && (addCall || native)) {
        m_wrappings.push_back({addCall ? leftFrom - 2 : leftFrom, addCall ? rightTo : rightTo - 1,
                               none, QStringLiteral("tsql_int_result("),
                               QStringLiteral(", '%1')").arg(result.declaration()), {}});
    }
    if (addCall && !function.isEmpty()) {
        m_exactAdditions.push_back({leftFrom - 2, rightTo, typeArgument(result)});
    } else if (addCall && !left->isWhole() && !right->isWhole()) {
        // Of two floats: SQLite's own '+' and '-' work them the same (no
        // whole-number overflow to check), without a call per row.
        m_nativeAdditions.push_back({leftFrom - 2, leftTo});
    }
    return result.declaration();
}

namespace {

bool isDateTimeDeclaration(const std::optional<QString>& declared) {
    return dateTimeTypeOf(declared).has_value();
}

} // namespace

// datetime + datetime, datetime + text, datetime - text: by data type
// precedence the other side becomes a datetime too ('a' fails with 241), and
// a datetime meets another as its days since 1900, which tsql_add and
// tsql_subtract move the date by; without this they would join the texts.
std::optional<QString> QueryTyping::dateArithmetic(const Operand& left, QChar op,
                                                   const Operand& right) {
    const auto isText = [&](const Operand& side) {
        return (side.declared && isTextDeclaration(*side.declared)) ||
               (side.to - side.from == 1 && m_pieces[side.from].kind == TokenKind::String);
    };
    const bool leftDate = isDateTimeDeclaration(left.declared);
    const bool rightDate = isDateTimeDeclaration(right.declared);
    const Operand* moved = nullptr;
    if (leftDate && (rightDate || isText(right))) {
        moved = &right;
    } else if (op == QLatin1Char('+') && rightDate && isText(left)) {
        moved = &left;
    }
    if (!moved) {
        return std::nullopt;
    }
    const bool date = isDateTimeDeclaration(moved->declared);
    m_wrappings.push_back({moved->from, moved->to - 1, none,
                           date ? QStringLiteral("tsql_convert('float', ")
                                : QStringLiteral("tsql_convert('float', tsql_convert('datetime', "),
                           date ? QStringLiteral(", NULL, 'datetime')")
                                : QStringLiteral("), NULL, 'datetime')"),
                           {}});
    return leftDate ? left.declared : right.declared;
}

std::optional<NumericType> QueryTyping::binaryAsWhole(size_t from, size_t to,
                                                      const std::optional<NumericType>& other) {
    if (!other) {
        return std::nullopt;
    }
    const std::optional<QString> declaration = typeOf(from, to);
    if (!declaration || !isBinaryDeclaration(*declaration)) {
        return std::nullopt;
    }
    // Beside money, a decimal or a float the bytes would be read in the
    // server's own layout of that type; SQLite would take them as 0.
    if (!other->isWhole()) {
        failWith(sqlite::native::NotSupported,
                 {QStringLiteral("arithmetic of %1 with binary data").arg(other->declaration())});
    }
    convertInPlace(from, to, other->declaration());
    return other;
}

// The binary '-' (else '*', '/' or '%') that is applied last in [from, to).
size_t QueryTyping::lastBinaryOperator(size_t from, size_t to) const {
    size_t additive = none;
    size_t multiplicative = none;
    for (size_t i = from; i < to; ++i) {
        if (m_pieces[i].isPunctuation(u"(")) {
            i = tsql::closeOf(m_pieces, i);
            continue;
        }
        if (!isArithmeticOperator(m_pieces[i]) || i == from ||
            isArithmeticOperator(m_pieces[i - 1])) {
            continue; // a sign, not an operator
        }
        if (m_pieces[i].isPunctuation(u"-") || m_pieces[i].isPunctuation(u"+")) {
            additive = i;
        } else {
            multiplicative = i;
        }
    }
    return additive != none ? additive : multiplicative;
}

std::optional<QString> QueryTyping::typeOf(size_t from, size_t to) {
    // x COLLATE c is of x's type.
    if (to - from > 2 && m_pieces[to - 2].isWord(u"COLLATE")) {
        to -= 2;
    }
    // agg(x) FILTER (WHERE ...) has the aggregate's type (PIVOT's columns).
    if (to - from > 4 && m_pieces[to - 1].isPunctuation(u")")) {
        const size_t open = tsql::openOf(m_pieces, to - 1);
        if (open != size_t(-1) && open > from && m_pieces[open - 1].isWord(u"FILTER")) {
            to = open - 1;
        }
    }
    // f(x) OVER (...) has the function's type: SUM(m) OVER () of money is
    // money, worked out exactly as the plain aggregate is.
    if (to - from > 3 && m_pieces[to - 1].isPunctuation(u")")) {
        const size_t open = tsql::openOf(m_pieces, to - 1);
        if (open != size_t(-1) && open > from + 1 && m_pieces[open - 1].isWord(u"OVER") &&
            m_pieces[open - 2].isPunctuation(u")")) {
            to = open - 1;
        }
    }
    while (from + 1 < to && m_pieces[from].isPunctuation(u"(") &&
           tsql::closeOf(m_pieces, from) == to - 1) {
        if (m_pieces[from + 1].isWord(u"SELECT")) {
            return ofSubquery(from + 1, to - 1);
        }
        ++from;
        --to;
    }
    if (from >= to) {
        return std::nullopt;
    }
    if (m_pieces[from].isWord(u"CASE") && tsql::endOfCase(m_pieces, from) == to - 1) {
        typeConditions(from, to);
        return ofAlternatives(caseResults(from, to));
    }
    if (const size_t op = lastBinaryOperator(from, to); op != none) {
        return arithmetic(from, op, m_pieces[op].text.front(), op + 1, to);
    }
    if (m_pieces[from].isPunctuation(u"-") || m_pieces[from].isPunctuation(u"+")) {
        const std::optional<NumericType> operand = numericTypeOf(from + 1, to);
        return operand ? std::optional<QString>(NumericType::withSign(*operand).declaration())
                       : std::nullopt;
    }
    // ~ keeps its operand's type; of a bit or a tinyint it flips only their
    // own bits (SQLite's ~1 is -2, the server's ~CAST(1 AS bit) 0).
    if (m_pieces[from].isPunctuation(u"~")) {
        const std::optional<NumericType> operand = numericTypeOf(from + 1, to);
        const auto kind = operand ? operand->kind() : NumericType::Kind::Int;
        if (kind == NumericType::Kind::Bit || kind == NumericType::Kind::TinyInt) {
            m_wrappings.push_back({from, to - 1, none, QStringLiteral("(("),
                                   kind == NumericType::Kind::Bit ? QStringLiteral(") & 1)")
                                                                  : QStringLiteral(") & 255)"),
                                   {}});
        }
        return operand ? std::optional<QString>(operand->declaration()) : std::nullopt;
    }
    if (to - from >= 3 && m_pieces[from].kind == TokenKind::Word &&
        m_pieces[from + 1].isPunctuation(u"(") && tsql::closeOf(m_pieces, from + 1) == to - 1) {
        return ofCall(from, to);
    }
    if (to - from == 1 && m_pieces[from].kind == TokenKind::Number) {
        const std::optional<NumericType> literal = NumericType::fromLiteral(m_pieces[from].text);
        return literal ? std::optional<QString>(literal->declaration()) : std::nullopt;
    }
    if (to - from == 2 && isBinaryLiteral(m_pieces, from, from + 1)) {
        const qsizetype bytes = m_pieces[from + 1].value().size() / 2;
        return QStringLiteral("varbinary(%1)").arg(std::max<qsizetype>(bytes, 1));
    }
    return ofColumnReference(from, to);
}

namespace {

// The arguments a function converts to text, by position; empty for all of
// them (CONCAT); nothing for a function that takes no text.
std::optional<QList<int>> textArgumentsOf(const QString& function) {
    static const QHash<QString, QList<int>> positions = {
        {"tsql_concat", {}},       {"tsql_concat_ws", {}},       {"tsql_len", {0}},
        {"tsql_left", {0}},        {"tsql_right", {0}},          {"tsql_substring", {0}},
        {"tsql_upper", {0}},       {"tsql_lower", {0}},          {"ltrim", {0}},
        {"rtrim", {0}},            {"tsql_reverse", {0}},        {"tsql_replicate", {0}},
        {"tsql_quotename", {0}},   {"tsql_replace", {0, 1, 2}},  {"tsql_charindex", {0, 1}},
        {"tsql_patindex", {0, 1}}, {"tsql_stuff", {0, 3}},         {"tsql_string_agg", {0, 1}}};
    const auto found = positions.constFind(function);
    return found == positions.constEnd() ? std::nullopt : std::optional<QList<int>>(*found);
}

} // namespace

std::optional<QString> QueryTyping::ofCall(size_t from, size_t to) {
    const QString name = m_pieces[from].text.toLower();
    const auto arguments = tsql::splitTopLevel(m_pieces, from + 2, to - 1);
    // The current time's functions, of the types their pages give.
    if (name == QLatin1String("tsql_sysdatetimeoffset")) {
        return QStringLiteral("datetimeoffset(7)");
    }
    if (name == QLatin1String("tsql_sysdatetime") || name == QLatin1String("tsql_sysutcdatetime")) {
        return QStringLiteral("datetime2(7)");
    }
    if (name == QLatin1String("tsql_getdate") || name == QLatin1String("tsql_getutcdate")) {
        return QStringLiteral("datetime");
    }
    if (name == QLatin1String("tsql_char") || name == QLatin1String("tsql_nchar")) {
        return name == QLatin1String("tsql_char") ? QStringLiteral("char(1)") : QStringLiteral("nchar(1)");
    }
    if (arguments.empty()) {
        return std::nullopt;
    }
    if (const auto offset = ofOffsetFunction(name, arguments)) {
        return offset;
    }
    if ((name == QLatin1String("tsql_fractional_divide") || name == QLatin1String("tsql_divide") ||
         name == QLatin1String("tsql_money_divide") || name == QLatin1String("tsql_modulo")) &&
        arguments.size() == 2) {
        const QChar op = name == QLatin1String("tsql_modulo") ? QLatin1Char('%') : QLatin1Char('/');
        const std::optional<QString> result = arithmetic(
            arguments[0].first, arguments[0].second, op, arguments[1].first, arguments[1].second);
        if (result && name != QLatin1String("tsql_modulo")) {
            const NumericType type = *NumericType::fromDeclaration(*result);
            if (isMoney(type)) {
                m_moneyDivisions.push_back(from);
            } else if (type.kind() == NumericType::Kind::Decimal) {
                if (std::none_of(m_exactDivisions.begin(), m_exactDivisions.end(),
                                 [&](const ExactAddition& noted) { return noted.name == from; })) {
                    m_exactDivisions.push_back({from, to - 1, typeArgument(type)});
                }
            } else if (name == QLatin1String("tsql_divide") && !type.isWhole()) {
                m_fractionalCalls.push_back(from);
            }
        }
        return result;
    }
    if (name == QLatin1String("coalesce")) {
        return ofAlternatives(arguments);
    }
    static const QSet<QString> floats = {"stdev",  "stdevp", "var",  "varp", "square",
                                         "atn2",   "cot",    "rand", "tsql_rand", "sqrt", "exp",
                                         "log",    "log10",  "sin",  "cos",  "tan",
                                         "asin",   "acos",   "atan", "pi"};
    if (floats.contains(name)) {
        return QStringLiteral("float");
    }
    // ISNULL is of its first argument's type, to which the replacement is
    // converted: ISNULL(CAST(NULL AS varchar(2)), 'abcd') is 'ab'.
    if (name == QLatin1String("ifnull") && arguments.size() == 2) {
        const std::optional<QString> checked = typeOf(arguments[0].first, arguments[0].second);
        const auto [first, last] = arguments[1];
        const std::optional<QString> replacement = typeOf(first, last);
        const std::optional<QString> target = checked ? conversionTarget(*checked) : std::nullopt;
        const bool literalNull = last == first + 1 && m_pieces[first].isWord(u"NULL");
        if (target && !literalNull && replacement != checked) {
            // A number becomes text by its type (money with two decimals, a float in six digits).
            const std::optional<NumericType> number =
                replacement ? NumericType::fromDeclaration(*replacement) : std::nullopt;
            const bool typedText = number && number->hasTypedText() &&
                                   tsql::describeDeclaredType(*target).isText;
            convertInPlace(first, last, *target, typedText ? number->declaration() : QString());
        }
        return checked;
    }
    // tsql_exact_add(a, b, 'money') and the others: the type they name.
    if (name.startsWith(QLatin1String("tsql_exact_")) && arguments.size() == 3 &&
        m_pieces[arguments[2].first].kind == TokenKind::String) {
        return m_pieces[arguments[2].first].value();
    }
    if (name == QLatin1String("tsql_datalength")) {
        return ofDataLength(to - 1, arguments);
    }
    if (name == QLatin1String("tsql_sql_variant_property")) {
        // A sql_variant of any base type: typed by its values.
        if (arguments.size() == 2) {
            noteVariantBase(to - 1, arguments);
        }
        return std::nullopt;
    }
    if (const auto built = ofDateFromParts(name, arguments)) {
        return built;
    }
    if (name == QLatin1String("tsql_format")) {
        noteFormattedScale(arguments);
        return std::nullopt;
    }
    if (name == QLatin1String("tsql_hashbytes")) {
        return ofHash(to - 1, arguments);
    }
    if (name == QLatin1String("tsql_dateadd")) {
        return ofDateAdd(to - 1, arguments);
    }
    // a + b, which also joins text, and a - b, which also moves dates.
    if (name == QLatin1String("tsql_add") || name == QLatin1String("tsql_subtract")) {
        if (arguments.size() != 2) {
            return std::nullopt;
        }
        return arithmetic(arguments[0].first, arguments[0].second,
                          name == QLatin1String("tsql_add") ? QLatin1Char('+') : QLatin1Char('-'),
                          arguments[1].first, arguments[1].second);
    }
    // CAST, CONVERT, their TRY_ forms and PARSE: the type they name.
    if ((name == QLatin1String("tsql_convert") || name == QLatin1String("tsql_try_convert") ||
         name == QLatin1String("tsql_parse") || name == QLatin1String("tsql_try_parse")) &&
        m_pieces[arguments[0].first].kind == TokenKind::String &&
        arguments[0].second == arguments[0].first + 1) {
        noteTypedConversion(to, arguments);
        // A conversion of a conversion: the inner one is typed too.
        if (arguments.size() > 1 && m_pieces[arguments[1].first].isWord(u"tsql_convert")) {
            typeOf(arguments[1].first, arguments[1].second);
        }
        return m_pieces[arguments[0].first].value().trimmed();
    }
    // FLOOR and CEILING keep their argument's type, a decimal without its fraction.
    if ((name == QLatin1String("tsql_floor") || name == QLatin1String("tsql_ceiling")) &&
        arguments.size() == 1) {
        const std::optional<NumericType> argument =
            numericTypeOf(arguments[0].first, arguments[0].second);
        if (!argument) {
            return std::nullopt;
        }
        return argument->kind() == NumericType::Kind::Decimal
                   ? QStringLiteral("decimal(%1,0)").arg(argument->precision())
                   : argument->declaration();
    }
    // CONCAT and CONCAT_WS convert each value to text as CAST would: money
    // with two decimals, a decimal with its scale (2.50 stays 2.50), a float
    // in six digits; the text functions their text arguments (LEN of a float
    // counts the digits CAST writes).
    if (const std::optional<QList<int>> texts = textArgumentsOf(name)) {
        for (size_t a = 0; a < arguments.size(); ++a) {
            if (texts->isEmpty() || texts->contains(static_cast<int>(a))) {
                convertExactToText(arguments[a].first, arguments[a].second); // types it too
            } else {
                typeOf(arguments[a].first, arguments[a].second);
            }
        }
        return std::nullopt;
    }
    // Functions whose result keeps their first argument's type.
    static const QSet<QString> inheriting = {
        "min",           "max",           "sum",           "avg",
        "ifnull",        "nullif",        "abs",           "sign",           "tsql_round",    "power",
        "tsql_single_value", "tsql_money_sum", "tsql_money_avg", "tsql_decimal_sum",
        "tsql_decimal_avg", "lag",            "lead",           "first_value",
        "last_value",    "tsql_int_result"};
    if (!inheriting.contains(name)) {
        // Of a type of its own, which this typing does not tell: its
        // arguments are still typed, for the conversions and arithmetic in
        // them (CONCAT('x', CAST(m AS varchar))).
        for (const auto& [argumentFrom, argumentTo] : arguments) {
            typeOf(argumentFrom, argumentTo);
        }
        return std::nullopt;
    }
    auto [argumentFrom, argumentTo] = arguments.front();
    const bool distinct = argumentFrom < argumentTo && m_pieces[argumentFrom].isWord(u"DISTINCT");
    if (argumentFrom < argumentTo &&
        (distinct || m_pieces[argumentFrom].isWord(u"ALL"))) {
        ++argumentFrom;
    }
    // A total that works out its operation itself: of the type it names.
    const bool operationTotal =
        arguments.size() == 4 && m_pieces[arguments[3].first].kind == TokenKind::String &&
        (name.startsWith(QLatin1String("tsql_money_")) ||
         name.startsWith(QLatin1String("tsql_decimal_")));
    const std::optional<QString> inherited =
        operationTotal ? std::optional<QString>(m_pieces[arguments[3].first].value())
                       : typeOf(argumentFrom, argumentTo);
    if ((name == QLatin1String("sum") || name == QLatin1String("avg") ||
         name == QLatin1String("min") || name == QLatin1String("max")) &&
        inherited &&
        isColumnChain(m_pieces, argumentFrom, argumentTo)) {
        refuseNonNumericTotal(*inherited, name);
    }
    const std::optional<NumericType> type =
        inherited ? NumericType::fromDeclaration(*inherited) : std::nullopt;
    if (!type) {
        return inherited;
    }
    // SIGN keeps a bigint, money or decimal type; smaller whole numbers give
    // int, real gives float (its page's return types).
    if (name == QLatin1String("sign")) {
        if (type->kind() == NumericType::Kind::TinyInt || type->kind() == NumericType::Kind::SmallInt ||
            type->kind() == NumericType::Kind::Bit) {
            return QStringLiteral("int");
        }
        if (type->kind() == NumericType::Kind::Real) {
            return QStringLiteral("float");
        }
        return inherited;
    }
    // What these give must fit their argument's type: ABS of the smallest
    // int is no int, ROUND(748.58, -3) no decimal(5,2); SQLite gives both.
    if (name == QLatin1String("abs") && type->kind() == NumericType::Kind::Int) {
        m_wrappings.push_back(
            {from, to - 1, none, QStringLiteral("tsql_int_result("), QStringLiteral(")"), {}});
    } else if (name == QLatin1String("tsql_round") && type->kind() == NumericType::Kind::Decimal) {
        m_wrappings.push_back({from, to - 1, none,
                               QStringLiteral("tsql_convert('%1', ").arg(type->declaration()),
                               QStringLiteral(")"), {}});
    }
    const bool sum = name == QLatin1String("sum") || name == QLatin1String("tsql_money_sum") ||
                     name == QLatin1String("tsql_decimal_sum");
    const bool average = name == QLatin1String("avg") || name == QLatin1String("tsql_money_avg") ||
                         name == QLatin1String("tsql_decimal_avg");
    if (!sum && !average) {
        return inherited;
    }
    // Of real values they are a float (its values add in eight bytes).
    if (type->kind() == NumericType::Kind::Real) {
        return QStringLiteral("float");
    }
    // SUM and AVG of money are money; of a decimal they widen it to 38
    // digits, AVG keeping six places at least. Both are worked out exactly.
    const bool plain = name == QLatin1String("sum") || name == QLatin1String("avg");
    const bool takenIn = plain && !distinct && takeInOperation(argumentFrom, argumentTo);
    if (isMoney(*type)) {
        if (plain) {
            m_exactAggregates.push_back(
                {from, to - 1, sum ? QStringLiteral("tsql_money_sum") : QStringLiteral("tsql_money_avg"),
                 {}});
        }
        return QStringLiteral("money");
    }
    if (type->kind() != NumericType::Kind::Decimal) {
        return inherited;
    }
    // The exact decimal aggregates take the values' scale; with DISTINCT
    // (one argument only) they read it from the values, which AVG is given
    // as their text at their type's scale (a double's 0.5 has one decimal).
    const QString scale = takenIn || distinct ? QString() : QString::number(type->scale());
    if (name == QLatin1String("sum")) {
        m_exactAggregates.push_back({from, to - 1, QStringLiteral("tsql_decimal_sum"), scale});
    } else if (name == QLatin1String("avg")) {
        m_exactAggregates.push_back({from, to - 1, QStringLiteral("tsql_decimal_avg"), scale});
        if (distinct) {
            m_wrappings.push_back({argumentFrom, argumentTo - 1, none,
                                   QStringLiteral("tsql_convert('varchar(50)', "),
                                   QStringLiteral(", NULL, %1)").arg(typeArgument(*type)),
                                   {}});
        }
    }
    return QStringLiteral("decimal(38,%1)").arg(average ? std::max(type->scale(), 6) : type->scale());
}

bool QueryTyping::takeInOperation(size_t argumentFrom, size_t argumentTo) {
    if (!m_wrappings.empty() && m_wrappings.back().first == argumentFrom &&
        m_wrappings.back().last == argumentTo - 1 && !m_wrappings.back().exactType.isEmpty()) {
        Wrapping& operation = m_wrappings.back();
        const QString symbol = tsql::Token::string(m_pieces[operation.op].text).text;
        operation.prefix.clear();
        operation.suffix = QStringLiteral(", %1, %2").arg(symbol, operation.exactType);
        return true;
    }
    if (!m_exactAdditions.empty() && m_exactAdditions.back().name == argumentFrom &&
        m_exactAdditions.back().close == argumentTo - 1) {
        m_exactAdditions.back().summed = true;
        return true;
    }
    if (!m_exactDivisions.empty() && m_exactDivisions.back().name == argumentFrom &&
        m_exactDivisions.back().close == argumentTo - 1) {
        m_exactDivisions.back().summed = true;
        return true;
    }
    if (!m_moneyDivisions.empty() && m_moneyDivisions.back() == argumentFrom &&
        tsql::closeOf(m_pieces, argumentFrom + 1) == argumentTo - 1) {
        m_summedDivisions.emplace_back(argumentFrom, argumentTo - 1);
        return true;
    }
    return false;
}

void QueryTyping::convertInPlace(size_t first, size_t last, const QString& type,
                                 const QString& source) {
    m_wrappings.push_back(
        {first, last - 1, none,
         QStringLiteral("tsql_convert(%1, ").arg(tsql::Token::string(type).text),
         source.isEmpty() ? QStringLiteral(")")
                          : QStringLiteral(", NULL, %1)").arg(tsql::Token::string(source).text),
         {}});
}

void QueryTyping::convertExactToText(size_t from, size_t to) {
    // Typed once: typing the value again would wrap its arithmetic twice.
    const bool literal = to - from == 1 && m_pieces[from].kind == TokenKind::Number;
    const std::optional<QString> declared = literal ? std::nullopt : typeOf(from, to);
    const std::optional<NumericType> type =
        literal    ? NumericType::fromLiteral(m_pieces[from].text)
        : declared ? NumericType::fromDeclaration(*declared)
                   : std::nullopt;
    // A datetime as CAST writes it too (style 0).
    const std::optional<QString> source = type && type->hasTypedText()
                                              ? std::optional<QString>(type->declaration())
                                              : dateTimeTypeOf(declared);
    if (!source) {
        return;
    }
    m_wrappings.push_back({from, to - 1, none, QStringLiteral("tsql_convert('varchar(max)', "),
                           QStringLiteral(", NULL, %1)").arg(tsql::Token::string(*source).text),
                           {}});
}

// The conditions of a searched CASE ... END in [from, to), and the operand
// and WHEN values of a simple one: their arithmetic is typed (and made exact)
// as the results' is. IF and WHILE reach here too, as CASE WHEN condition
// THEN 1 ELSE 0 END.
void QueryTyping::typeConditions(size_t from, size_t to) {
    if (from + 1 >= to) {
        return;
    }
    const bool simple = !m_pieces[from + 1].isWord(u"WHEN");
    const auto typeValue = [&](size_t first, size_t last) {
        if (const auto operand = arithmeticOperand(m_pieces, first, last)) {
            typeOf(operand->first, operand->second);
        }
    };
    size_t when = none;
    bool operandTyped = !simple;
    for (size_t i = from + 1; i < to; ++i) {
        const tsql::Piece& piece = m_pieces[i];
        if (piece.isWord(u"WHEN")) {
            if (!operandTyped) {
                typeValue(from + 1, i);
                operandTyped = true;
            }
            when = i;
        } else if (piece.isWord(u"THEN") && when != none) {
            if (simple) {
                typeValue(when + 1, i);
            } else {
                for (const auto& [first, last] : arithmeticOperands(m_pieces, when + 1, i)) {
                    typeOf(first, last);
                }
            }
            when = none;
        } else if (piece.isPunctuation(u"(")) {
            i = tsql::closeOf(m_pieces, i);
        } else if (piece.isWord(u"CASE")) {
            i = tsql::endOfCase(m_pieces, i);
        }
    }
}

// The result expressions of CASE ... END in [from, to): what follows each
// THEN and the ELSE.
std::vector<std::pair<size_t, size_t>> QueryTyping::caseResults(size_t from, size_t to) const {
    std::vector<std::pair<size_t, size_t>> results;
    size_t start = none;
    for (size_t i = from + 1; i < to; ++i) {
        const tsql::Piece& piece = m_pieces[i];
        const bool ends = piece.isWord(u"WHEN") || piece.isWord(u"ELSE") || i == to - 1;
        if (ends && start != none) {
            results.emplace_back(start, i);
            start = none;
        }
        if (piece.isWord(u"THEN") || piece.isWord(u"ELSE")) {
            start = i + 1;
        } else if (piece.isPunctuation(u"(")) {
            i = tsql::closeOf(m_pieces, i);
        } else if (piece.isWord(u"CASE")) {
            i = tsql::endOfCase(m_pieces, i);
        }
    }
    return results;
}

// A value that is one of several expressions (CASE, COALESCE) takes the
// type of highest precedence among them: dates over numbers, numbers over
// text. Nothing when one of them cannot be typed.
std::optional<QString> QueryTyping::ofAlternatives(
    const std::vector<std::pair<size_t, size_t>>& alternatives) {
    std::vector<std::optional<QString>> declarations;
    std::vector<std::pair<size_t, size_t>> texts;
    for (const auto& [first, last] : alternatives) {
        if (last == first + 1 && m_pieces[first].isWord(u"NULL")) {
            continue;
        }
        if (last == first + 1 && m_pieces[first].kind == TokenKind::String) {
            declarations.emplace_back(QStringLiteral("varchar"));
            texts.emplace_back(first, last);
            continue;
        }
        declarations.push_back(typeOf(first, last));
        if (declarations.back() && givesWayToOthers(*declarations.back())) {
            texts.emplace_back(first, last);
        }
    }
    const std::optional<QString> result = highestPrecedence(declarations);
    // Text among numbers or dates is converted to the result's type, and
    // fails as that conversion does (245 for text that is no int).
    const std::optional<QString> target = result ? conversionTarget(*result) : std::nullopt;
    if (target) {
        for (const auto& [first, last] : texts) {
            convertInPlace(first, last, *target);
        }
    }
    return result;
}

// A column of SELECT ... UNION [ALL] SELECT ... (EXCEPT, INTERSECT): the
// type of highest precedence among the queries' columns, where SQLite
// declares the first query's.
std::optional<QString> QueryTyping::ofUnion(int index) {
    const char* sql = sqlite3_sql(m_statement);
    if (!sql || !(strcasestr(sql, "union") || strcasestr(sql, "except") ||
                  strcasestr(sql, "intersect"))) {
        return std::nullopt;
    }
    if (!m_parsed) {
        parse();
    }
    if (m_branches.size() < 2) {
        return std::nullopt;
    }
    std::vector<std::optional<QString>> declarations;
    // The branches' items that are text, converted when the column is not.
    std::vector<std::pair<size_t, size_t>> texts;
    for (const auto& [first, last] : m_branches) {
        const auto item = branchItem(first, last, index);
        // A literal alone, its alias aside: a text is varchar, a NULL has no
        // type of its own and takes the column's.
        const bool single =
            item && expressionEnd(m_pieces, item->first, item->second) == item->first + 1;
        if (single && m_pieces[item->first].kind == TokenKind::String) {
            declarations.emplace_back(QStringLiteral("varchar"));
            texts.push_back(*item);
            continue;
        }
        if (single && m_pieces[item->first].isWord(u"NULL")) {
            continue;
        }
        QueryTyping branch(m_db,
                           tsql::render(m_pieces, 0, m_branches.front().first) + QLatin1Char(' ') +
                               tsql::render(m_pieces, first, last),
                           m_depth + 1);
        declarations.push_back(branch.declarationOf(index));
        if (item && declarations.back() && givesWayToOthers(*declarations.back())) {
            texts.push_back(*item);
        }
    }
    const std::optional<QString> result = highestPrecedence(declarations);
    const std::optional<QString> target = result ? conversionTarget(*result) : std::nullopt;
    if (!target) {
        return result;
    }
    for (const auto& [first, last] : texts) {
        const size_t end = expressionEnd(m_pieces, first, last);
        convertInPlace(first, end, *target);
        // The first query names the column: a column converted keeps its name.
        const bool columnReference =
            end == last && m_pieces[end - 1].isNameLike() &&
            (end == first + 1 || m_pieces[end - 2].isPunctuation(u"."));
        if (first < m_branches.front().second && columnReference) {
            m_wrappings.back().suffix +=
                QStringLiteral(" AS ") + tsql::quoteName(m_pieces[end - 1].value());
        }
    }
    return result;
}

// The date constructors give their type; datetime2 and time the precision
// of their last argument, a literal.
std::optional<QString> QueryTyping::ofDateFromParts(
    const QString& name, const std::vector<std::pair<size_t, size_t>>& arguments) const {
    static const QHash<QString, QString> fixed = {
        {"tsql_datefromparts", "date"},
        {"tsql_datetimefromparts", "datetime"},
        {"tsql_smalldatetimefromparts", "smalldatetime"}};
    if (const auto it = fixed.find(name); it != fixed.end()) {
        return *it;
    }
    static const QHash<QString, QString> withPrecision = {
        {"tsql_datetime2fromparts", "datetime2"},
        {"tsql_timefromparts", "time"},
        {"tsql_datetimeoffsetfromparts", "datetimeoffset"}};
    const auto built = withPrecision.find(name);
    if (built == withPrecision.end()) {
        return std::nullopt;
    }
    const auto [first, last] = arguments.back();
    const bool literal = last == first + 1 && m_pieces[first].kind == TokenKind::Number;
    const QString& base = *built;
    return literal ? QStringLiteral("%1(%2)").arg(base, m_pieces[first].text) : base;
}

// DATEADD is of its date's type. A smalldatetime is noted, since its text
// looks like a datetime2(0)'s and only it rounds the sum to the minute.
std::optional<QString>
QueryTyping::ofDateAdd(size_t close, const std::vector<std::pair<size_t, size_t>>& arguments) {
    if (arguments.size() != 3) {
        return std::nullopt;
    }
    const QString type = dateTypeName(typeOf(arguments[2].first, arguments[2].second));
    if (!tsql::dateKindOf(type)) {
        return std::nullopt;
    }
    const bool noted = std::any_of(m_declaredArguments.begin(), m_declaredArguments.end(),
                                   [&](const auto& call) { return call.first == close; });
    if (type == QLatin1String("smalldatetime") && !noted) {
        m_declaredArguments.emplace_back(close, type);
    }
    return type;
}

// SWITCHOFFSET, TODATETIMEOFFSET and AT TIME ZONE give a datetimeoffset of
// their value's digits of a second (a datetime's three, none of a
// smalldatetime).
std::optional<QString>
QueryTyping::ofOffsetFunction(const QString& name,
                              const std::vector<std::pair<size_t, size_t>>& arguments) {
    if (name != QLatin1String("tsql_switchoffset") &&
        name != QLatin1String("tsql_todatetimeoffset") &&
        name != QLatin1String("tsql_at_time_zone")) {
        return std::nullopt;
    }
    const QString type = dateTypeName(typeOf(arguments[0].first, arguments[0].second));
    const auto kind = tsql::dateKindOf(type);
    if (!kind) {
        return QStringLiteral("datetimeoffset");
    }
    const int digits = *kind == tsql::DateKind::DateTime ? 3 : tsql::fractionDigitsOf(type);
    return QStringLiteral("datetimeoffset(%1)").arg(digits);
}

// Item `index` of the select list of the branch [first, last) of a UNION.
std::optional<std::pair<size_t, size_t>> QueryTyping::branchItem(size_t first, size_t last,
                                                                  int index) const {
    if (first >= last || !m_pieces[first].isWord(u"SELECT")) {
        return std::nullopt;
    }
    size_t from = first + 1;
    if (from < last && (m_pieces[from].isWord(u"DISTINCT") || m_pieces[from].isWord(u"ALL"))) {
        ++from;
    }
    size_t end = from;
    while (end < last && !endsSelectList(m_pieces[end])) {
        end = m_pieces[end].isPunctuation(u"(") ? tsql::closeOf(m_pieces, end) + 1 : end + 1;
    }
    const auto items = tsql::splitTopLevel(m_pieces, from, std::min(end, last));
    if (index < 0 || static_cast<size_t>(index) >= items.size()) {
        return std::nullopt;
    }
    return items[static_cast<size_t>(index)];
}

// Whether the conversion call closing at `close` has its source type noted:
// a call is typed once, however many ways its type is asked for.
bool QueryTyping::isConversionNoted(size_t close) const {
    return std::any_of(m_typedConversions.begin(), m_typedConversions.end(),
                       [&](const TypedConversion& c) { return c.close == close; });
}

// Money, decimal, float and real converted to text, to an integer or to a
// decimal convert by their own rules (tsql_convert's fourth argument): the
// call is noted with its value's type.
void QueryTyping::noteTypedConversion(size_t to,
                                      const std::vector<std::pair<size_t, size_t>>& arguments) {
    // CONVERT(type, x, NULL) is NULL whatever x's type: nothing to note.
    if (arguments.size() == 3 && arguments[2].second == arguments[2].first + 1 &&
        m_pieces[arguments[2].first].isWord(u"NULL")) {
        return;
    }
    static const QRegularExpression binary(QStringLiteral(R"(^\s*(var)?binary\b)"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (arguments.size() >= 2 && binary.match(m_pieces[arguments[0].first].value()).hasMatch()) {
        noteBinaryConversion(to, arguments);
        return;
    }
    static const QRegularExpression typedTarget(
        QStringLiteral(
            R"(^\s*(n?(var)?char|sysname|tinyint|smallint|int|bigint|decimal|numeric|float|real)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString target = arguments.size() >= 2 ? m_pieces[arguments[0].first].value() : QString();
    if (arguments.size() < 2 || arguments.size() > 3 || !typedTarget.match(target).hasMatch()) {
        return;
    }
    // The value is typed once: typing it again would wrap its arithmetic twice.
    const auto [valueFrom, valueTo] = arguments[1];
    const bool literal = valueTo - valueFrom == 1 && m_pieces[valueFrom].kind == TokenKind::Number;
    const std::optional<QString> declared = literal ? std::nullopt : typeOf(valueFrom, valueTo);
    if (declared && noteDateConversion(to, arguments, *declared)) {
        return;
    }
    static const QRegularExpression textOrWhole(
        QStringLiteral(R"(^\s*(n?(var)?char|sysname|tinyint|smallint|int|bigint|decimal|numeric)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    if (!textOrWhole.match(target).hasMatch()) {
        return;
    }
    const std::optional<NumericType> source =
        literal    ? NumericType::fromLiteral(m_pieces[valueFrom].text)
        : declared ? NumericType::fromDeclaration(*declared)
                   : std::nullopt;
    if (!source || !source->hasTypedText()) {
        return;
    }
    const bool noted = isConversionNoted(to - 1);
    if (!noted) {
        m_typedConversions.push_back({to - 1, source->declaration(), arguments.size() == 3});
    }
}

// A datetime or smalldatetime converted to text without a style takes style
// 0 (Jan  5 2024 10:20AM), to a number its days since 1900: a date's text
// alone cannot tell it, so the call is noted with its value's type.
bool QueryTyping::noteDateConversion(size_t to,
                                     const std::vector<std::pair<size_t, size_t>>& arguments,
                                     const QString& declared) {
    static const QRegularExpression target(
        QStringLiteral(R"(^\s*(n?(var)?char|sysname|tinyint|smallint|int|bigint|float|real)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const std::optional<QString> dated = dateTimeTypeOf(declared);
    if (!dated || !target.match(m_pieces[arguments[0].first].value()).hasMatch()) {
        return false;
    }
    if (!isConversionNoted(to - 1)) {
        m_typedConversions.push_back({to - 1, *dated, arguments.size() == 3});
    }
    return true;
}

// Text becomes two bytes a character when it is nvarchar, and a number the
// bytes of its type (an int four, a decimal its precision's): both are told
// by the value's type only.
void QueryTyping::noteBinaryConversion(size_t to,
                                       const std::vector<std::pair<size_t, size_t>>& arguments) {
    if (arguments.size() > 3) {
        return;
    }
    const auto [from, last] = arguments[1];
    std::optional<QString> source;
    if (isNationalText(from, last)) {
        source = QStringLiteral("nvarchar");
    } else if (const std::optional<NumericType> number = numericTypeOf(from, last)) {
        source = number->declaration();
    }
    const bool noted = isConversionNoted(to - 1);
    if (source && !noted) {
        m_typedConversions.push_back({to - 1, *source, arguments.size() == 3});
    }
}

// x, t.x, "x": the column's own declaration, found by putting it in the
// item's place (SQLite declares plain columns), or the view's expression.
std::optional<QString> QueryTyping::ofColumnReference(size_t from, size_t to) {
    if (!isColumnChain(m_pieces, from, to)) {
        return std::nullopt;
    }
    const QString probeText = tsql::render(m_pieces, 0, m_itemFirst) + QLatin1Char(' ') +
                              tsql::render(m_pieces, from, to) + QLatin1Char(' ') +
                              tsql::render(m_pieces, m_aliasFirst);
    PreparedStatement probe(m_db, probeText);
    if (!probe.ok() || probe.isEmpty() || sqlite3_column_count(probe.handle()) <= m_index) {
        return std::nullopt;
    }
    if (const char* declared = sqlite3_column_decltype(probe.handle(), m_index)) {
        return QString::fromUtf8(declared);
    }
    return fromViews(m_pieces[to - 1].value());
}

// (SELECT x FROM ...): the type of x. A correlated subquery does not
// compile alone; without its WHERE it names the same columns.
std::optional<QString> QueryTyping::ofSubquery(size_t from, size_t to) {
    QueryTyping whole(m_db, tsql::render(m_pieces, from, to), m_depth + 1);
    if (whole.prepared()) {
        return whole.declarationOf(0);
    }
    const size_t where = tsql::findTopLevelWord(m_pieces, from, to, u"WHERE");
    if (where >= to) {
        return std::nullopt;
    }
    QueryTyping uncorrelated(m_db, tsql::render(m_pieces, from, where), m_depth + 1);
    return uncorrelated.declarationOf(0);
}

SqliteDatabase::QueryColumnType QueryTyping::queryColumn(const QString& query,
                                                        const QString& column, int position) {
    const QString key = QString::number(m_depth) + QLatin1Char('@') + QString::number(position) +
                        QLatin1Char(':') + query;
    return keptColumnType(m_db, key, column, [&] {
        QueryTyping typing(m_db, query, m_depth + 1);
        const int index = position >= 0 ? position : typing.columnIndex(column);
        return index >= 0 && typing.prepared() && index < sqlite3_column_count(typing.statement())
                   ? SqliteDatabase::QueryColumnType{true, typing.declarationOf(index)}
                   : SqliteDatabase::QueryColumnType{};
    });
}

// WITH t (x) AS (VALUES (1), (2)) SELECT * FROM t, as the translator writes
// VALUES in FROM, and the user's own common table expressions: a column of
// one read by this query is typed from the expression's query, by position
// where it names its columns; VALUES as the UNION ALL of its rows.
SqliteDatabase::QueryColumnType QueryTyping::fromCommonTables(const QString& column) {
    if (m_pieces.empty() || !m_pieces[0].isWord(u"WITH")) {
        return {};
    }
    const QueryScopes scopes(m_pieces);
    const size_t scope = scopes.scopeAt(
        tsql::findTopLevelWord(m_pieces, 0, m_pieces.size(), u"SELECT"));
    for (const QString& source : std::as_const(m_sources)) {
        const CommonTable* table = scopes.commonTable(scope, source);
        if (!table) {
            continue;
        }
        const auto [open, close] = std::pair{table->bodyFrom, table->bodyTo};
        QString query;
        if (open < close && m_pieces[open].isWord(u"VALUES")) {
            QStringList rows;
            for (const auto& [first, last] : tsql::splitTopLevel(m_pieces, open + 1, close)) {
                rows << QStringLiteral("SELECT ") + tsql::render(m_pieces, first + 1, last - 1);
            }
            query = rows.join(QStringLiteral(" UNION ALL "));
        } else {
            // A recursive one's columns have its anchor's types, the query
            // before the first UNION (that alone prepares).
            const bool recursive = std::any_of(m_pieces.begin() + open, m_pieces.begin() + close,
                                               [&](const auto& p) { return p.isName(table->name); });
            query = tsql::render(
                m_pieces, open,
                recursive ? tsql::findTopLevelWord(m_pieces, open, close, u"UNION") : close);
        }
        // After its WITH clause, for the expressions it reads.
        query = scopes.withClauseText(table->clause) + QLatin1Char(' ') + query;
        // By position where the expression names its columns.
        const auto named = std::find_if(table->columns.begin(), table->columns.end(),
                                        [&](const QString& c) {
                                            return c.compare(column, Qt::CaseInsensitive) == 0;
                                        });
        const int position = named == table->columns.end()
                                 ? -1
                                 : static_cast<int>(named - table->columns.begin());
        if (!table->columns.isEmpty() && position < 0) {
            continue;
        }
        if (const auto typed = queryColumn(query, column, position); typed.found) {
            return typed;
        }
    }
    return {};
}

std::optional<QString> QueryTyping::fromViews(const QString& column) {
    if (column.isEmpty()) {
        return std::nullopt;
    }
    if (!m_parsed) {
        parse();
    }
    for (const QString& source : std::as_const(m_sources)) {
        PreparedStatement definition(
            m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'view' AND "
                                 "name = ?1 COLLATE NOCASE"));
        definition.bindText(1, source);
        if (!definition.ok() || definition.step() != SQLITE_ROW) {
            continue;
        }
        const Pieces view = tsql::toPieces(tsql::tokenize(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(definition.handle(), 0)))));
        const size_t as = tsql::findTopLevelWord(view, 0, view.size(), u"AS");
        if (as >= view.size()) {
            continue;
        }
        if (const auto typed = queryColumn(tsql::render(view, as + 1), column); typed.found) {
            return typed.declaration;
        }
    }
    if (const auto typed = fromCommonTables(column); typed.found) {
        return typed.declaration;
    }
    // A derived table's computed column, typed as its own query types it
    // (the columns PIVOT makes, SELECT x FROM (SELECT SUM(m) AS x ...) d).
    const size_t from = tsql::findTopLevelWord(m_pieces, 0, m_pieces.size(), u"FROM");
    for (size_t i = from; i + 1 < m_pieces.size(); ++i) {
        if (!m_pieces[i].isPunctuation(u"(") ||
            !(m_pieces[i + 1].isWord(u"SELECT") || m_pieces[i + 1].isWord(u"WITH")) ||
            (!m_pieces[i - 1].isWord(u"FROM") && !m_pieces[i - 1].isWord(u"JOIN") &&
             !m_pieces[i - 1].isPunctuation(u","))) {
            continue;
        }
        const size_t close = tsql::closeOf(m_pieces, i);
        if (const auto typed = queryColumn(tsql::render(m_pieces, i + 1, close), column);
            typed.found) {
            return typed.declaration;
        }
        i = close;
    }
    return std::nullopt;
}

// FORMAT of a money or decimal value is given its scale, which the
// general format 'G' keeps (a money 1.55 is 1.5500): tsql_format(v, f,
// culture or NULL, scale).
void QueryTyping::noteFormattedScale(const std::vector<std::pair<size_t, size_t>>& arguments) {
    for (const auto& [argumentFrom, argumentTo] : arguments) {
        typeOf(argumentFrom, argumentTo);
    }
    if (arguments.size() != 2 && arguments.size() != 3) {
        return;
    }
    const std::optional<NumericType> type =
        numericTypeOf(arguments[0].first, arguments[0].second);
    if (!type || (!isMoney(*type) && type->kind() != NumericType::Kind::Decimal)) {
        return;
    }
    const QString scale = QString::number(isMoney(*type) ? 4 : type->scale());
    m_wrappings.push_back({arguments.back().first, arguments.back().second - 1, none, QString(),
                           (arguments.size() == 2 ? QStringLiteral(", NULL, ") : QStringLiteral(", ")) +
                               scale,
                           {}});
}

// DATALENGTH is an int, a bigint of the max types; the call is noted with
// its argument's declaration when that can be told.
std::optional<QString> QueryTyping::ofDataLength(
    size_t close, const std::vector<std::pair<size_t, size_t>>& arguments) {
    if (arguments.size() != 1) {
        return QStringLiteral("int");
    }
    const std::optional<QString> argument = noteFirstArgument(close, arguments);
    return argument && argument->contains(QLatin1String("(max)"), Qt::CaseInsensitive)
               ? QStringLiteral("bigint")
               : QStringLiteral("int");
}

std::optional<QString> QueryTyping::noteFirstArgument(
    size_t close, const std::vector<std::pair<size_t, size_t>>& arguments) {
    std::optional<QString> argument = typeOf(arguments[0].first, arguments[0].second);
    if (!argument && isNationalText(arguments[0].first, arguments[0].second)) {
        argument = QStringLiteral("nvarchar");
    }
    const bool noted = std::any_of(m_declaredArguments.begin(), m_declaredArguments.end(),
                                   [&](const auto& call) { return call.first == close; });
    if (argument && !noted) {
        m_declaredArguments.emplace_back(close, *argument);
    }
    return argument;
}

// SQL_VARIANT_PROPERTY's argument, noted as DATALENGTH's: a text literal is
// a varchar (an N'' one an nvarchar) of its own length.
void QueryTyping::noteVariantBase(size_t close,
                                  const std::vector<std::pair<size_t, size_t>>& arguments) {
    auto [from, to] = arguments[0];
    const bool national = to == from + 4 && m_pieces[from].isWord(u"tsql_national");
    if (national) {
        from += 2;
        to -= 1;
    }
    const bool noted = std::any_of(m_declaredArguments.begin(), m_declaredArguments.end(),
                                   [&](const auto& call) { return call.first == close; });
    if (to == from + 1 && m_pieces[from].kind == TokenKind::String && !noted) {
        const bool marked = national || m_pieces[from].wasNational;
        const auto length = std::max<qsizetype>(1, m_pieces[from].value().size());
        m_declaredArguments.emplace_back(
            close, QStringLiteral("%1varchar(%2)").arg(marked ? "n" : "").arg(length));
        return;
    }
    // Only a type told for certain: text known to be national alone has no length.
    const std::optional<QString> type = typeOf(arguments[0].first, arguments[0].second);
    if (type && !noted) {
        m_declaredArguments.emplace_back(close, *type);
    }
}

// HASHBYTES is a varbinary(8000); nvarchar input is noted, since its text
// hashes as two bytes a character.
std::optional<QString> QueryTyping::ofHash(size_t close,
                                           const std::vector<std::pair<size_t, size_t>>& arguments) {
    const bool noted = std::any_of(m_declaredArguments.begin(), m_declaredArguments.end(),
                                   [&](const auto& call) { return call.first == close; });
    if (arguments.size() == 2 && !noted &&
        isNationalText(arguments[1].first, arguments[1].second)) {
        m_declaredArguments.emplace_back(close, QStringLiteral("nvarchar"));
    }
    return QStringLiteral("varbinary(8000)");
}

// Whether text made by [from, to) is national (nvarchar): a marked N''
// literal, a national column, or text functions and '+' over one.
bool QueryTyping::isNationalText(size_t from, size_t to) {
    while (from + 1 < to && m_pieces[from].isPunctuation(u"(") &&
           tsql::closeOf(m_pieces, from) == to - 1) {
        ++from;
        --to;
    }
    if (from >= to) {
        return false;
    }
    if (to - from >= 3 && m_pieces[from].kind == TokenKind::Word &&
        m_pieces[from + 1].isPunctuation(u"(") && tsql::closeOf(m_pieces, from + 1) == to - 1) {
        static const QSet<QString> firstArgument = {
            "tsql_upper", "tsql_lower",     "ltrim",        "rtrim",         "trim",
            "tsql_left",  "tsql_right",     "tsql_substring", "tsql_replace", "tsql_reverse",
            "tsql_stuff", "tsql_replicate", "ifnull"};
        static const QSet<QString> anyArgument = {"tsql_add", "tsql_concat", "coalesce"};
        const QString name = m_pieces[from].text.toLower();
        const auto arguments = tsql::splitTopLevel(m_pieces, from + 2, to - 1);
        if (name == QLatin1String("tsql_national")) {
            return true;
        }
        if (firstArgument.contains(name) && !arguments.empty()) {
            return isNationalText(arguments[0].first, arguments[0].second);
        }
        if (anyArgument.contains(name)) {
            return std::any_of(arguments.begin(), arguments.end(), [&](const auto& argument) {
                return isNationalText(argument.first, argument.second);
            });
        }
        return false;
    }
    static const QRegularExpression nationalType(QStringLiteral(R"(^\s*(nchar|nvarchar|ntext|sysname)\b)"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const std::optional<QString> declaration = ofColumnReference(from, to);
    return declaration && nationalType.match(*declaration).hasMatch();
}

// DATALENGTH and SQL_VARIANT_PROPERTY in the WHERE, GROUP BY, HAVING or
// ORDER BY of the query itself (not of a subquery): their argument is typed
// in the select list's place.
void QueryTyping::noteDeclaredArgumentsOutsideList() {
    if (m_listLast <= m_listFirst || m_listLast >= m_pieces.size()) {
        return;
    }
    for (size_t i = m_listLast; i + 1 < m_pieces.size(); ++i) {
        if (m_pieces[i].isPunctuation(u"(") && m_pieces[i + 1].isWord(u"SELECT")) {
            i = tsql::closeOf(m_pieces, i);
            continue;
        }
        const bool dataLength = m_pieces[i].isWord(u"tsql_datalength");
        if ((!dataLength && !m_pieces[i].isWord(u"tsql_sql_variant_property")) ||
            !m_pieces[i + 1].isPunctuation(u"(")) {
            continue;
        }
        const size_t close = tsql::closeOf(m_pieces, i + 1);
        if (close >= m_pieces.size()) {
            return;
        }
        m_index = 0;
        m_itemFirst = m_listFirst;
        m_itemLast = m_listLast;
        m_aliasFirst = m_listLast;
        const auto arguments = tsql::splitTopLevel(m_pieces, i + 2, close);
        if (dataLength) {
            ofDataLength(close, arguments);
        } else if (arguments.size() == 2) {
            noteVariantBase(close, arguments);
        }
    }
}

QString QueryTyping::withFractionalDivisions() {
    if (!m_statement) {
        return {};
    }
    // Items without an alias stay without one: the server names them ''.
    for (int i = 0; i < sqlite3_column_count(m_statement); ++i) {
        declarationOf(i);
    }
    if (!m_parsed) {
        parse();
    }
    noteDeclaredArgumentsOutsideList();
    if (m_declaredArguments.empty() && m_wrappings.empty() && m_fractionalCalls.empty() &&
        m_moneyDivisions.empty() && m_typedConversions.empty() && m_nativeAdditions.empty() &&
        m_exactAdditions.empty() && m_exactAggregates.empty() && m_exactDivisions.empty()) {
        return {};
    }
    // Names are changed first, then the wrappings are written innermost
    // first, so that an outer one wraps what an inner one wrote.
    Pieces pieces = m_pieces;
    for (const size_t call : m_fractionalCalls) {
        if (!divideNatively(pieces, call)) {
            pieces[call].text = QStringLiteral("tsql_fractional_divide");
        }
    }
    for (const ExactAddition& division : m_exactDivisions) {
        if (division.summed) {
            // sum(tsql_divide(a, b)) → tsql_decimal_sum(a, b, '/', 'decimal(13,6)')
            pieces[division.name].text.clear();
            pieces[division.name + 1].text.clear();
            pieces[division.close].text = QStringLiteral(", '/', ") + division.type;
            continue;
        }
        // tsql_divide(a, b) → tsql_exact_divide(a, b, 'decimal(p,s)')
        pieces[division.name].text = QStringLiteral("tsql_exact_divide");
        pieces[division.close].text.prepend(QStringLiteral(", ") + division.type);
    }
    for (const size_t call : m_moneyDivisions) {
        pieces[call].text = QStringLiteral("tsql_money_divide");
    }
    for (const auto& [name, close] : m_summedDivisions) {
        // sum(tsql_divide(a, 3)) → tsql_money_sum(a, 3, '/', 'money')
        pieces[name].text.clear();
        pieces[name + 1].text.clear();
        pieces[close].text = QStringLiteral(", '/', 'money'");
    }
    for (const ExactAggregate& aggregate : m_exactAggregates) {
        pieces[aggregate.name].text = aggregate.function;
        if (!aggregate.type.isEmpty()) {
            pieces[aggregate.close].text.prepend(QStringLiteral(", ") + aggregate.type);
        }
    }
    for (const auto& [name, comma] : m_nativeAdditions) {
        pieces[comma].text = pieces[name].isWord(u"tsql_add") ? QStringLiteral("+")
                                                              : QStringLiteral("-");
        pieces[name].text.clear();
    }
    for (const ExactAddition& addition : m_exactAdditions) {
        const bool adds = pieces[addition.name].isWord(u"tsql_add");
        if (addition.summed) {
            // sum(tsql_add(a, b)) → tsql_decimal_sum(a, b, '+', 'decimal(20,4)')
            pieces[addition.name].text.clear();
            pieces[addition.name + 1].text.clear();
            pieces[addition.close].text =
                (adds ? QStringLiteral(", '+', ") : QStringLiteral(", '-', ")) + addition.type;
            continue;
        }
        pieces[addition.name].text =
            adds ? QStringLiteral("tsql_exact_add") : QStringLiteral("tsql_exact_subtract");
        pieces[addition.close].text.prepend(QStringLiteral(", ") + addition.type);
    }
    for (const Wrapping& wrapping : m_wrappings) {
        pieces[wrapping.first].text.prepend(wrapping.prefix);
        if (wrapping.op != none) {
            pieces[wrapping.op].text = QStringLiteral(",");
        }
        pieces[wrapping.last].text.append(wrapping.suffix);
    }
    for (const auto& [close, declaration] : m_declaredArguments) {
        pieces[close].text.prepend(QStringLiteral(", ") + tsql::Token::string(declaration).text);
    }
    for (const TypedConversion& conversion : m_typedConversions) {
        pieces[conversion.close].text.prepend(
            (conversion.styled ? QStringLiteral(", ") : QStringLiteral(", NULL, ")) +
            tsql::Token::string(conversion.source).text);
    }
    return tsql::render(pieces);
}

namespace {

// Whether the statement may hold what the typing rewrites: arithmetic,
// conversions, totals, and values that take another's type. Most statements
// have none of these; one pass over the text looks for them all.
bool mayNeedTyping(const QString& statement) {
    if (statement.contains(QLatin1Char('/')) || statement.contains(QLatin1Char('~')) ||
        hasBinaryArithmetic(statement))
        return true;
    // Names found as parts of longer ones too (tsql_decimal_sum).
    static constexpr std::string_view translatorCalls[] = {
        "tsql_divide", "tsql_convert", "tsql_try_convert", "tsql_add", "tsql_subtract", "tsql_round",
        "tsql_datalength", "tsql_sql_variant_property", "tsql_hashbytes", "tsql_format",
        "tsql_dateadd", "tsql_concat",
        // the text functions, whose text arguments may be numbers (textArgumentsOf)
        "tsql_len", "tsql_left", "tsql_right", "tsql_substring", "tsql_upper", "tsql_lower",
        "tsql_reverse", "tsql_replicate", "tsql_quotename", "tsql_replace", "tsql_charindex",
        "tsql_patindex", "tsql_stuff", "tsql_string_agg"};
    const QStringView text(statement);
    for (qsizetype at = 0; at < text.size(); ++at) {
        switch (text[at].unicode() | 0x20) {
        case u't':
            if (tsql::matchesAt(text, at, "tsql_"))
                for (const std::string_view call : translatorCalls)
                    if (tsql::matchesAt(text, at, call))
                        return true;
            break;
        case u'a':
            if (tsql::matchesAt(text, at, "abs(") || tsql::matchesAt(text, at, "avg"))
                return true;
            break;
        case u's':
            if (tsql::matchesAt(text, at, "sum"))
                return true;
            break;
        default:
            break;
        }
    }
    return tsql::mentionsWord(text, {"coalesce", "ifnull", "case", "union", "ltrim", "rtrim"});
}

} // namespace

QString withFractionalDivisions(sqlite3* db, const QString& statement) {
    if (!mayNeedTyping(statement)) {
        return statement;
    }
    // An UPDATE's DATALENGTHs by their arguments' types, then its
    // expressions as any statement's.
    if (statement.trimmed().startsWith(QLatin1String("UPDATE"), Qt::CaseInsensitive)) {
        return withTypedExpressions(db, withTypedDataLengths(db, statement));
    }
    // A query, or one that a view, a SELECT ... INTO table or an INSERT's
    // rows are made of.
    static const QRegularExpression form(
        QStringLiteral(
            R"(^(\s*CREATE\s+(?:TEMP\s+)?(?:VIEW|TABLE)\s+.+?\s+AS\s+|)"
            R"(\s*INSERT\s+INTO\s+[^(]+?(?:\([^()]*\))?\s*)?((?:SELECT|WITH)\b.*)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = form.match(statement);
    QString typed = statement;
    if (match.hasMatch()) {
        const QString query = match.captured(2);
        QueryTyping typing(db, query, 0);
        // Not one query, else its select list typed.
        if (typing.prepared() &&
            QString::fromUtf8(sqlite3_sql(typing.statement())).trimmed() == query.trimmed()) {
            const QString rewritten = typing.withFractionalDivisions();
            if (!rewritten.isEmpty()) {
                typed = match.captured(1) + rewritten;
            }
        }
    }
    return withTypedExpressions(db, typed);
}

} // namespace estaciones::db::sqlite
