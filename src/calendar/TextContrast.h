#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>

namespace estaciones::calendar {

// Relative luminance of a colour (sRGB, as the WCAG define it): 0 black, 1 white.
double relativeLuminance(const QColor& colour);

// Contrast ratio of two colours, 1 (none) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever stands out more on `background`. The better of
// the two always reaches a contrast of 4.5:1 or more.
QColor readableTextColour(const QColor& background);

// `font`, made smaller when needed, so that every one of `captions` fits in
// `width` (in the units of the font's metrics: pixels on the paint device).
QFont fontFitting(QFont font, const QStringList& captions, qreal width);

} // namespace estaciones::calendar
