#pragma once

#include "platform/db/Engine.h"

#include <QString>

#include <memory>

namespace estaciones::db::sqlite {

// The embedded engine: a data folder ($ESTACIONES_DATOS, else the per-user
// data folder) in which every database is one SQLite file, speaking the
// suite's SQL Server dialect with SQL Server's results and error numbers.
// The connection string's Database (or Initial Catalog) is opened; a missing
// database fails with 4060 unless a "<name>.semilla" seed exists for it.
std::unique_ptr<Engine> createEmbeddedEngine();

// For the build: builds a seed's database ahead of time beside it
// ("<name>.sembrada" and its fingerprint), which the first open of that
// database then copies instead of running the scripts. Throws the scripts'
// failure.
void prebuildSeedDatabase(const QString& seedFile);

} // namespace estaciones::db::sqlite
