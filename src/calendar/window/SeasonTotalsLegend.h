#pragma once

#include "calendar/extras/SeasonTotals.h"

#include <QLabel>

namespace estaciones::calendar::window {

// The legend under the season frame: a colour square and the days of each
// season in the year shown, then the days without season, without calendar
// and the non-working days.
class SeasonTotalsLegend : public QLabel {
public:
    explicit SeasonTotalsLegend(QWidget* parent = nullptr);

    void show(const extras::SeasonTotals& totals, const SeasonColours& colours);
    const extras::SeasonTotals& totals() const { return m_totals; }
    // The legend's lines as plain text (what the operator reads).
    QString plainText() const;

private:
    extras::SeasonTotals m_totals;
};

} // namespace estaciones::calendar::window
