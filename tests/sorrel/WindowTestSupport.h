// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers of the window tests: an observer that wraps the window's own display steps,
// the end hook, and reading rows and colours back from the recorded surfaces.

#include <engine/shell/EventPump.h>
#include "SorrelWindow.h"
#include <engine/system/Environment.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include <cmath>
#include <optional>
#include <functional>
#include <set>
#include <vector>

namespace sorrel::test {

// Forwards every display step to `inner`, with optional checks before and after.
struct Spy : HartreeObserver {
    enum Step { D1, D2, D3, D4, D5, D6 };
    explicit Spy(HartreeObserver& inner) : inner(inner) {}
    HartreeObserver& inner;
    std::function<void(Step, const HartreeState&)> before;
    std::function<Flow(Step, const HartreeState&)> after; // may stop the run

    Flow step(Step k, const HartreeState& s, Flow (HartreeObserver::*f)(const HartreeState&)) {
        if (before)
            before(k, s);
        const Flow flow = (inner.*f)(s);
        if (flow == Flow::Stop || !after)
            return flow;
        return after(k, s);
    }
    Flow cycleCurve(const HartreeState& s) override { return step(D1, s, &HartreeObserver::cycleCurve); }
    Flow potential(const HartreeState& s) override { return step(D2, s, &HartreeObserver::potential); }
    Flow matchedSolution(const HartreeState& s) override {
        return step(D3, s, &HartreeObserver::matchedSolution);
    }
    Flow innerLine(const HartreeState& s) override { return step(D4, s, &HartreeObserver::innerLine); }
    Flow cycleLine(const HartreeState& s) override { return step(D5, s, &HartreeObserver::cycleLine); }
    Flow finalReport(const HartreeState& s) override { return step(D6, s, &HartreeObserver::finalReport); }
};

// A window's environment for a test: sounds recorded instead of played, End counted
// instead of ending the test program. `env(config)` hands it to a window's config.
struct TestEnvironment {
    course::Environment environment;
    std::vector<course::Sound> played;
    int ends = 0;
    TestEnvironment() {
        environment.soundSink = [this](course::Sound s) { played.push_back(s); };
        environment.endHook = [this] { ++ends; };
    }
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;
    SorrelWindow::Config operator()(SorrelWindow::Config c) {
        c.environment = &environment;
        return c;
    }
};

// Text rows of the window's table: text ops grouped by line (a row is one text line
// of the window's font; scripts and lowered commas stay within their row).
inline std::set<int> tableRows(const course::Surface& form, double lineHeight) {
    std::set<int> rows;
    for (const course::DrawOp& op : form.ops())
        if (op.kind == course::DrawOp::Kind::Text)
            rows.insert(static_cast<int>(std::floor(op.a.y() / lineHeight + 0.5)));
    return rows;
}

inline std::vector<const course::DrawOp*> opsOf(const course::Surface& g, course::DrawOp::Kind kind,
                                                std::size_t from = 0) {
    std::vector<const course::DrawOp*> out;
    for (std::size_t i = from; i < g.ops().size(); ++i)
        if (g.ops()[i].kind == kind)
            out.push_back(&g.ops()[i]);
    return out;
}

// The text of every run on a surface, in drawing order.
inline QString textOf(const course::Surface& g) {
    QString s;
    for (const course::DrawOp& op : g.ops())
        if (op.kind == course::DrawOp::Kind::Text)
            s += op.text;
    return s;
}

// A left click (press and release) at `at`, by default the widget's centre.
inline void click(QWidget* w, std::optional<QPointF> at = std::nullopt) {
    const QPointF p = at.value_or(QPointF(w->width() / 2.0, w->height() / 2.0));
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

} // namespace sorrel::test
