// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layout conventions every page, window and export shares: positions are logical
// pixels at 96 dpi; window designs are in twips; fonts are sized in points.

#include <QImage>
#include <QSize>

#include <cmath>

namespace course::units {

inline constexpr double kLogicalDpi = 96.0;
inline constexpr int kDotsPerMetre = 3780; // 96 dpi
inline constexpr int kTwipsPerPixel = 15;
inline constexpr double kPointsPerPixel = 72.0 / kLogicalDpi;
inline constexpr double kPixelsPerPoint = kLogicalDpi / 72.0;

// An image of `logical` pixels at device pixel ratio `dpr` whose resolution is 96 dpi
// per logical pixel, so that fonts laid out at 96 dpi keep their size on it.
inline QImage imageAt(QSize logical, double dpr, QImage::Format format = QImage::Format_RGB32) {
    QImage img(QSize(std::lround(logical.width() * dpr), std::lround(logical.height() * dpr)), format);
    img.setDevicePixelRatio(dpr);
    img.setDotsPerMeterX(std::lround(kDotsPerMetre * dpr));
    img.setDotsPerMeterY(std::lround(kDotsPerMetre * dpr));
    return img;
}

// The device all layout is measured on, whatever a page is shown on: 96 dpi.
inline const QImage& referenceDevice() {
    static const QImage img = imageAt(QSize(1, 1), 1.0);
    return img;
}

// Lines of an odd width are moved by half a pixel so that they cover whole pixels,
// as a one-pixel line between pixel centres would not.
inline double lineOffset(int width) { return (width % 2) ? 0.5 : 0.0; }

} // namespace course::units
