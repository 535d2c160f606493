#include "calendar/window/CalendarExtras.h"

#include "calendar/CalendarTexts.h"
#include "calendar/MonthGrid.h"
#include "calendar/ViewSettings.h"
#include "calendar/YearList.h"
#include "calendar/extras/DayHistory.h"
#include "calendar/extras/ExtrasTexts.h"
#include "calendar/extras/ICalendarExport.h"
#include "calendar/extras/RangeMarking.h"
#include "calendar/extras/SeasonCopy.h"
#include "calendar/extras/YearSheet.h"
#include "calendar/window/DayCell.h"
#include "calendar/window/DayKeyboard.h"
#include "calendar/window/LiveYearView.h"
#include "calendar/window/R.h"
#include "calendar/window/SeasonTotalsLegend.h"
#include "calendar/window/print/PrintSheet.h"
#include "data/DB_Dll.h"
#include "platform/core/ErrorHandling.h"
#include "platform/os/LazyLibrary.h"
#include "platform/os/System.h"
#include "platform/ui/ControlArrays.h"
#include "platform/ui/OperatorInterface.h"
#include "session/MostrarError.h"
#include "session/SessionParameters.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace estaciones::calendar::window {

namespace {
const QString cellArrayPrefix = QStringLiteral("OptDia");
// How long a note about the other stations stays in the status bar.
constexpr int messageMs = 8000;

void tell(const QString& text, int flags = ui::style::OKOnly) {
    ui::operatorInterface().messageBox(text, flags);
}

void guard(const QString& handler, const std::function<void()>& body) {
    guarded(body, [&](const Error& error) { session::MostrarError(error, handler); });
}

} // namespace

CalendarExtras::CalendarExtras(R& window, data::DB_Dll& db)
    : QObject(&window), m_window(window), m_db(db), m_store(db),
      m_history([this](const QList<extras::DayChange>& changes) {
          const extras::HistoryStamp undoStamp = stamp(m_undoOrigin);
          return extras::writeIfUnchanged(m_db.gCnn, changes, {}, &undoStamp);
      }),
      m_lastFolder(QDir::homePath()) {
    setObjectName(QStringLiteral("CalendarExtras"));
    buildToolbar();
    placeLegend();
    m_keyboard = new DayKeyboard(
        window, {[this](const QDate& date) { return m_window.celdaDelDia(date); },
                 [this] { return shownYear(); },
                 [this](const QDate& date) {
                     guard(QStringLiteral("OptDia_KeyPress"), [&] { markDayByKey(date); });
                 },
                 [this](const QDate& from, const QDate& to) {
                     guard(QStringLiteral("OptDia_KeyPress"), [&] { markRange(from, to, false); });
                 },
                 [this](int option) { m_window.elegirOpcion(option); },
                 m_window.findChild<QWidget*>(QStringLiteral("CmdSalir"))});
    m_live = new LiveYearView(*this, db.gCnn,
                              {[this] { return operatorBusy(); },
                               [this](int year) { return extras::readYearRows(m_db, year); },
                               [this](const QList<QDate>& changed) {
                                   guard(QStringLiteral("Timer_Timer"),
                                         [&] { showChangedElsewhere(changed); });
                               },
                               [this] { return shownYear(); }});
}

CalendarExtras::~CalendarExtras() = default;

