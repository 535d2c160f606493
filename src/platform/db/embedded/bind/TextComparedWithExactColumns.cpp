#include "platform/db/embedded/bind/TextComparedWithExactColumns.h"

#include "platform/db/embedded/bind/OperandTypes.h"
#include "platform/db/embedded/bind/QueryScopes.h"
#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/TextScan.h"

#include <algorithm>
#include <vector>

namespace estaciones::db::sqlite {

namespace {

using tsql::Piece;
using tsql::Pieces;
using tsql::TokenKind;
using tsql::none;

// An operand of one piece or a qualified name, pieces [from, to].
struct Operand {
    size_t from = none;
    size_t to = none;
    bool valid() const { return from != none; }
};

bool isValuePiece(const Piece& p) {
    return p.kind == TokenKind::String || p.kind == TokenKind::Parameter ||
           p.kind == TokenKind::Variable || p.kind == TokenKind::Number || isPlainName(p);
}

// The piece after `i`'s COLLATE name (the translator gives expressions its
// text collation), or `i` itself.
size_t afterCollation(const Pieces& pieces, size_t i) {
    return i + 1 < pieces.size() && pieces[i].isWord(u"COLLATE") ? i + 2 : i;
}

// The operand that ends at `last` and stands alone on its side (`a + m` is no
// operand of the comparison after it): a value, a name, a call or a group,
// without the COLLATE that may follow it.
Operand operandEndingAt(const Pieces& pieces, size_t last) {
    if (last == none || last >= pieces.size())
        return {};
    if (last >= 2 && pieces[last - 1].isWord(u"COLLATE"))
        last -= 2;
    size_t from = last;
    if (pieces[last].isWord(u"END")) {
        from = tsql::caseOfEnd(pieces, last);
        if (from == none)
            return {};
    } else if (pieces[last].isPunctuation(u")")) {
        from = tsql::openOf(pieces, last);
        if (from == none)
            return {};
        if (from > 0 && isPlainName(pieces[from - 1]))
            --from; // a function's call
    } else if (!isValuePiece(pieces[last])) {
        return {};
    } else if (last >= 1 && isBinaryLiteral(pieces, last - 1, last)) {
        from = last - 1;
    } else if (isPlainName(pieces[last]) && last >= 2 && pieces[last - 1].isPunctuation(u".") &&
               isPlainName(pieces[last - 2])) {
        from = last - 2;
    }
    if (!tsql::isBoundary(pieces, from == 0 ? none : from - 1))
        return {};
    return {from, last};
}

Operand operandStartingAt(const Pieces& pieces, size_t first) {
    if (first >= pieces.size())
        return {};
    size_t to = first;
    if (pieces[first].isPunctuation(u"(")) {
        to = tsql::closeOf(pieces, first);
    } else if (pieces[first].isWord(u"CASE")) {
        to = tsql::endOfCase(pieces, first);
    } else if (!isValuePiece(pieces[first])) {
        return {};
    } else if (first + 1 < pieces.size() && isBinaryLiteral(pieces, first, first + 1)) {
        to = first + 1;
    } else if (isPlainName(pieces[first]) && first + 1 < pieces.size() &&
               pieces[first + 1].isPunctuation(u"(")) {
        to = tsql::closeOf(pieces, first + 1); // a function's call
    } else if (isPlainName(pieces[first]) && first + 2 < pieces.size() &&
               pieces[first + 1].isPunctuation(u".") && isPlainName(pieces[first + 2])) {
        to = first + 2;
    }
    if (to >= pieces.size() || (to + 1 < pieces.size() && !tsql::isBoundary(pieces, to + 1)))
        return {};
    return {first, to};
}

class Comparisons {
public:
    Comparisons(sqlite3* db, const Pieces& pieces)
        : m_pieces(pieces), m_scopes(pieces), m_types(db, pieces, m_scopes) {}

