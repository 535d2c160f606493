#include "platform/db/embedded/sqlite/FormatConversion.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/parse/Pieces.h"
#include "platform/db/embedded/parse/Tokenizer.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"
#include "platform/db/embedded/storage/FormatVersion.h"
#include "platform/db/embedded/storage/StoredColumns.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

using tsql::quoteName;

QString columnText(sqlite3_stmt* statement, int index) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, index)));
}

[[noreturn]] void failConversion(const QString& database, const QString& why) {
    failWithText(native::CannotOpenDatabase,
                 QStringLiteral("No se pudo convertir la base de datos %1 al formato %2: %3")
                     .arg(database)
                     .arg(currentFormatVersion)
                     .arg(why));
}

// Runs `sql`; a failure names the database and what SQLite said.
void execute(sqlite3* db, const QString& sql, const QString& database) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    if (rc == SQLITE_OK)
        return;
    if ((rc & 0xff) == SQLITE_BUSY)
        failWithText(native::CannotOpenDatabase,
                     QStringLiteral("La base de datos %1 se está convirtiendo al formato %2 en otra "
                                    "estación; vuelva a intentarlo en unos momentos.")
                         .arg(database)
                         .arg(currentFormatVersion));
    failConversion(database, text);
}

QStringList userTables(sqlite3* db) {
    PreparedStatement query(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                               "'table' ORDER BY name"));
    QStringList tables;
    while (query.ok() && query.step() == SQLITE_ROW) {
        const QString name = columnText(query.handle(), 0);
        if (!isInternalTable(name))
            tables << name;
    }
    return tables;
}

struct StoredColumn {
    QString name;
    QString type;
};

QList<StoredColumn> columnsOf(sqlite3* db, const QString& table) {
    PreparedStatement query(db, QStringLiteral("SELECT name, type FROM pragma_table_info(?1)"));
    query.bindText(1, table);
    QList<StoredColumn> columns;
    while (query.ok() && query.step() == SQLITE_ROW)
        columns << StoredColumn{columnText(query.handle(), 0), columnText(query.handle(), 1)};
    return columns;
}

// Beside the file, under a name no earlier copy has: NAME.v0.bak, NAME.v0.1.bak, ...
QString copyName(const QString& file, int version) {
    const QFileInfo info(file);
    const QString stem = info.dir().filePath(info.completeBaseName());
    QString name = QStringLiteral("%1.v%2.bak").arg(stem).arg(version);
    for (int n = 1; QFileInfo::exists(name); ++n)
        name = QStringLiteral("%1.v%2.%3.bak").arg(stem).arg(version).arg(n);
    return name;
}

