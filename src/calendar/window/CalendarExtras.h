#pragma once

#include "calendar/SeasonStore.h"
#include "calendar/extras/DayHistory.h"
#include "calendar/extras/DayRange.h"
#include "calendar/extras/MarkHistory.h"

#include <QObject>

#include <optional>

class QAction;
class QComboBox;

namespace estaciones::data {
class DB_Dll;
}

namespace estaciones::calendar::extras {
struct YearSheet;
}

namespace estaciones::calendar::window {

class DayKeyboard;
class LiveYearView;
class R;
class SeasonTotalsLegend;

// The calendar window's additions: Shift+click marks a range, undo and redo
// of the session's marks, the season totals under the season frame, copying
// another year's seasons, printing, the PDF, the iCalendar export and the
// holiday import (HolidayImportFlow.cpp).
//
// A plain click is still R's: it stores its day at once, as always. This
// object only watches it (the code before, the code after) to keep the undo
// history, and takes the Shift+clicks for itself.
class CalendarExtras : public QObject {
    Q_OBJECT
public:
    CalendarExtras(R& window, data::DB_Dll& db);
    ~CalendarExtras() override;

    // Watches the day cells; called once the grid has all its cells.
    void attachToCells();
    // Reads the rows of `year` for painting it, once: the paint, the totals,
    // the days' descriptions and the live check all work from them.
    // `complete` is false when the read failed.
    extras::CalendarRows readYearForPaint(int year, bool& complete);
    // The year on screen was painted again from `rows`: the totals follow.
    void yearPainted(const extras::CalendarRows& rows);
    // The same after a change that did not repaint (a click, the view):
    // the year's rows are read again first.
    void yearPainted();

    // Turns the non-working flag of `date` (of the year shown) over, as a
    // mark of its own: stored at once, undoable.
    void alternarNoLaborable(const QDate& date);
    void verNoLaborables(bool shown);
    // A plain click's write (`store`, true when stored) with the day's
    // history row, in one transaction.
    bool storeClick(const QDate& date, const std::function<bool()>& store);
    // The day's changes, newest first, in a message.
    void mostrarHistorial(const QDate& date);

    void deshacer();
    void rehacer();
    void copiarTemporadas();
    void imprimir();
    void guardarPdf();
    void exportarICalendar();
    // Asks for an iCalendar file, offers to create the years it names that
    // have no calendar, previews what changes per year and, once confirmed,
    // stores it as one undoable mark.
    void importarFestivos();

    const extras::MarkHistory& history() const { return m_history; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbar();
    // "Ver": how the grid shows the days.
    void buildViewMenu();
    void placeLegend();
    std::optional<QDate> dateOfCell(const QObject& cell) const;
    int shownYear() const;
    // Marks from `from` to `to` with the chosen season or non-working
    // state; `firstDayMarked` when a click on `from` marked it already.
    void markRange(const QDate& from, const QDate& to, bool firstDayMarked);
    // What a plain click on `date` starts: the code before it, kept for the
    // undo history, and the anchor of a Shift+click range.
    void beginPlainClick(const QDate& date);
    // Says in the status bar which of `dates` hold (in `now`, read just
    // before a mark) what the window has not shown yet: another station's
    // change the mark replaces.
    void tellOverwritten(const extras::CalendarRows& now, const QList<QDate>& dates);
    // Whether a live check must wait: a range, a button or a dialog under way.
    bool operatorBusy() const;
    extras::HistoryStamp stamp(const QString& origin) const;
    void showChangedElsewhere(const QList<QDate>& changed);
    void markDayByKey(const QDate& date);
    // The day's menu: its non-working flag (and what else a day offers).
    void showDayMenu(const QDate& date, const QPoint& globalPos);
    // Stores a mark made of `changes` as one undoable step and repaints;
    // tells the operator what could not be stored.
    void storeMark(const QList<extras::DayChange>& changes);
    void afterPlainClick();
    void refreshActions();
    void repaint();
    extras::YearSheet sheet();
    // Asks where to save (the folder of the last file saved first), adds the
    // extension when missing and asks before replacing a file.
    std::optional<QString> askPath(const QString& title, const QString& filter,
                                   const QString& extension);
    // Offers Crear Calendario for `years` and runs it for each when the
    // operator accepts; the year shown stays. False when not accepted.
    bool offerToCreate(const QList<int>& years);
    // Tells the operator what an undo or redo could not do.
    void tellOutcome(const extras::WriteOutcome& outcome);

    R& m_window;
    data::DB_Dll& m_db;
    SeasonStore m_store;
    extras::MarkHistory m_history;
    std::optional<QDate> m_anchor;
    // The plain click under way: its day and the code stored before it.
    using StoredValue = std::optional<QString>;
    std::optional<std::pair<QDate, StoredValue>> m_pendingClick;
    bool m_attached = false;
    // How the next undo or redo is recorded in the history.
    QString m_undoOrigin;
    // Where the last file was saved, for the next file dialog.
    QString m_lastFolder;

    SeasonTotalsLegend* m_legend = nullptr;
    QAction* m_deshacer = nullptr;
    QAction* m_rehacer = nullptr;
    QComboBox* m_filtro = nullptr;
    QAction* m_verNoLaborables = nullptr;
    DayKeyboard* m_keyboard = nullptr;
    LiveYearView* m_live = nullptr;
};

} // namespace estaciones::calendar::window
