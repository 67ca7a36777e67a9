// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/ExportFolder.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace course {

// Checks the folder, and makes it when it is missing. A folder that already exists is
// left as it is.
QString ExportFolder::prepareFolder() const {
    const QFileInfo info(QDir::cleanPath(dir_));
    if (info.exists())
        return info.isDir() ? QString() : QStringLiteral("%1 is not a folder").arg(dir_);
    const QFileInfo parent(info.absolutePath());
    if (!parent.exists())
        return QStringLiteral("cannot create the folder %1: %2 does not exist").arg(dir_, parent.filePath());
    if (!parent.isDir())
        return QStringLiteral("cannot create the folder %1: %2 is not a folder").arg(dir_, parent.filePath());
    if (!QDir(parent.absoluteFilePath()).mkdir(info.fileName()))
        return QStringLiteral("cannot create the folder %1").arg(dir_);
    return {};
}

QString ExportFolder::write() const {
    const QDir dir(QDir::cleanPath(dir_));
    // Every name is checked before anything is written, so a refusal leaves the folder
    // exactly as it was. A dangling link counts as taken too.
    if (!overwrite_) {
        for (const ExportFile& f : files_) {
            const QFileInfo target(dir.filePath(f.name));
            if (target.exists() || target.isSymLink())
                return QStringLiteral("%1 already exists (--force overwrites it)").arg(target.filePath());
        }
    }
    if (const QString error = prepareFolder(); !error.isEmpty())
        return error;
    for (const ExportFile& f : files_) {
        const QString path = dir.filePath(f.name);
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        if (out.write(f.contents) != f.contents.size()) {
            const QString reason = out.errorString();
            out.cancelWriting();
            return QStringLiteral("cannot write %1: %2").arg(path, reason);
        }
        if (!out.commit())
            return QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
    }
    return {};
}

} // namespace course
