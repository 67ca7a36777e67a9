// SPDX-License-Identifier: GPL-3.0-or-later
// Times the complete Hartree computation without display pacing.
// Usage: sorrel_bench [repetitions]   (default 200)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <hartree/HartreeState.h>

int main(int argc, char** argv) {
    const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(reps));
    double check = 0.0;
    for (int k = 0; k < reps; ++k) {
        const auto t0 = std::chrono::steady_clock::now();
        sorrel::HartreeState state;
        state.run();
        const auto t1 = std::chrono::steady_clock::now();
        check += state.Etotal();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = reps % 2 ? ms[reps / 2] : 0.5 * (ms[reps / 2 - 1] + ms[reps / 2]);
    std::printf("sorrel_bench: %d runs, median %.3f ms, min %.3f ms, max %.3f ms (E_total %.4f)\n", reps,
                median, ms.front(), ms.back(), check / reps);
    return 0;
}
