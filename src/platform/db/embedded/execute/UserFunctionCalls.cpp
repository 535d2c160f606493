#include "platform/db/embedded/execute/UserFunctionCalls.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/parse/Pieces.h"

#include <QHash>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

// Inline functions expanded inside each other count as nested calls.
constexpr int maximumInlineDepth = 32;

class Rewriter {
public:
    Rewriter(SqliteDatabase& database, const TableFunctionFiller& fill,
             const FunctionDefinition* defining)
        : m_database(database), m_fill(fill), m_defining(defining) {}

    Tokens rewrite(const Tokens& tokens, int depth) {
        if (depth > maximumInlineDepth) {
            failWith(native::NestingLimit);
        }
        Tokens out;
        out.reserve(tokens.size());
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const std::optional<FunctionDefinition> function = calledAt(tokens, i);
            if (!function) {
                out.push_back(tokens[i]);
                continue;
            }
            const std::size_t close = closingParenthesis(tokens, i + 1);
            if (close >= tokens.size()) {
                out.push_back(tokens[i]); // unclosed: the translator names the syntax error
                continue;
            }
            // The schema (and database) parts written before the name are left out.
            while (!out.empty() && out.back().isPunctuation(u".")) {
                out.pop_back();
                if (!out.empty() && out.back().isNameLike()) {
                    out.pop_back();
                }
            }
            const std::vector<Tokens> arguments =
                argumentsOf(*function, slice(tokens, i + 2, close), depth);
            if (function->kind == FunctionKind::Scalar) {
                appendScalarCall(out, *function, arguments);
                i = close;
                continue;
            }
            if (function->kind == FunctionKind::InlineTable) {
                out.push_back(Token::punctuation(QStringLiteral("(")));
                const Tokens query = rewrite(withArguments(*function, arguments), depth + 1);
                out.insert(out.end(), query.begin(), query.end());
                out.push_back(Token::punctuation(QStringLiteral(")")));
            } else {
                const QString table = m_fill ? m_fill(*function, arguments) : QString();
                out.push_back(Token::word(
                    table.isEmpty() ? QStringLiteral("#tsql_function_") + function->name : table));
            }
            i = close;
            if (!hasAlias(tokens, i + 1)) {
                // Its columns are named by the function where the query gives no alias.
                out.push_back(Token::word(QStringLiteral("AS")));
                out.push_back(Token::word(tsqlQuotedName(function->name)));
            }
        }
        return out;
    }

