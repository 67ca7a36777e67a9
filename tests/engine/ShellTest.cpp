// SPDX-License-Identifier: GPL-3.0-or-later
// The shell with a small test document on the offscreen platform: start-up state,
// arrow and key rules, KeyBusy, printing through the print canvas, close behaviour,
// zoom and the window's kept size.

#include <engine/shell/DocumentMain.h>
#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/KeyCode.h>
#include <engine/shell/Label.h>
#include <engine/shell/PageExport.h>
#include <engine/shell/ShellWindow.h>
#include <engine/shell/SurfaceView.h>
#include "RecordingSink.h"
#include "WindowFixture.h"
#include "RunLog.h"
#include "StandardError.h"
#include "TestFonts.h"
#include <ProgramRun.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QScreen>
#include <QSettings>
#include <QWheelEvent>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

using course::testing::testFonts;
using namespace course;

namespace {

DocumentLayout standardLayout() {
    DocumentLayout L;
    L.page = {240, 705, 11610, 10935};
    L.cmdPrint = {9525, 60, 645, 480};
    L.cmdBack = {10455, 135, 300, 390};
    L.cmdGo = {10935, 150, 300, 390};
    L.title = {1455, 75, 7905, 465};
    return L;
}

class TestDocument : public Document {
public:
    explicit TestDocument(DocumentSettings s) : settings_(std::move(s)) {}
    const DocumentSettings& settings() const override { return settings_; }
    void drawPage(int k) override {
        draws.push_back({k, Pic, Printing != 0});
        Pic->Cls();
        CurY = Printing ? CharH : 0;
        CurX = LeftMargin;
        if (k == 0 && Printing)
            ds(QStringLiteral("テスト文書"));
        NewLine();
        ds(QStringLiteral("ページ %1 方程式の一つ・x1s 1.6875 のとき 79.02 eV – ").arg(k));
        dspSymbol(*Pic, CurX, CurY, QStringLiteral("a"));
        if (during)
            during(k);
    }
    struct Draw {
        int page;
        Surface* target;
        bool printing;
    };
    std::vector<Draw> draws;
    std::function<void(int)> during;

private:
    DocumentSettings settings_;
};

DocumentSettings settingsFor(KeySet keys, int pages = 4) {
    DocumentSettings s;
    s.name = QStringLiteral("testdoc");
    s.windowTitle = QStringLiteral("テスト");
    s.pages = pages;
    s.keys = keys;
    s.switching = keys == KeySet::B ? PageSwitching::ShowThisPic : PageSwitching::Inline;
    s.layout = standardLayout();
    return s;
}

using course::testing::RecordingSink;

struct Shell : course::testing::WindowFixture<TestDocument> {
    void open(DocumentSettings s) { WindowFixture::open(std::make_unique<TestDocument>(std::move(s))); }
};

} // namespace

TEST_F(Shell, StartUpDrawsEveryPageAndShowsBothArrowsOnPageZero) {
    open(settingsFor(KeySet::B));
    ASSERT_EQ(doc->draws.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(doc->draws[k].page, k);
        EXPECT_EQ(doc->draws[k].target, &w->page(k));
    }
    EXPECT_EQ(visiblePage(), 0);
    EXPECT_TRUE(back());
    EXPECT_TRUE(go());
    EXPECT_EQ(doc->CharW, w->page(0).TextWidth(QStringLiteral("A")));
    EXPECT_EQ(doc->LeftMargin, nint(2 * doc->CharW));
    EXPECT_EQ(doc->Indent2, nint(10 * doc->CharW + doc->LeftMargin));
    EXPECT_EQ(doc->TagCol, nint(50 * doc->CharW + doc->LeftMargin));
    EXPECT_TRUE(w->form2Exists());

    // Back on page 0 changes nothing, not even the arrows.
    w->cmdBack_Click();
    w->Form_KeyDown(key::Up);
    w->Form_KeyDown(key::Backspace);
    EXPECT_EQ(doc->CurPic, 0);
    EXPECT_TRUE(back());
    // The first step forward applies the arrow rule: both arrows on page 1.
    w->cmdGo_Click();
    EXPECT_EQ(visiblePage(), 1);
    EXPECT_TRUE(back());
    EXPECT_TRUE(go());
}

