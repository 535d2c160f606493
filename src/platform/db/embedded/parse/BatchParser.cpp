#include "platform/db/embedded/parse/BatchParser.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/parse/LexicalLimits.h"
#include "platform/db/embedded/parse/OtherSchemaNames.h"
#include "platform/db/embedded/parse/StatementSource.h"
#include "platform/db/embedded/parse/TextScan.h"
#include "platform/db/embedded/parse/Tokenizer.h"

#include <QSet>

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

QString StatementNode::firstWord() const {
    return word(0);
}

QString StatementNode::word(std::size_t index) const {
    if (index >= tokens.size() || tokens[index].kind != TokenKind::Word) {
        return {};
    }
    return tsql::upperCased(tokens[index].text);
}

QString joinTokens(const Tokens& tokens, std::size_t from, std::size_t to) {
    QString text;
    to = std::min(to, tokens.size());
    for (std::size_t i = from; i < to; ++i) {
        if (!text.isEmpty()) {
            text += ' ';
        }
        text += tokens[i].text;
    }
    return text;
}

QString joinTokensByLine(const Tokens& tokens) {
    QString text;
    int line = 0;
    const Token* previous = nullptr;
    for (const Token& token : tokens) {
        if (!text.isEmpty()) {
            if (token.line > line && line > 0) {
                text += QStringLiteral("\r\n");
            } else {
                // On one line of the source, the blanks between them as they were
                // ("a, b" stays so); one blank where that cannot be told.
                const qsizetype gap = previous && previous->line > 0 && token.line > 0
                                          ? token.offset - (previous->offset + previous->text.size())
                                          : 1;
                text += gap >= 0 && gap <= 200 ? QString(gap, QLatin1Char(' '))
                                               : QStringLiteral(" ");
            }
        }
        text += token.text;
        line = std::max(line, token.line);
        previous = &token;
    }
    return text;
}

namespace {

bool isStarter(const QString& upper) {
    static const QSet<QString> starters{
        "SELECT",  "INSERT", "UPDATE",   "DELETE",    "CREATE", "DROP",     "ALTER", "TRUNCATE",
        "DECLARE", "SET",    "IF",       "WHILE",     "BEGIN",  "END",      "ELSE",  "EXEC",
        "EXECUTE", "PRINT",  "USE",      "RETURN",    "COMMIT", "ROLLBACK", "WITH",  "GRANT",
        "REVOKE",  "BREAK",  "CONTINUE", "RAISERROR", "SAVE",   "DENY",  "THROW",
        "BACKUP",  "RESTORE", "MERGE", "DBCC", "GOTO", "WAITFOR",
        "OPEN",    "FETCH",   "CLOSE", "DEALLOCATE"};
    return starters.contains(upper);
}

class Parser {
public:
    explicit Parser(Tokens tokens) : m_t(std::move(tokens)) {}

    std::vector<StatementNode> parseAll() {
        std::vector<StatementNode> nodes;
        while (skipSemicolons()) {
            if (upper(m_pos) == QLatin1String("END") || upper(m_pos) == QLatin1String("ELSE")) {
                failWith(native::SyntaxErrorNearKeyword, {upper(m_pos)});
            }
            nodes.push_back(parseStatement());
        }
        return nodes;
    }

    // The line of the token the parser stands on (the last one at the end).
    int currentLine() const {
        return m_t.empty() ? 1 : std::max(m_t[std::min(m_pos, m_t.size() - 1)].line, 1);
    }

private:
    QString upper(std::size_t i) const {
        return i < m_t.size() && m_t[i].kind == TokenKind::Word ? tsql::upperCased(m_t[i].text) : QString();
    }
    bool isPunct(std::size_t i, const char* p) const {
        return i < m_t.size() && m_t[i].isPunctuation(QString::fromLatin1(p));
    }
    bool skipSemicolons() {
        while (m_pos < m_t.size() && isPunct(m_pos, ";")) {
            ++m_pos;
        }
        return m_pos < m_t.size();
    }

