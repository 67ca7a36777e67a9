// Every page of every document, as shown and as printed: no character its font lacks,
// nothing drawn past the right edge or below the part of the page the window shows.

#include <course/shell/EventPump.h>
#include <course/shell/Form1.h>
#include <course/shell/PageExport.h>
#include "RecordingSink.h"
#include <course/textruns/Sounds.h>

#include "tessera/TesseraDocument.h"
#include "quillet/QuilletDocument.h"
#include "brindle/BrindleDocument.h"
#include "oriel/OrielDocument.h"
#include "calyx/CalyxDocument.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace course;

namespace {

struct Maker {
    const char* name;
    std::function<std::unique_ptr<Document>()> make;
};

void PrintTo(const Maker& m, std::ostream* os) { *os << m.name; }

std::vector<Maker> documents() {
    return {{"tessera", [] { return tessera::makeDocument(); }},
            {"quillet", [] { return quillet::makeDocument(); }},
            {"brindle", [] { return brindle::makeDocument(); }},
            {"oriel", [] { return oriel::makeDocument(); }},
            {"calyx", [] { return calyx::makeDocument(); }}};
}

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

class AllPages : public ::testing::TestWithParam<Maker> {
protected:
    void SetUp() override {
        Sounds::setSink([](Sound) {});
        setEndHook([] {});
    }
    void TearDown() override {
        Sounds::setSink({});
        setEndHook({});
        resetEndRequest();
    }
};

} // namespace

TEST_P(AllPages, ScreenPagesHaveEveryGlyphAndStayInTheWindow) {
    auto doc = GetParam().make();
    Form1 w(*doc);
    w.Form_Load(false);
    completePagesForExport(w);
    for (int k = 0; k < w.pageCount(); ++k) {
        const Surface& g = w.page(k);
        EXPECT_GT(g.ops().size(), 10u) << "page " << k << " is empty";
        EXPECT_EQ(missingCharacters(g).toStdString(), "") << "page " << k;
        EXPECT_EQ(outside(g, w.visiblePageSize()).join(QStringLiteral("; ")).toStdString(), "")
            << "page " << k;
    }
    if (Surface* title = w.titleBox()) {
        EXPECT_EQ(missingCharacters(*title).toStdString(), "");
    }
}

TEST_P(AllPages, PrintedPagesHaveEveryGlyphAndFitTheCanvas) {
    auto doc = GetParam().make();
    Form1 w(*doc);
    w.setPrintSink(std::make_unique<RecordingSink>());
    w.Form_Load(false);
    for (int k = 0; k < w.pageCount(); ++k) {
        doc->CurPic = k; // select the page without showing it (a live page would run)
        w.cmdPrint_Click();
        const Surface& canvas = w.Form2();
        EXPECT_EQ(missingCharacters(canvas).toStdString(), "") << "printed page " << k;
        EXPECT_EQ(outside(canvas, canvas.size()).join(QStringLiteral("; ")).toStdString(), "")
            << "printed page " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, AllPages, ::testing::ValuesIn(documents()),
                         [](const ::testing::TestParamInfo<Maker>& info) {
                             return std::string(info.param.name);
                         });
