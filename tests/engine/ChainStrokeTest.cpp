// SPDX-License-Identifier: GPL-3.0-or-later
// Curves drawn with LineTo are painted as chains: a thick chain is filled as mitred
// bands with round joins at its sharp turns, instead of stroking every segment with
// its own round caps. The picture must be the one the segments stroked one by one
// give, at 1x and 2x, for smooth curves, sharp turns, reversals and repeated points.

#include "TestFonts.h"

#include <engine/textruns/Surface.h>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using course::DrawOp;
using course::Surface;
using course::testing::testFonts;

namespace {

// The picture of `g`'s operations with every segment stroked on its own.
QImage segmentBySegment(const Surface& g, qreal dpr) {
    QImage img((QSizeF(g.size()) * dpr).toSize(), QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const DrawOp& op : g.ops())
        course::paintOp(p, op);
    return img;
}

struct Difference {
    int worst = 0;       // largest difference of a channel, 0–255
    double inkRatio = 1; // ink (darkness summed) of a over that of b
};

Difference compare(const QImage& a, const QImage& b) {
    Difference d;
    double inkA = 0, inkB = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
            const int diff = std::max({std::abs(qRed(pa) - qRed(pb)), std::abs(qGreen(pa) - qGreen(pb)),
                                       std::abs(qBlue(pa) - qBlue(pb))});
            d.worst = std::max(d.worst, diff);
            inkA += 765 - qRed(pa) - qGreen(pa) - qBlue(pa);
            inkB += 765 - qRed(pb) - qGreen(pb) - qBlue(pb);
        }
    d.inkRatio = inkB > 0 ? inkA / inkB : 1;
    return d;
}

void smoothBump(Surface& g) {
    g.PSet(10, 200, course::RGB(128, 128, 128));
    for (double x = 12; x <= 390; x += 1.9)
        g.LineTo(x, 200 - 170 * std::exp(-(x - 200) * (x - 200) / 300.0), course::RGB(128, 128, 128));
}

void zigzagWithReversalAndRepeats(Surface& g) {
    g.PSet(20, 20, course::RGB(0, 0, 255));
    g.LineTo(60, 60, course::RGB(0, 0, 255));
    g.LineTo(100, 20, course::RGB(0, 0, 255)); // a right angle
    g.LineTo(100, 20, course::RGB(0, 0, 255)); // the same point again
    g.LineTo(140, 60, course::RGB(0, 0, 255));
    g.LineTo(60, 60, course::RGB(0, 0, 255));  // straight back over itself
    g.LineTo(61, 100, course::RGB(0, 0, 255));
    g.LineTo(200, 101, course::RGB(0, 0, 255));
}

} // namespace

TEST(ChainStroke, ThickChainsLookAsTheirSegmentsStrokedOneByOne) {
    for (int width : {4, 5, 6, 9})
        for (auto* draw : {&smoothBump, &zigzagWithReversalAndRepeats})
            for (qreal dpr : {1.0, 2.0}) {
                Surface g(testFonts(), QSize(400, 220));
                g.Cls();
                g.DrawWidth = width;
                draw(g);
                const Difference d = compare(g.image(dpr), segmentBySegment(g, dpr));
                const std::string where = "width " + std::to_string(width) + " at " + std::to_string(dpr) + "x";
                // Anti-aliased edges differ a little (the segments' overlapping edges
                // are blended twice, about 30 of 255); a missing join, a spike or a
                // hole differs by far more, and changes the ink.
                EXPECT_LE(d.worst, 80) << where;
                EXPECT_NEAR(d.inkRatio, 1.0, 0.015) << where;
            }
}

TEST(ChainStroke, AChainIsLinesOfOneColourAndWidthEachStartingWhereTheLastEnded) {
    Surface g(testFonts(), QSize(200, 200));
    g.Cls();
    g.DrawWidth = 6;
    g.PSet(0, 0, course::RGB(0, 0, 0));
    g.LineTo(10, 10, course::RGB(0, 0, 0));
    g.LineTo(20, 0, course::RGB(0, 0, 0));
    g.LineTo(30, 10, course::RGB(0, 0, 0));
    g.LineTo(40, 0, course::RGB(255, 0, 0)); // another colour
    g.DrawWidth = 2;
    g.LineTo(50, 10, course::RGB(255, 0, 0)); // another width
    g.Line(60, 0, 70, 10, course::RGB(255, 0, 0));  // does not start where the last ended
    g.LineTo(80, 0, course::RGB(255, 0, 0));
    const auto& ops = g.ops();
    ASSERT_EQ(ops.size(), 9u);
    EXPECT_EQ(course::chainEnd(ops, 0, ops.size()), 1u); // Clear
    EXPECT_EQ(course::chainEnd(ops, 1, ops.size()), 2u); // the point
    EXPECT_EQ(course::chainEnd(ops, 2, ops.size()), 5u);
    EXPECT_EQ(course::chainEnd(ops, 2, 4), 4u);           // never past `to`
    EXPECT_EQ(course::chainEnd(ops, 5, ops.size()), 6u);
    EXPECT_EQ(course::chainEnd(ops, 6, ops.size()), 7u);
    EXPECT_EQ(course::chainEnd(ops, 7, ops.size()), 9u);
}
