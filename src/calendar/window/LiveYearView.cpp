#include "calendar/window/LiveYearView.h"

namespace estaciones::calendar::window {

namespace {
constexpr int checkIntervalMs = 1000;
} // namespace

LiveYearView::LiveYearView(QObject& parent, db::Connection& connection, Hooks hooks)
    : QObject(&parent), m_probe(connection), m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("LiveYearView"));
    m_timer.setInterval(checkIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &LiveYearView::check);
    m_timer.start();
}

void LiveYearView::beforeRead(int year) {
    m_pendingToken = m_probe.token(year);
}

void LiveYearView::painted(int year, const extras::CalendarRows& rows) {
    m_year = year;
    m_shown = rows;
    m_token = m_pendingToken;
}

void LiveYearView::check() {
    if (m_year == 0 || m_year != m_hooks.shownYear() || m_hooks.busy()) {
        return;
    }
    const std::optional<QString> token = m_probe.token(m_year);
    if (!token || token == m_token) {
        return;
    }
    const extras::CalendarRows now = m_hooks.readYear(m_year);
    const QList<QDate> changed = extras::changedDays(m_shown, now, m_year);
    m_token = token;
    m_shown = now;
    if (!changed.isEmpty()) {
        m_hooks.changedElsewhere(changed);
    }
}

} // namespace estaciones::calendar::window
