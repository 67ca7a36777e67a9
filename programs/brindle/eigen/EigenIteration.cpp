// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/EigenIteration.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

namespace brindle {

double Vpot(double x) { return (x * x + 2.0 / (x * x)) / 2.0; }

double Vpot(double x, int l) {
    if (l == 1)
        return Vpot(x); // the same rounding as the fixed l = 1 table
    return (x * x + l * (l + 1) / (x * x)) / 2.0;
}

void checkL(int l) {
    if (l < kMinL || l > kMaxL)
        throw std::invalid_argument("l must be between " + std::to_string(kMinL) + " and " +
                                    std::to_string(kMaxL));
}

double startEnergy(int l) { return l - 1.5; }

double exactEnergy(int s, int l) { return 2.0 * (s - 1) + l + 1.5; }

bool EigenObserver::passStarted(const EigenIteration&, int, double) { return true; }
bool EigenObserver::iteration(const EigenIteration&, const IterationRecord&) { return true; }
bool EigenObserver::stateFinished(const EigenIteration&, const StateResult&) { return true; }
bool EigenObserver::levelSkipped(const EigenIteration&, const LevelSkip&) { return true; }
bool EigenObserver::finalPass(const EigenIteration&) { return true; }

IterationLimitError::IterationLimitError(int s, int cap)
    : s_(s), message_("state " + std::to_string(s) + " did not converge within " + std::to_string(cap) +
                      " iterations") {}

NumericalFault::NumericalFault(int s, int n, const char* what)
    : message_("state " + std::to_string(s) + ", iteration " + std::to_string(n) + ": " + what) {}

namespace {

// Restores the running flag however run() is left.
class RunningGuard {
public:
    explicit RunningGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningGuard() { flag_ = false; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    bool& flag_;
};

// The turning-point search walks the potential directly; Vpot grows without
// bound, so the walk ends for any finite E above the potential's minimum.
// This bound only catches an E below the minimum.
constexpr int kTurningSearchLimit = 1 << 20;

// A state that keeps landing on wrong levels after this many restarts gives up.
constexpr int kRestartLimit = 20;

} // namespace

double RunResult::deviation(std::size_t k) const {
    const StateResult& st = states.at(k);
    const double d = st.Es - st.exact;
    return relativeAccuracy ? d / std::fabs(st.exact) : d;
}

bool RunResult::withinAccuracy(std::size_t k) const { return std::fabs(deviation(k)) <= kAccuracy; }

EigenIteration::EigenIteration(int iterationCap)
    : iterationCap_(iterationCap), model_(makePotential(PotentialKind::Oscillator)) {
    if (iterationCap_ < 1)
        throw std::invalid_argument("iteration cap must be positive");
}

double EigenIteration::P(int i, int s) const {
    if (i < 0 || i >= rows_ || s < 0 || s >= kPColumns || P_.empty())
        throw std::out_of_range("P index out of range");
    return P_[static_cast<std::size_t>(s) * rows_ + static_cast<std::size_t>(i)];
}

float EigenIteration::xL(int s) const { return xL_.at(static_cast<std::size_t>(s)); }
float EigenIteration::xR(int s) const { return xR_.at(static_cast<std::size_t>(s)); }
double EigenIteration::Es(int s) const { return Es_.at(static_cast<std::size_t>(s)); }
int EigenIteration::iterationCount(int s) const { return iterations_.at(static_cast<std::size_t>(s)); }

void EigenIteration::setL(int l) {
    if (model_->kind() == PotentialKind::Oscillator)
        checkL(l);
    else if (l < 0 || l > model_->maxL())
        throw std::invalid_argument("l must be between 0 and " + std::to_string(model_->maxL()) + " for the " +
                                    std::string(model_->key()));
    if (running_)
        throw std::logic_error("l cannot change while a run is in progress");
    l_ = l;
}

void EigenIteration::setPotential(PotentialKind kind, bool offGrid) {
    if (running_)
        throw std::logic_error("the model cannot change while a run is in progress");
    std::unique_ptr<Potential> next = makePotential(kind, offGrid);
    if (l_ > next->maxL())
        l_ = next->maxL();
    model_ = std::move(next);
}

int EigenIteration::nodes(int s) const {
    int count = 0;
    double last = 0.0;
    for (int i = 1; i <= grid(s).last; ++i) {
        const double p = P(i, s);
        if (p == 0.0)
            continue;
        if (last != 0.0 && (p < 0.0) != (last < 0.0))
            ++count;
        last = p;
    }
    return count;
}

void EigenIteration::report(bool keepGoing) {
    if (!keepGoing)
        cancelRequested_ = true;
}

IterationRecord EigenIteration::iterate(int s, int n) {
    const Grid& g = grid(s);
    const int m = g.match;
    const int last = g.last;
    const double h = g.h;
    const double c = h * h / 12.0;
    const double E = E_;

    for (int i = 1; i <= m + 1; ++i)
        kOut_[i] = 2.0 * (E - Vout_[i]);
    for (int i = m - 1; i <= last; ++i)
        kIn_[i] = 2.0 * (E - Vin_[i]);
    const std::vector<double>& ko = kOut_;
    const std::vector<double>& ki = kIn_;

    // Outward Numerov integration up to index m+1. The y_0 term of y_2 is the limit of
    // k(r) u(r) at r = 0, which a singular k leaves finite: with a Coulomb charge and
    // l = 0, or with l = 1. The oscillator's page drops it.
    y_[0] = 0.0;
    y_[1] = 0.1;
    double origin = 0.0;
    if (const std::optional<double> q = model_->originCharge()) {
        // u = A r^(l+1) (1 + q r/(l+1) + ...) with q the limit of r V(r).
        const double A = y_[1] / (std::pow(h, l_ + 1) * (1.0 + *q * h / (l_ + 1)));
        if (l_ == 0)
            origin = -2.0 * *q * A;
        else if (l_ == 1)
            origin = -2.0 * A;
    }
    if (origin == 0.0)
        y_[2] = 2.0 * (1.0 - 5.0 * c * ko[1]) * y_[1] / (1.0 + c * ko[2]);
    else
        y_[2] = (2.0 * (1.0 - 5.0 * c * ko[1]) * y_[1] - c * origin) / (1.0 + c * ko[2]);
    for (int i = 2; i <= m; ++i) {
        y_[i + 1] = (2.0 * (1.0 - 5.0 * c * ko[i]) * y_[i] - (1.0 + c * ko[i - 1]) * y_[i - 1]) /
                    (1.0 + c * ko[i + 1]);
    }

    // Trapezoid integral of y^2 over [0, x_m] and the outward slope at the join.
    double sumY = y_[0] * y_[0] / 2.0;
    for (int i = 1; i <= m - 1; ++i)
        sumY += y_[i] * y_[i];
    sumY += y_[m] * y_[m] / 2.0;
    const double Iy = h * sumY;
    double dy = (y_[m + 1] - y_[m - 1]) / (2.0 * h);

    // Inward Numerov integration down to index m-1. A long grid in a forbidden region
    // lets z grow by many orders: the part computed so far is scaled down whenever it
    // grows too large (only the shape matters, the join rescales it).
    z_[last] = 0.0;
    z_[last - 1] = 0.001;
    for (int i = last - 1; i >= m; --i) {
        z_[i - 1] = (2.0 * (1.0 - 5.0 * c * ki[i]) * z_[i] - (1.0 + c * ki[i + 1]) * z_[i + 1]) /
                    (1.0 + c * ki[i - 1]);
        if (std::fabs(z_[i - 1]) > 1e100)
            for (int j = i - 1; j <= last; ++j)
                z_[j] *= 1e-100;
    }

    // Trapezoid integral of z^2 over [x_m, x_last] (z_last = 0) and the inward slope.
    double sumZ = z_[m] * z_[m] / 2.0;
    for (int i = m + 1; i <= last - 1; ++i)
        sumZ += z_[i] * z_[i];
    const double Iz = h * sumZ;
    double dz = (z_[m + 1] - z_[m - 1]) / (2.0 * h);
    if (model_->joinOnJump()) {
        // The central difference is u' + h^2/6 u3 + O(h^4), u3 the third derivative;
        // u3 from the difference of u'' = -k u on each side. On a jump of V the two
        // sides' u3 differ and would not cancel in the kink.
        dy += h / 12.0 * (ko[m + 1] * y_[m + 1] - ko[m - 1] * y_[m - 1]);
        dz += h / 12.0 * (ki[m + 1] * z_[m + 1] - ki[m - 1] * z_[m - 1]);
    }

    // Join, kink, norm and first-order energy correction.
    IterationRecord rec;
    rec.s = s;
    rec.n = n;
    rec.trialE = E;
    rec.ym = y_[m];
    rec.r = y_[m] / z_[m];
    rec.D = rec.r * dz - dy;
    rec.N = Iy + rec.r * rec.r * Iz;
    rec.dE = -0.5 * y_[m] * rec.D / rec.N;
    rec.newE = E + rec.dE;

    if (!std::isfinite(rec.r))
        throw NumericalFault(s, n, "inward solution vanishes at the join");
    if (!(rec.N > 0.0) || !std::isfinite(rec.N))
        throw NumericalFault(s, n, "norm is not positive");
    if (!std::isfinite(rec.dE))
        throw NumericalFault(s, n, "energy correction is not finite");

    // The normalised joined function of this iteration.
    const double rootN = std::sqrt(rec.N);
    double* column = &P_[static_cast<std::size_t>(s) * rows_];
    for (int i = 0; i <= m; ++i)
        column[i] = y_[i] / rootN;
    for (int i = m + 1; i <= last; ++i)
        column[i] = rec.r * z_[i] / rootN;
    return rec;
}

StateResult EigenIteration::turningPoints(int s) const {
    StateResult res;
    res.s = s;
    res.Es = E_;
    res.exact = model_->exactEnergy(s, l_);
    res.grid = grid(s);
    const double h = res.grid.h;
    int i = model_->turningSearchStart();
    while (!(model_->effective(i * h, l_) < E_)) {
        if (++i > kTurningSearchLimit)
            throw NumericalFault(s, 0, "energy lies below the potential");
    }
    res.iL = i;
    res.xL = static_cast<float>(i * h);
    while (!(model_->effective(i * h, l_) > E_)) {
        if (++i > kTurningSearchLimit)
            throw NumericalFault(s, 0, "no right turning point");
    }
    res.iR = i;
    res.xR = static_cast<float>(i * h);
    return res;
}

EigenIteration::Status EigenIteration::run(EigenObserver* observer) {
    if (running_)
        throw std::logic_error("EigenIteration::run is already in progress");
    RunningGuard guard(running_);
    cancelRequested_ = false;

    // The grids of this run's states, and fresh arrays as long as the longest.
    const Potential& model = *model_;
    const int states = model.stateCount(l_);
    if (states < 1 || states >= kStateSlots)
        throw std::logic_error("the model's state count does not fit the result slots");
    grids_.fill(Grid{});
    int longest = 0, widest = 0;
    for (int s = 1; s <= states; ++s) {
        grids_[s] = model.grid(s, l_);
        longest = std::max(longest, grids_[s].last);
        widest = std::max(widest, grids_[s].match);
    }
    rows_ = std::max(kPRows, longest + 2);
    Vout_.assign(longest + 1, 0.0);
    Vin_.assign(longest + 1, 0.0);
    kOut_.assign(longest + 1, 0.0);
    kIn_.assign(longest + 1, 0.0);
    y_.assign(widest + 2, 0.0);
    z_.assign(longest + 1, 0.0);
    P_.assign(static_cast<std::size_t>(rows_) * kPColumns, 0.0);
    xL_.fill(0.0f);
    xR_.fill(0.0f);
    Es_.fill(0.0);
    iterations_.fill(0);
    finished_ = 0;
    result_ = RunResult{};
    result_.kind = model.kind();
    result_.model = model.name();
    result_.relativeAccuracy = model.relativeAccuracy();
    result_.l = l_;
    E_ = model.startEnergy(l_);

    // The potential tables of a state's grid (one grid for all states but the
    // hydrogen atom's, whose grid follows the level).
    int tabled = 0;
    double floor = 0.0;
    const auto tabulate = [&](int s) {
        const Grid& g = grids_[s];
        if (tabled > 0 && grids_[tabled].h == g.h && grids_[tabled].last == g.last)
            return;
        for (int i = 1; i <= g.last; ++i) {
            Vout_[i] = model.outwardSide(g, i, l_);
            Vin_[i] = model.inwardSide(g, i, l_);
        }
        floor = *std::min_element(Vout_.begin() + 1, Vout_.begin() + g.last + 1);
        tabled = s;
    };

    const int passes = states + 1;
    for (int s = 1; s <= passes; ++s) {
        E_ = model.nextTrial(E_, l_);
        const double trialE = E_;
        if (observer)
            report(observer->passStarted(*this, s, trialE));
        if (cancelRequested_)
            return Status::Cancelled;

        if (s == passes) {
            result_.finalPassE = trialE;
            if (observer)
                report(observer->finalPass(*this));
            if (cancelRequested_)
                return Status::Cancelled;
            break;
        }

        tabulate(s);
        const double tolerance = model.tolerance(s, l_);
        int n = 0;
        float row = 0.0f;
        // The bracket a restart is taken from: the last good level (or the bottom
        // of the potential) and the lowest wrong level found above it.
        double lower = s > 1 ? Es_[s - 1] : floor;
        double upper = std::numeric_limits<double>::infinity();
        // A restart that lands on the same wrong side again narrows the energies it
        // may start from: the first-order correction can overshoot from anywhere in a
        // wide bracket, so the starts are halved towards the side that went right.
        double startLow = lower;
        double startHigh = upper;
        double attemptStart = trialE;
        for (int restarts = 0;; ++restarts) {
            for (;;) {
                ++n;
                if (n > iterationCap_)
                    throw IterationLimitError(s, iterationCap_);
                IterationRecord rec = iterate(s, n);
                row += 1.0f;
                rec.row = row;
                result_.rows.push_back(rec);
                if (observer)
                    report(observer->iteration(*this, rec));
                if (cancelRequested_)
                    return Status::Cancelled;
                E_ = rec.newE;
                if (!(std::fabs(rec.dE) >= tolerance))
                    break;
            }
            const int found = nodes(s);
            if (found == s - 1)
                break;
            if (restarts == kRestartLimit)
                throw NumericalFault(s, n, "keeps converging to other levels");

            LevelSkip skip;
            skip.s = s;
            skip.n = n;
            row += 1.0f;
            skip.row = row;
            skip.rowsBefore = result_.rows.size();
            skip.nodes = found;
            skip.foundE = E_;
            if (found > s - 1) {
                upper = std::min(upper, E_);
                if (restarts > 0)
                    startHigh = std::min(startHigh, attemptStart);
            } else {
                lower = std::max(lower, E_);
                if (restarts > 0)
                    startLow = std::max(startLow, attemptStart);
            }
            skip.lower = std::max(lower, startLow);
            skip.upper = std::min(upper, startHigh);
            // Halfway between the levels that bracket the wanted one; with no wrong
            // level above yet, one trial step above the highest level below.
            skip.restartE = std::isfinite(skip.upper) ? (skip.lower + skip.upper) / 2.0
                                                      : model.nextTrial(skip.lower, l_);
            attemptStart = skip.restartE;
            result_.skips.push_back(skip);
            if (observer)
                report(observer->levelSkipped(*this, skip));
            if (cancelRequested_)
                return Status::Cancelled;
            E_ = skip.restartE;
        }

        StateResult res = turningPoints(s);
        res.trialE = trialE;
        res.iterations = n;
        xL_[s] = res.xL;
        xR_[s] = res.xR;
        Es_[s] = res.Es;
        iterations_[s] = n;
        finished_ = s;
        result_.states.push_back(res);
        result_.notes.push_back(model.accuracyNote(s, l_));
        if (observer)
            report(observer->stateFinished(*this, res));
        if (cancelRequested_)
            return Status::Cancelled;
    }
    return Status::Completed;
}

RunResult runAll(int l) {
    EigenIteration it;
    it.setL(l);
    it.run(nullptr);
    return it.result();
}

RunResult runAll(PotentialKind kind, int l, bool offGrid) {
    EigenIteration it;
    it.setPotential(kind, offGrid);
    it.setL(l);
    it.run(nullptr);
    return it.result();
}

} // namespace brindle
