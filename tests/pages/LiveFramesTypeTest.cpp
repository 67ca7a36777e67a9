// SPDX-License-Identifier: GPL-3.0-or-later
// The live pages' labels against their curves frame by frame: the check of a finished
// page sees only the last frame, while the curves of tessera's packet and brindle's
// traces move under and beside the labels and rows of text through the whole run, and
// sorrel draws its pictures afresh for every cycle.

#include "TypeCheck.h"

#include "../brindle/pages/PageTestSupport.h"
#include "../tessera/FakePacing.h"

#include "SorrelWalk.h"
#include "SorrelWindow.h"
#include "TesseraDocument.h"

#include <engine/shell/Form1.h>
#include "RecordingSink.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QUrl>

#include <memory>

using namespace course;
using namespace course::testing;

namespace {

// The label faults of `g`, each once (a frame repeats those of the frames before it).
void collectLabelFaults(const Surface& g, QStringList& out) {
    for (const TypeFault& f : typeFaults(g))
        if (f.rule == QStringLiteral("label")) {
            const QString line = f.item + QStringLiteral(": ") + f.measure;
            if (!out.contains(line))
                out << line;
        }
}

QString listed(const QStringList& faults) { return faults.mid(0, 20).join(u'\n'); }

struct TesseraFrames : ::testing::Test {
    std::unique_ptr<tessera::TesseraDocument> doc;
    std::unique_ptr<Form1> w;
    tessera::testing::FakePacer pacer;
    QStringList faults;
    int frames = 0;
    static constexpr int kLive = 3;

    void SetUp() override {
        doc = std::make_unique<tessera::TesseraDocument>();
        pacer.attach(*doc);
        doc->env().endHook = [] {};
        doc->env().soundSink = [](Sound) {};
        doc->setSpeed(2);
        w = std::make_unique<Form1>(*doc, testFonts());
        w->setPrintSink(std::make_unique<RecordingSink>());
        w->Form_Load(false);
        // Inside each wait the frame just drawn is on the page.
        pacer.during = [this](int) {
            ++frames;
            collectLabelFaults(w->page(kLive), faults);
        };
    }
    void TearDown() override {
        w.reset();
        doc.reset();
    }
};

} // namespace

TEST_F(TesseraFrames, EveryFrameOfBothSchemesKeepsTheLabelsClear) {
    w->ShowThisPic(kLive);
    const int crankNicolson = frames;
    EXPECT_GT(crankNicolson, 100);
    // The explicit scheme's density grows until the run stops: clipped at the plot's top.
    doc->setSpeed(0.5); // a drawn frame for every step
    ASSERT_TRUE(w->commands().trigger(QStringLiteral("packet-scheme")));
    EXPECT_GT(frames - crankNicolson, 5);
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << listed(faults).toStdString();
}

namespace {

struct BrindleModel {
    const char* name;
    brindle::PotentialKind kind;
    int l;
    bool offGrid;
};
void PrintTo(const BrindleModel& m, std::ostream* os) { *os << m.name; }

// brindle's live page for each model: a screen run of page 2 on a picture no view
// shows, every `stride`-th step of it and the finished page checked.
class BrindleFrames : public ::testing::TestWithParam<BrindleModel> {
protected:
    QStringList run(int stride) {
        const BrindleModel& m = GetParam();
        std::unique_ptr<Document> made = brindle::makeDocument(1.0, m.l, false, m.kind, m.offGrid);
        auto& doc = static_cast<brindle::BrindleDocument&>(*made);
        doc.env().endHook = [] {};
        doc.env().soundSink = [](Sound) {};
        pacer.attach(doc);
        Form1 w(doc, testFonts());
        w.setPrintSink(std::make_unique<RecordingSink>());
        w.Form_Load(false);
        QStringList faults;
        Surface picture(testFonts(), brindle::livePageSize());
        pacer.during = [&](int k) {
            if (k % stride == 0)
                collectLabelFaults(picture, faults);
        };
        doc.drawPageOn(picture, 2);
        collectLabelFaults(picture, faults);
        return faults;
    }
    brindle::testing::FakePacer pacer;
};

} // namespace

// Steps sampled at a stride prime to the 640 of an iteration (COURSE_TEST_FRAME_STRIDE sets another), so that the samples fall
// at every place along the traces over the run.
TEST_P(BrindleFrames, TracesLevelsAndRowsKeepTheLabelsClearThroughTheRun) {
    const int stride = qEnvironmentVariableIntValue("COURSE_TEST_FRAME_STRIDE");
    const QStringList faults = run(stride > 0 ? stride : 101);
    EXPECT_GT(pacer.sleeps(), 1000);
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << listed(faults).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Models, BrindleFrames,
    ::testing::Values(BrindleModel{"oscillator_l1", brindle::PotentialKind::Oscillator, 1, false},
                      BrindleModel{"coulomb_l0", brindle::PotentialKind::Coulomb, 0, false},
                      BrindleModel{"coulomb_l1", brindle::PotentialKind::Coulomb, 1, false},
                      BrindleModel{"coulomb_l2", brindle::PotentialKind::Coulomb, 2, false},
                      BrindleModel{"well_l0", brindle::PotentialKind::Well, 0, false},
                      BrindleModel{"well_l2", brindle::PotentialKind::Well, 2, false},
                      BrindleModel{"well_off_grid_l1", brindle::PotentialKind::Well, 1, true},
                      BrindleModel{"morse_l0", brindle::PotentialKind::Morse, 0, false}),
    [](const ::testing::TestParamInfo<BrindleModel>& info) { return std::string(info.param.name); });

// sorrel's pictures are cleared and drawn again as the run goes on (the potential and
// the matched solutions of each cycle): checked whenever another 200 operations have
// been drawn on them since the last check or clear.
TEST(SorrelFrames, EveryCycleKeepsTheLabelsClear) {
    Environment env;
    sorrel::SorrelWindow w(testFonts(), quietSorrelConfig(env));
    QStringList faults;
    int checks = 0;
    for (Surface* g : {&w.pic(), &w.picNumerov()}) {
        auto checked = std::make_shared<std::size_t>(0); // operations at the last check
        g->setChangeListener([g, checked, &faults, &checks] {
            const std::size_t n = g->ops().size();
            if (n < *checked) {
                *checked = 0; // cleared
            } else if (n >= *checked + 200) {
                ++checks;
                collectLabelFaults(*g, faults);
                *checked = n;
            }
        });
    }
    ASSERT_EQ(w.load(), sorrel::RunOutcome::Completed);
    EXPECT_GT(checks, 50);
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n" << listed(faults).toStdString();
}
