#include "platform/db/embedded/bind/TextComparedWithExactColumns.h"

#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace estaciones::db::sqlite {

namespace {

using tsql::Piece;
using tsql::Pieces;
using tsql::TokenKind;
using tsql::none;

// A table the statement reads or writes, by the name or alias it goes by.
struct Source {
    QString table;
    QString alias;
};

// The declared type of a table's column, from SQLite's own schema (no
// statement to prepare); nothing where there is no such column, or where the
// name is a view's, whose columns SQLite works out only when asked.
std::optional<QString> declaredTypeIn(sqlite3* db, const QString& table, const QString& column) {
    const char* type = nullptr;
    if (sqlite3_table_column_metadata(db, nullptr, table.toUtf8().constData(),
                                      column.toUtf8().constData(), &type, nullptr, nullptr,
                                      nullptr, nullptr) != SQLITE_OK)
        return std::nullopt;
    return QString::fromUtf8(type ? type : "");
}

// Every column's declared type by lower-case name, views' too.
QHash<QString, QString> columnsOf(sqlite3* db, const QString& table) {
    QHash<QString, QString> columns;
    PreparedStatement query(db,
                            QStringLiteral("SELECT lower(name), type FROM pragma_table_info(?1)"));
    if (!query.ok())
        return columns;
    query.bindText(1, table);
    while (query.step() == SQLITE_ROW) {
        const auto text = [&](int column) {
            return QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), column)));
        };
        columns.insert(text(0), text(1));
    }
    return columns;
}

bool endsTableList(const Piece& p) {
    for (QStringView word : {u"WHERE", u"ON", u"GROUP", u"ORDER", u"HAVING", u"SELECT", u"UNION",
                             u"EXCEPT", u"INTERSECT", u"LIMIT", u"SET", u"VALUES", u"USING"})
        if (p.isWord(word))
            return true;
    return p.isPunctuation(u")");
}

// The tables after FROM, JOIN, UPDATE and INTO, and those listed after a
// FROM with commas, with their aliases. Derived tables and common table
// expressions have no declared columns, and are left out.
std::vector<Source> sourcesOf(const Pieces& pieces) {
    std::vector<Source> sources;
    bool inTableList = false;
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        const bool names = p.isWord(u"FROM") || p.isWord(u"JOIN") || p.isWord(u"UPDATE") ||
                           p.isWord(u"INTO") || (inTableList && p.isPunctuation(u","));
        if (p.isWord(u"FROM"))
            inTableList = true;
        else if (endsTableList(p))
            inTableList = false;
        const Piece& name = pieces[i + 1];
        if (!names || !name.isNameLike() ||
            (name.kind == TokenKind::Word && tsql::isReservedWord(name)) ||
            (i + 2 < pieces.size() && pieces[i + 2].isPunctuation(u"(")))
            continue;
        Source source{name.value(), {}};
        size_t next = i + 2;
        if (next < pieces.size() && pieces[next].isWord(u"AS"))
            ++next;
        if (next < pieces.size() && pieces[next].isNameLike() &&
            !(pieces[next].kind == TokenKind::Word && tsql::isReservedWord(pieces[next])))
            source.alias = pieces[next].value();
        sources.push_back(std::move(source));
    }
    return sources;
}

// An operand of one piece or a qualified name, pieces [from, to].
struct Operand {
    size_t from = none;
    size_t to = none;
    bool valid() const { return from != none; }
};

bool isPlainName(const Piece& p) {
    return p.isNameLike() && !(p.kind == TokenKind::Word && tsql::isReservedWord(p));
}

bool isValuePiece(const Piece& p) {
    return p.kind == TokenKind::String || p.kind == TokenKind::Parameter ||
           p.kind == TokenKind::Variable || isPlainName(p);
}

