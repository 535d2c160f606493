// A day cell paints its own face. It must look exactly as the option button
// styled by the style sheet that used to give cells their colour: every
// pixel of a grab, in every state a cell shows (season colour, no day,
// non-working frame, keyboard selection, focus), at two cell sizes.
#include "calendar/BgrColour.h"
#include "calendar/TextContrast.h"
#include "calendar/window/DayCell.h"

#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace estaciones::calendar::window {
namespace {

// The style sheet a cell used to carry.
QString styledFace(const QColor& face, bool nonWorking, bool selected) {
    const QString text = readableTextColour(face).name();
    const QString frame =
        nonWorking ? QStringLiteral(" border: 2px dashed %1;").arg(text) : QString();
    const QString background = selected ? text : face.name();
    const QString number = selected ? face.name() : text;
    return QStringLiteral("QRadioButton { background-color: %1; color: %2;%3 }"
                          " QRadioButton:focus { border: 3px solid %4; }"
                          " QRadioButton::indicator { width: 0px; height: 0px; }")
        .arg(background, number, frame, number);
}

struct FaceCase {
    BgrColour colour;
    QString caption;
    bool enabled;
    bool nonWorking;
    bool selected;
    bool focused;
    QSize size;
};

QString describe(const FaceCase& c) {
    return QStringLiteral("colour %1 \"%2\" %3x%4%5%6%7%8")
        .arg(c.colour, 0, 16)
        .arg(c.caption)
        .arg(c.size.width())
        .arg(c.size.height())
        .arg(c.enabled ? QString() : QStringLiteral(" disabled"))
        .arg(c.nonWorking ? QStringLiteral(" non-working") : QString())
        .arg(c.selected ? QStringLiteral(" selected") : QString())
        .arg(c.focused ? QStringLiteral(" focused") : QString());
}

class DayCellFace : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 100);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Grab of `widget` set up as the case says, on the same window.
    QImage grabbed(QRadioButton& widget, const FaceCase& c) {
        QFont bold = widget.font();
        bold.setBold(true);
        widget.setFont(bold);
        widget.setText(c.caption);
        widget.setGeometry(QRect(QPoint(10, 10), c.size));
        widget.setEnabled(c.enabled);
        widget.setFocusPolicy(c.focused ? Qt::TabFocus : Qt::NoFocus);
        widget.show();
        if (c.focused) {
            widget.setFocus(Qt::OtherFocusReason);
            EXPECT_TRUE(widget.hasFocus()) << describe(c).toStdString();
        }
        const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
        widget.hide();
        return image;
    }

    QWidget window;
};

TEST_F(DayCellFace, shouldMatchTheStyledButtonPixelForPixelInEveryState) {
    const BgrColour colours[] = {0x0000FF00, 0x0000FFFF, 0x00FFFF00, 0x000000FF,
                                 0x00800000, ButtonFace};
    int compared = 0;
    for (const BgrColour colour : colours) {
        for (const QSize size : {QSize(25, 18), QSize(30, 21)}) {
            for (const QString& caption : {QStringLiteral("."), QStringLiteral("7"),
                                           QStringLiteral("31")}) {
                for (int state = 0; state < 16; ++state) {
                    const FaceCase c{colour,       caption,      (state & 1) != 0,
                                     (state & 2) != 0, (state & 4) != 0, (state & 8) != 0,
                                     size};
                    if (c.focused && !c.enabled) {
                        continue; // a disabled cell never takes the focus
                    }
                    QRadioButton styled(&window);
                    styled.setAutoExclusive(false);
                    styled.setStyleSheet(styledFace(toQColor(colour), c.nonWorking, c.selected));
                    DayCell cell(&window);
                    cell.setBackground(colour);
                    cell.setNonWorkingShown(c.nonWorking);
                    cell.setSelectedShown(c.selected);

                    const QImage expected = grabbed(styled, c);
                    const QImage painted = grabbed(cell, c);
                    ASSERT_EQ(painted.size(), expected.size()) << describe(c).toStdString();
                    EXPECT_TRUE(painted == expected) << describe(c).toStdString();
                    ++compared;
                }
            }
        }
    }
    EXPECT_EQ(compared, 6 * 2 * 3 * 12);
}

TEST_F(DayCellFace, shouldRepaintWhenItsColourOrFrameChanges) {
    DayCell cell(&window);
    const FaceCase plain{0x0000FF00, QStringLiteral("5"), true, false, false, false, {25, 18}};
    cell.setBackground(plain.colour);
    const QImage green = grabbed(cell, plain);
    cell.setBackground(0x000000FF);
    const QImage red = grabbed(cell, plain);
    EXPECT_FALSE(green == red);
    EXPECT_EQ(red.pixelColor(20, 3), QColor(255, 0, 0));
    cell.setNonWorkingShown(true);
    const QImage framed = grabbed(cell, plain);
    EXPECT_FALSE(framed == red);
    cell.setNonWorkingShown(false);
    EXPECT_TRUE(grabbed(cell, plain) == red);
}

} // namespace
} // namespace estaciones::calendar::window
