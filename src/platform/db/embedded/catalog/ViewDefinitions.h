#pragma once

#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <optional>

namespace estaciones::db::sqlite {

// The text of each view as it was written (CREATE VIEW or the last ALTER
// VIEW), kept beside SQLite's own view, whose text is the translated one:
// sp_helptext, OBJECT_DEFINITION and the catalogue views give it back.
// Views made before the texts were kept have none.
class ViewDefinitions {
public:
    explicit ViewDefinitions(SqliteDatabase& database);

    void store(const QString& view, const QString& definition);
    std::optional<QString> find(const QString& view) const;
    void forget(const QString& view);
    // sp_rename: the text stays as written, under the new name (as the server
    // keeps the old name inside the definition).
    void rename(const QString& view, const QString& newName);

private:
    void write(const QString& sql, const QStringList& values);

    SqliteDatabase& m_database;
};

} // namespace estaciones::db::sqlite