// The operand that ends at `last` and stands alone on its side (`a + m` is no
// operand of the comparison after it): a value, a name, a call or a group.
Operand operandEndingAt(const Pieces& pieces, size_t last) {
    if (last == none || last >= pieces.size())
        return {};
    size_t from = last;
    if (pieces[last].isPunctuation(u")")) {
        from = tsql::openOf(pieces, last);
        if (from == none)
            return {};
        if (from > 0 && isPlainName(pieces[from - 1]))
            --from; // a function's call
    } else if (!isValuePiece(pieces[last])) {
        return {};
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
    } else if (!isValuePiece(pieces[first])) {
        return {};
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
    Comparisons(sqlite3* db, const Pieces& pieces, std::vector<Source> sources)
        : m_db(db), m_pieces(pieces), m_sources(std::move(sources)) {}

    // The declared type of the column the operand names, when exactly one
    // type answers to it.
    std::optional<QString> declaredTypeOf(const Operand& operand) const {
        if (!operand.valid() || !isPlainName(m_pieces[operand.to]))
            return std::nullopt;
        const QString qualifier =
            operand.from == operand.to ? QString() : m_pieces[operand.from].value();
        const QString column = m_pieces[operand.to].value().toLower();
        std::optional<QString> found;
        for (const Source& source : m_sources) {
            if (!qualifier.isEmpty() &&
                qualifier.compare(source.alias, Qt::CaseInsensitive) != 0 &&
                qualifier.compare(source.table, Qt::CaseInsensitive) != 0)
                continue;
            const auto declared = typeOfColumn(source.table, column);
            if (!declared)
                continue;
            if (found && *found != *declared)
                return std::nullopt; // the same name in tables of different types
            found = declared;
        }
        return found;
    }

    // Through SQLite's schema first; a miss may be a view's column, read once a statement.
    std::optional<QString> typeOfColumn(const QString& table, const QString& column) const {
        if (auto declared = declaredTypeIn(m_db, table, column))
            return declared;
        auto known = m_readColumns.find(table);
        if (known == m_readColumns.end())
            known = m_readColumns.insert(table, columnsOf(m_db, table));
        const auto it = known->constFind(column);
        return it == known->constEnd() ? std::nullopt : std::optional<QString>(it.value());
    }

    // The type the text converts to, when the operand is a money or decimal column.
    std::optional<QString> exactTypeOf(const Operand& operand) const {
        const auto declared = declaredTypeOf(operand);
        if (!declared || !tsql::isExactNumberTypeName(tsql::describeDeclaredType(*declared).typeName))
            return std::nullopt;
        return tsql::withoutStoredAffinity(*declared);
    }

    // A text literal, a parameter, a character column, or a call or group
    // that may give text (tsql_text_as_number leaves a number as it is).
    bool isText(const Operand& operand) const {
        if (!operand.valid())
            return false;
        const Piece& p = m_pieces[operand.from];
        if ((operand.from == operand.to && !isPlainName(p)) ||
            m_pieces[operand.to].isPunctuation(u")"))
            return true;
        const auto declared = declaredTypeOf(operand);
        return declared && tsql::describeDeclaredType(*declared).isText;
    }

    void convert(const Operand& operand, const QString& type) {
        if (isText(operand))
            m_conversions.push_back({operand, type});
    }

    void compareBinary(size_t op) {
        const Operand left = operandEndingAt(m_pieces, op - 1);
        const Operand right = operandStartingAt(m_pieces, op + 1);
        if (!left.valid() || !right.valid())
            return;
        if (const auto type = exactTypeOf(left))
            convert(right, *type);
        else if (const auto type = exactTypeOf(right))
            convert(left, *type);
    }

    // x [NOT] BETWEEN low AND high, x [NOT] IN (a, b, ...)
    void compareRange(size_t word) {
        const size_t last = word >= 2 && m_pieces[word - 1].isWord(u"NOT") ? word - 2 : word - 1;
        const auto type = exactTypeOf(operandEndingAt(m_pieces, last));
        if (!type)
            return;
        if (m_pieces[word].isWord(u"BETWEEN")) {
            const Operand low = operandStartingAt(m_pieces, word + 1);
            if (!low.valid() || low.to + 1 >= m_pieces.size() ||
                !m_pieces[low.to + 1].isWord(u"AND"))
                return;
            convert(low, *type);
            convert(operandStartingAt(m_pieces, low.to + 2), *type);
            return;
        }
        if (word + 2 >= m_pieces.size() || !m_pieces[word + 1].isPunctuation(u"(") ||
            m_pieces[word + 2].isWord(u"WITH"))
            return;
        const size_t close = tsql::closeOf(m_pieces, word + 1);
        if (m_pieces[word + 2].isWord(u"SELECT")) {
            convertSelectedValue(word + 3, close, *type);
            return;
        }
        for (const auto& [from, to] : tsql::splitTopLevel(m_pieces, word + 2, close))
            if (const Operand item = operandStartingAt(m_pieces, from); item.to + 1 == to)
                convert(item, *type);
    }

    // x IN (SELECT value FROM ...): the one value each row gives, unless it
    // is named (AS) or all columns (*). The conversion leaves numbers as they are.
    void convertSelectedValue(size_t first, size_t close, const QString& type) {
        if (first < close && m_pieces[first].isWord(u"DISTINCT"))
            ++first;
        const size_t end = tsql::findTopLevelWord(m_pieces, first, close, u"FROM");
        const auto items = tsql::splitTopLevel(m_pieces, first, end);
        if (items.size() != 1 || items.front().first >= items.front().second ||
            tsql::findTopLevelWord(m_pieces, first, end, u"AS") != end ||
            m_pieces[end - 1].isPunctuation(u"*"))
            return;
        m_conversions.push_back({Operand{first, end - 1}, type});
    }

    // CASE x WHEN a THEN ... WHEN b THEN ... END
    void compareSimpleCase(size_t caseWord) {
        const Operand subject = operandStartingAt(m_pieces, caseWord + 1);
        if (!subject.valid() || subject.to + 1 >= m_pieces.size() ||
            !m_pieces[subject.to + 1].isWord(u"WHEN"))
            return;
        const auto type = exactTypeOf(subject);
        if (!type)
            return;
        const size_t end = tsql::endOfCase(m_pieces, caseWord);
        for (size_t j = subject.to + 1; j < end && j < m_pieces.size(); ++j) {
            if (m_pieces[j].isPunctuation(u"("))
                j = tsql::closeOf(m_pieces, j);
            else if (m_pieces[j].isWord(u"CASE"))
                j = tsql::endOfCase(m_pieces, j);
            else if (m_pieces[j].isWord(u"WHEN"))
                if (const Operand value = operandStartingAt(m_pieces, j + 1);
                    value.valid() && value.to + 1 < end && m_pieces[value.to + 1].isWord(u"THEN"))
                    convert(value, *type);
        }
    }

    // The statement with every conversion written in, last first so that
    // the earlier positions hold.
    Pieces rewritten() {
        std::sort(m_conversions.begin(), m_conversions.end(),
                  [](const auto& a, const auto& b) { return a.first.from > b.first.from; });
        Pieces pieces = m_pieces;
        size_t previous = none;
        for (const auto& [operand, type] : m_conversions) {
            if (operand.from == previous)
                continue;
            previous = operand.from;
            tsql::replaceRange(
                pieces, operand.from, operand.to + 1,
                tsql::piecesOf(QStringLiteral("tsql_text_as_number(%1, %2)")
                                   .arg(tsql::Token::string(type).text,
                                        tsql::render(pieces, operand.from, operand.to + 1))));
        }
        return pieces;
    }

    bool found() const { return !m_conversions.empty(); }

private:
    sqlite3* m_db;
    const Pieces& m_pieces;
    std::vector<Source> m_sources;
    mutable QHash<QString, QHash<QString, QString>> m_readColumns;
    std::vector<std::pair<Operand, QString>> m_conversions;
};

bool isQueryOrChange(const Pieces& pieces) {
    if (pieces.empty())
        return false;
    for (QStringView word : {u"SELECT", u"WITH", u"INSERT", u"UPDATE", u"DELETE", u"REPLACE"})
        if (pieces.front().isWord(word))
            return true;
    return pieces.front().isWord(u"CREATE") && pieces.size() > 2 &&
           (pieces[1].isWord(u"VIEW") || pieces[2].isWord(u"VIEW"));
}

} // namespace

QString withTextComparedAsNumbers(sqlite3* db, const QString& statement) {
    if (!statement.contains(QLatin1Char('=')) && !statement.contains(QLatin1Char('<')) &&
        !statement.contains(QLatin1Char('>')) &&
        !statement.contains(QLatin1String(" IN"), Qt::CaseInsensitive) &&
        !statement.contains(QLatin1String("BETWEEN"), Qt::CaseInsensitive) &&
        !statement.contains(QLatin1String("CASE"), Qt::CaseInsensitive))
        return statement;
    const Pieces pieces = tsql::piecesOf(statement);
    if (!isQueryOrChange(pieces))
        return statement;
    Comparisons comparisons(db, pieces, sourcesOf(pieces));
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
    return comparisons.found() ? tsql::render(comparisons.rewritten()) : statement;
}

} // namespace estaciones::db::sqlite