// A shown window's first frame waits only for page 0; the other pages are drawn right
// after it, and sooner when something needs one of them.
TEST_F(Shell, AShownWindowDrawsItsOtherPagesAfterTheFirstFrameEachOnce) {
    auto pages = [this] {
        std::vector<int> k;
        for (const TestDocument::Draw& d : doc->draws)
            k.push_back(d.page);
        return k;
    };
    WindowFixture::open(std::make_unique<TestDocument>(settingsFor(KeySet::B)), true);
    EXPECT_EQ(pages(), std::vector<int>({0}));
    QElapsedTimer t;
    t.start();
    while (doc->draws.size() < 4 && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(pages(), std::vector<int>({0, 1, 2, 3}));
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(doc->draws.size(), 4u) << "a page drawn twice";

    // A step forward before the first frame draws the pages first, in their order.
    WindowFixture::open(std::make_unique<TestDocument>(settingsFor(KeySet::B)), true);
    w->Form_KeyDown(key::Down);
    EXPECT_EQ(pages(), std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(visiblePage(), 1);

    // So does reading a page, and printing.
    WindowFixture::open(std::make_unique<TestDocument>(settingsFor(KeySet::B)), true);
    const Surface& third = w->page(2);
    EXPECT_EQ(doc->draws.at(2).target, &third);
    EXPECT_EQ(pages(), std::vector<int>({0, 1, 2, 3}));
    WindowFixture::open(std::make_unique<TestDocument>(settingsFor(KeySet::B)), true);
    w->cmdPrint_Click();
    ASSERT_EQ(doc->draws.size(), 5u);
    EXPECT_FALSE(doc->draws[3].printing);
    EXPECT_TRUE(doc->draws[4].printing);
}

TEST_F(Shell, KeySetBNavigatesAndHomeEndJump) {
    open(settingsFor(KeySet::B));
    w->Form_KeyDown(key::End); // End
    EXPECT_EQ(visiblePage(), 3);
    EXPECT_TRUE(back());
    EXPECT_FALSE(go());
    for (int key : {key::Down, key::Enter, key::Space})
        w->Form_KeyDown(key);
    EXPECT_EQ(doc->CurPic, 3);
    w->Form_KeyDown(key::Home); // Home
    EXPECT_EQ(visiblePage(), 0);
    EXPECT_FALSE(back());
    w->Form_KeyDown(key::Space);
    w->Form_KeyDown(key::Enter);
    EXPECT_EQ(doc->CurPic, 2);
    w->Form_KeyDown(key::Backspace);
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Left); // Left and Right are not in this set
    w->Form_KeyDown(key::Right);
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Escape);
    EXPECT_EQ(ends, 1);
}

TEST_F(Shell, KeySetCUsesLeftRightAndIgnoresSpaceHomeEnd) {
    open(settingsFor(KeySet::C, 3));
    w->Form_KeyDown(key::Right);
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Space);
    w->Form_KeyDown(key::End);
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Left);
    EXPECT_EQ(doc->CurPic, 0);
    w->Form_KeyDown(key::Home);
    EXPECT_EQ(doc->CurPic, 0);
    // No KeyBusy guard in this set: a key inside a key's action is handled.
    doc->during = [this](int) { w->Form_KeyDown(key::Down); };
    w->Form_KeyDown(key::Down);
    EXPECT_EQ(doc->CurPic, 1);
}

TEST_F(Shell, KeySetAPrintKeysPrintTheWindow) {
    DocumentSettings s = settingsFor(KeySet::A, 3);
    s.printKeysPrintWindow = true;
    s.printCanvasAtStart = false;
    open(s);
    EXPECT_FALSE(w->form2Exists());
    w->Form_KeyDown(key::F1);
    w->Form_KeyDown(key::Print);
    EXPECT_EQ(sink->prints, 2);
    EXPECT_FALSE(w->form2Exists());
    w->Form_KeyDown(key::Space);
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Home); // no Home in this set
    EXPECT_EQ(doc->CurPic, 1);
}

TEST_F(Shell, KeyBusyRefusesKeysDuringAKeysAction) {
    DocumentSettings s = settingsFor(KeySet::B);
    s.lastPageDrawnWhenShown = true;
    open(s);
    EXPECT_EQ(doc->draws.size(), 3u); // the last page waits until it is shown
    int nested = 0;
    doc->during = [&](int k) {
        if (k != 3)
            return;
        ++nested;
        w->Form_KeyDown(key::Home); // ignored while the key's action runs
        w->Form_KeyDown(key::Escape); // but Escape always ends the program
    };
    w->Form_KeyDown(key::End);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(doc->CurPic, 3);
    EXPECT_FALSE(doc->KeyBusy);
    ends = 0;
    doc->during = [&](int k) {
        if (k != 3)
            return;
        ++nested;
        w->Form_KeyDown(key::Home);
    };
    w->Form_KeyDown(key::Home);
    w->Form_KeyDown(key::End);
    EXPECT_EQ(nested, 2);
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(doc->CurPic, 3);
    EXPECT_FALSE(doc->KeyBusy);
    // Started by a click, the same page lets Escape through.
    doc->during = [&](int k) {
        if (k == 3)
            w->Form_KeyDown(key::Escape);
    };
    w->Form_KeyDown(key::Home);
    w->Form_KeyDown(key::Down);
    w->Form_KeyDown(key::Down);
    w->cmdGo_Click();
    EXPECT_EQ(ends, 1);
    // End on the last page redraws it.
    const size_t before = doc->draws.size();
    w->Form_KeyDown(key::End);
    EXPECT_EQ(doc->draws.size(), before + 1);
}

