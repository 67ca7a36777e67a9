#include <brindle/DataFormat.h>

#include <charconv>
#include <initializer_list>

namespace brindle {

namespace {

// Appends one CSV row of already formatted fields.
void row(std::string& out, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& f : fields) {
        if (!first)
            out += ',';
        out += f;
        first = false;
    }
    out += '\n';
}

std::string num(double v) { return csvNumber(v); }
std::string num(int v) { return std::to_string(v); }

std::string iterations(const RunResult& run) {
    std::string out = "l,state,iteration,E_before,dE,E_after,y_match,scale,kink,norm\n";
    for (const IterationRecord& r : run.rows)
        row(out, {num(run.l), num(r.s), num(r.n), num(r.trialE), num(r.dE), num(r.newE), num(r.ym), num(r.r),
                  num(r.D), num(r.N)});
    return out;
}

std::string states(const EigenIteration& it) {
    const RunResult& run = it.result();
    std::string out =
        "l,state,E_trial,iterations,nodes,i_match,x_match,i_left,x_left,i_right,x_right,E,E_exact\n";
    for (const StateResult& st : run.states)
        row(out, {num(run.l), num(st.s), num(st.trialE), num(st.iterations), num(it.nodes(st.s)),
                  num(kMatchIndex), num(kMatchIndex * kGridStep), num(st.iL), num(double(st.xL)), num(st.iR),
                  num(double(st.xR)), num(st.Es), num(exactEnergy(st.s, run.l))});
    return out;
}

std::string skips(const RunResult& run) {
    std::string out = "l,state,iteration,nodes,found_level,E_found,E_lower,E_upper,E_restart\n";
    for (const LevelSkip& k : run.skips)
        row(out, {num(run.l), num(k.s), num(k.n), num(k.nodes), num(k.foundLevel()), num(k.foundE),
                  num(k.lower), num(k.upper), num(k.restartE)});
    return out;
}

std::string wavefunctions(const EigenIteration& it) {
    const RunResult& run = it.result();
    std::string out = "x";
    for (const StateResult& st : run.states)
        out += ",P_state" + std::to_string(st.s);
    out += '\n';
    for (int i = 0; i <= kLastIndex; ++i) {
        out += num(i * kGridStep);
        for (const StateResult& st : run.states)
            out += ',' + num(it.P(i, st.s));
        out += '\n';
    }
    return out;
}

} // namespace

std::string csvNumber(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::vector<DataFile> dataFiles(const EigenIteration& it) {
    const RunResult& run = it.result();
    return {
        {"iterations.csv", iterations(run)},
        {"states.csv", states(it)},
        {"level-skips.csv", skips(run)},
        {"wavefunctions.csv", wavefunctions(it)},
    };
}

} // namespace brindle
