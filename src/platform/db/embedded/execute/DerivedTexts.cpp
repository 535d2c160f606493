#include "platform/db/embedded/execute/DerivedTexts.h"

#include "platform/db/embedded/translate/Translator.h"

namespace estaciones::db::sqlite {

namespace {

// The stamp and the settings a derived text depends on, as the start of its key.
QString keyPrefix(const QString& stamp, const tsql::DialectSettings& settings) {
    QString prefix;
    prefix.reserve(stamp.size() + settings.procedureTable.size() + 24);
    // Small settings values, written by hand: snprintf cost more than the rest.
    const auto number = [&prefix](long long n) {
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
        prefix.append(QLatin1String(digits + at, static_cast<qsizetype>(sizeof digits) - at));
        prefix += QLatin1Char(',');
    };
    prefix += stamp;
    prefix += QLatin1Char('|');
    number(static_cast<int>(settings.dateOrder));
    number(static_cast<int>(settings.language));
    number(settings.firstDayOfWeek);
    prefix += QLatin1Char(settings.accentInsensitive ? 'i' : 's');
    prefix += QLatin1Char(settings.concatNullYieldsNull ? 'n' : 'c');
    prefix += settings.procedureTable;
    prefix += QLatin1Char('|');
    return prefix;
}

// The last prefix, written again only when the stamp or a setting it holds
// changed: a batch asks for several keys on the same ones.
struct KeptPrefix {
    QString stamp;
    tsql::DateOrder dateOrder{};
    tsql::Language language{};
    int firstDayOfWeek = 0;
    bool accentInsensitive = false;
    bool concatNullYieldsNull = true;
    QString procedureTable;
    QString prefix;

    bool describes(const QString& s, const tsql::DialectSettings& settings) const {
        return !prefix.isEmpty() && dateOrder == settings.dateOrder &&
               language == settings.language && firstDayOfWeek == settings.firstDayOfWeek &&
               accentInsensitive == settings.accentInsensitive &&
               concatNullYieldsNull == settings.concatNullYieldsNull && stamp == s &&
               procedureTable == settings.procedureTable;
    }
};

} // namespace

QString derivedTextKey(SqliteDatabase& database, QChar kind, const QString& text) {
    const tsql::DialectSettings& settings = database.dialectSettings();
    const QString stamp = database.schemaStamp();
    // A function of the stamp and the settings alone, whichever connection asks.
    static thread_local KeptPrefix kept;
    if (!kept.describes(stamp, settings)) {
        kept = KeptPrefix{stamp,
                          settings.dateOrder,
                          settings.language,
                          settings.firstDayOfWeek,
                          settings.accentInsensitive,
                          settings.concatNullYieldsNull,
                          settings.procedureTable,
                          keyPrefix(stamp, settings)};
    }
    // Built in one allocation: it is made for every statement a batch runs.
    const QString& prefix = kept.prefix;
    QString key;
    key.reserve(prefix.size() + text.size() + 2);
    key += prefix;
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
