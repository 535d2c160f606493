// Errors raised by the batch's own code (RAISERROR, THROW) and the functions
// a CATCH block reads them with (ERROR_NUMBER(), ...).
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/BatchExecutor.h"
#include "platform/db/embedded/execute/ErrorHandling.h"
#include "platform/db/embedded/execute/StatementTokens.h"
#include "platform/db/embedded/functions/MessageFormat.h"

#include <algorithm>

namespace estaciones::db::sqlite {

using tsql::Token;
using tsql::TokenKind;
using tsql::Tokens;

namespace {

constexpr int UnknownMessage = 18054;
constexpr int SeverityNeedsLog = 2754;
constexpr int firstUserMessage = 50000;

// A message the batch raises itself: its own number and text.
ProviderError raisedRecord(qlonglong number, const QString& text, int severity, int state) {
    ProviderError error = sqlServerError(native::UserError, {text});
    error.nativeError = static_cast<std::int32_t>(number);
    error.severity = severity;
    error.messageState = state;
    return error;
}

} // namespace

void BatchExecutor::raiseError(const Tokens& tokens, VariableScope& scope) {
    if (tokens.size() < 3 || !tokens[1].isPunctuation(u"(")) {
        syntaxErrorNear(tokens, 1);
    }
    const std::size_t close = closingParenthesis(tokens, 1);
    const std::vector<Range> parts = splitByCommas(tokens, 2, close);
    if (parts.size() < 3 || close == tokens.size()) {
        syntaxErrorNear(tokens, close);
    }
    bool setError = false;
    bool withLog = false;
    if (close + 1 < tokens.size()) {
        if (!tokens[close + 1].isWord(u"WITH")) {
            syntaxErrorNear(tokens, close + 1);
        }
        for (const Range& option : splitByCommas(tokens, close + 2, tokens.size())) {
            const QString word = option.to == option.from + 1 && tokens[option.from].kind ==
                                                                     TokenKind::Word
                                     ? tokens[option.from].text.toUpper()
                                     : QString();
            if (word != QLatin1String("NOWAIT") && word != QLatin1String("LOG") &&
                word != QLatin1String("SETERROR")) {
                syntaxErrorNear(tokens, option.from);
            }
            setError = setError || word == QLatin1String("SETERROR");
            withLog = withLog || word == QLatin1String("LOG");
        }
    }
    const auto value = [&](const Range& part) {
        return evaluate(slice(tokens, part.from, part.to), scope);
    };
    const Variant message = value(parts[0]);
    // Severities run from 0 to 25 and states from 0 to 255; a negative state is 1.
    const int severity = static_cast<int>(std::clamp<qlonglong>(value(parts[1]).toInt64(), 0, 25));
    const qlonglong givenState = value(parts[2]).toInt64();
    const int state = givenState < 0 ? 1 : static_cast<int>(std::min<qlonglong>(givenState, 255));
    if (severity > 18 && !withLog) {
        throw RaisedError(raisedRecord(SeverityNeedsLog,
                                       QStringLiteral("Error severity levels greater than 18 can "
                                                      "only be specified by members of the "
                                                      "sysadmin role, using the WITH LOG option."),
                                       16, 1),
                          false);
    }
    std::vector<Variant> arguments;
    for (std::size_t a = 3; a < parts.size(); ++a) {
        arguments.push_back(value(parts[a]));
    }
    // A message number names a message of the server's catalogue, which
    // holds none of the user's here.
    ProviderError error =
        message.isText() || message.isNull()
            ? raisedRecord(native::UserError, tsql::formatMessageText(message.toString(), arguments),
                           severity, state)
            : raisedRecord(UnknownMessage,
                           QStringLiteral("Error %1, severity %2, state %3 was raised, but no "
                                          "message with that error number was found in "
                                          "sys.messages. If error is larger than 50000, make sure "
                                          "the user-defined message is added using "
                                          "sp_addmessage.")
                               .arg(message.toInt64())
                               .arg(severity)
                               .arg(state),
                           severity, state);
    if (severity <= 10) {
        // Informational, shown as PRINT is; WITH SETERROR still sets @@ERROR.
        m_session.lastErrorNumber = setError ? error.nativeError : 0;
        noteMessages({error});
        return;
    }
    throw RaisedError(std::move(error), false);
}

void BatchExecutor::throwError(const Tokens& tokens, VariableScope& scope) {
    if (tokens.size() == 1) {
        if (m_caught.empty()) {
            failWith(native::RethrowOutsideCatch);
        }
        throw RaisedError(m_caught.back().error, true);
    }
    const std::vector<Range> parts = splitByCommas(tokens, 1, tokens.size());
    if (parts.size() != 3) {
        syntaxErrorNear(tokens, parts.empty() ? 1 : parts.back().to);
    }
    const auto value = [&](const Range& part) {
        return evaluate(slice(tokens, part.from, part.to), scope);
    };
    const qlonglong number = value(parts[0]).toInt64();
    const QString message = value(parts[1]).toString();
    const int state = static_cast<int>(value(parts[2]).toInt64());
    if (number < firstUserMessage) {
        failWith(native::ThrowNumberOutOfRange, {QString::number(number)});
    }
    throw RaisedError(raisedRecord(number, message, 16, state), true);
}

std::optional<Token> BatchExecutor::sessionFunctionValue(const QString& name) const {
    if (name == QLatin1String("SCOPE_IDENTITY")) {
        return literalToken(m_session.scopeIdentity);
    }
    if (name == QLatin1String("XACT_STATE")) {
        return Token::number(QString::number(m_session.xactState()));
    }
    if (name == QLatin1String("TRIGGER_NESTLEVEL")) { // the triggers running, this one included
        return Token::number(QString::number(m_triggers.size()));
    }
    if (m_caught.empty()) {
        return Token::word(QStringLiteral("NULL")); // outside CATCH the error functions are NULL
    }
    const CaughtError& caught = m_caught.back();
    if (name == QLatin1String("ERROR_NUMBER")) {
        return Token::number(QString::number(caught.error.nativeError));
    }
    if (name == QLatin1String("ERROR_MESSAGE")) {
        return Token::string(caught.error.description);
    }
    if (name == QLatin1String("ERROR_SEVERITY")) {
        return Token::number(QString::number(caught.error.severity));
    }
    if (name == QLatin1String("ERROR_STATE")) {
        return Token::number(QString::number(caught.error.messageState));
    }
    if (name == QLatin1String("ERROR_LINE")) {
        return Token::number(QString::number(caught.error.line));
    }
    if (name == QLatin1String("ERROR_PROCEDURE")) {
        return caught.procedure.isEmpty() ? Token::word(QStringLiteral("NULL"))
                                          : Token::string(caught.procedure);
    }
    return std::nullopt;
}

} // namespace estaciones::db::sqlite
