// Importing holidays on the real window: the toolbar's button, the file
// dialog and the questions answered by the scripted operator, every result
// read back from MA_CALENDARIO and its history.
#include "CalendarWindowFixture.h"
#include "HolidayFiles.h"

#include "calendar/extras/DayHistory.h"
#include "platform/ui/QtOperatorInterface.h"
#include "session/SessionParameters.h"

#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace estaciones::calendar::window {
namespace {

using Kind = ui::ScriptedOperatorInterface::Kind;

// The region's holidays the shared file names, per year.
const QList<QDate> holidays2025 = {QDate(2025, 1, 1), QDate(2025, 5, 5),   QDate(2025, 5, 6),
                                   QDate(2025, 5, 7), QDate(2025, 10, 12), QDate(2025, 12, 25)};
const QList<QDate> holidays2026 = {QDate(2026, 1, 1), QDate(2026, 1, 6), QDate(2026, 3, 19),
                                   QDate(2026, 5, 4), QDate(2026, 5, 5), QDate(2026, 10, 12)};

class HolidayImportWindow : public test::CalendarWindowTest {
protected:
    void SetUp() override {
        database.db().gUsuario = QStringLiteral("ANA");
        session::gClaveEstacion = QStringLiteral("puesto 2");
        regionFile = temp.filePath(QStringLiteral("festivos.ics"));
        ASSERT_TRUE(test::writeFile(regionFile, test::regionHolidays()));
    }
    void TearDown() override { session::gClaveEstacion.clear(); }

    void importFile() {
        // On a narrow screen the button sits behind the toolbar's extension:
        // its action is reached as the keyboard reaches it there.
        auto* action = window->findChild<QAction*>(QStringLiteral("CmdImportarFestivos"));
        ASSERT_NE(action, nullptr);
        QWidget* shown = window->findChild<QToolButton*>(QStringLiteral("CmdImportarFestivos"));
        if (shown && shown->isVisible()) {
            QTest::mouseClick(shown, Qt::LeftButton);
        } else {
            action->trigger();
        }
    }

    // The days of `year` the table has as non-working.
    QList<QDate> nonWorkingDays(int year) {
        QList<QDate> days;
        for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
            if (database.storedNonWorking(d).value_or(false)) {
                days.append(d);
            }
        }
        return days;
    }

