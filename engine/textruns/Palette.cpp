// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/textruns/Palette.h>

#include <QGuiApplication>
#include <QPalette>

namespace course {

Rgb QBColor(int i) {
    static const Rgb table[16] = {
        RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
        RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
        RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255),
    };
    return table[i & 15];
}

Rgb buttonTextColor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QColor c = QGuiApplication::palette().color(QPalette::ButtonText);
        return RGB(c.red(), c.green(), c.blue());
    }
    return RGB(0, 0, 0);
}

Palette makePalette(bool swapRedGray) {
    Palette p;
    for (int i = 0; i < 16; ++i)
        p.MyColor[i] = QBColor(i);
    p.MyColor[0] = buttonTextColor();
    p.MyColor[1] = RGB(0, 0, 255);
    p.MyColor[2] = RGB(0, 224, 0);
    p.MyColor[3] = RGB(255, 165, 0);
    p.MyColor[4] = RGB(0, 224, 224);
    p.MyColor[5] = RGB(255, 0, 255);
    p.MyColor[6] = RGB(0, 144, 144);
    p.MyColor[7] = RGB(255, 0, 0);
    p.MyColor[8] = RGB(128, 128, 128);
    p.MyColor[9] = RGB(128, 0, 128);
    if (swapRedGray)
        std::swap(p.MyColor[7], p.MyColor[8]);
    return p;
}

} // namespace course
