#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/bind/ArithmeticTypes.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/parse/ObjectNameBeforeParenthesis.h"

#include <QHash>
#include <QSet>
#include <QRegularExpression>

namespace estaciones::db::tsql::rewrite {

namespace {

// Functions that only change name; the arguments stay as they are.
const QHash<QString, QString>& renamedFunctions() {
    static const QHash<QString, QString> names = {
        {"isnull", "ifnull"},
        {"len", "tsql_len"},
        {"substring", "tsql_substring"},
        {"charindex", "tsql_charindex"},
        {"upper", "tsql_upper"},
        {"lower", "tsql_lower"},
        {"replace", "tsql_replace"},
        {"left", "tsql_left"},
        {"right", "tsql_right"},
        {"space", "tsql_space"},
        {"replicate", "tsql_replicate"},
        {"str", "tsql_str"},
        {"round", "tsql_round"},
        {"floor", "tsql_floor"},
        {"ceiling", "tsql_ceiling"},
        {"newid", "tsql_newid"},
        {"getdate", "tsql_getdate"},
        {"sysdatetime", "tsql_sysdatetime"},
        {"sysutcdatetime", "tsql_sysutcdatetime"},
        {"sysdatetimeoffset", "tsql_sysdatetimeoffset"},
        {"datetimeoffsetfromparts", "tsql_datetimeoffsetfromparts"},
        {"getutcdate", "tsql_getutcdate"},
        {"rand", "tsql_rand"},
        {"object_id", "tsql_object_id"},
        {"objectproperty", "tsql_objectproperty"},
        {"objectpropertyex", "tsql_objectpropertyex"},
        {"col_length", "tsql_col_length"},
        {"patindex", "tsql_patindex"},
        {"stuff", "tsql_stuff"},
        {"reverse", "tsql_reverse"},
        {"datalength", "tsql_datalength"},
        {"string_escape", "tsql_string_escape"},
        {"concat", "tsql_concat"},
        {"concat_ws", "tsql_concat_ws"},
        {"choose", "tsql_choose"},
        {"formatmessage", "tsql_formatmessage"},
        {"eomonth", "tsql_eomonth"},
        {"datefromparts", "tsql_datefromparts"},
        {"datetimefromparts", "tsql_datetimefromparts"},
        {"smalldatetimefromparts", "tsql_smalldatetimefromparts"},
        {"datetime2fromparts", "tsql_datetime2fromparts"},
        {"timefromparts", "tsql_timefromparts"},
        {"col_name", "tsql_col_name"},
        {"columnproperty", "tsql_columnproperty"},
        {"isnumeric", "tsql_isnumeric"},
        {"isdate", "tsql_isdate"},
        {"suser_sname", "tsql_system_user"},
        {"suser_name", "tsql_system_user"},
        {"original_login", "tsql_system_user"},
        {"object_name", "tsql_object_name"},
        {"object_definition", "tsql_object_definition"},
        {"object_schema_name", "tsql_object_schema_name"},
        {"indexproperty", "tsql_indexproperty"},
        {"type_id", "tsql_type_id"},
        {"type_name", "tsql_type_name_of_id"},
        {"schema_id", "tsql_schema_id"},
        {"schema_name", "tsql_schema_name"},
        {"ascii", "tsql_ascii"},
        {"char", "tsql_char"},
        {"nchar", "tsql_nchar"},
        {"count_big", "count"},
        {"format", "tsql_format"},
        {"quotename", "tsql_quotename"},
        {"translate", "tsql_translate"},
        {"checksum", "tsql_checksum"},
        {"hashbytes", "tsql_hashbytes"},
        {"string_split", "tsql_string_split"},
        {"ident_seed", "tsql_ident_seed"},
        {"ident_incr", "tsql_ident_incr"},
        {"ident_current", "tsql_ident_current"},
        {"sql_variant_property", "tsql_sql_variant_property"},
    };
    return names;
}

// Functions that become a parameter the executor binds.
const QHash<QString, QString>& sessionValueFunctions() {
    static const QHash<QString, QString> names = {
        {"scope_identity", "@__identity"}, {"host_name", "@__host_name"},
        {"app_name", "@__app_name"},
    };
    return names;
}

// Words that stand for a value without parentheses.
const QHash<QString, QString>& niladicFunctions() {
    static const QHash<QString, QString> names = {
        {"current_timestamp", "tsql_getdate(0)"},
        {"system_user", "tsql_system_user()"},
        {"current_user", "tsql_database_user()"},
        {"session_user", "tsql_database_user()"},
    };
    return names;
}

// The server reads these once per reference in a statement, the first row's
// value for every row: each call gets a constant last argument, with which
// SQLite keeps the value for the statement's run (FunctionSpec::oncePerRun).
// A call written with arguments it does not take keeps failing for them.
bool isRuntimeConstant(const QString& name) {
    static const QSet<QString> names = {"getdate",        "getutcdate",        "sysdatetime",
                                        "sysutcdatetime", "sysdatetimeoffset", "rand"};
    return names.contains(name);
}

void appendRunReference(Pieces& pieces, size_t open, size_t close) {
    const bool alone = close == open + 1;
    Pieces reference = piecesOf(alone ? QStringLiteral("0") : QStringLiteral(", 0"));
    reference.front().space.clear();
    insertPieces(pieces, close, reference);
}

Pieces stringPiece(const QString& value) {
    Piece p;
    static_cast<Token&>(p) = Token::string(value);
    return {p};
}

// name(args) → tsql_name('first argument as text', other args...).
Pieces withFirstArgumentAsText(const QString& newName, const Pieces& pieces, size_t open,
                               size_t close) {
    const auto args = splitTopLevel(pieces, open + 1, close);
    Pieces out = piecesOf(newName + QStringLiteral("("));
    out.front().space.clear();
    if (!args.empty()) {
        // A single name ([dw], "varchar") stands for its own text.
        const auto [from, to] = args[0];
        const QString first = to == from + 1 && pieces[from].isNameLike()
                                  ? pieces[from].value()
                                  : render(pieces, from, to).trimmed();
        Pieces text = stringPiece(first);
        out.insert(out.end(), text.begin(), text.end());
    }
    for (size_t a = 1; a < args.size(); ++a) {
        out.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
        const Pieces arg = slice(pieces, args[a].first, args[a].second);
        out.insert(out.end(), arg.begin(), arg.end());
    }
    out.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    return out;
}

void checkDatetimeLiteral(Pieces& call);

// DATEPART(tzoffset, '... +05:10'): the literal keeps its offset, which a
// conversion to datetime2 would drop.
bool isTimeZoneOffsetPart(const Pieces& pieces, size_t open, size_t close) {
    const auto args = splitTopLevel(pieces, open + 1, close);
    return !args.empty() && args[0].second == args[0].first + 1 &&
           (pieces[args[0].first].isWord(u"tzoffset") || pieces[args[0].first].isWord(u"tz"));
}

// A text literal given as a date function's date is read as the type the
// server reads it as, whatever form the text has: DATEADD answers a datetime
// for it, and DATEPART and DATENAME take every part of it (a time alone is
// on 1 January 1900), where a variable or column of type time or date has
// only its own parts. tsql_f(..., 'text') → tsql_f(..., tsql_convert('type', 'text')).
void literalAsDateType(Pieces& call, size_t argument, const QString& type) {
    const size_t open = 1;
    const auto args = splitTopLevel(call, open + 1, call.size() - 1);
    if (args.size() <= argument || args[argument].second != args[argument].first + 1 ||
        call[args[argument].first].kind != TokenKind::String)
        return;
    const Piece& literal = call[args[argument].first];
    Pieces converted = piecesOf(QStringLiteral("tsql_convert('%1', %2)").arg(type, literal.text));
    converted.front().space = literal.space;
    checkDatetimeLiteral(converted);
    replaceRange(call, args[argument].first, args[argument].second, std::move(converted));
}

// A text literal converted to datetime passes tsql_datetime_literal first,
// which refuses what a datetime cannot hold (a fourth digit of a second, an
// offset from UTC) where the conversion would round it or drop it:
// tsql_convert('datetime', 'text' ...) → tsql_convert('datetime', tsql_datetime_literal('text') ...).
void checkDatetimeLiteral(Pieces& call) {
    const auto args = splitTopLevel(call, 2, call.size() - 1);
    if (args.size() < 2 || args[0].second != args[0].first + 1 ||
        call[args[0].first].kind != TokenKind::String ||
        call[args[0].first].value().trimmed().compare(QLatin1String("datetime"),
                                                      Qt::CaseInsensitive) != 0 ||
        args[1].second != args[1].first + 1 || call[args[1].first].kind != TokenKind::String)
        return;
    const Piece& literal = call[args[1].first];
    Pieces checked = piecesOf(QStringLiteral("tsql_datetime_literal(%1)").arg(literal.text));
    checked.front().space = literal.space;
    replaceRange(call, args[1].first, args[1].second, std::move(checked));
}

// CAST(x AS type) → tsql_convert('type', x); PARSE(x AS type USING culture)
// → tsql_parse('type', x, culture), the culture NULL when not given.
Pieces castCall(const QString& newName, const Pieces& pieces, size_t open, size_t close,
                bool withCulture = false) {
    const size_t as = findTopLevelWord(pieces, open + 1, close, u"AS");
    if (as == close)
        return slice(pieces, open - 1, close + 1);
    const size_t end = withCulture ? findTopLevelWord(pieces, as + 1, close, u"USING") : close;
    Pieces out = piecesOf(newName + QStringLiteral("("));
    out.front().space.clear();
    Pieces type = stringPiece(render(pieces, as + 1, end).trimmed());
    out.insert(out.end(), type.begin(), type.end());
    out.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
    Pieces value = slice(pieces, open + 1, as);
    if (!value.empty())
        value.front().space = QStringLiteral(" ");
    out.insert(out.end(), value.begin(), value.end());
    if (withCulture) {
        out.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
        const Pieces culture =
            end < close ? slice(pieces, end + 1, close) : piecesOf(QStringLiteral(" NULL"));
        out.insert(out.end(), culture.begin(), culture.end());
    }
    out.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    return out;
}

// A conversion to a character or binary type written without its length
// converts to 30 of them (DECLARE's and a column's default of 1 is another
// rule): tsql_convert('varchar', x) → tsql_convert('varchar(30)', x).
void withDefaultConversionLength(Pieces& call) {
    if (call.size() < 3 || call[2].kind != TokenKind::String)
        return;
    static const QSet<QString> sized = {"char",   "varchar", "nchar",
                                        "nvarchar", "binary", "varbinary"};
    QString type = call[2].value().trimmed();
    if (type.size() > 2 && type.front() == u'[' && type.back() == u']')
        type = type.mid(1, type.size() - 2);
    if (!sized.contains(type.toLower()))
        return;
    Pieces sizedType = stringPiece(type + QStringLiteral("(30)"));
    sizedType.front().space = call[2].space;
    replaceRange(call, 2, 3, std::move(sizedType));
}

// TRIM(characters FROM x) → trim(x, characters): SQLite's trim takes the set second.
Pieces trimCall(const Pieces& pieces, size_t open, size_t close) {
    const size_t from = findTopLevelWord(pieces, open + 1, close, u"FROM");
    if (from == close)
        return slice(pieces, open - 1, close + 1);
    Pieces out = piecesOf(QStringLiteral("trim("));
    out.front().space.clear();
    const Pieces value = slice(pieces, from + 1, close);
    out.insert(out.end(), value.begin(), value.end());
    out.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
    const Pieces characters = slice(pieces, open + 1, from);
    out.insert(out.end(), characters.begin(), characters.end());
    out.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    return out;
}

// STRING_AGG(x, separator) [WITHIN GROUP (ORDER BY k [ASC|DESC], ...)] →
// tsql_string_agg(x, separator, k, descending, ...): SQLite's aggregates
// take no order of their own, so the keys travel with each value. `end`
// becomes the index after the last piece replaced.
Pieces stringAggCall(const Pieces& pieces, size_t open, size_t close, size_t& end) {
    Pieces out = piecesOf(QStringLiteral("tsql_string_agg("));
    out.front().space.clear();
    const Pieces arguments = slice(pieces, open + 1, close);
    out.insert(out.end(), arguments.begin(), arguments.end());
    end = close + 1;
    if (end + 2 < pieces.size() && pieces[end].isWord(u"WITHIN") &&
        pieces[end + 1].isWord(u"GROUP") && pieces[end + 2].isPunctuation(u"(")) {
        const size_t groupOpen = end + 2;
        const size_t groupClose = closeOf(pieces, groupOpen);
        if (groupClose >= pieces.size() || groupOpen + 2 >= groupClose ||
            !pieces[groupOpen + 1].isWord(u"ORDER") || !pieces[groupOpen + 2].isWord(u"BY"))
            sqlite::failWith(sqlite::native::SyntaxErrorNearKeyword, {QStringLiteral("WITHIN")});
        for (const auto& [from, to] : splitTopLevel(pieces, groupOpen + 3, groupClose)) {
            size_t keyEnd = to;
            bool descending = false;
            if (keyEnd > from && (pieces[keyEnd - 1].isWord(u"DESC") ||
                                  pieces[keyEnd - 1].isWord(u"ASC"))) {
                descending = pieces[keyEnd - 1].isWord(u"DESC");
                --keyEnd;
            }
            out.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
            const Pieces key = slice(pieces, from, keyEnd);
            out.insert(out.end(), key.begin(), key.end());
            const Pieces direction = piecesOf(descending ? QStringLiteral(", 1") : QStringLiteral(", 0"));
            out.insert(out.end(), direction.begin(), direction.end());
        }
        end = groupClose + 1;
    }
    out.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    return out;
}

bool isColumnReference(const Pieces& pieces, size_t from, size_t to) {
    return (to == from + 1 && pieces[from].isNameLike()) ||
           (to == from + 3 && pieces[from].isNameLike() && pieces[from + 1].isPunctuation(u".") &&
            pieces[from + 2].isNameLike());
}

// NULLIF(a, b) compares as '=' does: text by the database's collation (case
// and trailing blanks aside). SQLite takes the collation from the first
// argument that names one, so a column keeps its own.
Pieces nullifCall(const Pieces& pieces, size_t open, size_t close) {
    const auto args = splitTopLevel(pieces, open + 1, close);
    if (args.size() != 2 || findTopLevelWord(pieces, open + 1, close, u"COLLATE") != close ||
        isColumnReference(pieces, args[0].first, args[0].second))
        return slice(pieces, open - 1, close + 1);
    Pieces out = slice(pieces, open - 1, close);
    out.front().space.clear();
    const Pieces collation =
        piecesOf(QStringLiteral(" COLLATE %1").arg(QLatin1String(textCollation)));
    out.insert(out.end(), collation.begin(), collation.end());
    out.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    return out;
}

// DB_ID(x) → tsql_db_id(@__databases, @__db_name, x): the session's
// databases and its current one go first.
Pieces withSessionDatabases(const QString& newName, const Pieces& pieces, size_t open,
                            size_t close) {
    Pieces out = piecesOf(newName + QStringLiteral("(@__databases, @__db_name"));
    out.front().space.clear();
    if (close > open + 1) {
        out.push_back(Piece{Token::punctuation(QStringLiteral(",")), {}});
        const Pieces args = slice(pieces, open + 1, close);
        out.insert(out.end(), args.begin(), args.end());
    }
    out.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    return out;
}

// YEAR(x) → tsql_datepart('year', x).
Pieces datePartShortcut(const QString& part, const Pieces& pieces, size_t open, size_t close) {
    Pieces out = piecesOf(QStringLiteral("tsql_datepart('%1',").arg(part));
    out.front().space.clear();
    const Pieces arg = slice(pieces, open + 1, close);
    out.insert(out.end(), arg.begin(), arg.end());
    out.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
    return out;
}

// The declaration of a decimal or money value whose type the text tells:
// a literal with a fraction (1.50 is decimal(3,2)) or a CAST/CONVERT to one.
std::optional<QString> decimalTypeOf(const Pieces& pieces, size_t from, size_t to) {
    if (to == from + 1 && pieces[from].kind == TokenKind::Number) {
        const auto literal = sqlite::NumericType::fromLiteral(pieces[from].text);
        if (literal && literal->kind() == sqlite::NumericType::Kind::Decimal)
            return literal->declaration();
        return std::nullopt;
    }
    if (to < from + 4 || !pieces[from].isWord(u"tsql_convert") ||
        !pieces[from + 1].isPunctuation(u"(") || closeOf(pieces, from + 1) != to - 1 ||
        pieces[from + 2].kind != TokenKind::String)
        return std::nullopt;
    const auto type = sqlite::NumericType::fromDeclaration(pieces[from + 2].value());
    if (!type || (type->kind() != sqlite::NumericType::Kind::Decimal &&
                  type->kind() != sqlite::NumericType::Kind::Money &&
                  type->kind() != sqlite::NumericType::Kind::SmallMoney))
        return std::nullopt;
    return pieces[from + 2].value();
}

// A conversion to text of a decimal or money value whose type is known here
// gets that type as a fourth argument: the text keeps the scale's zeros
// (1.50 → '1.50'), which the stored number alone has lost.
void passDecimalSource(Pieces& call) {
    if (call.size() < 4 || call[2].kind != TokenKind::String)
        return;
    static const QRegularExpression textType(QStringLiteral("^\\s*n?(var)?char\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (!textType.match(call[2].value()).hasMatch())
        return;
    const auto args = splitTopLevel(call, 2, call.size() - 1);
    if (args.size() < 2 || args.size() > 3)
        return;
    // A NULL style gives NULL whatever the source.
    if (args.size() == 3 && args[2].second == args[2].first + 1 && call[args[2].first].isWord(u"NULL"))
        return;
    const auto source = decimalTypeOf(call, args[1].first, args[1].second);
    if (!source)
        return;
    Pieces extra = piecesOf(args.size() == 2 ? QStringLiteral(", NULL, ") : QStringLiteral(", "));
    const Pieces declaration = stringPiece(*source);
    extra.insert(extra.end(), declaration.begin(), declaration.end());
    insertPieces(call, call.size() - 1, extra);
}

// DATALENGTH(N'abc'): the literal's type goes with it as a second argument,
// since the text SQLite sees no longer tells nvarchar from varchar. In a
// longer argument (N'a' + x) each national literal is marked
// tsql_national('a') for the binder, which types the argument (see
// QueryTyping) and passes its type the same way.
void markNationalLiterals(Pieces& pieces, size_t open, size_t& close);

void passNationalLiteralType(Pieces& pieces, size_t open, size_t& close) {
    if (close == open + 2 && pieces[open + 1].kind == TokenKind::String) {
        if (!pieces[open + 1].wasNational)
            return;
        Pieces extra = piecesOf(QStringLiteral(", "));
        const Pieces declaration = stringPiece(QStringLiteral("nvarchar"));
        extra.insert(extra.end(), declaration.begin(), declaration.end());
        insertPieces(pieces, close, extra);
        close += extra.size();
        return;
    }
    markNationalLiterals(pieces, open, close);
}

// Every N'…' literal in the call's parentheses as tsql_national('…').
void markNationalLiterals(Pieces& pieces, size_t open, size_t& close) {
    for (size_t k = close; k-- > open + 1;) {
        if (pieces[k].kind != TokenKind::String || !pieces[k].wasNational)
            continue;
        Pieces marked = piecesOf(QStringLiteral("tsql_national("));
        marked.front().space = pieces[k].space;
        Piece literal = pieces[k];
        literal.space.clear();
        marked.push_back(literal);
        marked.push_back(Piece{Token::punctuation(QStringLiteral(")")), {}});
        close += marked.size() - 1;
        replaceRange(pieces, k, k + 1, marked);
    }
}

// tsql_convert('varbinary', N'abc'): the literal is marked, since its bytes
// are two a character; the binder passes the source type on (QueryTyping).
void markNationalTextToBinary(Pieces& call) {
    static const QRegularExpression binaryType(QStringLiteral("^\\s*(var)?binary\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (call.size() < 4 || call[2].kind != TokenKind::String ||
        !binaryType.match(call[2].value()).hasMatch())
        return;
    size_t close = call.size() - 1;
    markNationalLiterals(call, 1, close);
}

} // namespace

void mapFunctions(Pieces& pieces) {
    // Right to left, so that a call's arguments are already mapped when it is.
    for (size_t i = pieces.size(); i-- > 0;) {
        const Piece& p = pieces[i];
        if (p.kind != TokenKind::Word || (i > 0 && pieces[i - 1].isPunctuation(u".")))
            continue;
        const QString name = p.text.toLower();
        const bool call = i + 1 < pieces.size() && pieces[i + 1].isPunctuation(u"(") &&
                          !namesAnObjectBeforeParenthesis(pieces, i);
        if (!call) {
            if (const auto it = niladicFunctions().find(name); it != niladicFunctions().end())
                replaceRange(pieces, i, i + 1, piecesOf(*it));
            continue;
        }
        const size_t open = i + 1;
        size_t close = closeOf(pieces, open);
        if (close >= pieces.size())
            continue;
        Pieces replacement;
        size_t end = close + 1;
        // CAST(x AS char(5)), CONVERT(nchar(5), x): a type, not CHAR() or NCHAR().
        if ((name == QLatin1String("nchar") || name == QLatin1String("char")) && i > 0 &&
            (pieces[i - 1].isWord(u"AS") ||
             (pieces[i - 1].isPunctuation(u"(") && i > 1 &&
              (pieces[i - 2].isWord(u"CONVERT") || pieces[i - 2].isWord(u"TRY_CONVERT")))))
            continue;
        if (const auto it = renamedFunctions().find(name); it != renamedFunctions().end()) {
            pieces[i].text = *it;
            if (isRuntimeConstant(name))
                appendRunReference(pieces, open, close);
            if (name == QLatin1String("datalength"))
                passNationalLiteralType(pieces, open, close);
            // nvarchar text hashes as its two bytes a character, and is a
            // sql_variant of base type nvarchar.
            if (name == QLatin1String("hashbytes") || name == QLatin1String("sql_variant_property"))
                markNationalLiterals(pieces, open, close);
            // A case-sensitive or binary collation on an argument makes the search exact.
            if (name == QLatin1String("charindex") &&
                findTopLevelWord(pieces, open + 1, close, u"BINARY") != close)
                pieces[i].text = QStringLiteral("tsql_charindex_exact");
            continue;
        } else if (const auto s = sessionValueFunctions().find(name);
                   s != sessionValueFunctions().end()) {
            replacement = piecesOf(*s);
        } else if (name == QLatin1String("db_id") || name == QLatin1String("db_name") ||
                   name == QLatin1String("databasepropertyex")) {
            replacement = withSessionDatabases(QStringLiteral("tsql_") + name, pieces, open, close);
        } else if (name == QLatin1String("user_name")) {
            // USER_NAME() is the session's user; USER_NAME(id) the user of that id.
            pieces[i].text = close == open + 1 ? QStringLiteral("tsql_database_user")
                                               : QStringLiteral("tsql_user_name");
            continue;
        } else if (name == QLatin1String("convert")) {
            replacement =
                withFirstArgumentAsText(QStringLiteral("tsql_convert"), pieces, open, close);
            withDefaultConversionLength(replacement);
        } else if (name == QLatin1String("try_convert")) {
            replacement =
                withFirstArgumentAsText(QStringLiteral("tsql_try_convert"), pieces, open, close);
            withDefaultConversionLength(replacement);
        } else if (name == QLatin1String("cast")) {
            replacement = castCall(QStringLiteral("tsql_convert"), pieces, open, close);
            withDefaultConversionLength(replacement);
        } else if (name == QLatin1String("try_cast")) {
            replacement = castCall(QStringLiteral("tsql_try_convert"), pieces, open, close);
            withDefaultConversionLength(replacement);
        } else if (name == QLatin1String("parse") || name == QLatin1String("try_parse")) {
            replacement = castCall(QStringLiteral("tsql_") + name, pieces, open, close, true);
        } else if (name == QLatin1String("trim")) {
            replacement = trimCall(pieces, open, close);
        } else if (name == QLatin1String("string_agg")) {
            replacement = stringAggCall(pieces, open, close, end);
        } else if (name == QLatin1String("nullif")) {
            replacement = nullifCall(pieces, open, close);
        } else if (name == QLatin1String("switchoffset") ||
                   name == QLatin1String("todatetimeoffset")) {
            // A text literal is the type each takes: SWITCHOFFSET a
            // datetimeoffset (its offset kept), TODATETIMEOFFSET a datetime2.
            replacement = slice(pieces, i, close + 1);
            replacement.front().text = QStringLiteral("tsql_") + name;
            replacement.front().space.clear();
            literalAsDateType(replacement, 0,
                              name == QLatin1String("switchoffset")
                                  ? QStringLiteral("datetimeoffset")
                                  : QStringLiteral("datetime2"));
        } else if (name == QLatin1String("datename") || name == QLatin1String("datepart") ||
                   name == QLatin1String("dateadd") || name == QLatin1String("datediff") ||
                   name == QLatin1String("datediff_big")) {
            replacement =
                withFirstArgumentAsText(QStringLiteral("tsql_") + name, pieces, open, close);
            if (name == QLatin1String("dateadd")) {
                literalAsDateType(replacement, 2, QStringLiteral("datetime"));
            } else if (name == QLatin1String("datediff") || name == QLatin1String("datediff_big")) {
                // Its literals are datetime2s: an offset written in one does not count.
                literalAsDateType(replacement, 1, QStringLiteral("datetime2"));
                literalAsDateType(replacement, 2, QStringLiteral("datetime2"));
            } else if ((name == QLatin1String("datepart") || name == QLatin1String("datename")) &&
                       !isTimeZoneOffsetPart(pieces, open, close)) {
                literalAsDateType(replacement, 1, QStringLiteral("datetime2"));
            }
        } else if (name == QLatin1String("year") || name == QLatin1String("month") ||
                   name == QLatin1String("day")) {
            replacement = datePartShortcut(name, pieces, open, close);
        } else {
            continue;
        }
        if (name == QLatin1String("convert") || name == QLatin1String("cast") ||
            name == QLatin1String("try_convert") || name == QLatin1String("try_cast")) {
            if (name == QLatin1String("convert") || name == QLatin1String("cast"))
                checkDatetimeLiteral(replacement);
            passDecimalSource(replacement);
            markNationalTextToBinary(replacement);
            keepWideLiteralExact(replacement);
        }
        replaceRange(pieces, i, end, replacement);
    }
}

} // namespace estaciones::db::tsql::rewrite
