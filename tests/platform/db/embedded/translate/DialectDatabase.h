#pragma once

#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/SequenceStore.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/translate/Translator.h"

#include <QStringList>

#include <sqlite3.h>

#include <memory>
#include <ostream>
#include <stdexcept>

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// An in-memory SQLite database with the dialect registered: runs T-SQL
// statements through the translator, as the embedded engine does.
class DialectDatabase {
public:
    explicit DialectDatabase(bool accentInsensitive = false)
        : m_settings(std::make_shared<estaciones::db::tsql::DialectSettings>()),
          m_translator(m_settings) {
        m_settings->accentInsensitive = accentInsensitive;
        m_settings->userName = [] { return QStringLiteral("ana"); };
        sqlite3_open(":memory:", &m_db);
        estaciones::db::tsql::registerFunctions(m_db, m_settings);
        // The engine's open makes the constraint, trigger, function and sequence tables the catalogue reads.
        sqlite3_exec(m_db, estaciones::db::tsql::constraintTableSql, nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, estaciones::db::tsql::triggerTableSql, nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, estaciones::db::tsql::functionTableSql, nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, estaciones::db::tsql::sequenceTableSql, nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, estaciones::db::tsql::objectDateTableSql, nullptr, nullptr, nullptr);
    }
    ~DialectDatabase() { sqlite3_close(m_db); }
    DialectDatabase(const DialectDatabase&) = delete;
    DialectDatabase& operator=(const DialectDatabase&) = delete;

    estaciones::db::tsql::DialectSettings& settings() { return *m_settings; }
    sqlite3* handle() const { return m_db; }

    QStringList translate(const QString& tsql) const {
        return m_translator.translate(tsql).statements;
    }

    // Runs a T-SQL statement; the rows of its last statement, each column as text ("NULL" for
    // null).
    std::vector<QStringList> run(const QString& tsql) {
        std::vector<QStringList> rows;
        for (const QString& sql : translate(tsql))
            rows = runSqlite(sql);
        return rows;
    }

    QString scalar(const QString& tsql) {
        const auto rows = run(tsql);
        if (rows.empty() || rows.front().isEmpty())
            throw std::runtime_error("no rows: " + tsql.toStdString());
        return rows.front().front();
    }

    int count(const QString& tsql) { return static_cast<int>(run(tsql).size()); }

    // The SQLite error message a T-SQL statement fails with (empty if it does not fail).
    QString failure(const QString& tsql) {
        try {
            run(tsql);
        } catch (const std::runtime_error& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }

    std::vector<QStringList> runSqlite(const QString& sql) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            const std::string message = sqlite3_errmsg(m_db);
            sqlite3_finalize(stmt);
            throw std::runtime_error(message + " in: " + sql.toStdString());
        }
        std::vector<QStringList> rows;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                row << (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
            }
            rows.push_back(row);
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        return rows;
    }

private:
    std::shared_ptr<estaciones::db::tsql::DialectSettings> m_settings;
    estaciones::db::tsql::Translator m_translator;
    sqlite3* m_db = nullptr;
};
