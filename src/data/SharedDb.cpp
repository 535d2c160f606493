#include "data/SharedDb.h"

#include "platform/core/ErrorHandling.h"

#include <memory>

namespace estaciones::data {

namespace {
std::unique_ptr<DB_Dll>& instancia() {
    static std::unique_ptr<DB_Dll> db;
    return db;
}
} // namespace

DB_Dll& sharedDb() {
    auto& db = instancia();
    if (!db) {
        db = std::make_unique<DB_Dll>();
    }
    return *db;
}

void releaseSharedDb() {
    auto& db = instancia();
    if (db && db->gCnn.state() == db::adStateOpen) {
        ignoringErrors([&] { db->gCnn.close(); });
    }
    db.reset();
}

} // namespace estaciones::data
