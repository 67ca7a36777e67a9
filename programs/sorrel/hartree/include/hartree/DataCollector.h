// SPDX-License-Identifier: GPL-3.0-or-later
// The figures of a Hartree run as CSV files (course::CsvTable: a header row, then every
// number at full precision). Atomic units: r in bohr, energies in hartree; the orbital
// is u(r) = r·R(r), normalised to ∫u² dr = 1.
//
//   steps.csv       one row per inner step: cycle, step, delta_eps, eps_1s, V_c
//   cycles.csv      one row per finished cycle: its inner steps, eps_1s, the change
//                   of eps_1s over the cycle (the outer convergence test), V_c, E_total
//   summary.csv     one row: Z, outcome (converged or failed), cycles, the final
//                   eps_1s, V_c, E_total (empty when failed) and the variational and
//                   measured energies the report prints beside them
//   orbitals.csv    r, the trial orbital, then the orbital after each cycle
//   potentials.csv  r, then the potential V(r) = −Z/r + V_H(r) of each cycle (built
//                   from the orbital that entered it); from r = h, as V(0) is infinite
// No Qt.
#pragma once

#include <string>
#include <vector>

#include <engine/csv/CsvTable.h>
#include <hartree/TableCollector.h>

namespace sorrel {

// Collects the table lines (as TableCollector) and the figures of the CSV files, so
// that one run gives both and their numbers agree.
class DataCollector : public TableCollector {
public:
    Flow cycleCurve(const HartreeState& s) override;
    Flow innerLine(const HartreeState& s) override;
    Flow cycleLine(const HartreeState& s) override;
    Flow finalReport(const HartreeState& s) override;
    void runFailed(const HartreeState& s) override;

    // The files listed above, from what the run has reported so far.
    std::vector<course::CsvFile> files() const;

private:
    struct Step {
        int cycle, step;
        double dEps, eps, Vc;
    };
    struct Cycle {
        int cycle, steps;
        double eps, change, Vc, Etotal;
    };

    int Z_ = 2;
    bool converged_ = false;
    double eps1s_ = 0.0, Vc_ = 0.0, Etotal_ = 0.0;
    std::vector<double> r_;                       // grid of the orbitals, i = 0..Npts+1
    std::vector<double> trial_;                   // the orbital that entered the first cycle
    std::vector<std::vector<double>> orbitals_;   // after each cycle, on r_
    std::vector<std::vector<double>> potentials_; // of each cycle, on r_ from i = 1
    std::vector<Step> steps_;
    std::vector<Cycle> cycles_;
};

} // namespace sorrel
