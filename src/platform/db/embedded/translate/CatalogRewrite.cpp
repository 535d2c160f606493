#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/translate/CatalogViews.h"

namespace estaciones::db::tsql::rewrite {

namespace {

bool hasAlias(const Pieces& pieces, size_t next) {
    return next < pieces.size() && (pieces[next].isWord(u"AS") ||
                                    (pieces[next].isNameLike() && !isReservedWord(pieces[next])));
}

} // namespace

// [sys.]fn_listextendedproperty(...) or ::fn_listextendedproperty(...) in a
// FROM clause → its rows as a derived table.
void mapPropertyListings(Pieces& pieces) {
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (!pieces[i].isName(u"fn_listextendedproperty") || !pieces[i + 1].isPunctuation(u"("))
            continue;
        size_t start = i;
        if (start >= 2 && pieces[start - 1].isPunctuation(u".") && pieces[start - 2].isName(u"sys"))
            start -= 2;
        else if (start >= 1 && pieces[start - 1].isPunctuation(u"::"))
            start -= 1;
        const size_t close = closeOf(pieces, i + 1);
        if (close >= pieces.size())
            continue;
        QStringList arguments;
        for (const auto& [from, to] : splitTopLevel(pieces, i + 2, close)) {
            const bool byDefault = to == from + 1 && pieces[from].isWord(u"DEFAULT");
            arguments << (byDefault ? QStringLiteral("NULL") : render(pieces, from, to).trimmed());
        }
        if (arguments.size() < 7)
            sqlite::failWithText(313, QStringLiteral("An insufficient number of arguments were "
                                                     "supplied for the procedure or function "
                                                     "fn_listextendedproperty."));
        if (arguments.size() > 7)
            sqlite::failWithText(8144, QStringLiteral("Procedure or function "
                                                      "fn_listextendedproperty has too many "
                                                      "arguments specified."));
        QString text = QStringLiteral("(%1)").arg(catalog_views::listedExtendedProperties(arguments));
        if (!hasAlias(pieces, close + 1))
            text += QStringLiteral(" AS fn_listextendedproperty");
        Pieces replacement = piecesOf(text);
        const size_t length = replacement.size();
        replaceRange(pieces, start, close + 1, std::move(replacement));
        i = start + length - 1;
    }
}

void mapCatalogViews(Pieces& pieces, const DialectSettings& settings) {
    mapPropertyListings(pieces);
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].isNameLike() || i == 0)
            continue;
        // Only where a table is read (after FROM or JOIN), never a column called so.
        if (!(pieces[i - 1].isWord(u"FROM") || pieces[i - 1].isWord(u"JOIN") ||
              pieces[i - 1].isPunctuation(u",")))
            continue;
        QString query;
        QString alias;
        size_t end = i + 1;
        const bool dotted = i + 2 < pieces.size() && pieces[i + 1].isPunctuation(u".") &&
                            pieces[i + 2].isNameLike();
        if (pieces[i].isName(tempdbSysobjects) && !dotted) {
            query = catalog_views::temporarySysobjects();
            alias = QStringLiteral("sysobjects");
        } else if (!dotted) {
            alias = pieces[i].value().toLower();
            query = catalog_views::compatibilityView(alias, settings);
        } else if (pieces[i].isName(u"sys")) {
            alias = pieces[i + 2].value().toLower();
            end = i + 3;
            query = catalog_views::systemView(alias, settings);
        } else if (pieces[i].isName(u"INFORMATION_SCHEMA")) {
            alias = pieces[i + 2].value().toUpper();
            end = i + 3;
            query = catalog_views::informationSchemaView(alias, settings);
        }
        if (query.isEmpty())
            continue;
        QString text = QStringLiteral("(%1)").arg(query);
        if (!hasAlias(pieces, end))
            text += QStringLiteral(" AS ") + quoteName(alias);
        Pieces replacement = piecesOf(text);
        const size_t length = replacement.size();
        replaceRange(pieces, i, end, std::move(replacement));
        i += length - 1;
    }
}

void completeStatementSyntax(Pieces& pieces) {
    if (pieces.empty())
        return;
    size_t first = 0;
    while (first < pieces.size() && pieces[first].isPunctuation(u";"))
        ++first;
    if (first >= pieces.size())
        return;
    // INSERT t and DELETE t, also after a WITH clause: SQLite needs INTO and FROM.
    const auto completeVerb = [&](size_t verb) {
        if (verb + 1 >= pieces.size())
            return;
        if (pieces[verb].isWord(u"INSERT") && !pieces[verb + 1].isWord(u"INTO"))
            insertPieces(pieces, verb + 1, piecesOf(QStringLiteral("INTO")));
        if (pieces[verb].isWord(u"DELETE") && !pieces[verb + 1].isWord(u"FROM"))
            insertPieces(pieces, verb + 1, piecesOf(QStringLiteral("FROM")));
    };
    completeVerb(first);
    if (pieces[first].isWord(u"WITH") && first + 1 < pieces.size() &&
        !pieces[first + 1].isWord(u"RECURSIVE")) {
        // WITH a [(cols)] AS (body), b AS (body) ...: recursive when a body names its own CTE.
        size_t i = first + 1;
        bool recursive = false;
        while (i < pieces.size() && pieces[i].isNameLike()) {
            const QString name = pieces[i].value();
            size_t j = i + 1;
            if (j < pieces.size() && pieces[j].isPunctuation(u"("))
                j = closeOf(pieces, j) + 1;
            if (j >= pieces.size() || !pieces[j].isWord(u"AS") || j + 1 >= pieces.size() ||
                !pieces[j + 1].isPunctuation(u"("))
                break;
            const size_t close = closeOf(pieces, j + 1);
            for (size_t k = j + 2; k < close && k < pieces.size(); ++k)
                recursive = recursive || pieces[k].isName(name);
            i = close + 1;
            if (i < pieces.size() && pieces[i].isPunctuation(u","))
                ++i;
            else {
                completeVerb(i);
                break;
            }
        }
        if (recursive)
            insertPieces(pieces, first + 1, piecesOf(QStringLiteral("RECURSIVE")));
    }
}

void rewriteQuery(Pieces& pieces, const DialectSettings& settings) {
    expandCompoundAssignments(pieces);
    moveLeadingAliases(pieces);
    nameTextSortItems(pieces);
    checkCaseResults(pieces);
    checkScalarSubqueries(pieces);
    joinForXmlPath(pieces);
    nameDerivedTableColumns(pieces);
    rewriteTableOperators(pieces, settings);
    expandGroupingSets(pieces);
    mapCatalogViews(pieces, settings);
    mapFunctions(pieces);
    orderWrittenDates(pieces, settings);
    mapAtTimeZone(pieces);
    collateOffsetValues(pieces);
    mapMoneyLiterals(pieces);
    keepWideLiteralsExact(pieces);
    checkIntLiteralArithmetic(pieces);
    mapDivisionOperators(pieces);
    mapBitwiseOperators(pieces);
    mapPlusOperator(pieces);
    mapMinusOperator(pieces);
    canonicaliseDateLiterals(pieces, settings);
    convertTextComparedWithNumbers(pieces);
    addComparisonCollations(pieces);
    collateTextResults(pieces);
    moveOffsetFetchToLimit(pieces);
    moveTopToLimit(pieces);
    completeStatementSyntax(pieces);
}

} // namespace estaciones::db::tsql::rewrite
