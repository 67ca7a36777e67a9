// SPDX-License-Identifier: GPL-3.0-or-later
// The programs' writes under a hostile world, run as separate processes: a device that
// is full, a disk that fills during an export (a write error injected), a kill between
// the write and the rename, pages already in the folder; and a display that does not
// answer.

#include <ProgramRun.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using Result = course::test::ProgramRun;

const QString kNoSpace = QStringLiteral("No space left on device");

QProcessEnvironment environment(const QStringList& extra) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    // Qt's warning about a missing runtime folder would stand before the messages.
    static const QTemporaryDir runtime;
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    for (const QString& kv : extra) {
        const QString key = kv.section(QLatin1Char('='), 0, 0);
        const QString value = kv.section(QLatin1Char('='), 1);
        if (value.isEmpty() && !kv.contains(QLatin1Char('=')))
            env.remove(key);
        else
            env.insert(key, value);
    }
    return env;
}

// Runs `program` with `args` and the environment changes `extra` ("NAME=value", or
// "NAME" to remove one).
Result run(const char* program, const QStringList& args, const QStringList& extra = {}) {
    QProcess p;
    p.setProcessEnvironment(environment(extra));
    p.start(QString::fromLocal8Bit(program), args);
    Result r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The names in `dir` that are not hidden (temporary files are).
QStringList visible(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

// Starts `program` held before its first rename, kills it with SIGKILL there, and
// returns once it is gone. False when it never reached the rename.
bool killBeforeRename(const char* program, const QStringList& args, const QString& marker) {
    QProcess p;
    p.setProcessEnvironment(environment({QStringLiteral("COURSE_TEST_HOLD_BEFORE_RENAME=") + marker}));
    p.start(QString::fromLocal8Bit(program), args);
    if (!p.waitForStarted(20000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(marker) && clock.elapsed() < 120000 && p.state() == QProcess::Running)
        QThread::msleep(20);
    const bool held = QFileInfo::exists(marker) && p.state() == QProcess::Running;
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(20000);
    return held;
}

} // namespace

TEST(SafeWrites, AFullDeviceIsReportedWithStatusOne) {
    if (!QFileInfo(QStringLiteral("/dev/full")).isWritable())
        GTEST_SKIP() << "no /dev/full";
    Result r = run(TESSERA_BINARY, {QStringLiteral("--export-pdf"), QStringLiteral("/dev/full")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("tessera: cannot write /dev/full: %1\n").arg(kNoSpace));
    r = run(SORREL_BINARY, {QStringLiteral("--export-png"), QStringLiteral("/dev/full")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot write /dev/full: ") + kNoSpace)) << r.err.toStdString();
}

TEST(SafeWrites, ADiskThatFillsLeavesEveryFileAsItWas) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString pdf = tmp.filePath(QStringLiteral("doc.pdf"));
    const QString page = tmp.filePath(QStringLiteral("page-0.png"));
    put(pdf, "the old PDF");
    put(page, "the old page");
    // The PDF comes after the pages: the pages are written, then the PDF fails, and
    // nothing is renamed.
    Result r = run(QUILLET_BINARY,
                   {QStringLiteral("--export-png"), tmp.path(), QStringLiteral("--force"), QStringLiteral("--export-pdf"), pdf},
                   {QStringLiteral("COURSE_TEST_WRITE_FAULT=doc.pdf")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("quillet: cannot write %1: %2\n").arg(pdf, kNoSpace));
    EXPECT_EQ(contents(pdf), QByteArray("the old PDF"));
    EXPECT_EQ(contents(page), QByteArray("the old page"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("doc.pdf"), QStringLiteral("page-0.png")}));

    // The data export replaces a good file only with a whole one.
    const QString data = tmp.filePath(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkdir(data));
    put(data + QStringLiteral("/iterations.csv"), "good");
    r = run(BRINDLE_BINARY, {QStringLiteral("--export-data"), data, QStringLiteral("--force")},
            {QStringLiteral("COURSE_TEST_WRITE_FAULT=wavefunctions.csv")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(data + QStringLiteral("/wavefunctions.csv: ") + kNoSpace)) << r.err.toStdString();
    EXPECT_EQ(contents(data + QStringLiteral("/iterations.csv")), QByteArray("good"));
    EXPECT_EQ(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("iterations.csv")});

    // sorrel's picture and PDF, together.
    const QString png = tmp.filePath(QStringLiteral("sorrel.png"));
    r = run(SORREL_BINARY, {QStringLiteral("--export-png"), png, QStringLiteral("--export-pdf"), pdf},
            {QStringLiteral("COURSE_TEST_WRITE_FAULT=doc.pdf")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(QFileInfo::exists(png));
    EXPECT_EQ(contents(pdf), QByteArray("the old PDF"));
}

TEST(SafeWrites, AKillBetweenWriteAndRenameLeavesTheOldFile) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString pdf = tmp.filePath(QStringLiteral("doc.pdf"));
    put(pdf, "the old PDF");
    ASSERT_TRUE(killBeforeRename(TESSERA_BINARY, {QStringLiteral("--export-pdf"), pdf}, tmp.filePath(QStringLiteral("m1"))));
    EXPECT_EQ(contents(pdf), QByteArray("the old PDF"));

    const QString data = tmp.filePath(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkdir(data));
    put(data + QStringLiteral("/steps.csv"), "good");
    ASSERT_TRUE(killBeforeRename(SORREL_BINARY, {QStringLiteral("--export-data"), data, QStringLiteral("--force")},
                                 tmp.filePath(QStringLiteral("m2"))));
    EXPECT_EQ(visible(data), QStringList{QStringLiteral("steps.csv")});
    EXPECT_EQ(contents(data + QStringLiteral("/steps.csv")), QByteArray("good"));

    const QString png = tmp.filePath(QStringLiteral("window.png"));
    ASSERT_TRUE(killBeforeRename(SORREL_BINARY, {QStringLiteral("--export-png"), png}, tmp.filePath(QStringLiteral("m3"))));
    EXPECT_FALSE(QFileInfo::exists(png));

    // Whatever was killed, each final name holds a whole old file or nothing.
    EXPECT_EQ(visible(tmp.path()),
              (QStringList{QStringLiteral("doc.pdf"), QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("m3")}));
}

TEST(SafeWrites, PagesAlreadyInTheFolderAreReplacedOnlyWithForce) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString page = tmp.filePath(QStringLiteral("page-1@2x.png"));
    put(page, "mine");
    Result r = run(ORIEL_BINARY, {QStringLiteral("--export-png"), tmp.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("oriel: %1 already exists").arg(page))) << r.err.toStdString();
    EXPECT_EQ(visible(tmp.path()), QStringList{QStringLiteral("page-1@2x.png")});
    EXPECT_EQ(contents(page), QByteArray("mine"));

    r = run(ORIEL_BINARY, {QStringLiteral("--export-png"), tmp.path(), QStringLiteral("--force")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(contents(page).startsWith("\x89PNG"));
    EXPECT_EQ(visible(tmp.path()).size(), 8); // three pages and the title, at 1x and 2x

    // --force without a folder to write is a usage error.
    r = run(ORIEL_BINARY, {QStringLiteral("--force")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("oriel: --force applies only to --export-png"))) << r.err.toStdString();
}

TEST(SafeWrites, ADisplayThatDoesNotAnswerGivesTheProgramsMessage) {
    // A display number no X server of this machine uses.
    const QString dead = QStringLiteral("DISPLAY=:7391");
    for (const char* program : {TESSERA_BINARY, SORREL_BINARY}) {
        const Result r = run(program, {}, {dead, QStringLiteral("QT_QPA_PLATFORM")});
        EXPECT_EQ(r.status, 1) << program << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral(": cannot open the display ':7391'"))) << r.err.toStdString();
    }
    const Result r = run(BRINDLE_BINARY, {QStringLiteral("-platform"), QStringLiteral("xcb")}, {dead});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("brindle: cannot open the display"))) << r.err.toStdString();
}
