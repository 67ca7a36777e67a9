// SPDX-License-Identifier: GPL-3.0-or-later
// Mapping of plot coordinates to the surface of brindle's live page: the
// visible window is x from -1 to 4.2 and y from -10 (bottom) to +10 (top).
#pragma once

namespace brindle {

// Surface abscissa of plot x: (x + 1)/5.2 * ScaleWidth.
double px(double x, double scaleWidth);

// Surface ordinate of plot y (y grows upwards): (10 - y)/20 * ScaleHeight.
double py(double y, double scaleHeight);

} // namespace brindle