void CalendarExtras::buildToolbar() {
    auto* bar = new QToolBar(extras::texts::toolbar, &m_window);
    bar->setObjectName(QStringLiteral("TbrHerramientas"));
    bar->setMovable(false);
    m_window.addToolBar(Qt::TopToolBarArea, bar);
    // On a narrow window the actions that do not fit are behind the
    // toolbar's extension button: the keyboard reaches it too.
    for (auto* extension :
         bar->findChildren<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        extension->setFocusPolicy(Qt::TabFocus);
    }

    auto addAction = [&](const QString& name, const QString& text, const QString& tip,
                         void (CalendarExtras::*handler)()) {
        QAction* action = bar->addAction(text);
        action->setObjectName(name);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, [this, name, handler] {
            guard(name + QStringLiteral("_Click"), [&] { (this->*handler)(); });
        });
        if (QWidget* button = bar->widgetForAction(action)) {
            button->setObjectName(name);
            // The toolbar is in the Tab chain: the keyboard reaches every action.
            button->setFocusPolicy(Qt::TabFocus);
        }
        return action;
    };
    m_deshacer = addAction(QStringLiteral("CmdDeshacer"), extras::texts::undo,
                           extras::texts::undoTip, &CalendarExtras::deshacer);
    m_deshacer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_rehacer = addAction(QStringLiteral("CmdRehacer"), extras::texts::redo, extras::texts::redoTip,
                          &CalendarExtras::rehacer);
    m_rehacer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    bar->addSeparator();

    auto* label = new QLabel(extras::texts::rangeLabel, bar);
    bar->addWidget(label);
    m_filtro = new QComboBox(bar);
    m_filtro->setObjectName(QStringLiteral("CmbFiltroRango"));
    for (const extras::NamedFilter& filter : extras::namedFilters()) {
        m_filtro->addItem(filter.caption);
    }
    bar->addWidget(m_filtro);
    bar->addSeparator();

    addAction(QStringLiteral("CmdCopiarTemporadas"), extras::texts::copy, extras::texts::copyTip,
              &CalendarExtras::copiarTemporadas);
    addAction(QStringLiteral("CmdImprimir"), extras::texts::print, extras::texts::printTip,
              &CalendarExtras::imprimir);
    addAction(QStringLiteral("CmdGuardarPdf"), extras::texts::pdf, extras::texts::pdfTip,
              &CalendarExtras::guardarPdf);
    addAction(QStringLiteral("CmdExportarICalendar"), extras::texts::iCalendar,
              extras::texts::iCalendarTip, &CalendarExtras::exportarICalendar);
    addAction(QStringLiteral("CmdImportarFestivos"), extras::texts::importHolidays,
              extras::texts::importHolidaysTip, &CalendarExtras::importarFestivos);
    refreshActions();
    buildViewMenu();
}

void CalendarExtras::buildViewMenu() {
    // Before "Ayuda", which stays the last menu.
    QMenuBar* bar = m_window.menuBar();
    auto* menu = new QMenu(extras::texts::viewMenu, bar);
    menu->setObjectName(QStringLiteral("MNU_Ver"));
    bar->insertMenu(bar->actions().value(0), menu);
    m_verNoLaborables = menu->addAction(extras::texts::showNonWorking);
    m_verNoLaborables->setObjectName(QStringLiteral("MNU_VerNoLaborables"));
    m_verNoLaborables->setToolTip(extras::texts::showNonWorkingTip);
    m_verNoLaborables->setCheckable(true);
    m_verNoLaborables->setChecked(loadShowNonWorking(m_db.gUsuario));
    connect(m_verNoLaborables, &QAction::toggled, this, [this](bool shown) {
        guard(QStringLiteral("MNU_VerNoLaborables_Click"), [&] { verNoLaborables(shown); });
    });
}

void CalendarExtras::placeLegend() {
    QWidget* form = &m_window.form();
    auto* help = form->findChild<QLabel*>(QStringLiteral("Label1"));
    if (!help) {
        return;
    }
    m_legend = new SeasonTotalsLegend(form);
    // Under the help text, which takes only part of its box.
    const int top = help->y() + help->heightForWidth(help->width()) + 6;
    m_legend->setGeometry(help->x(), top, help->width(), std::max(0, form->height() - top - 2));
    m_legend->raise();
}

void CalendarExtras::attachToCells() {
    if (m_attached) {
        return;
    }
    m_attached = true;
    for (QAbstractButton* cell : m_window.findChildren<QAbstractButton*>()) {
        if (!cell->objectName().startsWith(cellArrayPrefix)) {
            continue;
        }
        cell->installEventFilter(this);
        if (auto* day = dynamic_cast<DayCell*>(cell)) {
            m_keyboard->watch(*day);
        }
        // Connected after the window's own handler, so it runs once the day is stored.
        connect(cell, &QAbstractButton::clicked, this,
                [this] { guard(QStringLiteral("OptDia_Click"), [&] { afterPlainClick(); }); });
    }
}

int CalendarExtras::shownYear() const {
    return m_window.anioMostrado();
}

