#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace estaciones::calendar {

// A colour as the suite stores it: 0x00BBGGRR (red in the lowest byte).
using BgrColour = std::uint32_t;

// One of the four seasons, in the order of the OptTemp buttons.
struct Season {
    int index;            // OptTemp / CmdColor index
    QString caption;      // "BAJA", ...
    QString code;         // MA_CALENDARIO.Temporada: "BA", ...
    QString colourKey;    // configuration key of its colour
    QString defaultValue; // written when the key holds no value
};

constexpr int SeasonCount = 4;

// BA, ME, AL, ES: the order of the buttons, of the colour variables and of
// every loop over the seasons.
const std::array<Season, SeasonCount>& seasons();

// The season whose code is `code` (compared ignoring case and trailing
// blanks, as the database compares it), if any.
std::optional<int> seasonIndexOfCode(const QString& code);

// Whether two codes are equal as the database compares them.
bool sameSeasonCode(const QString& a, const QString& b);

// The window's four colour variables: ColorBaja, ColorMedia, ColorAlta,
// ColorEspecial.
struct SeasonColours {
    std::array<BgrColour, SeasonCount> colour{};

    BgrColour& ColorBaja() { return colour[0]; }
    BgrColour& ColorMedia() { return colour[1]; }
    BgrColour& ColorAlta() { return colour[2]; }
    BgrColour& ColorEspecial() { return colour[3]; }

    // The colour a stored code paints in: the empty code is low season; an
    // unknown code gives nothing, so the cell keeps the colour it had.
    std::optional<BgrColour> colourOfCode(const QString& code) const;

    friend bool operator==(const SeasonColours&, const SeasonColours&) = default;
};

} // namespace estaciones::calendar
