// SPDX-License-Identifier: GPL-3.0-or-later
#include <hartree/PreciseRun.h>

#include <hartree/Ion.h>

#include <cmath>
#include <stdexcept>

namespace sorrel {

HartreeSetup preciseSetup(int Z) {
    HartreeSetup s = HartreeSetup::forCharge(Z).extended(kPreciseGridStretch);
    const double tolerance = kPreciseRelativeTolerance * std::fabs(s.firstEps);
    s.innerTolEarly = tolerance;
    s.innerTolLate = tolerance;
    s.outerTol = tolerance;
    s.cycleLimit = 100;
    return s;
}

HartreeSetup refined(const HartreeSetup& coarsest, int level) {
    HartreeSetup s = coarsest;
    s.Npts = coarsest.Npts << level;
    return s;
}

double richardson(const std::vector<double>& values) {
    if (values.empty())
        throw std::invalid_argument("richardson: no values to extrapolate");
    // Column k removes the h^(2k) term: T(j, k) = T(j, k−1) + (T(j, k−1) − T(j−1, k−1)) / (4^k − 1).
    std::vector<double> t = values;
    double factor = 1.0;
    for (std::size_t k = 1; k < t.size(); ++k) {
        factor *= 4.0;
        for (std::size_t j = t.size() - 1; j >= k; --j)
            t[j] = t[j] + (t[j] - t[j - 1]) / (factor - 1.0);
    }
    return t.back();
}

PreciseRun::PreciseRun(int Z) : PreciseRun(preciseSetup(Z)) {}

PreciseRun::PreciseRun(const HartreeSetup& coarsest) : coarsest_(coarsest), Z_(coarsest.Z) {
    HartreeSetup::forCharge(Z_); // refuses a charge outside 1..10
}

double PreciseRun::limit() const { return Ion{Z_}.hartreeFockLimit(); }

RunOutcome PreciseRun::run() {
    if (started_)
        throw std::logic_error("Hartree: the precise computation runs only once");
    started_ = true;
    std::vector<double> eps, Vc, E;
    for (int level = 0; level < kPreciseLevels; ++level) {
        const HartreeSetup setup = refined(coarsest_, level);
        HartreeState state(setup);
        if (state.run() != RunOutcome::Completed) {
            failure_ = state.failure();
            return RunOutcome::Failed;
        }
        levels_.push_back({setup, state.nIter(), state.epsOld(), state.Vc(), state.Etotal()});
        eps.push_back(state.epsOld());
        Vc.push_back(state.Vc());
        E.push_back(state.Etotal());
    }
    eps1s_ = richardson(eps);
    Vc_ = richardson(Vc);
    Etotal_ = richardson(E);
    return RunOutcome::Completed;
}

} // namespace sorrel
