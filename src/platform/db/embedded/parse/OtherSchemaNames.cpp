#include "platform/db/embedded/parse/OtherSchemaNames.h"

#include "platform/db/embedded/parse/SignificantTokens.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <functional>
#include <optional>

#include <utility>

namespace estaciones::db::tsql {

namespace {

constexpr std::size_t emptyPart = static_cast<std::size_t>(-1); // "db..t"

// A dotted name: the indexes of its parts (emptyPart for a part left out)
// and the index just after it.
struct Chain {
    std::vector<std::size_t> parts;
    std::size_t end = 0;

    // The schema part of schema.object or database.schema.object.
    std::size_t schema() const {
        if (parts.size() == 2)
            return parts[0];
        if (parts.size() == 3)
            return parts[1];
        return emptyPart;
    }
};

Chain chainAt(const Tokens& tokens, std::size_t i) {
    Chain chain;
    chain.end = i;
    if (i >= tokens.size() || !tokens[i].isNameLike())
        return chain;
    chain.parts.push_back(i);
    std::size_t j = i + 1;
    while (j + 1 < tokens.size() && tokens[j].isPunctuation(u".")) {
        if (tokens[j + 1].isPunctuation(u".")) {
            chain.parts.push_back(emptyPart);
            j += 1;
        } else if (tokens[j + 1].isNameLike()) {
            chain.parts.push_back(j + 1);
            j += 2;
        } else {
            break;
        }
    }
    chain.end = j;
    return chain;
}

// The schemas whose names the later steps read themselves.
bool isKeptSchema(const Token& schema) {
    return schema.isName(u"dbo") || schema.isName(u"sys") || schema.isName(u"INFORMATION_SCHEMA");
}

bool namesOtherSchema(const Tokens& tokens, const Chain& chain) {
    const std::size_t schema = chain.schema();
    return schema != emptyPart && !isKeptSchema(tokens[schema]);
}

// The kinds of object a CREATE names.
bool isDefinedKind(const Token& word) {
    static const QSet<QString> kinds = {"TABLE",    "VIEW",    "PROC",     "PROCEDURE",
                                        "FUNCTION", "TRIGGER", "SEQUENCE", "SYNONYM",
                                        "TYPE",     "DEFAULT", "RULE"};
    return word.kind == TokenKind::Word && kinds.contains(word.text.toUpper());
}

// The kinds whose name DROP, ALTER, TRUNCATE, ENABLE and the like refer to.
bool isReferredKind(const Token& word) {
    static const QSet<QString> kinds = {"TABLE",    "VIEW",    "PROC",     "PROCEDURE",
                                        "FUNCTION", "TRIGGER", "SEQUENCE", "SYNONYM"};
    return word.kind == TokenKind::Word && kinds.contains(word.text.toUpper());
}

bool wordAt(const Tokens& tokens, std::size_t i, QStringView word) {
    return i < tokens.size() && tokens[i].isWord(word);
}

// tokens[kind] follows CREATE or CREATE OR ALTER.
bool followsCreate(const Tokens& tokens, std::size_t kind) {
    return (kind >= 1 && tokens[kind - 1].isWord(u"CREATE")) ||
           (kind >= 3 && tokens[kind - 1].isWord(u"ALTER") && tokens[kind - 2].isWord(u"OR") &&
            tokens[kind - 3].isWord(u"CREATE"));
}

// The words that end a FROM clause's list of tables, at its level.
bool endsTableList(const Token& word) {
    static const QSet<QString> words = {
        "WHERE",     "GROUP",  "HAVING", "ORDER",  "UNION",  "EXCEPT",     "INTERSECT", "SELECT",
        "INSERT",    "UPDATE", "DELETE", "SET",    "OPTION", "FOR",        "WINDOW",    "IF",
        "ELSE",      "WHILE",  "BEGIN",  "END",    "RETURN", "PRINT",      "DECLARE",   "EXEC",
        "EXECUTE",   "MERGE",  "OUTPUT", "VALUES", "CREATE", "ALTER",      "DROP",      "TRUNCATE",
        "RAISERROR", "THROW",  "FETCH",  "OPEN",   "CLOSE",  "DEALLOCATE", "COMMIT",    "ROLLBACK",
        "SAVE",      "USE",    "WHEN",   "THEN",   "GOTO",   "WAITFOR",    "BREAK",     "CONTINUE"};
    return word.kind == TokenKind::Word && words.contains(word.text.toUpper());
}

// Methods called on a column's value (xml's, .WRITE of UPDATE), not functions of a schema.
bool isColumnMethod(const Token& name) {
    static const QSet<QString> methods = {"value", "query", "exist", "nodes", "modify", "write"};
    return methods.contains(name.value().toLower());
}

Token bracketed(Token like, QString text) {
    text.replace(QLatin1Char(']'), QLatin1String("]]"));
    like.kind = TokenKind::QuotedName;
    like.text = QLatin1Char('[') + text + QLatin1Char(']');
    return like;
}

// schema.object as the file names it: "schema.object" in one name.
Token mergedName(const Tokens& tokens, const Chain& chain) {
    const std::size_t schema = chain.schema();
    return bracketed(tokens[schema],
                     tokens[schema].value() + QLatin1Char('.') + tokens[chain.parts.back()].value());
}

// The name a reference becomes: db.schema.object is db..[schema.object], the
// form whose database the later steps check (another one's fails before the
// batch runs) and leave out.
Tokens referredName(const Tokens& tokens, const Chain& chain) {
    if (chain.parts.size() != 3)
        return {mergedName(tokens, chain)};
    return {tokens[chain.parts[0]], Token::punctuation(QStringLiteral(".")),
            Token::punctuation(QStringLiteral(".")), mergedName(tokens, chain)};
}

// The words that may follow a table source of FROM or JOIN when it has no alias.
bool followsUnaliasedSource(const Token& word) {
    static const QSet<QString> words = {"JOIN",    "INNER",       "LEFT",   "RIGHT", "FULL",
                                        "CROSS",   "OUTER",       "ON",     "WITH",  "PIVOT",
                                        "UNPIVOT", "TABLESAMPLE", "OPTION", "USING"};
    return endsTableList(word) || words.contains(word.text.toUpper());
}

// Where a name stands: a table source (FROM, JOIN) exposes its columns under
// its name or alias; the table an UPDATE or DELETE changes, when it is not a
// table source too, exposes them under its own name.
enum class NameRole { Named, TableSource, ChangeTarget };

// A name found where an object is named; `exposedAs` is the alias a table
// source without one takes, so that its columns read as object.column, as
// the server lets them.
struct FoundName {
    Chain chain;
    QString exposedAs;
    bool changeTarget = false;
};

// Walks a batch's tokens and notes the chains that name an object: where
// an object's name stands (after FROM, JOIN, INTO, UPDATE, EXEC ...), and a
// schema's function called in an expression.
class NameFinder {
public:
    // With `oneParts`, the one-part names a module resolves in its own schema
    // (not those DROP, ALTER and the like name) are found instead.
    explicit NameFinder(const Tokens& tokens, bool oneParts = false)
        : m_tokens(tokens), m_oneParts(oneParts) {}