std::optional<QDate> CalendarExtras::dateOfCell(const QObject& cell) const {
    bool monthOk = false;
    bool dayOk = false;
    const int month = cell.objectName().mid(cellArrayPrefix.size()).toInt(&monthOk);
    const auto* button = qobject_cast<const QAbstractButton*>(&cell);
    const int day = button ? button->text().toInt(&dayOk) : 0;
    if (!monthOk || !dayOk) {
        return std::nullopt;
    }
    const QDate date(shownYear(), month, day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

bool CalendarExtras::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ContextMenu && m_window.GrillaLista()) {
        std::optional<QDate> date;
        guard(QStringLiteral("OptDia_MouseUp"), [&] { date = dateOfCell(*watched); });
        if (date) {
            showDayMenu(*date, static_cast<QContextMenuEvent*>(event)->globalPos());
        }
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !m_window.GrillaLista()) {
        return false;
    }
    std::optional<QDate> date;
    guard(QStringLiteral("OptDia_MouseUp"), [&] { date = dateOfCell(*watched); });
    if (!date) {
        return false;
    }
    if ((mouse->modifiers() & Qt::ShiftModifier) && m_anchor) {
        // The range is this object's: the cell sees neither press nor release.
        if (type == QEvent::MouseButtonRelease) {
            guard(QStringLiteral("OptDia_MouseUp"), [&] {
                const QDate from = *m_anchor;
                m_keyboard->dayClicked(*date);
                markRange(from, *date, true);
            });
        }
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        guard(QStringLiteral("OptDia_MouseUp"), [&] {
            beginPlainClick(*date);
            m_keyboard->dayClicked(*date);
        });
    }
    return false;
}

void CalendarExtras::beginPlainClick(const QDate& date) {
    const extras::CalendarRows rows = extras::readRows(m_db, {date});
    m_pendingClick.reset();
    tellOverwritten(rows, {date});
    if (rows.contains(date)) {
        m_pendingClick = std::make_pair(date, rows.value(date).code);
    }
    m_anchor = date;
}

void CalendarExtras::tellOverwritten(const extras::CalendarRows& now, const QList<QDate>& dates) {
    const extras::CalendarRows& shown = m_live->shownRows();
    QList<QDate> changed;
    for (const QDate& date : dates) {
        if (date.year() != shownYear() || !now.contains(date)) {
            continue; // a range may run into a year the window does not show
        }
        const auto before = shown.constFind(date);
        if (before == shown.constEnd() || before->code != now.value(date).code ||
            before->nolaborable != now.value(date).nolaborable) {
            changed.append(date);
        }
    }
    if (!changed.isEmpty()) {
        // The mark goes on (the undo gives the other station's value back),
        // but not without a word.
        m_window.statusBar()->showMessage(
            extras::texts::replacedOtherStation(changed.size(), extras::texts::dateList(changed)),
            messageMs);
    }
}

bool CalendarExtras::operatorBusy() const {
    return m_keyboard->selecting() || QApplication::mouseButtons() != Qt::NoButton ||
           QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr || !m_window.GrillaLista() ||
           !m_window.isEnabled() || !m_window.centralWidget()->isEnabled();
}

void CalendarExtras::showChangedElsewhere(const QList<QDate>& changed) {
    repaint();
    m_window.statusBar()->showMessage(extras::texts::changedByOthersStatus(changed.size()),
                                      messageMs);
}

void CalendarExtras::markDayByKey(const QDate& date) {
    DayCell* cell = m_window.celdaDelDia(date);
    if (!cell) {
        return;
    }
    // The key marks as a click on the day does, the undo history included.
    beginPlainClick(date);
    cell->click();
}

void CalendarExtras::afterPlainClick() {
    if (!m_pendingClick) {
        yearPainted();
        return;
    }
    const auto [date, before] = *m_pendingClick;
    m_pendingClick.reset();
    const extras::CalendarRows rows = extras::readRows(m_db, {date});
    if (rows.contains(date) && rows.value(date).code != before) {
        m_history.record({{date, before, rows.value(date).code}});
    }
    yearPainted();
}

