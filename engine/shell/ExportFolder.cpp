// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/ExportFolder.h>

#include <engine/system/Language.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

namespace course {

// Checks the folder, and makes it when it is missing. A folder that already exists is
// left as it is.
QString ExportFolder::prepareFolder() const {
    const Catalog msg = Catalog::terminal();
    const QFileInfo info(QDir::cleanPath(dir_));
    if (info.exists())
        return info.isDir() ? QString()
                            : msg.translate("course::ExportFolder", "%1 is not a folder").arg(dir_);
    const QFileInfo parent(info.absolutePath());
    if (!parent.exists())
        return msg.translate("course::ExportFolder", "cannot create the folder %1: %2 does not exist")
            .arg(dir_, parent.filePath());
    if (!parent.isDir())
        return msg.translate("course::ExportFolder", "cannot create the folder %1: %2 is not a folder")
            .arg(dir_, parent.filePath());
    if (::mkdir(QFile::encodeName(info.absoluteFilePath()).constData(), 0777) != 0) {
        const int e = errno;
        return msg.translate("course::ExportFolder", "cannot create the folder %1: %2")
            .arg(dir_, systemReason(e, msg.language()));
    }
    return {};
}

QString ExportFolder::prepare() const {
    const QDir dir(QDir::cleanPath(dir_));
    // Every name is checked before anything is written, so a refusal leaves the folder
    // exactly as it was. A dangling link counts as taken too.
    if (!overwrite_) {
        for (const ExportFile& f : files_) {
            const QFileInfo target(dir.filePath(f.name));
            if (target.exists() || target.isSymLink())
                return Catalog::terminal()
                    .translate("course::ExportFolder", "%1 already exists (--force overwrites it)")
                    .arg(target.filePath());
        }
    }
    return prepareFolder();
}

void ExportFolder::addTo(StagedFiles& set) const {
    const QDir dir(QDir::cleanPath(dir_));
    for (const ExportFile& f : files_)
        set.add(dir.filePath(f.name), f.contents);
}

QString ExportFolder::write() const {
    if (const QString error = prepare(); !error.isEmpty())
        return error;
    StagedFiles set;
    addTo(set);
    const Outcome r = set.write();
    return r ? QString() : r.message;
}

} // namespace course
