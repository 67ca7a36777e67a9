// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A print server of the test's own: cupsd started in the foreground with its
// configuration, spool, logs and socket in a temporary folder, so that nothing of the
// machine's printing setup is read or changed. It holds one queue whose jobs land
// unchanged (as the PDF the program sent) in a file, and makes it the default for
// programs started with environment().

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace course::testing {

class PrivateCupsd {
public:
    PrivateCupsd();
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // Starts the daemon and adds the default queue `queue`. Returns an error message,
    // empty on success.
    QString start(const QString& queue = QStringLiteral("course"));
    void stop();

    // Points this process's printing (libcups reads these on first use) and the
    // environment of programs it starts at the private server and queue.
    void applyToThisProcess() const;
    QProcessEnvironment environment() const;

    // Waits until the server has no unfinished job; false on timeout.
    bool waitForJobs(int timeoutMs) const;
    // Ids of the completed jobs ("course-1", …).
    QStringList completedJobs() const;
    // Where the queue's jobs land (each job replaces the file).
    QString outputFile() const { return dir_.filePath(QStringLiteral("out/job.pdf")); }
    QString socketPath() const { return dir_.filePath(QStringLiteral("cups.sock")); }
    QString errorLog() const;

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Runs a client tool against the private server; its output, or nothing when it
    // failed (with the reason in `err`).
    std::optional<QString> client(const QString& tool, const QStringList& args, QString* err = nullptr) const;
    QString writeConfiguration(const QString& queue);

    QTemporaryDir dir_;
    QProcess daemon_;
};

} // namespace course::testing
