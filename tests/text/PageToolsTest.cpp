// SPDX-License-Identifier: GPL-3.0-or-later
// Copying the page, screen readers and the key overview, through the keys a reader
// presses in a document window and in sorrel's window.

#include "PageWalk.h"
#include "TestOutput.h"
#include "WindowFixture.h"
#include "TestFonts.h"

#include <engine/shell/PageAccessible.h>
#include <engine/shell/PageExport.h>
#include <engine/shell/PageTools.h>
#include <engine/textruns/FontTable.h>
#include <engine/textruns/PageText.h>
#include <engine/system/Environment.h>

#include "sorrel/SorrelWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;

namespace {

void press(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(target, &e);
}

void click(QWidget* target) {
    const QPointF at(5, 5);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, at, target->mapToGlobal(at), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
}

struct Quillet : course::testing::WindowFixture<course::Document> {
    void SetUp() override {
        auto d = quillet::makeDocument();
        d->env().soundSink = [](Sound) {};
        open(std::move(d));
        QGuiApplication::clipboard()->clear();
    }
    QWidget* page() { return w->pageView(doc->CurPic); }
    PageTools* tools() { return PageTools::of(w.get()); }
};

} // namespace

TEST_F(Quillet, CtrlCCopiesThePageTextAndSaysSo) {
    w->ShowThisPic(1);
    press(page(), Qt::Key_C, Qt::ControlModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied, pageText(w->page(1)));
    EXPECT_TRUE(copied.contains(QStringLiteral("ヌメロフの公式")));
    EXPECT_TRUE(w->statusMessage().contains(QStringLiteral("ページの文字をコピーしました")))
        << w->statusMessage().toStdString();
    EXPECT_EQ(visiblePage(), 1) << "the copy does not move the page";
}

TEST_F(Quillet, CtrlShiftCCopiesThePageAsTheDoubleSizeExport) {
    w->ShowThisPic(2);
    press(page(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/png")));
    QImage png;
    ASSERT_TRUE(png.loadFromData(data->data(QStringLiteral("image/png")), "PNG"));
    const QImage expected = renderSurface(w->page(2), w->visiblePageSize(), 2.0);
    EXPECT_EQ(png.size(), w->visiblePageSize() * 2);
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), png.size());
    EXPECT_TRUE(w->statusMessage().contains(QStringLiteral("画像としてコピーしました")));
}

