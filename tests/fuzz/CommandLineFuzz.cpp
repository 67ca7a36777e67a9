// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the command lines: a document program's (the shared --export-pdf,
// --export-png and --page, with brindle's --table and --speed) and sorrel's (its
// exports, --scale, --speed, --table and the checks between them), on
// QCommandLineParser with Qt's own options passed through.
//
// Input: one selector byte (which program), then the arguments as UTF-8, separated by
// 0 bytes.

#include "FuzzSupport.h"

#include "Options.h"

#include <engine/pacing/PacedClock.h>
#include <engine/shell/DocumentMain.h>

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <fcntl.h>
#include <unistd.h>

using namespace course;
using namespace course::fuzz;

namespace {

// Help, version and usage errors are printed; keep them off the fuzzer's output.
class Quiet {
public:
    Quiet() : out_(dup(1)), err_(dup(2)) {
        std::fflush(stdout);
        std::fflush(stderr);
        dup2(null_, 1);
        dup2(null_, 2);
    }
    ~Quiet() {
        std::fflush(stdout);
        std::fflush(stderr);
        dup2(out_, 1);
        dup2(err_, 2);
        close(out_);
        close(err_);
    }

private:
    static inline const int null_ = open("/dev/null", O_WRONLY);
    int out_, err_;
};

bool asksForHelp(const QStringList& args) {
    for (const QString& a : args) {
        if (a == QLatin1String("--"))
            return false;
        if (a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("-v") ||
            a == QLatin1String("--version"))
            return true;
    }
    return false;
}

// brindle's --speed: a positive factor.
course::Outcome speedOption(const QString& v, double& speed) {
    bool ok = false;
    const double f = v.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(f) || !(f > 0))
        return course::Outcome::failure(QStringLiteral("--speed needs a positive number, not \"%1\"").arg(v));
    speed = f;
    return course::Outcome::success();
}

struct ParseResult {
    std::optional<int> status;
    QString error;
    bool operator==(const ParseResult& o) const { return status == o.status && error == o.error; }
};

ParseResult parseDocument(const QStringList& args) {
    double speed = 1;
    bool table = false;
    DocumentProgram program;
    program.name = QStringLiteral("brindle");
    program.summary = QStringLiteral("fuzzed");
    program.options.push_back(
        {QStringLiteral("--table"), QString(), QStringLiteral("text"), [&table](const QString&) {
             table = true;
             return course::Outcome::success();
         }});
    program.options.push_back({QStringLiteral("--speed"), QStringLiteral("F"), QStringLiteral("pace"),
                               [&speed](const QString& v) { return speedOption(v, speed); }});
    DocumentCommandLine line(program);
    ParseResult out;
    {
        Quiet quiet;
        out.status = line.parse(args);
    }
    out.error = line.line().error();
    if (!out.status) {
        check(std::isfinite(speed) && speed > 0, "an accepted speed that is not a positive number");
        check(line.page >= 0, "an accepted page before the first");
    }
    return out;
}

ParseResult parseSorrel(const QStringList& args) {
    sorrel::Options o;
    CommandLine line = sorrel::commandLine(o);
    ParseResult out;
    {
        Quiet quiet;
        out.status = line.parse(args);
    }
    out.error = line.error();
    if (!out.status) {
        const auto& steps = course::PacedClock::kSpeeds;
        check(!o.run.speed || std::find(std::begin(steps), std::end(steps), *o.run.speed) != std::end(steps),
              "an accepted speed that is not one of the offered steps");
        check(o.scale >= 1 && o.scale <= 4, "an accepted scale outside 1 to 4");
        check(!(o.table && o.exporting()), "--table accepted with an export");
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const bool sorrel = in.byte() & 1;
    QStringList args;
    while (!in.atEnd())
        args << in.text('\0');

    const QString program = sorrel ? QStringLiteral("sorrel") : QStringLiteral("brindle");
    const ParseResult first = sorrel ? parseSorrel(args) : parseDocument(args);
    check(!first.status || *first.status == 0 || *first.status == kUsageExitStatus, "an unknown exit status");
    if (first.status && *first.status == 0)
        check(asksForHelp(args), "status 0 without --help or --version");
    if (asksForHelp(args))
        check(first.status == 0, "--help or --version not answered");
    if (first.status == kUsageExitStatus)
        check(first.error.startsWith(program + QStringLiteral(": ")) &&
                  first.error.size() > program.size() + 2,
              "a usage error without its message");
    if (!first.status)
        check(first.error.isEmpty(), "an accepted line with an error");
    // The same line gives the same answer.
    check((sorrel ? parseSorrel(args) : parseDocument(args)) == first, "two parses of one line differ");
    return 0;
}
