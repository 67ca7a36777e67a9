// SPDX-License-Identifier: GPL-3.0-or-later
// All six programs, run as separate processes: --version and -h, the one usage-error
// format with status 2, --page in the documents, and window mode without a display.

#include <ProgramRun.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Program {
    const char* name;
    const char* path;
    bool document;
    int pages;
};

const Program kPrograms[] = {
    {"tessera", TESSERA_BINARY, true, 4}, {"quillet", QUILLET_BINARY, true, 4},
    {"brindle", BRINDLE_BINARY, true, 3}, {"oriel", ORIEL_BINARY, true, 3},
    {"calyx", CALYX_BINARY, true, 4},     {"sorrel", SORREL_BINARY, false, 0},
};

using course::test::Display;
using Result = course::test::ProgramRun;

Result run(const Program& p, const QStringList& args, Display display = Display::Offscreen) {
    return course::test::runProgram(QString::fromLocal8Bit(p.path), args, display, 20000);
}

} // namespace

TEST(ProgramsCommandLine, EveryProgramAnswersVersionAndHelp) {
    for (const Program& p : kPrograms) {
        const QString name = QLatin1String(p.name);
        for (const char* v : {"--version", "-v"}) {
            const Result r = run(p, {QLatin1String(v)});
            EXPECT_EQ(r.status, 0) << p.name;
            EXPECT_TRUE(r.out.startsWith(name + QLatin1Char(' '))) << r.out.toStdString();
            EXPECT_TRUE(r.out.trimmed().section(QLatin1Char(' '), 1).contains(QLatin1Char('.')))
                << r.out.toStdString();
        }
        for (const char* h : {"--help", "-h"}) {
            const Result r = run(p, {QLatin1String(h)});
            EXPECT_EQ(r.status, 0) << p.name;
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: %1 [options]").arg(name)))
                << r.out.toStdString();
            for (const char* o : {"--export-png", "--export-pdf", "--version"})
                EXPECT_TRUE(r.out.contains(QLatin1String(o))) << p.name << " " << o;
            EXPECT_EQ(r.out.contains(QStringLiteral("--page N")), p.document) << p.name;
        }
    }
}

TEST(ProgramsCommandLine, BadOptionsGiveOneFormatAndStatusTwo) {
    for (const Program& p : kPrograms) {
        const QString name = QLatin1String(p.name);
        for (const QStringList& args :
             {QStringList{"--bogus"}, QStringList{"--export-png"}, QStringList{"stray"}}) {
            const Result r = run(p, args);
            EXPECT_EQ(r.status, 2) << p.name << " " << args.join(' ').toStdString();
            const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
            EXPECT_TRUE(lines[0].startsWith(name + QStringLiteral(": "))) << lines[0].toStdString();
            EXPECT_EQ(lines[1], QStringLiteral("Try '%1 --help' for more information.").arg(name));
            EXPECT_TRUE(r.out.isEmpty());
        }
        EXPECT_TRUE(run(p, {"--bogus"}).err.startsWith(name + QStringLiteral(": unknown option: --bogus")));
    }
}

TEST(ProgramsCommandLine, PageOutOfRangeIsAUsageError) {
    for (const Program& p : kPrograms) {
        if (!p.document)
            continue;
        for (const QString& bad :
             {QStringLiteral("0"), QStringLiteral("two"), QString::number(p.pages + 1)}) {
            const Result r = run(p, {QStringLiteral("--page"), bad});
            EXPECT_EQ(r.status, 2) << p.name << " --page " << bad.toStdString();
            EXPECT_TRUE(r.err.contains(QStringLiteral("--page"))) << r.err.toStdString();
        }
    }
}

TEST(ProgramsCommandLine, WithoutADisplayTheWindowModeEndsAtOnceAndNamesTheHeadlessOptions) {
    for (const Program& p : kPrograms) {
        const Result r = run(p, {}, Display::None);
        EXPECT_EQ(r.status, 1) << p.name;
        EXPECT_LT(r.ms, 5000) << p.name;
        EXPECT_TRUE(r.err.startsWith(QLatin1String(p.name) + QStringLiteral(": no display")))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("--export-pdf")));
        EXPECT_TRUE(r.err.contains(QStringLiteral("--export-png")));
    }
    // The headless modes keep working without a display.
    EXPECT_EQ(run(kPrograms[0], {"--table"}, Display::None).status, 0);
    EXPECT_EQ(run(kPrograms[2], {"--table"}, Display::None).status, 0);
    EXPECT_EQ(run(kPrograms[5], {"--table"}, Display::None).status, 0);
}

TEST(ProgramsCommandLine, EachLiveProgramListsItsOwnOptions) {
    const struct {
        int program;
        std::vector<const char*> options;
    } kLive[] = {
        {0, {"--table", "--speed F", "--paused", "--export-data DIR", "--force"}},
        {2, {"--table", "--speed F", "--paused", "--l L", "--export-data DIR", "--force"}},
    };
    for (const auto& live : kLive) {
        const Program& p = kPrograms[live.program];
        const Result r = run(p, {"--help"});
        for (const char* o : live.options)
            EXPECT_TRUE(r.out.contains(QLatin1String(o))) << p.name << " " << o;
    }
    // The documents without a live page have none of them.
    for (int k : {1, 3, 4}) {
        const Result r = run(kPrograms[k], {"--help"});
        EXPECT_FALSE(r.out.contains(QStringLiteral("--table"))) << kPrograms[k].name;
    }
}

TEST(ProgramsCommandLine, TesseraPrintsEveryPeriodWithinItsBoundsAndExportsItsData) {
    const Result r = run(kPrograms[0], {"--table"}, Display::None);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    int rows = 0;
    for (const QString& line : r.out.split(QLatin1Char('\n'))) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        bool whole = false;
        if (f.size() == 6 && (f[0].toInt(&whole), whole) && f[0].toInt() == rows) {
            EXPECT_LE(std::abs(f[4].toDouble()), 1e-10) << line.toStdString();
            EXPECT_LE(f[5].toDouble(), 4e-3) << line.toStdString();
            ++rows;
        }
    }
    EXPECT_EQ(rows, 11) << r.out.toStdString();
    EXPECT_EQ(r.out.count(QStringLiteral(": within")), 2);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("data"));
    ASSERT_EQ(run(kPrograms[0], {"--export-data", out}, Display::None).status, 0);
    for (const char* f : {"parameters.csv", "summary.csv", "densities.csv"})
        EXPECT_TRUE(QFileInfo::exists(out + QLatin1Char('/') + QLatin1String(f))) << f;
    // Files already there are refused, and kept, unless --force.
    const Result again = run(kPrograms[0], {"--export-data", out}, Display::None);
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.startsWith(QStringLiteral("tessera: "))) << again.err.toStdString();
    EXPECT_EQ(run(kPrograms[0], {"--export-data", out, "--force"}, Display::None).status, 0);
    EXPECT_EQ(run(kPrograms[0], {"--table", "--page", "2"}).status, 2);
    EXPECT_EQ(run(kPrograms[0], {"--speed", "-1"}).status, 2);
}
