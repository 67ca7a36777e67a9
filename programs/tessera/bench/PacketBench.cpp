// SPDX-License-Identifier: GPL-3.0-or-later
// Times one Crank–Nicolson step of the live page's packet on the default grid: the
// median over batches of 1000 steps, per step. Also the explicit step, the norm and the
// largest difference from the exact density.
// Usage: tessera_bench [BATCHES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <packet/PacketEvolution.h>

namespace {

template <typename F>
std::vector<double> perCall(int batches, int calls, F f) {
    std::vector<double> us;
    for (int b = 0; b < batches; ++b) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int c = 0; c < calls; ++c)
            f();
        const auto t1 = std::chrono::steady_clock::now();
        us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count() / calls);
    }
    std::sort(us.begin(), us.end());
    return us;
}

void report(const char* what, const std::vector<double>& us) {
    std::printf("%-22s median %7.3f us, min %7.3f us, max %7.3f us\n", what, us[us.size() / 2], us.front(),
                us.back());
}

} // namespace

int main(int argc, char** argv) {
    const int batches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    constexpr int kCalls = 1000;

    tessera::PacketEvolution cn;
    cn.advance(kCalls); // warm-up
    const std::vector<double> step = perCall(batches, kCalls, [&] { cn.step(); });
    double sink = 0;
    const std::vector<double> norm = perCall(batches, kCalls, [&] { sink += cn.norm(); });
    const std::vector<double> maxError = perCall(batches, 10, [&] { sink += cn.maxError(); });
    // The explicit step includes its norm check; a fresh packet per batch keeps it
    // below the blow-up (it needs about 19 steps at the default Δt, so a small Δt).
    tessera::PacketEvolution ex(tessera::ExactPacket(tessera::kDisplacement, tessera::kPacketWidth),
                                tessera::kMaxStepsPerPeriod, tessera::Scheme::Explicit);
    const std::vector<double> explicitStep = perCall(batches, 1, [&] {
        if (!ex.step())
            ex = tessera::PacketEvolution(tessera::ExactPacket(tessera::kDisplacement, tessera::kPacketWidth),
                                          tessera::kMaxStepsPerPeriod, tessera::Scheme::Explicit);
    });

    std::printf("tessera_bench: %d points (substitutions in %d pieces), dt = 2pi/%d, %d batches of %d steps\n",
                cn.points(), cn.factors().pieces(), cn.stepsPerPeriod(), batches, kCalls);
    report("Crank-Nicolson step", step);
    report("norm", norm);
    report("largest difference", maxError);
    report("explicit step + norm", explicitStep);
    std::printf("target: one Crank-Nicolson step <= 50 us\n");
    std::printf("checksum %.6f %.6f\n", cn.norm(), sink / (batches * kCalls));
    return 0;
}