void CalendarExtras::markRange(const QDate& from, const QDate& to, bool firstDayMarked) {
    m_anchor = to;
    const auto filterIndex = static_cast<std::size_t>(std::max(0, m_filtro->currentIndex()));
    const extras::WeekdayFilter filter = extras::namedFilters()[filterIndex].filter;
    const QList<QDate> days = extras::datesInRange(from, to, filter);
    tellOverwritten(extras::readRows(m_db, days), days);
    extras::RangeMark mark;
    const extras::HistoryStamp rangeStamp = stamp(QStringLiteral("rango"));
    if (m_window.noLaborableElegido()) {
        // The range takes the state its first day was given by its click,
        // or, selected with the keyboard, the state it is given now.
        const extras::CalendarRows anchorRow = extras::readRows(m_db, {from});
        const bool firstNonWorking = anchorRow.contains(from) && anchorRow.value(from).nolaborable;
        const bool nonWorking = firstDayMarked ? firstNonWorking : !firstNonWorking;
        mark = extras::markNonWorkingRange(m_db, from, to, filter, nonWorking, &rangeStamp);
    } else {
        mark =
            extras::markRange(m_db, from, to, filter, m_window.selectedSeasonCode(), &rangeStamp);
    }
    if (!mark.outcome.stored) {
        tell(mark.outcome.errorDescription);
        return;
    }
    m_history.record(mark.changes);
    repaint();
    if (!mark.withoutRow.isEmpty()) {
        tell(extras::texts::rangeWithoutRows(mark.withoutRow.size(),
                                             extras::texts::dateList(mark.withoutRow)),
             ui::style::OKOnly | ui::style::Exclamation);
    }
}

void CalendarExtras::alternarNoLaborable(const QDate& date) {
    const extras::CalendarRows rows = extras::readRows(m_db, {date});
    tellOverwritten(rows, {date});
    if (!rows.contains(date)) {
        // Painting would show a flag that was not stored.
        tell(texts::calendarNotCreated(date.year()), ui::style::OKOnly | ui::style::Exclamation);
        return;
    }
    storeMark({extras::nonWorkingToggle(date, rows.value(date).nolaborable)});
}

void CalendarExtras::storeMark(const QList<extras::DayChange>& changes) {
    const extras::HistoryStamp markStamp = stamp(QStringLiteral("clic"));
    const extras::WriteOutcome outcome =
        extras::writeIfUnchanged(m_db.gCnn, changes, {}, &markStamp);
    tellOutcome(outcome);
    if (outcome.stored) {
        m_history.record(outcome.applied);
    }
    repaint();
}

