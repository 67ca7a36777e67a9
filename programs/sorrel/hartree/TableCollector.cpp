// SPDX-License-Identifier: GPL-3.0-or-later
#include <hartree/TableCollector.h>

#include <hartree/FailureText.h>

#include <engine/csv/NumberText.h>

namespace sorrel {

using course::rightAligned;

namespace {
std::string fixed(double v, int decimals) { return course::fixedText(v, decimals); }
} // namespace

std::string fixed5(double v) { return fixed(v, 5); }
std::string fixed4(double v) { return fixed(v, 4); }

std::string innerTableLine(int nIter, int kIter, double dEps, double eps) {
    return "サイクル " + rightAligned(std::to_string(nIter), 2) + "  ステップ " + std::to_string(kIter) +
           "   ⊿ε₁ₛ = " + rightAligned(fixed5(dEps), 9) + "   ε₁ₛ = " + rightAligned(fixed5(eps), 9);
}

std::string cycleTableLine(int nIter, double Etotal) {
    return "        [" + std::to_string(nIter) + "]  E_total = " + rightAligned(fixed5(Etotal), 9);
}

std::vector<std::string> reportTableLines(double eps1s, double Vc, double Etotal) {
    return {
        "一電子エネルギー ε₁ₛ = " + fixed4(eps1s),
        "電子間クーロン･エネルギー V_c = " + fixed4(Vc),
        "   全エネルギー E_total = " + fixed4(Etotal),
        std::string(" ") + kVariationalEnergy + " (変分法，a = 27/16 )",
        std::string(" ") + kMeasuredEnergy + "  (実測値 = 79.02 eV).",
    };
}

std::string variationalLine(const Ion& ion) {
    return " " + fixed4(ion.variationalEnergy()) + " (変分法，a = " + ion.exponentFraction() + " )";
}

std::string measuredLine(const Ion& ion) {
    const auto energy = ion.measuredEnergy();
    const auto ev = ion.measuredElectronVolts();
    if (!energy || !ev)
        return {};
    return " " + fixed4(*energy) + "  (実測値 = " + fixed(*ev, 2) + " eV).";
}

std::string boundNote(const Ion& ion) {
    if (ion.Z != 1)
        return {};
    return " H⁻ の束縛は軌道 (ε₁ₛ < 0) だけ: E は H の -0.5 より上";
}

std::vector<std::string> reportTableLines(const Ion& ion, double eps1s, double Vc, double Etotal) {
    std::vector<std::string> lines{
        "一電子エネルギー ε₁ₛ = " + fixed4(eps1s),
        "電子間クーロン･エネルギー V_c = " + fixed4(Vc),
        "   全エネルギー E_total = " + fixed4(Etotal),
        variationalLine(ion),
    };
    if (std::string measured = measuredLine(ion); !measured.empty())
        lines.push_back(std::move(measured));
    if (std::string note = boundNote(ion); !note.empty())
        lines.push_back(std::move(note));
    return lines;
}

Flow TableCollector::innerLine(const HartreeState& s) {
    lines_.push_back(innerTableLine(s.nIter(), s.kIter(), s.dEps(), s.eps()));
    return Flow::Continue;
}

Flow TableCollector::cycleLine(const HartreeState& s) {
    lines_.push_back(cycleTableLine(s.nIter(), s.Etotal()));
    return Flow::Continue;
}

Flow TableCollector::finalReport(const HartreeState& s) {
    for (auto& line : reportTableLines(Ion::of(s), s.epsOld(), s.Vc(), s.Etotal()))
        lines_.push_back(std::move(line));
    return Flow::Continue;
}

void TableCollector::runFailed(const HartreeState& s) {
    for (auto& line : failureLines(s.failure()))
        lines_.push_back(std::move(line));
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += '\n';
    }
    return out;
}

std::string computeTableText() { return computeTable(HartreeSetup{}).text; }

TableRun computeTable(const HartreeSetup& setup) {
    HartreeState state(setup);
    TableCollector table;
    TableRun run;
    run.outcome = state.run(table);
    run.text = joinLines(table.lines());
    run.failure = failureMessage(state.failure());
    run.why = state.failure();
    return run;
}

} // namespace sorrel
