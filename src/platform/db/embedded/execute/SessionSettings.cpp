#include "platform/db/embedded/execute/SessionSettings.h"

#include "platform/db/embedded/catalog/LoginRegistry.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/functions/IdentityStore.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <array>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

struct LanguageDefaults {
    const char16_t* name;
    const char16_t* alias;
    tsql::Language language;
    tsql::DateOrder dateOrder;
    int dateFirst;
};

// The server's languages this engine has the day and month names of.
constexpr std::array languages{
    LanguageDefaults{u"us_english", u"English", tsql::Language::English, tsql::DateOrder::MDY, 7},
    LanguageDefaults{u"British", u"British English", tsql::Language::English, tsql::DateOrder::DMY,
                     1},
    LanguageDefaults{u"Español", u"Spanish", tsql::Language::Spanish, tsql::DateOrder::DMY, 1},
    LanguageDefaults{u"Italiano", u"Italian", tsql::Language::Italian, tsql::DateOrder::DMY, 1},
};

// The value after an option: a variable's value, a string's or a name's text.
Variant optionValue(const Tokens& tokens, std::size_t at, const Evaluate& evaluate) {
    if (at >= tokens.size()) {
        syntaxErrorNear(tokens, at);
    }
    if (tokens[at].kind == TokenKind::Variable) {
        return evaluate(slice(tokens, at, tokens.size()));
    }
    if (tokens[at].kind == TokenKind::Number) {
        return tokens[at].text.toLongLong();
    }
    if (tokens[at].isPunctuation(u"-") && at + 1 < tokens.size() &&
        tokens[at + 1].kind == TokenKind::Number) {
        return -tokens[at + 1].text.toLongLong(); // SET LOCK_TIMEOUT -1
    }
    return tokens[at].value();
}

bool onOrOff(const Tokens& tokens, std::size_t at) {
    const QString word = upperWord(tokens, at);
    if (word != QLatin1String("ON") && word != QLatin1String("OFF")) {
        syntaxErrorNear(tokens, at);
    }
    return word == QLatin1String("ON");
}

void setDateFormat(Session& session, const QString& format) {
    static const std::pair<const char*, tsql::DateOrder> orders[] = {
        {"dmy", tsql::DateOrder::DMY}, {"mdy", tsql::DateOrder::MDY}, {"ymd", tsql::DateOrder::YMD},
        {"ydm", tsql::DateOrder::YDM}, {"myd", tsql::DateOrder::MYD}, {"dym", tsql::DateOrder::DYM}};
    const QString order = format.trimmed().toLower();
    const auto known = std::find_if(std::begin(orders), std::end(orders),
                                    [&](const auto& o) { return order == QLatin1String(o.first); });
    if (known == std::end(orders)) {
        failWith(native::NotSupportedInThisVersion, {QStringLiteral("DATEFORMAT ") + format});
    }
    session.dateOrder = known->second;
    session.applyDialectSettings();
}

void setDateFirst(Session& session, const Variant& value) {
    const long long day = value.isNull() ? 0 : value.toInt64();
    if (day < 1 || day > 7) {
        failWith(native::DateFirstOutOfRange);
    }
    session.dateFirst = static_cast<int>(day);
    session.applyDialectSettings();
}

// INSERT with a column list names the identity column exactly when
// IDENTITY_INSERT is ON for its table (544, 545).
void checkIdentityInsert(const Session& session, const Tokens& tokens) {
    std::size_t i = 1;
    if (upperWord(tokens, i) == QLatin1String("INTO")) {
        ++i;
    }
    const QString table = readObjectName(tokens, i);
    if (table.isEmpty() || i >= tokens.size() || !tokens[i].isPunctuation(u"(") ||
        !session.hasCurrent()) {
        return;
    }
    const QString column = tsql::identityColumnOf(session.current().handle(), table);
    if (column.isEmpty()) {
        return;
    }
    bool listed = false;
    for (++i; i < tokens.size() && !tokens[i].isPunctuation(u")"); ++i) {
        listed = listed || (tokens[i].isNameLike() && tokens[i].isName(column));
    }
    const bool on = session.identityInsertTable.compare(table, Qt::CaseInsensitive) == 0;
    if (listed && !on) {
        failWith(native::IdentityInsertOff, {table});
    }
    if (!listed && on) {
        failWith(native::IdentityValueMissing, {table});
    }
}

