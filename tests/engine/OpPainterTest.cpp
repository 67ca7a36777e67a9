// SPDX-License-Identifier: GPL-3.0-or-later
// A curve of wide lines painted on an image covers what its outline with round caps
// and joins covers: at sharp and gentle bends, with segments shorter than the line is
// wide, around a point repeated on the curve, at its ends, at 1x and 2x; and no seam
// shows inside it where two segments meet. Text runs keep their own fonts.

#include "TestFonts.h"

#include <engine/textruns/OpPainter.h>
#include <engine/textruns/Units.h>

#include <gtest/gtest.h>

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <vector>

using course::DrawOp;
using course::Surface;

namespace {

std::vector<DrawOp> curveOps(const std::vector<QPointF>& points, int width) {
    std::vector<DrawOp> ops;
    for (std::size_t i = 1; i < points.size(); ++i) {
        DrawOp op;
        op.kind = DrawOp::Kind::Line;
        op.a = points[i - 1];
        op.b = points[i];
        op.width = width;
        op.color = course::RGB(0, 0, 0);
        ops.push_back(op);
    }
    return ops;
}

enum class Painted { ByOpPainter, AsOnePath };

// Black ink on white: the coverage of each device pixel, 0 to 1. AsOnePath strokes the
// whole curve as one outline with round caps and joins, each pixel covered once.
std::vector<double> coverage(const std::vector<DrawOp>& ops, qreal dpr, Painted how) {
    QImage img = course::units::imageAt(QSize(300, 200), dpr);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (how == Painted::ByOpPainter) {
            course::OpPainter painter(p);
            for (const DrawOp& op : ops)
                painter.paint(op);
        } else {
            const double o = course::units::lineOffset(ops.front().width);
            QPainterPath path(ops.front().a + QPointF(o, o));
            for (const DrawOp& op : ops)
                path.lineTo(op.b + QPointF(o, o));
            p.setPen(QPen(Qt::black, ops.front().width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
        }
    }
    std::vector<double> c;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            c.push_back(1 - qGray(img.pixel(x, y)) / 255.0);
    return c;
}

struct Curve {
    const char* name;
    std::vector<QPointF> points;
};

std::vector<Curve> curves() {
    std::vector<QPointF> bump, zigzag, gentle;
    // Segments 1.3 px long, shorter than a wide line's radius.
    for (double x = 10; x <= 290; x += 1.3)
        bump.emplace_back(x, 170 - 140 * std::exp(-(x - 150) * (x - 150) / 900));
    // Bends of about 110°, one near hairpin and a point given twice.
    zigzag = {{20, 150}, {50, 40}, {80, 150}, {80, 150}, {110, 40.5}, {140, 150}, {250, 144}, {160, 130}};
    // Bends of 1° to 12°.
    double angle = 0.2;
    QPointF at(20, 180);
    gentle.push_back(at);
    for (int i = 0; i < 14; ++i) {
        angle -= 0.017 * (i % 4 + 1) * (i % 2 ? 1 : 3);
        at += 16 * QPointF(std::cos(angle), std::sin(angle));
        gentle.push_back(at);
    }
    return {{"bump", bump}, {"zigzag", zigzag}, {"gentle", gentle}};
}

} // namespace

TEST(OpPainter, ACurveCoversWhatItsRoundOutlineCovers) {
    for (const Curve& curve : curves())
        for (const int width : {2, 3, 6})
            for (const qreal dpr : {1.0, 2.0}) {
                SCOPED_TRACE(::testing::Message() << curve.name << " width " << width << " at " << dpr << "x");
                const std::vector<DrawOp> ops = curveOps(curve.points, width);
                const std::vector<double> stroke = coverage(ops, dpr, Painted::ByOpPainter);
                const std::vector<double> outline = coverage(ops, dpr, Painted::AsOnePath);
                double worst = 0, ink = 0, apart = 0;
                for (std::size_t i = 0; i < stroke.size(); ++i) {
                    const double d = std::abs(stroke[i] - outline[i]);
                    worst = std::max(worst, d);
                    ink += outline[i];
                    apart += d;
                }
                // A gap at a bend or a missing cap leaves whole pixels unpainted; what
                // may differ is the edge pixels where pieces overlap: their coverage
                // adds up to more than the outline's.
                EXPECT_LT(worst, 0.5);
                EXPECT_LT(apart, 0.04 * ink);
            }
}

TEST(OpPainter, NoSeamShowsWhereStraightSegmentsMeet) {
    // Collinear segments 4.3 px long at 17°: the pixels well inside the line are fully
    // painted, as they are under one long line.
    const double angle = 17 * M_PI / 180;
    const QPointF along(std::cos(angle), std::sin(angle)), normal(-along.y(), along.x());
    std::vector<QPointF> points;
    for (int i = 0; i <= 50; ++i)
        points.push_back(QPointF(20, 40) + 4.3 * i * along);
    for (const int width : {3, 6})
        for (const qreal dpr : {1.0, 2.0}) {
            SCOPED_TRACE(::testing::Message() << "width " << width << " at " << dpr << "x");
            const std::vector<double> c = coverage(curveOps(points, width), dpr, Painted::ByOpPainter);
            const int columns = int(std::lround(300 * dpr));
            const double o = course::units::lineOffset(width);
            int inside = 0;
            for (std::size_t i = 0; i < c.size(); ++i) {
                const QPointF centre = QPointF(double(i % columns) + 0.5, double(i / columns) + 0.5) / dpr -
                                       (points.front() + QPointF(o, o));
                const double across = std::abs(QPointF::dotProduct(centre, normal));
                const double t = QPointF::dotProduct(centre, along);
                if (across < width / 2.0 - 1 && t > 5 && t < 4.3 * 50 - 5) {
                    ++inside;
                    EXPECT_GT(c[i], 0.9) << "pixel " << i % columns << ", " << i / columns;
                }
            }
            EXPECT_GT(inside, 100);
        }
}

TEST(OpPainter, TextRunsInTurnsOfFontsAreEachPaintedInTheirOwn) {
    // Runs that differ in one property of their font each, in turns, more than the
    // painter keeps: each must look as it does painted alone.
    Surface g(course::testing::testFonts(), QSize(300, 200));
    g.Cls();
    const double sizes[] = {12, 12, 12, 16, 12};
    const bool bolds[] = {false, true, false, false, false};
    const bool italics[] = {false, false, true, false, false};
    for (int round = 0; round < 2; ++round)
        for (int k = 0; k < 5; ++k) {
            g.FontSize = sizes[k];
            g.FontBold = bolds[k];
            g.FontItalic = italics[k];
            g.FontName = k == 4 ? QStringLiteral("Symbol") : QStringLiteral("ＭＳ 明朝");
            g.CurrentX = 10 + 140 * round;
            g.CurrentY = 10 + 35 * k;
            g.Print(QStringLiteral("Ab π 波"));
        }
    for (const qreal dpr : {1.0, 2.0}) {
        QImage together = course::units::imageAt(g.size(), dpr), alone = together;
        together.fill(Qt::white);
        alone.fill(Qt::white);
        {
            QPainter p(&together);
            course::OpPainter painter(p);
            for (const DrawOp& op : g.ops())
                painter.paint(op);
        }
        {
            QPainter p(&alone);
            for (const DrawOp& op : g.ops())
                course::paintOp(p, op);
        }
        EXPECT_EQ(together, alone) << "at " << dpr << "x";
    }
}
