// SPDX-License-Identifier: GPL-3.0-or-later
// The four models behind makePotential.
#pragma once

#include <brindle/Potential.h>

#include <memory>

namespace brindle::models {

std::unique_ptr<Potential> oscillator();
std::unique_ptr<Potential> coulomb();
std::unique_ptr<Potential> well(bool offGrid);
std::unique_ptr<Potential> morse();

// The grid index nearest to r on a grid of step h.
int nearestIndex(double r, double h);

} // namespace brindle::models