TEST_F(Shell, PrintDrawsTheCurrentPageOnTheCanvasOnce) {
    open(settingsFor(KeySet::B));
    w->cmdGo_Click();
    int nestedPrints = 0;
    doc->during = [&](int) {
        if (doc->Printing) {
            ++nestedPrints;
            w->cmdPrint_Click(); // a second click while the print is prepared
        }
    };
    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 1);
    EXPECT_EQ(nestedPrints, 1);
    const auto& last = doc->draws.back();
    EXPECT_EQ(last.page, 1);
    EXPECT_TRUE(last.printing);
    EXPECT_EQ(last.target, &w->Form2());
    EXPECT_EQ(doc->Printing, 0);
    EXPECT_EQ(doc->LeftMargin, nint(doc->CharW));
    // The print drew in a scope of its own: Pic is back where it was.
    EXPECT_EQ(doc->Pic, nullptr);
    EXPECT_EQ(w->statusMessage(), QStringLiteral("printed"));
    // The print canvas has the window's outer size and the print font.
    EXPECT_GT(w->Form2().size().width(), w->width());
    EXPECT_DOUBLE_EQ(w->Form2().FontSize, 12);
}

TEST_F(Shell, TitleOnlyOnThePrintedFirstPage) {
    open(settingsFor(KeySet::B));
    auto hasTitle = [](const Surface& g) {
        return course::testing::joined(g).contains(QStringLiteral("テスト文書"));
    };
    EXPECT_FALSE(hasTitle(w->page(0)));
    w->cmdPrint_Click();
    EXPECT_TRUE(hasTitle(w->Form2()));
    EXPECT_FALSE(hasTitle(w->page(0)));
}

TEST_F(Shell, PrintCanvasClearedFirstWhenAsked) {
    DocumentSettings s = settingsFor(KeySet::C, 3);
    s.clearCanvasBeforePrint = true;
    open(s);
    w->Form2().Print(QStringLiteral("old"));
    int clearsSeen = 0;
    doc->during = [&](int) {
        if (doc->Printing)
            clearsSeen = course::testing::joined(w->Form2()).contains(QStringLiteral("old")) ? 0 : 1;
    };
    w->cmdPrint_Click();
    EXPECT_EQ(clearsSeen, 1);
}

TEST_F(Shell, ClosingEndsTheProgramExceptWhenItOnlyUnloadsTheCanvas) {
    open(settingsFor(KeySet::B));
    w->show();
    w->close();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(w->form2Exists());

    w.reset();
    ends = 0;
    DocumentSettings s = settingsFor(KeySet::B);
    s.closeOnlyUnloadsCanvas = true;
    open(s);
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(w->form2Exists());
}

TEST_F(Shell, KeyPreviewSeesKeysSentToAPage) {
    open(settingsFor(KeySet::B));
    w->show();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(w->pageView(0), &down);
    EXPECT_EQ(doc->CurPic, 1);
}

TEST(PrintFallback, UniqueFilesNeverOverwriteAndAreWholeOrMissing) {
    QTemporaryDir dir;
    QString a, b, c;
    ASSERT_TRUE(writeUniqueFile(dir.path(), QStringLiteral("doc-page1"), QStringLiteral(".pdf"), "keep", a));
    ASSERT_TRUE(writeUniqueFile(dir.path(), QStringLiteral("doc-page1"), QStringLiteral(".pdf"), "b", b));
    ASSERT_TRUE(writeUniqueFile(dir.path(), QStringLiteral("doc-page1"), QStringLiteral(".pdf"), "c", c));
    EXPECT_TRUE(a.endsWith(QStringLiteral("/doc-page1.pdf")));
    EXPECT_TRUE(b.endsWith(QStringLiteral("/doc-page1-2.pdf")));
    EXPECT_TRUE(c.endsWith(QStringLiteral("/doc-page1-3.pdf")));
    QFile check(a);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("keep"));

    // A write that fails (the disk full) leaves no file and says why.
    qputenv("COURSE_TEST_WRITE_FAULT", "*");
    QString d;
    const Outcome full = writeUniqueFile(dir.path(), QStringLiteral("doc-page1"), QStringLiteral(".pdf"), "d", d);
    qunsetenv("COURSE_TEST_WRITE_FAULT");
    EXPECT_FALSE(full.ok);
    // The file is the window's: the reason is in the window's language, Japanese.
    EXPECT_TRUE(full.message.contains(QStringLiteral("デバイスに空き領域がありません"))) << full.message.toStdString();
    EXPECT_TRUE(d.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);

    EXPECT_FALSE(writeUniqueFile(QStringLiteral("/proc/no-such-dir"), QStringLiteral("x"), QStringLiteral(".pdf"), "x", d));
}

TEST_F(Shell, ExportWritesPngPagesAndASearchablePdf) {
    open(settingsFor(KeySet::B, 2));
    QTemporaryDir dir;
    EXPECT_TRUE(exportPng(*w, dir.path()).ok);
    for (const char* name : {"page-0.png", "page-0@2x.png", "page-1.png", "page-1@2x.png"})
        EXPECT_TRUE(QFile::exists(dir.filePath(QString::fromLatin1(name)))) << name;
    QImage one(dir.filePath(QStringLiteral("page-1.png"))),
        two(dir.filePath(QStringLiteral("page-1@2x.png")));
    EXPECT_EQ(two.width(), 2 * one.width());
    EXPECT_EQ(one.size(), w->visiblePageSize());

    const QString pdf = dir.filePath(QStringLiteral("doc.pdf"));
    EXPECT_TRUE(exportPdf(*w, pdf).ok);
    if (const std::optional<QString> read = course::test::pdfText(pdf)) {
        const QString& text = *read;
        // Ideographs that share a glyph with a radical, and Symbol letters, come back
        // as the characters that were drawn.
        EXPECT_TRUE(text.contains(QStringLiteral("ページ 0 方程式の一つ・x1s 1.6875 のとき 79.02 eV – α")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("ページ 1")));
        EXPECT_EQ(text.count(QChar(u'\f')), 2);
    }
    EXPECT_FALSE(exportPdf(*w, QStringLiteral("/proc/none/doc.pdf")).ok);
    EXPECT_FALSE(exportPng(*w, QStringLiteral("/proc/none")).ok);
}

