// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line module: options with and without values, the one error format,
// help and version, Qt's own options handed on, checks over the whole line.

#include <engine/shell/CommandLine.h>

#include <gtest/gtest.h>

using namespace course;

namespace {

struct Line {
    double speed = 1;
    bool table = false;
    CommandLine line{QStringLiteral("prog"), QStringLiteral("A test program.")};
    Line() {
        line.add({QStringLiteral("--table"), QString(), QStringLiteral("print a table"),
                  [this](const QString&) {
                      table = true;
                      return Outcome::success();
                  },
                  true});
        line.add({QStringLiteral("--speed"), QStringLiteral("F"), QStringLiteral("pace\nsecond line"),
                  [this](const QString& v) {
                      bool ok = false;
                      speed = v.toDouble(&ok);
                      return Outcome::failureIf(!ok || speed <= 0,
                                                QStringLiteral("--speed: '%1' is no pace").arg(v));
                  }});
        line.addCheck(
            [this] { return Outcome::failureIf(table && speed > 10, QStringLiteral("too fast for a table")); });
    }
    std::optional<int> parse(QStringList args) { return line.parse(args); }
};

} // namespace

TEST(CommandLine, AcceptsValuesInBothFormsAndQtsOwnOptions) {
    Line l;
    EXPECT_EQ(l.parse({}), std::nullopt);
    EXPECT_EQ(l.parse({"--speed", "2.5", "--table"}), std::nullopt);
    EXPECT_EQ(l.speed, 2.5);
    EXPECT_TRUE(l.table);
    EXPECT_EQ(l.parse({"--speed=4"}), std::nullopt);
    EXPECT_EQ(l.speed, 4);
    // Qt's options are left to the application object.
    EXPECT_EQ(l.parse({"-platform", "offscreen", "-style", "fusion", "-reverse"}), std::nullopt);
    EXPECT_EQ(l.parse({"--platform=offscreen"}), std::nullopt);
}

TEST(CommandLine, UsageErrorsHaveOneFormatAndStatusTwo) {
    struct Case {
        QStringList args;
        QString error;
    };
    for (const Case& c : std::vector<Case>{
             {{"--bogus"}, "prog: unknown option: --bogus"},
             {{"--bogus=3"}, "prog: unknown option: --bogus"},
             {{"-x"}, "prog: unknown option: -x"},
             {{"--speed"}, "prog: missing value after '--speed'"},
             {{"--table=yes"}, "prog: unexpected value after '--table'"},
             {{"--speed", "0"}, "prog: --speed: '0' is no pace"},
             {{"--speed="}, "prog: --speed: '' is no pace"},
             {{"extra"}, "prog: unexpected argument: extra"},
             {{"--table", "--speed", "20"}, "prog: too fast for a table"},
         }) {
        Line l;
        EXPECT_EQ(l.parse(c.args), kUsageExitStatus) << c.args.join(' ').toStdString();
        EXPECT_EQ(l.line.error(), c.error) << c.args.join(' ').toStdString();
    }
}

TEST(CommandLine, AFailureWithoutWordsStillNamesTheOption) {
    CommandLine line{QStringLiteral("prog"), QStringLiteral("A test program.")};
    line.add({QStringLiteral("--mode"), QStringLiteral("M"), QStringLiteral("a mode"),
              [](const QString&) { return Outcome::failure({}); }});
    EXPECT_EQ(line.parse({"--mode", "x"}), kUsageExitStatus);
    EXPECT_EQ(line.error(), QStringLiteral("prog: --mode: 'x' cannot be used"));
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    Line l;
    EXPECT_EQ(l.parse({"--bogus", "-h"}), 0);
    EXPECT_EQ(l.parse({"--speed", "0", "--version"}), 0);
    EXPECT_EQ(l.parse({"-v"}), 0);
    EXPECT_TRUE(l.line.error().isEmpty());

    const QString help = l.line.helpText();
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: prog [options]\nA test program.\n")));
    for (const char* o : {"-h, --help", "-v, --version", "--table", "--speed F"})
        EXPECT_TRUE(help.contains(QLatin1String(o))) << o;
    // A help of two lines keeps its second line in the help column.
    const int first = help.indexOf(QStringLiteral("pace"));
    const int second = help.indexOf(QStringLiteral("second line"));
    ASSERT_GT(second, first);
    const int lineStart = help.lastIndexOf(QLatin1Char('\n'), first) + 1;
    const int secondStart = help.lastIndexOf(QLatin1Char('\n'), second) + 1;
    EXPECT_EQ(first - lineStart, second - secondStart);

    EXPECT_EQ(l.line.versionText(), QStringLiteral("prog %1\n").arg(suiteVersion()));
    EXPECT_TRUE(suiteVersion().contains(QLatin1Char('.')));
}

TEST(CommandLine, NoDisplayMessageNamesTheHeadlessOptions) {
    Line l;
    const QString m = l.line.noDisplayMessage();
    EXPECT_TRUE(m.startsWith(QStringLiteral("prog: no display"))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("--table")));
    EXPECT_FALSE(m.contains(QStringLiteral("--speed")));
}
