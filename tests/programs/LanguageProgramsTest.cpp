// SPDX-License-Identifier: GPL-3.0-or-later
// What the six programs write to the terminal follows the locale's messages category
// (LC_ALL, then LC_MESSAGES, then LANG): Japanese for a Japanese locale, English for any
// other, never a mix. The window's words do not follow it (sorrel's exported window
// shows them): Japanese unless COURSE_WINDOW_LANGUAGE=en.

#include <ProgramRun.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Program {
    const char* name;
    const char* path;
};

const Program kPrograms[] = {
    {"tessera", TESSERA_BINARY}, {"quillet", QUILLET_BINARY}, {"brindle", BRINDLE_BINARY},
    {"oriel", ORIEL_BINARY},     {"calyx", CALYX_BINARY},     {"sorrel", SORREL_BINARY},
};

using course::test::Display;
using course::test::EnvironmentChanges;
using Result = course::test::ProgramRun;

// Only the variable given decides: the others are removed.
const EnvironmentChanges kJapanese{"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LANG=ja_JP.UTF-8"};
const EnvironmentChanges kEnglish{"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LANG=C.UTF-8"};

Result run(const Program& p, const QStringList& args, const EnvironmentChanges& env,
           Display display = Display::Offscreen) {
    return course::test::runProgramWith(QString::fromLocal8Bit(p.path), args, env, display, 60000);
}

// Kana, kanji and the full-width forms: none of them may appear in English output.
bool hasJapanese(const QString& text) {
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(japanese);
}

} // namespace

TEST(ProgramsLanguage, HelpFollowsTheLocale) {
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        const QString name = QLatin1String(p.name);
        const Result ja = run(p, {"--help"}, kJapanese);
        EXPECT_EQ(ja.status, 0);
        // help2man finds the synopsis and the options by these two headings.
        EXPECT_TRUE(ja.out.startsWith(QStringLiteral("使用法: %1 [オプション]\n").arg(name))) << ja.out.toStdString();
        EXPECT_TRUE(ja.out.contains(QStringLiteral("\nオプション:\n")));
        EXPECT_TRUE(ja.out.contains(QStringLiteral("この説明を表示して終了する")));
        EXPECT_TRUE(ja.out.contains(QStringLiteral("--export-png")));
        for (const char* english : {"Usage:", "Options:", "show this help", "and exit", "Exit status"})
            EXPECT_FALSE(ja.out.contains(QLatin1String(english))) << english;

        const Result en = run(p, {"--help"}, kEnglish);
        EXPECT_EQ(en.status, 0);
        EXPECT_TRUE(en.out.startsWith(QStringLiteral("Usage: %1 [options]\n").arg(name)));
        EXPECT_TRUE(en.out.contains(QStringLiteral("show this help and exit")));
        EXPECT_FALSE(hasJapanese(en.out)) << en.out.toStdString();
        EXPECT_TRUE(en.err.isEmpty());

        // The version is the same text in both.
        EXPECT_EQ(run(p, {"--version"}, kJapanese).out, run(p, {"--version"}, kEnglish).out);
    }
}

TEST(ProgramsLanguage, UsageErrorsFollowTheLocale) {
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        const QString name = QLatin1String(p.name);
        const Result ja = run(p, {"--bogus"}, kJapanese);
        EXPECT_EQ(ja.status, 2);
        EXPECT_EQ(ja.err, QStringLiteral("%1: 知らないオプションです: --bogus\n詳しくは '%1 --help' を実行してください。\n")
                              .arg(name));
        EXPECT_TRUE(ja.out.isEmpty());

        const Result en = run(p, {"--bogus"}, kEnglish);
        EXPECT_EQ(en.status, 2);
        EXPECT_EQ(en.err,
                  QStringLiteral("%1: unknown option: --bogus\nTry '%1 --help' for more information.\n").arg(name));

        // A value missing at the end of the line, and a value given to a flag: the
        // command-line parser's own errors, worded by the programs in both languages.
        const Result missing = run(p, {"--export-png"}, kJapanese);
        EXPECT_EQ(missing.status, 2);
        EXPECT_TRUE(missing.err.startsWith(QStringLiteral("%1: '--export-png' の後に値がありません\n").arg(name)))
            << missing.err.toStdString();
        const Result value = run(p, {"--force=yes"}, kEnglish);
        EXPECT_EQ(value.status, 2);
        EXPECT_TRUE(value.err.startsWith(QStringLiteral("%1: unexpected value after '--force'\n").arg(name)))
            << value.err.toStdString();
        EXPECT_FALSE(hasJapanese(value.err + missing.out + en.err + en.out));
    }
}

