// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole or not at all: replaced only by a rename once written and
// flushed, failures (a full disk, a device that refuses the bytes) reported with the
// file and the system's reason, and a set of files written all or none.

#include <engine/system/StagedFile.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using course::Outcome;
using course::StagedFile;
using course::StagedFiles;
using course::writeFileAtomically;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every entry of the folder, hidden ones (temporary files) included.
QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name);
}

// Sets a test hook for the lifetime of the object.
class Hook {
public:
    Hook(const char* name, const QByteArray& value) : name_(name) { qputenv(name, value); }
    ~Hook() { qunsetenv(name_); }

private:
    const char* name_;
};

const QString kNoSpace = QStringLiteral("No space left on device");

} // namespace

TEST(StagedFile, ReplacesTheTargetWholeKeepingItsPermissionsAndLinks) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString target = tmp.filePath(QStringLiteral("a.pdf"));
    EXPECT_TRUE(writeFileAtomically(target, "first"));
    EXPECT_EQ(contents(target), QByteArray("first"));

    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    EXPECT_TRUE(writeFileAtomically(target, "second, longer than the first"));
    EXPECT_EQ(contents(target), QByteArray("second, longer than the first"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A link to a file: the file it points to is replaced, the link stays a link.
    const QString link = tmp.filePath(QStringLiteral("link.pdf"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(writeFileAtomically(link, "third"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), QByteArray("third"));
    EXPECT_EQ(entries(tmp.path()), (QStringList{QStringLiteral("a.pdf"), QStringLiteral("link.pdf")}));
}

TEST(StagedFile, AFailedWriteLeavesTheTargetAndNoTemporaryFile) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString target = tmp.filePath(QStringLiteral("page-0.png"));
    put(target, "the good old picture");
    {
        Hook full("COURSE_TEST_WRITE_FAULT", "page-0.png");
        const Outcome r = writeFileAtomically(target, QByteArray(100000, 'x'));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, QStringLiteral("cannot write %1: %2").arg(target, kNoSpace));
    }
    EXPECT_EQ(contents(target), QByteArray("the good old picture"));
    EXPECT_EQ(entries(tmp.path()), QStringList{QStringLiteral("page-0.png")});

    // A folder where the file should go, a folder that is missing, one that is not
    // writable for the reason the system gives.
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("dir.pdf")));
    Outcome r = writeFileAtomically(tmp.filePath(QStringLiteral("dir.pdf")), "x");
    EXPECT_TRUE(r.message.endsWith(QStringLiteral(": Is a directory"))) << r.message.toStdString();
    r = writeFileAtomically(tmp.filePath(QStringLiteral("missing/a.pdf")), "x");
    EXPECT_TRUE(r.message.endsWith(QStringLiteral(": No such file or directory"))) << r.message.toStdString();
    r = writeFileAtomically(QStringLiteral("/proc/a.pdf"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("cannot write /proc/a.pdf: "))) << r.message.toStdString();
    EXPECT_FALSE(r.message.contains(QStringLiteral("Unknown error")));
}

TEST(StagedFile, DevicesAreWrittenDirectlyAndTheirErrorsReported) {
    if (QFileInfo(QStringLiteral("/dev/full")).isWritable()) {
        const Outcome r = writeFileAtomically(QStringLiteral("/dev/full"), QByteArray(70000, 'x'));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, QStringLiteral("cannot write /dev/full: ") + kNoSpace);
    }
    if (QFileInfo(QStringLiteral("/dev/null")).isWritable()) {
        EXPECT_TRUE(writeFileAtomically(QStringLiteral("/dev/null"), "gone"));
        EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile()); // still the device
    }
}

TEST(StagedFiles, ASetIsWrittenAllOrNone) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString a = tmp.filePath(QStringLiteral("a.csv"));
    const QString b = tmp.filePath(QStringLiteral("b.csv"));
    const QString c = tmp.filePath(QStringLiteral("c.csv"));
    put(a, "old a");
    put(c, "old c");
    StagedFiles set;
    set.add(a, "new a");
    set.add(b, "new b");
    set.add(c, "new c");
    {
        // The last file fails: the two before it are neither replaced nor made.
        Hook full("COURSE_TEST_WRITE_FAULT", "c.csv");
        const Outcome r = set.write();
        EXPECT_EQ(r.message, QStringLiteral("cannot write %1: %2").arg(c, kNoSpace));
    }
    EXPECT_EQ(contents(a), QByteArray("old a"));
    EXPECT_EQ(contents(c), QByteArray("old c"));
    EXPECT_EQ(entries(tmp.path()), (QStringList{QStringLiteral("a.csv"), QStringLiteral("c.csv")}));

    EXPECT_TRUE(set.write());
    EXPECT_EQ(contents(a), QByteArray("new a"));
    EXPECT_EQ(contents(b), QByteArray("new b"));
    EXPECT_EQ(contents(c), QByteArray("new c"));
    EXPECT_EQ(entries(tmp.path()).size(), 3);
}

TEST(StagedFile, ANewNameIsClaimedOnlyWhenFree) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString taken = tmp.filePath(QStringLiteral("p.pdf"));
    put(taken, "mine");
    StagedFile f(taken);
    ASSERT_TRUE(f.stage("new"));
    bool isTaken = false;
    EXPECT_FALSE(f.commitNew(taken, isTaken));
    EXPECT_TRUE(isTaken);
    EXPECT_EQ(contents(taken), QByteArray("mine"));
    const QString free = tmp.filePath(QStringLiteral("p-2.pdf"));
    EXPECT_TRUE(f.commitNew(free, isTaken));
    EXPECT_EQ(contents(free), QByteArray("new"));
    EXPECT_EQ(entries(tmp.path()), (QStringList{QStringLiteral("p-2.pdf"), QStringLiteral("p.pdf")}));
}
