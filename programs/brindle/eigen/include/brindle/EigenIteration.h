// SPDX-License-Identifier: GPL-3.0-or-later
// Eigenvalue iteration for the radial equation of the three-dimensional
// harmonic oscillator (hbar = m = omega = 1) with angular momentum l = 0..3
// (l = 1 unless chosen otherwise): u''(x) = -2 (E - V(x)) u(x).
//
// For each of the four lowest states the equation is integrated with the
// Numerov method outward from the origin and inward from the far end, the two
// solutions are joined at a fixed matching point, and the energy is corrected
// from the kink of the derivative at the join until the correction drops
// below 0.00001.  The computation reports every step to an observer so that a
// page can animate it; runAll() computes the same figures without one.
//
// The kink correction converges to the level nearest to the trial energy, which
// need not be the next one up (for l = 0 the fourth state lands on 9.5, for l = 3
// the third on 10.5).  Every converged function therefore has its nodes counted:
// state s must have s - 1.  When it has not, the run reports the level it found
// and the one it skipped, and starts the state again from the middle of the
// bracket between the last good level and the wrong one.
#pragma once

#include <brindle/Potential.h>

#include <array>
#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace brindle {

// Effective potential (x^2 + 2/x^2)/2, i.e. x^2/2 + l(l+1)/(2x^2) with l = 1.
double Vpot(double x);
// The same for any l: x^2/2 + l(l+1)/(2x^2).
double Vpot(double x, int l);

// The angular momenta the iteration accepts.
inline constexpr int kMinL = 0;
inline constexpr int kMaxL = 3;
// Throws std::invalid_argument unless kMinL <= l <= kMaxL.
void checkL(int l);
// Energy before the first pass: l - 1.5 (-0.5 for l = 1), so that the first
// trial energy l + 0.8 lies a little below the lowest level l + 1.5.
double startEnergy(int l);
// Exact energy of state s = 1..4: 2(s - 1) + l + 3/2.
double exactEnergy(int s, int l);

// Grid and iteration constants.
inline constexpr double kGridStep = 8.0 / 1024.0;                 // h
inline constexpr int kLastIndex = 1025;                           // x_1025 = 8.0078125
inline constexpr int kMatchIndex = 1792 / 8;                      // m = 224, x_m = 1.75
inline constexpr double kNumerovC = kGridStep * kGridStep / 12.0; // c = h^2/12
inline constexpr double kStartEnergy = -0.5;                      // E before the first pass
inline constexpr double kTrialStep = 2.3;                         // E <- E + 2.3 at the start of each pass
inline constexpr double kTolerance = 0.00001;                     // iterate while |dE| >= 0.00001
inline constexpr int kStateCount = 4;                             // passes 1..4 compute a state
inline constexpr int kPassCount = 5;                              // pass 5 only redraws the finished states
inline constexpr int kTurningSearchStart = 11;                    // the turning-point search starts at i = 11

// Sizes of the per-run arrays: P(i, s) has i = 0..1026, s = 0..20;
// xL, xR and Es have indices 0..10.  Only s = 1..4 are written.
inline constexpr int kPRows = 1027;
inline constexpr int kPColumns = 21;
inline constexpr int kStateSlots = 11;

// The iteration has no limit of its own; this cap only stops a run that
// could never converge (it is far above the 4 to 6 iterations a state needs)
// and makes run() throw IterationLimitError instead of looping for ever.
inline constexpr int kDefaultIterationCap = 10000;

// One iteration of one state, as reported to the observer and kept in the
// results.
struct IterationRecord {
    int s = 0;           // state (pass) 1..4
    int n = 0;           // iteration counter within the state, 1-based
    float row = 0.0f;    // row counter after this iteration (1, 2, ...); the
                         // result row of this iteration is printed at y = 8.8 - row
    double trialE = 0.0; // E used for this iteration (before the update)
    double dE = 0.0;     // energy correction -1/2 * y_m * D / N
    double newE = 0.0;   // E after the update: trialE + dE
    double ym = 0.0;     // y_m, outward solution at the join
    double r = 0.0;      // y_m / z_m, scale of the inward solution
    double D = 0.0;      // kink r*dz - dy at the join
    double N = 0.0;      // norm Iy + r^2 * Iz
};

