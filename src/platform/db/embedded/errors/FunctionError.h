#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace estaciones::db::tsql {

// The dialect's SQLite functions fail with "tsql <number>: <SQL Server's text>"
// so that the engine's error map can give SQL Server's number and message.
QString functionErrorMessage(int nativeNumber, const QString& text);

struct FunctionError {
    int nativeNumber;
    QString text;
};
// The number and text inside an SQLite error message raised by one of the
// dialect's functions; nullopt for any other message.
std::optional<FunctionError> parseFunctionError(const QString& sqliteMessage);
// Every error of such a message: a function that fails as the server does
// with several records writes them one a line.
std::vector<FunctionError> parseFunctionErrors(const QString& sqliteMessage);

} // namespace estaciones::db::tsql