TEST_F(Quillet, QuestionMarkShowsTheKeysAndTheClosingKeyDoesNothingElse) {
    KeyOverlay* overlay = tools()->overlay();
    press(page(), Qt::Key_Question, Qt::ShiftModifier, QStringLiteral("?"));
    ASSERT_TRUE(overlay->isOpen());
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(overlay);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->text(QAccessible::Name), QStringLiteral("キー操作"));
    ASSERT_NE(read->textInterface(), nullptr);
    EXPECT_TRUE(
        read->textInterface()->text(0, -1).contains(QStringLiteral("Ctrl + C: ページの文字をコピー")));
    QStringList keys;
    for (const KeyRow& r : overlay->rows())
        keys << r.keys;
    for (const char* k : {"Esc", "↑ / Backspace", "↓ / Enter / Space", "Home", "End", "Ctrl + C",
                          "Ctrl + Shift + C", "?", "F11"})
        EXPECT_TRUE(keys.contains(QString::fromUtf8(k))) << k;
    // Down closes the overview without turning the page; Escape without ending.
    press(page(), Qt::Key_Down);
    EXPECT_FALSE(overlay->isOpen());
    EXPECT_EQ(visiblePage(), 0);
    press(page(), Qt::Key_Slash, Qt::ShiftModifier, QStringLiteral("?"));
    ASSERT_TRUE(overlay->isOpen());
    press(page(), Qt::Key_Shift, Qt::ShiftModifier); // a modifier alone keeps it open
    EXPECT_TRUE(overlay->isOpen());
    press(page(), Qt::Key_Escape);
    EXPECT_FALSE(overlay->isOpen());
    EXPECT_EQ(ends, 0);
    // Ctrl+C while it is open only closes it.
    press(page(), Qt::Key_Question, Qt::ShiftModifier, QStringLiteral("?"));
    press(page(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(overlay->isOpen());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    // A click closes it and reaches nothing beneath.
    press(page(), Qt::Key_Question, Qt::ShiftModifier, QStringLiteral("?"));
    click(overlay);
    EXPECT_FALSE(overlay->isOpen());
    // The keys work again once it is closed.
    press(page(), Qt::Key_Down);
    EXPECT_EQ(visiblePage(), 1);
}

TEST_F(Quillet, TheOpenOverviewFollowsTheWindowsSize) {
    KeyOverlay* overlay = tools()->overlay();
    QWidget* window = overlay->parentWidget();
    ASSERT_NE(window, nullptr);
    window->show();
    press(page(), Qt::Key_Question, Qt::ShiftModifier, QStringLiteral("?"));
    ASSERT_TRUE(overlay->isOpen());
    const QSize before = window->size();
    window->resize(before + QSize(240, 160));
    QCoreApplication::processEvents();
    ASSERT_NE(window->size(), before);
    EXPECT_EQ(overlay->geometry(), window->rect());
    EXPECT_EQ(overlay->layout().panel.center(), window->rect().center());
}

TEST_F(Quillet, TheOverviewFitsEveryRowInItsPanel) {
    KeyOverlay* overlay = tools()->overlay();
    overlay->open();
    const KeyOverlay::Layout L = overlay->layout();
    EXPECT_TRUE(overlay->rect().contains(L.panel)) << "the panel fits the window";
    const QFont font =
        testFonts().font(QStringLiteral("メイリオ"), 10.5, false, false, overlay->logicalDpiY());
    const QFontMetrics fm(font, overlay);
    for (std::size_t i = 0; i < overlay->rows().size(); ++i) {
        for (const auto& [rect, text] : {std::pair{L.keys[i], overlay->rows()[i].keys},
                                         std::pair{L.meanings[i], overlay->rows()[i].meaning}}) {
            EXPECT_TRUE(L.panel.contains(rect));
            const QRect ink = fm.boundingRect(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
            EXPECT_LE(ink.width(), rect.width()) << text.toStdString();
            EXPECT_LE(ink.height(), rect.height()) << text.toStdString();
        }
        if (i > 0) {
            EXPECT_GE(L.keys[i].top(), L.keys[i - 1].bottom()) << "rows do not overlap";
        }
    }
    QImage img(w->size(), QImage::Format_RGB32);
    w->render(&img);
    img.save(course::testing::outputDir() + QStringLiteral("/key-overlay.png"));
    // On a real X server (QT_QPA_PLATFORM=xcb under Xvfb) also as the screen shows it.
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        w->show();
        overlay->open();
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        w->screen()->grabWindow(0).save(course::testing::outputDir() +
                                        QStringLiteral("/key-overlay-screen.png"));
    }
    overlay->close();
}

TEST_F(Quillet, ScreenReadersReadThePageAndTheLabelsByName) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w->pageView(0));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Document);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("ページ 1 / 4"));
    EXPECT_FALSE(iface->text(QAccessible::Description).isEmpty());
    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    const QString page = pageText(w->page(0));
    EXPECT_EQ(text->characterCount(), page.size());
    EXPECT_EQ(text->text(0, text->characterCount()), page);
    int start = 0, end = 0;
    EXPECT_EQ(text->textAtOffset(0, QAccessible::LineBoundary, &start, &end),
              page.section(u'\n', 0, 0) + u'\n');
    // The first character sits where it was drawn.
    const QRect r = text->characterRect(0);
    EXPECT_FALSE(r.isEmpty());
    EXPECT_EQ(text->offsetAtPoint(r.center()), 0);

    for (auto [label, name] : {std::pair{w->printLabel(), "印刷"}, std::pair{w->backLabel(), "前のページ"},
                               std::pair{w->goLabel(), "次のページ"}}) {
        QAccessibleInterface* l = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->text(QAccessible::Name), QString::fromUtf8(name));
    }
}

TEST_F(Quillet, ScreenReadersAreToldTheNewTextWhenThePageChanges) {
    std::vector<std::pair<QObject*, QString>> updates;
    struct Reset {
        PageTools* tools;
        ~Reset() { tools->setAnnouncementSink({}); }
    } reset{tools()};
    // The offscreen platform has no accessibility bridge: the events go to a sink.
    tools()->setAnnouncementSink([&updates](QAccessibleEvent* e) {
        if (e->type() == QAccessible::TextUpdated)
            updates.emplace_back(e->object(), static_cast<QAccessibleTextUpdateEvent*>(e)->textInserted());
    });
    tools()->announce();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].first, w->pageView(0));
    EXPECT_EQ(updates[0].second, pageText(w->page(0)));
    tools()->announce();
    EXPECT_EQ(updates.size(), 1u) << "told once";
    // Something drawn on the page shown (a live page) is told too.
    w->page(0).Print(QStringLiteral("追記"));
    tools()->announce();
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_TRUE(updates[1].second.endsWith(QStringLiteral("追記")));
    updates.clear();
    // Turning the page is noticed by the window's own check.
    w->Forward();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (updates.empty() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0].first, w->pageView(1));
    EXPECT_EQ(updates[0].second, pageText(w->page(1)));
}

