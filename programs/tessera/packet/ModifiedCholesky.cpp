// SPDX-License-Identifier: GPL-3.0-or-later
#include <packet/ModifiedCholesky.h>

#include <cmath>
#include <stdexcept>

namespace tessera {

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
    // The halves of a step's substitutions meet at m = n/2. A change δ of the forward
    // value x_{m−1} moves x_{m+j} by δ·h_j with h_0 = −u_{m−1}, h_j = −u_{m+j−1}·h_{j−1};
    // one of g_m moves g_{m−1−j} by δ·h'_j with h'_0 = −u_{m−1}, h'_j = −u_{m−1−j}·h'_{j−1}.
    // As |u_k| < 1 both die away; they are kept until they fall below kNegligible. A
    // system where they do not die within a quarter of its length is solved in one run.
    const std::size_t n = a.size();
    const std::size_t m = n / 2;
    if (n >= kShortestSplit) {
        Complex h = -u_[m - 1];
        for (std::size_t j = 0; std::abs(h) > kNegligible && j < m / 2; ++j) {
            forward_.push_back(h);
            h *= -u_[m + j];
        }
        h = -u_[m - 1];
        for (std::size_t j = 0; std::abs(h) > kNegligible && j < m / 2; ++j) {
            backward_.push_back(h);
            if (j + 2 <= m)
                h *= -u_[m - 2 - j];
        }
        if (forward_.size() < m / 2 && backward_.size() < m / 2)
            split_ = m;
        else
            forward_.clear(), backward_.clear();
    }
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
    const std::size_t n = u_.size();
    if (f.size() != n)
        throw std::invalid_argument("the wave function does not match the matrix");
    work.resize(n);
    if (split_ == 0) {
        Complex x = c * f[0];
        work[0] = x;
        for (std::size_t k = 1; k < n; ++k) {
            x = c * f[k] - u_[k - 1] * x;
            work[k] = x;
        }
        Complex g = u_[n - 1] * work[n - 1];
        f[n - 1] = g - f[n - 1];
        for (std::size_t k = n - 1; k-- > 0;) {
            g = u_[k] * (work[k] - g);
            f[k] = g - f[k];
        }
        return;
    }
    // Each substitution is a recurrence whose every step waits for the last one. Run
    // as two halves side by side, the second started from zero, the processor works
    // on both at once; the second half is then mended by the true value where the
    // halves meet times the recurrence's own decaying solution (see the constructor).
    const std::size_t m = split_;
    Complex x1 = c * f[0], x2 = c * f[m];
    work[0] = x1;
    work[m] = x2;
    for (std::size_t k = 1; k < m; ++k) {
        x1 = c * f[k] - u_[k - 1] * x1;
        x2 = c * f[m + k] - u_[m + k - 1] * x2;
        work[k] = x1;
        work[m + k] = x2;
    }
    for (std::size_t k = 2 * m; k < n; ++k) {
        x2 = c * f[k] - u_[k - 1] * x2;
        work[k] = x2;
    }
    for (std::size_t j = 0; j < forward_.size(); ++j)
        work[m + j] += x1 * forward_[j];
    // Back substitution: the upper half from the end, the lower half from zero at
    // m − 1 (its values kept in `work`, then mended and turned into f).
    Complex g2 = u_[n - 1] * work[n - 1];
    f[n - 1] = g2 - f[n - 1];
    Complex g1 = u_[m - 1] * work[m - 1];
    work[m - 1] = g1;
    std::size_t k2 = n - 1;
    for (std::size_t k = m - 1; k-- > 0;) {
        --k2;
        g2 = u_[k2] * (work[k2] - g2);
        f[k2] = g2 - f[k2];
        g1 = u_[k] * (work[k] - g1);
        work[k] = g1;
    }
    while (k2-- > m) {
        g2 = u_[k2] * (work[k2] - g2);
        f[k2] = g2 - f[k2];
    }
    for (std::size_t j = 0; j < backward_.size(); ++j)
        work[m - 1 - j] += g2 * backward_[j];
    for (std::size_t k = 0; k < m; ++k)
        f[k] = work[k] - f[k];
}

} // namespace tessera