    // a <op> b, either way round: the side that may be text converts to the
    // exact side's type. A side whose type the columns alone do not tell is
    // typed over its block's tables only when the other side is text or
    // unknown too (a text meeting a number needs nothing).
    void compare(const Operand& a, const Operand& b) {
        if (!a.valid() || !b.valid() || m_scopes.scopeAt(a.from) == QueryScope::none)
            return;
        using Kind = OperandType::Kind;
        OperandType left = m_types.known(a.from, a.to);
        OperandType right = m_types.known(b.from, b.to);
        const auto unsettled = [](const OperandType& t) {
            return t.kind == Kind::Text || t.kind == Kind::Unknown;
        };
        if (left.kind == Kind::Unknown && unsettled(right))
            left = m_types.typed(a.from, a.to);
        if (right.kind == Kind::Unknown && unsettled(left))
            right = m_types.typed(b.from, b.to);
        if (left.kind == Kind::Exact && unsettled(right))
            convert(b, left.exactType);
        else if (right.kind == Kind::Exact && unsettled(left))
            convert(a, right.exactType);
        // A UNION's text rows are made the column's type before they meet anything.
        if (left.unconvertedRows)
            convert(a, left.exactType);
        if (right.unconvertedRows)
            convert(b, right.exactType);
        compareBinaryWithWhole(a, left, b, right);
    }

    // Binary meeting a whole number converts to the number's type (its
    // right-most bytes, big-endian), the lowest type of all giving way; SQLite
    // would find a blob greater than any number. An operand the columns do
    // not type is typed over its block's tables only beside a binary one.
    void compareBinaryWithWhole(const Operand& a, OperandType left, const Operand& b,
                                OperandType right) {
        using Kind = OperandType::Kind;
        if (left.kind == Kind::Binary && right.kind == Kind::Unknown)
            right = m_types.typed(b.from, b.to);
        else if (right.kind == Kind::Binary && left.kind == Kind::Unknown)
            left = m_types.typed(a.from, a.to);
        if (left.kind == Kind::Binary && right.kind == Kind::Whole)
            m_conversions.push_back({a, right.exactType, BinaryConversion});
        else if (right.kind == Kind::Binary && left.kind == Kind::Whole)
            m_conversions.push_back({b, left.exactType, BinaryConversion});
    }

    void compareBinary(size_t op) {
        compare(operandEndingAt(m_pieces, op - 1), operandStartingAt(m_pieces, op + 1));
    }

    // x [NOT] BETWEEN low AND high, x [NOT] IN (a, b, ...), x [NOT] IN (SELECT ...)
    void compareRange(size_t word) {
        const size_t last = word >= 2 && m_pieces[word - 1].isWord(u"NOT") ? word - 2 : word - 1;
        const Operand subject = operandEndingAt(m_pieces, last);
        if (!subject.valid())
            return;
        if (m_pieces[word].isWord(u"BETWEEN")) {
            const Operand low = operandStartingAt(m_pieces, word + 1);
            const size_t conjunction = low.valid() ? afterCollation(m_pieces, low.to + 1) : none;
            if (conjunction >= m_pieces.size() || !m_pieces[conjunction].isWord(u"AND"))
                return;
            compare(subject, low);
            compare(subject, operandStartingAt(m_pieces, conjunction + 1));
            return;
        }
        if (word + 2 >= m_pieces.size() || !m_pieces[word + 1].isPunctuation(u"("))
            return;
        const size_t close = tsql::closeOf(m_pieces, word + 1);
        if (m_pieces[word + 2].isWord(u"SELECT")) {
            compareWithQuery(subject, word + 2, close);
            return;
        }
        if (m_pieces[word + 2].isWord(u"WITH"))
            return;
        std::vector<Operand> items;
        for (const auto& [from, to] : tsql::splitTopLevel(m_pieces, word + 2, close))
            if (const Operand item = operandStartingAt(m_pieces, from);
                item.valid() && afterCollation(m_pieces, item.to + 1) == to)
                items.push_back(item);
        for (const Operand& item : items)
            compare(subject, item);
        splitTextItems(subject, word, close, items);
    }

    // x IN (m, 'a'), where m made x convert: the server compares x with
    // each item by the pair's types, so x meets the texts unconverted:
    // (x' IN (m) OR x IN ('a')); x NOT IN (...) likewise with AND.
    void splitTextItems(const Operand& subject, size_t word, size_t close,
                        const std::vector<Operand>& items) {
        if (!isConverted(subject))
            return;
        std::vector<Operand> texts;
        for (const Operand& item : items) {
            OperandType type = m_types.known(item.from, item.to);
            if (type.kind == OperandType::Kind::Unknown)
                type = m_types.typed(item.from, item.to);
            if (type.kind == OperandType::Kind::Text && !isConverted(item))
                texts.push_back(item);
        }
        const size_t listed = tsql::splitTopLevel(m_pieces, word + 2, close).size();
        if (!texts.empty() && texts.size() < listed)
            m_splits.push_back({subject, word, close, std::move(texts)});
    }

