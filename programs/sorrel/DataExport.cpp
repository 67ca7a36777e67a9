// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataExport.h"

#include <hartree/DataCollector.h>
#include <hartree/FailureText.h>
#include <hartree/PreciseReport.h>

#include <engine/shell/ExportFolder.h>

#include <exception>
#include <iostream>
#include <optional>

namespace sorrel {

int exportData(const Options& o) {
    DataCollector data;
    RunOutcome outcome = RunOutcome::Completed;
    std::string failure;
    // Precise mode runs after a completed run, as the table and the window do.
    std::optional<PreciseRun> precise;
    try {
        HartreeState state(HartreeSetup::forCharge(o.Z));
        outcome = state.run(data);
        failure = failureMessage(state.failure());
        if (o.precise && outcome == RunOutcome::Completed) {
            precise.emplace(o.Z);
            outcome = precise->run();
            failure = failureMessage(precise->failure());
        }
    } catch (const std::exception& e) {
        std::cerr << "sorrel: the computation failed: " << e.what() << '\n';
        return 1;
    }
    if (o.table) {
        std::cout << joinLines(data.lines());
        if (precise)
            std::cout << joinLines(preciseTableLines(*precise));
        std::cout << std::flush;
    }

    course::ExportFolder folder(QString::fromStdString(o.dataDir));
    folder.setOverwrite(o.force);
    for (const course::CsvFile& f : data.files())
        folder.add(f.name, f.text);
    if (precise) {
        const course::CsvFile f = preciseFile(*precise);
        folder.add(f.name, f.text);
    }
    if (const QString error = folder.write(); !error.isEmpty()) {
        std::cerr << "sorrel: " << error.toStdString() << '\n';
        return 1;
    }
    if (outcome != RunOutcome::Completed) {
        std::cerr << "sorrel: " << failure << '\n';
        return 1;
    }
    return 0;
}

} // namespace sorrel
