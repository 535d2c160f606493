#pragma once

#include <QString>

namespace estaciones::db::sqlite {

// The logins the sp_ procedures have registered, kept in the data folder so
// that sp_addlogin answers as a server that remembers them would. Passwords
// are kept only as a salted hash.
class LoginRegistry {
public:
    explicit LoginRegistry(QString file);

    bool contains(const QString& login) const;
    // The login's default language; empty when it has none or is not registered.
    QString language(const QString& login) const;
    void add(const QString& login, const QString& password, const QString& defaultDatabase,
             const QString& language);
    void setDefaultDatabase(const QString& login, const QString& database);
    void setPassword(const QString& login, const QString& password);

private:
    QString m_file;
};

} // namespace estaciones::db::sqlite