void setIdentityInsert(Session& session, const Tokens& tokens) {
    std::size_t i = 2;
    const QString table = readObjectName(tokens, i);
    const bool on = onOrOff(tokens, i);
    SqliteDatabase& database = session.current();
    if (table.isEmpty() || !database.hasTable(table)) {
        failWith(native::ObjectNotFound, {table});
    }
    if (tsql::identityColumnOf(database.handle(), table).isEmpty()) {
        failWith(native::IdentityInsertNoIdentity, {table});
    }
    const QString& current = session.identityInsertTable;
    if (on && !current.isEmpty() && current.compare(table, Qt::CaseInsensitive) != 0) {
        failWith(native::IdentityInsertAlreadyOn, {current, table});
    }
    if (on) {
        session.identityInsertTable = table;
    } else if (current.compare(table, Qt::CaseInsensitive) == 0) {
        session.identityInsertTable.clear();
    }
}

// The options that take ON or OFF, possibly several in one SET.
void setSwitches(Session& session, const Tokens& tokens) {
    std::vector<QString> names;
    std::size_t i = 1;
    for (; i < tokens.size(); ++i) {
        if (tokens[i].isPunctuation(u",")) {
            continue;
        }
        const QString word = upperWord(tokens, i);
        if (word == QLatin1String("ON") || word == QLatin1String("OFF")) {
            break;
        }
        names.push_back(word);
    }
    const bool on = onOrOff(tokens, i);
    for (const QString& name : names) {
        if (name == QLatin1String("NOCOUNT")) {
            session.noCount = on;
        } else if (name == QLatin1String("XACT_ABORT")) {
            session.xactAbort = on;
        } else if (name == QLatin1String("ANSI_NULLS")) {
            session.ansiNulls = on;
        } else if (name == QLatin1String("CONCAT_NULL_YIELDS_NULL")) {
            session.concatNullYieldsNull = on;
            session.applyDialectSettings();
        } else if (name == QLatin1String("QUOTED_IDENTIFIER")) {
            session.quotedIdentifier = on;
        } else if (name == QLatin1String("IMPLICIT_TRANSACTIONS")) {
            session.implicitTransactions = on;
        }
        // Other switches (ANSI_WARNINGS, ANSI_PADDING,
        // ARITHABORT, ...) change nothing that a local SQLite database does
        // differently.
    }
}

// "= NULL" / "<> NULL" in conditions (after WHERE, ON, HAVING or WHEN, at
// each level of parentheses) as IS [NOT] NULL; assignments in SET lists and
// select lists stay.
Tokens withNullComparisonsAsIs(const Tokens& tokens) {
    Tokens out;
    out.reserve(tokens.size());
    std::vector<bool> inCondition{false}; // one per level of parentheses
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        const QString word = upperWord(tokens, i);
        if (token.isPunctuation(u"(")) {
            inCondition.push_back(inCondition.back());
        } else if (token.isPunctuation(u")") && inCondition.size() > 1) {
            inCondition.pop_back();
        } else if (word == QLatin1String("WHERE") || word == QLatin1String("ON") ||
                   word == QLatin1String("HAVING") || word == QLatin1String("WHEN")) {
            inCondition.back() = true;
        } else if (word == QLatin1String("SET") || word == QLatin1String("SELECT") ||
                   word == QLatin1String("THEN") || word == QLatin1String("VALUES")) {
            inCondition.back() = false;
        }
        const bool equals = token.isPunctuation(u"=");
        const bool differs = token.isPunctuation(u"<>") || token.isPunctuation(u"!=");
        if (inCondition.back() && (equals || differs) && i + 1 < tokens.size() &&
            isNullValueToken(tokens[i + 1])) {
            out.push_back(Token::word(QStringLiteral("IS")));
            if (differs) {
                out.push_back(Token::word(QStringLiteral("NOT")));
            }
            continue; // the NULL follows
        }
        out.push_back(token);
    }
    return out;
}

// SET ROWCOUNT n on UPDATE and DELETE: TOP (n), which the server treats the same.
Tokens withRowCountLimit(Tokens tokens, long long limit) {
    const QString verb = upperWord(tokens, 0);
    if (verb == QLatin1String("UPDATE") || verb == QLatin1String("DELETE")) {
        if (upperWord(tokens, 1) != QLatin1String("TOP")) {
            const Tokens top{Token::word(QStringLiteral("TOP")), Token::punctuation("("),
                             Token::number(QString::number(limit)), Token::punctuation(")")};
            tokens.insert(tokens.begin() + 1, top.begin(), top.end());
        }
        return tokens;
    }
    // INSERT ... SELECT would need the limit inside its query: refused rather
    // than inserting every row.
    if (verb == QLatin1String("INSERT") &&
        std::any_of(tokens.begin(), tokens.end(), [](const Token& token) {
            return token.isWord(u"SELECT") || token.isWord(u"EXEC") || token.isWord(u"EXECUTE");
        })) {
        failWith(native::NotSupportedInThisVersion, {QStringLiteral("SET ROWCOUNT with INSERT")});
    }
    return tokens;
}

} // namespace

