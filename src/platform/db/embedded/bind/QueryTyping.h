#pragma once

#include "platform/db/embedded/bind/ArithmeticTypes.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <QStringList>

#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace estaciones::db::sqlite {

// The types of one query's result columns as SQL Server gives them, worked
// out from the query's text where SQLite declares none: MIN, MAX, SUM and
// AVG of a column and ISNULL(column, x) take the column's type, arithmetic
// the type of higher precedence among its operands (money * int is money), a
// scalar subquery its column's type, and a view's computed column the type
// of its expression. Operands are typed by putting them in the column's
// place, where SQLite declares plain columns.
class QueryTyping {
public:
    // The query of a prepared statement.
    explicit QueryTyping(sqlite3_stmt* statement);
    // A query text of its own; `depth` counts the views and subqueries
    // around it.
    QueryTyping(sqlite3* db, const QString& text, int depth);
    QueryTyping(const QueryTyping&) = delete;
    QueryTyping& operator=(const QueryTyping&) = delete;

    bool prepared() const { return m_statement != nullptr; }
    sqlite3_stmt* statement() const { return m_statement; }

    // The declaration of result column `index`, when it can be told for
    // certain; nothing otherwise.
    std::optional<QString> declarationOf(int index);
    int columnIndex(const QString& name) const;
    // Whether result column `index` is an expression (no column, no alias).
    bool isUnnamed(int index);

    // SQLite divides whole numbers as integers, and keeps whole money and
    // decimal values as integers: the query's text with each division of
    // such operands, whose result SQL Server gives with its fraction, made
    // a fractional one (900 money / 7 is 128.5714, not 128), and each
    // conversion of money, a decimal, a float or a real to text or an
    // integer given its value's type, and each + - *, SUM and AVG whose result is money or a
    // decimal made an exact one, and each DATALENGTH given its argument's
    // declared type; empty when there is none.
    QString withFractionalDivisions();

private:
    void parse();
    void findBranches(size_t select);
    std::optional<QString> typeOf(size_t from, size_t to);
    std::optional<NumericType> numericTypeOf(size_t from, size_t to);
    std::optional<QString> arithmetic(size_t leftFrom, size_t leftTo, QChar op, size_t rightFrom,
                                      size_t rightTo);
    // The side of binary type beside a whole number converts to the number's
    // type: that type, which the side now has; nothing for other operands.
    std::optional<NumericType> binaryAsWhole(size_t from, size_t to,
                                             const std::optional<NumericType>& other);
    size_t lastBinaryOperator(size_t from, size_t to) const;
    std::optional<QString> ofCall(size_t from, size_t to);
    std::vector<std::pair<size_t, size_t>> caseResults(size_t from, size_t to) const;
    void typeConditions(size_t from, size_t to);
    std::optional<QString> ofAlternatives(const std::vector<std::pair<size_t, size_t>>& alternatives);
    // Writes tsql_convert('type', ...) around pieces [first, last), with the
    // value's own type as its fourth argument when `source` names one.
    void convertInPlace(size_t first, size_t last, const QString& type,
                        const QString& source = QString());
    // Types the value [from, to) and, when it is money, a decimal, float or real, writes
    // its conversion to text around it, with its type for its digits.
    void convertExactToText(size_t from, size_t to);
    std::optional<QString> ofUnion(int index);
    std::optional<std::pair<size_t, size_t>> branchItem(size_t first, size_t last, int index) const;
    std::optional<QString> ofDateFromParts(
        const QString& name, const std::vector<std::pair<size_t, size_t>>& arguments) const;
    std::optional<QString> ofDateAdd(size_t close,
                                     const std::vector<std::pair<size_t, size_t>>& arguments);
    std::optional<QString>
    ofOffsetFunction(const QString& name, const std::vector<std::pair<size_t, size_t>>& arguments);
    void noteTypedConversion(size_t to, const std::vector<std::pair<size_t, size_t>>& arguments);
    bool isConversionNoted(size_t close) const;
    // The same for a conversion to binary: nvarchar text and the narrow integers.
    // An operand of + or -: its pieces and declared type.
    struct Operand {
        size_t from;
        size_t to;
        std::optional<QString> declared;
    };
    std::optional<QString> dateArithmetic(const Operand& left, QChar op, const Operand& right);
    bool noteDateConversion(size_t to, const std::vector<std::pair<size_t, size_t>>& arguments,
                            const QString& declared);
    void noteBinaryConversion(size_t to, const std::vector<std::pair<size_t, size_t>>& arguments);
    std::optional<QString> ofColumnReference(size_t from, size_t to);
    std::optional<QString> ofSubquery(size_t from, size_t to);
    std::optional<QString> fromViews(const QString& column);
    // The column named `column` (or at `position`, when one is given) of a
    // query of its own (a view's, a derived table's) as that query types it;
    // not found when it has none so named.
    SqliteDatabase::QueryColumnType queryColumn(const QString& query, const QString& column,
                                                int position = -1);
    SqliteDatabase::QueryColumnType fromCommonTables(const QString& column);
    std::optional<QString> ofDataLength(size_t close,
                                        const std::vector<std::pair<size_t, size_t>>& arguments);
    void noteDeclaredArgumentsOutsideList();
    // Notes the declaration of a call's first argument, taken last by the
    // function (m_declaredArguments), when it can be told; that declaration.
    std::optional<QString> noteFirstArgument(size_t close,
                                             const std::vector<std::pair<size_t, size_t>>& arguments);
    // The same for SQL_VARIANT_PROPERTY, whose text literal has a length.
    void noteVariantBase(size_t close, const std::vector<std::pair<size_t, size_t>>& arguments);
    void noteFormattedScale(const std::vector<std::pair<size_t, size_t>>& arguments);
    std::optional<QString> ofHash(size_t close,
                                  const std::vector<std::pair<size_t, size_t>>& arguments);
    bool isNationalText(size_t from, size_t to);

