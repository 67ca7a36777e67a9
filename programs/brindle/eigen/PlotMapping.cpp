// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/PlotMapping.h>

namespace brindle {

double px(double x, double scaleWidth) { return (x + 1.0) / 5.2 * scaleWidth; }

double py(double y, double scaleHeight) { return (10.0 - y) / 20.0 * scaleHeight; }

} // namespace brindle