    bool isConverted(const Operand& operand) const {
        return std::any_of(m_conversions.begin(), m_conversions.end(), [&](const Conversion& c) {
            return c.operand.from == operand.from && c.operand.to == operand.to;
        });
    }

    // x IN (SELECT a ... UNION SELECT b ...): x meets every query's value.
    // The subquery's column takes the type of highest precedence among them,
    // so when that is one exact type and the others are texts, their rows
    // convert to it as well.
    void compareWithQuery(const Operand& subject, size_t select, size_t close) {
        using Kind = OperandType::Kind;
        const auto branches = tsql::compoundBranches(m_pieces, select, close);
        std::vector<Operand> values;
        for (const auto& [first, last] : branches)
            values.push_back(first < last && m_pieces[first].isWord(u"SELECT")
                                 ? selectedValue(first + 1, last)
                                 : Operand{});
        for (const Operand& value : values)
            compare(subject, value);
        if (values.size() < 2)
            return;
        std::vector<std::pair<Operand, OperandType>> typed;
        QString exactType;
        for (const Operand& value : values) {
            if (!value.valid())
                return;
            OperandType type = m_types.known(value.from, value.to);
            if (type.kind == Kind::Unknown)
                type = m_types.typed(value.from, value.to);
            const bool sameExact = type.kind == Kind::Exact &&
                                   (exactType.isEmpty() || exactType == type.exactType);
            if (type.kind != Kind::Text && !sameExact)
                return; // another type, or exact types whose union has a type of its own
            if (type.kind == Kind::Exact)
                exactType = type.exactType;
            typed.emplace_back(value, type);
        }
        if (exactType.isEmpty())
            return;
        for (const auto& [value, type] : typed)
            if (type.kind == Kind::Text)
                convert(value, exactType);
    }

    // The value of SELECT [DISTINCT] value [AS name] FROM ...: the one
    // column each row gives, in the subquery's own block.
    Operand selectedValue(size_t first, size_t close) const {
        if (first < close && m_pieces[first].isWord(u"DISTINCT"))
            ++first;
        const size_t end = tsql::findTopLevelWord(m_pieces, first, close, u"FROM");
        const auto items = tsql::splitTopLevel(m_pieces, first, end);
        if (items.size() != 1 || items.front().first >= items.front().second ||
            m_pieces[end - 1].isPunctuation(u"*"))
            return {};
        const size_t expression = expressionEnd(m_pieces, first, end);
        return expression > first ? Operand{first, expression - 1} : Operand{};
    }

    // CASE x WHEN a THEN ... WHEN b THEN ... END
    void compareSimpleCase(size_t caseWord) {
        const Operand subject = operandStartingAt(m_pieces, caseWord + 1);
        if (!subject.valid() || afterCollation(m_pieces, subject.to + 1) >= m_pieces.size() ||
            !m_pieces[afterCollation(m_pieces, subject.to + 1)].isWord(u"WHEN"))
            return;
        const size_t end = tsql::endOfCase(m_pieces, caseWord);
        for (size_t j = subject.to + 1; j < end && j < m_pieces.size(); ++j) {
            if (m_pieces[j].isPunctuation(u"("))
                j = tsql::closeOf(m_pieces, j);
            else if (m_pieces[j].isWord(u"CASE"))
                j = tsql::endOfCase(m_pieces, j);
            else if (m_pieces[j].isWord(u"WHEN"))
                if (const Operand value = operandStartingAt(m_pieces, j + 1);
                    value.valid() && afterCollation(m_pieces, value.to + 1) < end &&
                    m_pieces[afterCollation(m_pieces, value.to + 1)].isWord(u"THEN"))
                    compare(subject, value);
        }
    }

    // The statement with every conversion written around its operand; an
    // operand converted twice (x IN ('1', '2') converts x once) is written once.
    QString rewritten() const {
        Pieces pieces = m_pieces;
        std::vector<std::pair<size_t, size_t>> written;
        for (const Conversion& conversion : m_conversions) {
            const Operand& operand = conversion.operand;
            const std::pair<size_t, size_t> range{operand.from, operand.to};
            if (std::find(written.begin(), written.end(), range) != written.end())
                continue;
            written.push_back(range);
            pieces[operand.from].text.prepend(QStringLiteral("%1(%2, ").arg(
                QLatin1String(conversion.function), tsql::Token::string(conversion.type).text));
            pieces[operand.to].text.append(QLatin1Char(')'));
        }
        for (const Split& split : m_splits)
            writeSplit(pieces, split);
        return tsql::render(pieces);
    }

