// SPDX-License-Identifier: GPL-3.0-or-later
#include "FailureNotice.h"

#include <engine/csv/NumberText.h>

#include <QStringList>

namespace sorrel {

namespace {
// Numbers as locale-free text, as the table writes them.
QString g4(double v) { return QString::fromStdString(course::numberText(v, std::chars_format::general, 4)); }
QString fixed5(double v) {
    return QString::fromStdString(course::numberText(v, std::chars_format::fixed, 5));
}
} // namespace

QString failureNotice(const RunFailure& f, course::Language language) {
    const course::Catalog msg(language);
    QStringList lines{msg.translate("sorrel", "the computation was stopped:")};
    switch (f.why) {
    case Failure::None: return {};
    case Failure::NodeInOrbital:
        lines
            << msg.translate("sorrel", "The 1s orbital has %n node(s).", nullptr, f.nodes)
            << msg.translate("sorrel", "It converged to another solution that is not 1s.")
            << msg.translate("sorrel", "(grid r ≤ %1, matching point r = %2)").arg(g4(f.rMax), g4(f.rMatch));
        break;
    case Failure::UnboundOrbital:
        lines
            << msg.translate("sorrel", "ε₁ₛ = %1 ≥ 0.").arg(fixed5(f.eps))
            << msg.translate("sorrel", "A bound 1s orbital does not fit in the grid r ≤ %1.").arg(g4(f.rMax));
        if (f.Z == 1)
            lines << msg.translate("sorrel", "H⁻ is bound only very weakly (ε₁ₛ ≈ −0.046), so its orbital "
                                             "reaches beyond this grid.");
        break;
    case Failure::CycleLimit:
        lines << msg.translate("sorrel", "ε₁ₛ did not converge in %n cycle(s).", nullptr, f.limit);
        break;
    case Failure::InnerStepLimit:
        lines << msg.translate("sorrel", "ε₁ₛ of cycle %1 did not converge in %n step(s).", nullptr, f.limit)
                     .arg(f.cycle);
        break;
    }
    return lines.join(QLatin1Char(' '));
}

} // namespace sorrel