// A converged state.
struct StateResult {
    int s = 0;           // 1..4 (1..stateCount of the model)
    double trialE = 0.0; // energy the state started from (1.8, ~4.8, ...)
    int iterations = 0;  // number of iterations n
    float xL = 0.0f;     // left classical turning point (grid point, single precision)
    float xR = 0.0f;     // right classical turning point (grid point, single precision)
    int iL = 0;          // grid index of xL
    int iR = 0;          // grid index of xR
    double Es = 0.0;     // converged energy
    double exact = 0.0;  // the model's exact energy of the level
    Grid grid;           // the state's grid and join
};

// A converged function of state s with the wrong number of nodes: the
// iteration found another level.  The state is restarted from restartE.
struct LevelSkip {
    int s = 0;                  // state being computed
    int n = 0;                  // iterations of the state so far
    float row = 0.0f;           // page row of the report (rows of the state go on below it)
    std::size_t rowsBefore = 0; // iteration rows of the run that precede the report
    int nodes = 0;              // nodes of the converged function
    double foundE = 0.0;        // the level it converged to (level nodes + 1)
    double lower = 0.0;         // the bracket of the restart: the last good level
    double upper = 0.0;         // ... and the nearest wrong level above it
    double restartE = 0.0;      // trial energy of the restart

    int expectedNodes() const { return s - 1; }
    int foundLevel() const { return nodes + 1; }
};

// Everything one complete run produces (four states).
struct RunResult {
    PotentialKind kind = PotentialKind::Oscillator;
    std::string model;           // the model's name (Potential::name)
    bool relativeAccuracy = false;
    std::vector<std::string> notes; // per state: why it misses the accuracy, or empty
    int l = 1;
    std::vector<IterationRecord> rows; // every iteration in order
    std::vector<StateResult> states;   // states 1..4 in order
    std::vector<LevelSkip> skips;      // wrong levels found on the way, in order
    double finalPassE = 0.0;           // the trial energy E of the last pass (Es(4) + 2.3)

    // The difference of state k (0-based) from its exact level, relative to it when
    // the model's accuracy is relative, and whether that is within kAccuracy.
    double deviation(std::size_t k) const;
    bool withinAccuracy(std::size_t k) const;
};

class EigenIteration;

// Receives the progress of a run.  Each callback returns true to continue and
// false to abandon the run; EigenIteration::requestCancel() (for example from
// an event handler that runs while the observer waits) has the same effect,
// and the flag is checked after every callback.
class EigenObserver {
public:
    virtual ~EigenObserver() = default;

    // Start of pass s = 1..5, after E <- E + 2.3; trialE is that new E.  The
    // finished states j < s are available through it (P(., j), xL(j), xR(j),
    // Es(j)); this is where the page redraws its background.  Pass 5 computes
    // no state: finalPass() follows it directly.
    virtual bool passStarted(const EigenIteration& it, int s, double trialE);

    // One iteration of state rec.s, called after P(., s) has been stored for
    // this iteration and before it.energy() is updated: it.energy() still
    // equals rec.trialE, rec.newE is the value E takes right after the call.
    // This is where the page animates the iteration and prints its row.
    virtual bool iteration(const EigenIteration& it, const IterationRecord& rec);

    // State res.s has converged: P(., s) holds its final function and
    // xL(s), xR(s), Es(s), iterationCount(s) are set.
    virtual bool stateFinished(const EigenIteration& it, const StateResult& res);

    // State skip.s converged to another level; E is about to be set to
    // skip.restartE and the state iterated again.
    virtual bool levelSkipped(const EigenIteration& it, const LevelSkip& skip);

