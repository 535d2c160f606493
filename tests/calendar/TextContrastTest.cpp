#include "calendar/TextContrast.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

namespace estaciones::calendar {
namespace {

TEST(TextContrast, shouldMeasureContrastAsTheWcagDo) {
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::white, Qt::white), 1.0);
    // #767676 is the lightest grey that passes 4.5:1 on white; #777777 fails.
    EXPECT_GE(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.5);
    EXPECT_LT(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.5);
}

TEST(TextContrast, shouldPickATextColourOfAtLeast4_5ToOneOnEveryBackground) {
    for (int r = 0; r <= 255; r += 15) {
        for (int g = 0; g <= 255; g += 15) {
            for (int b = 0; b <= 255; b += 15) {
                const QColor background(r, g, b);
                const QColor text = readableTextColour(background);
                EXPECT_GE(contrastRatio(text, background), 4.5) << r << "," << g << "," << b;
            }
        }
    }
    EXPECT_EQ(readableTextColour(QColor(0, 0, 128)), QColor(Qt::white)); // BAJA as #000080
    EXPECT_EQ(readableTextColour(QColor(0, 255, 0)), QColor(Qt::black)); // the default BAJA
    EXPECT_EQ(readableTextColour(QColor(255, 0, 0)), QColor(Qt::black)); // the default ESPECIAL
}

TEST(TextContrast, shouldShrinkAFontUntilEveryCaptionFits) {
    QFont font;
    font.setPixelSize(40);
    const QStringList captions = {"Dóm", "Mie"};
    const QFont fitted = fontFitting(font, captions, 30);
    EXPECT_LT(fitted.pixelSize(), 40);
    for (const QString& caption : captions) {
        EXPECT_LE(QFontMetricsF(fitted).horizontalAdvance(caption), 30);
    }
    EXPECT_EQ(fontFitting(font, captions, 1000).pixelSize(), 40);
    // Asked again, and with only the captions changed: each its own answer.
    EXPECT_EQ(fontFitting(font, captions, 30), fitted);
    EXPECT_EQ(fontFitting(font, {"i"}, 30).pixelSize(), 40);
    QFont bigger = font;
    bigger.setPixelSize(60);
    const QFont fittedBigger = fontFitting(bigger, captions, 30);
    EXPECT_LT(fittedBigger.pixelSize(), 60);
    EXPECT_LE(QFontMetricsF(fittedBigger).horizontalAdvance(captions[0]), 30);
}

// The size is the first of the descent by one pixel (or half a point) whose
// captions fit, however few sizes are measured to find it.
TEST(TextContrast, shouldFindTheFirstFittingSizeOfTheDescent) {
    const QStringList captions = {"Dom", "Lun", "Mié", "Sáb"};
    const auto walked = [&](QFont font, qreal width) {
        while (QFontMetricsF(font).horizontalAdvance(captions[0]) > width ||
               QFontMetricsF(font).horizontalAdvance(captions[1]) > width ||
               QFontMetricsF(font).horizontalAdvance(captions[2]) > width ||
               QFontMetricsF(font).horizontalAdvance(captions[3]) > width) {
            if (font.pixelSize() > 0) {
                if (font.pixelSize() <= 6)
                    break;
                font.setPixelSize(font.pixelSize() - 1);
            } else {
                if (font.pointSizeF() <= 5.0)
                    break;
                font.setPointSizeF(font.pointSizeF() - 0.5);
            }
        }
        return font;
    };
    QFont pixels;
    pixels.setPixelSize(31);
    QFont points;
    points.setPointSizeF(13.2);
    for (const QFont& font : {pixels, points}) {
        for (const qreal width : {1.0, 9.0, 14.5, 21.0, 30.0, 44.0, 400.0}) {
            const QFont expected = walked(font, width);
            const QFont fitted = fontFitting(font, captions, width);
            EXPECT_EQ(fitted.pixelSize(), expected.pixelSize()) << width;
            EXPECT_DOUBLE_EQ(fitted.pointSizeF(), expected.pointSizeF()) << width;
        }
    }
}

} // namespace
} // namespace estaciones::calendar