namespace {

// Every key a keyboard gives, with the modifiers a reader holds: a key that gives a
// command of `table` (as it is now) must be listed with that command, and every key
// the overview names must give its command.
void expectOverviewMatchesDispatch(const CommandTable& table, const char* name) {
    const std::vector<KeyRow> rows = table.overview();
    auto listed = [&rows](const Command& c) {
        for (const KeyRow& r : rows)
            if (r.keys == c.keyText() && r.meaning == c.meaning)
                return true;
        return false;
    };
    std::vector<int> keys;
    for (int k = 0x20; k <= 0x7e; ++k)
        keys.push_back(k);
    for (int k = Qt::Key_Escape; k <= Qt::Key_F35; ++k)
        keys.push_back(k);
    const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier,
                                          Qt::ControlModifier | Qt::ShiftModifier, Qt::AltModifier,
                                          Qt::KeypadModifier};
    int acting = 0;
    for (int k : keys)
        for (Qt::KeyboardModifiers m : mods)
            if (const Command* c = table.match(k, m)) {
                ++acting;
                EXPECT_TRUE(listed(*c)) << name << ": key " << std::hex << k << " gives " << c->id.toStdString();
            }
    EXPECT_GT(acting, 10) << name;
    for (const Command& c : table.commands()) {
        if (!c.act || (c.enabled && !c.enabled()))
            continue;
        EXPECT_EQ(c.keys.empty() && !c.label, false) << name << ": " << c.id.toStdString() << " has no way in";
        for (const Keystroke& k : c.keys)
            EXPECT_EQ(table.match(k.key, k.modifiers), &c) << name << ": " << k.name().toStdString();
    }
}

QStringList keyColumn(const CommandTable& t) {
    QStringList keys;
    for (const KeyRow& r : t.overview())
        keys << r.keys;
    return keys;
}

} // namespace

TEST(DocumentKeys, TheOverviewListsEveryKeyThatActsAndEachKeySetItsOwn) {
    for (const auto& m : course::testing::documentMakers()) {
        auto doc = m.make();
        doc->env().soundSink = [](Sound) {};
        Form1 w(*doc, testFonts());
        w.Form_Load(false);
        const DocumentSettings& s = doc->settings();
        // The live page's keys act there only: checked on the first and the last page.
        for (int page : {0, s.pages - 1}) {
            doc->CurPic = page;
            expectOverviewMatchesDispatch(w.commands(), m.name);
        }
        const QStringList keys = keyColumn(w.commands());
        EXPECT_EQ(keys.contains(QStringLiteral("Home")), s.keys == KeySet::B) << m.name;
        EXPECT_EQ(keys.contains(QStringLiteral("↑ / ← / Backspace")), s.keys == KeySet::C) << m.name;
        EXPECT_EQ(keys.contains(QStringLiteral("F1 / PrintScreen")), s.printKeysPrintWindow) << m.name;
        EXPECT_EQ(keys.contains(QStringLiteral("P")), s.lastPageDrawnWhenShown) << m.name;
        EXPECT_EQ(keys.contains(QStringLiteral("0 … 3")), std::string(m.name) == "brindle") << m.name;
        EXPECT_TRUE(keys.contains(QStringLiteral("Ctrl + C"))) << m.name;
        EXPECT_EQ(keys.front(), QStringLiteral("Esc")) << m.name;
        // Ctrl + 0 is the zoom's, also where 0 alone chooses l.
        const Command* ctrl0 = w.commands().match(Qt::Key_0, Qt::ControlModifier);
        ASSERT_NE(ctrl0, nullptr);
        EXPECT_EQ(ctrl0->id, QStringLiteral("zoom-reset")) << m.name;
    }
}

TEST_F(Quillet, TheOverviewIsDrawnAtTheWindowsScale) {
    KeyOverlay* overlay = tools()->overlay();
    w->resize(800, 800);
    overlay->open();
    const QRect at100 = overlay->layout().panel;
    overlay->close();
    w->setScale(2.0);
    w->resize(1600, 1600);
    overlay->open();
    const QRect at200 = overlay->layout().panel;
    EXPECT_NEAR(double(at200.width()) / at100.width(), 2.0, 0.15);
    EXPECT_NEAR(double(at200.height()) / at100.height(), 2.0, 0.15);
}

