// SPDX-License-Identifier: GPL-3.0-or-later
// Pages 0 and 1: the brace glyph, the opening of each page on screen and in print, the
// figure of the two partial solutions in its own scale, the tags, and that every
// character has a glyph and every run stays on the visible page.

#include "PageTestSupport.h"
#include "TestFonts.h"

#include <QRectF>

using course::testing::testFonts;
using namespace brindle;
using namespace brindle::testing;
using course::DrawOp;

namespace {

std::vector<DrawOp> textOps(const course::Surface& g) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : g.ops())
        if (op.kind == DrawOp::Kind::Text)
            out.push_back(op);
    return out;
}

QRectF cellOf(const DrawOp& op) { return QRectF(op.a, op.cell); }

const DrawOp* findText(const std::vector<DrawOp>& ops, const QString& s) {
    for (const DrawOp& op : ops)
        if (op.text == s)
            return &op;
    return nullptr;
}

class ExplanationPages : public BrindleWindow {
protected:
    // Prints page k and returns the print canvas.
    course::Surface& printPage(int k) {
        w->ShowThisPic(k);
        w->cmdPrint_Click();
        return w->Form2();
    }
};

} // namespace

TEST_F(ExplanationPages, ColBraceHasThreePiecesBelowHeightOneAndFiveFromOne) {
    course::Surface g(testFonts(), QSize(300, 300));
    course::DrawingScope on(*doc, g);
    const double H = doc->CharH;
    auto pieces = [&](int index, double ht) {
        g.Cls();
        doc->ColBrace(index, 40.4, 120.6, ht);
        EXPECT_EQ(g.FontName, QStringLiteral("メイリオ"));
        return textOps(g);
    };
    auto code = [&](int c) {
        g.FontName = QStringLiteral("Symbol");
        const QString s = g.drawnText(QString(QChar(c)));
        g.FontName = QStringLiteral("メイリオ");
        return s;
    };
    for (double ht : {0.2, 0.999}) {
        const auto ops = pieces(0, ht);
        ASSERT_EQ(ops.size(), 3u) << ht;
        const int codes[3] = {236, 237, 238};
        const double ys[3] = {120.6 - 2 * ht * H, 120.6, 120.6 + 2 * ht * H};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(ops[k].text, code(codes[k]));
            EXPECT_EQ(ops[k].fontName, QStringLiteral("Symbol"));
            EXPECT_EQ(ops[k].a, QPointF(40, course::nint(ys[k])));
        }
    }
    const auto ops = pieces(1, 1.0);
    ASSERT_EQ(ops.size(), 5u);
    const int codes[5] = {252, 253, 254, 239, 239};
    const double ys[5] = {120.6 - 2 * H, 120.6, 120.6 + 2 * H, 120.6 - H, 120.6 + H};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(ops[k].text, code(codes[k])) << k;
        EXPECT_EQ(ops[k].a, QPointF(40, course::nint(ys[k]))) << k;
    }
}

TEST_F(ExplanationPages, ScreenPagesOpenWithTheirHeadings) {
    const auto p0 = textOps(w->page(0));
    ASSERT_FALSE(p0.empty());
    EXPECT_EQ(p0[0].text, QStringLiteral("(1)  概 要"));
    EXPECT_EQ(p0[0].a, QPointF(doc->Indent0, doc->CharH));
    EXPECT_EQ(p0[0].color, doc->Blue);
    EXPECT_EQ(findText(p0, QStringLiteral("エネルギー固有値の数値計算")), nullptr);
    const auto p1 = textOps(w->page(1));
    ASSERT_FALSE(p1.empty());
    EXPECT_EQ(p1[0].text, QStringLiteral("(3)  固有値の反復計算"));
    EXPECT_EQ(p1[0].a, QPointF(doc->Indent0, 0));
    // Start-up leaves page 2 for the moment it is shown.
    EXPECT_TRUE(textOps(w->page(2)).empty());
}

TEST_F(ExplanationPages, PrintedPagesAddTheTitleLineAndStartOneLineLower) {
    const auto p0 = textOps(printPage(0));
    ASSERT_GE(p0.size(), 2u);
    EXPECT_EQ(p0[0].text, QStringLiteral("エネルギー固有値の数値計算"));
    EXPECT_DOUBLE_EQ(p0[0].fontSize, 16);
    EXPECT_EQ(p0[0].a, QPointF(15 * doc->CharW, doc->CharH));
    EXPECT_EQ(p0[1].text, QStringLiteral("(1)  概 要"));
    EXPECT_DOUBLE_EQ(p0[1].a.y(), 2.5 * doc->CharH);
    EXPECT_EQ(p0[1].a.x(), doc->Indent0);

    const auto p1 = textOps(printPage(1));
    ASSERT_FALSE(p1.empty());
    EXPECT_EQ(p1[0].text, QStringLiteral("(3)  固有値の反復計算"));
    EXPECT_DOUBLE_EQ(p1[0].a.y(), doc->CharH);
    EXPECT_EQ(findText(p1, QStringLiteral("エネルギー固有値の数値計算")), nullptr);
}

