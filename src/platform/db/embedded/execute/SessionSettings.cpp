#include "platform/db/embedded/execute/SessionSettings.h"

#include "platform/db/embedded/execute/StatementTokens.h"

namespace estaciones::db::sqlite {

void applySetOption(Session& session, const tsql::Tokens& tokens) {
    const QString option = upperWord(tokens, 1);
    const QString value = tokens.size() > 2 ? tokens[2].value().toLower() : QString();
    if (option == QLatin1String("NOCOUNT")) {
        session.noCount = value == QLatin1String("on");
    } else if (option == QLatin1String("XACT_ABORT")) {
        session.xactAbort = value == QLatin1String("on");
    } else if (option == QLatin1String("DATEFORMAT")) {
        session.dateOrder = value.startsWith('m')   ? tsql::DateOrder::MDY
                            : value.startsWith('y') ? tsql::DateOrder::YMD
                                                    : tsql::DateOrder::DMY;
        session.applyDialectSettings();
    } else if (option == QLatin1String("LANGUAGE")) {
        session.language = value.startsWith(QLatin1String("us")) ||
                                   value.startsWith(QLatin1String("english")) ||
                                   value.startsWith(QLatin1String("british"))
                               ? tsql::Language::English
                               : tsql::Language::Spanish;
        session.applyDialectSettings();
    }
    // Other options (ANSI_NULLS, QUOTED_IDENTIFIER, IDENTITY_INSERT, isolation
    // level, ...) change nothing that a local SQLite database does differently.
}

} // namespace estaciones::db::sqlite
