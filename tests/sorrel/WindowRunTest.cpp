// SPDX-License-Identifier: GPL-3.0-or-later
// One complete unpaced run of the Hartree window, observed step by step: the table
// on the window, the colours of the curves and the legend, the summary, the sound,
// the download label, and the glyph coverage of every surface.

#include "WindowTestSupport.h"
#include "TestFonts.h"
#include <engine/shell/RunControls.h>

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using course::testing::testFonts;
using namespace sorrel;
using namespace sorrel::test;
using course::DrawOp;
using course::Rgb;

namespace {

struct InnerStepRecord {
    int nIter = 0;
    int kIter = 0;
    std::vector<DrawOp> points;   // PSet ops of this step (inward start, outward start)
    std::vector<Rgb> lineColours; // one entry per Line op of this step
    std::vector<int> lineWidths;
};

struct RunRecord {
    TestEnvironment env; // outlives the window, which keeps a pointer to it
    std::unique_ptr<SorrelWindow> window;
    std::vector<std::pair<Spy::Step, int>> rowsAfter; // rows on the window after D4, D5, D6
    std::vector<InnerStepRecord> innerSteps;
    std::vector<std::size_t> potentialLines; // Line ops of each D2 curve
    std::vector<Rgb> potentialColours;
    bool labelVisibleBeforeReport = true;
    std::size_t soundsBeforeReport = 99;
    std::vector<course::Sound> sounds;
    std::vector<QUrl> opened;
    bool openSucceeds = true;
    double lineHeight = 0;
    RunOutcome outcome = RunOutcome::Stopped;
};

RunRecord& run() {
    static RunRecord* record = [] {
        auto* r = new RunRecord;
        TestEnvironment& sounds = r->env;
        SorrelWindow::Config config = SorrelWindow::unpaced();
        config.sourceUrl = QUrl(QStringLiteral("https://course.test/quantum-course-source.tar.xz"));
        config.openUrl = [r](const QUrl& url) {
            r->opened.push_back(url);
            return r->openSucceeds;
        };
        r->window = std::make_unique<SorrelWindow>(testFonts(), sounds(config));
        SorrelWindow& w = *r->window;
        Spy spy(w.display());
        std::size_t mark = 0;
        spy.before = [&](Spy::Step k, const HartreeState&) {
            mark = (k == Spy::D3) ? w.picNumerov().ops().size() : 0;
            if (k == Spy::D6) {
                r->labelVisibleBeforeReport = w.getSourceFile()->isVisibleTo(&w);
                r->soundsBeforeReport = sounds.played.size();
            }
        };
        spy.after = [&](Spy::Step k, const HartreeState& s) {
            const course::Surface& f = w.form();
            if (r->lineHeight == 0)
                r->lineHeight = f.TextHeight(QStringLiteral("A"));
            if (k == Spy::D4 || k == Spy::D5 || k == Spy::D6)
                r->rowsAfter.emplace_back(k, static_cast<int>(tableRows(f, r->lineHeight).size()));
            if (k == Spy::D2) {
                const auto lines = opsOf(w.picNumerov(), DrawOp::Kind::Line);
                std::size_t n = 0;
                for (const DrawOp* op : lines)
                    if (op->width == 2) {
                        ++n;
                        r->potentialColours.push_back(op->color);
                    }
                r->potentialLines.push_back(n);
            }
            if (k == Spy::D3) {
                InnerStepRecord rec;
                rec.nIter = s.nIter();
                rec.kIter = s.kIter();
                for (const DrawOp* op : opsOf(w.picNumerov(), DrawOp::Kind::Point, mark))
                    rec.points.push_back(*op);
                for (const DrawOp* op : opsOf(w.picNumerov(), DrawOp::Kind::Line, mark)) {
                    rec.lineColours.push_back(op->color);
                    rec.lineWidths.push_back(op->width);
                }
                r->innerSteps.push_back(std::move(rec));
            }
            return Flow::Continue;
        };
        r->outcome = w.load(&spy);
        r->sounds = sounds.played;
        return r;
    }();
    return *record;
}

} // namespace

TEST(SorrelWindowRun, CompletesWithTheUsualEightCyclesAndSeventeenInnerSteps) {
    RunRecord& r = run();
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    ASSERT_NE(r.window->state(), nullptr);
    EXPECT_EQ(r.window->state()->nIter(), 8);
    EXPECT_EQ(r.innerSteps.size(), 17u);
    EXPECT_EQ(r.potentialLines.size(), 8u);
}

