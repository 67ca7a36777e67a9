// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of the sorrel program: parsing, exit statuses, the text table, and
// the PNG and PDF pictures of the finished window.

#include "Options.h"
#include <ProgramRun.h>
#include "SorrelWindow.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sorrel;

namespace {

ParsedOptions parse(std::initializer_list<const char*> args) {
    std::vector<std::string> v;
    for (const char* a : args)
        v.emplace_back(a);
    return parseOptions(v);
}

using Result = course::test::ProgramRun;

// The program must choose the offscreen platform itself.
Result runSorrel(const QStringList& args) {
    return course::test::runProgram(QStringLiteral(SORREL_EXECUTABLE), args, course::test::Display::None);
}

} // namespace

TEST(SorrelOptions, DefaultsAndAcceptedForms) {
    ParsedOptions p = parse({});
    ASSERT_TRUE(p.ok());
    EXPECT_FALSE(p.options.table);
    EXPECT_FALSE(p.options.exporting());
    EXPECT_EQ(p.options.run.speed, std::nullopt);

    p = parse({"--speed", "1/2", "--export-png", "a.png", "--scale=2", "--export-pdf=b.pdf"});
    ASSERT_TRUE(p.ok()) << p.error;
    EXPECT_EQ(p.options.run.speed, 0.5);
    EXPECT_EQ(p.options.exportPng, "a.png");
    EXPECT_EQ(p.options.exportPdf, "b.pdf");
    EXPECT_EQ(p.options.scale, 2);

    p = parse({"--table", "--speed=0.25"});
    ASSERT_TRUE(p.ok()) << p.error;
    EXPECT_TRUE(p.options.table);
    EXPECT_EQ(p.options.run.speed, 0.25);

    // Help wins over everything else on the line.
    p = parse({"--bogus", "-h"});
    ASSERT_TRUE(p.ok());
    EXPECT_TRUE(p.options.help);
}

TEST(SorrelOptions, RejectsUnusableCommandLines) {
    for (auto args : std::vector<std::vector<std::string>>{
             {"--speed", "0"},
             {"--speed", "-1"},
             {"--speed", "abc"},
             {"--speed", "2x"},
             {"--speed", "2.5"},
             {"--speed", "32"},
             {"--speed", "1e-320"},
             {"--speed", "nan"},
             {"--speed", "inf"},
             {"--speed", "1e999"},
             {"--speed"},
             {"--speed", "--table"},
             {"--speed="},
             {"--export-png"},
             {"--export-png="},
             {"--scale", "2"},
             {"--export-png", "a.png", "--scale", "5"},
             {"--export-png", "a.png", "--scale", "0"},
             {"--table", "--export-pdf", "a.pdf"},
             {"--table=yes"},
             {"--bogus"},
             {"-x"},
             {"extra"},
         }) {
        const ParsedOptions p = parseOptions(args);
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        EXPECT_FALSE(p.ok()) << line;
    }
    EXPECT_NE(parse({"--speed", "0"}).error.find("--speed"), std::string::npos);
    EXPECT_NE(parse({"--frobnicate"}).error.find("--frobnicate"), std::string::npos);
}

TEST(SorrelProgram, BadCommandLinesExitWithStatusTwoAndSaySo) {
    for (const QStringList& args : {QStringList{"--speed", "0"}, QStringList{"--speed", "-3"},
                                    QStringList{"--speed", "fast"}, QStringList{"--what"}}) {
        const Result r = runSorrel(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(args[0])) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const Result help = runSorrel({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* o : {"--table", "--speed", "--export-png", "--export-pdf", "--scale"})
        EXPECT_TRUE(help.out.contains(QLatin1String(o))) << o;
}

TEST(SorrelProgram, TablePrintsTheWholeRunWithoutADisplay) {
    const Result r = runSorrel({"--table"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 17 + 8 + 5);
    EXPECT_TRUE(r.out.contains(QStringLiteral("全エネルギー E_total = -2.8617")));
}

TEST(SorrelProgram, ExportsTheFinishedWindowAsPngAndPdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("sorrel.png"));
    const QString png2 = dir.filePath(QStringLiteral("sorrel@2x.png"));
    const QString pdf = dir.filePath(QStringLiteral("sorrel.pdf"));
    Result r = runSorrel({"--export-png", png, "--export-pdf", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = runSorrel({"--export-png", png2, "--scale", "2"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    const QImage one(png), two(png2);
    ASSERT_EQ(one.size(), QSize(805, 734));
    ASSERT_EQ(two.size(), QSize(1610, 1468));
    // The download label is shown (white), the window around it is light grey.
    const QRect label(487, 16, 304, 23);
    EXPECT_EQ(one.pixelColor(label.right() - 2, label.bottom() - 2), QColor(255, 255, 255));
    EXPECT_EQ(one.pixelColor(2, 725), QColor(240, 240, 240));
    EXPECT_EQ(two.pixelColor(2 * label.right() - 4, 2 * label.bottom() - 4), QColor(255, 255, 255));
    // Some red of the last cycle's curve (palette entry 8) on the lower plot.
    int red = 0;
    for (int y = 320; y < 727; ++y)
        for (int x = 308; x < 800; ++x)
            red += one.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 100);

    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    const std::optional<QString> read = course::test::pdfText(pdf);
    if (!read)
        GTEST_SKIP() << "pdftotext is not installed or cannot read the file";
    const QString& text = *read;
    EXPECT_TRUE(text.contains(QStringLiteral("全エネルギー"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("電子間クーロン")));
    EXPECT_TRUE(text.contains(QStringLiteral("-2.8617")));
    EXPECT_TRUE(text.contains(kProgramTitle));
    EXPECT_TRUE(text.contains(QStringLiteral("このソフトのソースファイルを入手する")));
    EXPECT_TRUE(text.contains(QStringLiteral("初期波動関数")));
}

TEST(SorrelProgram, UnwritableExportPathFailsClearly) {
    for (const char* option : {"--export-png", "--export-pdf"}) {
        const Result r = runSorrel({QLatin1String(option), QStringLiteral("/nonexistent-dir/x/out.file")});
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_TRUE(r.err.contains(QStringLiteral("/nonexistent-dir/x/out.file"))) << r.err.toStdString();
    }
}
