// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line shared by all six programs, on QCommandLineParser: -h/--help,
// -v/--version, each program's own options, Qt's own options passed through to the
// application object, one error format ("<program>: <what>" and a hint to --help) and
// exit status 2 for a command line that cannot be used.

#include <engine/system/Outcome.h>

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace course {

class Catalog;

// The suite's one version number.
QString suiteVersion();

// Exit status of a command line that cannot be used.
inline constexpr int kUsageExitStatus = 2;

struct ProgramOption {
    QString name;      // "--speed"
    QString valueName; // "F", or empty for a flag
    QString help;
    // Takes the value (empty for a flag); a failure's message says what is wrong with it.
    std::function<Outcome(const QString& value)> apply;
    // Works without a window (named in the message shown when there is no display).
    bool headless = false;
};

class CommandLine {
public:
    // `summary` is the one-line description under the usage line of --help.
    CommandLine(QString program, QString summary);

    void add(ProgramOption option);
    // A check of the whole line after every option was applied (options that only make
    // sense together, or never do).
    void addCheck(std::function<Outcome()> check);
    // A paragraph printed after the option list of --help.
    void setEpilogue(QString text) { epilogue_ = std::move(text); }

    // Parses the arguments after the program name. Returns an exit status when the
    // program should end here (0 after --help/--version, kUsageExitStatus after an
    // error, both already printed), nothing when the program should go on.
    std::optional<int> parse(const QStringList& args);
    std::optional<int> parse(int argc, char** argv);

    // Prints a usage error found after parsing (for example a value checked against
    // something that exists only later) and returns kUsageExitStatus.
    int usageError(const QString& what);

    // The error of the last parse in the one error format, without the hint.
    const QString& error() const { return error_; }
    QString helpText() const;
    QString versionText() const;
    const QString& program() const { return program_; }

    // The message for window mode without a display: names the headless options.
    QString noDisplayMessage() const;

private:
    // A value missing after an option or given to a flag, worded in `msg`'s language;
    // empty when the arguments have neither.
    QString valueError(const QStringList& args, const Catalog& msg) const;

    QString program_;
    QString summary_;
    QString epilogue_;
    std::vector<ProgramOption> options_;
    std::vector<std::function<Outcome()>> checks_;
    QString error_;
};

// True when a window cannot be shown: no display is reachable and no platform was
// chosen (QT_QPA_PLATFORM unset).
bool noDisplayAvailable();

} // namespace course
