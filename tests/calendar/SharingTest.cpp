// The year on paper and in other calendar programs: the PDF is rendered back
// with pdftoppm and the iCalendar file parsed with Python's icalendar package,
// both real tools outside the program.
#include "CalendarDatabase.h"

#include "calendar/SeasonStore.h"
#include "calendar/extras/ICalendarExport.h"
#include "calendar/extras/SeasonTotals.h"
#include "calendar/extras/YearSheet.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace estaciones::calendar::extras {
namespace {

using test::CalendarDatabase;

TEST(ICalendarLinesTest, shouldFoldLongLinesAt75OctetsWithoutSplittingCharacters) {
    const QString summary = QStringLiteral("SUMMARY:") + QString(80, QChar(u'ñ'));
    const QByteArray folded = foldedLine(summary);
    ASSERT_TRUE(folded.endsWith("\r\n"));
    const QList<QByteArray> parts = folded.chopped(2).split('\n');
    ASSERT_GT(parts.size(), 2);
    QByteArray unfolded;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray part = parts[i];
        if (i + 1 < parts.size()) {
            ASSERT_TRUE(part.endsWith('\r'));
            part.chop(1);
        }
        EXPECT_LE(part.size(), 75) << i;
        if (i > 0) {
            ASSERT_TRUE(part.startsWith(' '));
            part.remove(0, 1);
        }
        EXPECT_TRUE(QString::fromUtf8(part).toUtf8() == part) << "split inside a character";
        unfolded += part;
    }
    EXPECT_EQ(QString::fromUtf8(unfolded), summary);
    EXPECT_EQ(foldedLine(QStringLiteral("END:VEVENT")), QByteArray("END:VEVENT\r\n"));
    EXPECT_EQ(escapedText(QStringLiteral("a,b;c\\d\ne")), QStringLiteral("a\\,b\\;c\\\\d\\ne"));
}

TEST(ICalendarRunsTest, shouldMakeOneRunPerStretchOfTheSameSeasonAndOfNonWorkingDays) {
    CalendarRows rows;
    for (const QDate& d : datesOfYear(2025)) {
        rows.insert(d, DayRow{});
    }
    for (int day = 10; day <= 12; ++day) {
        rows[QDate(2025, 3, day)].code = QStringLiteral("AL");
    }
    rows[QDate(2025, 3, 13)].code = QStringLiteral("ME");
    rows[QDate(2025, 3, 14)].code = QStringLiteral("AL");
    rows[QDate(2025, 12, 31)].code = QStringLiteral("ES");
    rows[QDate(2025, 1, 1)].code = QStringLiteral("ZZ"); // unknown: no event
    rows[QDate(2025, 4, 6)].nolaborable = true;
    rows[QDate(2025, 4, 7)].nolaborable = true;
    const QList<CalendarRun> runs = calendarRuns(rows, 2025);
    ASSERT_EQ(runs.size(), 5);
    EXPECT_EQ(runs[0].first, QDate(2025, 3, 10));
    EXPECT_EQ(runs[0].last, QDate(2025, 3, 12));
    EXPECT_EQ(runs[0].summary, QStringLiteral("Temporada ALTA"));
    EXPECT_EQ(runs[1].key, QStringLiteral("ME"));
    EXPECT_EQ(runs[2].first, QDate(2025, 3, 14));
    EXPECT_EQ(runs[3].last, QDate(2025, 12, 31));
    EXPECT_EQ(runs[4].first, QDate(2025, 4, 6));
    EXPECT_EQ(runs[4].last, QDate(2025, 4, 7));
}

class SharingTest : public ::testing::Test {
protected:
    void SetUp() override {
        database.createYear(2025);
        for (QDate d(2025, 7, 1); d.month() == 7; d = d.addDays(1)) {
            database.setCode(d, QStringLiteral("AL"));
        }
        database.setCode(QDate(2025, 12, 25), QStringLiteral("ES"));
        database.connection().execute(
            QStringLiteral("UPDATE MA_CALENDARIO SET nolaborable = 1 WHERE Fecha IN ('20250105', "
                           "'20250106', '20250112')"));
    }

    YearSheet sheet(int year) {
        SeasonStore store(database.db());
        SeasonColours colours;
        colours.colour = {0x0000FF00u, 0x0000FFFFu, 0x00FFFF00u, 0x000000FFu};
        return {year, paintYear(store, year, colours), colours,
                totalsOf(readYearRows(database.db(), year), year)};
    }

    test::ScopedEnvFolder folder{"ESTACIONES_PRUEBA_SALIDA"};
    CalendarDatabase database;
};

// Pixels of `colour` (within a small tolerance) in the rows [top, bottom).
int pixelsOf(const QImage& image, const QColor& colour, int top, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= 4 &&
                std::abs(c.green() - colour.green()) <= 4 &&
                std::abs(c.blue() - colour.blue()) <= 4) {
                ++count;
            }
        }
    }
    return count;
}

