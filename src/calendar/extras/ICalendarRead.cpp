#include "calendar/extras/ICalendarRead.h"
#include "calendar/YearList.h"
#include "calendar/extras/ExtrasTexts.h"
#include "calendar/extras/ICalendarExport.h"
#include "calendar/extras/LegacyText.h"
#include "calendar/extras/LibicalOnDemand.h"

#include <libical/ical.h>

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <memory>

namespace estaciones::calendar::extras {

namespace {
// A repeat that gives more dates than this within the list's years is not a
// calendar of days; it is refused instead of being expanded for minutes.
constexpr int MaxOccurrences = 50000;

struct Unreadable {
    QString message;
};

[[noreturn]] void refuse(const QString& message) {
    throw Unreadable{message};
}

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;
using Iterator = std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)>;

QString textOf(const char* value) {
    return value ? QString::fromUtf8(value) : QString();
}

bool inListYears(const QDate& date) {
    return date.isValid() && date.year() >= FirstListYear && date.year() <= LastListYear;
}

// The parser's message in the operator's words; the two that malformed files
// give are known, any other is shown as it comes.
QString describedParseError(const QString& message) {
    static const QRegularExpression badValue(
        QStringLiteral("^Can't parse as \\S+ value in (\\S+) property.*?: (.*)$"));
    static const QRegularExpression badLine(
        QStringLiteral("^Got a data line, but could not find a property name.*?: (.*)$"));
    if (const QRegularExpressionMatch match = badValue.match(message); match.hasMatch()) {
        return texts::importBadValue(match.captured(1), match.captured(2));
    }
    if (const QRegularExpressionMatch match = badLine.match(message); match.hasMatch()) {
        return texts::importBadLine(match.captured(1));
    }
    return message;
}

// The children of a libical list, walked with its first/next pair.
template <typename Item, typename Kind>
QList<Item*> listOf(icalcomponent* parent, Kind kind, Item* (*first)(icalcomponent*, Kind),
                    Item* (*next)(icalcomponent*, Kind)) {
    QList<Item*> items;
    for (Item* item = first(parent, kind); item; item = next(parent, kind)) {
        items.append(item);
    }
    return items;
}

QList<icalcomponent*> childrenOf(icalcomponent* parent, icalcomponent_kind kind) {
    return listOf(parent, kind, &icalcomponent_get_first_component,
                  &icalcomponent_get_next_component);
}

QList<icalproperty*> propertiesOf(icalcomponent* component, icalproperty_kind kind) {
    return listOf(component, kind, &icalcomponent_get_first_property,
                  &icalcomponent_get_next_property);
}

// The first error the parser left in the tree, as an X-LIC-ERROR property.
std::optional<QString> firstParseError(icalcomponent* component) {
    if (icalproperty* error =
            icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY)) {
        return textOf(icalproperty_get_xlicerror(error));
    }
    for (icalcomponent* child : childrenOf(component, ICAL_ANY_COMPONENT)) {
        if (auto error = firstParseError(child)) {
            return error;
        }
    }
    return std::nullopt;
}

// Where a UTC time falls: the calendar's own zone when it names one.
QTimeZone zoneOfCalendar(icalcomponent* calendar) {
    for (icalproperty* property : propertiesOf(calendar, ICAL_X_PROPERTY)) {
        if (qstrcmp(icalproperty_get_x_name(property), "X-WR-TIMEZONE") == 0) {
            const QTimeZone zone(textOf(icalproperty_get_x(property)).trimmed().toUtf8());
            if (zone.isValid()) {
                return zone;
            }
        }
    }
    return QTimeZone::systemTimeZone();
}

// A moment as the calendar's day it falls on: a date as it is, a time with a
// TZID (or floating) on its own wall clock, a UTC time in `zone`.
QDateTime localMoment(const icaltimetype& time, const QTimeZone& zone) {
    const QDate date(time.year, time.month, time.day);
    if (time.is_date) {
        return QDateTime(date, QTime(0, 0));
    }
    const QTime clock(time.hour, time.minute, std::min(time.second, 59));
    if (icaltime_is_utc(time)) {
        const QDateTime local = QDateTime(date, clock, QTimeZone::utc()).toTimeZone(zone);
        return QDateTime(local.date(), local.time());
    }
    return QDateTime(date, clock);
}

// One event as the import sees it.
struct Event {
    QString summary;
    ImportedDay mark;
    QDate first;          // its first day
    int extraDays = 0;    // the days it lasts beyond the first
    QList<QDate> starts;  // the first day of every occurrence
    bool endless = false; // a repeat with neither COUNT nor UNTIL
};

