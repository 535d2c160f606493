#include "platform/db/embedded/errors/FunctionError.h"

#include <QRegularExpression>

namespace estaciones::db::tsql {

QString functionErrorMessage(int nativeNumber, const QString& text) {
    return QStringLiteral("tsql %1: %2").arg(nativeNumber).arg(text);
}

std::vector<FunctionError> parseFunctionErrors(const QString& sqliteMessage) {
    static const QRegularExpression pattern(QStringLiteral(R"(tsql (\d+): (.*?)(?=\ntsql \d+: |$))"),
                                            QRegularExpression::DotMatchesEverythingOption);
    std::vector<FunctionError> errors;
    for (const auto& m : pattern.globalMatch(sqliteMessage))
        errors.push_back(FunctionError{m.captured(1).toInt(), m.captured(2)});
    return errors;
}

std::optional<FunctionError> parseFunctionError(const QString& sqliteMessage) {
    const std::vector<FunctionError> errors = parseFunctionErrors(sqliteMessage);
    if (errors.empty())
        return std::nullopt;
    return errors.front();
}

} // namespace estaciones::db::tsql
