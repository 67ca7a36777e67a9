// SPDX-License-Identifier: GPL-3.0-or-later
#include <packet/ModifiedCholesky.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace tessera {

namespace {

using Complex = std::complex<double>;

// Two doubles the processor adds and multiplies as one (GCC's and Clang's vector
// types: SSE2 on any x86-64, NEON on ARM, plain code where there is neither).
using Pair = double __attribute__((vector_size(2 * sizeof(double))));

// The complex values of two pieces at once, one in each lane. The products are spelt
// out in real arithmetic, (a + ib)(c + id) = (ac − bd) + i(ad + bc), the formula
// std::complex's operator* uses for finite numbers; but that operator also tests its
// result for NaN, to call __muldc3 for an infinite one, and the substitutions are
// timed by their every step.
struct Lanes {
    Pair re, im;
};

Lanes operator+(const Lanes& a, const Lanes& b) { return {a.re + b.re, a.im + b.im}; }
Lanes operator-(const Lanes& a, const Lanes& b) { return {a.re - b.re, a.im - b.im}; }
Lanes operator*(const Lanes& a, const Lanes& b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// Lanes kept as four doubles: the real parts, then the imaginary parts.
Lanes load(const double* p) {
    Lanes z;
    std::memcpy(&z.re, p, sizeof(Pair));
    std::memcpy(&z.im, p + 2, sizeof(Pair));
    return z;
}
void store(double* p, const Lanes& z) {
    std::memcpy(p, &z.re, sizeof(Pair));
    std::memcpy(p + 2, &z.im, sizeof(Pair));
}
void put(double* p, Complex lo, Complex hi) {
    p[0] = lo.real(), p[1] = hi.real(), p[2] = lo.imag(), p[3] = hi.imag();
}

// z_a and z_b, and back.
Lanes gather(const Complex* z, std::size_t a, std::size_t b) {
    return {Pair{z[a].real(), z[b].real()}, Pair{z[a].imag(), z[b].imag()}};
}
void scatter(Complex* z, std::size_t a, std::size_t b, const Lanes& v) {
    z[a] = Complex(v.re[0], v.im[0]);
    z[b] = Complex(v.re[1], v.im[1]);
}

// f(0), f(1), … f(N − 1) with the index a constant of each call, so that arrays of
// per-pair values indexed by it stay in registers.
template <std::size_t N, typename F>
void eachPair(F&& f) {
    [&]<std::size_t... v>(std::index_sequence<v...>) {
        (f(std::integral_constant<std::size_t, v>()), ...);
    }(std::make_index_sequence<N>());
}

// The real-arithmetic forms of the one run's steps: x ← c·f − u·x and g ← u·(x − g).
void forwardStep(double cr, double ci, Complex f, Complex u, double& r, double& i) {
    const double next = (cr * f.real() - ci * f.imag()) - (u.real() * r - u.imag() * i);
    i = (cr * f.imag() + ci * f.real()) - (u.real() * i + u.imag() * r);
    r = next;
}
void backStep(Complex x, Complex u, double& r, double& i) {
    const double dr = x.real() - r, di = x.imag() - i;
    r = u.real() * dr - u.imag() * di;
    i = u.real() * di + u.imag() * dr;
}

} // namespace

ModifiedCholesky::ModifiedCholesky(const std::vector<Complex>& a) {
    if (a.empty())
        throw std::invalid_argument("the tridiagonal system needs at least one unknown");
    u_.resize(a.size());
    Complex d = a[0];
    for (std::size_t k = 0;; ++k) {
        if (!(std::abs(d) > 0) || !std::isfinite(std::abs(d)))
            throw std::domain_error("the modified Cholesky factorisation met a vanishing pivot");
        u_[k] = 1.0 / d;
        if (k + 1 == a.size())
            break;
        d = a[k + 1] - u_[k];
    }
    // stepInPlace's piece p starts at s = pL. A change δ of the forward value x_{s−1}
    // moves x_{s+j} by δ·h_j with h_0 = −u_{s−1}, h_j = −u_{s+j−1}·h_{j−1}; one of g_s
    // moves g_{s−1−j} by δ·h'_j with h'_0 = −u_{s−1}, h'_j = −u_{s−1−j}·h'_{j−1}. As
    // |u_k| < 1 both die away; they are kept until they fall below kNegligible. Each
    // split point has its own, as the u_k vary along the grid. Each must die before the
    // last value of the piece it mends: that value is handed on, as it is, to mend the
    // next piece. A system where one of them does not is solved in one run: of the live
    // page's time steps on its 2001-point grid, only the longest, 2π/100.
    const std::size_t n = a.size();
    if (n < std::size_t(kShortestSplit))
        return;
    const std::size_t L = n / kPieces;
    std::vector<Complex> forward[kPieces], backward[kPieces]; // by the piece they mend
    for (std::size_t p = 1; p < kPieces; ++p) {
        const std::size_t s = p * L;
        Complex h = -u_[s - 1];
        for (std::size_t j = 0; std::abs(h) > kNegligible; ++j) {
            if (j + 1 == L)
                return;
            forward[p].push_back(h);
            h *= -u_[s + j];
        }
        h = -u_[s - 1];
        for (std::size_t j = 0; std::abs(h) > kNegligible; ++j) {
            if (j + 1 == L)
                return;
            backward[p - 1].push_back(h);
            h *= -u_[s - 2 - j];
        }
    }
    pieceLength_ = L;
    pairedU_.resize(4 * L * kPairs);
    for (std::size_t j = 0; j < L; ++j)
        for (std::size_t v = 0; v < kPairs; ++v)
            put(&pairedU_[4 * (j * kPairs + v)], u_[2 * v * L + j], u_[(2 * v + 1) * L + j]);
    std::size_t longest = 0;
    for (const std::vector<Complex>& h : forward)
        longest = std::max(longest, h.size());
    mendForward_.resize(4 * longest * kPairs);
    for (std::size_t j = 0; j < longest; ++j)
        for (std::size_t v = 0; v < kPairs; ++v) {
            const auto term = [j](const std::vector<Complex>& h) { return j < h.size() ? h[j] : 0.0; };
            put(&mendForward_[4 * (j * kPairs + v)], term(forward[2 * v]), term(forward[2 * v + 1]));
        }
    for (std::size_t p = 0; p + 1 < kPieces; ++p)
        mendBackward_[p] = std::move(backward[p]);
}

void ModifiedCholesky::solve(const std::vector<Complex>& b, std::vector<Complex>& g) const {
    const std::size_t n = u_.size();
    if (b.size() != n)
        throw std::invalid_argument("the right-hand side does not match the matrix");
    g.resize(n);
    // Forward substitution in place: x_0 = b_0, x_{k+1} = b_{k+1} − u_k x_k.
    Complex x = b[0];
    g[0] = x;
    for (std::size_t k = 1; k < n; ++k) {
        x = b[k] - u_[k - 1] * x;
        g[k] = x;
    }
    // Back substitution: g_{n−1} = u_{n−1} x_{n−1}, g_k = u_k (x_k − g_{k+1}).
    Complex next = u_[n - 1] * g[n - 1];
    g[n - 1] = next;
    for (std::size_t k = n - 1; k-- > 0;) {
        next = u_[k] * (g[k] - next);
        g[k] = next;
    }
}

void ModifiedCholesky::stepInPlace(Complex c, std::vector<Complex>& f, std::vector<Complex>& work) const {
    if (f.size() != u_.size())
        throw std::invalid_argument("the wave function does not match the matrix");
    work.resize(f.size());
    if (pieceLength_ > 0)
        stepInPieces(c, f, work);
    else
        stepInOneRun(c, f, work);
}

void ModifiedCholesky::stepInOneRun(Complex c, std::vector<Complex>& f, std::vector<Complex>& work) const {
    const std::size_t n = u_.size();
    const double cr = c.real(), ci = c.imag();
    double r = cr * f[0].real() - ci * f[0].imag(), i = cr * f[0].imag() + ci * f[0].real();
    work[0] = Complex(r, i);
    for (std::size_t k = 1; k < n; ++k) {
        forwardStep(cr, ci, f[k], u_[k - 1], r, i);
        work[k] = Complex(r, i);
    }
    r = i = 0;
    for (std::size_t k = n; k-- > 0;) {
        backStep(work[k], u_[k], r, i);
        f[k] = Complex(r - f[k].real(), i - f[k].imag());
    }
}

// Each substitution is a recurrence whose every step waits for the last one. Run as
// kPieces pieces side by side, each after the first started from zero, the processor
// works on all at once, two in each vector operation; each such piece is then mended
// by the true value where it meets the piece before times the recurrence's decaying
// solution from that split point (see the constructor). Those true values are the
// pieces' last ones, which their own mending does not reach. The forward values are
// mended as the back substitution reads them, the back substitution's at the end.
//
// Piece p covers p·L … p·L + L − 1 (the last one also the rest up to n − 1); pair v
// holds pieces 2v and 2v + 1, and step j of a pair their unknowns 2vL + j and
// (2v + 1)L + j. `work` keeps the forward values of the pairs' steps as the four
// doubles of Lanes, in the order of the steps, then those of the rest as they are.
void ModifiedCholesky::stepInPieces(Complex c, std::vector<Complex>& f, std::vector<Complex>& work) const {
    const std::size_t n = u_.size(), L = pieceLength_, rest = kPieces * L;
    const Lanes cc{Pair{c.real(), c.real()}, Pair{c.imag(), c.imag()}};
    double* const x = reinterpret_cast<double*>(work.data());
    const auto at = [](std::size_t j, std::size_t v) { return 4 * (j * kPairs + v); };
    const auto unknown = [L](std::size_t j, std::size_t v) { return 2 * v * L + j; };

    // Forward substitution: x_0 = c·f_0, x_k = c·f_k − u_{k−1}·x_{k−1}.
    Lanes xs[kPairs];
    eachPair<kPairs>([&](auto v) {
        xs[v] = cc * gather(f.data(), unknown(0, v), unknown(0, v) + L);
        store(x + at(0, v), xs[v]);
    });
    for (std::size_t j = 1; j < L; ++j)
        eachPair<kPairs>([&](auto v) {
            xs[v] = cc * gather(f.data(), unknown(j, v), unknown(j, v) + L) - load(&pairedU_[at(j - 1, v)]) * xs[v];
            store(x + at(j, v), xs[v]);
        });
    double r = xs[kPairs - 1].re[1], i = xs[kPairs - 1].im[1];
    for (std::size_t k = rest; k < n; ++k) {
        forwardStep(c.real(), c.imag(), f[k], u_[k - 1], r, i);
        work[k] = Complex(r, i);
    }
    // The bottom of piece p is to be mended by the last value of piece p − 1: the back
    // substitution reads its x_k + δ·h_k.
    Lanes deltas[kPairs];
    for (std::size_t v = 0; v < kPairs; ++v)
        deltas[v] = Lanes{Pair{v > 0 ? xs[v - 1].re[1] : 0.0, xs[v].re[0]},
                          Pair{v > 0 ? xs[v - 1].im[1] : 0.0, xs[v].im[0]}};
    const std::size_t mended = mendForward_.size() / (4 * kPairs);

    // Back substitution, each piece from its top: g_{n−1} = u_{n−1}·x_{n−1},
    // g_k = u_k·(x_k − g_{k+1}); f_k is replaced by g_k − f_k.
    r = i = 0;
    for (std::size_t k = n; k-- > rest;) {
        backStep(work[k], u_[k], r, i);
        f[k] = Complex(r - f[k].real(), i - f[k].imag());
    }
    Lanes gs[kPairs] = {};
    gs[kPairs - 1].re[1] = r, gs[kPairs - 1].im[1] = i;
    const auto back = [&](std::size_t j, std::size_t v, const Lanes& xj) {
        gs[v] = load(&pairedU_[at(j, v)]) * (xj - gs[v]);
        const std::size_t a = unknown(j, v);
        scatter(f.data(), a, a + L, gs[v] - gather(f.data(), a, a + L));
    };
    for (std::size_t j = L; j-- > mended;)
        eachPair<kPairs>([&](auto v) { back(j, v, load(x + at(j, v))); });
    for (std::size_t j = mended; j-- > 0;)
        eachPair<kPairs>([&](auto v) { back(j, v, load(x + at(j, v)) + deltas[v] * load(&mendForward_[at(j, v)])); });
    // The top of piece p is mended by the first value of piece p + 1; g_k − f_k moves
    // with g_k.
    for (std::size_t p = 0; p + 1 < kPieces; ++p) {
        const Lanes& next = gs[(p + 1) / 2];
        const double dr = next.re[(p + 1) % 2], di = next.im[(p + 1) % 2];
        Complex* top = &f[(p + 1) * L - 1];
        for (const Complex& h : mendBackward_[p]) {
            *top += Complex(dr * h.real() - di * h.imag(), dr * h.imag() + di * h.real());
            --top;
        }
    }
}

} // namespace tessera