// LC_ALL wins over LC_MESSAGES, which wins over LANG; empty counts as unset.
TEST(ProgramsLanguage, TheMessagesCategoryDecides) {
    const Program& p = kPrograms[0];
    struct Case {
        EnvironmentChanges env;
        bool japanese;
    };
    const Case cases[] = {
        {{"LC_ALL=ja_JP.UTF-8", "LC_MESSAGES=C.UTF-8", "LANG=C.UTF-8"}, true},
        {{"LC_ALL=C", "LC_MESSAGES=ja_JP.UTF-8", "LANG=ja_JP.UTF-8"}, false},
        {{"LC_ALL", "LC_MESSAGES=ja_JP.UTF-8", "LANG=C.UTF-8"}, true},
        {{"LC_ALL=", "LC_MESSAGES=POSIX", "LANG=ja_JP.UTF-8"}, false},
        {{"LC_ALL", "LC_MESSAGES", "LANG=ja_JP.eucJP"}, true},
        {{"LC_ALL", "LC_MESSAGES", "LANG"}, false},
        {{"LC_ALL=de_DE.UTF-8"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.env.join(u' ').toStdString());
        const Result r = run(p, {"--bogus"}, c.env);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(hasJapanese(r.err), c.japanese) << r.err.toStdString();
    }
}

// Window mode without a display: the program says so in the terminal's language.
TEST(ProgramsLanguage, NoDisplayMessageFollowsTheLocale) {
    for (const Program& p : {kPrograms[2], kPrograms[5]}) {
        SCOPED_TRACE(p.name);
        const Result ja = run(p, {}, kJapanese, Display::None);
        EXPECT_EQ(ja.status, 1);
        EXPECT_TRUE(ja.err.contains(QStringLiteral("ウィンドウを開くディスプレイがありません"))) << ja.err.toStdString();
        EXPECT_TRUE(ja.err.contains(QStringLiteral("--table")));
        const Result en = run(p, {}, kEnglish, Display::None);
        EXPECT_EQ(en.status, 1);
        EXPECT_TRUE(en.err.contains(QStringLiteral("no display to open the window on"))) << en.err.toStdString();
        EXPECT_FALSE(hasJapanese(en.err));
    }
}

// A file that cannot be written: the program's words and the system's reason are both
// in the terminal's language.
TEST(ProgramsLanguage, WriteFailuresFollowTheLocale) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString below = dir.filePath(QStringLiteral("missing/out"));
    const Program& p = kPrograms[2]; // brindle
    const Result ja = run(p, {"--export-data", below}, kJapanese);
    EXPECT_EQ(ja.status, 1);
    EXPECT_EQ(ja.err, QStringLiteral("brindle: フォルダー %1 を作れません: %2 がありません\n")
                          .arg(below, dir.filePath(QStringLiteral("missing"))));
    const Result en = run(p, {"--export-data", below}, kEnglish);
    EXPECT_EQ(en.status, 1);
    EXPECT_TRUE(en.err.startsWith(QStringLiteral("brindle: cannot create the folder "))) << en.err.toStdString();

    const Result full = run(p, {"--export-data", dir.filePath(QStringLiteral("full"))},
                            kJapanese + EnvironmentChanges{"COURSE_TEST_WRITE_FAULT=*"});
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains(QStringLiteral("を書けません: デバイスに空き領域がありません"))) << full.err.toStdString();
    EXPECT_FALSE(full.err.contains(QStringLiteral("No space")));
}

// sorrel's exported window carries the window's own words: Japanese under an English
// locale, English only when asked for, whatever the locale.
TEST(ProgramsLanguage, TheWindowKeepsItsOwnLanguage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Program& sorrel = kPrograms[5];
    const QString ja = dir.filePath(QStringLiteral("ja.pdf")), en = dir.filePath(QStringLiteral("en.pdf"));
    ASSERT_EQ(run(sorrel, {"--export-pdf", ja}, kEnglish).status, 0);
    ASSERT_EQ(run(sorrel, {"--export-pdf", en}, kJapanese + EnvironmentChanges{"COURSE_WINDOW_LANGUAGE=en"}).status,
              0);
    const std::optional<QString> jaText = course::test::pdfText(ja), enText = course::test::pdfText(en);
    if (!jaText || !enText)
        GTEST_SKIP() << "pdftotext is not installed or cannot read the file";
    EXPECT_TRUE(jaText->contains(QStringLiteral("このソフトのソースファイルを入手する"))) << jaText->toStdString();
    EXPECT_FALSE(jaText->contains(QStringLiteral("Get the source files")));
    // (The PDF's text has the "fi" ligature of the body font as a glyph without text.)
    EXPECT_TRUE(enText->contains(QStringLiteral("Get the source"))) << enText->toStdString();
    EXPECT_TRUE(enText->contains(QStringLiteral("of this software")));
    EXPECT_FALSE(enText->contains(QStringLiteral("このソフトのソースファイル")));
    // What the window draws as its report stays as it is.
    EXPECT_TRUE(enText->contains(QStringLiteral("全エネルギー")));
}
