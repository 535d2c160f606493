#include "calendar/extras/ICalendarExport.h"
#include "calendar/extras/ExtrasTexts.h"

#include "calendar/Season.h"

#include <functional>

namespace estaciones::calendar::extras {

namespace {
constexpr qsizetype MaxOctets = 75;

QString dateValue(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

// Splits the year into runs of consecutive days with the same non-empty key.
void appendRuns(QList<CalendarRun>& runs, int year,
                const std::function<std::optional<CalendarRun>(const QDate&)>& runOf) {
    std::optional<CalendarRun> open;
    for (const QDate& date : datesOfYear(year)) {
        std::optional<CalendarRun> day = runOf(date);
        if (open && day && day->key == open->key) {
            open->last = date;
            continue;
        }
        if (open) {
            runs.append(*open);
        }
        open = day;
    }
    if (open) {
        runs.append(*open);
    }
}
} // namespace

QList<CalendarRun> calendarRuns(const CalendarRows& rows, int year) {
    QList<CalendarRun> runs;
    appendRuns(runs, year, [&](const QDate& date) -> std::optional<CalendarRun> {
        const auto row = rows.constFind(date);
        if (row == rows.constEnd()) {
            return std::nullopt;
        }
        const QString code = row->codeText().trimmed();
        const auto index = code.isEmpty() ? std::nullopt : seasonIndexOfCode(code);
        if (!index) {
            return std::nullopt;
        }
        const Season& season = seasons()[static_cast<std::size_t>(*index)];
        return CalendarRun{date, date, texts::eventOfSeason(season.caption), season.code};
    });
    appendRuns(runs, year, [&](const QDate& date) -> std::optional<CalendarRun> {
        const auto row = rows.constFind(date);
        if (row == rows.constEnd() || !row->nolaborable) {
            return std::nullopt;
        }
        return CalendarRun{date, date, texts::nonWorkingEvent, nonWorkingKey};
    });
    return runs;
}

QString seasonCategory(const Season& season) {
    return QStringLiteral("TEMPORADA-") + season.caption;
}

QString categoryOfKey(const QString& key) {
    if (key == nonWorkingKey) {
        return nonWorkingCategory;
    }
    const auto index = seasonIndexOfCode(key);
    return index ? seasonCategory(seasons()[static_cast<std::size_t>(*index)]) : QString();
}

QByteArray foldedLine(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    qsizetype lineOctets = 0;
    for (qsizetype i = 0; i < utf8.size();) {
        // The length of the UTF-8 sequence starting here.
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lineOctets + length > MaxOctets) {
            out += "\r\n ";
            lineOctets = 1;
        }
        out += utf8.mid(i, length);
        lineOctets += length;
        i += length;
    }
    out += "\r\n";
    return out;
}

QString escapedText(const QString& text) {
    QString escaped;
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',')) {
            escaped += QLatin1Char('\\');
            escaped += c;
        } else if (c == QLatin1Char('\n')) {
            escaped += QStringLiteral("\\n");
        } else if (c != QLatin1Char('\r')) {
            escaped += c;
        }
    }
    return escaped;
}

QByteArray iCalendarOf(const CalendarRows& rows, int year, const QDateTime& stamp) {
    const QString dtstamp =
        stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss")) + QLatin1Char('Z');
    QByteArray out;
    auto line = [&](const QString& text) { out += foldedLine(text); };
    line(QStringLiteral("BEGIN:VCALENDAR"));
    line(QStringLiteral("VERSION:2.0"));
    line(QStringLiteral("PRODID:") + ownProductId);
    line(QStringLiteral("CALSCALE:GREGORIAN"));
    line(QStringLiteral("X-WR-CALNAME:") + escapedText(texts::sheetTitle(year)));
    for (const CalendarRun& run : calendarRuns(rows, year)) {
        line(QStringLiteral("BEGIN:VEVENT"));
        line(QStringLiteral("UID:%1-%2-%3@estaciones.calendario")
                 .arg(run.key, dateValue(run.first), dateValue(run.last)));
        line(QStringLiteral("DTSTAMP:") + dtstamp);
        line(QStringLiteral("DTSTART;VALUE=DATE:") + dateValue(run.first));
        line(QStringLiteral("DTEND;VALUE=DATE:") + dateValue(run.last.addDays(1)));
        line(QStringLiteral("SUMMARY:") + escapedText(run.summary));
        line(QStringLiteral("CATEGORIES:") + escapedText(categoryOfKey(run.key)));
        line(QStringLiteral("TRANSP:TRANSPARENT"));
        line(QStringLiteral("END:VEVENT"));
    }
    line(QStringLiteral("END:VCALENDAR"));
    return out;
}

} // namespace estaciones::calendar::extras
