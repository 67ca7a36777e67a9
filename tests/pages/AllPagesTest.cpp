// SPDX-License-Identifier: GPL-3.0-or-later
// Every page of every document, as shown and as printed: no character its font lacks,
// nothing drawn past the right edge or below the part of the page the window shows.

#include "PageWalk.h"
#include "RecordingSink.h"
#include <engine/shell/EventPump.h>
#include <engine/sounds/Sounds.h>

#include <QPainter>

#include <gtest/gtest.h>

using namespace course;

namespace {

using course::testing::DocumentMaker;
using course::testing::RecordingSink;

// Text runs whose cell leaves the area [0, width) × [0, height).
QStringList outside(const Surface& g, QSize area) {
    QStringList bad;
    for (const DrawOp& op : g.ops()) {
        if (op.kind != DrawOp::Kind::Text || op.angle != 0)
            continue;
        const double right = op.a.x() + op.cell.width();
        const double bottom = op.a.y() + op.cell.height();
        if (op.a.x() < -1 || right > area.width() + 1 || op.a.y() < -op.cell.height() / 2 ||
            bottom > area.height() + 1)
            bad << QStringLiteral("\"%1\" at (%2, %3)").arg(op.text).arg(op.a.x()).arg(op.a.y());
    }
    return bad;
}

class AllPages : public course::testing::EachDocument {};

} // namespace

TEST_P(AllPages, ScreenPagesHaveEveryGlyphAndStayInTheWindow) {
    Form1& w = load();
    course::testing::forEachScreenPage(w, [&](int k, const Surface& g) {
        EXPECT_GT(g.ops().size(), 10u) << "page " << k << " is empty";
        EXPECT_EQ(missingCharacters(g).toStdString(), "") << "page " << k;
        EXPECT_EQ(outside(g, w.visiblePageSize()).join(QStringLiteral("; ")).toStdString(), "")
            << "page " << k;
    });
    if (Surface* title = w.titleBox()) {
        EXPECT_EQ(missingCharacters(*title).toStdString(), "");
    }
}

TEST_P(AllPages, PrintedPagesHaveEveryGlyphAndFitTheCanvas) {
    Form1& w = load();
    course::testing::forEachPrintedPage(w, [](int k, const Surface& canvas) {
        EXPECT_EQ(missingCharacters(canvas).toStdString(), "") << "printed page " << k;
        EXPECT_EQ(outside(canvas, canvas.size()).join(QStringLiteral("; ")).toStdString(), "")
            << "printed page " << k;
    });
}

INSTANTIATE_TEST_SUITE_P(Documents, AllPages, ::testing::ValuesIn(course::testing::documentMakers()),
                         [](const ::testing::TestParamInfo<DocumentMaker>& info) {
                             return std::string(info.param.name);
                         });
