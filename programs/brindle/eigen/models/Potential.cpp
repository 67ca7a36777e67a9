// SPDX-License-Identifier: GPL-3.0-or-later
#include <brindle/EigenIteration.h>
#include <brindle/Potential.h>

#include "Models.h"

#include <cmath>

namespace brindle {

std::string Potential::accuracyNote(int, int) const { return {}; }

double Potential::tolerance(int, int) const { return kTolerance; }

std::unique_ptr<Potential> makePotential(PotentialKind kind, bool offGrid) {
    switch (kind) {
    case PotentialKind::Coulomb:
        return models::coulomb();
    case PotentialKind::Well:
        return models::well(offGrid);
    case PotentialKind::Morse:
        return models::morse();
    case PotentialKind::Oscillator:
        break;
    }
    return models::oscillator();
}

namespace {
struct Named {
    PotentialKind kind;
    std::string_view key;
};
constexpr Named kNames[] = {{PotentialKind::Oscillator, "oscillator"},
                            {PotentialKind::Coulomb, "coulomb"},
                            {PotentialKind::Well, "well"},
                            {PotentialKind::Morse, "morse"}};
} // namespace

std::string_view potentialKey(PotentialKind kind) {
    for (const Named& n : kNames)
        if (n.kind == kind)
            return n.key;
    return {};
}

std::optional<PotentialKind> potentialFromKey(std::string_view key) {
    for (const Named& n : kNames)
        if (n.key == key)
            return n.kind;
    return std::nullopt;
}

int models::nearestIndex(double r, double h) { return int(std::lround(r / h)); }

} // namespace brindle