    // The number the preview gives for `year`: "2026: 6 días a no laborable".
    static int previewCount(const QString& preview, int year) {
        const QRegularExpression line(QStringLiteral("^%1: (\\d+) días? a no laborable").arg(year),
                                      QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(preview);
        EXPECT_TRUE(match.hasMatch()) << preview.toStdString();
        return match.captured(1).toInt();
    }

    QString regionFile;
};

TEST_F(HolidayImportWindow, shouldImportARegionsHolidaysIntoTwoYearsAsThePreviewSays) {
    database.createYear(2025);
    database.createYear(2026);
    database.setNonWorking(QDate(2025, 1, 1), true);
    database.setCode(QDate(2026, 5, 4), QStringLiteral("AL"));
    open();
    chooseYear(2026);
    operatorScript.answerOpenFile(regionFile).answerMessage(ui::reply::Yes);
    importFile();

    ASSERT_EQ(operatorScript.dialogs().size(), 2u);
    EXPECT_EQ(operatorScript.dialogs()[0].kind, Kind::OpenFile);
    EXPECT_EQ(operatorScript.dialogs()[0].text, QStringLiteral("Importar festivos"));
    const QString preview = operatorScript.dialogs()[1].text;
    EXPECT_EQ(ui::style::buttons(operatorScript.dialogs()[1].flags), ui::style::YesNo);
    EXPECT_TRUE(preview.contains(QStringLiteral("(1 ya lo era)"))) << preview.toStdString();
    // The names as the Windows-1252 file spells them.
    EXPECT_TRUE(preview.contains(QStringLiteral("06/01/2026 Epifanía del Señor")));
    EXPECT_TRUE(preview.contains(QStringLiteral("19/03/2026 San José")));
    EXPECT_FALSE(preview.contains(QStringLiteral("anulado")));

    // What the preview counted is what was written, year by year.
    EXPECT_EQ(nonWorkingDays(2025), holidays2025);
    EXPECT_EQ(nonWorkingDays(2026), holidays2026);
    EXPECT_EQ(previewCount(preview, 2025), holidays2025.size() - 1);
    EXPECT_EQ(previewCount(preview, 2026), holidays2026.size());
    EXPECT_EQ(code(QDate(2026, 5, 4)), QStringLiteral("AL")); // seasons stay
    EXPECT_TRUE(legend().contains(QStringLiteral("No laborables: 6 días")))
        << legend().toStdString();

    // Every changed day has its history row, with who and where.
    const QList<extras::HistoryEntry> history =
        extras::readDayHistory(database.connection(), QDate(2025, 10, 12));
    ASSERT_EQ(history.size(), 1);
    EXPECT_EQ(history[0].field, QStringLiteral("nolaborable"));
    EXPECT_EQ(history[0].origin, QStringLiteral("importar"));
    EXPECT_EQ(history[0].user + QLatin1Char('@') + history[0].station,
              QStringLiteral("ANA@puesto 2"));
    EXPECT_TRUE(extras::readDayHistory(database.connection(), QDate(2025, 1, 1)).isEmpty());

    // The import is one mark: one undo gives both years back.
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(nonWorkingDays(2025), QList<QDate>{QDate(2025, 1, 1)});
    EXPECT_TRUE(nonWorkingDays(2026).isEmpty());
    EXPECT_FALSE(button("CmdDeshacer").isEnabled());
}

TEST_F(HolidayImportWindow, shouldImportTheProgramsOwnExportBackToTheSameDays) {
    database.createYear(2025);
    for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
        if (d.month() == 7 || d.month() == 8) {
            database.setCode(d, QStringLiteral("AL"));
        } else if (d.month() == 4 && d.dayOfWeek() >= Qt::Saturday) {
            database.setCode(d, QStringLiteral("ME"));
        }
        if (d.dayOfWeek() == Qt::Sunday && d.month() == 3) {
            database.setNonWorking(d, true);
        }
    }
    database.setCode(QDate(2025, 12, 25), QStringLiteral("ES"));
    database.setNonWorking(QDate(2025, 12, 25), true);
    database.setCode(QDate(2025, 2, 2), QStringLiteral("BA"));
    open();
    chooseYear(2025);
    const QString exported = temp.filePath(QStringLiteral("propio.ics"));
    operatorScript.answerSaveFile(exported);
    QTest::mouseClick(&button("CmdExportarICalendar"), Qt::LeftButton);
    QMap<QDate, std::pair<QString, bool>> before;
    for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
        before.insert(d, {code(d), *database.storedNonWorking(d)});
    }

    // Another station clears the year; the file gives it back.
    database.connection().execute(
        QStringLiteral("UPDATE MA_CALENDARIO SET Temporada = NULL, nolaborable = 0"));
    operatorScript.answerOpenFile(exported).answerMessage(ui::reply::Yes);
    importFile();
    ASSERT_EQ(operatorScript.dialogs().size(), 3u);
    const QString preview = operatorScript.dialogs()[2].text;
    EXPECT_TRUE(preview.contains(QStringLiteral("2025: 6 días a no laborable")))
        << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("ALTA: 62 días"))) << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("MEDIA: 8 días"))) << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("ESPECIAL: 1 día"))) << preview.toStdString();
    EXPECT_TRUE(preview.contains(QStringLiteral("BAJA: 1 día"))) << preview.toStdString();
    for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
        EXPECT_EQ(std::make_pair(code(d), *database.storedNonWorking(d)), before.value(d))
            << d.toString().toStdString();
    }

    // Imported again, nothing changes: the operator is told so, nothing is asked.
    operatorScript.answerOpenFile(exported).answerMessage(ui::reply::OK);
    importFile();
    ASSERT_EQ(operatorScript.dialogs().size(), 5u);
    EXPECT_EQ(ui::style::buttons(operatorScript.dialogs()[4].flags), ui::style::OKOnly);
    EXPECT_TRUE(
        operatorScript.dialogs()[4].text.contains(QStringLiteral("no hay nada que importar")));
}

TEST_F(HolidayImportWindow, shouldRefuseAMalformedFileAndWriteNothing) {
    database.createYear(2026);
    const QString broken = temp.filePath(QStringLiteral("roto.ics"));
    QByteArray content = test::regionHolidays();
    content.replace("DTSTART;VALUE=DATE:20260504", "DTSTART;VALUE=DATE:2026XX04");
    ASSERT_TRUE(test::writeFile(broken, content));
    open();
    operatorScript.answerOpenFile(broken).answerMessage(ui::reply::OK);
    importFile();
    ASSERT_EQ(operatorScript.dialogs().size(), 2u);
    const QString message = operatorScript.dialogs()[1].text;
    EXPECT_TRUE(message.startsWith(QStringLiteral("No se importó nada de ") + broken))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("mal formado (no se entiende el valor «2026XX04» "
                                                "de DTSTART)")))
        << message.toStdString();
    EXPECT_TRUE(nonWorkingDays(2026).isEmpty());
    EXPECT_FALSE(button("CmdDeshacer").isEnabled());

    // A file that cannot be read at all says so too.
    operatorScript.answerOpenFile(temp.filePath(QStringLiteral("no-existe.ics")))
        .answerMessage(ui::reply::OK);
    importFile();
    ASSERT_EQ(operatorScript.dialogs().size(), 4u);
    EXPECT_TRUE(operatorScript.dialogs()[3].text.startsWith(QStringLiteral("No se pudo leer")));
}

