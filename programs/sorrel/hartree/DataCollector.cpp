// SPDX-License-Identifier: GPL-3.0-or-later
#include <hartree/DataCollector.h>

#include <hartree/Ion.h>

namespace sorrel {

using course::CsvTable;

namespace {

std::vector<double> orbital(const HartreeState& s) {
    std::vector<double> u;
    for (int i = 0; i <= s.npts() + 1; ++i)
        u.push_back(s.rR(i));
    return u;
}

// r, then one column per curve, from grid index `first` on.
CsvTable curves(const std::vector<double>& r, std::vector<std::string> names,
                const std::vector<const std::vector<double>*>& columns, std::size_t first) {
    names.insert(names.begin(), "r_bohr");
    CsvTable table(names);
    for (std::size_t i = first; i < r.size(); ++i) {
        table.field(r[i]);
        for (const std::vector<double>* c : columns)
            table.field((*c)[i]);
        table.endRow();
    }
    return table;
}

} // namespace

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

std::vector<course::CsvFile> DataCollector::files() const {
    CsvTable steps{"cycle", "step", "delta_eps_hartree", "eps_1s_hartree", "V_c_hartree"};
    for (const Step& s : steps_)
        steps.row(s.cycle, s.step, s.dEps, s.eps, s.Vc);

    CsvTable cycles{"cycle",       "steps",          "eps_1s_hartree", "delta_eps_cycle_hartree",
                    "V_c_hartree", "E_total_hartree"};
    for (const Cycle& c : cycles_)
        cycles.row(c.cycle, c.steps, c.eps, c.change, c.Vc, c.Etotal);

    CsvTable summary{"Z",
                     "outcome",
                     "cycles",
                     "eps_1s_hartree",
                     "V_c_hartree",
                     "E_total_hartree",
                     "E_variational_hartree",
                     "E_measured_hartree"};
    summary.field(Z_).field(converged_ ? "converged" : "failed").field(int(cycles_.size()));
    if (converged_)
        summary.field(eps1s_).field(Vc_).field(Etotal_);
    else
        summary.empty().empty().empty();
    const Ion ion{Z_};
    summary.field(ion.variationalEnergy());
    if (const auto measured = ion.measuredEnergy())
        summary.field(*measured);
    else
        summary.empty();
    summary.endRow();

    std::vector<std::string> uNames{"rR_trial"}, vNames;
    std::vector<const std::vector<double>*> uColumns{&trial_}, vColumns;
    for (std::size_t c = 0; c < orbitals_.size(); ++c) {
        uNames.push_back("rR_cycle" + std::to_string(c));
        uColumns.push_back(&orbitals_[c]);
        vNames.push_back("V_cycle" + std::to_string(c) + "_hartree");
        vColumns.push_back(&potentials_[c]);
    }
    return {
        steps.file("steps.csv"),
        cycles.file("cycles.csv"),
        summary.file("summary.csv"),
        curves(r_, uNames, uColumns, 0).file("orbitals.csv"),
        curves(r_, vNames, vColumns, 1).file("potentials.csv"),
    };
}

} // namespace sorrel
