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
    // Steps of one pixel or half a point, down to sizes still legible.
    constexpr int smallestPixels = 6;
    constexpr qreal smallestPoints = 5.0;
    while (widest(font, captions) > width) {
        if (font.pixelSize() > 0) {
            if (font.pixelSize() <= smallestPixels) {
                break;
            }
            font.setPixelSize(font.pixelSize() - 1);
        } else {
            if (font.pointSizeF() <= smallestPoints) {
                break;
            }
            font.setPointSizeF(font.pointSizeF() - 0.5);
        }
    }
    last = Answer{asked, captions, width, font};
    return font;
}

} // namespace estaciones::calendar