TEST_F(ExplanationPages, FigureUsesItsOwnScaleOnScreenAndInPrint) {
    // z₂ starts at its peak (0, 0.9), plotted as −0.9: a green point there.
    auto peak = [](const course::Surface& g) {
        for (const DrawOp& op : g.ops())
            if (op.kind == DrawOp::Kind::Point && op.color == course::RGB(0, 224, 0))
                return op.a;
        return QPointF(-1, -1);
    };
    const course::Surface& screen = w->page(0);
    const QSizeF s = screen.size();
    const QPointF onScreen = peak(screen);
    EXPECT_NEAR(onScreen.x(), 30.0 / 44 * s.width(), 1e-6);
    EXPECT_NEAR(onScreen.y(), (5 - 0.9) / 6 * s.height(), 1e-6);
    EXPECT_FALSE(screen.userScale());
    EXPECT_DOUBLE_EQ(screen.FontSize, doc->PageFontSize);

    const course::Surface& printed = printPage(0);
    const QSizeF p = printed.size();
    const QPointF onPaper = peak(printed);
    EXPECT_NEAR(onPaper.x(), 30.0 / 44 * p.width(), 1e-6);
    EXPECT_NEAR(onPaper.y(), (5.3 - 0.9) / 6 * p.height(), 1e-6);
    EXPECT_FALSE(printed.userScale());

    // The curves are drawn two pixels wide, the frame and ticks one.
    int wide = 0;
    for (const DrawOp& op : screen.ops())
        if (op.kind == DrawOp::Kind::Line)
            wide += op.width == 2;
    EXPECT_EQ(wide, 10 * 128 + int(11.5 * 128));
}

TEST_F(ExplanationPages, TextBesideTheFigureKeepsClearOfIt) {
    const course::Surface& g = w->page(0);
    const QSizeF s = g.size();
    auto toPx = [&](double x, double y) {
        return QPointF((x + 30) / 44 * s.width(), (y + 5) / 6 * s.height());
    };
    const QRectF frame(toPx(-10, -1), toPx(11.5, 0.2));
    bool inFigure = false;
    int labels = 0;
    for (const DrawOp& op : g.ops()) {
        if (op.kind == DrawOp::Kind::Line && op.color == doc->Blue)
            inFigure = true; // the frame is the figure's first stroke
        if (op.kind != DrawOp::Kind::Text)
            continue;
        if (inFigure) {
            ++labels;
            EXPECT_TRUE(frame.adjusted(-2, -2, 2, 2).contains(cellOf(op).center())) << op.text.toStdString();
        } else {
            EXPECT_FALSE(cellOf(op).intersects(frame)) << op.text.toStdString();
        }
    }
    EXPECT_GT(labels, 8);
}

TEST_F(ExplanationPages, DerivativesKeepTheirLettersOffTheBarAndTheBarPastTheirParts) {
    // d²y/dx² of [1] on page 0; dy/dx and dz/dx on page 1.
    int fractions = 0;
    for (int k : {0, 1}) {
        const auto& ops = w->page(k).ops();
        for (size_t i = 0; i < ops.size(); ++i) {
            const DrawOp& bar = ops[i];
            if (bar.kind != DrawOp::Kind::Line || bar.a.y() != bar.b.y() || bar.color != 0)
                continue;
            // The parts are drawn before their bar, from its start on.
            std::vector<const DrawOp*> parts;
            for (size_t j = i; j-- > 0 && ops[j].kind == DrawOp::Kind::Text && ops[j].a.x() >= bar.a.x();)
                parts.insert(parts.begin(), &ops[j]);
            if (parts.size() < 4) // d/dx draws its bar first: not one of these
                continue;
            const DrawOp& d = *parts[0]; // the numerator's d
            EXPECT_EQ(d.text, QStringLiteral("d"));
            for (const DrawOp* part : parts) {
                const QRectF ink = course::inkBounds(*part);
                EXPECT_LE(ink.right(), bar.b.x()) << "page " << k << " " << part->text.toStdString();
                EXPECT_TRUE(ink.bottom() + 1 <= bar.a.y() + 1e-9 || ink.top() >= bar.a.y() + 1)
                    << "page " << k << " " << part->text.toStdString();
                // A numerator letter stands on the baseline of its d, or above it when
                // its tail needs the room.
                if ((part->text == QStringLiteral("y") || part->text == QStringLiteral("z")) &&
                    part->a.y() < bar.a.y()) {
                    EXPECT_LE(part->a.y() + part->ascent, d.a.y() + d.ascent + 1e-9) << "page " << k;
                }
            }
            ++fractions;
        }
    }
    EXPECT_GE(fractions, 4);
}

