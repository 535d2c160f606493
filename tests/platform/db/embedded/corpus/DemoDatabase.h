#pragma once

#include "platform/db/Engine.h"
#include "support/TempFolder.h"

#include <QString>

#include <memory>

namespace estaciones::test::corpus {

// The demo company database on the embedded engine, in a data folder of its
// own. The first use in a process seeds DEMO from the shipped scripts (the
// path the program takes on first connection); later uses copy those files,
// so that every case starts from the same untouched database quickly.
class DemoDatabase {
public:
    DemoDatabase();

    // A new session on DEMO as `user`.
    std::unique_ptr<db::Engine> connect(const QString& user = QStringLiteral("ADMIN")) const;

    QString dataFolder() const { return m_folder.path(); }

    static QString connectionString(const QString& database = QStringLiteral("DEMO"));

private:
    ScopedEnvFolder m_folder{"ESTACIONES_DATOS"};
};

} // namespace estaciones::test::corpus
