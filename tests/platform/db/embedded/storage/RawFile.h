#pragma once

#include "platform/db/embedded/functions/SqliteFunctions.h"

#include <sqlite3.h>

#include <memory>
#include <string>

namespace estaciones::db::sqlite::test {

// A connection of our own on a file, with the engine's functions and
// collations (the schema names them), to look at what the file holds.
class RawFile {
public:
    explicit RawFile(const QString& file) {
        sqlite3_open_v2(file.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        tsql::registerFunctions(m_db, std::make_shared<tsql::DialectSettings>());
    }
    ~RawFile() { sqlite3_close_v2(m_db); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;
    sqlite3* handle() const { return m_db; }

    // Every row of the query, columns joined by '|', rows by ';'.
    std::string rows(const char* sql) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            return std::string("error: ") + sqlite3_errmsg(m_db);
        std::string out;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                const auto* text = sqlite3_column_text(statement, i);
                out += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
            out += ';';
        }
        sqlite3_finalize(statement);
        return out;
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace estaciones::db::sqlite::test
