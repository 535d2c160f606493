#pragma once

#include "platform/db/Engine.h"

#include <functional>
#include <memory>

namespace estaciones::db {

// Which engine a connection string selects.
enum class EngineKind { Embedded, Odbc };

// SQLOLEDB (any version suffix) whose Server / Data Source is "(local)"
// selects the embedded engine; everything else goes to ODBC.
EngineKind engineKindFor(const QString& connectionString);

// A new, closed engine for `connectionString`. Throws Error 3706 (provider
// not found) when the embedded engine was asked for but is not built in.
std::unique_ptr<Engine> createEngine(const QString& connectionString);

// Whether this build includes the embedded engine.
bool embeddedEngineAvailable();

// Test seam: replaces the factory for every Connection::open until reset
// with an empty function.
using EngineFactoryFunction =
    std::function<std::unique_ptr<Engine>(const QString& connectionString)>;
void setEngineFactoryForTesting(EngineFactoryFunction factory);

} // namespace estaciones::db