    // Pass 5, after passStarted(it, 5, ...): all four states are finished.
    // The page waits its closing two seconds and plays its sound here.
    virtual bool finalPass(const EigenIteration& it);
};

// Thrown when a state needs more iterations than the cap allows.
class IterationLimitError : public std::exception {
public:
    IterationLimitError(int s, int cap);
    const char* what() const noexcept override { return message_.c_str(); }
    int state() const { return s_; }

private:
    int s_;
    std::string message_;
};

// Thrown when a step produces a non-finite correction or norm (a vanishing
// z_m or N), which would otherwise end the loop silently as if converged.
class NumericalFault : public std::exception {
public:
    NumericalFault(int s, int n, const char* what);
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

class EigenIteration {
public:
    enum class Status { Completed, Cancelled };

    explicit EigenIteration(int iterationCap = kDefaultIterationCap);

    // Angular momentum of the next run (std::invalid_argument outside 0..maxL of the
    // model).
    void setL(int l);
    int l() const { return l_; }
    // The model of the next run (the oscillator unless chosen); l must suit it.
    void setPotential(PotentialKind kind, bool offGrid = false);
    const Potential& potential() const { return *model_; }
    // States of the run and passes (one more, which only redraws).
    int stateCount() const { return model_->stateCount(l_); }
    int passCount() const { return stateCount() + 1; }
    // The grid of state s of the current or last run.
    const Grid& grid(int s) const { return grids_.at(static_cast<std::size_t>(s)); }

    // Runs passes 1..5 from E = -0.5, reporting to observer (may be null).
    // Every call starts afresh; nothing carries over from an earlier run.
    // Throws std::logic_error when called while a run is in progress.
    Status run(EigenObserver* observer);

    // Asks the run in progress to stop after the current callback.
    void requestCancel() { cancelRequested_ = true; }
    bool running() const { return running_; }

    // Figures of the current or last run.
    // P(i, s) for i = 0..1026 (or to the last grid point of the longest state's grid
    // plus one), s = 0..20 (std::out_of_range outside).
    double P(int i, int s) const;
    float xL(int s) const; // s = 0..10
    float xR(int s) const;
    double Es(int s) const;
    int iterationCount(int s) const;     // iterations of state s (0 if not finished)
    int nodes(int s) const;              // sign changes of P(., s) on the grid
    double energy() const { return E_; } // current E
    int finishedStates() const { return finished_; }
    const RunResult& result() const { return result_; }

    static constexpr int m() { return kMatchIndex; }
    static constexpr double h() { return kGridStep; }

private:
    IterationRecord iterate(int s, int n);  // one Numerov/match/correct step at E
    StateResult turningPoints(int s) const; // step 19
    void report(bool keepGoing);            // records a cancel answer

    int iterationCap_;
    std::unique_ptr<Potential> model_;
    int l_ = 1;
    bool running_ = false;
    bool cancelRequested_ = false;
    double E_ = kStartEnergy;
    int finished_ = 0;

    std::vector<double> Vout_; // 0..last, V_0 unused: the potential outward ...
    std::vector<double> Vin_;  // ... and inward
    std::vector<double> kOut_; // 2(E - V_i)
    std::vector<double> kIn_;
    std::vector<double> y_; // 0..m+1
    std::vector<double> z_; // indices m-1..last used
    std::vector<double> P_; // rows_ x kPColumns
    int rows_ = kPRows;
    std::array<Grid, kStateSlots> grids_{};
    std::array<float, kStateSlots> xL_{};
    std::array<float, kStateSlots> xR_{};
    std::array<double, kStateSlots> Es_{};
    std::array<int, kStateSlots> iterations_{};
    RunResult result_;
};

// The computation without observer: the figures behind the page and the
// table.  Throws like EigenIteration::run.
RunResult runAll(int l = 1);
RunResult runAll(PotentialKind kind, int l, bool offGrid = false);

} // namespace brindle
