// SPDX-License-Identifier: GPL-3.0-or-later
// The two-electron ions the Hartree computation covers, from H⁻ (Z = 1) to Ne⁸⁺
// (Z = 10): their names, the variational energy of the screened trial orbital and
// the measured total energy. No Qt.
#pragma once

#include <optional>
#include <string>

#include <hartree/HartreeState.h>

namespace sorrel {

struct Ion {
    int Z = 2;

    // "ヘリウム原子", "リチウムイオン Li⁺", "水素負イオン H⁻", …
    std::string name() const;
    // "Li⁺" (chemical symbol with the charge of the two-electron ion).
    std::string symbol() const;
    // The trial exponent a = Z − 5/16 as a fraction: "27/16".
    std::string exponentFraction() const;
    // −(Z − 5/16)²: the energy of the screened trial orbital, the variational optimum.
    double variationalEnergy() const;
    // The measured total energy in eV (the sum of the two ionisation energies), when known.
    std::optional<double> measuredElectronVolts() const;
    // The same in hartree (negative).
    std::optional<double> measuredEnergy() const;
    // The Hartree–Fock limit of the total energy (hartree).
    double hartreeFockLimit() const;

    static Ion of(const HartreeState& s) { return Ion{s.z()}; }
};

// One hartree in electronvolts.
inline constexpr double kHartreeInEv = 27.211386;

} // namespace sorrel
