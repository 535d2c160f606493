#include "platform/db/embedded/bind/DataTypeNames.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/CatalogFunctions.h"
#include "platform/db/embedded/parse/Pieces.h"

#include <QRegularExpression>
#include <QSet>

namespace estaciones::db::sqlite {

using tsql::Piece;
using tsql::Pieces;

namespace {

using Span = std::pair<size_t, size_t>;

// The type named at `at`: a name alone or before its size; nullopt for a
// schema's type (dbo.t), which is the catalogue's to know.
std::optional<QString> typeNameAt(const Pieces& pieces, size_t at) {
    if (at >= pieces.size() || !pieces[at].isNameLike() ||
        (at + 1 < pieces.size() && pieces[at + 1].isPunctuation(u".")) ||
        (at > 0 && pieces[at - 1].isPunctuation(u"."))) {
        return std::nullopt;
    }
    return pieces[at].value();
}

std::optional<ProviderError> unknownIn(const Pieces& pieces, size_t at, int ordinal) {
    const std::optional<QString> type = typeNameAt(pieces, at);
    if (!type || isDataTypeName(*type)) {
        return std::nullopt;
    }
    return ordinal == 0 ? sqlServerError(native::NotASystemType, {*type})
                        : sqlServerError(native::DataTypeNotFound, {QString::number(ordinal), *type});
}

// CAST(x AS type), CONVERT(type, x): each call's type.
std::optional<ProviderError> conversionTypeError(const Pieces& pieces) {
    for (size_t i = 0; i + 2 < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.kind != tsql::TokenKind::Word || !pieces[i + 1].isPunctuation(u"(") ||
            (i > 0 && pieces[i - 1].isPunctuation(u"."))) {
            continue;
        }
        std::optional<ProviderError> error;
        if (p.isWord(u"CAST") || p.isWord(u"TRY_CAST")) {
            const size_t close = tsql::closeOf(pieces, i + 1);
            const size_t as = tsql::findTopLevelWord(pieces, i + 2, close, u"AS");
            error = as < close ? unknownIn(pieces, as + 1, 0) : std::nullopt;
        } else if (p.isWord(u"CONVERT") || p.isWord(u"TRY_CONVERT")) {
            error = unknownIn(pieces, i + 2, 0);
        }
        if (error) {
            return error;
        }
    }
    return std::nullopt;
}

bool startsAConstraint(const Piece& p) {
    for (const char16_t* word : {u"CONSTRAINT", u"PRIMARY", u"UNIQUE", u"FOREIGN", u"CHECK",
                                 u"INDEX", u"PERIOD"}) {
        if (p.isWord(word)) {
            return true;
        }
    }
    return false;
}

// The column definitions in pieces [from, to): name type ..., numbered from 1
// (a computed column counts, a table constraint does not).
std::optional<ProviderError> columnTypeError(const Pieces& pieces, size_t from, size_t to) {
    int ordinal = 0;
    for (const Span& item : tsql::splitTopLevel(pieces, from, to)) {
        if (item.first >= item.second || startsAConstraint(pieces[item.first])) {
            continue;
        }
        ++ordinal;
        if (item.first + 1 < item.second && !pieces[item.first + 1].isWord(u"AS")) {
            if (std::optional<ProviderError> error = unknownIn(pieces, item.first + 1, ordinal)) {
                return error;
            }
        }
    }
    return std::nullopt;
}

// DECLARE @a type, @t TABLE (columns), c CURSOR ...
std::optional<ProviderError> declarationTypeError(const Pieces& pieces) {
    int ordinal = 0;
    for (const Span& item : tsql::splitTopLevel(pieces, 1, pieces.size())) {
        ++ordinal;
        if (item.first + 1 >= item.second ||
            pieces[item.first].kind != tsql::TokenKind::Variable) {
            continue;
        }
        size_t type = item.first + 1;
        if (pieces[type].isWord(u"AS")) {
            ++type;
        }
        if (type < item.second && pieces[type].isWord(u"TABLE")) {
            if (type + 1 < item.second && pieces[type + 1].isPunctuation(u"(")) {
                if (auto error =
                        columnTypeError(pieces, type + 2, tsql::closeOf(pieces, type + 1))) {
                    return error;
                }
            }
        } else if (type < item.second && !pieces[type].isWord(u"CURSOR")) {
            if (std::optional<ProviderError> error = unknownIn(pieces, type, ordinal)) {
                return error;
            }
        }
    }
    return std::nullopt;
}

// CREATE TABLE name (columns), ALTER TABLE name ADD columns | ALTER COLUMN c type.
std::optional<ProviderError> tableDefinitionTypeError(const Pieces& pieces) {
    if (pieces[0].isWord(u"CREATE")) {
        for (size_t i = 2; i < pieces.size(); ++i) {
            if (pieces[i].isPunctuation(u"(")) {
                return columnTypeError(pieces, i + 1, tsql::closeOf(pieces, i));
            }
            if (pieces[i].isWord(u"AS")) {
                return std::nullopt; // a table made of a query (CREATE TABLE ... AS SELECT)
            }
        }
        return std::nullopt;
    }
    const size_t add = tsql::findTopLevelWord(pieces, 2, pieces.size(), {u"ADD", u"ALTER"});
    if (add >= pieces.size()) {
        return std::nullopt;
    }
    if (pieces[add].isWord(u"ALTER")) {
        return add + 2 < pieces.size() && pieces[add + 1].isWord(u"COLUMN")
                   ? unknownIn(pieces, add + 3, 1)
                   : std::nullopt;
    }
    return columnTypeError(pieces, add + 1, pieces.size());
}

} // namespace

bool isDataTypeName(const QString& name) {
    static const QSet<QString> names = [] {
        QSet<QString> all = {"integer",    "character",   "dec",     "rowversion",
                             "hierarchyid", "geometry",   "geography"};
        for (const tsql::SystemTypeRow& row : tsql::systemTypeRows()) {
            all.insert(QString::fromLatin1(row.name));
        }
        return all;
    }();
    return names.contains(name.toLower());
}

std::optional<ProviderError> unknownDataTypeError(const tsql::Tokens& tokens) {
    if (tokens.size() < 2) {
        return std::nullopt;
    }
    const Pieces pieces = tsql::toPieces(tokens);
    if (pieces[0].isWord(u"DECLARE")) {
        if (auto error = declarationTypeError(pieces)) {
            return error;
        }
    } else if ((pieces[0].isWord(u"CREATE") || pieces[0].isWord(u"ALTER")) &&
               pieces[1].isWord(u"TABLE")) {
        if (auto error = tableDefinitionTypeError(pieces)) {
            return error;
        }
    }
    return conversionTypeError(pieces);
}

std::optional<QString> dateTimeTypeOf(const std::optional<QString>& declared) {
    static const QRegularExpression dated(QStringLiteral(R"(^\s*((small)?datetime)\b(?!\w))"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = declared ? dated.match(*declared) : QRegularExpressionMatch();
    return match.hasMatch() ? std::optional<QString>(match.captured(1).toLower()) : std::nullopt;
}

} // namespace estaciones::db::sqlite
