#include "platform/db/embedded/bind/NumbersIntoTextColumns.h"

#include "platform/db/embedded/bind/ArithmeticTypes.h"
#include "platform/db/embedded/bind/DataTypeNames.h"
#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/bind/SelectListItems.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QHash>

#include <sqlite3.h>

#include <functional>
#include <optional>

namespace estaciones::db::sqlite {

using tsql::Pieces;
using tsql::TokenKind;
using Span = std::pair<size_t, size_t>;

namespace {

// The character columns of `table` by lower-case name, each with the type a
// conversion to it names ("varchar(10)", "nchar(1)", "nvarchar(max)"); and
// every column's name in order, for an INSERT without a column list.
struct TableColumns {
    QHash<QString, QString> characterTypes;
    QStringList names;
};

TableColumns columnsOf(sqlite3* db, const QString& table) {
    TableColumns columns;
    PreparedStatement query(db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(table));
    if (!query.ok()) {
        return columns;
    }
    for (int i = 0; i < sqlite3_column_count(query.handle()); ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(query.handle(), i));
        columns.names << name.toLower();
        const char* declared = sqlite3_column_decltype(query.handle(), i);
        if (!declared) {
            continue;
        }
        const tsql::DeclaredType type = tsql::describeDeclaredType(QString::fromUtf8(declared));
        const QString& base = type.typeName;
        if (base == QLatin1String("sysname")) {
            columns.characterTypes.insert(name.toLower(), QStringLiteral("nvarchar(128)"));
        } else if (base == QLatin1String("char") || base == QLatin1String("varchar") ||
                   base == QLatin1String("nchar") || base == QLatin1String("nvarchar")) {
            const int length = type.characterLength.value_or(1);
            columns.characterTypes.insert(
                name.toLower(), QStringLiteral("%1(%2)").arg(
                                    base, length < 0 ? QStringLiteral("max") : QString::number(length)));
        }
    }
    return columns;
}

QString columnName(const tsql::Piece& piece) {
    return piece.value().toLower();
}

class TextColumnValues {
public:
    TextColumnValues(sqlite3* db, const QString& statement)
        : m_db(db), m_pieces(tsql::toPieces(tsql::tokenize(statement))) {}

    QString converted() {
        if (m_pieces.size() > 2 && m_pieces[0].isWord(u"INSERT")) {
            insert();
        } else if (m_pieces.size() > 2 && m_pieces[0].isWord(u"UPDATE")) {
            update();
        }
        if (m_conversions.empty()) {
            return {};
        }
        for (const Conversion& c : m_conversions) {
            m_pieces[c.value.first].text.prepend(
                QStringLiteral("tsql_convert(%1, ").arg(tsql::Token::string(c.target).text));
            m_pieces[c.value.second - 1].text.append(
                QStringLiteral(", NULL, %1)").arg(tsql::Token::string(c.source).text));
        }
        return tsql::render(m_pieces);
    }

private:
    struct Conversion {
        Span value;
        QString target;
        QString source;
    };

    // INSERT INTO t [(c, ...)] VALUES (...), ... | SELECT ...
    void insert() {
        const size_t end = m_pieces.size();
        size_t at = 1;
        if (!m_pieces[at].isWord(u"INTO") || at + 1 >= end) {
            return;
        }
        const QString table = m_pieces[++at].text;
        const TableColumns columns = columnsOf(m_db, table);
        if (columns.characterTypes.isEmpty()) {
            return;
        }
        QStringList targets = columns.names;
        if (++at < end && m_pieces[at].isPunctuation(u"(")) {
            const size_t close = tsql::closeOf(m_pieces, at);
            targets.clear();
            for (const auto& [first, last] : tsql::splitTopLevel(m_pieces, at + 1, close)) {
                targets << (last == first + 1 ? columnName(m_pieces[first]) : QString());
            }
            at = close + 1;
        }
        if (at < end && m_pieces[at].isWord(u"VALUES")) {
            values(at + 1, targets, columns);
        } else if (at < end && m_pieces[at].isWord(u"SELECT")) {
            selectList(at, targets, columns);
        }
    }

    void values(size_t from, const QStringList& targets, const TableColumns& columns) {
        const size_t end = m_pieces.size();
        for (size_t i = from; i < end && m_pieces[i].isPunctuation(u"(");) {
            const size_t close = tsql::closeOf(m_pieces, i);
            if (close >= end) {
                return;
            }
            const auto row = tsql::splitTopLevel(m_pieces, i + 1, close);
            for (size_t k = 0; k < row.size() && k < static_cast<size_t>(targets.size()); ++k) {
                const QString target = columns.characterTypes.value(targets[int(k)]);
                const Span value = row[k];
                note(value, target, [&] {
                    return probedType(QStringLiteral("SELECT ") +
                                      tsql::render(m_pieces, value.first, value.second));
                });
            }
            i = close + 1 < end && m_pieces[close + 1].isPunctuation(u",") ? close + 2 : end;
        }
    }

