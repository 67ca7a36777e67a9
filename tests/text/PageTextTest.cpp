#include "PageWalk.h"
#include "TestOutput.h"

#include <course/textruns/PageText.h>
#include <course/textruns/Sounds.h>

#include <QFile>

#include <gtest/gtest.h>

using namespace course;

TEST(PageTextDump, EveryPage) {
    Sounds::setSink([](Sound) {});
    for (const auto& m : course::testing::documentMakers()) {
        auto doc = m.make();
        Form1 w(*doc);
        w.Form_Load(false);
        course::testing::forEachScreenPage(w, [&](int k, const Surface& g) {
            QFile f(course::testing::outputDir() + QStringLiteral("/%1-%2.txt").arg(m.name).arg(k));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(pageText(g).toUtf8());
        });
    }
    Sounds::setSink({});
}

TEST(PageTextDump, Ops) {
    auto doc = quillet::makeDocument();
    Form1 w(*doc);
    w.Form_Load(false);
    const Surface& g = w.page(1);
    for (const DrawOp& op : g.ops())
        if (op.kind == DrawOp::Kind::Text && op.a.y() > 150 && op.a.y() < 250)
            printf("%-10s %-18s %5.2f x=%6.1f y=%6.1f w=%5.1f h=%5.1f base=%6.1f c=%d %s\n", op.text.toUtf8().constData(),
                   op.fontName.toUtf8().constData(), op.fontSize, op.a.x(), op.a.y(), op.cell.width(),
                   op.cell.height(), op.a.y() + op.ascent, op.construct, op.constructKind.toUtf8().constData());
}
