// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The suite's data folder: the derived fonts and the source archive the programs read
// at run time. It lies at a fixed place relative to the executable (bin/ and
// share/quantum-course/ side by side), in the build tree as in an install, so an
// install works wherever it is staged or moved and never reads the build tree.

#include <QString>

namespace course {

class DataFolder {
public:
    // The folder for the running executable; empty when it does not exist.
    static QString path();
    // The folder for an executable in `binDir`.
    static QString forBinDir(const QString& binDir);
    // `name` inside the data folder; empty when the folder or the file is missing.
    static QString file(const QString& name);
};

} // namespace course
