#include "platform/db/embedded/execute/DerivedTexts.h"

namespace estaciones::db::sqlite {

QString derivedTextKey(SqliteDatabase& database, QChar kind, const QString& text) {
    const tsql::DialectSettings& settings = database.dialectSettings();
    QString key = database.schemaStamp();
    key += QLatin1Char('|') + QString::number(static_cast<int>(settings.dateOrder)) +
           QString::number(static_cast<int>(settings.language)) +
           QString::number(settings.firstDayOfWeek) +
           QLatin1Char(settings.accentInsensitive ? 'i' : 's') +
           QLatin1Char(settings.concatNullYieldsNull ? 'n' : 'c') + settings.procedureTable +
           QLatin1Char('|') + kind + QLatin1Char('|') + text;
    return key;
}

DerivedTexts derivedTexts(SqliteDatabase& database, QChar kind, const QString& text,
                          const std::function<DerivedTexts()>& derive) {
    const QString key = derivedTextKey(database, kind, text);
    if (const DerivedTexts* kept = database.derivedTexts().find(key)) {
        return *kept;
    }
    DerivedTexts derived = derive();
    database.derivedTexts().put(key, derived);
    return derived;
}

} // namespace estaciones::db::sqlite