    sqlite3* m_db;
    std::unique_ptr<PreparedStatement> m_own;
    sqlite3_stmt* m_statement = nullptr;
    int m_depth = 0;
    bool m_parsed = false;
    tsql::Pieces m_pieces;
    // The select list's items, one per result column, or empty when they
    // cannot be matched to the columns (SELECT *, ...).
    std::vector<std::pair<size_t, size_t>> m_items;
    size_t m_listFirst = 0; // the select list's pieces
    size_t m_listLast = 0;
    QStringList m_sources; // the FROM clause's names, for the views among them
    // The queries of a UNION, EXCEPT or INTERSECT; empty for one query.
    std::vector<std::pair<size_t, size_t>> m_branches;
    // The item being typed: probes put a part of it in its place.
    int m_index = 0;
    size_t m_itemFirst = 0;
    size_t m_itemLast = 0;
    // Where the item's alias begins (m_itemLast without one): a probe keeps
    // it, since the ORDER BY may name it.
    size_t m_aliasFirst = 0;
    // Operations written around their operands, innermost first: `prefix`
    // before the piece `first`, `suffix` after the piece `last` and, where
    // `op` names one, the operator between them made a comma. Divisions
    // whose result has a fraction, + - * whose result is exact (money,
    // decimal), and results checked against their type.
    struct Wrapping {
        size_t first;
        size_t last;
        size_t op;
        QString prefix;
        QString suffix;
        QString exactType; // of an exact + - *: its result type, quoted
    };
    std::vector<Wrapping> m_wrappings;
    // Calls of tsql_divide (the name's piece) whose result has a fraction.
    std::vector<size_t> m_fractionalCalls;
    // Calls of tsql_divide or tsql_fractional_divide whose result is money.
    std::vector<size_t> m_moneyDivisions;
    // Those taken in by the money total around them (name, ')').
    std::vector<std::pair<size_t, size_t>> m_summedDivisions;
    // Calls of tsql_convert whose value's type changes the result.
    struct TypedConversion {
        size_t close;   // its ')'
        QString source; // the value's declaration
        bool styled;    // CONVERT with a style
    };
    std::vector<TypedConversion> m_typedConversions;
    // Calls (their ')') that take their argument's declaration last: tsql_datalength and
    // tsql_hashbytes, as the bytes a value takes depend on it (two a character in
    // nvarchar); tsql_dateadd of a smalldatetime, which keeps the minute.
    std::vector<std::pair<size_t, QString>> m_declaredArguments;
    // Calls of SUM and AVG of money or decimal, worked out exactly instead:
    // the name's piece, the function that replaces it and, when it takes
    // the result's type, the call's ')'.
    struct ExactAggregate {
        size_t name;
        size_t close;
        QString function;
        QString type;
    };
    std::vector<ExactAggregate> m_exactAggregates;
    // Calls of tsql_add or tsql_subtract (name, the comma) of two numbers with fractions.
    std::vector<std::pair<size_t, size_t>> m_nativeAdditions;
    // Calls of tsql_add or tsql_subtract (name, ')') whose result is money or decimal.
    struct ExactAddition {
        size_t name;
        size_t close;
        QString type;
        bool summed = false; // taken in by the total around it
    };
    // An exact total whose argument is one exact + - *: the total works it
    // out itself (tsql_decimal_sum(a, b, '-', 'decimal(11,3)')), a call less a row.
    bool takeInOperation(size_t argumentFrom, size_t argumentTo);
    std::vector<ExactAddition> m_exactAdditions;
    // Calls of tsql_divide or tsql_fractional_divide (name, ')') whose result
    // is a decimal, worked out on the digits at the result's scale.
    std::vector<ExactAddition> m_exactDivisions;
};

// Where the expression of a select-list item [from, to) ends: before
// "AS name", "name" or 'name'.
size_t expressionEnd(const tsql::Pieces& pieces, size_t from, size_t to);

// X'0102' as the translator writes 0x0102: pieces [from, to].
bool isBinaryLiteral(const tsql::Pieces& pieces, size_t from, size_t to);

// One SQLite statement (a query, CREATE VIEW or CREATE TABLE ... AS a query,
// INSERT ... a query) with its query's divisions made fractional where SQL
// Server's give a fraction (see QueryTyping::withFractionalDivisions), and
// the expressions outside select lists (conditions, UPDATE's and VALUES'
// values) typed the same way (withTypedExpressions); any other text comes
// back unchanged.
QString withFractionalDivisions(sqlite3* db, const QString& statement);

} // namespace estaciones::db::sqlite
