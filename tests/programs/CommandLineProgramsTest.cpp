// SPDX-License-Identifier: GPL-3.0-or-later
// All six programs, run as separate processes: --version and -h, the one usage-error
// format with status 2, --page in the documents, and window mode without a display.

#include <ProgramRun.h>

#include <gtest/gtest.h>

namespace {

struct Program {
    const char* name;
    const char* path;
    bool document;
    int pages;
};

const Program kPrograms[] = {
    {"tessera", TESSERA_BINARY, true, 3}, {"quillet", QUILLET_BINARY, true, 4},
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
    EXPECT_EQ(run(kPrograms[2], {"--table"}, Display::None).status, 0);
    EXPECT_EQ(run(kPrograms[5], {"--table"}, Display::None).status, 0);
}
