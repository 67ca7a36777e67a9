#include <course/shell/EventPump.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace course {

namespace {
bool gEnding = false;
std::function<void()>& endHook() {
    static std::function<void()> h;
    return h;
}
} // namespace

void DoEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool pumpUntil(SteadyTime deadline, const std::function<bool()>& cancelled) {
    auto stop = [&] { return gEnding || (cancelled && cancelled()); };
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

bool pumpUntilWoken(const std::function<bool()>& wake) {
    DoEvents();
    while (!gEnding && !(wake && wake())) {
        // Blocks until an event arrives; no timer wakes the process meanwhile.
        QEventLoop loop;
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    return !gEnding;
}

void End() {
    gEnding = true;
    if (endHook()) {
        endHook()();
        return;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

bool endRequested() { return gEnding; }
void setEndHook(std::function<void()> hook) { endHook() = std::move(hook); }
void resetEndRequest() { gEnding = false; }

} // namespace course