    StatementNode parseStatement() {
        const int line = m_t[m_pos].line;
        if (++m_depth > tsql::maximumBlockDepth) {
            failWith(native::NestedTooDeeply);
        }
        checkFirstInBatch();
        ++m_statementsStarted;
        StatementNode node = parseStatementAt();
        node.line = line;
        --m_depth;
        return node;
    }

    // CREATE VIEW / PROCEDURE / FUNCTION / TRIGGER take the rest of the batch
    // as their body (CREATE SCHEMA as its elements), so nothing may come
    // before them either.
    void checkFirstInBatch() const {
        const QString first = upper(m_pos);
        if (first != QLatin1String("CREATE") && first != QLatin1String("ALTER")) {
            return;
        }
        std::size_t at = m_pos + 1;
        if (upper(at) == QLatin1String("OR") && upper(at + 1) == QLatin1String("ALTER")) {
            at += 2;
        }
        const QString what = upper(at);
        QString statement;
        if (what == QLatin1String("PROCEDURE") || what == QLatin1String("PROC")) {
            statement = QStringLiteral("CREATE/ALTER PROCEDURE");
        } else if (what == QLatin1String("VIEW") || what == QLatin1String("FUNCTION") ||
                   what == QLatin1String("TRIGGER") ||
                   (what == QLatin1String("SCHEMA") && first == QLatin1String("CREATE"))) {
            statement = first + QLatin1Char(' ') + what;
        }
        if (!statement.isEmpty() && m_statementsStarted > 0) {
            failWith(native::MustBeFirstInBatch, {statement});
        }
    }

    StatementNode parseStatementAt() {
        const QString first = upper(m_pos);
        if (first == QLatin1String("BEGIN") && upper(m_pos + 1) == QLatin1String("TRY")) {
            return parseTryCatch();
        }
        if (first == QLatin1String("BEGIN") && !isTransactionWord(m_pos + 1)) {
            return parseBlock();
        }
        if (first == QLatin1String("IF") || first == QLatin1String("WHILE")) {
            return parseConditional(first == QLatin1String("IF"));
        }
        if (isLabel(m_pos)) {
            return twoTokenStatement(StatementNode::Kind::Label);
        }
        if (first == QLatin1String("GOTO")) {
            if (m_pos + 1 >= m_t.size() || !m_t[m_pos + 1].isNameLike()) {
                failWith(native::SyntaxError, {m_t[m_pos].text});
            }
            return twoTokenStatement(StatementNode::Kind::Goto);
        }
        if (first == QLatin1String("BREAK") || first == QLatin1String("CONTINUE")) {
            StatementNode node;
            node.kind = first == QLatin1String("BREAK") ? StatementNode::Kind::Break
                                                        : StatementNode::Kind::Continue;
            node.tokens.push_back(m_t[m_pos++]);
            return node;
        }
        StatementNode node;
        const std::size_t end = simpleStatementEnd(m_pos);
        node.tokens.assign(m_t.begin() + static_cast<std::ptrdiff_t>(m_pos),
                           m_t.begin() + static_cast<std::ptrdiff_t>(end));
        m_pos = end;
        if (end < m_t.size()) {
            node.next = m_t[end];
        }
        // MERGE is the one statement that must end with a semicolon.
        if (first == QLatin1String("MERGE") && !isPunct(end, ";")) {
            failWith(native::MergeWithoutSemicolon);
        }
        if (first == QLatin1String("RETURN")) {
            node.kind = StatementNode::Kind::Return;
        }
        return node;
    }

    // `name :` and `GOTO name`.
    StatementNode twoTokenStatement(StatementNode::Kind kind) {
        StatementNode node;
        node.kind = kind;
        node.tokens.assign(m_t.begin() + static_cast<std::ptrdiff_t>(m_pos),
                           m_t.begin() + static_cast<std::ptrdiff_t>(m_pos + 2));
        m_pos += 2;
        return node;
    }

    // `name:` where a statement may start: a GOTO's label.
    bool isLabel(std::size_t i) const {
        return i + 1 < m_t.size() && m_t[i].kind == TokenKind::Word && isPunct(i + 1, ":") &&
               !isPunct(i + 2, ":") && (i == 0 || !isPunct(i - 1, ":"));
    }

