#include "platform/db/embedded/catalog/LoginRegistry.h"

#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <QCryptographicHash>

#include <optional>

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

QString passwordHash(const QString& login, const QString& password) {
    return QString::fromLatin1(
        QCryptographicHash::hash((login.toLower() + '\n' + password).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex());
}

std::unique_ptr<SqliteDatabase> openRegistry(const QString& file) {
    auto registry = std::make_unique<SqliteDatabase>(file, QStringLiteral("logins"), true);
    registry->run(
        QStringLiteral("CREATE TABLE IF NOT EXISTS logins (nombre TEXT PRIMARY KEY COLLATE NOCASE, "
                       "clave TEXT, base TEXT, idioma TEXT)"));
    return registry;
}

// The language of a login read through a bare connection: every session
// asks it when it opens, and a connection set up for the dialect costs more
// than the read. Nothing when that read cannot answer (no file, no table
// yet): the full opening then answers as before, errors included.
std::optional<QString> languageReadBare(const QString& file, const QString& login) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return std::nullopt;
    }
    // Another station may be writing it: wait as the full opening would.
    sqlite3_busy_timeout(db, 10000);
    std::optional<QString> language;
    {
        PreparedStatement query(db, QStringLiteral("SELECT idioma FROM logins WHERE nombre = ?1"));
        if (query.ok()) {
            query.bindText(1, login.trimmed());
            const int code = query.step();
            if (code == SQLITE_DONE ||
                (code == SQLITE_ROW && sqlite3_column_type(query.handle(), 0) == SQLITE_NULL)) {
                language = QString();
            } else if (code == SQLITE_ROW) {
                language = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
            }
        }
    }
    sqlite3_close(db);
    return language;
}

void runWith(const QString& file, const QString& sql, const QStringList& values) {
    const auto registry = openRegistry(file);
    PreparedStatement statement(registry->handle(), sql);
    for (int i = 0; i < values.size(); ++i) {
        statement.bindText(i + 1, values[i]);
    }
    if (!statement.ok() || statement.step() != SQLITE_DONE) {
        throw ProviderFailure({registry->lastError(sql)});
    }
}

} // namespace

LoginRegistry::LoginRegistry(QString file) : m_file(std::move(file)) {}

bool LoginRegistry::contains(const QString& login) const {
    const auto registry = openRegistry(m_file);
    PreparedStatement query(registry->handle(),
                            QStringLiteral("SELECT 1 FROM logins WHERE nombre = ?1"));
    query.bindText(1, login.trimmed());
    return query.ok() && query.step() == SQLITE_ROW;
}

QString LoginRegistry::language(const QString& login) const {
    if (const auto read = languageReadBare(m_file, login)) {
        return *read;
    }
    const auto registry = openRegistry(m_file);
    PreparedStatement query(registry->handle(),
                            QStringLiteral("SELECT idioma FROM logins WHERE nombre = ?1"));
    query.bindText(1, login.trimmed());
    if (!query.ok() || query.step() != SQLITE_ROW ||
        sqlite3_column_type(query.handle(), 0) == SQLITE_NULL) {
        return {};
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
}

void LoginRegistry::add(const QString& login, const QString& password,
                        const QString& defaultDatabase, const QString& language) {
    runWith(m_file, QStringLiteral("INSERT INTO logins VALUES (?1, ?2, ?3, ?4)"),
            {login.trimmed(), passwordHash(login.trimmed(), password), defaultDatabase, language});
}

void LoginRegistry::setDefaultDatabase(const QString& login, const QString& database) {
    runWith(m_file, QStringLiteral("UPDATE logins SET base = ?2 WHERE nombre = ?1"),
            {login.trimmed(), database});
}

void LoginRegistry::setPassword(const QString& login, const QString& password) {
    runWith(m_file, QStringLiteral("UPDATE logins SET clave = ?2 WHERE nombre = ?1"),
            {login.trimmed(), passwordHash(login.trimmed(), password)});
}

} // namespace estaciones::db::sqlite