// The kind of an event of the program's own export: its CATEGORIES, or, in
// files written before it had them, the key its UID starts with.
ImportedDay ownKindOf(icalcomponent* event, const QString& summary) {
    ImportedDay mark;
    for (icalproperty* property : propertiesOf(event, ICAL_CATEGORIES_PROPERTY)) {
        for (const QString& value :
             textOf(icalproperty_get_categories(property)).split(QLatin1Char(','))) {
            const QString category = value.trimmed().toUpper();
            if (category == nonWorkingCategory) {
                mark.nonWorking = true;
            }
            for (const Season& season : seasons()) {
                if (category == seasonCategory(season)) {
                    mark.season = season.index;
                }
            }
        }
    }
    if (!mark.season && !mark.nonWorking) {
        const QString key = textOf(icalcomponent_get_uid(event)).section(QLatin1Char('-'), 0, 0);
        mark.nonWorking = key == nonWorkingKey;
        mark.season = key.isEmpty() ? std::nullopt : seasonIndexOfCode(key);
    }
    if (!mark.season && !mark.nonWorking) {
        refuse(texts::aboutEvent(texts::importEventWithoutKind, summary));
    }
    return mark;
}

QDate validDate(const QDateTime& moment, const QString& summary) {
    if (!moment.date().isValid()) {
        refuse(texts::aboutEvent(texts::importBadDate, summary));
    }
    return moment.date();
}

// The occurrences of a repeat, from its first day, within the list's years
// (and up to `lastYear` when it never ends).
void addRepeats(Event& event, const icalrecurrencetype& rule, const icaltimetype& start,
                const QTimeZone& zone, int lastYear) {
    if (rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE ||
        rule.freq == ICAL_HOURLY_RECURRENCE) {
        refuse(texts::aboutEvent(texts::importRepeatTooFine, event.summary));
    }
    const Iterator iterator(icalrecur_iterator_new(rule, start), &icalrecur_iterator_free);
    if (!iterator) {
        refuse(texts::aboutEvent(texts::importBadRepeat, event.summary));
    }
    for (int count = 0;; ++count) {
        const icaltimetype next = icalrecur_iterator_next(iterator.get());
        if (icaltime_is_null_time(next)) {
            return;
        }
        const QDate day = validDate(localMoment(next, zone), event.summary);
        if (day.year() > lastYear) {
            return;
        }
        if (count >= MaxOccurrences) {
            refuse(texts::aboutEvent(texts::importTooManyRepeats, event.summary));
        }
        event.starts.append(day);
    }
}

Event eventOf(icalcomponent* component, bool ownExport, const QTimeZone& zone) {
    Event event;
    event.summary = textOf(icalcomponent_get_summary(component)).trimmed();
    if (!icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY)) {
        refuse(texts::aboutEvent(texts::importWithoutStart, event.summary));
    }
    event.mark =
        ownExport ? ownKindOf(component, event.summary) : ImportedDay{std::nullopt, true, {}};
    event.mark.name = event.summary;
    const icaltimetype start = icalcomponent_get_dtstart(component);
    if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start)) {
        refuse(texts::aboutEvent(texts::importBadDate, event.summary));
    }
    event.first = validDate(localMoment(start, zone), event.summary);
    if (icalcomponent_get_first_property(component, ICAL_DTEND_PROPERTY) ||
        icalcomponent_get_first_property(component, ICAL_DURATION_PROPERTY)) {
        // The end is exclusive: an event that ends at midnight does not
        // take the day it ends on.
        const QDateTime end = localMoment(icalcomponent_get_dtend(component), zone);
        const QDate endDay = validDate(end, event.summary);
        const QDate last = end.time() == QTime(0, 0) ? endDay.addDays(-1) : endDay;
        event.extraDays = static_cast<int>(std::max<qint64>(0, event.first.daysTo(last)));
    }

    const QList<icalproperty*> rules = propertiesOf(component, ICAL_RRULE_PROPERTY);
    if (rules.isEmpty()) {
        event.starts.append(event.first);
    }
    for (icalproperty* property : rules) {
        const icalrecurrencetype rule = icalproperty_get_rrule(property);
        event.endless = event.endless || (rule.count == 0 && icaltime_is_null_time(rule.until));
    }
    for (icalproperty* property : propertiesOf(component, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(property);
        const icaltimetype time =
            icaltime_is_null_time(value.time) ? value.period.start : value.time;
        event.starts.append(validDate(localMoment(time, zone), event.summary));
    }
    return event;
}