    bool isTransactionWord(std::size_t i) const {
        const QString w = upper(i);
        return w == QLatin1String("TRAN") || w == QLatin1String("TRANSACTION") ||
               w == QLatin1String("DISTRIBUTED");
    }

    StatementNode parseBlock() {
        ++m_pos; // BEGIN
        return parseBlockBody({});
    }

    // BEGIN TRY ... END TRY BEGIN CATCH ... END CATCH: a CATCH block must
    // follow its TRY block at once.
    StatementNode parseTryCatch() {
        StatementNode node;
        node.kind = StatementNode::Kind::TryCatch;
        m_pos += 2; // BEGIN TRY
        node.children.push_back(parseBlockBody(QStringLiteral("TRY")));
        skipSemicolons();
        if (upper(m_pos) != QLatin1String("BEGIN") || upper(m_pos + 1) != QLatin1String("CATCH")) {
            failWith(native::SyntaxError, {m_t[m_pos - 1].text});
        }
        m_pos += 2; // BEGIN CATCH
        node.children.push_back(parseBlockBody(QStringLiteral("CATCH")));
        return node;
    }

    // Statements up to END (END TRY / END CATCH when `closer` is given).
    StatementNode parseBlockBody(const QString& closer) {
        StatementNode block;
        block.kind = StatementNode::Kind::Block;
        while (true) {
            if (!skipSemicolons()) {
                failWith(native::SyntaxError, {m_t.empty() ? QString() : m_t.back().text});
            }
            if (upper(m_pos) == QLatin1String("END")) {
                if (closer.isEmpty()) {
                    ++m_pos;
                    return block;
                }
                if (upper(m_pos + 1) != closer) {
                    failWith(native::SyntaxErrorNearKeyword, {QStringLiteral("END")});
                }
                m_pos += 2;
                return block;
            }
            if (upper(m_pos) == QLatin1String("ELSE")) {
                failWith(native::SyntaxErrorNearKeyword, {QStringLiteral("ELSE")});
            }
            block.children.push_back(parseStatement());
        }
    }

    StatementNode parseConditional(bool isIf) {
        StatementNode node;
        node.kind = isIf ? StatementNode::Kind::If : StatementNode::Kind::While;
        const std::size_t start = ++m_pos;
        const std::size_t end = expressionEnd(start);
        if (end == start) {
            failWith(native::SyntaxError, {m_pos < m_t.size() ? m_t[m_pos].text : QString()});
        }
        node.condition.assign(m_t.begin() + static_cast<std::ptrdiff_t>(start),
                              m_t.begin() + static_cast<std::ptrdiff_t>(end));
        m_pos = end;
        if (!skipSemicolons() || upper(m_pos) == QLatin1String("END") ||
            upper(m_pos) == QLatin1String("ELSE")) {
            failWith(native::SyntaxError, {m_t[end - 1].text});
        }
        node.children.push_back(parseStatement());
        if (isIf) {
            std::size_t next = m_pos;
            while (isPunct(next, ";")) {
                ++next;
            }
            if (upper(next) == QLatin1String("ELSE")) {
                m_pos = next + 1;
                if (!skipSemicolons()) {
                    failWith(native::SyntaxErrorNearKeyword, {QStringLiteral("ELSE")});
                }
                node.children.push_back(parseStatement());
            }
        }
        return node;
    }

    // A condition runs until a statement starts at the outer level.
    std::size_t expressionEnd(std::size_t i) const {
        int depth = 0;
        int caseDepth = 0;
        for (; i < m_t.size(); ++i) {
            if (isPunct(i, "(")) {
                ++depth;
            } else if (isPunct(i, ")")) {
                --depth;
            } else if (depth <= 0 && isPunct(i, ";")) {
                return i;
            } else if (depth <= 0) {
                const QString w = upper(i);
                if (w == QLatin1String("CASE")) {
                    ++caseDepth;
                } else if (caseDepth > 0 &&
                           (w == QLatin1String("END") || w == QLatin1String("ELSE"))) {
                    caseDepth -= w == QLatin1String("END") ? 1 : 0;
                } else if (isStarter(w) && !(w == QLatin1String("WITH") && !startsCte(i))) {
                    return i;
                }
            }
        }
        return i;
    }

