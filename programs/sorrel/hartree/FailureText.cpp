// SPDX-License-Identifier: GPL-3.0-or-later
#include <hartree/FailureText.h>

#include <engine/csv/NumberText.h>

#include <cstdio>

namespace sorrel {

namespace {
// `format` is given numbers only as locale-free text.
std::string num(double v, std::chars_format f, int precision) { return course::numberText(v, f, precision); }
std::string g4(double v) { return num(v, std::chars_format::general, 4); }

template <typename... Args>
std::string format(const char* fmt, Args... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}
} // namespace

std::vector<std::string> failureLines(const RunFailure& f) {
    const std::string stopped = "計算を打ち切りました:";
    switch (f.why) {
    case Failure::None: return {};
    case Failure::NodeInOrbital:
        return {stopped, format("1s 軌道に節が %d 個あります。", f.nodes), "1s ではない別の解に収束しました。",
                format("(格子 r ≦ %s，接続点 r = %s)", g4(f.rMax).c_str(), g4(f.rMatch).c_str())};
    case Failure::UnboundOrbital: {
        std::vector<std::string> lines{
            stopped, format("ε₁ₛ = %s ≧ 0 です。", num(f.eps, std::chars_format::fixed, 5).c_str()),
            format("束縛された 1s 軌道が格子 r ≦ %s に収まりません。", g4(f.rMax).c_str())};
        if (f.Z == 1)
            lines.push_back("H⁻ は束縛がごく弱く (ε₁ₛ ≈ −0.046)，軌道がこの格子の外まで広がるためです。");
        return lines;
    }
    case Failure::CycleLimit: return {stopped, format("%d サイクルで ε₁ₛ が収束しませんでした。", f.limit)};
    case Failure::InnerStepLimit:
        return {stopped, format("サイクル %d の ε₁ₛ が %d ステップで収束しませんでした。", f.cycle, f.limit)};
    }
    return {};
}

std::string failureMessage(const RunFailure& failure) {
    std::string out;
    for (const std::string& line : failureLines(failure))
        out += (out.empty() ? "" : " ") + line;
    return out;
}

} // namespace sorrel