namespace {

struct Sorrel : ::testing::Test {
    Environment env; // the window's sounds and end: silent, counted
    int ends = 0;
    std::unique_ptr<sorrel::SorrelWindow> w;
    void SetUp() override {
        env.soundSink = [](Sound) {};
        env.endHook = [this] { ++ends; };
        sorrel::SorrelWindow::Config config = sorrel::SorrelWindow::unpaced();
        config.environment = &env;
        w = std::make_unique<sorrel::SorrelWindow>(testFonts(), config);
        w->load();
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override { w.reset(); }
};

} // namespace

TEST_F(Sorrel, TheWindowCopiesAsTextAndPictureAndReadsAloud) {
    press(w->picBox()->view(), Qt::Key_C, Qt::ControlModifier);
    const QString text = QGuiApplication::clipboard()->text();
    QFile out(course::testing::outputDir() + QStringLiteral("/sorrel.txt"));
    if (out.open(QIODevice::WriteOnly))
        out.write(text.toUtf8());
    EXPECT_TRUE(text.startsWith(sorrel::kProgramTitle)) << text.toStdString();
    for (const char* piece : {"電子エネルギー", "ε_(1s)", "E_(total)", "初期波動関数", "rR_(1s)(r)"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(piece))) << piece << "\n" << text.toStdString();
    PageTools* tools = PageTools::of(w.get());
    ASSERT_NE(tools, nullptr);
    ASSERT_NE(tools->note(), nullptr);
    EXPECT_TRUE(tools->note()->text().contains(QStringLiteral("コピーしました")));

    press(w.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QImage png;
    ASSERT_TRUE(
        png.loadFromData(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/png")), "PNG"));
    EXPECT_EQ(png.size(), sorrel::SorrelWindow::designSize() * 2);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w.get());
    ASSERT_NE(iface, nullptr);
    ASSERT_NE(iface->textInterface(), nullptr);
    EXPECT_EQ(iface->textInterface()->text(0, -1), text);
    QAccessibleInterface* download = QAccessible::queryAccessibleInterface(w->getSourceFile());
    ASSERT_NE(download, nullptr);
    EXPECT_EQ(download->role(), QAccessible::Button);
    EXPECT_EQ(download->text(QAccessible::Name), sorrel::downloadCaption());
}

TEST_F(Sorrel, TheOverviewListsTheChargeKeysAndEscapeOnlyClosesIt) {
    press(w.get(), Qt::Key_Question, Qt::ShiftModifier, QStringLiteral("?"));
    KeyOverlay* overlay = PageTools::of(w.get())->overlay();
    ASSERT_TRUE(overlay->isOpen());
    QStringList keys;
    for (const KeyRow& r : overlay->rows())
        keys << r.keys;
    EXPECT_TRUE(keys.contains(QStringLiteral("1 … 9 / 0")));
    EXPECT_TRUE(keys.contains(QStringLiteral("P")));
    expectOverviewMatchesDispatch(w->commands(), "sorrel");
    press(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(overlay->isOpen());
    EXPECT_EQ(ends, 0);
    press(w.get(), Qt::Key_3);
    EXPECT_EQ(w->charge(), 3) << "closed: the keys act again";
}

TEST(PageAccessibleSources, EachWidgetAnswersFromItsOwnSourceForAsLongAsItLives) {
    auto pageOf = [](const QString& text) {
        return [text] {
            PageTextLayout L;
            L.text = text;
            return L;
        };
    };
    auto a = std::make_unique<QWidget>();
    QWidget b;
    PageAccessible::expose(a.get(), {QAccessible::Document, [] { return QStringLiteral("A"); }, {}, pageOf("a")});
    PageAccessible::expose(&b, {QAccessible::Document, [] { return QStringLiteral("B"); }, {}, pageOf("b")});
    EXPECT_EQ(PageAccessible::exposedText(a.get()), QStringLiteral("a"));
    EXPECT_EQ(PageAccessible::exposedText(&b), QStringLiteral("b"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&b)->text(QAccessible::Name), QStringLiteral("B"));

    // Exposing again replaces the source, and the interface answers from the new one.
    PageAccessible::expose(&b, {QAccessible::Document, [] { return QStringLiteral("B2"); }, {}, pageOf("b2")});
    EXPECT_EQ(PageAccessible::exposedText(&b), QStringLiteral("b2"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&b)->text(QAccessible::Name), QStringLiteral("B2"));

    // A widget made after another went (perhaps at its address) exposes nothing.
    a.reset();
    for (int i = 0; i < 8; ++i) {
        QWidget fresh;
        EXPECT_TRUE(PageAccessible::exposedText(&fresh).isEmpty());
        EXPECT_EQ(dynamic_cast<PageAccessible*>(QAccessible::queryAccessibleInterface(&fresh)), nullptr);
    }
}