// The repeats, now that the years an endless one runs over are known.
void expandRepeats(Event& event, icalcomponent* component, const QTimeZone& zone, int lastYear) {
    const icaltimetype start = icalcomponent_get_dtstart(component);
    for (icalproperty* property : propertiesOf(component, ICAL_RRULE_PROPERTY)) {
        addRepeats(event, icalproperty_get_rrule(property), start, zone, lastYear);
    }
    QSet<QDate> excluded;
    for (icalproperty* property : propertiesOf(component, ICAL_EXDATE_PROPERTY)) {
        excluded.insert(localMoment(icalproperty_get_exdate(property), zone).date());
    }
    event.starts.erase(std::remove_if(event.starts.begin(), event.starts.end(),
                                      [&](const QDate& day) { return excluded.contains(day); }),
                       event.starts.end());
}

void markDay(ImportedDays& days, const QDate& date, const ImportedDay& mark) {
    ImportedDay& day = days[date];
    if (mark.season && day.season && *day.season != *mark.season) {
        refuse(texts::importTwoSeasons(date));
    }
    day.nonWorking = day.nonWorking || mark.nonWorking;
    if (mark.season) {
        day.season = mark.season;
    }
    if (day.name.isEmpty()) {
        day.name = mark.name;
    } else if (!mark.name.isEmpty() && !day.name.split(QStringLiteral(" / ")).contains(mark.name)) {
        day.name += QStringLiteral(" / ") + mark.name;
    }
}

ICalendarFile read(const QByteArray& bytes, const QSet<int>& calendarYears) {
    const QByteArray text = textOfFile(bytes).toUtf8();
    if (text.trimmed().isEmpty()) {
        refuse(texts::importEmptyFile);
    }
    if (!text.toUpper().contains("BEGIN:VCALENDAR")) {
        refuse(texts::importNotICalendar);
    }
    if (const QString missing = libicalMissing(); !missing.isEmpty()) {
        refuse(missing);
    }
    icalerror_set_errors_are_fatal(0);
    const Component root(icalparser_parse_string(text.constData()), &icalcomponent_free);
    if (!root) {
        refuse(texts::importIncomplete); // a block begun and never ended
    }
    if (const auto error = firstParseError(root.get())) {
        refuse(texts::importMalformed(describedParseError(*error)));
    }
    QList<icalcomponent*> calendars = icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT
                                          ? QList<icalcomponent*>{root.get()}
                                          : childrenOf(root.get(), ICAL_VCALENDAR_COMPONENT);
    if (calendars.isEmpty()) {
        refuse(texts::importNotICalendar);
    }

    ICalendarFile file;
    file.ownExport = true;
    struct Read {
        Event event;
        icalcomponent* component;
        QTimeZone zone;
    };
    QList<Read> events;
    for (icalcomponent* calendar : calendars) {
        icalproperty* product = icalcomponent_get_first_property(calendar, ICAL_PRODID_PROPERTY);
        const bool own = product && textOf(icalproperty_get_prodid(product)) == ownProductId;
        file.ownExport = file.ownExport && own;
        const QTimeZone zone = zoneOfCalendar(calendar);
        for (icalcomponent* component : childrenOf(calendar, ICAL_VEVENT_COMPONENT)) {
            if (icalcomponent_get_status(component) == ICAL_STATUS_CANCELLED) {
                continue; // a holiday called off is no holiday
            }
            events.append({eventOf(component, own, zone), component, zone});
        }
    }
    if (events.isEmpty()) {
        refuse(texts::importWithoutEvents);
    }

    // The years the file names: a repeat without end runs over them and
    // over the years with a calendar, never on to the end of the list.
    QSet<int> years = calendarYears;
    for (const Read& read : events) {
        years.insert(read.event.first.year());
        for (const QDate& day : read.event.starts) {
            years.insert(day.year());
        }
    }
    int lastNamedYear = FirstListYear;
    for (const int year : years) {
        lastNamedYear = std::max(lastNamedYear, std::min(year, LastListYear));
    }
    for (Read& read : events) {
        expandRepeats(read.event, read.component, read.zone,
                      read.event.endless ? lastNamedYear : LastListYear);
        for (const QDate& start : read.event.starts) {
            for (int extra = 0; extra <= read.event.extraDays; ++extra) {
                const QDate day = start.addDays(extra);
                if (inListYears(day) && (!read.event.endless || years.contains(day.year()))) {
                    markDay(file.days, day, read.event.mark);
                }
            }
        }
    }
    if (file.days.isEmpty()) {
        refuse(texts::importOutsideYears(FirstListYear, LastListYear));
    }
    return file;
}
} // namespace

ICalendarFile readICalendar(const QByteArray& bytes, const QSet<int>& calendarYears) {
    try {
        return read(bytes, calendarYears);
    } catch (const Unreadable& unreadable) {
        return ICalendarFile{false, {}, unreadable.message};
    }
}

} // namespace estaciones::calendar::extras
