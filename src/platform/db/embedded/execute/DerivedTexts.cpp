#include "platform/db/embedded/execute/DerivedTexts.h"

#include "platform/db/embedded/translate/Translator.h"

namespace estaciones::db::sqlite {

QString derivedTextKey(SqliteDatabase& database, QChar kind, const QString& text) {
    // Built in one allocation: it is made for every statement a batch runs.
    const tsql::DialectSettings& settings = database.dialectSettings();
    const QString& stamp = database.schemaStamp();
    QString key;
    key.reserve(stamp.size() + settings.procedureTable.size() + text.size() + 40);
    // Small settings values, written by hand: snprintf cost more than the rest.
    const auto number = [&key](long long n) {
        char digits[24];
        int at = sizeof digits;
        const bool negative = n < 0;
        unsigned long long rest = negative ? 0ULL - static_cast<unsigned long long>(n)
                                           : static_cast<unsigned long long>(n);
        do {
            digits[--at] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (negative)
            digits[--at] = '-';
        key.append(QLatin1String(digits + at, static_cast<qsizetype>(sizeof digits) - at));
        key += QLatin1Char(',');
    };
    key += stamp;
    key += QLatin1Char('|');
    number(static_cast<int>(settings.dateOrder));
    number(static_cast<int>(settings.language));
    number(settings.firstDayOfWeek);
    key += QLatin1Char(settings.accentInsensitive ? 'i' : 's');
    key += QLatin1Char(settings.concatNullYieldsNull ? 'n' : 'c');
    key += settings.procedureTable;
    key += QLatin1Char('|');
    key += kind;
    key += QLatin1Char('|');
    key += text;
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

QStringList translatedStatements(SqliteDatabase& database, const QString& text) {
    return derivedTexts(database, u'R', text, [&] {
               return DerivedTexts{
                   tsql::Translator(database.sharedDialectSettings()).translate(text).statements, {}};
           })
        .statements;
}

} // namespace estaciones::db::sqlite