    bool startsCte(std::size_t i) const {
        return i + 2 < m_t.size() && m_t[i + 1].isNameLike() &&
               (upper(i + 2) == QLatin1String("AS") || isPunct(i + 2, "("));
    }

    // Where the simple statement starting at `start` ends.
    std::size_t simpleStatementEnd(std::size_t start) const {
        const QString first = upper(start);
        // CREATE VIEW/PROCEDURE/FUNCTION/TRIGGER must be alone in their batch:
        // their body runs to its end.
        if (first == QLatin1String("CREATE") || first == QLatin1String("ALTER")) {
            const bool orAlter = upper(start + 1) == QLatin1String("OR") &&
                                 upper(start + 2) == QLatin1String("ALTER");
            const QString what = upper(start + (orAlter ? 3 : 1));
            if (what == QLatin1String("VIEW") || what == QLatin1String("PROCEDURE") ||
                what == QLatin1String("PROC") || what == QLatin1String("FUNCTION") ||
                what == QLatin1String("TRIGGER")) {
                return m_t.size();
            }
            // CREATE SCHEMA's tables, views and permissions are its own.
            if (what == QLatin1String("SCHEMA") && first == QLatin1String("CREATE")) {
                return m_t.size();
            }
        }
        int depth = 0;
        int caseDepth = 0;
        ScanState state{first};
        for (std::size_t i = start + 1; i < m_t.size(); ++i) {
            if (isPunct(i, "(")) {
                ++depth;
                continue;
            }
            if (isPunct(i, ")")) {
                --depth;
                continue;
            }
            if (depth > 0) {
                continue;
            }
            if (isPunct(i, ";")) {
                return i;
            }
            const QString w = upper(i);
            if (w.isEmpty()) {
                continue;
            }
            if (w == QLatin1String("CASE")) {
                ++caseDepth;
                continue;
            }
            if (caseDepth > 0 && (w == QLatin1String("END") || w == QLatin1String("ELSE"))) {
                caseDepth -= w == QLatin1String("END") ? 1 : 0;
                continue;
            }
            if (w == QLatin1String("VALUES")) {
                state.sawValues = true;
            }
            if (isLabel(i)) {
                return i;
            }
            if (!isStarter(w) || continuesStatement(first, i, w, state)) {
                continue;
            }
            return i;
        }
        return m_t.size();
    }

    // What a statement has shown so far; `verb` is the first word, or for a
    // common table expression the verb of its body once seen.
    struct ScanState {
        QString verb;
        bool insertSourceSeen = false;
        bool updateSetSeen = false;
        bool sawValues = false;
    };

