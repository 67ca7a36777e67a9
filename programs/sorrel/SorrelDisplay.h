// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing of the Hartree run: the lower plot's axes and one curve per cycle, the
// potential and matched solutions on the upper plot, and the table on the window,
// each at its point of the run (display steps D1..D6). Curves are plotted at one
// point per time slot (1/256 s from the curve's start) on the window's paced clock;
// each curve is a boundary where a step ends and a pause holds the run before the
// curve begins. A Stop from the waiter (the program is ending) abandons the run at
// once.

#include "SorrelGlyphs.h"
#include <hartree/HartreeState.h>
#include <hartree/Ion.h>
#include <hartree/PreciseRun.h>

#include <engine/shell/PacedWaiter.h>

#include <QStringList>

#include <chrono>
#include <functional>

namespace sorrel {

class SorrelDisplay : public HartreeObserver {
public:
    SorrelDisplay(SorrelGlyphs& glyphs, course::Surface& form, course::Surface& picNumerov,
                  course::Surface& pic, course::PacedWaiter& pacer);

    // Called at the end of the final report (the closing sound, the download label).
    std::function<void()> onFinished;
    // Called after the message of a run that a guard ended.
    std::function<void()> onFailed;
    // Precise mode's result, reported under the total energy (null: not in precise mode).
    const PreciseRun* precise = nullptr;
    // Right edge of the table's room on the window (the plots begin there).
    double tableRight = 305;

    // Scale, titles, axes and ticks of the lower plot, before the first cycle; the
    // legend names the ion's trial exponent.
    void setUp(const Ion& ion = Ion{});

    Flow cycleCurve(const HartreeState& s) override;      // D1
    Flow potential(const HartreeState& s) override;       // D2
    Flow matchedSolution(const HartreeState& s) override; // D3
    Flow innerLine(const HartreeState& s) override;       // D4
    Flow cycleLine(const HartreeState& s) override;       // D5
    Flow finalReport(const HartreeState& s) override;     // D6
    void runFailed(const HartreeState& s) override;       // the failure's lines

    // Colours: the lower plot's curve of a cycle, and the two halves of the matched
    // solution of inner step kIter.
    course::Rgb cycleColour(int colourIndex) const;
    course::Rgb inwardColour(int kIter) const;
    course::Rgb outwardColour(int kIter) const;

    static constexpr course::Rgb kPotentialColour = course::RGB(0, 224, 224);
    // Last plotted r of the lower-plot and potential curves: they end at the first
    // point past it, just outside the plot.
    static constexpr double kRightEdge = 4.2;
    // The inward half of a matched solution enters the plot at this r.
    static constexpr double kInwardEntry = 4.25;
    // One time slot of the paced curves, 1/256 s, exactly 3 906 250 ns.
    static constexpr std::chrono::nanoseconds kDrawDelay{1'000'000'000 / 256};
    static_assert(kDrawDelay.count() * 256 == 1'000'000'000);

private:
    void newTableLine(double x);
    // Sentences wrapped to the table's room, one table line each.
    void wrappedLines(const std::vector<std::string>& sentences);
    void preciseLines(const PreciseRun& run);
    QStringList wrap(const QString& text, double width) const;

    SorrelGlyphs& g_;
    course::Surface& form_;
    course::Surface& picNumerov_;
    course::Surface& pic_;
    course::PacedWaiter& pacer_;
};

} // namespace sorrel
