#include "calendar/window/DayCell.h"

#include "calendar/BgrColour.h"
#include "calendar/TextContrast.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace estaciones::calendar::window {

namespace {
constexpr int nonWorkingFrameWidth = 2;
constexpr int focusFrameWidth = 3;

// The dashed frame of a non-working day: each edge a dashed line of the
// frame's width along the middle of its strip, one pixel in from the corners.
void drawDashedFrame(QPainter& painter, const QRect& rect, const QColor& colour) {
    const qreal w = rect.width();
    const qreal h = rect.height();
    const qreal half = nonWorkingFrameWidth / 2.0;
    painter.save();
    painter.setPen(QPen(colour, nonWorkingFrameWidth, Qt::DashLine, Qt::FlatCap));
    painter.drawLine(QLineF(half, half, w - half, half));
    painter.drawLine(QLineF(half, h - half, w - half, h - half));
    painter.drawLine(QLineF(half, half, half, h - half));
    painter.drawLine(QLineF(w - half, half, w - half, h - half));
    painter.restore();
}

void drawSolidFrame(QPainter& painter, const QRect& rect, const QColor& colour) {
    const int f = focusFrameWidth;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), f), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom() - f + 1, rect.width(), f), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), f, rect.height()), colour);
    painter.fillRect(QRect(rect.right() - f + 1, rect.top(), f, rect.height()), colour);
}
} // namespace

DayCell::DayCell(QWidget* parent) : QRadioButton(parent) {
    // Each cell is its own option: the month's cells must not uncheck each
    // other, and the program unchecks a clicked cell itself.
    setAutoExclusive(false);
    setFocusPolicy(Qt::NoFocus);
}

void DayCell::setBackground(BgrColour colour) {
    if (m_background == colour) {
        return;
    }
    m_background = colour;
    update();
}

void DayCell::setNonWorkingShown(bool shown) {
    if (m_nonWorkingShown == shown) {
        return;
    }
    m_nonWorkingShown = shown;
    update();
}

void DayCell::setSelectedShown(bool shown) {
    if (m_selectedShown == shown) {
        return;
    }
    m_selectedShown = shown;
    update();
}

void DayCell::paintEvent(QPaintEvent* event) {
    if (!m_background) {
        // Not painted with a season yet: a plain option button.
        QRadioButton::paintEvent(event);
        return;
    }
    // The day number in black or white, whichever reads on the season's
    // colour. A selected day (Shift+arrows) swaps the two for as long as the
    // selection lasts; the focused day gets a solid frame in the number's
    // colour, a non-working one a dashed one in the readable colour.
    const QColor face = toQColor(*m_background);
    const QColor readable = readableTextColour(face);
    const QColor background = m_selectedShown ? readable : face;
    const QColor number = m_selectedShown ? face : readable;

    QPainter painter(this);
    painter.fillRect(rect(), background);
    int frame = 0;
    if (hasFocus()) {
        frame = focusFrameWidth;
        drawSolidFrame(painter, rect(), number);
    } else if (m_nonWorkingShown) {
        frame = nonWorkingFrameWidth;
        drawDashedFrame(painter, rect(), readable);
    }
    QRect contents = rect().adjusted(frame, frame, -frame, -frame);

    QStyleOptionButton option;
    initStyleOption(&option);
    // The indicator is hidden (no size): the cell's value is reset after every
    // click and the colour alone tells the season. The style still marks its
    // place with a dot in the face's shade, which stays part of the face.
    QStyleOptionButton indicator = option;
    indicator.rect = QRect(contents.left(), contents.top() + contents.height() / 2, 0, 0);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
        indicator.palette.setColor(role, background);
    }
    style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &indicator, &painter, this);

    contents.setLeft(contents.left() +
                     style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this));
    // The number keeps its colour on a cell without a day (disabled) too.
    painter.setPen(number);
    style()->drawItemText(&painter, contents, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                          option.palette, true, text(), QPalette::NoRole);
}

void paintButtonFace(QWidget& button, BgrColour colour) {
    const QColor face = toQColor(colour);
    button.setStyleSheet(QStringLiteral("background-color: %1; color: %2;")
                             .arg(face.name(), readableTextColour(face).name()));
}

} // namespace estaciones::calendar::window
