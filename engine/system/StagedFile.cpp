// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/system/StagedFile.h>

#include <engine/system/Language.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace course {

namespace {

constexpr int kHoldMs = 60'000;

QByteArray encoded(const QString& path) { return QFileInfo(path).absoluteFilePath().toLocal8Bit(); }

// "cannot write FILE: REASON" in `language`.
QString cannotWrite(Language language, const QString& path, const QString& reason) {
    return Catalog(language).translate("course::StagedFile", "cannot write %1: %2").arg(path, reason);
}

// The file a target names: a link to an existing file is followed, so the file it
// points to is replaced and the link stays.
QString resolved(const QString& target) {
    const QFileInfo info(target);
    if (info.isSymLink() && info.exists())
        return info.canonicalFilePath();
    return info.absoluteFilePath();
}

// Writes all of `data`, resuming after interruptions and short writes. Returns 0 or
// the errno of the failed write.
int writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= n;
    }
    return 0;
}

// Whether the test hook asks the write of `target` to fail.
bool faultInjected(const QString& target) {
    const QString name = qEnvironmentVariable("COURSE_TEST_WRITE_FAULT");
    return !name.isEmpty() && (name == QLatin1String("*") || name == QFileInfo(target).fileName());
}

// Writes `contents` to `fd` (the test hook may cut it off half-way) and flushes it to
// the disk. Returns 0 or the errno of the step that failed.
int writeAndSync(int fd, const QString& target, const QByteArray& contents, bool device) {
    if (faultInjected(target)) {
        writeAll(fd, contents.constData(), contents.size() / 2);
        return ENOSPC;
    }
    if (const int e = writeAll(fd, contents.constData(), contents.size()))
        return e;
    // Devices and pipes need not support a flush to disk; their writes are checked.
    if (::fsync(fd) != 0 && !(device && (errno == EINVAL || errno == EROFS || errno == ENOTSUP)))
        return errno;
    return 0;
}

// Makes the rename itself durable; the file is in place whatever this says.
void syncFolder(const QString& file) {
    const int fd = ::open(encoded(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString systemReason(int error, Language language) {
    // The C library's own words for the error, in the language asked for whatever
    // locale the program runs in; "C" when the Japanese locale is not installed.
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(0));
    static const locale_t ja = [] {
        locale_t l = ::newlocale(LC_ALL_MASK, "ja_JP.UTF-8", locale_t(0));
        return l ? l : c;
    }();
    const locale_t l = language == Language::Japanese ? ja : c;
    return QString::fromUtf8(l ? ::strerror_l(error, l) : std::strerror(error));
}

StagedFile::StagedFile(QString target, Language messages) : target_(std::move(target)), language_(messages) {}

StagedFile::StagedFile(QString target) : StagedFile(std::move(target), terminalLanguage()) {}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::exchange(other.temp_, QString())), direct_(other.direct_),
      language_(other.language_) {}

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
    if (!temp_.isEmpty())
        ::unlink(encoded(temp_).constData());
    temp_.clear();
}

Outcome StagedFile::fail(const QString& path, int error) {
    discard();
    return Outcome::failure(cannotWrite(language_, path, systemReason(error, language_)));
}

Outcome StagedFile::writeDirect(const QByteArray& contents) {
    direct_ = true;
    const int fd = ::open(encoded(target_).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return fail(target_, errno);
    int e = writeAndSync(fd, target_, contents, true);
    if (::close(fd) != 0 && e == 0 && errno != EINTR)
        e = errno;
    return e ? fail(target_, e) : Outcome::success();
}

Outcome StagedFile::stage(const QByteArray& contents) {
    discard();
    const QString file = resolved(target_);
    const QByteArray fileName = encoded(file);
    struct stat existing {};
    const bool exists = ::stat(fileName.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return fail(target_, EISDIR);
    if (exists && !S_ISREG(existing.st_mode))
        return writeDirect(contents);

    // ".page-0.png.3f9a1c.part" beside the target: hidden, and plainly unfinished.
    const QFileInfo info(file);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp_ = info.absolutePath() + QStringLiteral("/.%1.%2.part")
                                          .arg(info.fileName())
                                          .arg(QRandomGenerator::global()->generate() & 0xffffff, 6, 16,
                                               QLatin1Char('0'));
        fd = ::open(encoded(temp_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            const int e = errno;
            temp_.clear();
            return fail(target_, e);
        }
    }
    if (fd < 0) {
        temp_.clear();
        return fail(target_, EEXIST);
    }
    // A replaced file keeps its permissions.
    if (exists)
        ::fchmod(fd, existing.st_mode & 07777);
    int e = writeAndSync(fd, target_, contents, false);
    if (::close(fd) != 0 && e == 0 && errno != EINTR)
        e = errno;
    return e ? fail(target_, e) : Outcome::success();
}

void StagedFile::holdForTests() const {
    // Once per process: the test kills it there.
    static bool held = false;
    const QString marker = qEnvironmentVariable("COURSE_TEST_HOLD_BEFORE_RENAME");
    if (marker.isEmpty() || held)
        return;
    held = true;
    const int fd = ::open(encoded(marker).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0)
        ::close(fd);
    QDeadlineTimer until(kHoldMs);
    while (!until.hasExpired())
        QThread::msleep(50);
}

Outcome StagedFile::commit() {
    if (direct_)
        return Outcome::success();
    if (temp_.isEmpty())
        return Outcome::failure(cannotWrite(
            language_, target_, Catalog(language_).translate("course::StagedFile", "nothing was staged")));
    holdForTests();
    const QString file = resolved(target_);
    if (::rename(encoded(temp_).constData(), encoded(file).constData()) != 0)
        return fail(target_, errno);
    temp_.clear();
    syncFolder(file);
    return Outcome::success();
}

Outcome StagedFile::commitNew(const QString& path, bool& taken) {
    taken = false;
    if (temp_.isEmpty())
        return Outcome::failure(cannotWrite(
            language_, path, Catalog(language_).translate("course::StagedFile", "nothing was staged")));
    holdForTests();
    // A hard link claims the name only when it is free; the temporary name goes after.
    if (::link(encoded(temp_).constData(), encoded(path).constData()) != 0) {
        const int e = errno;
        taken = e == EEXIST;
        if (taken || (e != EPERM && e != EOPNOTSUPP && e != ENOSYS))
            return Outcome::failure(cannotWrite(language_, path, systemReason(e, language_)));
        // A file system without hard links: a check, then the rename.
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) {
            taken = true;
            return Outcome::failure(cannotWrite(language_, path, systemReason(EEXIST, language_)));
        }
        if (::rename(encoded(temp_).constData(), encoded(path).constData()) != 0)
            return Outcome::failure(cannotWrite(language_, path, systemReason(errno, language_)));
    } else {
        ::unlink(encoded(temp_).constData());
    }
    temp_.clear();
    syncFolder(path);
    return Outcome::success();
}

Outcome StagedFiles::write() const {
    std::vector<StagedFile> staged;
    staged.reserve(files_.size());
    for (const Entry& e : files_) {
        staged.emplace_back(e.target);
        if (Outcome r = staged.back().stage(e.contents); !r)
            return r; // the files staged so far are removed with `staged`
    }
    for (StagedFile& f : staged)
        if (Outcome r = f.commit(); !r)
            return r;
    return Outcome::success();
}

Outcome writeFileAtomically(const QString& target, const QByteArray& contents) {
    StagedFile f(target);
    if (Outcome r = f.stage(contents); !r)
        return r;
    return f.commit();
}

} // namespace course