    bool continuesStatement(const QString& first, std::size_t i, const QString& w,
                            ScanState& state) const {
        const QString previous = upper(i - 1);
        if (w == QLatin1String("WITH") && !startsCte(i)) {
            return true; // a table hint or WITH CHECK, not a common table expression
        }
        if (w == QLatin1String("FETCH") &&
            (previous == QLatin1String("ROWS") || previous == QLatin1String("ROW"))) {
            return true; // OFFSET n ROWS FETCH NEXT m ROWS ONLY
        }
        if ((first == QLatin1String("DECLARE") || first == QLatin1String("SET")) &&
            previous == QLatin1String("FOR") &&
            (w == QLatin1String("SELECT") || w == QLatin1String("UPDATE"))) {
            return true; // a cursor's query and its FOR UPDATE
        }
        if (previous == QLatin1String("UNION") || previous == QLatin1String("ALL") ||
            previous == QLatin1String("EXCEPT") || previous == QLatin1String("INTERSECT")) {
            return true; // UNION SELECT ...
        }
        if (w == QLatin1String("ROLLBACK") && previous == QLatin1String("WITH")) {
            return true; // ALTER DATABASE ... SET ... WITH ROLLBACK IMMEDIATE
        }
        if ((first == QLatin1String("CREATE") || first == QLatin1String("ALTER")) &&
            (previous == QLatin1String("ON") || previous == QLatin1String("FOR")) &&
            (w == QLatin1String("DELETE") || w == QLatin1String("UPDATE") ||
             w == QLatin1String("INSERT"))) {
            return true; // ON DELETE CASCADE, FOR UPDATE in table and trigger definitions
        }
        if (w == QLatin1String("IF") &&
            (previous == QLatin1String("TABLE") || previous == QLatin1String("VIEW") ||
             previous == QLatin1String("PROCEDURE") || previous == QLatin1String("PROC") ||
             previous == QLatin1String("INDEX") || previous == QLatin1String("DATABASE") ||
             previous == QLatin1String("FUNCTION") || previous == QLatin1String("TRIGGER") ||
             previous == QLatin1String("CONSTRAINT") || previous == QLatin1String("COLUMN") ||
             previous == QLatin1String("SEQUENCE") || previous == QLatin1String("SCHEMA"))) {
            return true; // DROP TABLE IF EXISTS, ALTER TABLE ... DROP CONSTRAINT IF EXISTS
        }
        if (state.verb == QLatin1String("INSERT") && !state.insertSourceSeen && !state.sawValues &&
            (w == QLatin1String("SELECT") || w == QLatin1String("EXEC") ||
             w == QLatin1String("EXECUTE") || w == QLatin1String("WITH"))) {
            state.insertSourceSeen = true;
            return true;
        }
        if (state.verb == QLatin1String("UPDATE") && !state.updateSetSeen &&
            w == QLatin1String("SET")) {
            state.updateSetSeen = true;
            return true;
        }
        if (state.verb == QLatin1String("MERGE") &&
            (((w == QLatin1String("UPDATE") || w == QLatin1String("DELETE") ||
               w == QLatin1String("INSERT")) &&
              previous == QLatin1String("THEN")) ||
             (w == QLatin1String("SET") && previous == QLatin1String("UPDATE")))) {
            return true; // WHEN MATCHED THEN UPDATE SET ..., THEN DELETE, THEN INSERT
        }
        if (state.verb == QLatin1String("WITH") &&
            (w == QLatin1String("SELECT") || w == QLatin1String("INSERT") ||
             w == QLatin1String("UPDATE") || w == QLatin1String("DELETE") ||
             w == QLatin1String("MERGE"))) {
            state.verb = w;
            return true;
        }
        if (first == QLatin1String("ALTER")) {
            // ALTER TABLE t ALTER COLUMN ..., ... DROP COLUMN | CONSTRAINT | name,
            // ALTER TABLE t SET (...), ALTER DATABASE d SET ...; a DROP of an
            // object, an ALTER of another or a SET of an option starts anew.
            static const QSet<QString> dropped = {
                "TABLE",     "VIEW",     "PROCEDURE", "PROC",     "FUNCTION", "TRIGGER",
                "INDEX",     "DATABASE", "SCHEMA",    "TYPE",     "SYNONYM",  "SEQUENCE",
                "USER",      "ROLE",     "LOGIN",     "STATISTICS", "DEFAULT", "RULE",
                "ASSEMBLY",  "FULLTEXT", "XML",       "AGGREGATE", "IF"};
            const QString next = upper(i + 1);
            if (w == QLatin1String("ALTER")) {
                return next == QLatin1String("COLUMN");
            }
            if (w == QLatin1String("DROP")) {
                return !dropped.contains(next);
            }
            if (w == QLatin1String("SET")) {
                // ... ON DELETE SET NULL | SET DEFAULT of a foreign key, too.
                return isPunct(i + 1, "(") || upper(i - 2) == QLatin1String("DATABASE") ||
                       previous == QLatin1String("CURRENT") || previous == QLatin1String("DELETE") ||
                       previous == QLatin1String("UPDATE");
            }
        }
        if ((first == QLatin1String("GRANT") || first == QLatin1String("REVOKE") ||
             first == QLatin1String("DENY")) &&
            (w == QLatin1String("SELECT") || w == QLatin1String("INSERT") ||
             w == QLatin1String("UPDATE") || w == QLatin1String("DELETE") ||
             w == QLatin1String("EXECUTE") || w == QLatin1String("EXEC"))) {
            return true;
        }
        return false;
    }