Tokens withDoubleQuotesAsText(Tokens tokens) {
    for (Token& token : tokens) {
        if (token.kind == TokenKind::QuotedName && token.text.startsWith(QLatin1Char('"'))) {
            token = Token::string(token.value());
        }
    }
    return tokens;
}

void applySetOption(Session& session, const Tokens& tokens, const Evaluate& evaluate) {
    const QString option = upperWord(tokens, 1);
    if (option == QLatin1String("DATEFORMAT")) {
        setDateFormat(session, optionValue(tokens, 2, evaluate).toString());
    } else if (option == QLatin1String("DATEFIRST")) {
        setDateFirst(session, optionValue(tokens, 2, evaluate));
    } else if (option == QLatin1String("LANGUAGE")) {
        setLanguage(session, optionValue(tokens, 2, evaluate).toString());
    } else if (option == QLatin1String("ROWCOUNT")) {
        const Variant value = optionValue(tokens, 2, evaluate);
        session.rowCountLimit = value.isNull() ? 0 : std::max<long long>(0, value.toInt64());
    } else if (option == QLatin1String("IDENTITY_INSERT")) {
        setIdentityInsert(session, tokens);
    } else if (option == QLatin1String("LOCK_TIMEOUT")) {
        const Variant value = optionValue(tokens, 2, evaluate);
        session.lockTimeout = value.isNull() ? -1 : value.toInt64();
    } else if (option == QLatin1String("TRANSACTION") ||
               option == QLatin1String("DEADLOCK_PRIORITY") ||
               option == QLatin1String("TEXTSIZE") || option == QLatin1String("CONTEXT_INFO") ||
               option == QLatin1String("QUERY_GOVERNOR_COST_LIMIT")) {
        // Isolation, lock waits, text sizes and the like are SQLite's own here.
    } else {
        setSwitches(session, tokens);
    }
}

void setLanguage(Session& session, const QString& name) {
    const QString wanted = name.trimmed();
    for (const LanguageDefaults& known : languages) {
        if (wanted.compare(QString::fromUtf16(known.name), Qt::CaseInsensitive) == 0 ||
            wanted.compare(QString::fromUtf16(known.alias), Qt::CaseInsensitive) == 0) {
            session.languageName = QString::fromUtf16(known.name);
            session.language = known.language;
            session.dateOrder = known.dateOrder;
            session.dateFirst = known.dateFirst;
            session.applyDialectSettings();
            return;
        }
    }
    failWith(native::NotSupportedInThisVersion, {QStringLiteral("LANGUAGE ") + wanted});
}

void applyLoginLanguage(Session& session) {
    const QString file = session.folder().loginRegistryFile();
    if (!QFileInfo::exists(file)) {
        return;
    }
    const QString language = LoginRegistry(file).language(session.user);
    if (!language.isEmpty()) {
        setLanguage(session, language);
    }
}

SetOptions::SetOptions(const Session& session)
    : m_noCount(session.noCount), m_xactAbort(session.xactAbort), m_language(session.language),
      m_dateOrder(session.dateOrder), m_languageName(session.languageName),
      m_dateFirst(session.dateFirst), m_concatNullYieldsNull(session.concatNullYieldsNull),
      m_ansiNulls(session.ansiNulls), m_rowCountLimit(session.rowCountLimit),
      m_identityInsertTable(session.identityInsertTable), m_lockTimeout(session.lockTimeout),
      m_quotedIdentifier(session.quotedIdentifier),
      m_implicitTransactions(session.implicitTransactions) {}

void SetOptions::restore(Session& session) const {
    session.noCount = m_noCount;
    session.xactAbort = m_xactAbort;
    session.language = m_language;
    session.dateOrder = m_dateOrder;
    session.languageName = m_languageName;
    session.dateFirst = m_dateFirst;
    session.concatNullYieldsNull = m_concatNullYieldsNull;
    session.ansiNulls = m_ansiNulls;
    session.rowCountLimit = m_rowCountLimit;
    session.identityInsertTable = m_identityInsertTable;
    session.lockTimeout = m_lockTimeout;
    session.quotedIdentifier = m_quotedIdentifier;
    session.implicitTransactions = m_implicitTransactions;
    session.applyDialectSettings();
}

Tokens withSessionOptions(const Session& session, Tokens tokens) {
    if (upperWord(tokens, 0) == QLatin1String("INSERT")) {
        checkIdentityInsert(session, tokens);
    }
    if (!session.ansiNulls) {
        tokens = withNullComparisonsAsIs(tokens);
    }
    if (!session.quotedIdentifier) {
        tokens = withDoubleQuotesAsText(std::move(tokens));
    }
    if (session.rowCountLimit > 0) {
        tokens = withRowCountLimit(std::move(tokens), session.rowCountLimit);
    }
    return tokens;
}

} // namespace estaciones::db::sqlite
