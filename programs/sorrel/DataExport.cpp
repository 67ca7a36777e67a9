// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataExport.h"

#include <hartree/DataCollector.h>

#include <engine/shell/ExportFolder.h>

#include <exception>
#include <iostream>

namespace sorrel {

int exportData(const Options& o) {
    DataCollector data;
    RunOutcome outcome = RunOutcome::Completed;
    std::string failure;
    try {
        HartreeState state(HartreeSetup::forCharge(o.Z));
        outcome = state.run(data);
        failure = state.failureMessage();
    } catch (const std::exception& e) {
        std::cerr << "sorrel: the computation failed: " << e.what() << '\n';
        return 1;
    }
    if (o.table)
        std::cout << joinLines(data.lines()) << std::flush;

    course::ExportFolder folder(QString::fromStdString(o.dataDir));
    folder.setOverwrite(o.force);
    for (const course::CsvFile& f : data.files())
        folder.add(f.name, f.text);
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
