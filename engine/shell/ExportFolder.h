// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a set of data files into one folder, as the programs' --export-data does:
// the folder is made when it is missing (its parent must exist), nothing is written
// when any of the files is already there (unless overwriting was asked for), and the
// files are written all or none: each goes to a temporary file beside its target, and
// only once every one of them is written and flushed are they renamed into place, so a
// failure (a full disk) leaves every earlier file, and every file it would replace, as
// it was.

#include <engine/system/StagedFile.h>

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace course {

struct ExportFile {
    QString name; // file name inside the folder, no path
    QByteArray contents;
};

class ExportFolder {
public:
    explicit ExportFolder(QString dir) : dir_(std::move(dir)) {}

    // Replace files that are already in the folder instead of refusing.
    void setOverwrite(bool overwrite) { overwrite_ = overwrite; }

    // A file to write, by its name inside the folder (no path).
    void add(const QString& name, const QByteArray& contents) { files_.push_back({name, contents}); }
    void add(const std::string& name, const std::string& contents) {
        add(QString::fromStdString(name), QByteArray::fromStdString(contents));
    }

    // Writes every file added. Returns an empty string on success, else what went wrong in one
    // clause ("cannot create the folder …: …", "… already exists (--force overwrites it)",
    // "cannot write …: No space left on device"), for the program to prefix with its name.
    QString write() const;

    // The steps of write(), for a set that holds other files too: the check of the names
    // and the folder (empty on success), then the files for the set.
    QString prepare() const;
    void addTo(StagedFiles& set) const;

private:
    QString prepareFolder() const;

    QString dir_;
    bool overwrite_ = false;
    std::vector<ExportFile> files_;
};

} // namespace course
