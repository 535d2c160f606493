#include "platform/db/embedded/execute/StatementTokens.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/VariableScope.h"
#include "platform/db/embedded/parse/TextScan.h"
#include "platform/db/embedded/storage/StoredDate.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <QRegularExpression>

#include <algorithm>

#include <sqlite3.h>

#include <limits>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

std::vector<Range> splitByCommas(const Tokens& tokens, std::size_t from, std::size_t to) {
    std::vector<Range> ranges;
    int depth = 0;
    std::size_t start = from;
    for (std::size_t i = from; i < to; ++i) {
        if (tokens[i].isPunctuation(u"(")) {
            ++depth;
        } else if (tokens[i].isPunctuation(u")")) {
            --depth;
        } else if (depth == 0 && tokens[i].isPunctuation(u",")) {
            ranges.push_back({start, i});
            start = i + 1;
        }
    }
    if (start < to) {
        ranges.push_back({start, to});
    }
    return ranges;
}

Tokens slice(const Tokens& tokens, std::size_t from, std::size_t to) {
    to = std::min(to, tokens.size());
    from = std::min(from, to);
    return Tokens(tokens.begin() + static_cast<std::ptrdiff_t>(from),
                  tokens.begin() + static_cast<std::ptrdiff_t>(to));
}

bool sameTexts(const Tokens& a, const Tokens& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Token& x, const Token& y) { return x.text == y.text; });
}

bool isStatementKeyword(const QString& word) {
    static const QStringList keywords{
        "SELECT",    "INSERT",  "UPDATE",  "DELETE",     "CREATE",     "DROP",    "ALTER",
        "TRUNCATE",  "DECLARE", "SET",     "IF",         "WHILE",      "BEGIN",   "END",
        "ELSE",      "EXEC",    "EXECUTE", "PRINT",      "USE",        "RETURN",  "COMMIT",
        "ROLLBACK",  "WITH",    "GRANT",   "REVOKE",     "DENY",       "BREAK",   "CONTINUE",
        "RAISERROR", "SAVE",    "MERGE",   "DBCC",       "CHECKPOINT", "WAITFOR", "GOTO",
        "OPEN",      "CLOSE",   "FETCH",   "DEALLOCATE", "VALUES",     "THROW",   "BACKUP",
        "RESTORE",   "PRAGMA"}; // PRAGMA data_version alone (EngineInternals)
    return keywords.contains(word);
}

Token literalToken(const Variant& value) {
    if (value.isText()) {
        return Token::string(value.toString());
    }
    if (value.isDate()) {
        return Token::string(storedDate(value.toDate()));
    }
    if (value.isNull() || value.isEmpty() || value.isObject()) {
        return Token::word(QStringLiteral("NULL"));
    }
    return Token::number(literalOf(value));
}

