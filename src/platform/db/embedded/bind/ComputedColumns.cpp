#include "platform/db/embedded/bind/ComputedColumns.h"

#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/bind/StatementExpressions.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/parse/TextScan.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/storage/TypeNames.h"

namespace estaciones::db::sqlite {

using tsql::Pieces;
using Range = std::pair<size_t, size_t>;

namespace {

// A column of the type `declaration` names (as a column declares it, or as
// typing gives it: "money", "datetime text"), declared as the translator
// declares such a column, with its collation.
QString columnDeclaration(const QString& declaration) {
    QString type = tsql::withoutStoredAffinity(declaration.trimmed());
    if (type.endsWith(QLatin1String(" text"), Qt::CaseInsensitive)) {
        type.chop(5);
    }
    const tsql::DeclaredType described = tsql::describeDeclaredType(type);
    QString sql = tsql::sqliteColumnType(tsql::sqliteDeclaredType(type));
    if (described.isText) {
        sql += QStringLiteral(" COLLATE ") + QLatin1String(tsql::textCollation);
    } else if (described.isDate) {
        sql += QStringLiteral(" COLLATE ") + QLatin1String(tsql::dateCollation);
    }
    return sql;
}

// The column definitions of the statement (CREATE [TEMP] TABLE t (...) or
// ALTER TABLE t ADD COLUMN ...) and the table's name as written; none for
// any other statement.
std::vector<Range> columnDefinitions(const Pieces& pieces, QString* table) {
    size_t k = 0;
    if (pieces.size() > 4 && pieces[0].isWord(u"ALTER") && pieces[1].isWord(u"TABLE") &&
        pieces[3].isWord(u"ADD") && pieces[4].isWord(u"COLUMN")) {
        *table = tsql::render(pieces, 2, 3).trimmed();
        return {{5, pieces.size()}};
    }
    if (pieces.size() < 4 || !pieces[k++].isWord(u"CREATE")) {
        return {};
    }
    if (pieces[k].isWord(u"TEMP")) {
        ++k;
    }
    if (k + 2 >= pieces.size() || !pieces[k].isWord(u"TABLE") ||
        !pieces[k + 2].isPunctuation(u"(")) {
        return {};
    }
    *table = tsql::render(pieces, k + 1, k + 2).trimmed();
    return tsql::splitTopLevel(pieces, k + 3, tsql::closeOf(pieces, k + 2));
}

} // namespace

QString withTypedComputedColumns(sqlite3* db, const QString& statement) {
    // Only a column made GENERATED ALWAYS AS is typed here: the rest need no tokens.
    if (!tsql::mentionsWord(statement, {"generated"}))
        return statement;
    Pieces pieces = tsql::toPieces(tsql::tokenize(statement));
    QString table;
    const std::vector<Range> definitions = columnDefinitions(pieces, &table);
    bool changed = false;
    // From the last, so that the earlier ranges stay where they are.
    for (auto it = definitions.rbegin(); it != definitions.rend(); ++it) {
        const auto [from, to] = *it;
        // name GENERATED ALWAYS AS (expression): no type between name and GENERATED.
        const size_t open = from + 4;
        if (open >= to || !pieces[from + 1].isWord(u"GENERATED") ||
            !pieces[from + 3].isWord(u"AS") || !pieces[open].isPunctuation(u"(")) {
            continue;
        }
        const size_t close = tsql::closeOf(pieces, open);
        const QString probe = QStringLiteral("SELECT %1 FROM %2")
                                  .arg(tsql::render(pieces, open + 1, close).trimmed(), table);
        const std::optional<QString> declaration = QueryTyping(db, probe, 0).declarationOf(0);
        if (!declaration) {
            // Typed by its values; a text among them compares as text columns do.
            tsql::insertPieces(pieces, from + 1,
                               tsql::piecesOf(QStringLiteral(" COLLATE ") +
                                              QLatin1String(tsql::textCollation)));
            changed = true;
            continue;
        }
        // A typing of its own: the one above has noted its rewrites already.
        QueryTyping rewriting(db, probe, 0);
        const std::vector<Pieces> written = rewrittenItems(rewriting, 1);
        if (!written.empty()) {
            tsql::replaceRange(pieces, open + 1, close, written.front());
        }
        tsql::insertPieces(pieces, from + 1,
                           tsql::piecesOf(QLatin1Char(' ') + columnDeclaration(*declaration)));
        changed = true;
    }
    return changed ? tsql::render(pieces) : statement;
}

} // namespace estaciones::db::sqlite
