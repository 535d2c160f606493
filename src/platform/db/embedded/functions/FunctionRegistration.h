#pragma once

#include <QString>

#include "platform/db/embedded/errors/FunctionError.h"
#include "platform/db/embedded/storage/SqlValue.h"

#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

// What the engine's function files share: one way to fail with the server's
// number and text, and one way to register a table of functions.
namespace estaciones::db::tsql {

// A failure with the server's number and text, raised out of a function.
// `followedBy`: the records the server gives after it for the same failure.
struct ServerFailure : std::runtime_error {
    ServerFailure(int number, const QString& text, std::vector<FunctionError> followedBy = {})
        : std::runtime_error(text.toStdString()), number(number),
          followedBy(std::move(followedBy)) {}
    int number;
    std::vector<FunctionError> followedBy;
};

using FunctionBody = void (*)(sqlite3_context*, int, sqlite3_value**);

// Reports what `body` throws as the SQLite function's error: a ServerFailure
// as "tsql <number>: <text>", anything else with its own text.
void reportFailure(sqlite3_context* ctx, FunctionBody body, int argc, sqlite3_value** argv);

// The function's result is the conversion's failure, with its number.
void resultConversionError(sqlite3_context* ctx, const ConversionError& error);

template <FunctionBody body> void guarded(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    reportFailure(ctx, body, argc, argv);
}

struct FunctionRegistration {
    const char* name;
    int arguments; // -1: any number
    FunctionBody function;
};

// Registers `function` with `flags` (beyond UTF-8) and `userData`, which
// SQLite hands to `release` when it lets the function go. Throws Error when
// SQLite refuses it.
void registerOne(sqlite3* db, const FunctionRegistration& function, int flags = 0,
                 void* userData = nullptr, void (*release)(void*) = nullptr);

} // namespace estaciones::db::tsql