TEST(SorrelWindowRun, TableGrowsOneRowPerInnerStepAndCycleThenFiveReportRows) {
    RunRecord& r = run();
    ASSERT_EQ(r.rowsAfter.size(), 17u + 8u + 1u);
    int rows = 0;
    for (const auto& [step, count] : r.rowsAfter) {
        if (step == Spy::D6) {
            EXPECT_EQ(count, rows + 5);
        } else {
            EXPECT_EQ(count, rows + 1) << "after step D" << int(step) + 1;
        }
        rows = count;
    }
    // Rows 2..31: one empty line, then the first line break of the table.
    const std::set<int> all = tableRows(r.window->form(), r.lineHeight);
    ASSERT_EQ(all.size(), 30u);
    EXPECT_EQ(*all.begin(), 2);
    EXPECT_EQ(*all.rbegin(), 31);
}

TEST(SorrelWindowRun, TableFitsLeftOfThePlotsAndAboveTheBottomEdge) {
    RunRecord& r = run();
    const SorrelWindow& w = *r.window;
    const int plotsLeft = std::min(w.picNumerovBox()->x(), w.picBox()->x());
    double right = 0, bottom = 0;
    for (const DrawOp* op : opsOf(r.window->form(), DrawOp::Kind::Text)) {
        right = std::max(right, op->a.x() + op->cell.width());
        bottom = std::max(bottom, op->a.y() + op->cell.height());
    }
    EXPECT_LT(right, plotsLeft);
    EXPECT_LT(bottom, SorrelWindow::designSize().height());
}

TEST(SorrelWindowRun, SummaryShowsTheConvergedEnergiesAndTheReferences) {
    RunRecord& r = run();
    QString text;
    for (const DrawOp* op : opsOf(r.window->form(), DrawOp::Kind::Text))
        text += op->text;
    EXPECT_TRUE(text.contains(QStringLiteral("電子エネルギー")));
    EXPECT_TRUE(text.contains(QStringLiteral(" = -0.9179")));
    EXPECT_TRUE(text.contains(QStringLiteral(" = 1.0258")));
    EXPECT_TRUE(text.contains(QStringLiteral("全エネルギー")));
    EXPECT_TRUE(text.contains(QStringLiteral(" = -2.8617")));
    EXPECT_TRUE(text.contains(QStringLiteral(" -2.8477 (変分法")));
    EXPECT_TRUE(text.contains(QStringLiteral(" -2.9037  (実測値 = 79.02 eV).")));
    // Running table: five decimals.
    EXPECT_TRUE(text.contains(QStringLiteral(" = -2.86165")));
}

TEST(SorrelWindowRun, LegendAndCycleCurvesTakeSuccessivePaletteColours) {
    RunRecord& r = run();
    SorrelWindow& w = *r.window;
    const auto& palette = w.glyphs().MyColor;
    std::vector<const DrawOp*> legend;
    std::map<Rgb, int> curvePoints;
    const QPointF axisX = w.pic().toPixels(-1, 0), axisY = w.pic().toPixels(0, -10);
    for (const DrawOp* op : opsOf(w.pic(), DrawOp::Kind::Line)) {
        // The axes are set on whole pixels, within half a pixel of their places.
        auto at = [op](QPointF p) { return std::abs(op->a.x() - p.x()) <= 0.5 && std::abs(op->a.y() - p.y()) <= 0.5; };
        if (at(axisX) || at(axisY))
            continue; // the grey axes share their colour with palette entry 7
        if (op->width == 2)
            legend.push_back(op);
        else
            ++curvePoints[op->color];
    }
    ASSERT_EQ(legend.size(), 8u);
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(legend[n]->color, palette[n + 1]) << "cycle " << n;
        // Entries stack downwards by 0.7 plot units per cycle.
        if (n > 0) {
            EXPECT_NEAR(w.pic().toPixels(0, 0.7).y() - w.pic().toPixels(0, 0).y(),
                        legend[n]->a.y() - legend[n - 1]->a.y(), 1.0); // each on whole pixels
        }
        // Each curve runs from r = h to the first point past r = 4.2 (i = 2151).
        EXPECT_EQ(curvePoints[palette[n + 1]], 2151) << "cycle " << n;
    }
    // Swapped entries of this program: 7 grey, 8 red.
    EXPECT_EQ(palette[7], course::RGB(128, 128, 128));
    EXPECT_EQ(palette[8], course::RGB(255, 0, 0));
    // Past fifteen cycles the colours would start again at entry 1.
    EXPECT_EQ(w.display().cycleColour(15), palette[15]);
    EXPECT_EQ(w.display().cycleColour(16), palette[1]);
    EXPECT_EQ(w.display().cycleColour(31), palette[1]);
}

