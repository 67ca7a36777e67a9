// SPDX-License-Identifier: GPL-3.0-or-later
// Printing through a real print server: the print label of a document page and of
// brindle's live page sends one A4 page to the default queue, and the page printed
// is the page the program shows (compared with its --export-png picture).

#include "BrindleDocument.h"
#include "CalyxDocument.h"
#include "PrintedPage.h"
#include "PrivateCupsd.h"
#include "TestFonts.h"

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/sounds/Sounds.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

// The queue's printable area starts 0.25 in from each edge and is 559 pt wide.
constexpr double kPrintableWidthPt = 577 - 18;

// A left click on a label, as the window system delivers it.
void click(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, at, w->mapToGlobal(at),
                                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonRelease, at, w->mapToGlobal(at),
                                                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// The picture with every pixel that `lost` picks painted white.
template <class Pick>
QImage recoloured(const QImage& img, Pick lost) {
    QImage out = img.copy();
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (lost(out.pixel(x, y)))
                out.setPixel(x, y, qRgb(255, 255, 255));
    return out;
}

// The program's own export of page k at 1x.
QImage exportedPage(const QString& binary, int k, const QProcessEnvironment& env) {
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment e = env;
    e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(e);
    p.start(binary, {QStringLiteral("--export-png"), dir.path()});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {};
    return QImage(dir.filePath(QStringLiteral("page-%1.png").arg(k))).convertToFormat(QImage::Format_RGB32);
}

class CupsPrint : public ::testing::Test {
protected:
    static inline PrivateCupsd* cups = nullptr;

    static void SetUpTestSuite() {
        cups = new PrivateCupsd;
        startError = cups->start();
        cups->applyToThisProcess();
    }
    static void TearDownTestSuite() {
        delete cups;
        cups = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(startError.isEmpty()) << startError.toStdString();
        env.soundSink = [](Sound) {};
        env.endHook = [this] { ++ends; };
        jobsBefore = cups->completedJobs().size();
    }
    void TearDown() override {
        EXPECT_EQ(ends, 0); // printing never ends the program
    }

    // Waits for the job, checks it is one A4 page, and reads back the print canvas
    // from it at one pixel per canvas pixel.
    QImage printedCanvas(QSize canvas) {
        EXPECT_TRUE(cups->waitForJobs(60000)) << cups->errorLog().toStdString();
        EXPECT_EQ(cups->completedJobs().size(), jobsBefore + 1) << cups->errorLog().toStdString();
        const PdfFacts facts = pdfFacts(cups->outputFile());
        EXPECT_TRUE(facts.error.isEmpty()) << facts.error.toStdString();
        EXPECT_EQ(facts.pages, 1);
        EXPECT_NEAR(facts.pageSize.width(), 595.3, 1.0);
        EXPECT_NEAR(facts.pageSize.height(), 841.9, 1.0);
        const double dpi = std::max(96.0, canvas.width() * 72.0 / kPrintableWidthPt);
        QString err;
        const QImage img = rasterizePdf(cups->outputFile(), dpi, &err);
        EXPECT_FALSE(img.isNull()) << err.toStdString();
        const int margin = qRound(18 * dpi / 72);
        return img.copy(QRect(QPoint(margin, margin), canvas));
    }

    // The printed canvas against the shown page: the print starts lower (one text
    // line, or the title) and its text lines begin at a margin of one character
    // instead of two, so a piece may sit `marginShift` further left.
    static std::vector<PieceMatch> compare(const QImage& shown, const QImage& printed, int marginShift) {
        const InkMap expected(shown), actual(printed);
        const int dy = bestRowShift(expected, actual, 80);
        return comparePieces(expected, actual, QPoint(0, dy), {0, -marginShift}, kSlack, kGap);
    }
    static double worst(const std::vector<PieceMatch>& matches) {
        double w = 0;
        for (const PieceMatch& m : matches)
            w = std::max(w, m.unmatched);
        return w;
    }

    static void expectSamePage(const QImage& shown, const QImage& printed, int marginShift) {
        const std::vector<PieceMatch> matches = compare(shown, printed, marginShift);
        EXPECT_GT(matches.size(), 40u); // the page was cut into lines, formulas, tiles
        for (const PieceMatch& m : matches)
            EXPECT_LE(m.unmatched, kLimit)
                << (m.fromExpected ? "shown piece not printed: " : "printed piece not shown: ") << "("
                << m.piece.x() << ", " << m.piece.y() << ") " << m.piece.width() << "x" << m.piece.height();
        std::printf("pieces compared: %zu, worst unmatched share %.3f\n", matches.size(), worst(matches));
    }
    // The tolerance is tight enough: the page spoilt as described fails it.
    static void expectCaught(const QImage& spoilt, const QImage& printed, int marginShift, const char* what) {
        EXPECT_GT(worst(compare(spoilt, printed, marginShift)), kLimit) << what;
    }
    static std::vector<QRect> piecesBy(const QImage& img, bool (*before)(const QRect&, const QRect&)) {
        std::vector<QRect> pieces = InkMap(img).pieces(kGap);
        std::sort(pieces.begin(), pieces.end(), before);
        return pieces;
    }

    static constexpr int kSlack = 2;      // pixels either way
    static constexpr int kGap = 12;       // blank columns that separate two pieces of a line
    static constexpr double kLimit = 0.1; // share of a piece's ink allowed to find nothing

    static inline QString startError;
    int ends = 0;
    Environment env; // the documents' sounds and end
    qsizetype jobsBefore = 0;
};

} // namespace

