// SPDX-License-Identifier: GPL-3.0-or-later
// The window's own words (its labels, key overview, messages and accessible names) come
// from the window's catalog: Japanese whatever the locale (the tests run under
// C.UTF-8), English when the English catalog is installed.

#include "WindowFixture.h"

#include <engine/shell/KeyOverlay.h>
#include <engine/shell/PageTools.h>
#include <engine/system/Language.h>
#include <engine/textruns/PageText.h>

#include "quillet/QuilletDocument.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

using course::Language;

struct WindowWords : course::testing::WindowFixture<course::Document> {
    void openQuillet() {
        auto d = quillet::makeDocument();
        d->env().soundSink = [](course::Sound) {};
        open(std::move(d));
    }
    void TearDown() override {
        WindowFixture::TearDown();
        course::installWindowLanguage(Language::Japanese);
    }
    // The key overview as "keys: meaning" lines.
    QStringList overview() const {
        QStringList rows;
        for (const course::KeyRow& r : w->commands().overview())
            rows << r.keys + QStringLiteral(": ") + r.meaning;
        return rows;
    }
    // What Ctrl + C says in the window.
    QString copyMessage() {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
        QCoreApplication::sendEvent(w->pageView(doc->CurPic), &e);
        return w->statusMessage();
    }
};

} // namespace

TEST_F(WindowWords, JapaneseUnderAnEnglishLocale) {
    ASSERT_EQ(course::terminalLanguage(), Language::English) << "the tests run under C.UTF-8";
    openQuillet();
    // The print label draws its caption on its surface, as the screen shows it.
    EXPECT_EQ(course::pageText(w->printLabel()->surface()), QStringLiteral("印刷"));
    const QString rows = overview().join(u'\n');
    for (const char* line : {"Esc: 終了", "↓ / Enter / Space: 次のページ", "Home: 最初のページ", "?: このキー一覧",
                             "Ctrl + C: ページの文字をコピー", "F11: 全画面表示の切り替え"})
        EXPECT_TRUE(rows.contains(QString::fromUtf8(line))) << line << "\n" << rows.toStdString();
    EXPECT_FALSE(rows.contains(QStringLiteral("page"))) << rows.toStdString();
    EXPECT_EQ(course::KeyOverlay::title(), QStringLiteral("キー操作"));
    EXPECT_EQ(w->backLabel()->accessibleName(), QStringLiteral("前のページ"));
    EXPECT_EQ(w->pageView(1)->accessibleName(), QStringLiteral("ページ 2 / 4"));
    const int characters = int(course::pageText(w->page(0)).size());
    EXPECT_EQ(copyMessage(), QStringLiteral("ページの文字をコピーしました（%1 文字）").arg(characters));
}

TEST_F(WindowWords, EnglishWhenAskedFor) {
    course::installWindowLanguage(Language::English);
    EXPECT_EQ(course::windowLanguage(), Language::English);
    openQuillet();
    EXPECT_EQ(course::pageText(w->printLabel()->surface()), QStringLiteral("Print"));
    const QString rows = overview().join(u'\n');
    for (const char* line : {"Esc: Quit", "↑ / Backspace: Previous page", "End: Last page", "?: This list of keys"})
        EXPECT_TRUE(rows.contains(QString::fromUtf8(line))) << line << "\n" << rows.toStdString();
    EXPECT_FALSE(rows.contains(QStringLiteral("ページ"))) << rows.toStdString();
    EXPECT_EQ(w->pageView(0)->accessibleName(), QStringLiteral("Page 1 of 4"));
    // The English catalog gives the plural.
    const int characters = int(course::pageText(w->page(0)).size());
    ASSERT_GT(characters, 1);
    EXPECT_EQ(copyMessage(), QStringLiteral("Copied the page's text (%1 characters)").arg(characters));
    // The page itself is the course's, in Japanese.
    EXPECT_TRUE(course::pageText(w->page(1)).contains(QStringLiteral("ヌメロフの公式")));
}