TEST_F(HolidayImportWindow, shouldListTheDaysOfAYearWithoutCalendarAsNotImportedWhenRefused) {
    database.createYear(2025);
    open();
    chooseYear(2025);
    operatorScript.answerOpenFile(regionFile)
        .answerMessage(ui::reply::No) // do not create 2026
        .answerMessage(ui::reply::Yes);
    importFile();
    ASSERT_EQ(operatorScript.dialogs().size(), 3u);
    EXPECT_TRUE(operatorScript.dialogs()[1].text.contains(QStringLiteral("2026")));
    EXPECT_TRUE(operatorScript.dialogs()[1].text.contains(QStringLiteral("Crear Calendario")));
    const QString preview = operatorScript.dialogs()[2].text;
    EXPECT_TRUE(preview.contains(QStringLiteral("2026: sin calendario; no importados: 6 días")))
        << preview.toStdString();
    EXPECT_EQ(nonWorkingDays(2025), holidays2025);
    EXPECT_FALSE(database.storedNonWorking(QDate(2026, 1, 6)).has_value());
}

TEST_F(HolidayImportWindow, shouldCreateTheMissingYearWhenAcceptedAndImportIntoIt) {
    database.createYear(2025);
    RSession session;
    QList<int> created;
    session.CrearCalendario = [&](R&, int anio) {
        created.append(anio);
        database.createYear(anio);
    };
    open(std::move(session));
    chooseYear(2025);
    operatorScript.answerOpenFile(regionFile)
        .answerMessage(ui::reply::Yes)  // create 2026 first
        .answerMessage(ui::reply::Yes); // the preview
    importFile();
    EXPECT_EQ(created, QList<int>{2026});
    ASSERT_EQ(operatorScript.dialogs().size(), 3u);
    EXPECT_FALSE(operatorScript.dialogs()[2].text.contains(QStringLiteral("sin calendario")));
    EXPECT_EQ(previewCount(operatorScript.dialogs()[2].text, 2026), holidays2026.size());
    EXPECT_EQ(nonWorkingDays(2026), holidays2026);
    EXPECT_EQ(window->anioMostrado(), 2025); // the window stays on its year
}

// The real program's dialogs, but for the file dialog, answered by `path`.
class FileAnsweredDialogs : public ui::QtOperatorInterface {
public:
    explicit FileAnsweredDialogs(QString path) : m_path(std::move(path)) {}
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override {
        return m_path;
    }

private:
    QString m_path;
};

// The preview as Qt shows it over the window; the picture of the operator's
// help is saved where ESTACIONES_CAPTURA_IMPORTACION says.
TEST_F(HolidayImportWindow, shouldShowThePreviewInARealQuestionOverTheWindow) {
    database.createYear(2025);
    database.createYear(2026);
    open();
    chooseYear(2026);
    FileAnsweredDialogs dialogs(regionFile);
    ui::OperatorInterface* scripted = ui::setOperatorInterface(&dialogs);
    QString shownText;
    QStringList buttons;
    QImage picture;
    QObject pending; // no answer is looked for once the test is over
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(20, &pending, answer);
            return;
        }
        shownText = box->text();
        for (QAbstractButton* b : box->buttons()) {
            buttons << b->text();
        }
        picture = window->grab().toImage();
        QPainter painter(&picture);
        const QImage question = box->grab().toImage();
        painter.drawImage((picture.width() - question.width()) / 2,
                          (picture.height() - question.height()) / 3, question);
        painter.end();
        for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == QMessageBox::NoRole) {
                b->click(); // "No": nothing is written
                return;
            }
        }
        box->reject();
    };
    QTimer::singleShot(0, &pending, answer);
    importFile();
    ui::setOperatorInterface(scripted);

    EXPECT_TRUE(shownText.startsWith(QStringLiteral("Importar festivos de festivos.ics")))
        << shownText.toStdString();
    EXPECT_EQ(buttons.size(), 2) << buttons.join(' ').toStdString();
    EXPECT_TRUE(nonWorkingDays(2026).isEmpty()); // answered No: nothing written
    const QString target = qEnvironmentVariable("ESTACIONES_CAPTURA_IMPORTACION");
    if (!target.isEmpty()) {
        EXPECT_TRUE(picture.save(target));
    }
}

} // namespace
} // namespace estaciones::calendar::window
