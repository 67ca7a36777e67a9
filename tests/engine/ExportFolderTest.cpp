// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a set of files into a folder: the folder is made when missing, nothing is
// written when a file is already there (unless overwriting), and every failure is
// reported with the path it concerns.

#include <engine/shell/ExportFolder.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using course::ExportFolder;

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

ExportFolder twoFiles(const QString& dir) {
    ExportFolder folder(dir);
    folder.add(std::string("a.csv"), std::string("x,y\n1,2\n"));
    folder.add(std::string("b.csv"), std::string("z\n3\n"));
    return folder;
}

} // namespace

TEST(ExportFolder, MakesTheMissingFolderAndWritesEveryFileWhole) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.filePath(QStringLiteral("out"));
    EXPECT_EQ(twoFiles(dir + QStringLiteral("/")).write(), QString());
    EXPECT_EQ(entries(dir), (QStringList{QStringLiteral("a.csv"), QStringLiteral("b.csv")}));
    EXPECT_EQ(contents(dir + QStringLiteral("/a.csv")), QByteArray("x,y\n1,2\n"));
    EXPECT_EQ(contents(dir + QStringLiteral("/b.csv")), QByteArray("z\n3\n"));
}

TEST(ExportFolder, RefusesBeforeWritingAnythingWhenOneFileIsThere) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    put(tmp.filePath(QStringLiteral("b.csv")), "mine");
    const QString error = twoFiles(tmp.path()).write();
    EXPECT_TRUE(error.contains(tmp.filePath(QStringLiteral("b.csv")))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("already exists"))) << error.toStdString();
    // a.csv comes first in the set and is still not written.
    EXPECT_EQ(entries(tmp.path()), QStringList{QStringLiteral("b.csv")});
    EXPECT_EQ(contents(tmp.filePath(QStringLiteral("b.csv"))), QByteArray("mine"));

    // A link to nowhere is taken too: writing would follow it somewhere else.
    QTemporaryDir tmp2;
    ASSERT_TRUE(
        QFile::link(tmp2.filePath(QStringLiteral("nowhere")), tmp2.filePath(QStringLiteral("a.csv"))));
    EXPECT_TRUE(twoFiles(tmp2.path()).write().contains(QStringLiteral("already exists")));
    EXPECT_FALSE(QFile::exists(tmp2.filePath(QStringLiteral("b.csv"))));
}

TEST(ExportFolder, OverwriteReplacesFilesAndLeavesNoTemporaryFiles) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    put(tmp.filePath(QStringLiteral("a.csv")), "an older and longer text than the new one");
    ExportFolder folder = twoFiles(tmp.path());
    folder.setOverwrite(true);
    EXPECT_EQ(folder.write(), QString());
    EXPECT_EQ(contents(tmp.filePath(QStringLiteral("a.csv"))), QByteArray("x,y\n1,2\n"));
    EXPECT_EQ(entries(tmp.path()), (QStringList{QStringLiteral("a.csv"), QStringLiteral("b.csv")}));
}

TEST(ExportFolder, AFolderThatCannotBeMadeOrUsedIsReported) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString file = tmp.filePath(QStringLiteral("file.txt"));
    put(file, "text");

    // Below a regular file (root may write anywhere, but not there).
    QString error = twoFiles(file + QStringLiteral("/sub")).write();
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot create the folder ") + file + QStringLiteral("/sub")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("is not a folder"))) << error.toStdString();

    // The parent must exist: only the last level is made.
    const QString deep = tmp.filePath(QStringLiteral("missing/sub"));
    error = twoFiles(deep).write();
    EXPECT_TRUE(error.contains(QStringLiteral("does not exist"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.filePath(QStringLiteral("missing"))));

    // The folder itself a regular file.
    error = twoFiles(file).write();
    EXPECT_EQ(error, file + QStringLiteral(" is not a folder"));
    EXPECT_EQ(contents(file), QByteArray("text"));
    EXPECT_EQ(entries(tmp.path()), QStringList{QStringLiteral("file.txt")});
}

TEST(ExportFolder, AFileThatCannotBeWrittenStopsTheWholeSet) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    // b.csv is a folder: even overwriting cannot put a file there.
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("b.csv")));
    ExportFolder folder = twoFiles(tmp.path());
    folder.setOverwrite(true);
    const QString error = folder.write();
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot write ") + tmp.filePath(QStringLiteral("b.csv"))))
        << error.toStdString();
    // All or none: a.csv, staged first, is not left behind either.
    EXPECT_EQ(entries(tmp.path()), QStringList{QStringLiteral("b.csv")});
}
