// SPDX-License-Identifier: GPL-3.0-or-later
#include <packet/PacketData.h>

#include <string>

namespace tessera {

using course::CsvTable;

std::vector<course::CsvFile> dataFiles(const PacketRunResult& run) {
    CsvTable parameters{"name", "value"};
    parameters.row("A", run.A)
        .row("B", run.B)
        .row("x_min", run.xMin)
        .row("x_max", run.xMax)
        .row("intervals", run.intervals)
        .row("dx", run.dx)
        .row("dt", run.dt)
        .row("steps_per_period", run.stepsPerPeriod)
        .row("periods", int(run.periods.size()) - 1);

    CsvTable summary{"period", "t", "steps", "norm", "norm_change", "max_error", "end_error"};
    for (const PeriodRecord& r : run.periods)
        summary.row(r.period, r.t, int(r.steps), r.norm, r.normChange, r.maxError, r.endError);

    std::vector<std::string> columns{"x"};
    for (const PeriodRecord& r : run.periods) {
        columns.push_back("rho_" + std::to_string(r.period));
        columns.push_back("exact_" + std::to_string(r.period));
    }
    CsvTable densities(columns);
    for (std::size_t k = 0; k < run.x.size(); ++k) {
        densities.field(run.x[k]);
        for (const PeriodRecord& r : run.periods)
            densities.field(r.density[k]).field(r.exact[k]);
        densities.endRow();
    }
    return {parameters.file("parameters.csv"), summary.file("summary.csv"), densities.file("densities.csv")};
}

} // namespace tessera
