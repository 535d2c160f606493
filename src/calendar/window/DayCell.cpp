#include "calendar/window/DayCell.h"

#include "calendar/BgrColour.h"
#include "calendar/TextContrast.h"

namespace estaciones::calendar::window {

namespace {
// The indicator is hidden: the cell's value is reset after every click, the
// colour alone tells the season.
// The day number in black or white, whichever reads on the season's colour.
// A selected day (Shift+arrows) swaps the two for as long as the selection
// lasts; the focused day gets a solid frame, a non-working one a dashed one.
QString faceStyle(BgrColour colour, bool nonWorking, bool selected) {
    const QColor face = toQColor(colour);
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
    applyStyle();
}

void DayCell::setNonWorkingShown(bool shown) {
    if (m_nonWorkingShown == shown) {
        return;
    }
    m_nonWorkingShown = shown;
    applyStyle();
}

void DayCell::setSelectedShown(bool shown) {
    if (m_selectedShown == shown) {
        return;
    }
    m_selectedShown = shown;
    applyStyle();
}

void DayCell::applyStyle() {
    if (m_background) {
        setStyleSheet(faceStyle(*m_background, m_nonWorkingShown, m_selectedShown));
    }
}

void paintButtonFace(QWidget& button, BgrColour colour) {
    const QColor face = toQColor(colour);
    button.setStyleSheet(QStringLiteral("background-color: %1; color: %2;")
                             .arg(face.name(), readableTextColour(face).name()));
}

} // namespace estaciones::calendar::window
