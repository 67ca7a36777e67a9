// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateCupsd.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace course::testing {

namespace {

// rwxr-xr-x
constexpr QFileDevice::Permissions kOwnerWrites =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
    QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

bool writeFile(const QString& path, const QByteArray& text, QFileDevice::Permissions perms = {}) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
        return false;
    f.close();
    return !perms || f.setPermissions(perms);
}

// The filter of the queue: the document goes on unchanged, so the file holds exactly
// what the program sent.
const QByteArray kPassThrough = "#!/bin/sh\n"
                                "if [ -n \"$6\" ]; then exec cat \"$6\"; else exec cat; fi\n";

// A PDF printer with A4 as its default paper and a 0.25 in unprintable border.
QByteArray printerDescription(const QString& filter) {
    return QByteArrayLiteral("*PPD-Adobe: \"4.3\"\n"
                             "*FormatVersion: \"4.3\"\n"
                             "*FileVersion: \"1.0\"\n"
                             "*LanguageVersion: English\n"
                             "*LanguageEncoding: ISOLatin1\n"
                             "*PCFileName: \"COURSE.PPD\"\n"
                             "*Manufacturer: \"Course\"\n"
                             "*Product: \"(Course PDF file)\"\n"
                             "*ModelName: \"Course PDF file\"\n"
                             "*ShortNickName: \"Course PDF file\"\n"
                             "*NickName: \"Course PDF file\"\n"
                             "*PSVersion: \"(3010.000) 0\"\n"
                             "*LanguageLevel: \"3\"\n"
                             "*ColorDevice: True\n"
                             "*DefaultColorSpace: RGB\n"
                             "*FileSystem: False\n"
                             "*Throughput: \"1\"\n"
                             "*LandscapeOrientation: Plus90\n"
                             "*TTRasterizer: Type42\n"
                             "*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 ") +
           filter.toLocal8Bit() +
           QByteArrayLiteral("\"\n"
                             "*OpenUI *PageSize/Media Size: PickOne\n"
                             "*OrderDependency: 10 AnySetup *PageSize\n"
                             "*DefaultPageSize: A4\n"
                             "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
                             "*PageSize Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
                             "*CloseUI: *PageSize\n"
                             "*OpenUI *PageRegion: PickOne\n"
                             "*OrderDependency: 10 AnySetup *PageRegion\n"
                             "*DefaultPageRegion: A4\n"
                             "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
                             "*PageRegion Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
                             "*CloseUI: *PageRegion\n"
                             "*DefaultImageableArea: A4\n"
                             "*ImageableArea A4/A4: \"18 18 577 824\"\n"
                             "*ImageableArea Letter/US Letter: \"18 18 594 774\"\n"
                             "*DefaultPaperDimension: A4\n"
                             "*PaperDimension A4/A4: \"595 842\"\n"
                             "*PaperDimension Letter/US Letter: \"612 792\"\n"
                             "*DefaultResolution: 300dpi\n");
}

} // namespace

PrivateCupsd::PrivateCupsd() {
    // The daemon hands the job to the filter as an unprivileged user, who must be able
    // to reach the filter; nobody else may write here (cupsd checks that).
    QFile::setPermissions(dir_.path(), kOwnerWrites);
}

PrivateCupsd::~PrivateCupsd() { stop(); }