private:
    // The function a "schema.name(" at `i` calls; nullopt when none is.
    std::optional<FunctionDefinition> calledAt(const Tokens& t, std::size_t i) {
        if (!(t[i].isNameLike() && i + 1 < t.size() && t[i + 1].isPunctuation(u"("))) {
            return std::nullopt;
        }
        if (!(i >= 2 && t[i - 1].isPunctuation(u".") && t[i - 2].isNameLike())) {
            // Where a table goes, a table-valued function needs no schema.
            if (!isTableSource(t, i)) {
                // ventas.f(x): the parser made one name of a schema's function.
                const bool ofSchema = t[i].kind == TokenKind::QuotedName &&
                                      t[i].value().contains(QLatin1Char('.')) &&
                                      isExpressionPlace(t, i);
                return ofSchema ? known(t[i].value()) : std::nullopt;
            }
            std::optional<FunctionDefinition> found = known(t[i].value());
            return found && found->kind != FunctionKind::Scalar ? found : std::nullopt;
        }
        std::size_t start = i - 2;
        while (start >= 2 && t[start - 1].isPunctuation(u".") && t[start - 2].isNameLike()) {
            start -= 2; // database.schema.name
        }
        const bool tableSource = isTableSource(t, start);
        if (!tableSource && !isExpressionPlace(t, start)) {
            return std::nullopt; // CREATE TABLE dbo.t (...), INSERT INTO dbo.t (...), ...
        }
        std::optional<FunctionDefinition> found = known(t[i].value());
        // dbo's functions are the database's own: a name it does not hold is
        // no function (other schemas' names are left to what calls them), as
        // the server resolves it when it compiles the statement. Where a
        // table goes, it is a table the statement resolves when it runs (208).
        if (!found && !tableSource &&
            t[i - 2].value().compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0) {
            failWith(native::UnknownColumnOrFunction,
                     {t[i - 2].value(), t[i - 2].value() + QLatin1Char('.') + t[i].value()});
        }
        return found;
    }

    std::optional<FunctionDefinition> known(const QString& name) {
        const QString key = name.toLower();
        if (auto it = m_known.constFind(key); it != m_known.constEnd()) {
            return *it;
        }
        std::optional<FunctionDefinition> found =
            m_defining && m_defining->name.compare(name, Qt::CaseInsensitive) == 0
                ? std::optional<FunctionDefinition>(*m_defining)
                : FunctionCatalog(m_database).find(name);
        m_known.insert(key, found);
        return found;
    }

    static bool isTableSource(const Tokens& t, std::size_t start) {
        return start > 0 && (t[start - 1].isWord(u"FROM") || t[start - 1].isWord(u"JOIN") ||
                             t[start - 1].isWord(u"APPLY"));
    }

    // Whether an expression may start at `start`: after an operator, a
    // parenthesis, a comma or a number (TOP n), or a word that a value follows
    // (AS: a computed column's expression).
    bool isExpressionPlace(const Tokens& t, std::size_t start) const {
        if (start == 0) {
            return true; // an expression evaluated on its own (SET, PRINT, RETURN's value)
        }
        const Token& before = t[start - 1];
        if (before.kind == TokenKind::Number) {
            return true; // TOP 5 dbo.f(x)
        }
        if (before.kind == TokenKind::Punctuation) {
            return !before.isPunctuation(u".") && !before.isPunctuation(u";");
        }
        static const QStringList words{"SELECT", "WHERE",    "AND",     "OR",   "NOT",     "THEN",
                                       "ELSE",   "WHEN",     "RETURN",  "CASE", "BY",      "HAVING",
                                       "IN",     "DISTINCT", "BETWEEN", "LIKE", "DEFAULT", "IS",
                                       "PRINT",  "IF",       "WHILE",   "TOP",  "ON",      "AS"};
        const QString word = before.text.toUpper();
        // CREATE INDEX ... ON dbo.t (columns) names a table.
        if (word == QLatin1String("ON") && !t.empty() && t.front().isWord(u"CREATE")) {
            return false;
        }
        return before.kind == TokenKind::Word && words.contains(word);
    }

    std::vector<Tokens> argumentsOf(const FunctionDefinition& function, const Tokens& list,
                                    int depth) {
        std::vector<Tokens> arguments;
        if (!list.empty()) {
            for (const Range& range : splitByCommas(list, 0, list.size())) {
                arguments.push_back(rewrite(slice(list, range.from, range.to), depth));
            }
        }
        if (arguments.size() > function.parameters.size()) {
            failWith(native::TooManyArguments, {function.name});
        }
        if (arguments.size() < function.parameters.size()) {
            failWith(native::InsufficientArguments, {function.name});
        }
        for (std::size_t a = 0; a < arguments.size(); ++a) {
            if (arguments[a].size() == 1 && arguments[a].front().isWord(u"DEFAULT")) {
                const ProcedureParameter& parameter = function.parameters[a];
                if (!parameter.defaultValue) {
                    failWith(native::InsufficientArguments, {function.name});
                }
                arguments[a] = *parameter.defaultValue;
            }
        }
        return arguments;
    }

    // CAST((argument) AS type): the value the parameter holds.
    static Tokens converted(const Tokens& value, const QString& type) {
        Tokens out{Token::word(QStringLiteral("CAST")), Token::punctuation(QStringLiteral("(")),
                   Token::punctuation(QStringLiteral("("))};
        out.insert(out.end(), value.begin(), value.end());
        out.push_back(Token::punctuation(QStringLiteral(")")));
        out.push_back(Token::word(QStringLiteral("AS")));
        const Tokens typeTokens = tsql::significantTokens(type);
        out.insert(out.end(), typeTokens.begin(), typeTokens.end());
        out.push_back(Token::punctuation(QStringLiteral(")")));
        return out;
    }

    static void appendScalarCall(Tokens& out, const FunctionDefinition& function,
                                 const std::vector<Tokens>& arguments) {
        Tokens call{Token::word(QString::fromLatin1(scalarFunctionCall)),
                    Token::punctuation(QStringLiteral("(")), Token::string(function.name)};
        for (std::size_t a = 0; a < arguments.size(); ++a) {
            call.push_back(Token::punctuation(QStringLiteral(",")));
            const Tokens value = converted(arguments[a], function.parameters[a].type);
            call.insert(call.end(), value.begin(), value.end());
        }
        call.push_back(Token::punctuation(QStringLiteral(")")));
        const Tokens typed = converted(call, function.returnType);
        out.insert(out.end(), typed.begin(), typed.end());
    }

    // The inline function's query with each parameter replaced by its argument.
    static Tokens withArguments(const FunctionDefinition& function,
                                const std::vector<Tokens>& arguments) {
        Tokens out;
        for (const Token& token : function.query) {
            const auto parameter =
                std::find_if(function.parameters.begin(), function.parameters.end(),
                             [&](const ProcedureParameter& p) {
                                 return token.kind == TokenKind::Variable &&
                                        p.name.compare(token.text, Qt::CaseInsensitive) == 0;
                             });
            if (parameter == function.parameters.end()) {
                out.push_back(token);
                continue;
            }
            const auto index = static_cast<std::size_t>(parameter - function.parameters.begin());
            const Tokens value = converted(arguments[index], parameter->type);
            out.insert(out.end(), value.begin(), value.end());
        }
        return out;
    }

    static bool hasAlias(const Tokens& t, std::size_t i) {
        if (i >= t.size()) {
            return false;
        }
        if (t[i].isWord(u"AS") || t[i].kind == TokenKind::QuotedName) {
            return true;
        }
        tsql::Piece piece;
        static_cast<Token&>(piece) = t[i];
        return t[i].kind == TokenKind::Word && !tsql::isReservedWord(piece) &&
               !isStatementKeyword(t[i].text.toUpper());
    }

    static QString tsqlQuotedName(const QString& name) {
        return QLatin1Char('[') + QString(name).replace(QLatin1String("]"), QLatin1String("]]")) +
               QLatin1Char(']');
    }

    SqliteDatabase& m_database;
    const TableFunctionFiller& m_fill;
    const FunctionDefinition* m_defining;
    QHash<QString, std::optional<FunctionDefinition>> m_known; // by lower-case name
};

} // namespace

Tokens withUserFunctions(SqliteDatabase& database, const Tokens& tokens,
                         const TableFunctionFiller& fill, const FunctionDefinition* defining) {
    // Most statements call none: no catalogue to read then. A call is a
    // schema's name (".name", or the parser's [ventas.f]) or a name where a table goes.
    bool mayCall = false;
    for (std::size_t i = 0; i + 1 < tokens.size() && !mayCall; ++i) {
        mayCall = (tokens[i].isPunctuation(u".") && tokens[i + 1].isNameLike()) ||
                  (tokens[i].kind == TokenKind::QuotedName && tokens[i + 1].isPunctuation(u"(") &&
                   tokens[i].text.contains(QLatin1Char('.'))) ||
                  (i + 2 < tokens.size() && tokens[i + 1].isNameLike() &&
                   tokens[i + 2].isPunctuation(u"(") &&
                   (tokens[i].isWord(u"FROM") || tokens[i].isWord(u"JOIN") ||
                    tokens[i].isWord(u"APPLY")));
    }
    if (!mayCall) {
        return tokens;
    }
    return Rewriter(database, fill, defining).rewrite(tokens, 0);
}

} // namespace estaciones::db::sqlite
