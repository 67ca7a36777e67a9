// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/EigenIteration.h>

#include <algorithm>
#include <cmath>
#include <limits>
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
constexpr int kRestartLimit = 8;

} // namespace

EigenIteration::EigenIteration(int iterationCap) : iterationCap_(iterationCap) {
    if (iterationCap_ < 1)
        throw std::invalid_argument("iteration cap must be positive");
}

double EigenIteration::P(int i, int s) const {
    if (i < 0 || i >= kPRows || s < 0 || s >= kPColumns || P_.empty())
        throw std::out_of_range("P index out of range");
    return P_[static_cast<std::size_t>(s) * kPRows + static_cast<std::size_t>(i)];
}

float EigenIteration::xL(int s) const { return xL_.at(static_cast<std::size_t>(s)); }
float EigenIteration::xR(int s) const { return xR_.at(static_cast<std::size_t>(s)); }
double EigenIteration::Es(int s) const { return Es_.at(static_cast<std::size_t>(s)); }
int EigenIteration::iterationCount(int s) const { return iterations_.at(static_cast<std::size_t>(s)); }

void EigenIteration::setL(int l) {
    checkL(l);
    if (running_)
        throw std::logic_error("l cannot change while a run is in progress");
    l_ = l;
}

int EigenIteration::nodes(int s) const {
    int count = 0;
    double last = 0.0;
    for (int i = 1; i <= kLastIndex; ++i) {
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
    constexpr int m = kMatchIndex;
    constexpr double h = kGridStep;
    constexpr double c = kNumerovC;
    const double E = E_;

    for (int i = 1; i <= kLastIndex; ++i)
        k_[i] = 2.0 * (E - V_[i]);

    // Outward Numerov integration up to index m+1 (the y_0 term of y_2 vanishes).
    y_[0] = 0.0;
    y_[1] = 0.1;
    y_[2] = 2.0 * (1.0 - 5.0 * c * k_[1]) * y_[1] / (1.0 + c * k_[2]);
    for (int i = 2; i <= m; ++i) {
        y_[i + 1] = (2.0 * (1.0 - 5.0 * c * k_[i]) * y_[i] - (1.0 + c * k_[i - 1]) * y_[i - 1]) /
                    (1.0 + c * k_[i + 1]);
    }

    // Trapezoid integral of y^2 over [0, x_m] and the outward slope at the join.
    double sumY = y_[0] * y_[0] / 2.0;
    for (int i = 1; i <= m - 1; ++i)
        sumY += y_[i] * y_[i];
    sumY += y_[m] * y_[m] / 2.0;
    const double Iy = h * sumY;
    const double dy = (y_[m + 1] - y_[m - 1]) / (2.0 * h);

    // Inward Numerov integration down to index m-1.
    z_[kLastIndex] = 0.0;
    z_[kLastIndex - 1] = 0.001;
    for (int i = kLastIndex - 1; i >= m; --i) {
        z_[i - 1] = (2.0 * (1.0 - 5.0 * c * k_[i]) * z_[i] - (1.0 + c * k_[i + 1]) * z_[i + 1]) /
                    (1.0 + c * k_[i - 1]);
    }

    // Trapezoid integral of z^2 over [x_m, x_1025] (z_1025 = 0) and the inward slope.
    double sumZ = z_[m] * z_[m] / 2.0;
    for (int i = m + 1; i <= kLastIndex - 1; ++i)
        sumZ += z_[i] * z_[i];
    const double Iz = h * sumZ;
    const double dz = (z_[m + 1] - z_[m - 1]) / (2.0 * h);

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
    double* column = &P_[static_cast<std::size_t>(s) * kPRows];
    for (int i = 0; i <= m; ++i)
        column[i] = y_[i] / rootN;
    for (int i = m + 1; i <= kLastIndex; ++i)
        column[i] = rec.r * z_[i] / rootN;
    return rec;
}

StateResult EigenIteration::turningPoints(int s) const {
    StateResult res;
    res.s = s;
    res.Es = E_;
    int i = kTurningSearchStart;
    while (!(Vpot(i * kGridStep, l_) < E_)) {
        if (++i > kTurningSearchLimit)
            throw NumericalFault(s, 0, "energy lies below the potential");
    }
    res.iL = i;
    res.xL = static_cast<float>(i * kGridStep);
    while (!(Vpot(i * kGridStep, l_) > E_)) {
        if (++i > kTurningSearchLimit)
            throw NumericalFault(s, 0, "no right turning point");
    }
    res.iR = i;
    res.xR = static_cast<float>(i * kGridStep);
    return res;
}

EigenIteration::Status EigenIteration::run(EigenObserver* observer) {
    if (running_)
        throw std::logic_error("EigenIteration::run is already in progress");
    RunningGuard guard(running_);
    cancelRequested_ = false;

    // Fresh arrays for this run.
    V_.assign(kLastIndex + 1, 0.0);
    k_.assign(kLastIndex + 1, 0.0);
    y_.assign(kMatchIndex + 2, 0.0);
    z_.assign(kLastIndex + 1, 0.0);
    P_.assign(static_cast<std::size_t>(kPRows) * kPColumns, 0.0);
    xL_.fill(0.0f);
    xR_.fill(0.0f);
    Es_.fill(0.0);
    iterations_.fill(0);
    finished_ = 0;
    result_ = RunResult{};
    result_.l = l_;
    E_ = startEnergy(l_);

    for (int i = 1; i <= kLastIndex; ++i)
        V_[i] = Vpot(i * kGridStep, l_);
    const double floor = *std::min_element(V_.begin() + 1, V_.end());

    for (int s = 1; s <= kPassCount; ++s) {
        E_ += kTrialStep;
        const double trialE = E_;
        if (observer)
            report(observer->passStarted(*this, s, trialE));
        if (cancelRequested_)
            return Status::Cancelled;

        if (s == kPassCount) {
            result_.finalPassE = trialE;
            if (observer)
                report(observer->finalPass(*this));
            if (cancelRequested_)
                return Status::Cancelled;
            break;
        }

        int n = 0;
        float row = 0.0f;
        // The bracket a restart is taken from: the last good level (or the bottom
        // of the potential) and the lowest wrong level found above it.
        double lower = s > 1 ? Es_[s - 1] : floor;
        double upper = std::numeric_limits<double>::infinity();
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
                if (!(std::fabs(rec.dE) >= kTolerance))
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
            if (found > s - 1)
                upper = std::min(upper, E_);
            else
                lower = std::max(lower, E_);
            skip.lower = lower;
            skip.upper = upper;
            // Halfway between the levels that bracket the wanted one; with no wrong
            // level above yet, one trial step above the highest level below.
            skip.restartE = std::isfinite(upper) ? (lower + upper) / 2.0 : lower + kTrialStep;
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

} // namespace brindle
