#pragma once

namespace estaciones::lookup::widgets {

// Twips (the suite's unit of length) as pixels: 15 twips a pixel at 96 dpi.
constexpr int pixeles(double twips) {
    return static_cast<int>(twips / 15.0);
}
constexpr int twips(int pixeles) {
    return pixeles * 15;
}

} // namespace estaciones::lookup::widgets