// A copy of the file as it is now, read through a second connection: the
// caller holds the write lock, so the last commit it reads is what will be
// converted (the file alone may lack what its write-ahead log holds).
// Written under a temporary name, so that a copy with the final name is
// always whole.
void copyBeside(const QString& file, int version, const QString& database) {
    const QString target = copyName(file, version);
    const QString partial = target + QStringLiteral(".parcial");
    QFile::remove(partial);
    sqlite3* source = nullptr;
    sqlite3* copy = nullptr;
    int rc = sqlite3_open_v2(file.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_open_v2(partial.toUtf8().constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
        rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(copy);
        if (backup)
            sqlite3_backup_finish(backup);
        rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    const QString why = QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close(copy);
    sqlite3_close(source);
    if (rc != SQLITE_OK || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        failConversion(database, QStringLiteral("no se pudo hacer la copia %1 (%2)")
                                     .arg(QFileInfo(target).fileName(), why));
    }
}

// What a conversion changes in one table.
struct TableConversion {
    QString table;
    QString definition;      // its CREATE TABLE with the new declarations (to 2), or empty
    QStringList assignments; // column = its stored form (from 0)
    QStringList oldTriggers; // the store triggers replaced
    QStringList triggers;    // the store triggers of the converted columns
};

bool isExactNumberColumn(const StoredColumn& column) {
    return tsql::isExactNumberTypeName(tsql::describeDeclaredType(column.type).typeName);
}

// `tableSql` with each column of `columns` declared as the current version
// declares its type (TypeNames.h: money and decimal without affinity).
QString redeclared(const QString& tableSql, const QList<StoredColumn>& columns) {
    tsql::Pieces pieces = tsql::toPieces(tsql::tokenize(tableSql));
    size_t open = 0;
    while (open < pieces.size() && !pieces[open].isPunctuation(u"("))
        ++open;
    if (open == pieces.size())
        return tableSql;
    auto definitions = tsql::splitTopLevel(pieces, open + 1, tsql::closeOf(pieces, open));
    // Right to left, so that earlier ranges stay where they are.
    for (auto it = definitions.rbegin(); it != definitions.rend(); ++it) {
        const size_t from = it->first;
        const size_t to = it->second;
        if (to < from + 2 || !pieces[from].isNameLike())
            continue;
        const auto column = std::find_if(columns.begin(), columns.end(), [&](const StoredColumn& c) {
            return c.name.compare(pieces[from].value(), Qt::CaseInsensitive) == 0;
        });
        if (column == columns.end())
            continue;
        const size_t type = from + 1;
        size_t end = type + 1;
        if (end < to && pieces[end].isPunctuation(u"("))
            end = tsql::closeOf(pieces, end) + 1;
        tsql::Pieces declared =
            tsql::piecesOf(tsql::sqliteColumnType(tsql::sqliteDeclaredType(column->type)));
        declared.front().space = pieces[type].space;
        tsql::replaceRange(pieces, type, end, std::move(declared));
    }
    return tsql::render(pieces);
}

QString tableDefinition(sqlite3* db, const QString& table) {
    PreparedStatement query(
        db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1"));
    query.bindText(1, table);
    return query.ok() && query.step() == SQLITE_ROW ? columnText(query.handle(), 0) : QString();
}

// The work that brings each table from `version` to the current one: from
// 0, every date, money and decimal value into its stored form; from 1, the
// money and decimal columns declared anew, their store triggers made anew.
QList<TableConversion> conversionsFrom(sqlite3* db, int version) {
    QList<TableConversion> conversions;
    for (const QString& table : userTables(db)) {
        TableConversion conversion{table, {}, {}, {}, {}};
        QList<StoredColumn> redeclare;
        for (const StoredColumn& column : columnsOf(db, table)) {
            const auto stored = tsql::storedFormExpression(column.type, quoteName(column.name));
            if (!stored)
                continue;
            const bool exact = isExactNumberColumn(column);
            if (version < 1) {
                for (const char* event : {"i", "u"})
                    conversion.oldTriggers
                        << QStringLiteral("DROP TRIGGER IF EXISTS %1")
                               .arg(quoteName(QStringLiteral("tsql_date_%1_%2_%3")
                                                  .arg(table, column.name, QLatin1String(event))));
                conversion.assignments
                    << QStringLiteral("%1 = %2").arg(quoteName(column.name), *stored);
            } else if (!exact) {
                continue; // a date column of version 1 is as version 2 keeps it
            }
            if (exact)
                redeclare << column;
            conversion.oldTriggers << tsql::dropStoreTriggers(table, column.name);
            conversion.triggers << tsql::storeTriggers(table, column.name, column.type);
        }
        if (!redeclare.isEmpty())
            conversion.definition = redeclared(tableDefinition(db, table), redeclare);
        if (!conversion.triggers.isEmpty())
            conversions << conversion;
    }
    return conversions;
}

void convert(sqlite3* db, const QList<TableConversion>& conversions, const QString& database) {
    for (const TableConversion& conversion : conversions) {
        if (!conversion.definition.isEmpty()) {
            try {
                tsql::schema_access::replaceTableDefinition(db, QStringLiteral("main"),
                                                            conversion.table, conversion.definition);
            } catch (const std::exception& e) {
                failConversion(database, QString::fromUtf8(e.what()));
            }
        }
        for (const QString& drop : conversion.oldTriggers)
            execute(db, drop, database);
        if (!conversion.assignments.isEmpty())
            execute(db,
                    QStringLiteral("UPDATE %1 SET %2")
                        .arg(quoteName(conversion.table), conversion.assignments.join(", ")),
                    database);
        for (const QString& trigger : conversion.triggers)
            execute(db, trigger, database);
    }
}

} // namespace

int formatVersionOf(sqlite3* db) {
    PreparedStatement query(db, QStringLiteral("PRAGMA user_version"));
    return query.ok() && query.step() == SQLITE_ROW ? sqlite3_column_int(query.handle(), 0) : 0;
}

void bringToCurrentFormat(sqlite3* db, const QString& file, const QString& database) {
    // A file that cannot be read at all (a WAL file on a share this station
    // may not write, without the shared-memory file its readers need) says
    // so, instead of being taken for one of the first format.
    {
        PreparedStatement probe(db, QStringLiteral("PRAGMA user_version"));
        const int rc = probe.ok() ? probe.step() : sqlite3_errcode(db);
        if (rc != SQLITE_ROW && (rc & 0xff) != SQLITE_BUSY)
            failWithText(native::CannotOpenDatabase,
                         QStringLiteral("No se puede leer la base de datos %1: %2")
                             .arg(database,
                                  (rc & 0xff) == SQLITE_READONLY
                                      ? QStringLiteral("quien la lee necesita escribir junto a "
                                                       "%1 (el archivo -shm) y esta estación no "
                                                       "tiene permiso")
                                            .arg(file)
                                      : QString::fromUtf8(sqlite3_errmsg(db))));
    }
    const int found = formatVersionOf(db);
    if (found > currentFormatVersion)
        failWithText(native::CannotOpenDatabase,
                     QStringLiteral("La base de datos %1 tiene el formato %2, más nuevo que el "
                                    "formato %3 que conoce este programa: actualice el programa "
                                    "de esta estación para abrirla.")
                         .arg(database)
                         .arg(found)
                         .arg(currentFormatVersion));
    if (found == currentFormatVersion)
        return;
    // The write lock first: a second station waits here, then finds the work done.
    execute(db, QStringLiteral("BEGIN IMMEDIATE"), database);
    try {
        const int version = formatVersionOf(db);
        if (version < currentFormatVersion) {
            // A file without values to convert (a new one) needs no copy.
            const auto conversions = conversionsFrom(db, version);
            if (!conversions.isEmpty()) {
                copyBeside(file, version, database);
                convert(db, conversions, database);
            }
            execute(db, QStringLiteral("PRAGMA user_version = %1").arg(currentFormatVersion),
                    database);
        }
        execute(db, QStringLiteral("COMMIT"), database);
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace estaciones::db::sqlite
