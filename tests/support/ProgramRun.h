#pragma once
// A program run as a separate process: its exit status, what it printed and how long
// it took, under the display the test gives it.

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace course::testing {

struct ProgramRun {
    int status = -1; // -1: still running at the time limit (then killed); -2: crashed
    QString out;
    QString err;
    qint64 ms = 0;
};

enum class Display {
    Offscreen, // the offscreen platform, no X or Wayland display
    None,      // no display of any kind: the program must do without or say so
    Inherited, // the test's own environment
};

inline ProgramRun runProgram(const QString& path, const QStringList& args,
                             Display display = Display::Offscreen, int timeoutMs = 30000) {
    QProcess proc;
    if (display != Display::Inherited) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (display == Display::None)
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        else
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        proc.setProcessEnvironment(env);
    }
    QElapsedTimer clock;
    clock.start();
    proc.start(path, args);
    ProgramRun r;
    if (!proc.waitForFinished(timeoutMs)) {
        proc.kill();
        proc.waitForFinished();
        return r;
    }
    r.ms = clock.elapsed();
    r.status = proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -2;
    r.out = QString::fromUtf8(proc.readAllStandardOutput());
    r.err = QString::fromUtf8(proc.readAllStandardError());
    return r;
}

} // namespace course::testing
