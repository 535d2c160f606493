#include "platform/db/embedded/bind/OperandTypes.h"

#include "platform/db/embedded/bind/KeptColumnTypes.h"
#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QSet>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

using tsql::Piece;
using tsql::TokenKind;

bool isPlainName(const Piece& p) {
    return p.isNameLike() && !(p.kind == TokenKind::Word && tsql::isReservedWord(p));
}

namespace {

using tsql::none;

// The type a call names: tsql_convert('money', x) (CAST, CONVERT and a typed
// variable), tsql_exact_add(a, b, 'decimal(12,2)') and the other exact
// operations; nothing for other calls.
std::optional<QString> namedTypeOfCall(const tsql::Pieces& pieces, size_t from, size_t to) {
    const QString name = pieces[from].text.toLower();
    const auto arguments = tsql::splitTopLevel(pieces, from + 2, to);
    if (arguments.empty())
        return std::nullopt;
    const auto typeArgument =
        [&](const std::pair<size_t, size_t>& argument) -> std::optional<QString> {
        if (argument.second != argument.first + 1 ||
            pieces[argument.first].kind != TokenKind::String)
            return std::nullopt;
        return pieces[argument.first].value();
    };
    if (name == QLatin1String("tsql_convert") || name == QLatin1String("tsql_try_convert") ||
        name == QLatin1String("tsql_text_as_number"))
        return typeArgument(arguments.front());
    if (name.startsWith(QLatin1String("tsql_exact_")) && arguments.size() == 3)
        return typeArgument(arguments.back());
    return std::nullopt;
}

// The text functions, which give text whatever their arguments (UPPER(c) =
// 'X' needs no probe), and N'...' as the translator writes it.
bool givesText(const QString& function) {
    static const QSet<QString> functions = {
        "tsql_national", "tsql_upper", "tsql_lower",     "ltrim",          "rtrim",
        "trim",          "tsql_left",  "tsql_right",     "tsql_substring", "tsql_replace",
        "tsql_reverse",  "tsql_stuff", "tsql_replicate", "tsql_concat",    "tsql_concat_ws",
        "tsql_space",    "tsql_str"};
    return functions.contains(function.toLower());
}

bool isCompound(const tsql::Pieces& pieces, size_t from, size_t to) {
    return tsql::findTopLevelWord(pieces, from, to, {u"UNION", u"EXCEPT", u"INTERSECT"}) < to;
}

} // namespace

OperandType OperandType::ofDeclaration(const std::optional<QString>& declaration) {
    if (!declaration)
        return {};
    const QString declared = tsql::withoutStoredAffinity(declaration->trimmed());
    if (declared.isEmpty())
        return {};
    const tsql::DeclaredType type = tsql::describeDeclaredType(declared);
    if (tsql::isExactNumberTypeName(type.typeName))
        return {Kind::Exact, declared};
    // A uniqueidentifier is kept as text, but does not convert to a number.
    if (type.isText && type.typeName != QLatin1String("uniqueidentifier"))
        return {Kind::Text, {}};
    if (tsql::integerTypeBytes(type.typeName) > 0)
        return {Kind::Whole, type.typeName};
    if (tsql::isBinaryTypeName(type.typeName))
        return {Kind::Binary, {}};
    return {Kind::Other, {}};
}


OperandTypes::OperandTypes(sqlite3* db, const tsql::Pieces& pieces, const QueryScopes& scopes)
    : m_db(db), m_pieces(pieces), m_scopes(scopes) {}

OperandTypes::~OperandTypes() = default;

OperandType OperandTypes::known(size_t from, size_t to) {
    auto it = m_known.find({from, to});
    if (it == m_known.end())
        it = m_known.emplace(std::make_pair(from, to), knownNow(from, to)).first;
    return it->second;
}

OperandType OperandTypes::typed(size_t from, size_t to) {
    auto it = m_typed.find({from, to});
    if (it == m_typed.end())
        it = m_typed.emplace(std::make_pair(from, to), typedNow(from, to)).first;
    return it->second;
}

