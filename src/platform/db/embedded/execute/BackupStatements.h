#pragma once

#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/parse/Token.h"

#include <functional>

namespace estaciones::db::sqlite {

// BACKUP DATABASE name TO DISK = 'file' [WITH ...] and
// RESTORE DATABASE name FROM DISK = 'file' [WITH ...], through SQLite's
// online backup: a backup is one consistent copy while other stations go on
// writing; a restore needs the database to itself, as the server does. A
// relative file name is taken inside the data folder. The backup file is an
// SQLite file, written under a temporary name and renamed when complete.
class BackupStatements {
public:
    // `valueOf` gives the text of the DISK = value (a string or a variable).
    using ValueOf = std::function<QString(const tsql::Tokens& expression)>;

    BackupStatements(Session& session, ValueOf valueOf);

    // `tokens` starts with BACKUP or RESTORE.
    void run(const tsql::Tokens& tokens);

private:
    struct Statement {
        QString database;
        QString file;
    };
    Statement read(const tsql::Tokens& tokens, const QString& direction) const;
    void backup(const Statement& statement);
    void restore(const Statement& statement);

    Session& m_session;
    ValueOf m_valueOf;
};

} // namespace estaciones::db::sqlite