TEST_F(CupsPrint, DocumentPageGoesToTheDefaultQueueAsTheShownPage) {
    auto doc = calyx::makeDocument();
    doc->useEnvironment(env);
    Form1 w(*doc, testFonts());
    w.Form_Load(true);
    w.cmdGo_Click();
    click(w.printLabel());
    QDeadlineTimer t(30000);
    while (w.statusMessage().isEmpty() && !t.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(w.statusMessage().contains(QStringLiteral("course"))) << w.statusMessage().toStdString();
    const QImage printed = printedCanvas(w.Form2().size());
    const QImage shown = exportedPage(QStringLiteral(CALYX_BINARY), 1, cups->environment());
    ASSERT_FALSE(shown.isNull());
    const int shift = nint(2 * doc->CharW) - nint(doc->CharW);
    expectSamePage(shown, printed, shift);
    const auto wide = piecesBy(shown, [](const QRect& a, const QRect& b) { return a.width() > b.width(); });
    const auto tall = piecesBy(shown, [](const QRect& a, const QRect& b) { return a.height() > b.height(); });
    expectCaught(withPieceMoved(shown, wide[0], QPoint(0, 2000)), printed, shift, "a line lost");
    expectCaught(withPieceMoved(shown, tall[0], QPoint(4, 0)), printed, shift, "a formula 4 px to the right");
    expectCaught(withPieceMoved(shown, tall[0], QPoint(0, 4)), printed, shift, "a formula 4 px lower");
}

TEST_F(CupsPrint, BrindlePrintDuringTheLiveRunGoesToTheQueueAsTheFinishedPage) {
    auto doc = brindle::makeDocument(50); // the live run at 50 times its pace: about 2.5 s
    auto* live = dynamic_cast<brindle::BrindleDocument*>(doc.get());
    ASSERT_NE(live, nullptr);
    doc->useEnvironment(env);
    Form1 w(*doc, testFonts());
    w.Form_Load(true);
    w.cmdGo_Click();
    bool printedDuringRun = false;
    QTimer::singleShot(500, &w, [&] {
        printedDuringRun = live->runsInProgress() == 1;
        click(w.printLabel());
    });
    click(w.goLabel()); // the run starts in the click's handler
    QDeadlineTimer t(60000);
    while ((w.statusMessage().isEmpty() || live->runsInProgress() > 0 || doc->CurPic != 2) && !t.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(printedDuringRun);
    EXPECT_TRUE(w.statusMessage().contains(QStringLiteral("course"))) << w.statusMessage().toStdString();
    const QImage printed = printedCanvas(w.Form2().size());
    const QImage shown = exportedPage(QStringLiteral(BRINDLE_BINARY), 2, cups->environment());
    ASSERT_FALSE(shown.isNull());
    const int shift = nint(2 * doc->CharW) - nint(doc->CharW);
    expectSamePage(shown, printed, shift);
    // The plot with its labels is one piece, the title line above it another.
    const auto top = piecesBy(shown, [](const QRect& a, const QRect& b) { return a.top() < b.top(); });
    ASSERT_GE(top.size(), 2u);
    expectCaught(withPieceMoved(shown, top[0], QPoint(0, 4)), printed, shift, "the title 4 px lower");
    expectCaught(
        recoloured(shown, [](QRgb c) { return qRed(c) > qGreen(c) + 30 && qRed(c) > qBlue(c) + 30; }),
        printed, shift, "the energy levels (red) lost");
    expectCaught(
        recoloured(shown, [](QRgb c) { return qBlue(c) > qRed(c) + 30 && qBlue(c) > qGreen(c) + 30; }),
        printed, shift, "the wave functions (blue) lost");
}