    // INSERT ... SELECT: the items of a single query, typed by that query.
    void selectList(size_t select, const QStringList& targets, const TableColumns& columns) {
        const size_t end = m_pieces.size();
        for (size_t i = select + 1; i < end; ++i) {
            if (m_pieces[i].isWord(u"UNION") || m_pieces[i].isWord(u"EXCEPT") ||
                m_pieces[i].isWord(u"INTERSECT")) {
                return; // the branches' types meet first
            }
            if (m_pieces[i].isPunctuation(u"(")) {
                i = tsql::closeOf(m_pieces, i);
            }
        }
        const size_t listStart = selectListStart(m_pieces, select, end);
        const size_t listEnd =
            clauseStart(m_pieces, listStart, end, {u"FROM", u"WHERE", u"GROUP", u"HAVING",
                                                   u"ORDER", u"LIMIT", u"WINDOW"});
        const auto items = tsql::splitTopLevel(m_pieces, listStart, listEnd);
        std::optional<QueryTyping> typing;
        for (size_t k = 0; k < items.size() && k < static_cast<size_t>(targets.size()); ++k) {
            if (isStarItem(m_pieces, items[k])) {
                return;
            }
            const Span value{items[k].first, expressionEnd(m_pieces, items[k].first, items[k].second)};
            note(value, columns.characterTypes.value(targets[int(k)]), [&] {
                if (!typing) {
                    typing.emplace(m_db, tsql::render(m_pieces, select), 0);
                }
                return typing->prepared() ? typing->declarationOf(int(k)) : std::nullopt;
            });
        }
    }

    // UPDATE t SET c = e, ... [FROM ...] [WHERE ...]: each e over the
    // table and the FROM clause's sources.
    void update() {
        const size_t end = m_pieces.size();
        const size_t set = tsql::findTopLevelWord(m_pieces, 1, end, u"SET");
        if (set != 2 || set >= end) {
            return;
        }
        const TableColumns columns = columnsOf(m_db, m_pieces[1].text);
        if (columns.characterTypes.isEmpty()) {
            return;
        }
        const size_t from = tsql::findTopLevelWord(m_pieces, set + 1, end, u"FROM");
        const size_t where = tsql::findTopLevelWord(m_pieces, set + 1, end, u"WHERE");
        const size_t tail =
            clauseStart(m_pieces, set + 1, end, {u"ORDER", u"LIMIT", u"RETURNING"});
        QString sources = QStringLiteral(" FROM ") + m_pieces[1].text;
        if (from < end) {
            sources += QStringLiteral(", ") +
                       tsql::render(m_pieces, from + 1, std::min({where, tail, end}));
        }
        for (const auto& [first, last] :
             tsql::splitTopLevel(m_pieces, set + 1, std::min({from, where, tail}))) {
            if (last < first + 3 || !m_pieces[first + 1].isPunctuation(u"=")) {
                continue;
            }
            const Span value{first + 2, last};
            note(value, columns.characterTypes.value(columnName(m_pieces[first])), [&] {
                return probedType(QStringLiteral("SELECT ") +
                                  tsql::render(m_pieces, value.first, value.second) + sources);
            });
        }
    }

    // Notes the conversion of `value` to the character type `target` (none:
    // no character column) when the value's type gives its text: a literal by
    // its form, anything else by `typeOf`.
    void note(Span value, const QString& target,
              const std::function<std::optional<QString>()>& typeOf) {
        if (target.isEmpty() || value.second <= value.first) {
            return;
        }
        const tsql::Piece& first = m_pieces[value.first];
        const bool single = value.second == value.first + 1;
        if (single && (first.kind == TokenKind::String || first.isWord(u"NULL"))) {
            return;
        }
        std::optional<NumericType> type;
        std::optional<QString> declared;
        if (single && first.kind == TokenKind::Number) {
            type = NumericType::fromLiteral(first.text);
        } else if ((declared = typeOf())) {
            type = NumericType::fromDeclaration(*declared);
        }
        if (type && type->hasTypedText()) {
            m_conversions.push_back({value, target, type->declaration()});
        } else if (const std::optional<QString> dated = dateTimeTypeOf(declared)) {
            m_conversions.push_back({value, target, *dated}); // style 0, as CAST writes it
        }
    }

    std::optional<QString> probedType(const QString& probe) {
        QueryTyping typing(m_db, probe, 0);
        return typing.prepared() ? typing.declarationOf(0) : std::nullopt;
    }

    sqlite3* m_db;
    Pieces m_pieces;
    std::vector<Conversion> m_conversions;
};

} // namespace

QString withNumbersAsColumnText(sqlite3* db, const QString& statement) {
    const QString converted = TextColumnValues(db, statement).converted();
    return converted.isEmpty() ? statement : converted;
}

} // namespace estaciones::db::sqlite