void CalendarExtras::showDayMenu(const QDate& date, const QPoint& globalPos) {
    const extras::CalendarRows rows = extras::readRows(m_db, {date});
    auto* menu = new QMenu(&m_window);
    menu->setObjectName(QStringLiteral("MnuDia"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setTitle(date.toString(QStringLiteral("dd/MM/yyyy")));
    const bool nonWorking = rows.contains(date) && rows.value(date).nolaborable;
    QAction* toggle =
        menu->addAction(nonWorking ? extras::texts::makeWorking : extras::texts::makeNonWorking);
    toggle->setObjectName(QStringLiteral("MnuNoLaborable"));
    connect(toggle, &QAction::triggered, this, [this, date] {
        guard(QStringLiteral("MnuNoLaborable_Click"), [&] { alternarNoLaborable(date); });
    });
    QAction* history = menu->addAction(extras::texts::dayHistory);
    history->setObjectName(QStringLiteral("MnuHistorial"));
    connect(history, &QAction::triggered, this, [this, date] {
        guard(QStringLiteral("MnuHistorial_Click"), [&] { mostrarHistorial(date); });
    });
    // Not modal: the menu closes on its own, the window's events go on.
    menu->popup(globalPos);
}

void CalendarExtras::mostrarHistorial(const QDate& date) {
    extras::ensureHistoryTable(m_db.gCnn);
    const QList<extras::HistoryEntry> entries = extras::readDayHistory(m_db.gCnn, date);
    QStringList lines;
    for (const extras::HistoryEntry& entry : entries) {
        lines << extras::historyLine(entry, QDate::currentDate());
    }
    tell(lines.isEmpty()
             ? extras::texts::noHistory(date.toString(QStringLiteral("dd/MM/yyyy")))
             : extras::texts::historyTitle(date.toString(QStringLiteral("dd/MM/yyyy"))) +
                   lines.join(QLatin1Char('\n')));
}

void CalendarExtras::verNoLaborables(bool shown) {
    storeShowNonWorking(m_db.gUsuario, shown);
    yearPainted();
}

void CalendarExtras::repaint() {
    m_window.ArmarAnio(shownYear()); // which calls yearPainted(rows)
}

extras::CalendarRows CalendarExtras::readYearForPaint(int year, bool& complete) {
    m_live->beforeRead(year);
    return extras::readYearRows(m_db, year, &complete);
}

void CalendarExtras::yearPainted() {
    bool complete = true;
    yearPainted(readYearForPaint(shownYear(), complete));
}

void CalendarExtras::yearPainted(const extras::CalendarRows& rows) {
    refreshActions();
    const int year = shownYear();
    m_live->painted(year, rows);
    if (m_legend) {
        m_legend->show(extras::totalsOf(rows, year), m_window.colours());
    }
    m_window.describirDias(rows, m_verNoLaborables->isChecked());
    m_keyboard->yearPainted();
}

void CalendarExtras::refreshActions() {
    m_deshacer->setEnabled(m_history.canUndo());
    m_rehacer->setEnabled(m_history.canRedo());
}

extras::HistoryStamp CalendarExtras::stamp(const QString& origin) const {
    const QString station =
        session::gClaveEstacion.trimmed().isEmpty() ? os::machineName() : session::gClaveEstacion;
    return {m_db.gUsuario, station, origin};
}

bool CalendarExtras::storeClick(const QDate& date, const std::function<bool()>& store) {
    const extras::HistoryStamp clickStamp = stamp(QStringLiteral("clic"));
    db::Connection& connection = m_db.gCnn;
    extras::ensureHistoryTable(connection);
    const StoredValue before =
        m_pendingClick && m_pendingClick->first == date ? m_pendingClick->second : StoredValue();
    bool stored = false;
    connection.beginTrans();
    const std::optional<Error> failure = ignoringErrors([&] {
        stored = store();
        if (stored) {
            const extras::CalendarRows rows = extras::readRows(m_db, {date});
            const extras::StoredCode after = rows.value(date).code;
            if (rows.contains(date) && !extras::sameCode(before, after)) {
                extras::insertHistoryRow(connection, {date, before, after}, clickStamp,
                                         QDateTime::currentDateTime());
            }
        }
    });
    // The mark and its history row are kept together or not at all.
    if (stored && !failure) {
        connection.commitTrans();
    } else {
        ignoringErrors([&] { connection.rollbackTrans(); });
    }
    if (failure) {
        throw *failure;
    }
    return stored;
}

void CalendarExtras::deshacer() {
    m_undoOrigin = QStringLiteral("deshacer");
    tellOutcome(m_history.undo());
    repaint();
}

void CalendarExtras::rehacer() {
    m_undoOrigin = QStringLiteral("rehacer");
    tellOutcome(m_history.redo());
    repaint();
}

void CalendarExtras::tellOutcome(const extras::WriteOutcome& outcome) {
    if (!outcome.stored) {
        tell(outcome.errorDescription);
    } else if (!outcome.changedElsewhere.isEmpty()) {
        tell(
            extras::texts::changedByOtherStation(outcome.changedElsewhere.size(),
                                                 extras::texts::dateList(outcome.changedElsewhere)),
            ui::style::OKOnly | ui::style::Exclamation);
    }
}

void CalendarExtras::copiarTemporadas() {
    const int target = shownYear();
    const std::optional<QString> answer =
        ui::operatorInterface().inputBox(extras::texts::askSourceYear(target),
                                         extras::texts::copyTitle, QString::number(target - 1));
    if (!answer) {
        return;
    }
    const YearValidation checked = validateYear(*answer);
    if (!checked.year) {
        tell(checked.message, ui::style::OKOnly | ui::style::Exclamation);
        return;
    }
    const int source = *checked.year;
    if (source == target) {
        tell(extras::texts::sameYear(target));
        return;
    }
    extras::CopyPlan plan = extras::planCopy(m_db, source, target);
    if (!plan.targetExists()) {
        if (!offerToCreate({target})) {
            return;
        }
        plan = extras::planCopy(m_db, source, target);
        if (!plan.targetExists()) {
            return; // the creation told the operator why
        }
    }
    if (plan.withoutSource == plan.targetRows) {
        tell(texts::calendarNotCreated(source), ui::style::OKOnly | ui::style::Exclamation);
        return;
    }
    if (plan.changes.isEmpty()) {
        tell(extras::texts::nothingToCopy(source, target));
        return;
    }
    if (ui::operatorInterface().messageBox(
            extras::copyPreview(plan), ui::style::YesNo | ui::style::Question) != ui::reply::Yes) {
        return;
    }
    const extras::HistoryStamp copyStamp = stamp(QStringLiteral("copia"));
    const extras::WriteOutcome outcome = extras::executeCopy(m_db, plan, {}, &copyStamp);
    if (!outcome.stored) {
        tell(extras::texts::copyFailed(target, outcome.errorDescription),
             ui::style::OKOnly | ui::style::Critical);
        return;
    }
    m_history.record(plan.changes);
    repaint();
}

bool CalendarExtras::offerToCreate(const QList<int>& years) {
    auto* crear = m_window.findChild<QPushButton*>(QStringLiteral("CmdCrearCalendario"));
    if (years.isEmpty() || !crear ||
        ui::operatorInterface().messageBox(extras::texts::offerCreateYears(years),
                                           ui::style::YesNo | ui::style::Question) !=
            ui::reply::Yes) {
        return false;
    }
    // The button creates the year the window shows.
    const int shown = shownYear();
    for (const int year : years) {
        if (year != shownYear()) {
            m_window.ArmarAnio(year);
        }
        crear->click();
    }
    if (shownYear() != shown) {
        m_window.ArmarAnio(shown);
    }
    return true;
}

extras::YearSheet CalendarExtras::sheet() {
    const int year = shownYear();
    return {year, paintYear(m_store, year, m_window.colours()), m_window.colours(),
            extras::totalsOf(extras::readYearRows(m_db, year), year)};
}

std::optional<QString> CalendarExtras::askPath(const QString& title, const QString& filter,
                                               const QString& extension) {
    const QString suggested =
        QDir(m_lastFolder).filePath(extras::texts::suggestedFile(shownYear(), extension));
    const std::optional<QString> path = ui::operatorInterface().saveFile(title, filter, suggested);
    if (!path || path->trimmed().isEmpty()) {
        return std::nullopt;
    }
    QString chosen = path->trimmed();
    if (!chosen.endsWith(QLatin1Char('.') + extension, Qt::CaseInsensitive)) {
        chosen += QLatin1Char('.') + extension;
    }
    const QFileInfo file(chosen);
    m_lastFolder = file.absolutePath();
    if (file.exists() &&
        ui::operatorInterface().messageBox(extras::texts::askOverwrite(chosen),
                                           ui::style::YesNo | ui::style::Question |
                                               ui::style::DefaultButton2) != ui::reply::Yes) {
        return std::nullopt;
    }
    return chosen;
}

void CalendarExtras::imprimir() {
    static os::LazyLibrary module(
        os::LazyLibrary::inProgramFolder(QStringLiteral(ESTACIONES_PRINT_MODULE)),
        extras::texts::printFeature, {printSheetEntry});
    if (!module.available()) {
        tell(module.error(), ui::style::OKOnly | ui::style::Exclamation);
        return;
    }
    const auto print = reinterpret_cast<PrintSheetFunction>(module.address(0));
    const int outcome = print(m_window, extras::texts::printDocument(shownYear()),
                              [this](QPainter& painter, const QRectF& page) {
                                  extras::paintYearSheet(painter, page, sheet());
                              });
    if (outcome == static_cast<int>(PrintOutcome::PainterFailed)) {
        tell(extras::texts::printFailed, ui::style::OKOnly | ui::style::Exclamation);
    }
}

void CalendarExtras::guardarPdf() {
    const std::optional<QString> path =
        askPath(extras::texts::pdfTitle, extras::texts::pdfFilter, QStringLiteral("pdf"));
    if (path && !extras::writeYearPdf(*path, sheet())) {
        tell(extras::texts::fileNotWritten(*path), ui::style::OKOnly | ui::style::Exclamation);
    }
}

void CalendarExtras::exportarICalendar() {
    const std::optional<QString> path = askPath(
        extras::texts::iCalendarTitle, extras::texts::iCalendarFilter, QStringLiteral("ics"));
    if (!path) {
        return;
    }
    const int year = shownYear();
    QFile file(*path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(extras::iCalendarOf(extras::readYearRows(m_db, year), year,
                                                        QDateTime::currentDateTimeUtc())) >= 0 &&
                         file.flush();
    if (!written) {
        tell(extras::texts::fileNotWritten(*path), ui::style::OKOnly | ui::style::Exclamation);
    }
}

} // namespace estaciones::calendar::window
