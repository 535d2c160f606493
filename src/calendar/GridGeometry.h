#pragma once

#include "calendar/MonthGrid.h"

#include <QPoint>
#include <QSize>

#include <array>

namespace estaciones::calendar {

// Positions in twips (1/1440 inch), as the month frames are laid out.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where ArmarGrilla puts the cells of a month, from cell 0: seven to a row;
// the horizontal pitch is the cell width without a gap, the vertical pitch the
// cell height plus 2 twips.
std::array<TwipsRect, CellsPerMonth> cellRects(const TwipsRect& cell0);

// Headers 1..6 keep header 0's top and take the left of the cell below them.
std::array<TwipsRect, DaysPerWeek> headerRects(const TwipsRect& header0, const TwipsRect& cell0);

// Twips to pixels: 15 twips a pixel at 96 dots per inch, scaled with the
// screen's logical dpi; rounded to the nearest pixel.
int twipsToPixels(int twips, double logicalDpi = 96.0);
QPoint twipsToPixels(int left, int top, double logicalDpi = 96.0);
QSize twipsToPixels(QSize twips, double logicalDpi = 96.0);

} // namespace estaciones::calendar
