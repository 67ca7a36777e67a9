// SPDX-License-Identifier: GPL-3.0-or-later
// The ink check itself: the ink it takes is where the painter puts it, contacts are
// found at the gap and not beyond, and designed joins are told apart from faults.

#include "InkAllowlist.h"
#include "InkCheck.h"
#include "TestFonts.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

// Bounds of the non-background pixels of the surface painted at 4x, in page pixels.
QRectF paintedBounds(const Surface& g) {
    const double s = 4;
    QImage img(QSize(g.size().width() * s, g.size().height() * s), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(s, s);
    g.render(p);
    p.end();
    int l = img.width(), t = img.height(), r = -1, b = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 160) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
    return QRectF(l / s, t / s, (r + 1 - l) / s, (b + 1 - t) / s);
}

Surface page() {
    Surface g(testFonts(), QSize(200, 120));
    g.Cls();
    return g;
}

void text(Surface& g, double x, double y, const QString& s, const QString& font = QStringLiteral("メイリオ"),
          bool italic = false) {
    g.FontName = font;
    g.FontItalic = italic;
    g.CurrentX = x;
    g.CurrentY = y;
    g.Print(s);
    g.FontItalic = false;
}

void expectNear(const QRectF& ink, const QRectF& painted, const char* what) {
    // A quarter pixel of antialiasing either way.
    EXPECT_NEAR(ink.left(), painted.left(), 0.5) << what;
    EXPECT_NEAR(ink.right(), painted.right(), 0.5) << what;
    EXPECT_NEAR(ink.top(), painted.top(), 0.5) << what;
    EXPECT_NEAR(ink.bottom(), painted.bottom(), 0.5) << what;
}

} // namespace

TEST(PageInkCheck, InkLiesWherePaintingPutsIt) {
    struct Case {
        const char* what;
        std::function<void(Surface&)> draw;
    };
    const Case cases[] = {
        {"body text", [](Surface& g) { text(g, 20.3, 30, QStringLiteral("Hg 方程式")); }},
        {"italic letter",
         [](Surface& g) { text(g, 40, 30, QStringLiteral("f"), QStringLiteral("Bookman Old Style"), true); }},
        {"Symbol code", [](Surface& g) { text(g, 40, 30, QString(QChar(182)), QStringLiteral("Symbol")); }},
        {"turned text",
         [](Surface& g) {
             g.FontName = QStringLiteral("Symbol");
             g.deviceText(60, 80, QString(QChar(236)), true, 90);
         }},
        {"line of width 3",
         [](Surface& g) {
             g.DrawWidth = 3;
             g.Line(10, 20, 90, 47);
         }},
    };
    for (const Case& c : cases) {
        Surface g = page();
        c.draw(g);
        expectNear(inkOf(g.ops().back()).bounds, paintedBounds(g), c.what);
    }
}

TEST(PageInkCheck, ContactsAreFoundUpToTheGap) {
    // A stroke of width 1 covering y 10 … 11, and one of width 3 (set where it is asked,
    // as only thinner rules are moved onto whole pixels) starting `gap` lower.
    for (double gap : {0.0, 0.2, 0.45}) {
        Surface g = page();
        g.Line(10, 10, 60, 10);
        g.DrawWidth = 3;
        g.Line(30, 12 + gap, 90, 12 + gap);
        const auto found = inkContacts(g);
        ASSERT_EQ(found.size(), 1u) << gap;
        EXPECT_NEAR(found[0].where.distance, gap, 0.02);
        EXPECT_NEAR(found[0].where.at.y(), 11 + gap / 2, 0.05);
        EXPECT_TRUE(found[0].construct.isEmpty());
    }
    Surface g = page();
    g.Line(10, 10, 60, 10);
    g.DrawWidth = 3;
    g.Line(30, 12.6, 90, 12.6);
    EXPECT_TRUE(inkContacts(g).empty());

    // An italic x and a parenthesis: touching when pushed together, not with air between.
    Surface close = page();
    text(close, 20, 20, QStringLiteral("x"), QStringLiteral("Bookman Old Style"), true);
    text(close, 20 + close.TextWidth(QStringLiteral("x")) - 3, 20, QStringLiteral(")"));
    ASSERT_EQ(inkContacts(close).size(), 1u);
    EXPECT_EQ(inkContacts(close)[0].firstLabel, QStringLiteral("\"x\""));
    EXPECT_EQ(inkContacts(close)[0].secondLabel, QStringLiteral("\")\""));
    Surface apart = page();
    text(apart, 20, 20, QStringLiteral("x"), QStringLiteral("Bookman Old Style"), true);
    text(apart, 20 + apart.TextWidth(QStringLiteral("x")) + 3, 20, QStringLiteral(")"));
    EXPECT_TRUE(inkContacts(apart).empty());
}

