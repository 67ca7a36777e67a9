// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's drawing palette and the 16-colour console palette it starts from.

#include <engine/textruns/Surface.h>

#include <array>

namespace course {

// The 16-colour console palette (0 black … 15 bright white).
Rgb QBColor(int i);
// The desktop's colour for button text (black on ordinary themes).
Rgb buttonTextColor();

struct Palette {
    std::array<Rgb, 16> MyColor{};
    Rgb Blue = RGB(0, 0, 255);
    Rgb Gray = RGB(128, 128, 128);
};

// Fills the palette; `swapRedGray` exchanges entries 7 and 8 (the Hartree window's order).
Palette makePalette(bool swapRedGray);

} // namespace course