TEST(PrintFallback, WithoutAPrinterPagesBecomeNewVectorPdfs) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    Surface page(testFonts(), QSize(300, 80));
    page.Cls();
    page.FontSize = 13;
    page.Print(QStringLiteral("印刷テスト"));
    // Whatever printers this machine has, this sink finds none.
    SystemPrintSink sink([] { return QPrinterInfo(); });
    auto paint = [&page](QPainter& p) { page.render(p); };
    const Outcome first = sink.print(paint, page.size(), QStringLiteral("doc-page1"));
    const Outcome second = sink.print(paint, page.size(), QStringLiteral("doc-page1"));
    qputenv("HOME", oldHome);
    ASSERT_TRUE(first.ok) << first.message.toStdString();
    ASSERT_TRUE(second.ok);
    // Each message names its own file.
    const QString a = first.message.section(QStringLiteral(": "), -1);
    const QString b = second.message.section(QStringLiteral(": "), -1);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(home.path()));
    EXPECT_TRUE(QFile::exists(a) && QFile::exists(b));
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), a});
    const std::optional<QString> text = course::test::pdfText(a);
    if (text && images.waitForFinished(20000)) {
        EXPECT_TRUE(text->contains(QStringLiteral("印刷テスト")));
        // Only the two header lines of the listing: no bitmap, the page is vectors.
        EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput()).trimmed().count(QChar(u'\n')), 1);
    }
}

TEST(PrintFallback, APdfThatCannotBeWrittenIsNeverCalledSaved) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    Surface page(testFonts(), QSize(300, 80));
    page.Cls();
    page.Print(QStringLiteral("印刷テスト"));
    SystemPrintSink sink([] { return QPrinterInfo(); });
    qputenv("COURSE_TEST_WRITE_FAULT", "*");
    const Outcome r = sink.print([&page](QPainter& p) { page.render(p); }, page.size(), QStringLiteral("doc-page1"));
    qunsetenv("COURSE_TEST_WRITE_FAULT");
    qputenv("HOME", oldHome);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.contains(QStringLiteral("保存しました"))) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QStringLiteral("デバイスに空き領域がありません"))) << r.message.toStdString();
    EXPECT_FALSE(r.message.contains(QStringLiteral("No space left"))) << r.message.toStdString();
    // Nothing under any name, finished or not.
    QDirIterator it(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    EXPECT_FALSE(it.hasNext()) << it.next().toStdString();
}

TEST(DocumentOptions, BadOptionsFailWithStatusTwo) {
    DocumentProgram prog;
    prog.options.push_back(
        {QStringLiteral("--speed"), QStringLiteral("F"), QStringLiteral("pace"), [](const QString& v) {
             bool ok = false;
             const double f = v.toDouble(&ok);
             return Outcome::failureIf(!ok || f <= 0, QStringLiteral("bad speed"));
         }});
    auto run = [&](std::vector<const char*> args) {
        args.insert(args.begin(), "prog");
        return runDocumentProgram(int(args.size()), const_cast<char**>(args.data()), prog);
    };
    EXPECT_EQ(run({"--bogus"}), 2);
    EXPECT_EQ(run({"--export-pdf"}), 2);
    EXPECT_EQ(run({"--speed", "0"}), 2);
    EXPECT_EQ(run({"--speed"}), 2);
    EXPECT_EQ(run({"--speed", "abc"}), 2);
    EXPECT_EQ(run({"--help"}), 0);
}

TEST(DocumentOptions, PageOpensTheWindowAtThatPageAndRefusesPagesTheDocumentLacks) {
    DocumentProgram prog;
    prog.name = QStringLiteral("testdoc");
    {
        DocumentCommandLine cl(prog);
        ASSERT_EQ(cl.parse({QStringLiteral("--page"), QStringLiteral("3")}), std::nullopt);
        EXPECT_EQ(cl.page, 3);
        TestDocument doc(settingsFor(KeySet::B));
        EXPECT_EQ(cl.checkPage(doc), std::nullopt);
        Form1 w(doc, testFonts());
        openWindow(w, cl.page);
        EXPECT_EQ(doc.CurPic, 2);
        for (int k = 0; k < w.pageCount(); ++k)
            EXPECT_EQ(w.pageVisible(k), k == 2) << k;
        EXPECT_TRUE(w.backLabel()->isVisibleTo(&w));
    }
    {
        DocumentCommandLine cl(prog);
        ASSERT_EQ(cl.parse({QStringLiteral("--page=5")}), std::nullopt);
        TestDocument doc(settingsFor(KeySet::B, 4));
        EXPECT_EQ(cl.checkPage(doc), kUsageExitStatus);
        EXPECT_TRUE(cl.line().error().contains(QStringLiteral("no page 5")))
            << cl.line().error().toStdString();
    }
    for (const char* bad : {"0", "-1", "x", ""}) {
        DocumentCommandLine cl(prog);
        EXPECT_EQ(cl.parse({QStringLiteral("--page"), QLatin1String(bad)}), kUsageExitStatus) << bad;
    }
}

