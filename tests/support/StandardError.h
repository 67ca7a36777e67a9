// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a call writes on standard error, read back from a temporary file that stands
// in for file descriptor 2 while it runs.

#include <QString>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace course::testing {

template <typename F>
QString standardErrorOf(F&& f) {
    QTemporaryFile file;
    if (!file.open())
        return QStringLiteral("(no temporary file)");
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(file.handle(), 2);
    struct Restore {
        int saved;
        ~Restore() {
            std::fflush(stderr);
            ::dup2(saved, 2);
            ::close(saved);
        }
    };
    {
        Restore restore{saved};
        f();
    }
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll());
}

} // namespace course::testing