    std::vector<FoundName> run() {
        for (std::size_t i = 0; i < m_tokens.size(); ++i) {
            if (i < m_skipUntil)
                continue;
            visit(i);
        }
        return std::move(m_found);
    }

private:
    void visit(std::size_t i) {
        const Token& token = m_tokens[i];
        if (token.isPunctuation(u"(")) {
            m_parenOwners.push_back(i > 0 && m_tokens[i - 1].kind == TokenKind::Word
                                        ? m_tokens[i - 1].text.toUpper()
                                        : QString());
            return;
        }
        if (token.isPunctuation(u")")) {
            if (!m_parenOwners.empty())
                m_parenOwners.pop_back();
            while (!m_tableLists.empty() && m_tableLists.back() > depth())
                m_tableLists.pop_back();
            return;
        }
        if (token.isPunctuation(u",")) {
            if (!m_tableLists.empty() && m_tableLists.back() == depth())
                refer(i + 1, NameRole::TableSource);
            return;
        }
        if (token.kind != TokenKind::Word) {
            if (token.kind == TokenKind::QuotedName)
                maybeCall(i);
            return;
        }
        if (endsTableList(token))
            while (!m_tableLists.empty() && m_tableLists.back() >= depth())
                m_tableLists.pop_back();
        const QString word = token.text.toUpper();
        if (word == QLatin1String("FROM")) {
            // TRIM(' ' FROM x.a) reads a column.
            if (!m_parenOwners.empty() && m_parenOwners.back() == QLatin1String("TRIM"))
                return;
            m_tableLists.push_back(depth());
            refer(i + 1, isDeleteTarget(i) ? NameRole::ChangeTarget : NameRole::TableSource);
        } else if (word == QLatin1String("JOIN") || word == QLatin1String("APPLY") ||
                   word == QLatin1String("USING") || word == QLatin1String("MERGE")) {
            // MERGE's target and source are exposed as a FROM's tables
            refer(i + 1, NameRole::TableSource);
        } else if (word == QLatin1String("UPDATE") || word == QLatin1String("INSERT") ||
                   word == QLatin1String("DELETE") || word == QLatin1String("REFERENCES")) {
            refer(i + 1, word == QLatin1String("UPDATE") || word == QLatin1String("DELETE")
                             ? NameRole::ChangeTarget
                             : NameRole::Named);
        } else if (word == QLatin1String("SELECT")) {
            m_outputLast = false;
        } else if (word == QLatin1String("OUTPUT")) {
            m_outputLast = true;
        } else if (word == QLatin1String("INTO")) {
            const bool mergesInto = i > 0 && m_tokens[i - 1].isWord(u"MERGE");
            const bool insertsInto = i > 0 && m_tokens[i - 1].isWord(u"INSERT");
            if (insertsInto || mergesInto || m_outputLast)
                refer(i + 1, mergesInto ? NameRole::TableSource : NameRole::Named);
            else
                define(i + 1); // SELECT ... INTO makes the table
        } else if (isDefinedKind(token) && followsCreate(m_tokens, i)) {
            define(i + 1);
        } else if (isReferredKind(token)) {
            std::size_t at = i + 1;
            if (wordAt(m_tokens, at, u"IF") && wordAt(m_tokens, at + 1, u"EXISTS"))
                at += 2;
            refer(at, NameRole::Named, false);
            // DROP TABLE a, s.b drops each of its list.
            const bool drops = i > 0 && m_tokens[i - 1].isWord(u"DROP");
            for (std::size_t end = chainAt(m_tokens, at).end;
                 drops && end + 1 < m_tokens.size() && m_tokens[end].isPunctuation(u",");
                 end = chainAt(m_tokens, at).end) {
                at = end + 1;
                refer(at, NameRole::Named, false);
            }
        } else if (word == QLatin1String("EXEC") || word == QLatin1String("EXECUTE")) {
            std::size_t at = i + 1;
            if (at + 1 < m_tokens.size() && m_tokens[at].kind == TokenKind::Variable &&
                m_tokens[at + 1].isPunctuation(u"="))
                at += 2;
            refer(at);
        } else if (word == QLatin1String("IDENTITY_INSERT")) {
            refer(i + 1);
        } else if (word == QLatin1String("FOR")) {
            if (i >= 2 && m_tokens[i - 1].isWord(u"VALUE") && m_tokens[i - 2].isWord(u"NEXT"))
                refer(i + 1);
        } else if (word == QLatin1String("ON")) {
            // CREATE TRIGGER ... ON s.t AFTER, CREATE INDEX ... ON s.t (a); a join's ON reads
            // columns.
            const Chain chain = chainAt(m_tokens, i + 1);
            if (chain.end < m_tokens.size() &&
                (m_tokens[chain.end].isWord(u"FOR") || m_tokens[chain.end].isWord(u"AFTER") ||
                 m_tokens[chain.end].isWord(u"INSTEAD") || m_tokens[chain.end].isWord(u"WITH") ||
                 m_tokens[chain.end].isPunctuation(u"(")))
                refer(i + 1);
        } else {
            maybeCall(i);
        }
    }

