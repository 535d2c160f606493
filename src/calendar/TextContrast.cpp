#include "calendar/TextContrast.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace estaciones::calendar {

namespace {
double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

qreal widest(const QFont& font, const QStringList& captions) {
    const QFontMetricsF metrics(font);
    qreal width = 0;
    for (const QString& caption : captions) {
        width = std::max(width, metrics.horizontalAdvance(caption));
    }
    return width;
}
} // namespace

double relativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableTextColour(const QColor& background) {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

QFont fontFitting(QFont font, const QStringList& captions, qreal width) {
    // The twelve month frames ask the same question in turn, and each answer
    // measures every caption at every size it tries: the last one is kept.
    struct Answer {
        QFont font;
        QStringList captions;
        qreal width = 0;
        QFont fitting;
    };
    static std::optional<Answer> last;
    if (last && last->font == font && last->width == width && last->captions == captions) {
        return last->fitting;
    }
    const QFont asked = font;
    // Steps of one pixel or half a point, down to sizes still legible: the
    // first size of that descent whose captions fit. Each size measured loads
    // a font of its own, so the descent is not walked: widths grow with the
    // size, the step a proportional estimate points at is measured, then its
    // neighbours until the first fitting size of the descent is found.
    const bool pixels = font.pixelSize() > 0;
    const qreal size = pixels ? font.pixelSize() : font.pointSizeF();
    const qreal step = pixels ? 1.0 : 0.5;
    const qreal smallest = pixels ? 6 : 5.0;
    // Steps of the descent: it stops at the first size at or below the
    // smallest, fitting or not.
    const int lastStep = size <= smallest ? 0 : int(std::ceil((size - smallest) / step));
    const auto sized = [&](int steps) {
        QFont f = font;
        const qreal s = size - steps * step;
        if (pixels) {
            f.setPixelSize(int(s));
        } else {
            f.setPointSizeF(s);
        }
        return steps == 0 ? font : f;
    };
    const auto fits = [&](int steps) { return widest(sized(steps), captions) <= width; };
    const qreal full = widest(font, captions);
    if (full <= width || lastStep == 0) {
        last = Answer{asked, captions, width, font};
        return font;
    }
    const qreal estimate = size * width / full;
    int steps = std::clamp(int(std::ceil((size - estimate) / step)), 1, lastStep);
    if (fits(steps)) {
        while (steps > 1 && fits(steps - 1)) {
            --steps;
        }
    } else {
        while (steps < lastStep && !fits(++steps)) {
        }
    }
    font = sized(steps);
    last = Answer{asked, captions, width, font};
    return font;
}

} // namespace estaciones::calendar