TEST(PageInkCheck, InkInsideOtherInkIsAnOverlap) {
    Surface g = page();
    g.DrawWidth = 9;
    g.Line(10, 40, 120, 40);
    g.DrawWidth = 1;
    g.PSet(50, 40, RGB(255, 0, 0));
    const auto found = inkContacts(g);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].where.distance, 0);
}

TEST(PageInkCheck, BackgroundStrokesLeaveNoInk) {
    Surface g = page();
    g.Line(10, 10, 60, 10);
    g.Line(10, 10, 60, 10, g.BackColor);
    EXPECT_TRUE(inkContacts(g).empty());
}

TEST(PageInkCheck, DesignedJoinsAreToldApartFromFaults) {
    Surface g = page();
    {
        ConstructMark mark(g, ConstructKind::Bracket);
        g.Line(10, 10, 10, 40);
        ConstructMark inner(g, ConstructKind::Radical); // a piece of the bracket
        g.PSet(10, 41);
    }
    g.Line(30, 10, 50, 10); // a polyline: each segment starts where the last ended
    g.LineTo(50, 30);
    text(g, 80, 10, QStringLiteral("ab")); // the same run twice
    text(g, 80, 10, QStringLiteral("ab"));
    text(g, 120, 10, QStringLiteral("──")); // a rule in two pieces on one baseline
    text(g, 120 + g.TextWidth(QStringLiteral("─")), 10, QStringLiteral("──"));
    g.Line(10, 60, 60, 60); // two bars that only meet: a fault
    g.Line(61, 60, 90, 60);
    g.Line(20, 55, 20, 65); // a later stroke ending on a polyline's corner: a fault
    // A plot in a user scale: crossing curves are its design, a label on a curve is not.
    g.Scale(0, 0, 20, 12);
    g.Line(1, 8, 19, 11.5);
    g.Line(1, 11.5, 19, 8);
    text(g, 9, 8.6, QStringLiteral("x"));
    QStringList kinds;
    for (const InkContact& c : inkContacts(g))
        kinds << (c.construct.isEmpty() ? QStringLiteral("-") : c.construct);
    kinds.sort();
    EXPECT_EQ(kinds.join(u','), QStringLiteral("-,-,-,-,bracket,overprint,polyline,rule"));
}

TEST(PageInkCheck, AllowlistEntriesMatchEitherOrderAndNeedAReason) {
    QString error;
    const InkAllowlist list = InkAllowlist::parse(QStringLiteral("# comment\n\n"
                                                                 "oriel | page 2 | \"x\" | \")\" | kept\n"
                                                                 "calyx | * | \"a\" | \"b\" | kept too\n"),
                                                  &error);
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(list.entries().size(), 2u);
    EXPECT_NE(list.find("oriel", "page 2", "\")\"", "\"x\""), nullptr);
    EXPECT_EQ(list.find("oriel", "printed page 2", "\"x\"", "\")\""), nullptr);
    EXPECT_EQ(list.find("tessera", "page 2", "\"x\"", "\")\""), nullptr);
    EXPECT_NE(list.find("calyx", "printed page 0", "\"a\"", "\"b\""), nullptr);

    InkAllowlist::parse(QStringLiteral("oriel | page 2 | \"x\" | \")\" |  \n"), &error);
    EXPECT_EQ(error, QStringLiteral("line 1: want \"program | where | first | second | reason\""));
    error.clear();
    InkAllowlist::load(QStringLiteral("/nonexistent/list.txt"), &error);
    EXPECT_FALSE(error.isEmpty());
}