    std::size_t depth() const { return m_parenOwners.size(); }

    // The FROM at `from` names what DELETE [TOP (n)] deletes, which takes no alias.
    bool isDeleteTarget(std::size_t from) const {
        std::size_t before = from;
        if (before >= 1 && m_tokens[before - 1].isPunctuation(u")")) {
            int depth = 0;
            while (before > 0) {
                --before;
                if (m_tokens[before].isPunctuation(u")"))
                    ++depth;
                else if (m_tokens[before].isPunctuation(u"(") && --depth == 0)
                    break;
            }
            if (before == 0 || !m_tokens[before - 1].isWord(u"TOP"))
                return false;
            --before; // TOP
        }
        return before >= 1 && m_tokens[before - 1].isWord(u"DELETE");
    }

    void refer(std::size_t at, NameRole role = NameRole::Named, bool inModuleSchema = true) {
        const Chain chain = chainAt(m_tokens, at);
        const bool wanted = m_oneParts ? chain.parts.size() == 1 && inModuleSchema
                                       : chain.parts.size() >= 2 && namesOtherSchema(m_tokens, chain);
        if (wanted)
            m_found.push_back({chain,
                               role == NameRole::TableSource && !hasAlias(chain.end)
                                   ? m_tokens[chain.parts.back()].value()
                                   : QString(),
                               role == NameRole::ChangeTarget});
        if (chain.parts.size() >= 2)
            m_skipUntil = chain.end;
    }

