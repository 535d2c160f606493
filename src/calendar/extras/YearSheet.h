#pragma once

#include "calendar/YearPaint.h"
#include "calendar/extras/SeasonTotals.h"

#include <QRectF>

class QPainter;

namespace estaciones::calendar::extras {

// A year as the window shows it, for paper: the twelve months in three rows of
// four, each day in its season's colour, and the legend with the totals.
struct YearSheet {
    int year = 0;
    YearPaint paint{};
    SeasonColours colours;
    SeasonTotals totals;
};

// Paints the sheet into `area` of any paint device (printer, PDF, image).
void paintYearSheet(QPainter& painter, const QRectF& area, const YearSheet& sheet);

// Writes the sheet as a one-page A4 landscape PDF. False when the file cannot
// be written.
bool writeYearPdf(const QString& path, const YearSheet& sheet);

} // namespace estaciones::calendar::extras
