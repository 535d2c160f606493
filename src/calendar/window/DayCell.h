#pragma once

#include "calendar/Season.h"

#include <QRadioButton>

#include <optional>

namespace estaciones::calendar::window {

// A day cell: an option button whose whole face shows its season's colour.
// The colour goes through a style sheet because a palette colour only tints
// the indicator under some styles (Fusion among them).
class DayCell : public QRadioButton {
public:
    explicit DayCell(QWidget* parent = nullptr);

    // Paints the face in `colour` (the suite's value), the number in black or
    // white by the colour's luminance; nothing changes when it already has it.
    void setBackground(BgrColour colour);
    std::optional<BgrColour> background() const { return m_background; }

private:
    std::optional<BgrColour> m_background;
};

// Gives any button the face colour `colour` (the season buttons OptTemp),
// with its caption in black or white, whichever reads on it.
void paintButtonFace(QWidget& button, BgrColour colour);

} // namespace estaciones::calendar::window
