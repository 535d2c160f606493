#include "calendar/GridGeometry.h"

#include <cmath>

namespace estaciones::calendar {

std::array<TwipsRect, CellsPerMonth> cellRects(const TwipsRect& cell0) {
    std::array<TwipsRect, CellsPerMonth> rects{};
    rects[0] = cell0;
    int column = 1;
    int top = cell0.top;
    int left = cell0.left;
    for (int k = 1; k < CellsPerMonth; ++k) {
        if (column == DaysPerWeek) {
            top += cell0.height + 2;
            left = cell0.left;
            column = 0;
        } else {
            left += cell0.width;
        }
        rects[static_cast<std::size_t>(k)] = TwipsRect{left, top, cell0.width, cell0.height};
        ++column;
    }
    return rects;
}

std::array<TwipsRect, DaysPerWeek> headerRects(const TwipsRect& header0, const TwipsRect& cell0) {
    const auto cells = cellRects(cell0);
    std::array<TwipsRect, DaysPerWeek> rects{};
    for (std::size_t z = 0; z < rects.size(); ++z) {
        rects[z] = header0;
        if (z > 0) {
            rects[z].left = cells[z].left;
        }
    }
    return rects;
}

int twipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

QPoint twipsToPixels(int left, int top, double logicalDpi) {
    return {twipsToPixels(left, logicalDpi), twipsToPixels(top, logicalDpi)};
}

QSize twipsToPixels(QSize twips, double logicalDpi) {
    return {twipsToPixels(twips.width(), logicalDpi), twipsToPixels(twips.height(), logicalDpi)};
}

} // namespace estaciones::calendar
