#include "platform/db/embedded/bind/UpdateTyping.h"

#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/parse/Pieces.h"

#include <optional>

namespace estaciones::db::sqlite {

using tsql::Pieces;

namespace {

// The declaration a query gives the single argument of its first
// tsql_datalength call, quoted as the call's second argument; empty when
// it cannot be told.
QString declaredArgument(const QString& typedQuery) {
    const Pieces pieces = tsql::piecesOf(typedQuery);
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (pieces[i].isWord(u"tsql_datalength") && pieces[i + 1].isPunctuation(u"(")) {
            const size_t close = tsql::closeOf(pieces, i + 1);
            const auto arguments = tsql::splitTopLevel(pieces, i + 2, close);
            return arguments.size() == 2 ? tsql::render(pieces, arguments[1].first, arguments[1].second).trimmed()
                                         : QString();
        }
    }
    return {};
}

} // namespace

namespace {

// Where an UPDATE's parts are: its SET, its FROM (or the end) and the end of
// the FROM clause; nullopt for another statement.
struct UpdateParts {
    size_t set;
    size_t from;
    size_t fromEnd;
};

std::optional<UpdateParts> partsOf(const Pieces& pieces) {
    if (pieces.empty() || !pieces[0].isWord(u"UPDATE")) {
        return std::nullopt;
    }
    const size_t set = tsql::findTopLevelWord(pieces, 1, pieces.size(), u"SET");
    if (set >= pieces.size()) {
        return std::nullopt;
    }
    const size_t from = tsql::findTopLevelWord(pieces, set, pieces.size(), u"FROM");
    size_t fromEnd = pieces.size();
    for (const char16_t* word : {u"WHERE", u"RETURNING", u"ORDER", u"LIMIT"}) {
        fromEnd = std::min(fromEnd, tsql::findTopLevelWord(pieces, from, pieces.size(), word));
    }
    return UpdateParts{set, from, fromEnd};
}

// The queries an UPDATE ... FROM reads its rows and new values from (a
// joined UPDATE is written as one), typed as any query is.
QString withTypedSources(sqlite3* db, const QString& update) {
    Pieces pieces = tsql::piecesOf(update);
    const std::optional<UpdateParts> parts = partsOf(pieces);
    if (!parts || parts->from >= pieces.size()) {
        return update;
    }
    bool changed = false;
    for (size_t i = parts->fromEnd; i-- > parts->from + 1;) {
        if (!pieces[i].isPunctuation(u"(") || !pieces[i + 1].isWord(u"SELECT")) {
            continue;
        }
        const size_t close = tsql::closeOf(pieces, i);
        if (close >= parts->fromEnd) {
            continue;
        }
        const QString query = tsql::render(pieces, i + 1, close);
        const QString typed = withFractionalDivisions(db, query);
        if (typed != query) {
            tsql::replaceRange(pieces, i + 1, close, tsql::piecesOf(typed));
            changed = true;
        }
    }
    return changed ? tsql::render(pieces) : update;
}

} // namespace

QString withTypedDataLengths(sqlite3* db, const QString& statement) {
    const QString update = withTypedSources(db, statement);
    if (!update.contains(QLatin1String("tsql_datalength"))) {
        return update;
    }
    Pieces pieces = tsql::piecesOf(update);
    const std::optional<UpdateParts> parts = partsOf(pieces);
    if (!parts) {
        return update;
    }
    const size_t set = parts->set;
    const size_t from = parts->from;
    const size_t fromEnd = parts->fromEnd;
    // The rows the SET list and WHERE read: the table, and UPDATE ... FROM's sources.
    QString sources = tsql::render(pieces, 1, set);
    if (from < pieces.size()) {
        sources += QStringLiteral(", ") + tsql::render(pieces, from + 1, fromEnd);
    }
    // Right to left, so that the positions still to visit do not move.
    for (size_t i = pieces.size() - 1; i-- > 1;) {
        if (!pieces[i].isWord(u"tsql_datalength") || !pieces[i + 1].isPunctuation(u"(")) {
            continue;
        }
        const size_t close = tsql::closeOf(pieces, i + 1);
        if (close >= pieces.size() || tsql::splitTopLevel(pieces, i + 2, close).size() != 1) {
            continue; // a literal whose type went with it already
        }
        const QString probe = QStringLiteral("SELECT ") + tsql::render(pieces, i, close + 1) +
                              QStringLiteral(" FROM ") + sources;
        QueryTyping typing(db, probe, 0);
        if (!typing.prepared()) {
            continue;
        }
        const QString declaration = declaredArgument(typing.withFractionalDivisions());
        if (!declaration.isEmpty()) {
            tsql::insertPieces(pieces, close, tsql::piecesOf(QStringLiteral(", ") + declaration));
        }
    }
    return tsql::render(pieces);
}

} // namespace estaciones::db::sqlite
