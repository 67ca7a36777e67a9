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
}

} // namespace tessera
