#include <hartree/DataCollector.h>

#include <hartree/Ion.h>

#include <charconv>
#include <initializer_list>

namespace sorrel {

namespace {

std::string num(double v) { return csvNumber(v); }
std::string num(int v) { return std::to_string(v); }

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

std::vector<double> orbital(const HartreeState& s) {
    std::vector<double> u;
    for (int i = 0; i <= s.npts() + 1; ++i)
        u.push_back(s.rR(i));
    return u;
}

// r, then one column per curve, from grid index `first` on.
std::string curves(const std::vector<double>& r, const std::vector<std::string>& names,
                   const std::vector<const std::vector<double>*>& columns, std::size_t first) {
    std::string out = "r_bohr";
    for (const std::string& n : names)
        out += ',' + n;
    out += '\n';
    for (std::size_t i = first; i < r.size(); ++i) {
        out += num(r[i]);
        for (const std::vector<double>* c : columns)
            out += ',' + num((*c)[i]);
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

Flow DataCollector::cycleCurve(const HartreeState& s) {
    if (r_.empty()) {
        Z_ = s.z();
        for (int i = 0; i <= s.npts() + 1; ++i)
            r_.push_back(s.radius(i));
        trial_ = orbital(s);
    }
    return TableCollector::cycleCurve(s);
}

Flow DataCollector::innerLine(const HartreeState& s) {
    steps_.push_back({s.nIter(), s.kIter(), s.dEps(), s.eps(), s.Vc()});
    return TableCollector::innerLine(s);
}

Flow DataCollector::cycleLine(const HartreeState& s) {
    int steps = 0;
    for (const Step& st : steps_)
        steps += st.cycle == s.nIter() ? 1 : 0;
    // epsOld still holds the value before this cycle: the run tests this change next.
    cycles_.push_back({s.nIter(), steps, s.eps(), s.eps() - s.epsOld(), s.Vc(), s.Etotal()});
    orbitals_.push_back(orbital(s));
    std::vector<double> v(1, 0.0); // V(0) is not part of the grid's potential
    for (int i = 1; i <= s.npts() + 1; ++i)
        v.push_back(s.Vtot(i));
    potentials_.push_back(std::move(v));
    return TableCollector::cycleLine(s);
}

Flow DataCollector::finalReport(const HartreeState& s) {
    converged_ = true;
    eps1s_ = s.epsOld();
    Vc_ = s.Vc();
    Etotal_ = s.Etotal();
    return TableCollector::finalReport(s);
}

void DataCollector::runFailed(const HartreeState& s) {
    converged_ = false;
    TableCollector::runFailed(s);
}

std::vector<DataFile> DataCollector::files() const {
    std::string steps = "cycle,step,delta_eps_hartree,eps_1s_hartree,V_c_hartree\n";
    for (const Step& s : steps_)
        row(steps, {num(s.cycle), num(s.step), num(s.dEps), num(s.eps), num(s.Vc)});

    std::string cycles = "cycle,steps,eps_1s_hartree,delta_eps_cycle_hartree,V_c_hartree,E_total_hartree\n";
    for (const Cycle& c : cycles_)
        row(cycles, {num(c.cycle), num(c.steps), num(c.eps), num(c.change), num(c.Vc), num(c.Etotal)});

    const Ion ion{Z_};
    const auto measured = ion.measuredEnergy();
    std::string summary = "Z,outcome,cycles,eps_1s_hartree,V_c_hartree,E_total_hartree,E_variational_hartree,"
                          "E_measured_hartree\n";
    row(summary, {num(Z_), converged_ ? "converged" : "failed", num(int(cycles_.size())),
                  converged_ ? num(eps1s_) : "", converged_ ? num(Vc_) : "", converged_ ? num(Etotal_) : "",
                  num(ion.variationalEnergy()), measured ? num(*measured) : ""});

    std::vector<std::string> uNames{"rR_trial"}, vNames;
    std::vector<const std::vector<double>*> uColumns{&trial_}, vColumns;
    for (std::size_t c = 0; c < orbitals_.size(); ++c) {
        uNames.push_back("rR_cycle" + std::to_string(c));
        uColumns.push_back(&orbitals_[c]);
        vNames.push_back("V_cycle" + std::to_string(c) + "_hartree");
        vColumns.push_back(&potentials_[c]);
    }
    return {
        {"steps.csv", steps},
        {"cycles.csv", cycles},
        {"summary.csv", summary},
        {"orbitals.csv", curves(r_, uNames, uColumns, 0)},
        {"potentials.csv", curves(r_, vNames, vColumns, 1)},
    };
}

} // namespace sorrel