    // What follows a table source at `i` is its alias (AS x, or x).
    bool hasAlias(std::size_t i) const {
        if (i >= m_tokens.size())
            return false;
        const Token& next = m_tokens[i];
        if (next.isPunctuation(u"("))
            return true; // a function's arguments: not a table of the file
        if (next.kind == TokenKind::QuotedName)
            return true;
        return next.kind == TokenKind::Word && !followsUnaliasedSource(next);
    }

    void define(std::size_t at) {
        const Chain chain = chainAt(m_tokens, at);
        if (chain.parts.size() >= 2)
            m_skipUntil = chain.end; // left as written for the statement to refuse
    }

    // ventas.f(...) in an expression: a function of schema ventas.
    void maybeCall(std::size_t i) {
        if ((i > 0 && m_tokens[i - 1].isPunctuation(u".")) || i + 1 >= m_tokens.size() ||
            !m_tokens[i + 1].isPunctuation(u"."))
            return;
        const Chain chain = chainAt(m_tokens, i);
        if (chain.parts.size() != 2 || chain.end >= m_tokens.size() ||
            !m_tokens[chain.end].isPunctuation(u"(") || chain.parts[1] == emptyPart ||
            isColumnMethod(m_tokens[chain.parts[1]]))
            return;
        if (!m_oneParts && namesOtherSchema(m_tokens, chain))
            m_found.push_back({chain, QString()});
        m_skipUntil = chain.end;
    }

    const Tokens& m_tokens;
    const bool m_oneParts;
    std::vector<FoundName> m_found;
    std::vector<QString> m_parenOwners;    // the word before each open parenthesis
    std::vector<std::size_t> m_tableLists; // the levels of the FROM lists open
    std::size_t m_skipUntil = 0;
    bool m_outputLast = false; // OUTPUT came after the last SELECT: its INTO names a table
};

} // namespace

namespace {

// Tokens [start, end) give way to `with`.
struct Replacement {
    std::size_t start;
    std::size_t end;
    Tokens with;
};

Tokens replaced(Tokens tokens, std::vector<Replacement> replacements) {
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& a, const Replacement& b) { return a.start < b.start; });
    Tokens result;
    result.reserve(tokens.size() + 2 * replacements.size());
    std::size_t next = 0;
    for (Replacement& r : replacements) {
        std::move(tokens.begin() + static_cast<std::ptrdiff_t>(next),
                  tokens.begin() + static_cast<std::ptrdiff_t>(r.start), std::back_inserter(result));
        std::move(r.with.begin(), r.with.end(), std::back_inserter(result));
        next = r.end;
    }
    std::move(tokens.begin() + static_cast<std::ptrdiff_t>(next), tokens.end(),
              std::back_inserter(result));
    return result;
}

QString lowerPair(const Tokens& tokens, std::size_t schema, std::size_t object) {
    return tokens[schema].value().toLower() + QLatin1Char('.') + tokens[object].value().toLower();
}

// schema.object.column (and schema.object.*) where schema.object is a table
// source that took its object's name as alias: object.column; where it is
// the table an UPDATE or DELETE changes: [schema.object].column. `exposed`
// maps "schema.object" to the name its columns read under ("" for the
// object's own name as the column writes it); `replacements` holds the
// names found.
// Token `i` is part of one of the first `names` replacements (the names found).
bool inFoundName(const std::vector<Replacement>& replacements, std::size_t names, std::size_t i) {
    return std::any_of(replacements.begin(), replacements.begin() + static_cast<std::ptrdiff_t>(names),
                       [&](const Replacement& r) { return i >= r.start && i < r.end; });
}