QString PrivateCupsd::writeConfiguration(const QString& queue) {
    for (const char* sub : {"spool", "cache", "state", "log", "out", "home/.cups"})
        if (!QDir(dir_.path()).mkpath(QString::fromLatin1(sub)))
            return QStringLiteral("cannot create %1").arg(path(QString::fromLatin1(sub)));
    // Everything the daemon keeps lives here; programs, filters and data are the
    // installed ones. Jobs may go to file: devices (the queue's output).
    const QString files = QStringLiteral("ServerRoot %1\n"
                                         "RequestRoot %1/spool\n"
                                         "TempDir %1/spool\n"
                                         "CacheDir %1/cache\n"
                                         "StateDir %1/state\n"
                                         "AccessLog %1/log/access_log\n"
                                         "ErrorLog %1/log/error_log\n"
                                         "PageLog %1/log/page_log\n"
                                         "Printcap %1/printcap\n"
                                         "ServerBin /usr/lib/cups\n"
                                         "DataDir /usr/share/cups\n"
                                         "FileDevice Yes\n")
                              .arg(dir_.path());
    // Only its own socket, no sharing, no web pages, and no authentication for
    // anything (only this test reaches the socket).
    const QString daemon =
        QStringLiteral("Listen %1\n"
                       "LogLevel info\n"
                       "Browsing No\n"
                       "WebInterface No\n"
                       "DefaultAuthType None\n"
                       "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                       "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n")
            .arg(socketPath());
    if (!writeFile(path(QStringLiteral("cups-files.conf")), files.toLocal8Bit()) ||
        !writeFile(path(QStringLiteral("cupsd.conf")), daemon.toLocal8Bit()) ||
        !writeFile(path(QStringLiteral("passthrough")), kPassThrough, kOwnerWrites) ||
        !writeFile(path(QStringLiteral("course.ppd")),
                   printerDescription(path(QStringLiteral("passthrough")))) ||
        !writeFile(path(QStringLiteral("home/.cups/lpoptions")), "Default " + queue.toLocal8Bit() + "\n"))
        return QStringLiteral("cannot write the configuration in %1").arg(dir_.path());
    return {};
}

QString PrivateCupsd::start(const QString& queue) {
    if (!dir_.isValid())
        return QStringLiteral("no temporary folder");
    const QString cupsd = QStandardPaths::findExecutable(
        QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (cupsd.isEmpty())
        return QStringLiteral("cupsd is not installed (scripts/setup.sh installs it)");
    if (QString err = writeConfiguration(queue); !err.isEmpty())
        return err;

    daemon_.setProcessChannelMode(QProcess::MergedChannels);
    daemon_.setStandardOutputFile(path(QStringLiteral("log/daemon.out")));
    daemon_.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), path(QStringLiteral("cupsd.conf")),
                          QStringLiteral("-s"), path(QStringLiteral("cups-files.conf"))});
    if (!daemon_.waitForStarted(5000))
        return QStringLiteral("cupsd did not start: %1").arg(daemon_.errorString());
    // Ready once it answers on its socket.
    QDeadlineTimer ready(15000);
    QString err = QStringLiteral("no answer");
    while (!ready.hasExpired()) {
        if (daemon_.state() != QProcess::Running)
            return QStringLiteral("cupsd ended at start-up:\n%1").arg(errorLog());
        if (QFile::exists(socketPath()) && client(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &err)
                                               .value_or(QString())
                                               .contains(QStringLiteral("is running")))
            break;
        QThread::msleep(50);
    }
    if (ready.hasExpired())
        return QStringLiteral("cupsd does not answer (%1):\n%2").arg(err, errorLog());

    const QString device = QStringLiteral("file://") + outputFile();
    if (!client(QStringLiteral("lpadmin"),
                {QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"), device,
                 QStringLiteral("-P"), path(QStringLiteral("course.ppd"))},
                &err) ||
        !client(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queue}, &err))
        return QStringLiteral("cannot add the queue: %1\n%2").arg(err, errorLog());
    return {};
}

void PrivateCupsd::stop() {
    if (daemon_.state() == QProcess::NotRunning)
        return;
    daemon_.terminate();
    if (!daemon_.waitForFinished(10000)) {
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
}

QProcessEnvironment PrivateCupsd::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), socketPath());
    env.insert(QStringLiteral("CUPS_SERVERROOT"), dir_.path());
    env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    env.remove(QStringLiteral("PRINTER"));
    env.remove(QStringLiteral("LPDEST"));
    return env;
}

void PrivateCupsd::applyToThisProcess() const {
    qputenv("CUPS_SERVER", socketPath().toLocal8Bit());
    qputenv("CUPS_SERVERROOT", dir_.path().toLocal8Bit());
    qputenv("HOME", path(QStringLiteral("home")).toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
}

std::optional<QString> PrivateCupsd::client(const QString& tool, const QStringList& args,
                                            QString* err) const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(tool, args);
    if (!p.waitForFinished(15000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (err)
            *err = QStringLiteral("%1 %2: %3 %4")
                       .arg(tool, args.join(QLatin1Char(' ')), p.errorString(),
                            QString::fromLocal8Bit(p.readAllStandardError()));
        return std::nullopt;
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

bool PrivateCupsd::waitForJobs(int timeoutMs) const {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const std::optional<QString> pending = client(QStringLiteral("lpstat"), {QStringLiteral("-o")});
        if (pending && pending->trimmed().isEmpty())
            return true;
        QThread::msleep(100);
    }
    return false;
}

QStringList PrivateCupsd::completedJobs() const {
    QStringList ids;
    const QString out = client(QStringLiteral("lpstat"),
                               {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o")})
                            .value_or(QString());
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        ids << line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    return ids;
}

QString PrivateCupsd::errorLog() const {
    QFile f(path(QStringLiteral("log/error_log")));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("(no log)");
    return QString::fromLocal8Bit(f.readAll().right(4000));
}

} // namespace course::testing
