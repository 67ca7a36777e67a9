// SPDX-License-Identifier: GPL-3.0-or-later
// The upper halves of the AVX registers that Qt's string hashing leaves in use are
// cleared again, read from the processor's own record of the state in use (XINUSE).

#include <engine/system/VectorState.h>

#include <QHash>
#include <QString>

#include <gtest/gtest.h>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#include <immintrin.h>

namespace {

// Whether the processor reports which parts of its state are in use (XGETBV with
// ECX = 1) and has AVX.
bool canReadStateInUse() {
    unsigned a, b, c, d;
    if (!__get_cpuid_count(0xd, 1, &a, &b, &c, &d) || !(a & (1u << 2)))
        return false;
    return __builtin_cpu_supports("avx");
}

__attribute__((target("xsave"))) bool upperHalvesInUse() { return (_xgetbv(1) & (1u << 2)) != 0; }

} // namespace

// Leaves the upper half of ymm1 in use, as library code without vzeroupper does. In
// assembly: a compiled function that touches ymm registers clears them on return.
asm(R"(
    .text
    .p2align 4
    .type vectorStateTestDirtyUpper, @function
vectorStateTestDirtyUpper:
    vcmpps $15, %ymm1, %ymm1, %ymm1
    ret
    .size vectorStateTestDirtyUpper, .-vectorStateTestDirtyUpper
)");
extern "C" void vectorStateTestDirtyUpper();

namespace {
void useUpperHalves() { vectorStateTestDirtyUpper(); }

} // namespace

TEST(VectorState, TheUpperHalvesInUseAreClearedAgain) {
    if (!canReadStateInUse())
        GTEST_SKIP() << "the processor does not report its vector state in use";
    useUpperHalves();
    ASSERT_TRUE(upperHalvesInUse());
    course::clearUpperVectorState();
    EXPECT_FALSE(upperHalvesInUse());

    // Qt's hashing of a string with the process's seed, as every QHash<QString> lookup
    // does; on processors with VAES it leaves them in use.
    volatile std::size_t h = qHash(QStringLiteral("a key as long as a font table's"), QHashSeed::globalSeed());
    (void)h;
    course::clearUpperVectorState();
    EXPECT_FALSE(upperHalvesInUse());
}

#else

TEST(VectorState, ClearingDoesNothingWithoutAvx) { course::clearUpperVectorState(); }

#endif
