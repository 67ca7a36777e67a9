// SPDX-License-Identifier: GPL-3.0-or-later
// Times the unpaced computation of all four states (no observer) and prints
// the median wall time per complete run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <brindle/EigenIteration.h>

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;

    brindle::EigenIteration iteration;
    iteration.run(nullptr); // warm-up
    double checksum = 0.0;

    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(repetitions));
    for (int r = 0; r < repetitions; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        iteration.run(nullptr);
        const auto t1 = std::chrono::steady_clock::now();
        checksum += iteration.Es(4);
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("brindle_bench: %d runs of states 1-4 (%zu iterations each)\n", repetitions,
                iteration.result().rows.size());
    std::printf("median %.4f ms, min %.4f ms, max %.4f ms per run (target < 2 ms)\n", median, ms.front(),
                ms.back());
    std::printf("checksum %.6f\n", checksum / repetitions);
    return 0;
}
