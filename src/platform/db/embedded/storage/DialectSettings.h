#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace estaciones::db::tsql {

enum class Language { Spanish, English, Italian };
// The order SET DATEFORMAT gives the parts of a numeric date text.
enum class DateOrder { DMY, MDY, YMD, YDM, MYD, DYM };

// What a session's functions and collations depend on. The executor owns one
// per connection and may change it while the connection is open (SET
// LANGUAGE, SET DATEFORMAT); registered functions read it on every call.
struct DialectSettings {
    // The database's accent rule: false for *_CI_AS (the company databases),
    // true for a database created with an *_CI_AI collation.
    bool accentInsensitive = false;
    // The database's collation name (DATABASEPROPERTYEX); empty: the server's.
    QString collation;
    // Spanish when the login's language is Spanish, else us_english. Drives
    // DATENAME and the first day of the week (Monday in Spanish).
    Language language = Language::Spanish;
    // How 'a/b/c' literals are read (SET DATEFORMAT); dmy as a Spanish session.
    DateOrder dateOrder = DateOrder::DMY;
    // SET DATEFIRST: 1 Monday ... 7 Sunday; 0 is the language's own (Monday
    // in Spanish, Sunday in English).
    int firstDayOfWeek = 0;
    // SET CONCAT_NULL_YIELDS_NULL OFF makes 'a' + NULL give 'a'.
    bool concatNullYieldsNull = true;
    // SYSTEM_USER.
    std::function<QString()> userName;
    // A table of this database that lists procedures by `name`, if the
    // executor keeps one; sysobjects and OBJECT_ID then see them as type 'P'.
    QString procedureTable;
    // The columns of a table of the database, in their order (PIVOT over a
    // table groups by those it does not name); empty when there is no such table.
    std::function<QStringList(const QString& table)> tableColumns;
};

} // namespace estaciones::db::tsql
