#pragma once

#include "calendar/extras/CalendarRows.h"
#include "calendar/extras/ChangeProbe.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace estaciones::calendar::window {

// The year on screen kept up with the other stations: once a second a cheap
// check (ChangeProbe) asks whether anything changed; only then is the year
// read again, compared with what the window shows, and repainted when days
// differ. No check runs while `busy` says the operator is in the middle of
// something (a range being selected, a button held, a dialog open).
class LiveYearView : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> busy;
        std::function<extras::CalendarRows(int year)> readYear;
        // Days of the year shown that another station changed: repaint them.
        std::function<void(const QList<QDate>& changed)> changedElsewhere;
        std::function<int()> shownYear;
    };

    LiveYearView(QObject& parent, db::Connection& connection, Hooks hooks);

    // The window painted `rows` for `year`: the check starts from here.
    // Call `beforeRead` with the year before reading its rows, so that a
    // change made between the check and the read is seen by the next check.
    void beforeRead(int year);
    void painted(int year, const extras::CalendarRows& rows);

    // The rows as the window shows them (what a click compares with).
    const extras::CalendarRows& shownRows() const { return m_shown; }

    // Runs one check now (the timer's step).
    void check();

private:
    extras::ChangeProbe m_probe;
    Hooks m_hooks;
    QTimer m_timer;
    std::optional<QString> m_token;
    std::optional<QString> m_pendingToken;
    extras::CalendarRows m_shown;
    int m_year = 0;
};

} // namespace estaciones::calendar::window