OperandType OperandTypes::knownNow(size_t from, size_t to) {
    const Piece& first = m_pieces[from];
    const size_t scope = m_scopes.scopeAt(from);
    if (from == to) {
        switch (first.kind) {
        case TokenKind::String:
        case TokenKind::Parameter:
        case TokenKind::Variable:
            return {OperandType::Kind::Text, {}};
        case TokenKind::Number: {
            // A whole number that fits an int is one; a longer one is a decimal.
            bool whole = false;
            first.text.toInt(&whole);
            return whole ? OperandType{OperandType::Kind::Whole, QStringLiteral("int")}
                         : OperandType{OperandType::Kind::Other, {}};
        }
        default:
            break;
        }
        if (first.isWord(u"NULL"))
            return {OperandType::Kind::Other, {}};
        return isPlainName(first) ? ofColumn(scope, {}, first.value()) : OperandType{};
    }
    if (isBinaryLiteral(m_pieces, from, to))
        return {OperandType::Kind::Binary, {}};
    // t.x, or schema.t.x
    const bool qualified = (to - from == 2 || to - from == 4) && isPlainName(m_pieces[to]) &&
                           m_pieces[to - 1].isPunctuation(u".") && isPlainName(m_pieces[to - 2]);
    if (qualified)
        return ofColumn(scope, m_pieces[to - 2].value(), m_pieces[to].value());
    if (first.kind == TokenKind::Word && m_pieces[from + 1].isPunctuation(u"(") &&
        tsql::closeOf(m_pieces, from + 1) == to) {
        if (givesText(first.text))
            return {OperandType::Kind::Text, {}};
        return OperandType::ofDeclaration(namedTypeOfCall(m_pieces, from, to));
    }
    return {};
}

// The probe is a query of the expression over the block's tables; an
// expression that names an outer query's columns (a correlated subquery's)
// is typed over the outer tables too.
OperandType OperandTypes::typedNow(size_t from, size_t to) {
    const size_t scope = m_scopes.scopeAt(from);
    QString sources;
    for (size_t s = scope; s != none; s = m_scopes.scope(s).parent) {
        const QString& text = m_scopes.scope(s).sourcesText;
        if (text.isEmpty())
            continue;
        sources += (sources.isEmpty() ? QStringLiteral(" FROM ") : QStringLiteral(", ")) + text;
        QueryTyping typing(m_db,
                           m_scopes.withText(scope) + QStringLiteral(" SELECT ") +
                               tsql::render(m_pieces, from, to + 1) + sources,
                           1);
        if (typing.prepared())
            return OperandType::ofDeclaration(typing.declarationOf(0));
    }
    if (!sources.isEmpty() || scope == none)
        return {};
    QueryTyping alone(m_db,
                      m_scopes.withText(scope) + QStringLiteral(" SELECT ") +
                          tsql::render(m_pieces, from, to + 1),
                      1);
    return alone.prepared() ? OperandType::ofDeclaration(alone.declarationOf(0)) : OperandType{};
}

// Where the server looks for the column: the block's own tables, then the
// blocks around it. A name two tables answer to with different types, or one
// a table whose columns cannot be told may hold, stays Unknown.
OperandType OperandTypes::ofColumn(size_t scope, const QString& qualifier, const QString& column) {
    for (size_t s = scope; s != none; s = m_scopes.scope(s).parent) {
        bool named = false;
        bool compound = false;
        std::optional<QString> found;
        for (const QuerySource& source : m_scopes.scope(s).sources) {
            if (!qualifier.isEmpty() && !source.isNamed(qualifier))
                continue;
            named = true;
            const Column candidate = columnIn(source, s, column);
            if (!candidate.found)
                continue;
            if (!candidate.declaration || (found && *found != *candidate.declaration))
                return {};
            found = candidate.declaration;
            compound = compound || candidate.compound;
        }
        if (found) {
            OperandType type = OperandType::ofDeclaration(found);
            type.unconvertedRows = compound && type.kind == OperandType::Kind::Exact;
            return type;
        }
        if (named && !qualifier.isEmpty())
            return {};
    }
    return {};
}

