// SPDX-License-Identifier: GPL-3.0-or-later
// A font table of its own data folder: without the derived fonts it draws with the
// declared stand-ins and says so, and it loads them once they are there.

#include <engine/system/DataFolder.h>
#include <engine/textruns/FontTable.h>
#include <engine/textruns/PageText.h>
#include <engine/textruns/Surface.h>
#include <engine/textruns/Units.h>

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace course;

namespace {
// The table measures a Symbol run and a body run as the fonts of these families do.
void expectMeasuredIn(FontTable& t, const QString& symbolFamily, const QString& bodyFamily) {
    const QString symbolRun = QStringLiteral("abc"), bodyRun = QStringLiteral("ノルム = 1.25");
    for (const auto& [requested, family, run] : {std::tuple(QStringLiteral("Symbol"), symbolFamily, symbolRun),
                                                 std::tuple(QStringLiteral("メイリオ"), bodyFamily, bodyRun)})
        for (int k = 0; k < 4; ++k) { // upright and italic, each measured twice
            const bool italic = k % 2 == 1;
            const FontTable::TextMetrics m = t.measure(requested, 13, false, italic, run);
            const QFontMetricsF fm(FontTable::fontOf(family, 13, false, italic), &units::referenceDevice());
            EXPECT_DOUBLE_EQ(m.width, fm.horizontalAdvance(run)) << family.toStdString();
            EXPECT_DOUBLE_EQ(m.height, fm.height()) << family.toStdString();
            EXPECT_DOUBLE_EQ(m.ascent, fm.ascent()) << family.toStdString();
        }
}
} // namespace

TEST(FontTableTest, WithoutDerivedFontsTheStandInsDrawAndSaySoUntilTheFontsAreThere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FontTable t(dir.path());
    const Outcome missing = t.loadDerivedFonts();
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(t.derivedFontsLoaded());
    EXPECT_TRUE(missing.message.startsWith(QStringLiteral("no derived fonts in %1/fonts").arg(dir.path())))
        << missing.message.toStdString();
    EXPECT_TRUE(missing.message.contains(QStringLiteral("\"Symbol\" is drawn in Standard Symbols PS")))
        << missing.message.toStdString();
    EXPECT_TRUE(missing.message.contains(QStringLiteral("\"メイリオ\" is drawn in Noto Sans CJK JP")))
        << missing.message.toStdString();
    EXPECT_EQ(t.familyFor(QStringLiteral("Symbol")), QStringLiteral("Standard Symbols PS"));
    EXPECT_FALSE(t.symbolCodesTranslated(QStringLiteral("Symbol")));
    EXPECT_EQ(t.familyFor(QStringLiteral("メイリオ")), QStringLiteral("Noto Sans CJK JP"));
    EXPECT_TRUE(t.hasFontOrStandIn(QStringLiteral("Symbol")));
    EXPECT_EQ(t.familyFor(QStringLiteral("Courier New")), QStringLiteral("Liberation Mono"));
    expectMeasuredIn(t, QStringLiteral("Standard Symbols PS"), QStringLiteral("Noto Sans CJK JP"));

    // The fonts arrive in the folder: the next attempt loads them.
    const QString from = DataFolder::path() + QStringLiteral("/fonts");
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("fonts"))));
    for (const QString& f : QDir(from).entryList({QStringLiteral("Course*.otf")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(from + u'/' + f, dir.filePath(QStringLiteral("fonts/") + f)))
            << f.toStdString();
    const Outcome loaded = t.loadDerivedFonts();
    EXPECT_TRUE(loaded.ok) << loaded.message.toStdString();
    EXPECT_TRUE(t.derivedFontsLoaded());
    EXPECT_EQ(t.familyFor(QStringLiteral("Symbol")), QStringLiteral("Course Symbol"));
    EXPECT_TRUE(t.symbolCodesTranslated(QStringLiteral("Symbol")));
    EXPECT_EQ(t.familyFor(QStringLiteral("メイリオ")), QStringLiteral("Course Sans JP"));
    // What was measured in the stand-ins is measured again in the derived fonts.
    expectMeasuredIn(t, QStringLiteral("Course Symbol"), QStringLiteral("Course Sans JP"));
}

TEST(FontTableTest, WithoutADataFolderTheTableSaysSoAndIgnoresFontsAnotherTableLoaded) {
    FontTable none{QString()};
    const Outcome r = none.loadDerivedFonts();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("no data folder beside the program")))
        << r.message.toStdString();
    EXPECT_EQ(none.familyFor(QStringLiteral("Symbol")), QStringLiteral("Standard Symbols PS"));
    // The derived fonts another table added to the font database do not count here.
    FontTable program(DataFolder::path());
    EXPECT_TRUE(program.loadDerivedFonts().ok);
    EXPECT_EQ(none.familyFor(QStringLiteral("Symbol")), QStringLiteral("Standard Symbols PS"));
    EXPECT_EQ(program.familyFor(QStringLiteral("Symbol")), QStringLiteral("Course Symbol"));
}

