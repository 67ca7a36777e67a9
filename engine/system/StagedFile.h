// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a file so that it is either whole or not there: the contents go to a
// temporary file beside the target, which is flushed to the disk and closed, every
// step checked, and only then renamed over the target. A failure at any step removes
// the temporary file and leaves the target as it was; its message names the file and
// the system's reason ("No space left on device").
//
// A target that exists and is not a regular file (a device such as /dev/null, a pipe)
// cannot be replaced by a rename: it is written directly, every write and the close
// checked, so `--export-pdf /dev/full` fails with the device's reason.
//
// A set of files (StagedFiles) is written all or none: every file is staged before the
// first one is renamed.
//
// Two variables let tests reach the failures a full disk or a kill would cause:
//   COURSE_TEST_WRITE_FAULT=NAME   the write of a file named NAME (no folder; "*" for
//                                  every file) fails half-way with "No space left on device"
//   COURSE_TEST_HOLD_BEFORE_RENAME=PATH  once a file is staged, the writer creates PATH
//                                  and waits there up to a minute before renaming

#include <engine/system/Language.h>
#include <engine/system/Outcome.h>

#include <QByteArray>
#include <QString>

#include <vector>

namespace course {

class StagedFile {
public:
    // Its messages are in the terminal's language, or in `messages` (the window's, for
    // a file the window writes).
    explicit StagedFile(QString target);
    StagedFile(QString target, Language messages);
    ~StagedFile(); // removes a temporary file that was never renamed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;

    const QString& target() const { return target_; }

    // Writes `contents` to the temporary file, flushes it to the disk and closes it.
    Outcome stage(const QByteArray& contents);
    // Renames the staged file over the target (nothing to do for a device written directly).
    Outcome commit();
    // Renames the staged file to `path` (in the same folder) only when nothing is
    // there yet; `taken` tells a name already in use from another failure.
    Outcome commitNew(const QString& path, bool& taken);
    // Removes the temporary file.
    void discard();

private:
    Outcome fail(const QString& path, int error);
    Outcome writeDirect(const QByteArray& contents);
    void holdForTests() const;

    QString target_;
    QString temp_;       // the staged file, while there is one
    bool direct_ = false; // the target is a device, already written
    Language language_;
};

// Files written all or none.
class StagedFiles {
public:
    void add(const QString& target, const QByteArray& contents) { files_.push_back({target, contents}); }
    bool empty() const { return files_.empty(); }

    // Stages every file; when one fails, none is renamed and every temporary file is
    // removed. Returns the first failure, or a success once every file is in place.
    Outcome write() const;

private:
    struct Entry {
        QString target;
        QByteArray contents;
    };
    std::vector<Entry> files_;
};

// The system's reason for an errno value in `language`, in the C library's words:
// "No space left on device", 「デバイスに空き領域がありません」.
QString systemReason(int error, Language language = terminalLanguage());

// One file, written as above.
Outcome writeFileAtomically(const QString& target, const QByteArray& contents);

} // namespace course
