// Reading iCalendar files for the holiday import, and planning what the
// import changes, without a window.
#include "HolidayFiles.h"

#include "calendar/extras/HolidayImport.h"
#include "calendar/extras/ICalendarExport.h"
#include "calendar/extras/ICalendarRead.h"
#include "calendar/extras/LegacyText.h"

#include <gtest/gtest.h>

namespace estaciones::calendar::extras {
namespace {

using test::iCalendarLines;

QList<QDate> datesOf(const ICalendarFile& file) {
    EXPECT_TRUE(file.ok()) << file.error.toStdString();
    return file.days.keys();
}

// A calendar of another program around the given events.
QByteArray calendarOf(const QStringList& body, const QStringList& header = {}) {
    return iCalendarLines(QStringList{"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Otro//ES"} +
                          header + body + QStringList{"END:VCALENDAR"});
}

QStringList allDayEvent(const QString& start, const QStringList& more = {}) {
    return QStringList{"BEGIN:VEVENT", "UID:" + start, "DTSTART;VALUE=DATE:" + start,
                       "SUMMARY:Festivo"} +
           more + QStringList{"END:VEVENT"};
}

TEST(LegacyTextTest, shouldReadWindows1252OnlyWhenTheBytesAreNotUtf8) {
    EXPECT_EQ(textOfFile(QStringLiteral("Año € “x”").toUtf8()), QStringLiteral("Año € “x”"));
    EXPECT_EQ(textOfFile(QByteArray("A\xF1o \x80 \x93x\x94")), QStringLiteral("Año € “x”"));
    EXPECT_EQ(textOfFile(QByteArray("\xEF\xBB\xBFSUMMARY")), QStringLiteral("SUMMARY"));
    EXPECT_EQ(fromWindows1252(QByteArray("\x81\x9F\xFF")), QStringLiteral("\uFFFD\u0178ÿ"));
}

TEST(ICalendarReadTest, shouldReadARegionsHolidaysWithRepeatsSpansZonesAndFoldedLines) {
    const ICalendarFile file = readICalendar(test::regionHolidays(), {});
    EXPECT_FALSE(file.ownExport);
    EXPECT_EQ(datesOf(file),
              (QList<QDate>{QDate(2025, 1, 1), QDate(2025, 5, 5), QDate(2025, 5, 6),
                            QDate(2025, 5, 7), QDate(2025, 10, 12), QDate(2025, 12, 25),
                            QDate(2026, 1, 1), QDate(2026, 1, 6), QDate(2026, 3, 19),
                            QDate(2026, 5, 4), QDate(2026, 5, 5), QDate(2026, 10, 12)}));
    for (const ImportedDay& day : file.days) {
        EXPECT_TRUE(day.nonWorking);
        EXPECT_FALSE(day.season.has_value()); // only the program's own files give seasons
    }
    // The names come through the Windows-1252 bytes.
    EXPECT_EQ(file.days.value(QDate(2026, 1, 1)).name, QStringLiteral("Año Nuevo"));
    EXPECT_EQ(file.days.value(QDate(2026, 3, 19)).name, QStringLiteral("San José"));
    EXPECT_EQ(file.days.value(QDate(2026, 1, 6)).name, QStringLiteral("Epifanía del Señor"));
}

TEST(ICalendarReadTest, shouldTakeTheLocalDateOfTimedEvents) {
    const QStringList events = {
        // 23:30 UTC on 31 December is already New Year's Day in Madrid.
        "BEGIN:VEVENT", "UID:a", "DTSTART:20261231T233000Z", "DTEND:20270101T003000Z", "END:VEVENT",
        // Given in its own zone: its wall-clock date, whatever UTC says.
        "BEGIN:VEVENT", "UID:b", "DTSTART;TZID=America/Mexico_City:20260915T230000",
        "DTEND;TZID=America/Mexico_City:20260916T230000", "END:VEVENT",
        // A floating time is the date as written.
        "BEGIN:VEVENT", "UID:c", "DTSTART:20260301T090000", "END:VEVENT"};
    const ICalendarFile madrid =
        readICalendar(calendarOf(events, {"X-WR-TIMEZONE:Europe/Madrid"}), {});
    EXPECT_EQ(datesOf(madrid), (QList<QDate>{QDate(2026, 3, 1), QDate(2026, 9, 15),
                                             QDate(2026, 9, 16), QDate(2027, 1, 1)}));
    // In UTC the same hour starts on 31 December and ends after midnight.
    const ICalendarFile utc = readICalendar(calendarOf(events, {"X-WR-TIMEZONE:UTC"}), {});
    EXPECT_TRUE(utc.days.contains(QDate(2026, 12, 31)));
    EXPECT_TRUE(utc.days.contains(QDate(2027, 1, 1)));
}

TEST(ICalendarReadTest, shouldBoundEndlessRepeatsToTheYearsWithACalendarOrNamedInTheFile) {
    const QByteArray file = calendarOf(
        QStringList{"BEGIN:VEVENT", "UID:fiesta", "DTSTART;VALUE=DATE:20200815",
                    "RRULE:FREQ=YEARLY", "SUMMARY:Asunción", "END:VEVENT"} +
        allDayEvent("20270101") +
        // Every Sunday, without end, but for one.
        QStringList{"BEGIN:VEVENT", "UID:domingos", "DTSTART;VALUE=DATE:20260104",
                    "RRULE:FREQ=WEEKLY;BYDAY=SU", "EXDATE;VALUE=DATE:20260111", "END:VEVENT"});
    const ICalendarFile read = readICalendar(file, {2025, 2026});
    QSet<int> years;
    int sundays = 0;
    for (const QDate& date : datesOf(read)) {
        years.insert(date.year());
        sundays += date.dayOfWeek() == Qt::Sunday;
    }
    // 2020 is the repeat's own year; 2027 is named by another event; no year
    // after, however long the list.
    EXPECT_EQ(years, (QSet<int>{2020, 2025, 2026, 2027}));
    EXPECT_TRUE(read.days.contains(QDate(2025, 8, 15)));
    EXPECT_TRUE(read.days.contains(QDate(2027, 8, 15)));
    EXPECT_FALSE(read.days.contains(QDate(2026, 1, 11)));
    EXPECT_TRUE(read.days.contains(QDate(2026, 1, 18)));
    EXPECT_EQ(sundays, 51 + 52); // 2026 less one, and 2027 (15 August 2027 among them)
}

TEST(ICalendarReadTest, shouldReadBackTheOwnExportsSeasonsAndNonWorkingDays) {
    CalendarRows rows;
    for (const QDate& d : datesOfYear(2025)) {
        rows.insert(d, DayRow{});
    }
    for (QDate d(2025, 7, 1); d.month() == 7; d = d.addDays(1)) {
        rows[d].code = QStringLiteral("AL");
    }
    rows[QDate(2025, 8, 1)].code = QStringLiteral("ME");
    rows[QDate(2025, 12, 25)].code = QStringLiteral("ES");
    rows[QDate(2025, 12, 25)].nolaborable = true;
    rows[QDate(2025, 1, 6)].nolaborable = true;
    const QByteArray exported = iCalendarOf(rows, 2025, QDateTime(QDate(2025, 1, 2), QTime(9, 0)));
    ASSERT_TRUE(exported.contains("CATEGORIES:TEMPORADA-ALTA\r\n"));
    ASSERT_TRUE(exported.contains("CATEGORIES:NO-LABORABLE\r\n"));

    const ICalendarFile read = readICalendar(exported, {2025});
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_TRUE(read.ownExport);
    EXPECT_EQ(read.days.size(), 31 + 1 + 1 + 1);
    for (auto day = read.days.constBegin(); day != read.days.constEnd(); ++day) {
        const DayRow& row = rows.value(day.key());
        EXPECT_EQ(day->nonWorking, row.nolaborable) << day.key().toString().toStdString();
        const QString code = day->season ? seasons()[*day->season].code : QString();
        EXPECT_EQ(code, row.codeText().trimmed()) << day.key().toString().toStdString();
    }
    // A file of the export from before it wrote CATEGORIES: its UIDs say.
    QByteArray old = exported;
    old.replace("CATEGORIES:TEMPORADA-ALTA\r\n", "");
    const ICalendarFile oldRead = readICalendar(old, {2025});
    EXPECT_EQ(oldRead.days.value(QDate(2025, 7, 10)).season, 2);
}

TEST(ICalendarReadTest, shouldRefuseMalformedFilesWithASpanishReasonAndNoDays) {
    const QList<std::pair<QByteArray, QString>> cases = {
        {QByteArray(), QStringLiteral("vacío")},
        {QByteArray("Fecha;Festivo\r\n01/01/2026;Año Nuevo\r\n"),
         QStringLiteral("BEGIN:VCALENDAR")},
        {calendarOf({}), QStringLiteral("no contiene eventos")},
        {calendarOf({"BEGIN:VEVENT", "UID:x", "SUMMARY:Sin fecha", "END:VEVENT"}),
         QStringLiteral("«Sin fecha» no tiene fecha de inicio")},
        {calendarOf({"BEGIN:VEVENT", "UID:x", "DTSTART;VALUE=DATE:2026XX01", "END:VEVENT"}),
         QStringLiteral("mal formado (no se entiende el valor «2026XX01» de DTSTART)")},
        {calendarOf(allDayEvent("20260101", {"esto no es una propiedad"})),
         QStringLiteral("la línea «esto no es una propiedad» no es una propiedad")},
        {calendarOf(allDayEvent("20260101", {"RRULE:FREQ=A VECES"})),
         QStringLiteral("«FREQ=A VECES» de RRULE")},
        {calendarOf(allDayEvent("20260532")), QStringLiteral("fecha no válida")},
        {iCalendarLines(
             {"BEGIN:VCALENDAR", "VERSION:2.0", "BEGIN:VEVENT", "DTSTART;VALUE=DATE:20260101"}),
         QStringLiteral("incompleto")},
        {calendarOf(allDayEvent("20260101", {"RRULE:FREQ=HOURLY"})), QStringLiteral("por horas")},
        {calendarOf(allDayEvent("18000101")), QStringLiteral("entre los años 1930 y 2049")},
        {iCalendarLines({"BEGIN:VCALENDAR", "PRODID:" + ownProductId, "BEGIN:VEVENT", "UID:x",
                         "DTSTART;VALUE=DATE:20260101", "SUMMARY:Suelto", "END:VEVENT",
                         "END:VCALENDAR"}),
         QStringLiteral("«Suelto» no dice si es una temporada")},
    };
    for (const auto& [bytes, reason] : cases) {
        const ICalendarFile read = readICalendar(bytes, {2026});
        EXPECT_FALSE(read.ok()) << bytes.toStdString();
        EXPECT_TRUE(read.error.contains(reason))
            << read.error.toStdString() << " / " << reason.toStdString();
        EXPECT_TRUE(read.days.isEmpty());
    }
}

TEST(HolidayImportPlanTest, shouldCountPerYearOnlyWhatChangesAndListDaysWithoutACalendar) {
    ICalendarFile file;
    file.days.insert(QDate(2025, 1, 1), {std::nullopt, true, QStringLiteral("Año Nuevo")});
    file.days.insert(QDate(2025, 1, 6), {std::nullopt, true, QStringLiteral("Reyes")});
    file.days.insert(QDate(2025, 12, 31), {std::nullopt, true, QStringLiteral("Nochevieja")});
    file.days.insert(QDate(2027, 1, 1), {std::nullopt, true, QStringLiteral("Año Nuevo")});
    CalendarRows rows;
    rows.insert(QDate(2025, 1, 1), DayRow{QStringLiteral("AL"), true}); // already non-working
    rows.insert(QDate(2025, 1, 6), DayRow{std::nullopt, false});
    const ImportPlan plan = planImport(file, rows);
    ASSERT_EQ(plan.changes.size(), 1);
    EXPECT_EQ(plan.changes[0].date, QDate(2025, 1, 6));
    EXPECT_EQ(plan.changes[0].field, DayField::NonWorking);
    EXPECT_EQ(plan.years.value(2025).alreadyNonWorking, 1);
    EXPECT_EQ(plan.years.value(2025).withoutRow, QList<QDate>{QDate(2025, 12, 31)});
    EXPECT_EQ(plan.yearsWithoutCalendar(), QList<int>{2027});
    EXPECT_EQ(plan.notImported(), 2);
    const QString preview = importPreview(plan, QStringLiteral("festivos.ics"));
    EXPECT_TRUE(preview.contains(QStringLiteral("2025: 1 día a no laborable (1 ya lo era)")))
        << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("06/01/2025 Reyes")));
    EXPECT_TRUE(preview.contains(
        QStringLiteral("2025: sin fila en el calendario; no importados: 1 día (31/12/2025)")))
        << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("2027: sin calendario; no importados: 1 día")));
    EXPECT_TRUE(preview.endsWith(QStringLiteral("¿Desea continuar?")));
}

} // namespace
} // namespace estaciones::calendar::extras
