// The window on small screens. The offscreen platform takes the screen's
// size from a JSON file named in its "configfile" option
// (QT_QPA_PLATFORM="offscreen:configfile=pantalla.json", with
// {"screens": [{"name": ..., "x": 0, "y": 0, "width": W, "height": H,
// "logicalDpi": 96}]}); the screen is fixed at start, so each size runs in a
// child process (ChildRun.h). No window manager there: the window is where
// the program puts it.
#include "CalendarWindowFixture.h"
#include "ChildRun.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>

namespace estaciones::calendar::window {
namespace {

const QString screenFitChildTest =
    QStringLiteral("ScreenChild.windowShouldStayOnTheScreenAndScrollToEveryMonthItCannotShow");

void runOnScreen(int width, int height, bool fitsWhole) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString config = folder.filePath(QStringLiteral("pantalla.json"));
    QJsonObject screen{{"name", "pantalla"}, {"x", 0},           {"y", 0},
                       {"width", width},     {"height", height}, {"logicalDpi", 96}};
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{"screens", QJsonArray{screen}}}).toJson());
    file.close();
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       QStringLiteral("offscreen:configfile=") + config);
    environment.insert(QStringLiteral("ESTACIONES_PANTALLA"),
                       QStringLiteral("%1x%2").arg(width).arg(height));
    environment.insert(QStringLiteral("ESTACIONES_PANTALLA_CABE"),
                       fitsWhole ? QStringLiteral("1") : QStringLiteral("0"));
    test::runInChild(screenFitChildTest, environment);
}

TEST(ScreenFit, shouldOpenWholeCentredAndUncoveredOnA1024x768Screen) {
    runOnScreen(1024, 768, true);
}

TEST(ScreenFit, shouldStayOnA800x600ScreenAndScrollToEveryMonth) {
    runOnScreen(800, 600, false);
}

class ScreenChild : public test::CalendarWindowTest {
protected:
    void SetUp() override {
        if (!test::inChildRun()) {
            GTEST_SKIP() << "runs in the child process of ScreenFit";
        }
        database.createYear(2025);
    }
    QScrollArea& area() {
        return *window->findChild<QScrollArea*>(QStringLiteral("AreaFormulario"));
    }
    // Whether the whole of `widget` shows in the scrolled area, and nothing
    // covers it (the status bar lies outside the area).
    bool showsWhole(QWidget& widget) {
        QWidget& viewport = *area().viewport();
        const QRect inViewport(widget.mapTo(&viewport, QPoint(0, 0)), widget.size());
        const QRect inWindow(widget.mapTo(window.get(), QPoint(0, 0)), widget.size());
        return viewport.rect().contains(inViewport) &&
               !inWindow.intersects(window->statusBar()->geometry());
    }
    // The operator scrolls with the wheel (right, then down) until `widget` shows.
    void scrollTo(QWidget& widget) {
        for (int step = 0; step < 40 && !showsWhole(widget); ++step) {
            const bool right =
                area().horizontalScrollBar()->value() < area().horizontalScrollBar()->maximum();
            test::wheelStep(*area().viewport(), -1, right ? Qt::Horizontal : Qt::Vertical);
        }
    }
    void checkOnScreenAndCentred() {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(available.contains(frame))
            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        EXPECT_LE(std::abs(frame.center().x() - available.center().x()), 1);
        EXPECT_LE(std::abs(frame.center().y() - available.center().y()), 1);
    }
};

TEST_F(ScreenChild, windowShouldStayOnTheScreenAndScrollToEveryMonthItCannotShow) {
    const QStringList size = qEnvironmentVariable("ESTACIONES_PANTALLA").split(u'x');
    ASSERT_EQ(size.size(), 2);
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(),
              QSize(size[0].toInt(), size[1].toInt()))
        << "the platform did not take the screen of its configuration file";
    open();
    chooseYear(2025);
    checkOnScreenAndCentred();

    QRadioButton& lastDay = dayCell(QDate(2025, 12, 31));
    if (qEnvironmentVariable("ESTACIONES_PANTALLA_CABE") == QStringLiteral("1")) {
        EXPECT_FALSE(area().horizontalScrollBar()->isVisible());
        EXPECT_FALSE(area().verticalScrollBar()->isVisible());
        EXPECT_TRUE(showsWhole(lastDay));
        EXPECT_TRUE(showsWhole(dayCell(QDate(2025, 4, 30))));
    } else {
        EXPECT_TRUE(area().horizontalScrollBar()->isVisible());
        EXPECT_FALSE(showsWhole(lastDay));
    }
    scrollTo(lastDay);
    ASSERT_TRUE(showsWhole(lastDay));
    chooseSeason(2);
    click(QDate(2025, 12, 31));
    EXPECT_EQ(code(QDate(2025, 12, 31)), QStringLiteral("AL"));

    // The operator makes the window smaller: the grids scroll, nothing is
    // cut off or covered, and the window still fits the screen.
    window->resize(500, 350);
    QTest::qWait(50);
    EXPECT_TRUE(area().verticalScrollBar()->isVisible());
    EXPECT_TRUE(area().horizontalScrollBar()->isVisible());
    QRadioButton& firstDecember = dayCell(QDate(2025, 12, 1));
    scrollTo(firstDecember);
    EXPECT_TRUE(showsWhole(firstDecember));
    click(QDate(2025, 12, 1));
    EXPECT_EQ(code(QDate(2025, 12, 1)), QStringLiteral("AL"));
}

} // namespace
} // namespace estaciones::calendar::window
