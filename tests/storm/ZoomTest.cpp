// SPDX-License-Identifier: GPL-3.0-or-later
// Zoom on a real X server: Ctrl + = pressed on the keyboard makes quillet's page larger,
// and the page on the screen at 200 % is the page exported at 2x, drawn sharp, not a
// stretched picture of the page at 100 %.

#include "XSession.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdlib>
#include <map>
#include <string>
#include <thread>

namespace {

using namespace storm;

bool waitFor(const std::function<bool()>& done, Millis limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(Millis(50));
    }
    return true;
}

int channelDifference(unsigned a, QRgb b) {
    const int dr = std::abs(int((a >> 16) & 255) - qRed(b));
    const int dg = std::abs(int((a >> 8) & 255) - qGreen(b));
    const int db = std::abs(int(a & 255) - qBlue(b));
    return std::max({dr, dg, db});
}

} // namespace

TEST(ZoomOnX, ControlEqualsMakesThePageLargerAndKeepsItSharp) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString exported = home.filePath(QStringLiteral("export"));
    QProcess exporter;
    exporter.start(QStringLiteral(QUILLET_BINARY), {QStringLiteral("--export-png"), exported});
    ASSERT_TRUE(exporter.waitForFinished(60000));
    ASSERT_EQ(exporter.exitCode(), 0) << exporter.readAllStandardError().toStdString();
    const QImage reference = QImage(QDir(exported).filePath(QStringLiteral("page-0@2x.png")))
                                 .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());

    Xvfb x;
    ASSERT_TRUE(x.ok()) << x.error();
    const std::map<std::string, std::string> env = programEnvironment(x.display(), home.path().toStdString());
    Child program({QUILLET_BINARY}, env);
    XClient client(x.display());
    ASSERT_TRUE(client.ok());
    Window w = 0;
    ASSERT_TRUE(waitFor([&] { return (w = client.findWindow(program.pid())) != 0; }, Millis(20000)))
        << program.allErrors();
    int width = 0, height = 0;
    ASSERT_TRUE(client.size(w, width, height));
    const int startWidth = width;
    client.focus(w);
    // 100 → 110 → 125 → 150 → 175 → 200 %.
    for (int i = 0; i < 5; ++i) {
        client.chord({XK_Control_L, XK_equal});
        std::this_thread::sleep_for(Millis(150));
    }
    // The window grows to the page at 200 %, up to the screen (1280 × 1024); beyond it
    // the page scrolls, from its top-left corner.
    ASSERT_TRUE(waitFor([&] { return client.size(w, width, height) && width > startWidth && height >= 1000; },
                        Millis(10000)))
        << width << "x" << height;
    std::this_thread::sleep_for(Millis(1000)); // the repaint

    // quillet's page 0 lies at (16, 47) in the client area at 100 %.
    const int left = 32, top = 94, cols = 1100, rows = 850;
    ASSERT_LE(left + cols, width);
    ASSERT_LE(top + rows, height);
    const std::vector<unsigned> shown = client.grab(w, left, top, cols, rows);
    ASSERT_EQ(shown.size(), std::size_t(cols) * rows);
    ASSERT_GE(reference.width(), cols);
    ASSERT_GE(reference.height(), rows);
    int ink = 0, off = 0;
    for (int j = 0; j < rows; ++j) {
        const QRgb* line = reinterpret_cast<const QRgb*>(reference.constScanLine(j));
        for (int i = 0; i < cols; ++i) {
            const unsigned s = shown[std::size_t(j) * cols + i];
            ink += qGray(line[i]) < 128;
            // Antialiased edges may differ by a little, never by a stretched pixel.
            off += channelDifference(s, line[i]) > 48;
        }
    }
    EXPECT_GT(ink, 5000) << "the reference has text on it";
    EXPECT_LT(off, cols * rows / 500) << off << " pixels differ from the page exported at 2x";
}
