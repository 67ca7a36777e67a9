// SPDX-License-Identifier: GPL-3.0-or-later
// Device-context text: runs of Symbol byte codes at integer pixel positions, measured
// as whole pixels, optionally turned (the pieces of large operators and braces).

#include <engine/formula/Typesetter.h>

#include <engine/formula/FontNames.h>

#include <algorithm>

namespace course {

void Typesetter::gdiTextExt(Surface& g, int x, int y, const QString& code, int n, QSize& ext, bool draw) {
    const QString s = code.left(std::max(0, n));
    const QSizeF m = g.deviceText(x, y, s, draw);
    ext = QSize(nint(m.width()), nint(m.height()));
}

void Typesetter::gdiText(Surface& g, int& x, int y, const QString& code, int n) {
    QSize ext;
    gdiTextExt(g, x, y, code, n, ext, true);
    x += ext.width();
}

void Typesetter::gdiRotText(Surface& g, int& x, int y, const QString& code, int n, int angle) {
    // A plain font of the surface's face: weight and slant are not carried over.
    SavedFont keep(g);
    g.FontBold = false;
    g.FontItalic = false;
    const QString s = code.left(std::max(0, n));
    const QSizeF m = g.deviceText(x, y, s, true, angle);
    x += nint(m.width());
}

} // namespace course
