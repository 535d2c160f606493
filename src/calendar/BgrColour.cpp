#include "calendar/BgrColour.h"

#include <QGuiApplication>
#include <QPalette>

namespace estaciones::calendar {

namespace {
constexpr BgrColour SystemColourFlag = 0x80000000u;

// The system colour indexes the suite uses, mapped to the palette's roles.
QPalette::ColorRole paletteRole(unsigned index) {
    switch (index) {
    case 0x05: // window background
        return QPalette::Base;
    case 0x08: // window text
        return QPalette::WindowText;
    case 0x12: // button text
        return QPalette::ButtonText;
    case 0x0F: // button face
    default:
        return QPalette::Button;
    }
}
} // namespace

QColor toQColor(BgrColour value) {
    if (value & SystemColourFlag) {
        return QGuiApplication::palette().color(paletteRole(value & 0xFFu));
    }
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

BgrColour toBgr(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<BgrColour>(rgb.red()) | (static_cast<BgrColour>(rgb.green()) << 8) |
           (static_cast<BgrColour>(rgb.blue()) << 16);
}

} // namespace estaciones::calendar
