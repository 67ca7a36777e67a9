// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Some library code this program calls (Qt's string hashing on processors with VAES,
// for one) returns with the upper halves of the AVX registers in use. Until they are
// cleared, every switch between that state and the plain SSE code this program and
// most of Qt are compiled to costs the processor tens of cycles: a loop that calls
// exp() for each point ran ten times slower. The paced loops and the painting clear
// them where they take over from such code.

namespace course {

// Clears the upper halves of the vector registers (vzeroupper) on an x86-64
// processor with AVX; does nothing elsewhere. Costs about a cycle.
void clearUpperVectorState();

} // namespace course
