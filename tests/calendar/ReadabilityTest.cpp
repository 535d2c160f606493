// What the operator reads on the window and on paper: day numbers and season
// captions against their season's colour (contrast as the WCAG measure it),
// the weekday headers, and a legend that counts what the grid paints.
#include "CalendarWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace estaciones::calendar::window {
namespace {

const QColor navy(0, 0, 128); // a dark BAJA: BGR 0x800000, stored as 8388608

// Pixels of `image` close to `colour` (the text drawn on a cell).
int pixelsNear(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) <= 25 &&
                             std::abs(c.green() - colour.green()) <= 25 &&
                             std::abs(c.blue() - colour.blue()) <= 25
                         ? 1
                         : 0;
        }
    }
    return count;
}

class Readability : public test::CalendarWindowTest {
protected:
    void SetUp() override { database.createYear(2025); }
    void darkBaja() {
        database.connection().execute(
            QStringLiteral("INSERT INTO TA_CONFIGURACION (Clave, Valor, Grupo) VALUES "
                           "('TempoCol_BA', '8388608', 'DATOS')"));
    }
    int legendCount(const QString& caption) {
        const QRegularExpression line(QStringLiteral("^%1: (\\d+) día").arg(caption),
                                      QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(legend());
        EXPECT_TRUE(match.hasMatch()) << caption.toStdString() << " in " << legend().toStdString();
        return match.captured(1).toInt();
    }
};

TEST_F(Readability, dayNumbersAndSeasonCaptionsShouldStandOutFromADarkSeasonColour) {
    darkBaja();
    database.setCode(QDate(2025, 3, 15), QStringLiteral("ME")); // yellow stays dark on light
    open();
    chooseYear(2025);
    QRadioButton& dark = dayCell(QDate(2025, 3, 14));
    ASSERT_EQ(test::paintedColour(dark), navy);
    // White on the dark colour (16:1), black on the light one (19:1).
    EXPECT_GT(pixelsNear(dark.grab().toImage(), Qt::white), 10);
    ASSERT_EQ(test::paintedColour(season(0)), navy);
    EXPECT_GT(pixelsNear(season(0).grab().toImage(), Qt::white), 10);

    QRadioButton& light = dayCell(QDate(2025, 3, 15));
    const QColor yellow(255, 255, 0);
    ASSERT_EQ(test::paintedColour(light), yellow);
    EXPECT_GT(pixelsNear(light.grab().toImage(), Qt::black), 10);
}

TEST_F(Readability, weekdayHeadersShouldKeepTheirCaptionsWithRoomBetweenColumns) {
    open();
    const QStringList captions = {"Dóm", "Lun", "Mar", "Mie", "Jue", "Vie", "Sab"};
    for (int month = 1; month <= 12; ++month) {
        const auto headers =
            ui::arrayElements<QLabel>(*window, QStringLiteral("LblDia%1").arg(month));
        ASSERT_EQ(headers.size(), 7);
        for (int z = 0; z < 7; ++z) {
            QLabel& header = *headers[z];
            EXPECT_EQ(header.text(), captions[z]);
            const QImage image = header.grab().toImage();
            const QColor background = test::paintedColour(header);
            // The caption is drawn, and its outermost columns stay free, so
            // the captions of neighbouring days never touch.
            int inked = 0;
            int atEdges = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const bool ink = image.pixelColor(x, y) != background;
                    inked += ink ? 1 : 0;
                    atEdges += ink && (x < 2 || x >= image.width() - 2) ? 1 : 0;
                }
            }
            EXPECT_GT(inked, 10) << month << " " << z;
            EXPECT_EQ(atEdges, 0) << captions[z].toStdString() << " of month " << month;
        }
    }
}

TEST_F(Readability, printedSheetShouldWriteDayNumbersThatStandOutFromADarkSeasonColour) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) {
        GTEST_SKIP() << "pdftoppm no está instalado (paquete poppler-utils)";
    }
    darkBaja();
    open();
    chooseYear(2025);
    const QString pdf = temp.filePath(QStringLiteral("2025.pdf"));
    operatorScript.answerSaveFile(pdf);
    QTest::mouseClick(&button("CmdGuardarPdf"), Qt::LeftButton);
    const QString prefix = temp.filePath(QStringLiteral("hoja"));
    ASSERT_EQ(QProcess::execute(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-r"),
                                           QStringLiteral("100"), QStringLiteral("-singlefile"),
                                           pdf, prefix}),
              0);
    const QImage page(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    // White pixels with the dark season on both sides: the strokes of the
    // day numbers inside their cells (the grey lines between cells are no
    // white).
    auto isWhite = [](const QColor& c) {
        return c.red() >= 230 && c.green() >= 230 && c.blue() >= 230;
    };
    auto isNavy = [&](int x, int y) {
        const QColor c = page.pixelColor(x, y);
        return std::abs(c.red() - 0) <= 8 && std::abs(c.green() - 0) <= 8 &&
               std::abs(c.blue() - 128) <= 8;
    };
    int strokes = 0;
    const int monthsBottom = page.height() * 80 / 100;
    for (int y = 0; y < monthsBottom; ++y) {
        for (int x = 3; x + 3 < page.width(); ++x) {
            if (isWhite(page.pixelColor(x, y)) && isNavy(x - 3, y) && isNavy(x + 3, y)) {
                ++strokes;
            }
        }
    }
    EXPECT_GT(strokes, 365) << "one stroke at least for each day of the year";
}

TEST_F(Readability, legendShouldCountTheDaysTheGridPaintsInEachColour) {
    for (int d = 1; d <= 10; ++d) {
        database.setCode(QDate(2025, 7, d), QStringLiteral("AL"));
    }
    for (int d = 1; d <= 5; ++d) {
        database.setCode(QDate(2025, 4, d), QStringLiteral("ME"));
    }
    database.setCode(QDate(2025, 12, 25), QStringLiteral("ES"));
    database.setCode(QDate(2025, 1, 2), QStringLiteral("BA"));
    open();
    const QStringList captions = {"BAJA", "MEDIA", "ALTA", "ESPECIAL"};
    const QList<QColor> colours = {QColor(0, 255, 0), QColor(255, 255, 0), QColor(0, 255, 255),
                                   QColor(255, 0, 0)};
    for (const int year : {2025, 2027}) { // created, and never created
        chooseYear(year);
        QList<int> painted(4, 0);
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
            const qsizetype season = colours.indexOf(test::paintedColour(dayCell(d)));
            ASSERT_GE(season, 0) << d.toString().toStdString();
            ++painted[season];
        }
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(legendCount(captions[i]), painted[i]) << captions[i].toStdString() << year;
        }
    }
    EXPECT_TRUE(legend().contains(QStringLiteral("BAJA: 365 días (365 sin calendario)")))
        << legend().toStdString();
}

} // namespace
} // namespace estaciones::calendar::window