// ---- Drawing scopes and the boundary of the handlers ----

// Only a DrawingScope points Pic at a surface.
static_assert(!std::is_assignable_v<CurrentSurface&, Surface*>);
static_assert(!std::is_copy_assignable_v<CurrentSurface>);

TEST(DrawingScopeTest, PutsPicAndTheCursorBackHoweverTheDrawingEnds) {
    Typesetter t;
    Surface a(testFonts(), QSize(100, 100));
    Surface b(testFonts(), QSize(100, 100));
    {
        DrawingScope onA(t, a);
        t.CurX = 10;
        t.CurY = 20;
        EXPECT_THROW(t.drawOn(b,
                              [&] {
                                  EXPECT_EQ(t.Pic, &b);
                                  t.CurX = 99;
                                  t.CurY = 98;
                                  throw std::runtime_error("page fault");
                              }),
                     std::runtime_error);
        EXPECT_EQ(t.Pic, &a);
        EXPECT_EQ(t.CurX, 10);
        EXPECT_EQ(t.CurY, 20);
        // A drawing's result comes back through drawOn.
        EXPECT_EQ(t.drawOn(b, [&] { return t.Pic.get(); }), &b);
        EXPECT_EQ(t.Pic, &a);
    }
    EXPECT_EQ(t.Pic, nullptr);
}

TEST_F(Shell, FaultInAPageIsShownAndTheWindowStaysUsable) {
    DocumentSettings s = settingsFor(KeySet::B);
    s.lastPageDrawnWhenShown = true;
    open(std::move(s));
    doc->during = [](int k) {
        if (k == 3)
            throw std::runtime_error("injected fault");
    };
    // End shows the last page, drawn inside the key's handler, which fails.
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    const QString err = course::testing::standardErrorOf([&] { QCoreApplication::sendEvent(w.get(), &end); });
    EXPECT_EQ(err, QStringLiteral("testdoc: injected fault\n"));
    EXPECT_TRUE(w->statusMessage().contains(QStringLiteral("injected fault")));
    EXPECT_EQ(doc->CurPic, 3);
    EXPECT_FALSE(doc->KeyBusy);
    EXPECT_EQ(doc->Pic, nullptr);

    // A print that fails while drawing leaves no print behind: the next one works.
    doc->during = [this](int) {
        if (doc->Printing)
            throw std::runtime_error("print fault");
    };
    course::testing::standardErrorOf([&] { w->handle([&] { w->cmdPrint_Click(); }); });
    EXPECT_TRUE(w->statusMessage().contains(QStringLiteral("print fault")));
    EXPECT_EQ(doc->Printing, 0);
    EXPECT_EQ(doc->Pic, nullptr);
    EXPECT_EQ(sink->prints, 0);
    doc->during = {};
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &home);
    EXPECT_EQ(visiblePage(), 0);
    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 1);
    EXPECT_EQ(ends, 0);
}

TEST_F(Shell, APageTheDocumentLacksIsRefusedWithoutAChange) {
    open(settingsFor(KeySet::B));
    w->ShowThisPic(1);
    for (int bad : {-1, 4, 99}) {
        EXPECT_THROW(w->ShowThisPic(bad), std::out_of_range) << bad;
        Surface g(testFonts(), QSize(100, 100));
        EXPECT_THROW(doc->drawPageOn(g, bad), std::out_of_range) << bad;
        EXPECT_TRUE(g.ops().empty());
    }
    EXPECT_EQ(doc->CurPic, 1);
    EXPECT_EQ(visiblePage(), 1);
    EXPECT_EQ(doc->draws.size(), 4u); // start-up only
}

TEST(DocumentOptions, FaultsOfATextModeEndWithTheProgramNameAndStatusOne) {
    DocumentProgram prog;
    prog.name = QStringLiteral("testdoc");
    prog.textMode = [](const course::DocumentCommandLine&) -> std::optional<int> { throw std::runtime_error("state 1: no convergence"); };
    const char* argv[] = {"testdoc"};
    int status = -1;
    const QString err = course::testing::standardErrorOf(
        [&] { status = runDocumentProgram(1, const_cast<char**>(argv), prog); });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, QStringLiteral("testdoc: state 1: no convergence\n"));
    EXPECT_EQ(runGuarded(QStringLiteral("testdoc"), [] { return 3; }), 3);
}