OperandTypes::Column OperandTypes::columnIn(const QuerySource& source, size_t scope,
                                            const QString& column) {
    if (source.derived) {
        // A derived table's query sees the statement's common table expressions.
        const QString text = (m_pieces[source.queryFrom].isWord(u"WITH")
                                  ? QString()
                                  : m_scopes.withText(scope) + QLatin1Char(' ')) +
                             tsql::render(m_pieces, source.queryFrom, source.queryTo);
        return ofQueryColumn(
            QStringLiteral("q:") + text,
            [&] {
                return NamedQuery{std::make_unique<QueryTyping>(m_db, text, 1),
                                  {},
                                  isCompound(m_pieces, source.queryFrom, source.queryTo)};
            },
            column);
    }
    if (source.name.isEmpty())
        return {true, std::nullopt}; // a table-valued function's
    if (source.schema.isEmpty())
        if (const CommonTable* table = m_scopes.commonTable(scope, source.name)) {
            const QString text = m_scopes.withClauseText(table->clause) + QLatin1Char(' ') +
                                 tsql::render(m_pieces, table->bodyFrom, table->bodyTo);
            // The same query under other column names types other columns.
            return ofQueryColumn(
                QStringLiteral("c:%1:").arg(table->columns.join(QLatin1Char(','))) + text,
                [&] {
                    return NamedQuery{std::make_unique<QueryTyping>(m_db, text, 1),
                                      table->columns,
                                      isCompound(m_pieces, table->bodyFrom, table->bodyTo)};
                },
                column);
        }
    const char* type = nullptr;
    const QByteArray schema = source.schema.toUtf8();
    const char* schemaName = source.schema.isEmpty() ? nullptr : schema.constData();
    const QByteArray table = source.name.toUtf8();
    if (sqlite3_table_column_metadata(m_db, schemaName, table.constData(),
                                      column.toUtf8().constData(), &type, nullptr, nullptr, nullptr,
                                      nullptr) == SQLITE_OK)
        return {true, QString::fromUtf8(type ? type : "")};
    // A table without the column (views are no tables here).
    if (sqlite3_table_column_metadata(m_db, schemaName, table.constData(), nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr) == SQLITE_OK)
        return {};
    return ofQueryColumn(
        QStringLiteral("v:%1.%2").arg(source.schema.toLower(), source.name.toLower()),
        [&] { return viewQuery(source); }, column);
}

OperandTypes::Column OperandTypes::ofQueryColumn(const QString& key,
                                                 const std::function<NamedQuery()>& make,
                                                 const QString& column) {
    const std::pair<QString, QString> asked{key, column.toLower()};
    if (const auto known = m_queryColumns.find(asked); known != m_queryColumns.end())
        return known->second;
    const SqliteDatabase::QueryColumnType kept = keptColumnType(m_db, key, column, [&] {
        auto it = m_queries.find(key);
        if (it == m_queries.end())
            it = m_queries.emplace(key, make()).first;
        NamedQuery& query = it->second;
        if (query.typing && !query.typing->prepared())
            return SqliteDatabase::QueryColumnType{true, std::nullopt};
        if (!query.typing)
            return SqliteDatabase::QueryColumnType{};
        int index = query.columns.isEmpty() ? query.typing->columnIndex(column) : -1;
        for (qsizetype i = 0; i < query.columns.size() && index < 0; ++i)
            if (query.columns[i].compare(column, Qt::CaseInsensitive) == 0)
                index = static_cast<int>(i);
        if (index < 0)
            return SqliteDatabase::QueryColumnType{};
        return SqliteDatabase::QueryColumnType{true, query.typing->declarationOf(index),
                                               query.compound};
    });
    const Column found{kept.found, kept.declaration, kept.compound};
    m_queryColumns.emplace(asked, found);
    return found;
}

// A view's columns are typed from the query it was written with (SQLite
// declares the first query's column of a UNION, and no type for an expression).
OperandTypes::NamedQuery OperandTypes::viewQuery(const QuerySource& source) const {
    const bool temporary = source.schema.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0;
    PreparedStatement definition(
        m_db, QStringLiteral("SELECT sql FROM %1 WHERE type = 'view' AND name = ?1 COLLATE NOCASE")
                  .arg(temporary ? QStringLiteral("sqlite_temp_master")
                                 : QStringLiteral("sqlite_master")));
    definition.bindText(1, source.name);
    if (!definition.ok() || definition.step() != SQLITE_ROW)
        return {};
    const tsql::Pieces view = tsql::toPieces(tsql::tokenize(QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_column_text(definition.handle(), 0)))));
    const size_t as = tsql::findTopLevelWord(view, 0, view.size(), u"AS");
    if (as + 1 >= view.size())
        return {};
    // CREATE VIEW v (a, b) AS ...: the columns by position.
    QStringList columns;
    if (view[as - 1].isPunctuation(u")"))
        for (size_t i = tsql::openOf(view, as - 1) + 1; i < as - 1; i += 2)
            columns << view[i].value();
    return NamedQuery{std::make_unique<QueryTyping>(m_db, tsql::render(view, as + 1), 1), columns,
                      isCompound(view, as + 1, view.size())};
}

} // namespace estaciones::db::sqlite