void addColumnsOfExposed(const Tokens& tokens, const QHash<QString, QString>& exposed,
                         std::vector<Replacement>& replacements) {
    const std::size_t names = replacements.size();
    auto inName = [&](std::size_t i) { return inFoundName(replacements, names, i); };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].isNameLike() || (i > 0 && tokens[i - 1].isPunctuation(u".")) || inName(i))
            continue;
        const Chain chain = chainAt(tokens, i);
        // schema.object.* too: a chain of two parts before ". *".
        const bool star = chain.parts.size() == 2 && chain.end + 1 < tokens.size() &&
                          tokens[chain.end].isPunctuation(u".") &&
                          tokens[chain.end + 1].isPunctuation(u"*");
        if ((chain.parts.size() != 3 && !star) || chain.parts[0] == emptyPart ||
            chain.parts[1] == emptyPart || (!star && chain.parts[2] == emptyPart) ||
            (chain.end < tokens.size() && tokens[chain.end].isPunctuation(u"(")) ||
            !exposed.contains(lowerPair(tokens, chain.parts[0], chain.parts[1])))
            continue;
        const QString readAs = exposed.value(lowerPair(tokens, chain.parts[0], chain.parts[1]));
        replacements.push_back({chain.parts[0], chain.parts[1] + 1,
                                {bracketed(tokens[chain.parts[1]],
                                           readAs.isEmpty() ? tokens[chain.parts[1]].value() : readAs)}});
        i = chain.end - 1;
    }
}

// Where the statement whose tokens go on at `from` ends: a ';' or the next
// word at its own level that only starts another statement (a CASE's END
// is its own).
std::size_t statementEnd(const Tokens& tokens, std::size_t from) {
    static const QSet<QString> starters{"SELECT", "INSERT",  "UPDATE", "DELETE",   "MERGE",
                                        "DECLARE", "IF",     "WHILE",  "BEGIN",    "END",
                                        "EXEC",   "EXECUTE", "PRINT",  "RETURN",   "CREATE",
                                        "DROP",   "ALTER",   "TRUNCATE", "RAISERROR", "THROW",
                                        "COMMIT", "ROLLBACK", "GOTO",  "WITH"};
    int depth = 0;
    int cases = 0;
    for (std::size_t i = from; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.isPunctuation(u"("))
            ++depth;
        else if (t.isPunctuation(u")") && --depth < 0)
            return i;
        else if (depth == 0 && t.isPunctuation(u";"))
            return i;
        else if (depth == 0 && t.isWord(u"CASE"))
            ++cases;
        else if (depth == 0 && cases > 0 && t.isWord(u"END"))
            --cases;
        else if (depth == 0 && t.kind == TokenKind::Word && starters.contains(t.text.toUpper()) &&
                 !(t.isWord(u"WITH") && i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u"(")))
            return i;
    }
    return tokens.size();
}

// object.column in the statement of the table an UPDATE or DELETE changes
// (`target`, named by the chain at `chain`): [schema.object].column, as the
// server reads the table's own name there as it does for dbo's. Where
// anything else of the statement may go by that name (a table source, an
// alias, a column spelled so) the columns stay as written: the later steps
// refuse them rather than read another table's column.
void addColumnsOfTarget(const Tokens& tokens, const Chain& target, std::vector<Replacement>& replacements) {
    const std::size_t names = replacements.size();
    const QString object = tokens[target.parts.back()].value();
    const std::size_t end = statementEnd(tokens, target.end);
    const auto sameName = [&](std::size_t i) {
        return tokens[i].isNameLike() && tokens[i].value().compare(object, Qt::CaseInsensitive) == 0;
    };
    for (std::size_t i = target.end; i < end; ++i)
        if (sameName(i) && !(i + 1 < tokens.size() && tokens[i + 1].isPunctuation(u".")))
            return;
    for (const Replacement& found : replacements)
        if (found.start >= target.end && found.start < end && found.with.size() >= 2 &&
            found.with[found.with.size() - 1].value().compare(object, Qt::CaseInsensitive) == 0)
            return; // a table source of the statement exposes that name
    const Token merged = mergedName(tokens, target);
    for (std::size_t i = target.end; i + 2 < end; ++i) {
        if (!sameName(i) || tokens[i - 1].isPunctuation(u".") || inFoundName(replacements, names, i))
            continue;
        const Chain chain = chainAt(tokens, i);
        if (chain.parts.size() != 2 || chain.parts[1] == emptyPart ||
            (chain.end < tokens.size() && tokens[chain.end].isPunctuation(u"(")))
            continue;
        replacements.push_back({i, i + 1, {bracketed(tokens[i], merged.value())}});
        i = chain.end - 1;
    }
}

} // namespace

