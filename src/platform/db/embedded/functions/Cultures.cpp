#include "platform/db/embedded/functions/Cultures.h"

#include "platform/db/embedded/storage/SqlValue.h"

namespace estaciones::db::tsql {

namespace {

constexpr std::array<const char*, 12> englishMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 12> englishShortMonths = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 7> englishDays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                    "Friday", "Saturday", "Sunday"};
constexpr std::array<const char*, 7> englishShortDays = {"Mon", "Tue", "Wed", "Thu",
                                                         "Fri", "Sat", "Sun"};

const Culture cultures[] = {
    {"en-US", u'.', u',', u'/', "$", "$n", "($n)", "n %", "M/d/yyyy", "dddd, MMMM d, yyyy",
     "h:mm tt", "h:mm:ss tt", "MMMM d", "MMMM yyyy", "AM", "PM", englishMonths,
     englishShortMonths, englishDays, englishShortDays},
    {"en-GB", u'.', u',', u'/', "£", "£n", "-£n", "n%", "dd/MM/yyyy", "dd MMMM yyyy", "HH:mm",
     "HH:mm:ss", "dd MMMM", "MMMM yyyy", "AM", "PM", englishMonths, englishShortMonths,
     englishDays, englishShortDays},
    {"de-DE", u',', u'.', u'.', "€", "n €", "-n €", "n %", "dd.MM.yyyy", "dddd, d. MMMM yyyy",
     "HH:mm", "HH:mm:ss", "d. MMMM", "MMMM yyyy", "", "",
     {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September",
      "Oktober", "November", "Dezember"},
     {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
     {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"},
     {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"}},
    {"es-ES", u',', u'.', u'/', "€", "n €", "-n €", "n %", "dd/MM/yyyy",
     "dddd, d' de 'MMMM' de 'yyyy", "H:mm", "H:mm:ss", "d' de 'MMMM", "MMMM' de 'yyyy", "", "",
     {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto", "septiembre",
      "octubre", "noviembre", "diciembre"},
     {"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"},
     {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"},
     {"lu", "ma", "mi", "ju", "vi", "sá", "do"}},
    {"fr-FR", u',', u'\u00a0', u'/', "€", "n €", "-n €", "n %", "dd/MM/yyyy", "dddd d MMMM yyyy",
     "HH:mm", "HH:mm:ss", "d MMMM", "MMMM yyyy", "", "",
     {"janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août", "septembre",
      "octobre", "novembre", "décembre"},
     {"janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.", "août", "sept.", "oct.", "nov.",
      "déc."},
     {"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"},
     {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."}},
    {"it-IT", u',', u'.', u'/', "€", "€ n", "-€ n", "n%", "dd/MM/yyyy", "dddd d MMMM yyyy", "HH:mm",
     "HH:mm:ss", "d MMMM", "MMMM yyyy", "", "",
     {"gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio", "agosto",
      "settembre", "ottobre", "novembre", "dicembre"},
     {"gen", "feb", "mar", "apr", "mag", "giu", "lug", "ago", "set", "ott", "nov", "dic"},
     {"lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato", "domenica"},
     {"lun", "mar", "mer", "gio", "ven", "sab", "dom"}},
    {"zh-CN", u'.', u',', u'/', "¥", "¥n", "-¥n", "n%", "yyyy/M/d", "yyyy'年'M'月'd'日'", "H:mm",
     "H:mm:ss", "M'月'd'日'", "yyyy'年'M'月'", "上午", "下午",
     {"一月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月", "十月", "十一月",
      "十二月"},
     {"1月", "2月", "3月", "4月", "5月", "6月", "7月", "8月", "9月", "10月", "11月", "12月"},
     {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"},
     {"周一", "周二", "周三", "周四", "周五", "周六", "周日"}},
};

} // namespace

const Culture& cultureNamed(const QString& name, Language sessionLanguage) {
    if (name.isEmpty())
        return cultures[sessionLanguage == Language::Spanish   ? 3
                        : sessionLanguage == Language::Italian ? 5
                                                               : 0];
    for (const Culture& culture : cultures)
        if (name.compare(QLatin1String(culture.name), Qt::CaseInsensitive) == 0)
            return culture;
    throw ConversionError(9818, QStringLiteral("The culture parameter '%1' provided in the "
                                               "function call is not supported.")
                                    .arg(name));
}

} // namespace estaciones::db::tsql