TEST(SorrelWindowRun, MatchedSolutionsAreColouredByInnerStep) {
    RunRecord& r = run();
    SorrelDisplay& d = r.window->display();
    const auto& palette = r.window->glyphs().MyColor;
    constexpr std::size_t inward = 2176 - HartreeState::iMatch + 1; // 1867
    constexpr std::size_t outward = HartreeState::iMatch;           // 310
    int firstCycleSteps = 0;
    for (const InnerStepRecord& rec : r.innerSteps) {
        if (rec.nIter == 0)
            ++firstCycleSteps;
        ASSERT_EQ(rec.lineColours.size(), inward + outward);
        ASSERT_EQ(rec.points.size(), 2u);
        const Rgb in = rec.kIter % 2 == 0 ? palette[1] : palette[8];
        const Rgb out = rec.kIter % 2 == 0 ? palette[8] : palette[1];
        EXPECT_EQ(rec.points[0].color, in);
        EXPECT_EQ(rec.points[1].color, out);
        for (std::size_t i = 0; i < inward; ++i)
            ASSERT_EQ(rec.lineColours[i], in) << "kIter " << rec.kIter << " point " << i;
        for (std::size_t i = inward; i < inward + outward; ++i)
            ASSERT_EQ(rec.lineColours[i], out) << "kIter " << rec.kIter << " point " << i;
        for (int width : rec.lineWidths)
            ASSERT_EQ(width, 2);
    }
    EXPECT_EQ(firstCycleSteps, 3);
    // Inner steps from the fourth on (never reached with these constants).
    EXPECT_EQ(d.inwardColour(3), course::RGB(0, 224, 0));
    EXPECT_EQ(d.outwardColour(3), course::RGB(255, 96, 0));
    EXPECT_EQ(d.inwardColour(7), course::RGB(0, 224, 0));
}

TEST(SorrelWindowRun, PotentialIsDrawnOncePerCycleUpToThePlotEdge) {
    RunRecord& r = run();
    for (std::size_t n : r.potentialLines)
        EXPECT_EQ(n, 2150u); // i = 2..2151
    for (Rgb c : r.potentialColours)
        ASSERT_EQ(c, SorrelDisplay::kPotentialColour);
    // The upper plot is cleared for each cycle: it ends with the last cycle's potential
    // and its two matched solutions.
    const auto points = opsOf(r.window->picNumerov(), DrawOp::Kind::Point);
    EXPECT_EQ(points.size(), 1u + 2u * 2u);
}

TEST(SorrelWindowRun, EndsWithOneChimeAndTheDownloadLabel) {
    RunRecord& r = run();
    EXPECT_FALSE(r.labelVisibleBeforeReport);
    EXPECT_EQ(r.soundsBeforeReport, 0u);
    ASSERT_EQ(r.sounds.size(), 1u);
    EXPECT_EQ(r.sounds[0], course::Sound::Chime);
    course::Label* label = r.window->getSourceFile();
    EXPECT_TRUE(label->isVisibleTo(r.window.get()));
    EXPECT_EQ(label->backColor(), 0xFFFFFFu);
    EXPECT_EQ(label->caption(), downloadCaption());
}

TEST(SorrelWindowRun, DownloadLabelOpensTheArchiveAddressAndReportsFailure) {
    RunRecord& r = run();
    course::Label* label = r.window->getSourceFile();
    r.opened.clear();
    r.openSucceeds = true;
    click(label);
    ASSERT_EQ(r.opened.size(), 1u);
    EXPECT_EQ(r.opened[0], QUrl(QStringLiteral("https://course.test/quantum-course-source.tar.xz")));
    EXPECT_EQ(label->caption(), downloadCaption());

    r.openSucceeds = false;
    click(label);
    EXPECT_EQ(r.opened.size(), 2u);
    EXPECT_EQ(label->caption(), downloadFailedCaption());
    label->setCaption(downloadCaption());
}