Tokens withOtherSchemaNames(Tokens significant) {
    const std::vector<FoundName> found = NameFinder(significant).run();
    if (found.empty())
        return significant;
    std::vector<Replacement> replacements;
    QHash<QString, QString> exposed;
    for (const FoundName& name : found) {
        Replacement r{name.chain.parts.front(), name.chain.end, referredName(significant, name.chain)};
        const QString pair =
            lowerPair(significant, name.chain.schema(), name.chain.parts.back());
        if (!name.exposedAs.isEmpty()) {
            r.with.push_back(Token::word(QStringLiteral("AS")));
            r.with.push_back(bracketed(significant[name.chain.parts.back()], name.exposedAs));
            exposed.insert(pair, QString()); // a table source's name wins over the target's
        } else if (name.changeTarget && !exposed.contains(pair)) {
            exposed.insert(pair, mergedName(significant, name.chain).value());
        }
        replacements.push_back(std::move(r));
    }
    if (!exposed.isEmpty())
        addColumnsOfExposed(significant, exposed, replacements);
    for (const FoundName& name : found)
        if (name.changeTarget)
            addColumnsOfTarget(significant, name.chain, replacements);
    return replaced(std::move(significant), std::move(replacements));
}

Tokens storedDefinitionTokens(QStringView text) {
    return withOtherSchemaNames(significantTokens(text));
}

namespace {

// The name a CREATE [OR ALTER] statement or a SELECT ... INTO gives its
// object, when it names a schema other than dbo.
std::optional<Chain> otherSchemaDefinition(const Tokens& significant) {
    std::size_t at = 0;
    if (wordAt(significant, 0, u"CREATE")) {
        std::size_t kind = 1;
        if (wordAt(significant, 1, u"OR") && wordAt(significant, 2, u"ALTER"))
            kind = 3;
        if (kind >= significant.size() || !isDefinedKind(significant[kind]))
            return std::nullopt;
        at = kind + 1;
    } else if (wordAt(significant, 0, u"SELECT") || wordAt(significant, 0, u"WITH")) {
        // SELECT ... INTO s.t at the statement's own level.
        int depth = 0;
        for (at = 0; at < significant.size(); ++at) {
            if (significant[at].isPunctuation(u"("))
                ++depth;
            else if (significant[at].isPunctuation(u")"))
                --depth;
            else if (depth == 0 && significant[at].isWord(u"INTO"))
                break;
        }
        ++at;
    } else {
        return std::nullopt;
    }
    const Chain chain = chainAt(significant, at);
    const std::size_t schema = chain.schema();
    if (schema == emptyPart || significant[schema].isName(u"dbo"))
        return std::nullopt;
    return chain;
}

} // namespace

QString otherSchemaOfDefinition(const Tokens& significant, QString* database) {
    const std::optional<Chain> chain = otherSchemaDefinition(significant);
    if (database)
        *database = chain && chain->parts.size() == 3 && chain->parts[0] != emptyPart
                        ? significant[chain->parts[0]].value()
                        : QString();
    return chain ? significant[chain->schema()].value() : QString();
}

Tokens withDefinitionInSchema(Tokens significant) {
    const std::optional<Chain> chain = otherSchemaDefinition(significant);
    if (!chain)
        return significant;
    Replacement merged{chain->parts.front(), chain->end, {mergedName(significant, *chain)}};
    return replaced(std::move(significant), {std::move(merged)});
}

Tokens withModuleSchema(Tokens significant, const QString& schema,
                        const std::function<bool(const QString& stored)>& inSchema) {
    std::vector<Replacement> replacements;
    for (const FoundName& name : NameFinder(significant, true).run()) {
        const Token& part = significant[name.chain.parts.front()];
        const QString stored = schema + QLatin1Char('.') + part.value();
        // [ventas.t] is already a schema's name (the parser's merge).
        if (part.value().startsWith(QLatin1Char('#')) || part.value().contains(QLatin1Char('.')) ||
            !inSchema(stored))
            continue;
        Replacement r{name.chain.parts.front(), name.chain.end, {bracketed(part, stored)}};
        if (!name.exposedAs.isEmpty()) {
            r.with.push_back(Token::word(QStringLiteral("AS")));
            r.with.push_back(bracketed(part, name.exposedAs));
        }
        replacements.push_back(std::move(r));
    }
    return replaced(std::move(significant), std::move(replacements));
}

} // namespace estaciones::db::tsql
