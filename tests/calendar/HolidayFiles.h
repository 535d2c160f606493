#pragma once

// iCalendar files the holiday import tests read: written here, line by line,
// as other calendar programs write them.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace estaciones::test {

// The lines joined with CRLF, as the format wants them.
inline QByteArray iCalendarLines(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

// A region's holidays of 2025 and 2026 from another program, in
// Windows-1252: a yearly repeat with COUNT and one with UNTIL and
// BYMONTH/BYMONTHDAY, a three-day fair with an exclusive end and a two-day
// one with a DURATION, a folded DTSTART, a day given at midnight in its
// zone and one given in UTC that is already the next day in Madrid.
// 2025: 1 Jan, 5-7 May, 12 Oct, 25 Dec; 2026: 1 Jan, 6 Jan, 19 Mar,
// 4-5 May, 12 Oct.
inline QByteArray regionHolidays() {
    const QString text =
        QStringList{"BEGIN:VCALENDAR",
                    "VERSION:2.0",
                    "PRODID:-//Consejería de Empleo//Festivos laborales//ES",
                    "X-WR-CALNAME:Festivos de la comunidad",
                    "X-WR-TIMEZONE:Europe/Madrid",
                    "BEGIN:VEVENT",
                    "UID:anio-nuevo@festivos",
                    "DTSTART;VALUE=DATE:20250101",
                    "RRULE:FREQ=YEARLY;COUNT=2",
                    "SUMMARY:Año Nuevo",
                    "END:VEVENT",
                    "BEGIN:VEVENT",
                    "UID:fiesta-nacional@festivos",
                    "DTSTART;VALUE=DATE:20251012",
                    "RRULE:FREQ=YEARLY;BYMONTH=10;BYMONTHDAY=12;UNTIL=20261231",
                    "SUMMARY:Fiesta Nacional",
                    "END:VEVENT",
                    "BEGIN:VEVENT",
                    "UID:feria-2025@festivos",
                    "DTSTART;VALUE=DATE:20250505",
                    "DTEND;VALUE=DATE:20250508",
                    "SUMMARY:Feria de mayo",
                    "END:VEVENT",
                    "BEGIN:VEVENT",
                    "UID:feria-2026@festivos",
                    "DTSTART;VALUE=DATE:20260504",
                    "DURATION:P2D",
                    "SUMMARY:Feria de mayo",
                    "END:VEVENT",
                    "BEGIN:VEVENT",
                    "UID:san-jose@festivos",
                    "DTSTART;VALUE=DA",
                    " TE:20260319",
                    "SUMMARY:San José",
                    "DESCRIPTION:Fiesta de la comunidad que se traslada del domingo al lunes s",
                    " egún el decreto del año",
                    "END:VEVENT",
                    "BEGIN:VEVENT",
                    "UID:navidad@festivos",
                    "DTSTART;TZID=Europe/Madrid:20251225T000000",
                    "DTEND;TZID=Europe/Madrid:20251226T000000",
                    "SUMMARY:Natividad del Señor",
                    "END:VEVENT",
                    "BEGIN:VEVENT",
                    "UID:reyes@festivos",
                    "DTSTART:20260105T233000Z",
                    "DTEND:20260106T225900Z",
                    "SUMMARY:Epifanía del Señor",
                    "END:VEVENT",
                    "BEGIN:VEVENT",
                    "UID:suspendido@festivos",
                    "DTSTART;VALUE=DATE:20260601",
                    "STATUS:CANCELLED",
                    "SUMMARY:Festivo anulado",
                    "END:VEVENT",
                    "END:VCALENDAR",
                    ""}
            .join(QStringLiteral("\r\n"));
    QByteArray windows1252;
    for (const QChar c : text) {
        windows1252 += static_cast<char>(c.unicode()); // every character is Latin-1
    }
    return windows1252;
}

inline bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

} // namespace estaciones::test
