// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataExport.h"

#include <brindle/DataFormat.h>

#include <engine/shell/ExportFolder.h>

#include <cstdio>

namespace brindle {

int exportData(const EigenIteration& it, const QString& dir, bool overwrite) {
    course::ExportFolder folder(dir);
    folder.setOverwrite(overwrite);
    for (const course::CsvFile& f : dataFiles(it))
        folder.add(f.name, f.text);
    const QString error = folder.write();
    if (error.isEmpty())
        return 0;
    std::fprintf(stderr, "brindle: %s\n", error.toLocal8Bit().constData());
    return 1;
}

} // namespace brindle
