// SPDX-License-Identifier: GPL-3.0-or-later
// Taking back the moving part of a picture: the page image after a roll-back and a new
// frame is the image a surface that never drew the old frame shows, at 1x and 2x, and
// a view is told only about the tiles the old frame touched.

#include "TestFonts.h"

#include <engine/textruns/DirtyTiles.h>
#include <engine/textruns/Surface.h>

#include <gtest/gtest.h>

#include <cmath>

using course::Surface;
using course::testing::testFonts;

namespace {

void still(Surface& g) {
    g.Cls();
    g.Line(10, 200, 390, 200, course::RGB(128, 128, 128));
    g.Line(10, 20, 10, 200, course::RGB(128, 128, 128));
    g.CurrentX = 20;
    g.CurrentY = 30;
    g.Print(QStringLiteral("ノルム = 1.000"));
}

// A bump at `centre`, as a frame of a moving packet draws it.
void frame(Surface& g, double centre) {
    g.DrawWidth = 2;
    g.PSet(10, 200, course::RGB(0, 0, 255));
    for (int x = 12; x <= 390; x += 2)
        g.LineTo(x, 200 - 150 * std::exp(-(x - centre) * (x - centre) / 400.0), course::RGB(0, 0, 255));
    g.DrawWidth = 1;
    g.CurrentX = centre;
    g.CurrentY = 40;
    g.Print(QStringLiteral("t = %1").arg(centre));
}

// The number of pixels in which the images of two surfaces differ.
int differing(const Surface& a, const Surface& b, qreal dpr) {
    const QImage x = a.image(dpr), y = b.image(dpr);
    if (x.size() != y.size())
        return -1;
    int n = 0;
    for (int r = 0; r < x.height(); ++r)
        for (int c = 0; c < x.width(); ++c)
            n += x.pixel(c, r) != y.pixel(c, r);
    return n;
}

} // namespace

TEST(SurfaceRollBack, ImageAfterANewFrameIsTheImageOfThatFrameAlone) {
    for (const qreal dpr : {1.0, 1.5, 2.0}) {
        Surface g(testFonts(), QSize(400, 240));
        still(g);
        const Surface::Mark m = g.mark();
        frame(g, 100);
        (void)g.image(dpr); // painted with the old frame
        std::vector<QRect> told;
        g.setChangeListener([&] { told.push_back(g.lastChange().toAlignedRect()); });
        ASSERT_TRUE(g.rollBack(m));
        // Told about tiles near the old bump only, not the whole page.
        ASSERT_FALSE(told.empty());
        QRegion area;
        for (const QRect& r : told)
            area += r;
        EXPECT_FALSE(area.contains(QPoint(380, 100))) << "far from the old bump, untouched";
        EXPECT_TRUE(area.contains(QPoint(100, 50))) << "the bump's top";
        g.setChangeListener({});
        // Frame after frame, each taken back before the next.
        for (const double centre : {250.0, 160.0, 330.0}) {
            if (centre != 250.0) {
                ASSERT_TRUE(g.rollBack(m));
            }
            frame(g, centre);

            Surface fresh(testFonts(), QSize(400, 240));
            still(fresh);
            frame(fresh, centre);
            EXPECT_EQ(g.ops().size(), fresh.ops().size());
            ASSERT_EQ(g.image(dpr).size(), fresh.image(dpr).size());
            EXPECT_EQ(differing(g, fresh, dpr), 0) << "at " << dpr << "x, bump at " << centre;
        }
        // A later mark, after more of the still part: the frames after it are taken
        // back to it alone.
        ASSERT_TRUE(g.rollBack(m));
        g.CurrentX = 30;
        g.CurrentY = 60;
        g.Print(QStringLiteral("静止"));
        const Surface::Mark later = g.mark();
        frame(g, 120);
        (void)g.image(dpr);
        ASSERT_TRUE(g.rollBack(later));
        frame(g, 300);
        Surface fresh(testFonts(), QSize(400, 240));
        still(fresh);
        fresh.CurrentX = 30;
        fresh.CurrentY = 60;
        fresh.Print(QStringLiteral("静止"));
        frame(fresh, 300);
        EXPECT_EQ(differing(g, fresh, dpr), 0) << "at " << dpr << "x, a later mark";
    }
}

// Frames taken back faster than the page is shown, and the still part changing under
// the frames: the image is still that of what stays.
TEST(SurfaceRollBack, FramesTakenBackUnshownAndAStillPartThatChanges) {
    for (const qreal dpr : {1.0, 2.0}) {
        Surface g(testFonts(), QSize(400, 240));
        g.Cls();
        g.Line(10, 200, 390, 200, course::RGB(128, 128, 128));
        const Surface::Mark early = g.mark();
        g.Line(10, 20, 10, 200, course::RGB(128, 128, 128));
        g.CurrentX = 20;
        g.CurrentY = 30;
        g.Print(QStringLiteral("ノルム = 1.000"));
        const Surface::Mark m = g.mark();
        for (const double centre : {100.0, 140.0, 180.0}) {
            frame(g, centre);
            (void)g.image(dpr);
            ASSERT_TRUE(g.rollBack(m));
        }
        frame(g, 220);
        ASSERT_TRUE(g.rollBack(m));
        frame(g, 260); // the frame at 220 was never shown
        Surface fresh(testFonts(), QSize(400, 240));
        still(fresh);
        frame(fresh, 260);
        EXPECT_EQ(differing(g, fresh, dpr), 0) << "at " << dpr << "x, frames unshown";

        // The upright axis goes from the still part and a word comes in its place, so
        // that the same mark keeps as many operations as before.
        ASSERT_TRUE(g.rollBack(m));
        (void)g.image(dpr);
        ASSERT_TRUE(g.forget(early, 1));
        g.CurrentX = 30;
        g.CurrentY = 60;
        g.Print(QStringLiteral("静止"));
        ASSERT_EQ(g.mark().count, m.count);
        frame(g, 300);
        (void)g.image(dpr);
        ASSERT_TRUE(g.rollBack(m));
        frame(g, 320);
        Surface without(testFonts(), QSize(400, 240));
        without.Cls();
        without.Line(10, 200, 390, 200, course::RGB(128, 128, 128));
        without.CurrentX = 20;
        without.CurrentY = 30;
        without.Print(QStringLiteral("ノルム = 1.000"));
        without.CurrentX = 30;
        without.CurrentY = 60;
        without.Print(QStringLiteral("静止"));
        frame(without, 320);
        EXPECT_EQ(differing(g, without, dpr), 0) << "at " << dpr << "x, the still part changed";
    }
}

