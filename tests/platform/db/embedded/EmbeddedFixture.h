#pragma once

#include "platform/db/embedded/EmbeddedEngine.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace estaciones::db::sqlite::test {

// A fresh data folder and seed folder per test, and an engine opened on a
// new, empty database "PRUEBA".
class EmbeddedFixture : public ::testing::Test {
protected:
    void SetUp() override {
        engine = createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
        run(QStringLiteral("CREATE DATABASE PRUEBA"));
        engine->useDatabase(QStringLiteral("PRUEBA"));
    }

    ExecutionResult run(const QString& batch, const std::vector<Variant>& parameters = {}) {
        return engine->execute(batch, parameters, 0);
    }

    // The rows of the batch's first result set.
    std::vector<std::vector<Variant>> rows(const QString& batch) {
        const ExecutionResult result = run(batch);
        if (result.resultSets.empty()) {
            ADD_FAILURE() << "no result set from: " << batch.toStdString();
            return {};
        }
        return result.resultSets.front().rows;
    }

    Variant scalar(const QString& query) {
        const auto result = rows(query);
        return result.empty() || result.front().empty() ? Variant() : result.front().front();
    }

    // The first native error number a failing batch reports (0 when it succeeds).
    int nativeErrorOf(const QString& batch) {
        try {
            run(batch);
        } catch (const ProviderFailure& failure) {
            lastFailure = failure.records();
            return failure.nativeError();
        }
        return 0;
    }

    ::estaciones::test::ScopedEnvFolder data{"ESTACIONES_DATOS"};
    ::estaciones::test::ScopedEnvFolder seeds{"ESTACIONES_SEMILLAS"};
    std::unique_ptr<Engine> engine;
    std::vector<ProviderError> lastFailure;
};

} // namespace estaciones::db::sqlite::test
