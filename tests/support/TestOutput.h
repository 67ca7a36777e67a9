// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where tests put the pictures and files they write: the folder COURSE_TEST_OUTPUT names
// (to keep them for a look), else a temporary folder of this test run that is removed
// when the run ends.

#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace course::testing {

inline QString outputDir() {
    static QTemporaryDir temporary;
    QString d = qEnvironmentVariable("COURSE_TEST_OUTPUT");
    if (d.isEmpty())
        d = temporary.path();
    QDir().mkpath(d);
    return d;
}

} // namespace course::testing
