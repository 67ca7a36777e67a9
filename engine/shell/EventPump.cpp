#include <course/shell/EventPump.h>

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
    while (!stop()) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return true;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(ms));
        // Wakes for the timer or any event; handles it and checks again.
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    return false;
}

void pumpUntilWoken(const std::function<bool()>& wake) {
    DoEvents();
    while (!(wake && wake())) {
        // Blocks until an event arrives; no timer wakes the process meanwhile.
        QEventLoop loop;
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
}

} // namespace course