    bool found() const { return !m_conversions.empty(); }

private:
    // An IN list whose text items meet the subject apart from the others.
    struct Split {
        Operand subject;
        size_t word;  // IN
        size_t close; // the list's ')'
        std::vector<Operand> texts;
    };

    // The text items leave the list for a list of their own; the others stay
    // as they are written now (converted, some of them).
    void writeSplit(Pieces& pieces, const Split& split) const {
        const bool negated = m_pieces[split.word - 1].isWord(u"NOT");
        QStringList kept;
        QStringList texts;
        for (const auto& [from, to] : tsql::splitTopLevel(m_pieces, split.word + 2, split.close)) {
            const bool text = std::any_of(split.texts.begin(), split.texts.end(),
                                          [from = from](const Operand& t) { return t.from == from; });
            if (text)
                texts << tsql::render(m_pieces, from, to);
            else
                kept << tsql::render(pieces, from, to);
        }
        for (size_t i = split.word + 2; i < split.close; ++i) {
            pieces[i].text.clear();
            pieces[i].space.clear();
        }
        pieces[split.word + 2].text = kept.join(QStringLiteral(", "));
        const QString subject = tsql::render(m_pieces, split.subject.from,
                                             afterCollation(m_pieces, split.subject.to + 1));
        pieces[split.subject.from].text.prepend(QLatin1Char('('));
        pieces[split.close].text.append(QStringLiteral(" %1 %2 %3IN (%4))")
                                            .arg(negated ? u"AND" : u"OR", subject,
                                                 negated ? u"NOT " : u"", texts.join(u", ")));
    }

    // Text to an exact number (235 or 8114 where it is none); binary to a
    // whole number, as CAST converts it.
    static constexpr const char* TextConversion = "tsql_text_as_number";
    static constexpr const char* BinaryConversion = "tsql_convert";
    struct Conversion {
        Operand operand;
        QString type;
        const char* function = TextConversion;
    };

    void convert(const Operand& operand, const QString& type) {
        m_conversions.push_back({operand, type, TextConversion});
    }

    const Pieces& m_pieces;
    QueryScopes m_scopes;
    OperandTypes m_types;
    std::vector<Conversion> m_conversions;
    std::vector<Split> m_splits;
};

// A query, a data change, or a CREATE: VIEW or TABLE ... AS a query (a MERGE
// sorts its rows into tables made so), a constraint's trigger and its queries.
bool isQueryOrChange(const Pieces& pieces) {
    if (pieces.empty())
        return false;
    for (QStringView word :
         {u"SELECT", u"WITH", u"INSERT", u"UPDATE", u"DELETE", u"REPLACE", u"CREATE"})
        if (pieces.front().isWord(word))
            return true;
    return false;
}

// Whether IN, BETWEEN or CASE appears as a word (an INSERT's INTO is not IN).
bool mentionsComparisonWord(const QString& statement) {
    return tsql::mentionsWord(statement, {"in", "between", "case"});
}

} // namespace

QString withTextComparedAsNumbers(sqlite3* db, const QString& statement) {
    if (!statement.contains(QLatin1Char('=')) && !statement.contains(QLatin1Char('<')) &&
        !statement.contains(QLatin1Char('>')) && !mentionsComparisonWord(statement))
        return statement;
    const Pieces pieces = tsql::piecesOf(statement);
    if (!isQueryOrChange(pieces))
        return statement;
    Comparisons comparisons(db, pieces);
    // In SET a = 'x' the '=' assigns: the column's store trigger converts.
    bool assigning = false;
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.isWord(u"SET"))
            assigning = true;
        else if (p.isWord(u"WHERE") || p.isWord(u"FROM") || p.isWord(u"SELECT"))
            assigning = false;
        if (tsql::isComparison(p)) {
            const Operand left = operandEndingAt(pieces, i - 1);
            const bool assignment = assigning && left.valid() && left.from > 0 &&
                                    (pieces[left.from - 1].isWord(u"SET") ||
                                     pieces[left.from - 1].isPunctuation(u","));
            if (!assignment)
                comparisons.compareBinary(i);
        } else if (p.isWord(u"BETWEEN") || p.isWord(u"IN")) {
            comparisons.compareRange(i);
        } else if (p.isWord(u"CASE")) {
            comparisons.compareSimpleCase(i);
        }
    }
    return comparisons.found() ? comparisons.rewritten() : statement;
}

} // namespace estaciones::db::sqlite