TEST_F(ExplanationPages, SubscriptsAndTickLabelsKeepClearOfTheLetterAndTheTick) {
    // Every x₀ (and x_min, x_max): the subscript starts past the italic x's ink.
    int subscripts = 0;
    for (int k : {0, 1}) {
        const auto ops = textOps(w->page(k));
        for (size_t i = 0; i + 1 < ops.size(); ++i) {
            const QString sub = ops[i + 1].text;
            if (ops[i].text != QStringLiteral("x") ||
                (sub != QStringLiteral("0") && sub != QStringLiteral("min") && sub != QStringLiteral("max")))
                continue;
            ++subscripts;
            EXPECT_GE(course::inkBounds(ops[i + 1]).left(), course::inkBounds(ops[i]).right())
                << "page " << k << " x" << sub.toStdString();
        }
    }
    EXPECT_GE(subscripts, 20);
    // The ticks of the figure end above the letters of their labels.
    const course::Surface& g = w->page(0);
    std::vector<QRectF> labelInk; // the x of x₀, x_min and x_max under the axis
    const auto figureText = textOps(g);
    for (size_t i = 0; i + 1 < figureText.size(); ++i)
        if (figureText[i].text == QStringLiteral("x") && figureText[i].fontSize < doc->PageFontSize &&
            figureText[i + 1].text != QStringLiteral(")"))
            labelInk.push_back(course::inkBounds(figureText[i]));
    ASSERT_EQ(labelInk.size(), 3u);
    int ticks = 0;
    for (const DrawOp& op : g.ops())
        if (op.kind == DrawOp::Kind::Line && op.a.x() == op.b.x() && op.width == 1)
            for (const QRectF& ink : labelInk)
                if (std::abs(ink.center().x() - op.a.x()) < ink.width()) {
                    ++ticks;
                    EXPECT_LE(course::inkBounds(op).bottom() + 1, ink.top() + 1e-9);
                }
    EXPECT_EQ(ticks, 3);
}

TEST_F(ExplanationPages, TagsStandInTheirColumnClearOfTheFormulas) {
    const auto p0 = textOps(w->page(0));
    const DrawOp* tag1 = findText(p0, QStringLiteral("[1]  "));
    ASSERT_NE(tag1, nullptr);
    EXPECT_EQ(tag1->a.x(), doc->TagCol);

    const auto p1 = textOps(w->page(1));
    const DrawOp* tag2 = findText(p1, QStringLiteral("[2]"));
    ASSERT_NE(tag2, nullptr);
    EXPECT_GE(tag2->a.x(), doc->TagCol + 2 * doc->CharW);
    for (const DrawOp& op : p1) {
        if (&op == tag2 || std::abs(op.a.y() - tag2->a.y()) > doc->CharH)
            continue;
        if (op.a.x() < tag2->a.x()) {
            EXPECT_LE(op.a.x() + op.cell.width(), tag2->a.x()) << op.text.toStdString();
        }
    }
}

TEST_F(ExplanationPages, EveryCharacterHasAGlyphOnScreenAndInPrint) {
    EXPECT_EQ(course::missingCharacters(w->page(0)), QString());
    EXPECT_EQ(course::missingCharacters(w->page(1)), QString());
    EXPECT_EQ(course::missingCharacters(printPage(0)), QString());
    EXPECT_EQ(course::missingCharacters(printPage(1)), QString());
}

TEST_F(ExplanationPages, EveryRunStaysOnTheVisiblePage) {
    const QSize visible = w->visiblePageSize();
    for (int k : {0, 1}) {
        for (const DrawOp& op : textOps(w->page(k))) {
            const QRectF c = cellOf(op);
            EXPECT_GE(c.left(), 0) << k << op.text.toStdString();
            EXPECT_LE(c.right(), visible.width()) << k << op.text.toStdString();
            EXPECT_LE(c.bottom(), visible.height()) << k << op.text.toStdString();
        }
        const course::Surface& printed = printPage(k);
        for (const DrawOp& op : textOps(printed))
            EXPECT_TRUE(QRectF(QPointF(0, 0), QSizeF(printed.size())).contains(cellOf(op)))
                << k << op.text.toStdString();
    }
}
