#pragma once

#include "platform/db/embedded/EmbeddedEngine.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

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

    // The batch's first result set, its columns' types and its rows.
    ResultSet query(const QString& batch) {
        const ExecutionResult result = run(batch);
        if (result.resultSets.empty()) {
            ADD_FAILURE() << "no result set from: " << batch.toStdString();
            return {};
        }
        return result.resultSets.front();
    }

    // The rows of the batch's first result set.
    std::vector<std::vector<Variant>> rows(const QString& batch) { return query(batch).rows; }

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

    // The first column of a statement on database PRUEBA's file run past
    // the engine (on what a statement cannot reach), its values joined by ';'.
    std::string pastTheEngine(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(data.filePath(QStringLiteral("PRUEBA.db")).toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* statement = nullptr;
        std::string out;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                const auto* text = sqlite3_column_text(statement, 0);
                out += (out.empty() ? "" : ";") +
                       std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
        }
        sqlite3_finalize(statement);
        sqlite3_close_v2(db);
        return out;
    }

    ::estaciones::test::ScopedEnvFolder data{"ESTACIONES_DATOS"};
    ::estaciones::test::ScopedEnvFolder seeds{"ESTACIONES_SEMILLAS"};
    std::unique_ptr<Engine> engine;
    std::vector<ProviderError> lastFailure;
};

} // namespace estaciones::db::sqlite::test
