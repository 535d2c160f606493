// The caption's long date under the system locales operators have. The
// system locale is read from the environment when the application starts, so
// each locale runs in a child process (ChildRun.h) that opens the window.
#include "CalendarWindowFixture.h"
#include "ChildRun.h"

namespace estaciones::calendar::window {
namespace {

const QString captionChildTest = QStringLiteral("CaptionChild.captionShouldBeTodaysLongDateInSpanish");

void runUnder(const QString& lang, const QString& expectedLocale) {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("LANG"), lang);
    environment.insert(QStringLiteral("ESTACIONES_LOCALE_ESPERADO"), expectedLocale);
    // LANG alone decides: the variables that would win over it are removed.
    test::runInChild(captionChildTest, environment,
                     {QStringLiteral("LC_ALL"), QStringLiteral("LC_TIME"),
                      QStringLiteral("LC_MESSAGES"), QStringLiteral("LANGUAGE")});
}

TEST(CaptionDate, shouldBeSpanishFromSpainUnderTheCLocale) {
    runUnder(QStringLiteral("C"), QStringLiteral("es_ES"));
}

TEST(CaptionDate, shouldKeepAnArgentineSystemLocale) {
    runUnder(QStringLiteral("es_AR.UTF-8"), QStringLiteral("es_AR"));
}

class CaptionChild : public test::CalendarWindowTest {
protected:
    void SetUp() override {
        if (!test::inChildRun()) {
            GTEST_SKIP() << "runs in the child process of CaptionDate";
        }
    }
};

TEST_F(CaptionChild, captionShouldBeTodaysLongDateInSpanish) {
    const QLocale expected(qEnvironmentVariable("ESTACIONES_LOCALE_ESPERADO"));
    open();
    const QString caption = window->windowTitle();
    EXPECT_EQ(caption, expected.toString(QDate::currentDate(), QLocale::LongFormat))
        << "system locale " << QLocale::system().name().toStdString();
    // Spanish words: the weekday's name as Spain writes it.
    EXPECT_TRUE(
        caption.startsWith(QLocale(QLocale::Spanish).dayName(QDate::currentDate().dayOfWeek())))
        << caption.toStdString();
}

} // namespace
} // namespace estaciones::calendar::window
