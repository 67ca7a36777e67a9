// SPDX-License-Identifier: GPL-3.0-or-later
// A fault of the numerical core (an exception) where brindle's work starts: in the
// live run started by a key, the window shows the message and stays usable; in
// --table, the program writes "brindle: <message>" and ends with status 1.

#include "BrindleProgram.h"
#include "PageTestSupport.h"
#include "StandardError.h"

#include <QCoreApplication>
#include <QKeyEvent>

using namespace brindle;
using namespace brindle::testing;

namespace {

class LiveFault : public BrindleWindow {
protected:
    // A key press as the window system delivers it (through the window's key preview).
    void press(Qt::Key key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(w.get(), &e);
    }
};

} // namespace

TEST_F(LiveFault, CoreFaultDuringAKeyStartedRunIsShownAndTheWindowStaysUsable) {
    // The fault leaves the core's run from inside the run's 50th wait, as a fault of
    // the iteration itself would: through EigenIteration::run and the live page.
    pacer.during = [](int k) {
        if (k == 50)
            throw NumericalFault(1, 1, "injected fault");
    };
    const QString err = course::testing::standardErrorOf([this] {
        press(Qt::Key_Down);
        press(Qt::Key_Down); // page 2: the run starts inside the key's handler
    });
    EXPECT_EQ(err, QStringLiteral("brindle: state 1, iteration 1: injected fault\n"));
    EXPECT_TRUE(w->statusMessage().contains(QStringLiteral("injected fault")))
        << w->statusMessage().toStdString();
    // Nothing of the run is left behind.
    EXPECT_EQ(doc->runsInProgress(), 0);
    EXPECT_FALSE(doc->KeyBusy);
    EXPECT_EQ(doc->Pic, nullptr);
    EXPECT_EQ(doc->CurPic, 2);
    EXPECT_EQ(count(course::Sound::Chime), 0);
    EXPECT_FALSE(w->page(2).userScale());
    EXPECT_DOUBLE_EQ(w->page(2).FontSize, 13);

    // Usable: the keys move between the pages, the page runs again to its end and
    // prints.
    pacer.during = {};
    press(Qt::Key_Up);
    EXPECT_EQ(doc->CurPic, 1);
    press(Qt::Key_Down);
    EXPECT_EQ(doc->CurPic, 2);
    EXPECT_EQ(count(course::Sound::Chime), 4);
    EXPECT_EQ(count(course::Sound::Notify), 1);
    EXPECT_EQ(doc->runsInProgress(), 0);
    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 1);
    EXPECT_EQ(ends, 0);
}

TEST(TableFault, CoreFaultIsWrittenWithTheProgramNameAndStatusOne) {
    BrindleProgram program;
    program.compute = [](EigenIteration& it) {
        EXPECT_EQ(it.l(), 2);
        throw NumericalFault(3, 7, "norm is not positive");
    };
    const char* argv[] = {"brindle", "--table", "--l", "2"};
    int status = -1;
    const QString err =
        course::testing::standardErrorOf([&] { status = program.run(4, const_cast<char**>(argv)); });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, QStringLiteral("brindle: state 3, iteration 7: norm is not positive\n"));
}
