#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/parse/Token.h"

#include <functional>

namespace estaciones::db::sqlite {

// Evaluates an expression of the statement (a variable given as a SET value).
using Evaluate = std::function<Variant(const tsql::Tokens& expression)>;

// SET <option> <value>: NOCOUNT, XACT_ABORT, DATEFORMAT, DATEFIRST, LANGUAGE, ANSI_NULLS,
// CONCAT_NULL_YIELDS_NULL, ROWCOUNT, IDENTITY_INSERT and the options that
// change nothing here (QUOTED_IDENTIFIER, ANSI_WARNINGS, isolation level, ...).
void applySetOption(Session& session, const tsql::Tokens& tokens, const Evaluate& evaluate);

// SET LANGUAGE by a language's name or alias (us_english, English, British,
// Español, Spanish): also the language's date order and first weekday.
// Throws 40517 for a language the engine does not speak.
void setLanguage(Session& session, const QString& name);

// A new session takes its login's default language (sp_addlogin
// @deflanguage); a login without one speaks Spanish, as the suite's do.
void applyLoginLanguage(Session& session);

// The SET options in force, restored when a procedure or a dynamic batch
// that changed them returns, as the server does.
class SetOptions {
public:
    explicit SetOptions(const Session& session);
    void restore(Session& session) const;

private:
    bool m_noCount;
    bool m_xactAbort;
    tsql::Language m_language;
    tsql::DateOrder m_dateOrder;
    QString m_languageName;
    int m_dateFirst;
    bool m_concatNullYieldsNull;
    bool m_ansiNulls;
    long long m_rowCountLimit;
    QString m_identityInsertTable;
    long long m_lockTimeout;
    bool m_quotedIdentifier;
    bool m_implicitTransactions;
};

// What the session's options do to a statement before it is translated:
// with ANSI_NULLS OFF "= NULL" and "<> NULL" in conditions compare as IS
// [NOT] NULL; with QUOTED_IDENTIFIER OFF "x" is a text; SET ROWCOUNT limits the rows an UPDATE or DELETE changes.
// QUOTED_IDENTIFIER OFF: "x" is a text, as 'x' is; [x] still names.
tsql::Tokens withDoubleQuotesAsText(tsql::Tokens tokens);

tsql::Tokens withSessionOptions(const Session& session, tsql::Tokens tokens);

} // namespace estaciones::db::sqlite
