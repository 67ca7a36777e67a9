// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running a program of the suite as a separate process (its status, output and time),
// and reading back the CSV files its --export-data writes.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <QStandardPaths>

#include <limits>
#include <optional>
#include <vector>

namespace course::test {

struct ProgramRun {
    int status = -1; // exit code; -1 when it did not end in time, -2 when it crashed
    QString out;
    QString err;
    qint64 ms = 0; // how long it ran
};

// The display a program is run with: none from X or Wayland either way.
enum class Display {
    Offscreen, // the offscreen platform
    None,      // no platform named: the program must choose one or say why it cannot
};

// Variables of the environment a program runs with: NAME=value sets one, a bare NAME
// removes it ({"LC_ALL", "LANG=ja_JP.UTF-8"}).
using EnvironmentChanges = QStringList;

// Runs `program` with `args` with the environment changed as given, and waits up to
// `timeoutMs` for it to end.
inline ProgramRun runProgramWith(const QString& program, const QStringList& args, const EnvironmentChanges& changes,
                                 Display display = Display::Offscreen, int timeoutMs = 120000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (display == Display::Offscreen)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString& c : changes) {
        if (c.contains(QLatin1Char('=')))
            env.insert(c.section(QLatin1Char('='), 0, 0), c.section(QLatin1Char('='), 1));
        else
            env.remove(c);
    }
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    ProgramRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.ms = clock.elapsed();
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Runs `program` with `args` under a locale that writes decimal commas (when it is
// installed), and waits up to `timeoutMs` for it to end.
inline ProgramRun runProgram(const QString& program, const QStringList& args,
                             Display display = Display::Offscreen, int timeoutMs = 120000) {
    return runProgramWith(program, args, {QStringLiteral("LC_ALL=de_DE.UTF-8")}, display, timeoutMs);
}

// The text of a PDF file as pdftotext reads it (UTF-8, pages ended by form feeds);
// nothing when pdftotext is not installed or cannot read the file.
inline std::optional<QString> pdfText(const QString& pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The captured fields of every line of `text` that `re` matches, joined by spaces: the
// rows of a text table, to compare with rows made from other output.
inline QStringList capturedRows(const QString& text, const QRegularExpression& re) {
    QStringList rows;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (const QRegularExpressionMatch m = re.match(line); m.hasMatch())
            rows << m.capturedTexts().mid(1).join(QLatin1Char(' '));
    return rows;
}

// A CSV file as its header and rows of fields (no quoting: the programs write none).
struct Csv {
    bool read = false; // false when the file could not be opened
    QStringList header;
    std::vector<QStringList> rows;

    int column(const QString& name) const { return int(header.indexOf(name)); }
    // The field of `name` in row k as a number; NaN when it is not one.
    double number(std::size_t k, const QString& name) const {
        bool ok = false;
        const double v = rows.at(k).value(column(name)).toDouble(&ok);
        return ok ? v : std::numeric_limits<double>::quiet_NaN();
    }
};

inline Csv readCsv(const QString& path) {
    Csv csv;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return csv;
    csv.read = true;
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return csv;
    csv.header = lines.takeFirst().split(QLatin1Char(','));
    for (const QString& l : lines)
        csv.rows.push_back(l.split(QLatin1Char(',')));
    return csv;
}

} // namespace course::test
