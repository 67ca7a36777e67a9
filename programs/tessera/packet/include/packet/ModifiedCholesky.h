// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modified Cholesky (L D Lᵀ) solution of a complex symmetric tridiagonal system
// whose off-diagonal entries are all 1,
//   g_{k−1} + a_k g_k + g_{k+1} = b_k,   k = 0 … n−1 (g_{−1} = g_n = 0),
// as one Crank–Nicolson step needs it. With d_0 = a_0, u_k = 1/d_k and
// d_{k+1} = a_{k+1} − u_k the matrix is L D Lᵀ, L unit lower bidiagonal with u_k
// below the diagonal; forward substitution x_0 = b_0, x_{k+1} = b_{k+1} − u_k x_k and
// back substitution g_{n−1} = u_{n−1} x_{n−1}, g_k = u_k (x_k − g_{k+1}) solve it.
// There is no pivoting: the diagonal of a Crank–Nicolson step has |a_k| > 2 (its
// imaginary part 4(Δx)²/Δt is never zero), so |d_k| > 1 all the way down.

#include <complex>
#include <vector>

namespace tessera {

class ModifiedCholesky {
public:
    using Complex = std::complex<double>;

    // Factors the matrix with diagonal `a` (at least one entry). Throws
    // std::domain_error when a pivot d_k vanishes or is not finite.
    explicit ModifiedCholesky(const std::vector<Complex>& a);

    int size() const { return int(u_.size()); }
    // u_k = 1/d_k of the factorisation.
    const std::vector<Complex>& u() const { return u_; }

    // Solves A g = b; `x` and `g` may be the same vector as `b`. Sizes must agree
    // (std::invalid_argument otherwise).
    void solve(const std::vector<Complex>& b, std::vector<Complex>& g) const;
    // One Crank–Nicolson step in two passes over the grid: solves A g = c·f (the
    // right-hand side made in the forward substitution) and replaces f by g − f.
    // `work` is scratch of any size.
    void stepInPlace(Complex c, std::vector<Complex>& f, std::vector<Complex>& work) const;

    // stepInPlace runs each substitution as this many pieces side by side, two at a
    // time in the two lanes of the processor's vector arithmetic…
    static constexpr int kPieces = 4;
    // …on systems of at least this many unknowns whose substitutions' decaying
    // solutions (see the constructor) die within a piece; other systems in one run.
    static constexpr int kShortestSplit = 32 * kPieces;
    // The pieces stepInPlace runs for this system: kPieces or 1.
    int pieces() const { return pieceLength_ > 0 ? kPieces : 1; }

private:
    static_assert(kPieces % 2 == 0, "the pieces run in pairs");
    static constexpr std::size_t kPairs = kPieces / 2;
    // Below this, a term of a substitution's decaying solution is left out: it changes
    // nothing at double precision.
    static constexpr double kNegligible = 1e-17;

    void stepInOneRun(Complex c, std::vector<Complex>& f, std::vector<Complex>& work) const;
    void stepInPieces(Complex c, std::vector<Complex>& f, std::vector<Complex>& work) const;

    std::vector<Complex> u_;
    // stepInPlace's pieces: piece p starts at p·pieceLength_, the last one takes the
    // rest (0: one run). Pieces 2v and 2v + 1 make pair v; the tables below hold, for
    // each step j of a pair, four doubles: the real parts of its two pieces' values,
    // then the imaginary parts.
    std::size_t pieceLength_ = 0;
    // u at the pair's j-th unknowns, for j·kPairs + v.
    std::vector<double> pairedU_;
    // The decaying solutions that mend the bottoms of the pieces' forward
    // substitutions, for j·kPairs + v, as long as the longest one (a piece that needs
    // no mending, or no more, has zeros)…
    std::vector<double> mendForward_;
    // …and the top of piece p's back substitution, mendBackward_[p].
    std::vector<Complex> mendBackward_[kPieces - 1];
};

} // namespace tessera
