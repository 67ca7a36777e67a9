// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/system/VectorState.h>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace course {

namespace {
__attribute__((target("avx"))) void zeroUpper() { _mm256_zeroupper(); }

bool hasAvx() {
    // AVX usable: the processor has it and the system saves its registers.
    static const bool avx = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return avx;
}
} // namespace

void clearUpperVectorState() {
    if (hasAvx())
        zeroUpper();
}

} // namespace course

#else

namespace course {
void clearUpperVectorState() {}
} // namespace course

#endif
