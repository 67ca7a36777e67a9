// SPDX-License-Identifier: GPL-3.0-or-later
// Plain-text table of the Hartree run: one line per inner step, one per cycle, then
// the five lines of the final report beside the variational and measured values.
// Used for the program's text output; no Qt.
#pragma once

#include <string>
#include <vector>

#include <hartree/HartreeState.h>
#include <hartree/Ion.h>

namespace sorrel {

// Reference values printed under the result (hartree).
inline constexpr const char* kVariationalEnergy = "-2.8477"; // variational, a = 27/16
inline constexpr const char* kMeasuredEnergy = "-2.9037";    // measured, 79.02 eV

// Number formats of the table: five decimals for the running lines, four for the report.
std::string fixed5(double v);
std::string fixed4(double v);

// "サイクル  0  ステップ 0   ⊿ε₁ₛ =   0.10234   ε₁ₛ =  -0.89766"
std::string innerTableLine(int nIter, int kIter, double dEps, double eps);
// "        [0]  E_total =  -2.83466"
std::string cycleTableLine(int nIter, double Etotal);
// The five report lines: ε₁ₛ, V_c, E_total (four decimals) and the two references.
std::vector<std::string> reportTableLines(double eps1s, double Vc, double Etotal);
// The same for another ion: its variational energy with its exponent, and its
// measured energy (that line left out when none is known).
std::vector<std::string> reportTableLines(const Ion& ion, double eps1s, double Vc, double Etotal);
// " -7.2227 (変分法，a = 43/16 )"
std::string variationalLine(const Ion& ion);
// " -7.2799  (実測値 = 198.09 eV)."; empty when no measured value is known.
std::string measuredLine(const Ion& ion);
// H⁻ only (else empty): in this approximation its orbital is bound (ε₁ₛ < 0), but its
// total energy lies above the hydrogen atom's −0.5, so the ion as a whole is not.
std::string boundNote(const Ion& ion);

// Observer that collects the table lines as the run produces them (D4, D5, D6).
class TableCollector : public HartreeObserver {
public:
    Flow innerLine(const HartreeState& s) override;
    Flow cycleLine(const HartreeState& s) override;
    Flow finalReport(const HartreeState& s) override;
    void runFailed(const HartreeState& s) override; // the failure's lines
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// Lines joined with '\n', each line terminated.
std::string joinLines(const std::vector<std::string>& lines);

// Runs the whole computation without display pacing and returns the table text.
std::string computeTableText();

// The table of a run for nuclear charge Z, with how it ended.
struct TableRun {
    std::string text; // every line, the failure's lines included
    RunOutcome outcome = RunOutcome::Completed;
    std::string failure; // the failure message in one line, when the run failed
    RunFailure why;      // what ended it, when a guard did
};
TableRun computeTable(const HartreeSetup& setup);

} // namespace sorrel