namespace {

bool isNationalTextType(const QString& declaredType) {
    return declaredType.startsWith(QLatin1String("nchar"), Qt::CaseInsensitive) ||
           declaredType.startsWith(QLatin1String("nvarchar"), Qt::CaseInsensitive) ||
           declaredType.startsWith(QLatin1String("ntext"), Qt::CaseInsensitive) ||
           declaredType.compare(QLatin1String("sysname"), Qt::CaseInsensitive) == 0;
}

// The types a NULL value keeps by a CAST: every scalar type a variable is
// declared with but the ones no CAST names.
bool isCastableType(const QString& declaredType) {
    static const QRegularExpression unnamed(QStringLiteral(R"(^(cursor|table|sql_variant|xml)\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return !declaredType.isEmpty() && !unnamed.match(declaredType).hasMatch();
}

const QString typedNullPrefix = QStringLiteral("CAST(NULL AS ");

} // namespace

bool isNullValueToken(const Token& token) {
    return token.isWord(u"NULL") ||
           (token.kind == TokenKind::Word && token.text.startsWith(typedNullPrefix));
}

// A date as a literal that reads the same under every SET DATEFORMAT: ISO
// 8601, a T between the day and the time.
Token isoDateToken(const Variant& value) {
    QString text = storedDate(value.toDate());
    if (text.size() == 10)
        text += QStringLiteral("T00:00:00"); // the day alone is a numeric form
    else if (text.size() > 10 && text[10] == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    return Token::string(text);
}

Token typedValueToken(const Variant& value, const QString& declaredType) {
    // A NULL variable is still of its type: ISNULL(@c, 'abcd') of a char(2)
    // @c gives 'ab', IIF(c, @p, @s) of NULL ints is no CASE of NULLs only.
    if ((value.isNull() || value.isEmpty()) && isCastableType(declaredType)) {
        return Token::word(typedNullPrefix + declaredType + QLatin1Char(')'));
    }
    const bool smallestInt = value.type() == Variant::Type::Integer &&
                             value.toInt64() == std::numeric_limits<qint32>::min() &&
                             (declaredType == QLatin1String("int") ||
                              declaredType == QLatin1String("integer"));
    // A date variable is a value of its declared type (DATEADD on a date gives
    // a date); a datetimeoffset's is its text.
    if (value.isDate() && tsql::dateKindOf(declaredType)) {
        return Token::word(
            QStringLiteral("CAST(%1 AS %2)").arg(isoDateToken(value).text, declaredType));
    }
    if (value.isText() && tsql::dateKindOf(declaredType) == tsql::DateKind::DateTimeOffset) {
        return Token::word(
            QStringLiteral("CAST(%1 AS %2)").arg(literalToken(value).text, declaredType));
    }
    // A decimal variable is a value of its declared type, with every digit
    // (a literal of more than 15 digits would become a double).
    if (value.type() == Variant::Type::Decimal &&
        (declaredType.startsWith(QLatin1String("decimal")) ||
         declaredType.startsWith(QLatin1String("numeric")))) {
        return Token::word(
            QStringLiteral("CAST(%1 AS %2)").arg(literalToken(value).text, declaredType));
    }
    // A whole number of another integer type than int stays of it: a bigint
    // 5 plus 2147483647 is no int overflow, a smallint 32767 plus itself is.
    if (value.type() == Variant::Type::Integer &&
        (declaredType == QLatin1String("bigint") || declaredType == QLatin1String("smallint") ||
         declaredType == QLatin1String("tinyint"))) {
        return Token::word(
            QStringLiteral("CAST(%1 AS %2)").arg(literalToken(value).text, declaredType));
    }
    const char* type = value.isDate()                            ? "datetime"
                       : value.type() == Variant::Type::Currency ? "money"
                       : smallestInt                             ? "int"
                                                                 : nullptr;
    if (!type && value.type() == Variant::Type::Double &&
        (declaredType.startsWith(QLatin1String("float")) || declaredType == QLatin1String("real"))) {
        // 2.5E0 reads as a float, where 2.5 would be a decimal(2,1); a real
        // variable stays a real (its text has six digits, its arithmetic
        // takes its type).
        QString digits = literalOf(value);
        if (!digits.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
            digits += QStringLiteral("E0");
        }
        return declaredType == QLatin1String("real")
                   ? Token::word(QStringLiteral("CAST(%1 AS real)").arg(digits))
                   : Token::number(digits);
    }
    if (!type && value.isText() && isNationalTextType(declaredType)) {
        // N'...': the value keeps its nvarchar type (DATALENGTH counts two bytes a character).
        tsql::Token national = literalToken(value);
        national.text.prepend(QLatin1Char('N'));
        national.national = true;
        return national;
    }
    if (!type) {
        return literalToken(value);
    }
    // One token standing for the whole CAST: the statement goes on as text.
    return Token::word(QStringLiteral("CAST(%1 AS %2)")
                           .arg((value.isDate() ? isoDateToken(value) : literalToken(value)).text,
                                QString::fromLatin1(type)));
}

QString insertTarget(const Tokens& tokens) {
    std::size_t i = 0;
    while (i < tokens.size() && !tokens[i].isWord(u"INSERT")) {
        ++i;
    }
    ++i;
    if (upperWord(tokens, i) == QLatin1String("INTO")) {
        ++i;
    }
    if (i < tokens.size() && tokens[i].kind == TokenKind::Variable) {
        return tokens[i].text; // a table variable
    }
    return readObjectName(tokens, i);
}

QString upperWord(const Tokens& tokens, std::size_t i) {
    return i < tokens.size() && tokens[i].kind == TokenKind::Word ? tsql::upperCased(tokens[i].text)
                                                                  : QString();
}

[[noreturn]] void syntaxErrorNear(const Tokens& tokens, std::size_t i) {
    const std::size_t at = std::min(i, tokens.empty() ? 0 : tokens.size() - 1);
    const QString near = tokens.empty() ? QString() : tokens[at].text;
    const QByteArray utf8 = near.toUtf8();
    if (tokens.empty() || tokens[at].kind != TokenKind::Word ||
        !sqlite3_keyword_check(utf8.constData(), static_cast<int>(utf8.size()))) {
        failWith(native::SyntaxError, {near});
    }
    failWith(native::SyntaxErrorNearKeyword, {near.toUpper()});
}

std::size_t insertExecStart(const Tokens& tokens) {
    if (upperWord(tokens, 0) != QLatin1String("INSERT")) {
        return tokens.size();
    }
    int depth = 0;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        depth += tokens[i].isPunctuation(u"(") ? 1 : tokens[i].isPunctuation(u")") ? -1 : 0;
        const QString word = upperWord(tokens, i);
        if (depth == 0 && (word == QLatin1String("EXEC") || word == QLatin1String("EXECUTE"))) {
            return i;
        }
        if (depth == 0 && (word == QLatin1String("SELECT") || word == QLatin1String("VALUES"))) {
            break;
        }
    }
    return tokens.size();
}

} // namespace estaciones::db::sqlite