TEST(SurfaceRollBack, AMarkFromBeforeAClearTakesNothingBack) {
    Surface g(testFonts(), QSize(400, 240));
    still(g);
    const Surface::Mark m = g.mark();
    frame(g, 100);
    const std::size_t drawn = g.ops().size();
    EXPECT_TRUE(g.rollBack(g.mark())) << "nothing after a mark just taken";
    EXPECT_EQ(g.ops().size(), drawn);
    still(g);
    EXPECT_FALSE(g.rollBack(m));
    EXPECT_GT(g.ops().size(), 1u);
    EXPECT_FALSE(g.rollBack(Surface::Mark{}));
}

// A construct drawn again at another size: its first pieces are forgotten from the
// middle of the recording, and the image is that of a surface that drew only what stays,
// whether it was painted before, between or after.
TEST(SurfaceRollBack, ForgettingPiecesInTheMiddleLeavesTheImageOfWhatStays) {
    for (const qreal dpr : {1.0, 2.0})
        for (const int paintedAt : {0, 1, 2}) {
            Surface g(testFonts(), QSize(400, 240));
            still(g);
            const Surface::Mark m = g.mark();
            g.CurrentX = 200;
            g.CurrentY = 100;
            g.Print(QStringLiteral("［"));
            g.Line(190, 90, 230, 150);
            const std::size_t pieces = g.ops().size() - m.count;
            if (paintedAt == 1)
                (void)g.image(dpr); // painted with the pieces, before what follows
            frame(g, 200);
            if (paintedAt == 2)
                (void)g.image(dpr);
            ASSERT_TRUE(g.forget(m, pieces));

            Surface fresh(testFonts(), QSize(400, 240));
            still(fresh);
            frame(fresh, 200);
            ASSERT_EQ(g.ops().size(), fresh.ops().size());
            EXPECT_EQ(differing(g, fresh, dpr), 0) << "at " << dpr << "x, painted at " << paintedAt;
        }
    Surface g(testFonts(), QSize(400, 240));
    still(g);
    const Surface::Mark m = g.mark();
    frame(g, 100);
    EXPECT_FALSE(g.forget(m, g.ops().size())) << "more than was drawn after the mark";
    still(g);
    EXPECT_FALSE(g.forget(m, 1)) << "cleared since";
}

TEST(DirtyTilesTest, JoinsTouchedTilesIntoRunsPerRow) {
    course::DirtyTiles t;
    EXPECT_TRUE(t.isEmpty());
    t.add(QRect(3, 3, 2, 2));
    t.add(QRect(20, 5, 30, 1)); // tiles 1–3 of row 0
    t.add(QRect(-40, -40, 10, 10)); // off the page: nothing
    const QRegion r = t.region();
    EXPECT_EQ(r.rectCount(), 1);
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, 64, 16));
    t.add(QRect(100, 40, 1, 1));
    EXPECT_EQ(t.region().rectCount(), 2);
    EXPECT_TRUE(t.region().contains(QPoint(111, 47)));
    t.clear();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.region().isEmpty());
}

// Rows of numbers that change less often than the picture under them: most frames are
// taken back to the mark after the rows, which stay; every third to the mark before
// them, with new rows. The rows reach into the tiles the frames take back.
TEST(SurfaceRollBack, RowsKeptUnderSomeFramesAndDrawnAnewUnderOthers) {
    const auto rows = [](Surface& g, int n) {
        g.CurrentX = 60;
        g.CurrentY = 45;
        g.Print(QStringLiteral("最大差 = %1×10").arg(n));
    };
    for (const qreal dpr : {1.0, 1.5, 2.0}) {
        Surface g(testFonts(), QSize(400, 240));
        still(g);
        const Surface::Mark m = g.mark();
        rows(g, 0);
        Surface::Mark afterRows = g.mark();
        frame(g, 100);
        (void)g.image(dpr);
        int shown = 0;
        for (int k = 1; k <= 7; ++k) {
            const double centre = 80 + 30 * k;
            if (k % 3 == 0) {
                ASSERT_TRUE(g.rollBack(m));
                rows(g, k);
                shown = k;
                afterRows = g.mark();
            } else {
                ASSERT_TRUE(g.rollBack(afterRows));
            }
            frame(g, centre);
            if (k == 4)
                continue; // taken back unshown
            Surface fresh(testFonts(), QSize(400, 240));
            still(fresh);
            rows(fresh, shown);
            frame(fresh, centre);
            EXPECT_EQ(differing(g, fresh, dpr), 0) << "at " << dpr << "x, frame " << k;
        }
    }
}