TEST(SorrelSourceArchive, ConfiguredAddressWinsOverTheInstalledArchive) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const QString name = QStringLiteral("suite-source.tar.xz");
    const QString configured = QStringLiteral("https://course.test/suite.tar.xz");
    // No archive in the data folder, nothing configured: nothing to open.
    EXPECT_TRUE(sourceArchiveUrl(QString(), data.path(), name).isEmpty());
    EXPECT_TRUE(sourceArchiveUrl(QString(), QString(), name).isEmpty());
    EXPECT_EQ(sourceArchiveUrl(configured, data.path(), name), QUrl(configured));

    QFile archive(data.filePath(name));
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    archive.close();
    EXPECT_EQ(sourceArchiveUrl(QString(), data.path(), name), QUrl::fromLocalFile(data.filePath(name)));
    EXPECT_EQ(sourceArchiveUrl(configured, data.path(), name), QUrl(configured));
    // A folder of that name is not an archive.
    EXPECT_TRUE(sourceArchiveUrl(QString(), data.path(), QStringLiteral(".")).isEmpty());
}

TEST(SorrelWindowRun, EveryCharacterDrawnHasAGlyphInItsFont) {
    RunRecord& r = run();
    SorrelWindow& w = *r.window;
    EXPECT_EQ(course::missingCharacters(w.form()), QString());
    EXPECT_EQ(course::missingCharacters(w.pic()), QString());
    EXPECT_EQ(course::missingCharacters(w.picNumerov()), QString());
    EXPECT_EQ(course::missingCharacters(w.label1()->surface()), QString());
    EXPECT_EQ(course::missingCharacters(w.getSourceFile()->surface()), QString());
    course::Label probe(testFonts(), nullptr, QString(), QStringLiteral("メイリオ"), 9.75);
    probe.placeAt(w.designRect(w.getSourceFile()), 1.0);
    probe.setCaption(downloadFailedCaption());
    EXPECT_EQ(course::missingCharacters(probe.surface()), QString());
}

TEST(SorrelWindowRun, ControlsSitAtTheirTwipsPositions) {
    SorrelWindow& w = *run().window;
    EXPECT_EQ(SorrelWindow::designSize(), QSize(805, 734));
    EXPECT_EQ(w.label1()->geometry(), QRect(181, 11, 376, 32));
    EXPECT_EQ(w.getSourceFile()->geometry(), QRect(487, 16, 304, 23));
    EXPECT_EQ(w.picNumerovBox()->geometry(), QRect(305, 42, 491, 261));
    EXPECT_EQ(w.picBox()->geometry(), QRect(308, 320, 492, 407));
    // The plots' user scales map onto the area inside their borders.
    EXPECT_EQ(w.pic().size(), QSize(488, 403));
    EXPECT_NEAR(w.pic().toPixels(-0.5, -9.5).x(), 0, 1e-9);
    EXPECT_NEAR(w.pic().toPixels(4.2, 1).y(), 403, 1e-9);
    EXPECT_NEAR(w.picNumerov().toPixels(4.2, 0.1).x(), 487, 1e-9);
    EXPECT_EQ(w.windowTitle(), kProgramTitle);
}

TEST(SorrelWindowRun, ZoomScalesTheControlsButNotTheExports) {
    SorrelWindow& w = *run().window;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString at100 = dir.filePath(QStringLiteral("100.png")),
                  at200 = dir.filePath(QStringLiteral("200.png"));
    ASSERT_TRUE(w.exportClientPng(at100, 2));
    // Ctrl + 0 is the zoom's, not the charge key 0.
    auto ctrl = [&w](Qt::Key key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::ControlModifier);
        QCoreApplication::sendEvent(w.picBox()->view(), &e);
    };
    for (int i = 0; i < 5; ++i)
        ctrl(Qt::Key_Equal);
    EXPECT_EQ(w.scale(), 2.0);
    EXPECT_EQ(w.picBox()->geometry(), course::scaledRect(w.designRect(w.picBox()), 2.0));
    EXPECT_EQ(w.picBox()->view()->geometry(),
              QRect(4, 4, 2 * w.pic().size().width(), 2 * w.pic().size().height()));
    EXPECT_EQ(w.label1()->geometry().size(), 2 * w.designRect(w.label1()).size());
    // The run's controls too, though a layout places their labels.
    EXPECT_EQ(w.runControls()->geometry(), course::scaledRect(w.designRect(w.runControls()), 2.0));
    EXPECT_EQ(w.runControls()->pauseLabel()->scale(), 2.0);
    ASSERT_TRUE(w.exportClientPng(at200, 2));
    EXPECT_EQ(bytes(at100), bytes(at200));
    ctrl(Qt::Key_0);
    EXPECT_EQ(w.scale(), 1.0);
    EXPECT_EQ(w.charge(), 2);
    EXPECT_EQ(w.picBox()->geometry(), w.designRect(w.picBox()));
}
