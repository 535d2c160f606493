#pragma once

#include "calendar/Season.h"

#include <QRadioButton>

#include <optional>

namespace estaciones::calendar::window {

// A day cell: an option button whose whole face shows its season's colour.
// It paints its face itself: a palette colour only tints the indicator under
// some styles (Fusion among them), and a style sheet per cell made building
// and repainting the 504 cells of a year the dearest part of the start-up.
// The face is the one a style sheet gave it (background, number, dashed
// frame of a non-working day, solid frame of the focused day, the hidden
// indicator), pixel for pixel.
class DayCell : public QRadioButton {
public:
    explicit DayCell(QWidget* parent = nullptr);

    // Paints the face in `colour` (the suite's value), the number in black or
    // white by the colour's luminance; nothing changes when it already has it.
    void setBackground(BgrColour colour);
    std::optional<BgrColour> background() const { return m_background; }

    // A non-working day shown as such: a dashed frame in the number's
    // colour, so that the season's colour still fills the face.
    void setNonWorkingShown(bool shown);
    bool nonWorkingShown() const { return m_nonWorkingShown; }
    // A day of the range being selected with the keyboard.
    void setSelectedShown(bool shown);
    bool selectedShown() const { return m_selectedShown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:

    std::optional<BgrColour> m_background;
    bool m_nonWorkingShown = false;
    bool m_selectedShown = false;
};

// Gives any button the face colour `colour` (the season buttons OptTemp),
// with its caption in black or white, whichever reads on it.
void paintButtonFace(QWidget& button, BgrColour colour);

} // namespace estaciones::calendar::window
