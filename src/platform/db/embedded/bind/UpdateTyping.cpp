#include "platform/db/embedded/bind/UpdateTyping.h"

#include "platform/db/embedded/bind/QueryTyping.h"
#include "platform/db/embedded/parse/Pieces.h"

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

QString withTypedDataLengths(sqlite3* db, const QString& update) {
    if (!update.contains(QLatin1String("tsql_datalength"))) {
        return update;
    }
    Pieces pieces = tsql::piecesOf(update);
    if (pieces.empty() || !pieces[0].isWord(u"UPDATE")) {
        return update;
    }
    const size_t set = tsql::findTopLevelWord(pieces, 1, pieces.size(), u"SET");
    if (set >= pieces.size()) {
        return update;
    }
    // The rows the SET list and WHERE read: the table, and UPDATE ... FROM's sources.
    const size_t from = tsql::findTopLevelWord(pieces, set, pieces.size(), u"FROM");
    size_t fromEnd = pieces.size();
    for (const char16_t* word : {u"WHERE", u"RETURNING", u"ORDER", u"LIMIT"}) {
        fromEnd = std::min(fromEnd, tsql::findTopLevelWord(pieces, from, pieces.size(), word));
    }
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
