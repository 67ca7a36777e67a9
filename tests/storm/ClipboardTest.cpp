// SPDX-License-Identifier: GPL-3.0-or-later
// Copying a page under a real X server: Ctrl + C and Ctrl + Shift + C in a running
// document program put its text and its picture on the desktop's clipboard, where
// another program (xclip) reads them.

#include "XSession.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <X11/keysym.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

using storm::Clock;
using storm::Millis;

// What `xclip -o` gives for the clipboard in `target`, once the clipboard's owner offers
// that target, within 5 s. The owner is awaited through TARGETS first: xclip, refused
// UTF8_STRING while nobody owns the clipboard yet, falls back to STRING, and an owner that
// appears between its two requests answers in Latin-1, every Japanese letter a "?".
QByteArray clipboard(const std::string& display, const QString& target) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromStdString(display));
    const auto read = [&](const QString& t, QByteArray& out) {
        QProcess xclip;
        xclip.setProcessEnvironment(env);
        xclip.start(QStringLiteral("xclip"),
                    {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                     QStringLiteral("-t"), t});
        xclip.waitForFinished(3000);
        out = xclip.readAllStandardOutput();
        return xclip.exitCode() == 0 && !out.isEmpty();
    };
    const auto end = Clock::now() + std::chrono::seconds(5);
    QByteArray targets, out;
    while (Clock::now() < end) {
        if (read(QStringLiteral("TARGETS"), targets) && targets.split('\n').contains(target.toLatin1()) &&
            read(target, out))
            return out;
        std::this_thread::sleep_for(Millis(100));
    }
    return out;
}

} // namespace

TEST(XClipboard, CopiedPageTextAndPictureReachOtherPrograms) {
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
        << "xclip is not installed (scripts/setup.sh installs it)";
    storm::Xvfb x;
    ASSERT_TRUE(x.ok()) << x.error();
    storm::XClient c(x.display());
    ASSERT_TRUE(c.ok());
    QTemporaryDir home;
    const auto env = storm::programEnvironment(x.display(), home.path().toStdString());
    storm::Child child({QUILLET_BINARY}, env);

    storm::Window window = 0;
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (!window && Clock::now() < end && !child.exited()) {
        window = c.findWindow(child.pid());
        std::this_thread::sleep_for(Millis(20));
    }
    ASSERT_NE(window, 0u) << child.allErrors();
    c.focus(window);
    Millis took{0};
    while (Clock::now() < end && !c.ping(window, child, Millis(1000), took))
        ASSERT_FALSE(child.exited()) << child.allErrors();

    c.chord({XK_Control_L, XK_c});
    const QString text = QString::fromUtf8(clipboard(x.display(), QStringLiteral("UTF8_STRING")));
    EXPECT_TRUE(text.contains(QStringLiteral("常微分方程式の数値解法では"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("x_0"))) << text.toStdString();

    c.chord({XK_Control_L, XK_Shift_L, XK_c});
    QImage png;
    EXPECT_TRUE(png.loadFromData(clipboard(x.display(), QStringLiteral("image/png")), "PNG"));
    EXPECT_GT(png.width(), 1000) << "twice the page's width";

    c.key(XK_Escape);
    const auto gone = Clock::now() + std::chrono::seconds(10);
    while (!child.exited() && Clock::now() < gone)
        std::this_thread::sleep_for(Millis(20));
    EXPECT_TRUE(child.exited());
}