namespace {
// A clean surface with a line in the body face and a Symbol run (α, Σ), as the pages draw them.
void drawSample(Surface& g) {
    g.Cls();
    g.FontName = QStringLiteral("メイリオ");
    g.FontSize = 13;
    g.CurrentX = 10;
    g.CurrentY = 10;
    g.Print(QStringLiteral("和 x = "));
    g.FontName = QStringLiteral("Symbol");
    g.Print(QString(QChar(u'a')) + QChar(229));
}

const DrawOp& lastText(const Surface& g) { return g.ops().back(); }
} // namespace

TEST(FontTableTest, TwoTablesDriveTwoSurfacesOfOneProcessEachWithItsOwnFonts) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    FontTable standIns(empty.path());
    FontTable derived(DataFolder::path());
    Surface a(standIns, QSize(200, 40));
    Surface b(derived, QSize(200, 40));
    // Drawn in turns, so that neither table's answers can leak into the other's run.
    for (Surface* g : {&a, &b, &a})
        drawSample(*g);

    const DrawOp& sa = lastText(a);
    const DrawOp& sb = lastText(b);
    EXPECT_EQ(sa.family, QStringLiteral("Standard Symbols PS"));
    EXPECT_FALSE(sa.symbolTranslated);
    EXPECT_EQ(sa.text, QString(QChar(u'a')) + QChar(229)); // the byte codes, drawn as such
    EXPECT_EQ(sb.family, QStringLiteral("Course Symbol"));
    EXPECT_TRUE(sb.symbolTranslated);
    const QString greek = symbolToUnicode(sa.text); // α and the summation sign
    EXPECT_EQ(sb.text, greek);
    ASSERT_EQ(a.ops().size(), 3u);
    ASSERT_EQ(b.ops().size(), 3u);
    EXPECT_EQ(a.ops()[1].family, QStringLiteral("Noto Sans CJK JP"));
    EXPECT_EQ(b.ops()[1].family, QStringLiteral("Course Sans JP"));
    // Each surface measures in its own fonts: the two Symbol faces have other lines.
    EXPECT_NE(sa.cell.height(), sb.cell.height());
    EXPECT_EQ(a.TextHeight(QStringLiteral("a")), sa.cell.height());
    EXPECT_EQ(b.TextHeight(QStringLiteral("a")), sb.cell.height());
    EXPECT_EQ(missingCharacters(a), QString());
    EXPECT_EQ(missingCharacters(b), QString());
    // Read as text, the byte codes and their Unicode are the same characters.
    for (const Surface* g : {&a, &b})
        EXPECT_TRUE(pageText(*g).contains(greek)) << pageText(*g).toStdString();
}

TEST(FontTableTest, ARecordedPageIsDrawnAgainAfterItsTableIsGone) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    auto fonts = std::make_unique<FontTable>(empty.path());
    Surface g(*fonts, QSize(200, 40));
    drawSample(g);
    const QImage before = g.image(2.0).copy();
    const QString textBefore = pageText(g);
    const QRectF inkBefore = inkBounds(g, 0);

    // Another table with other fonts for the same names is about while it is replayed.
    fonts.reset();
    FontTable other(DataFolder::path());
    Surface elsewhere(other, QSize(200, 40));
    drawSample(elsewhere);

    g.image(3.0); // the kept image is dropped: the next one is painted from the recording
    EXPECT_EQ(g.image(2.0), before);
    QImage rendered = units::imageAt(QSize(200, 40), 2.0);
    {
        QPainter p(&rendered);
        g.render(p);
    }
    EXPECT_EQ(rendered, before);
    EXPECT_EQ(pageText(g), textBefore);
    EXPECT_EQ(inkBounds(g, 0), inkBefore);
    EXPECT_EQ(missingCharacters(g), QString());
}