TEST(LabelTest, ClicksOnReleaseInsideAfterAPressInsideLikeAButton) {
    Label label(testFonts(), nullptr, QStringLiteral("印刷"), QStringLiteral("メイリオ"), 14.25,
                Label::Align::Centre);
    label.resize(40, 20);
    int clicks = 0;
    QObject::connect(&label, &Label::clicked, [&clicks] { ++clicks; });
    auto send = [&label](QEvent::Type type, QPointF at, Qt::MouseButton button) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent e(type, at, label.mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&label, &e);
    };
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    EXPECT_EQ(clicks, 0) << "a press alone is no click";
    send(QEvent::MouseButtonRelease, {12, 8}, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    // Dragged off before release: cancelled.
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {60, 10}, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    // Other buttons, and a release without a press, do nothing.
    send(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
    send(QEvent::MouseButtonRelease, {10, 10}, Qt::RightButton);
    send(QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(SurfaceViewTest, GathersTheDrawingOfAFrameIntoOneRepaintOfTheAreaDrawn) {
    SurfaceView view(testFonts());
    view.resize(200, 100);
    view.show();
    auto settle = [&view] {
        QElapsedTimer t;
        t.start();
        while (!view.pendingArea().isEmpty() && t.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    settle(); // the resize repaints everything once
    Surface& g = view.surface();
    g.DrawWidth = 1;
    g.Line(10, 10, 20, 12);
    g.Line(40, 50, 45, 55);
    const QRegion pending = view.pendingArea();
    EXPECT_TRUE(pending.contains(QPoint(10, 10)) && pending.contains(QPoint(45, 55))) << pending.boundingRect().width();
    EXPECT_FALSE(pending.contains(QPoint(150, 90))) << "only the area drawn waits";
    settle();
    EXPECT_TRUE(view.pendingArea().isEmpty()) << "the frame is shown";

    // A frame after the last, the drawing is shown as soon as it yields to the event
    // loop; drawn again at once, it waits for the next frame.
    QElapsedTimer gap;
    gap.start();
    while (gap.elapsed() < 2 * SurfaceView::kFrameMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    g.Line(10, 10, 20, 12);
    QElapsedTimer shown;
    shown.start();
    DoEvents();
    EXPECT_TRUE(view.pendingArea().isEmpty()) << "shown at the first yield";
    g.Line(40, 50, 45, 55);
    DoEvents();
    if (shown.elapsed() < SurfaceView::kFrameMs - 2) { // not when the machine stalled meanwhile
        EXPECT_FALSE(view.pendingArea().isEmpty()) << "one frame at most per kFrameMs";
    }
    settle();
    EXPECT_TRUE(view.pendingArea().isEmpty());
}

// ---------------------------------------------------------------- zoom and window size

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void sendKey(QWidget* to, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(to, &e);
}

// Waits in the event loop until `done` or two seconds have passed.
template <typename Done>
bool settle(Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Clears what a test left in the settings, so that later windows start afresh.
struct ClearSettings {
    ClearSettings() { QSettings().clear(); }
    ~ClearSettings() { QSettings().clear(); }
};

} // namespace

TEST(ScaleSteps, StepThroughTheListFromAnyScaleAndStopAtTheEnds) {
    const std::vector<double>& steps = ShellWindow::scaleSteps();
    ASSERT_EQ(steps.front(), 0.5);
    ASSERT_EQ(steps.back(), 3.0);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    // Up from the smallest visits every step once, and stays at the largest.
    std::vector<double> seen{ShellWindow::minScale()};
    while (seen.back() < ShellWindow::maxScale() && seen.size() < 50)
        seen.push_back(ShellWindow::stepFrom(seen.back(), +1));
    EXPECT_EQ(seen, steps);
    EXPECT_EQ(ShellWindow::stepFrom(3.0, +1), 3.0);
    EXPECT_EQ(ShellWindow::stepFrom(0.5, -1), 0.5);
    EXPECT_EQ(ShellWindow::stepFrom(1.0, -1), 0.9);
    // A scale that fits a window by hand steps to the neighbouring steps.
    EXPECT_EQ(ShellWindow::stepFrom(1.13, +1), 1.25);
    EXPECT_EQ(ShellWindow::stepFrom(1.13, -1), 1.1);
    EXPECT_EQ(ShellWindow::stepFrom(0.2, +1), 0.5);
    EXPECT_EQ(ShellWindow::stepFrom(7.0, -1), 3.0);
}

// To the keyboard and to screen readers the labels that act are buttons and the window
// a frame named by its title; a page turn gives the new page the focus.
TEST_F(Shell, ActingLabelsAreButtonsAndAPageTurnFocusesTheNewPage) {
    WindowFixture::open(std::make_unique<TestDocument>(settingsFor(KeySet::B)), true);
    w->activateWindow();
    ASSERT_TRUE(settle([&] { return QApplication::focusWidget() != nullptr; }));
    EXPECT_EQ(QApplication::focusWidget(), w->pageView(0));

    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(w.get());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("テスト"));
    for (Label* l : {w->backLabel(), w->goLabel(), w->printLabel()}) {
        QAccessibleInterface* b = QAccessible::queryAccessibleInterface(l);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->role(), QAccessible::PushButton) << l->caption().toStdString();
        ASSERT_NE(b->actionInterface(), nullptr);
        EXPECT_TRUE(b->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        EXPECT_EQ(l->focusPolicy(), Qt::TabFocus);
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w->goLabel())->text(QAccessible::Name),
              QStringLiteral("次のページ"));

    // The press action does what a click does, after the reader's call has returned.
    QAccessible::queryAccessibleInterface(w->goLabel())
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(doc->CurPic, 0);
    ASSERT_TRUE(settle([&] { return doc->CurPic == 1; }));
    EXPECT_EQ(QApplication::focusWidget(), w->pageView(1));

    // Space on a focused button presses it; on the page it keeps its page meaning.
    w->backLabel()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(settle([&] { return w->backLabel()->hasFocus(); }));
    sendKey(w->backLabel(), Qt::Key_Space, Qt::NoModifier);
    EXPECT_EQ(doc->CurPic, 0);
    EXPECT_EQ(QApplication::focusWidget(), w->pageView(0));
    sendKey(w->pageView(0), Qt::Key_Space, Qt::NoModifier);
    EXPECT_EQ(doc->CurPic, 1);
}

TEST_F(Shell, ZoomKeysScaleEveryControlAndClampToTheSteps) {
    open(settingsFor(KeySet::B));
    const QRect page = w->designRect(w->pageView(0));
    const QRect print = w->designRect(w->printLabel());
    ASSERT_EQ(w->pageView(0)->geometry(), page);

    sendKey(w->pageView(0), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(w->scale(), 1.1);
    sendKey(w->printLabel(), Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w->scale(), 1.25);
    EXPECT_EQ(w->pageView(0)->geometry(), scaledRect(page, 1.25));
    EXPECT_EQ(w->printLabel()->geometry(), scaledRect(print, 1.25));
    EXPECT_EQ(w->client()->size(), scaledRect(QRect(QPoint(0, 0), w->clientSize()), 1.25).size());
    // The pages keep their design size: only the view is scaled.
    EXPECT_EQ(w->page(0).size(), page.size());
    EXPECT_EQ(w->pageView(0)->scale(), 1.25);

    sendKey(w.get(), Qt::Key_Minus, Qt::ControlModifier);
    sendKey(w.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(w->scale(), 1.0);
    for (int i = 0; i < 20; ++i)
        sendKey(w.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(w->scale(), 0.5);
    sendKey(w.get(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(w->scale(), 1.0);
    EXPECT_EQ(w->pageView(0)->geometry(), page);
    w->setScale(9);
    EXPECT_EQ(w->scale(), 3.0);
    w->setScale(0.1);
    EXPECT_EQ(w->scale(), 0.5);

    // Ctrl + wheel: one notch, one step.
    w->resetZoom();
    const QPointF at(10, 10);
    QWheelEvent up(at, w->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w->pageView(0), &up);
    EXPECT_EQ(w->scale(), 1.1);
    QWheelEvent plain(at, w->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w->pageView(0), &plain);
    EXPECT_EQ(w->scale(), 1.1) << "a wheel without Ctrl scrolls";

    // The zoom keys are not page keys, and the page keys still work.
    EXPECT_EQ(doc->CurPic, 0);
    sendKey(w.get(), Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(doc->CurPic, 1);
    EXPECT_EQ(ends, 0);
}

TEST_F(Shell, AScaleStepResizesTheWindowUpToTheScreenAndHandResizingFitsThePage) {
    ClearSettings clean;
    open(settingsFor(KeySet::B));
    const QSize client = w->clientSize();
    EXPECT_EQ(w->sizeForScale(2.0, QSize(4000, 4000)), client * 2);
    EXPECT_EQ(w->sizeForScale(2.0, QSize(1000, 900)), QSize(1000, 900));
    EXPECT_EQ(w->sizeForScale(0.5, QSize(1000, 900)), QSize(client.width() / 2, client.height() / 2));

    w->show();
    ASSERT_TRUE(settle([&] { return w->isVisible(); }));
    // The window and its frame stay on the screen.
    const QSize screen = w->screen()->availableGeometry().size() - (w->frameGeometry().size() - w->size());
    w->setScale(1.5);
    ASSERT_TRUE(settle([&] { return w->size() == w->sizeForScale(1.5, screen); }))
        << w->size().width() << "x" << w->size().height() << " on " << screen.width() << "x"
        << screen.height() << " frame " << w->frameGeometry().width() << "x" << w->frameGeometry().height();
    EXPECT_EQ(w->scale(), 1.5) << "the window the step asked for keeps the step's scale";

    // By hand: the page fits the window, aspect kept.
    const QSize hand(client.width() * 0.8, client.height() * 0.7);
    w->resize(hand);
    ASSERT_TRUE(settle([&] { return w->size() == hand; }));
    EXPECT_NEAR(w->scale(), 0.7, 1.0 / client.height());
    w->resize(client.width() / 4, client.height() / 4);
    ASSERT_TRUE(settle([&] { return w->scale() == 0.5; })) << "never below the smallest step";
    w->hide();
}

TEST_F(Shell, ExportsAndPrintsAreTheSameAtEveryScale) {
    open(settingsFor(KeySet::B, 2));
    QTemporaryDir dir;
    const QString at100 = dir.filePath(QStringLiteral("100")), at200 = dir.filePath(QStringLiteral("200"));
    ASSERT_TRUE(exportPng(*w, at100).ok);
    w->cmdPrint_Click();
    w->PrintForm1();
    w->setScale(2.0);
    ASSERT_TRUE(exportPng(*w, at200).ok);
    w->cmdPrint_Click();
    w->PrintForm1();
    for (const char* name : {"page-0.png", "page-0@2x.png", "page-1.png", "page-1@2x.png"}) {
        const QByteArray a = fileBytes(QDir(at100).filePath(QLatin1String(name)));
        EXPECT_FALSE(a.isEmpty()) << name;
        EXPECT_EQ(a, fileBytes(QDir(at200).filePath(QLatin1String(name)))) << name;
    }
    ASSERT_EQ(sink->images.size(), 4u);
    EXPECT_EQ(sink->images[0], sink->images[2]) << "the printed page";
    EXPECT_EQ(sink->images[1], sink->images[3]) << "the printed window";
    EXPECT_EQ(sink->images[1].size(), w->clientSize());

    // The PDF is painted by the same calls at any scale.
    auto record = [this] {
        QPicture pic;
        QPainter p(&pic);
        w->paintClientArea(p);
        p.end();
        return QByteArray(pic.data(), int(pic.size()));
    };
    const QByteArray scaled = record();
    w->resetZoom();
    EXPECT_EQ(record(), scaled);
}

TEST(WindowSize, TheKeptSizeIsRestoredButNeverLargerThanTheScreen) {
    ClearSettings clean;
    EXPECT_FALSE(ShellWindow::restoredSize(QSize(1000, 800)).isValid()) << "nothing kept yet";
    QSettings().setValue(QStringLiteral("window/size"), QSize(700, 500));
    EXPECT_EQ(ShellWindow::restoredSize(QSize(1000, 800)), QSize(700, 500));
    QSettings().setValue(QStringLiteral("window/size"), QSize(3000, 500));
    EXPECT_EQ(ShellWindow::restoredSize(QSize(1000, 800)), QSize(1000, 500));
    QSettings().setValue(QStringLiteral("window/size"), QStringLiteral("garbage"));
    EXPECT_FALSE(ShellWindow::restoredSize(QSize(1000, 800)).isValid());

    // A shown window takes the kept size and fits its page to it; a step is kept.
    TestDocument doc(settingsFor(KeySet::B));
    const QSize client = Form1(doc, testFonts()).clientSize();
    const QSize kept(client.width() * 0.6, client.height() * 0.9);
    QSettings().setValue(QStringLiteral("window/size"), kept);
    {
        Form1 w(doc, testFonts());
        w.Form_Load(true);
        ASSERT_TRUE(settle([&] { return w.size() == kept; }));
        EXPECT_NEAR(w.scale(), 0.6, 1.0 / client.width());
        w.setScale(0.75);
        const QSize stepped = w.sizeForScale(0.75, w.screen()->availableGeometry().size());
        ASSERT_TRUE(
            settle([&] { return QSettings().value(QStringLiteral("window/size")).toSize() == stepped; }));
        w.hide();
    }
}

TEST(WindowSize, AWindowIsFittedIntoTheScreensAvailableArea) {
    const QRect screen(0, 0, 640, 480);
    const QMargins none;
    // The suite's design size on a 640 × 480 screen: no larger than the screen.
    EXPECT_EQ(ShellWindow::fittedGeometry(QRect(0, 0, 792, 724), screen, none), QRect(0, 0, 640, 480));
    // A frame stays on screen too, and a window over an edge is moved in.
    const QMargins frame(4, 28, 4, 4);
    EXPECT_EQ(ShellWindow::fittedGeometry(QRect(4, 28, 792, 724), screen, frame), QRect(4, 28, 632, 448));
    EXPECT_EQ(ShellWindow::fittedGeometry(QRect(500, 400, 300, 200), screen, frame), QRect(336, 276, 300, 200));
    // An area below a panel, on a second screen.
    const QRect second(1280, 32, 800, 568);
    EXPECT_EQ(ShellWindow::fittedGeometry(QRect(0, 0, 400, 300), second, none), QRect(1280, 32, 400, 300));
    // A window that fits stays where it is.
    EXPECT_EQ(ShellWindow::fittedGeometry(QRect(10, 40, 300, 200), screen, frame), QRect(10, 40, 300, 200));
}

TEST(WindowSize, TheFirstWindowAndARestoredSizeFitTheScreen) {
    ClearSettings clean;
    TestDocument doc(settingsFor(KeySet::B));
    QSettings().setValue(QStringLiteral("window/size"), QSize(5000, 4000));
    Form1 w(doc, testFonts());
    w.Form_Load(true);
    const QRect area = w.screen()->availableGeometry();
    ASSERT_TRUE(settle([&] { return w.isVisible(); }));
    EXPECT_TRUE(area.contains(w.frameGeometry())) << w.frameGeometry().width() << "x" << w.frameGeometry().height();
    // The page fits the smaller window.
    EXPECT_LE(w.scale(), std::min(double(area.width()) / w.clientSize().width(),
                                  double(area.height()) / w.clientSize().height()) + 1e-9);
    w.hide();
}
