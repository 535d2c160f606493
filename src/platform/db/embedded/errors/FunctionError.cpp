#include "platform/db/embedded/errors/FunctionError.h"

#include <QRegularExpression>

namespace estaciones::db::tsql {

QString functionErrorMessage(int nativeNumber, const QString& text) {
    return QStringLiteral("tsql %1: %2").arg(nativeNumber).arg(text);
}

std::optional<FunctionError> parseFunctionError(const QString& sqliteMessage) {
    static const QRegularExpression pattern(QStringLiteral(R"(tsql (\d+): (.*)$)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const auto m = pattern.match(sqliteMessage);
    if (!m.hasMatch())
        return std::nullopt;
    return FunctionError{m.captured(1).toInt(), m.captured(2)};
}

} // namespace estaciones::db::tsql