TEST_F(SharingTest, shouldPrintTheYearWithTheColoursOfItsMarkedDays) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) {
        GTEST_SKIP() << "pdftoppm no está instalado (paquete poppler-utils)";
    }
    const QString pdf = folder.filePath(QStringLiteral("2025.pdf"));
    ASSERT_TRUE(writeYearPdf(pdf, sheet(2025)));
    const QString prefix = folder.filePath(QStringLiteral("pagina"));
    ASSERT_EQ(QProcess::execute(pdftoppm,
                                {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                 QStringLiteral("-singlefile"), pdf, prefix}),
              0);
    const QImage page(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height()); // landscape
    // Above the legend: the months. July is high season (cyan), one special
    // day (red), the rest low season (green); no day is medium (yellow).
    const int monthsBottom = page.height() * 80 / 100;
    const int cyan = pixelsOf(page, QColor(0, 255, 255), 0, monthsBottom);
    const int red = pixelsOf(page, QColor(255, 0, 0), 0, monthsBottom);
    const int green = pixelsOf(page, QColor(0, 255, 0), 0, monthsBottom);
    EXPECT_GT(cyan, 20 * red); // 31 days against 1
    EXPECT_GT(red, 0);
    EXPECT_GT(green, 8 * cyan); // 333 days against 31
    EXPECT_EQ(pixelsOf(page, QColor(255, 255, 0), 0, monthsBottom), 0);
    // The legend shows every season's colour, medium included.
    EXPECT_GT(pixelsOf(page, QColor(255, 255, 0), monthsBottom, page.height()), 0);
}

// The system's python3 first: that is where Debian's python3-icalendar lives,
// whatever python3 comes first in PATH.
QString pythonWithICalendar() {
    const QStringList candidates = {
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")}),
        QStandardPaths::findExecutable(QStringLiteral("python3"))};
    for (const QString& python : candidates) {
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import icalendar")});
        if (!python.isEmpty() && probe.waitForFinished(30000) && probe.exitCode() == 0) {
            return python;
        }
    }
    return {};
}

TEST_F(SharingTest, shouldExportEventsThatARealCalendarParserReads) {
    const QString python = pythonWithICalendar();
    if (python.isEmpty()) {
        GTEST_SKIP() << "falta python3 con el paquete icalendar (python3-icalendar)";
    }
    const QString path = folder.filePath(QStringLiteral("2025.ics"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(iCalendarOf(readYearRows(database.db(), 2025), 2025,
                           QDateTime(QDate(2025, 1, 2), QTime(10, 0), Qt::UTC)));
    file.close();

    const QString script = QStringLiteral(
        "import sys, json, icalendar\n"
        "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
        "out = []\n"
        "for e in cal.walk('VEVENT'):\n"
        "    out.append({'summary': str(e['SUMMARY']), 'uid': str(e['UID']),\n"
        "                'start': e['DTSTART'].dt.isoformat(), 'end': e['DTEND'].dt.isoformat(),\n"
        "                'stamp': e['DTSTAMP'].dt.isoformat()})\n"
        "print(json.dumps(out))\n");
    QProcess parser;
    parser.start(python, {QStringLiteral("-c"), script, path});
    ASSERT_TRUE(parser.waitForFinished(30000));
    ASSERT_EQ(parser.exitCode(), 0) << parser.readAllStandardError().toStdString();
    const QJsonArray events = QJsonDocument::fromJson(parser.readAllStandardOutput()).array();
    ASSERT_EQ(events.size(), 4);
    auto event = [&](int i) { return events[i].toObject(); };
    EXPECT_EQ(event(0)["summary"].toString(), QStringLiteral("Temporada ALTA"));
    EXPECT_EQ(event(0)["start"].toString(), QStringLiteral("2025-07-01"));
    EXPECT_EQ(event(0)["end"].toString(), QStringLiteral("2025-08-01")); // exclusive
    EXPECT_EQ(event(1)["summary"].toString(), QStringLiteral("Temporada ESPECIAL"));
    EXPECT_EQ(event(1)["end"].toString(), QStringLiteral("2025-12-26"));
    EXPECT_EQ(event(2)["summary"].toString(), QStringLiteral("Día no laborable"));
    EXPECT_EQ(event(2)["start"].toString(), QStringLiteral("2025-01-05"));
    EXPECT_EQ(event(2)["end"].toString(), QStringLiteral("2025-01-07"));
    EXPECT_EQ(event(3)["start"].toString(), QStringLiteral("2025-01-12"));
    EXPECT_TRUE(event(0)["stamp"].toString().startsWith(QStringLiteral("2025-01-02T10:00:00")));
    QSet<QString> uids;
    for (int i = 0; i < events.size(); ++i) {
        uids.insert(event(i)["uid"].toString());
    }
    EXPECT_EQ(uids.size(), 4);
}

} // namespace
} // namespace estaciones::calendar::extras
