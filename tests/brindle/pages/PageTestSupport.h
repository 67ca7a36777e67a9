// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the brindle page tests: a fake monotonic clock and pacer that make a
// paced run take milliseconds, a recorder of everything drawn on a surface (the live
// page clears itself at every pass), a print sink that keeps the canvas's drawing,
// and the main window with the brindle document.

#include "BrindleDocument.h"
#include "TestFonts.h"

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/PrintSink.h>
#include <engine/system/Environment.h>
#include <engine/textruns/Surface.h>

#include <brindle/EigenIteration.h>
#include <brindle/PlotMapping.h>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace brindle::testing {

using std::chrono::nanoseconds;
using namespace std::chrono_literals;

// A fake event loop on a fake clock that makes a paced run take milliseconds. A
// sleep wakes at once, moving the clock to its deadline plus `lateBy` (a late
// wake-up, as when drawing is slow); a sleep while the run is paused moves it by
// `pauseLength`. `during(k)` runs inside the k-th sleep (from 0, paused ones
// included), as an event handler would; a sleep that it wakes (a pause, a new speed,
// a cancelled run) ends without moving the clock.
class FakePacer {
public:
    nanoseconds t = 1000s;
    nanoseconds lateBy{0};
    nanoseconds pauseLength = 1s;
    std::vector<nanoseconds> deadlines; // of the timed sleeps
    std::vector<nanoseconds> startedAt; // clock reading when each timed sleep began
    int pausedSleeps = 0;
    int calls = 0;
    std::function<void(int)> during;

    void attach(BrindleDocument& doc) {
        doc.pacing().clock().setTimeSource([this] { return t; });
        course::Yield y;
        y.pumpOnce = [] { return true; };
        y.sleep = [this](std::optional<nanoseconds> until, const std::function<bool()>& wake) {
            const int k = calls++;
            if (until) {
                deadlines.push_back(*until);
                startedAt.push_back(t);
            } else if (++pausedSleeps > 100000) {
                ADD_FAILURE() << "a pause nobody ends";
                return false;
            }
            if (during)
                during(k);
            if (wake())
                return true;
            t = until ? std::max(t, *until) + lateBy : t + pauseLength;
            return true;
        };
        doc.pacing().setYield(std::move(y));
        // Every step of ×1 and ×2 waits for its own time, so that a test can name the
        // sleep of each step; steps due within 4 ms (×4 and faster) are drawn in pairs
        // and more. LivePage.StepsOfAFrameAreDrawnTogether runs the window's own.
        doc.pacing().setGather(4ms);
    }
    // Timed sleeps: one per traced step and the closing wait.
    int sleeps() const { return int(deadlines.size()); }
};

// Every operation drawn on a surface, also those a later Cls wipes out.
class OpRecorder {
public:
    explicit OpRecorder(course::Surface& g) : g_(g) {
        g_.setChangeListener([this] { take(); });
    }
    ~OpRecorder() { g_.setChangeListener({}); }
    OpRecorder(const OpRecorder&) = delete;
    OpRecorder& operator=(const OpRecorder&) = delete;

    std::vector<course::DrawOp> ops;
    int clears = 0;
    std::function<void()> onOp; // after each operation is taken

    std::vector<course::DrawOp> of(course::DrawOp::Kind kind) const {
        std::vector<course::DrawOp> out;
        for (const course::DrawOp& op : ops)
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }

private:
    // Every operation reaches the surface through one call of the listener.
    void take() {
        if (g_.revision() == revision_ || g_.ops().empty())
            return;
        revision_ = g_.revision();
        ops.push_back(g_.ops().back());
        clears += ops.back().kind == course::DrawOp::Kind::Clear;
        if (onOp)
            onOp();
    }
    course::Surface& g_;
    std::uint64_t revision_ = 0;
};

struct RecordingSink : course::PrintSink {
    int prints = 0;
    std::vector<course::DrawOp> canvasOps; // the print canvas as it was printed
    const course::Surface* canvas = nullptr;
    course::Outcome print(const std::function<void(QPainter&)>& paint, QSize size, const QString&) override {
        ++prints;
        QImage img(size, QImage::Format_RGB32);
        QPainter p(&img);
        paint(p);
        if (canvas)
            canvasOps = canvas->ops();
        return {true, QStringLiteral("printed")};
    }
};

struct SoundEvent {
    course::Sound sound;
    int sleepsBefore; // sleeps of the pacer when it played
};

// The brindle window on the offscreen platform with a fake pacer, a recording print
// sink, an End hook and a sound log.
class BrindleWindow : public ::testing::Test {
protected:
    std::unique_ptr<BrindleDocument> doc;
    std::unique_ptr<course::Form1> w;
    FakePacer pacer;
    RecordingSink* sink = nullptr;
    int ends = 0;
    std::vector<SoundEvent> sounds;

    void SetUp() override {
        doc = std::make_unique<BrindleDocument>();
        doc->env().soundSink = [this](course::Sound s) { sounds.push_back({s, pacer.sleeps()}); };
        doc->env().endHook = [this] { ++ends; };
        pacer.attach(*doc);
        w = std::make_unique<course::Form1>(*doc, course::testing::testFonts());
        auto rs = std::make_unique<RecordingSink>();
        sink = rs.get();
        w->setPrintSink(std::move(rs));
        w->Form_Load(false);
        sink->canvas = &w->Form2();
    }
    void TearDown() override {
        w.reset();
        doc.reset();
    }

    int count(course::Sound s) const {
        int n = 0;
        for (const SoundEvent& e : sounds)
            n += e.sound == s;
        return n;
    }
};

// All text drawn on a surface, run after run.
inline QString joinedText(const course::Surface& g) {
    QString s;
    for (const course::DrawOp& op : g.ops())
        if (op.kind == course::DrawOp::Kind::Text)
            s += op.text;
    return s;
}

// Plot mapping of the live page, on the page-2 picture.
inline double px(double x) { return brindle::px(x, livePageSize().width()); }
inline double py(double y) { return brindle::py(y, livePageSize().height()); }

// Pacer sleeps of one complete screen run: 640 traced steps per iteration (416 inward,
// 224 outward), 19 iterations, and the closing two seconds.
inline constexpr int kSleepsPerIteration = 640;
inline constexpr int kSleepsPerRun = 19 * kSleepsPerIteration + 1;

} // namespace brindle::testing
