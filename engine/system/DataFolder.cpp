// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/system/DataFolder.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef COURSE_DATA_FROM_BIN
#define COURSE_DATA_FROM_BIN "../share/quantum-course"
#endif

namespace course {

namespace {
QString executableDir() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists (tools, early start-up).
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}
} // namespace

QString DataFolder::forBinDir(const QString& binDir) {
    if (binDir.isEmpty())
        return {};
    const QString dir = QDir::cleanPath(binDir + u'/' + QStringLiteral(COURSE_DATA_FROM_BIN));
    return QFileInfo(dir).isDir() ? dir : QString();
}

QString DataFolder::path() {
    static const QString cached = forBinDir(executableDir());
    return cached;
}

QString DataFolder::file(const QString& name) {
    const QString dir = path();
    if (dir.isEmpty())
        return {};
    const QString f = dir + u'/' + name;
    return QFileInfo::exists(f) ? f : QString();
}

} // namespace course