    Tokens m_t;
    std::size_t m_pos = 0;
    int m_depth = 0;
    int m_statementsStarted = 0;
};

std::vector<StatementNode> parseSignificant(Tokens significant) {
    Parser parser(std::move(significant));
    try {
        return parser.parseAll();
    } catch (const ProviderFailure& failure) {
        // The server tells the line where it stopped reading.
        std::vector<ProviderError> records = failure.records();
        for (ProviderError& record : records) {
            record.line = parser.currentLine();
        }
        throw ProviderFailure(std::move(records));
    }
}

// CREATE [OR ALTER] or ALTER of a view, procedure, function or trigger,
// which is its batch's only statement.
bool definesModule(const Tokens& tokens) {
    const auto wordAt = [&](std::size_t i) {
        return i < tokens.size() && tokens[i].kind == TokenKind::Word ? tsql::upperCased(tokens[i].text)
                                                                      : QString();
    };
    const QString first = wordAt(0);
    std::size_t kind = 1;
    if (first == QLatin1String("CREATE") && wordAt(1) == QLatin1String("OR") &&
        wordAt(2) == QLatin1String("ALTER"))
        kind = 3;
    else if (first != QLatin1String("CREATE") && first != QLatin1String("ALTER"))
        return false;
    static const QSet<QString> modules{"VIEW", "PROC", "PROCEDURE", "FUNCTION", "TRIGGER"};
    return modules.contains(wordAt(kind));
}

// The batch parsed with the names of other schemas as the later steps read
// them; a module's definition keeps its tokens as written too, since the
// server stores the text the user wrote (the executor merges the name of
// one made in a schema later on).
std::vector<StatementNode> parseNamingSchemas(Tokens significant) {
    if (!definesModule(significant))
        return parseSignificant(tsql::withOtherSchemaNames(std::move(significant)));
    Tokens written = significant;
    Tokens named = tsql::withOtherSchemaNames(std::move(significant));
    const std::size_t namedCount = named.size();
    std::vector<StatementNode> nodes = parseSignificant(std::move(named));
    if (!nodes.empty()) {
        // What follows the definition (a closing ';') is the same in both.
        const std::size_t after = namedCount - std::min(namedCount, nodes.front().tokens.size());
        written.resize(written.size() - std::min(written.size(), after));
        nodes.front().written = std::move(written);
    }
    return nodes;
}

// A module's definition (the batch's first statement) keeps its text in
// `batch`, which its tokens' offsets point into.
void keepDefinitionSource(std::vector<StatementNode>& nodes, const QString& batch) {
    if (!nodes.empty() && !nodes.front().written.empty())
        nodes.front().source = statementSource(batch, nodes.front().written);
}

} // namespace

std::vector<StatementNode> parseBatch(const Tokens& tokens) {
    tsql::checkLexicalLimits(tokens);
    Tokens significant;
    significant.reserve(tokens.size());
    for (const Token& token : tokens) {
        if (!token.isTrivia()) {
            significant.push_back(token);
        }
    }
    return parseNamingSchemas(std::move(significant));
}

std::vector<StatementNode> parseBatch(const Tokens& tokens, const QString& text) {
    std::vector<StatementNode> nodes = parseBatch(tokens);
    if (!text.isEmpty())
        keepDefinitionSource(nodes, text);
    return nodes;
}

std::vector<StatementNode> parseBatch(const QString& batch) {
    Tokens tokens = tsql::tokenize(batch);
    tsql::checkLexicalLimits(tokens);
    // The batch's own tokens: the significant ones move down in place.
    const auto trivia = std::remove_if(tokens.begin(), tokens.end(),
                                       [](const Token& token) { return token.isTrivia(); });
    tokens.erase(trivia, tokens.end());
    std::vector<StatementNode> nodes = parseNamingSchemas(std::move(tokens));
    keepDefinitionSource(nodes, batch);
    return nodes;
}

QString definitionText(const StatementNode& node) {
    if (!node.source.isEmpty())
        return node.source;
    return joinTokensByLine(node.written.empty() ? node.tokens : node.written);
}

} // namespace estaciones::db::sqlite
