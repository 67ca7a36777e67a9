// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/EventPump.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace course {

void DoEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool pumpUntil(SteadyTime deadline, const std::function<bool()>& cancelled) {
    auto stop = [&] { return cancelled && cancelled(); };
    DoEvents(); // one yield even when the deadline has passed
    // One timer for the whole sleep: it wakes the loop at the deadline, and events that
    // arrive meanwhile are handled as they come without setting it again.
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    while (!stop()) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return true;
        if (!timer.isActive())
            timer.start(int(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
        // Wakes for the timer or any event; handles it and checks again.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    return false;
}

void pumpUntilWoken(const std::function<bool()>& wake) {
    DoEvents();
    while (!(wake && wake())) {
        // Blocks until an event arrives; no timer wakes the process meanwhile.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
}

} // namespace course
