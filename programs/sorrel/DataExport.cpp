// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataExport.h"

#include "FailureNotice.h"

#include <hartree/DataCollector.h>
#include <hartree/PreciseReport.h>

#include <engine/shell/ExportFolder.h>
#include <engine/system/Language.h>

#include <exception>
#include <iostream>
#include <optional>

namespace sorrel {

int exportData(const Options& o) {
    DataCollector data;
    RunOutcome outcome = RunOutcome::Completed;
    QString failure;
    // Precise mode runs after a completed run, as the table and the window do.
    std::optional<PreciseRun> precise;
    try {
        HartreeState state(HartreeSetup::forCharge(o.Z));
        outcome = state.run(data);
        failure = failureNotice(state.failure());
        if (o.precise && outcome == RunOutcome::Completed) {
            precise.emplace(o.Z);
            outcome = precise->run();
            failure = failureNotice(precise->failure());
        }
    } catch (const std::exception& e) {
        std::cerr << "sorrel: "
                  << course::Catalog::terminal()
                         .translate("sorrel", "the computation failed: %1")
                         .arg(QString::fromLocal8Bit(e.what()))
                         .toStdString()
                  << '\n';
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
        std::cerr << "sorrel: " << failure.toStdString() << '\n';
        return 1;
    }
    return 0;
}

} // namespace sorrel
