// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded storms of real input against each program in a private X server (the xcb
// platform, not offscreen): key presses, clicks on the labels and elsewhere, prints,
// page changes, Escape and close requests, also while brindle and sorrel draw live.
// Invariants: no crash and no sanitizer report; the program answers every event
// within 250 ms (625 ms under the sanitizers); a document shows exactly one page and
// its arrows follow the arrow rule; Escape and close end the program unless a key's
// action is still running.
// A failure names its seed; STORM_SEED=<seed> repeats the same storm.

#include "XSession.h"

#include <engine/shell/Document.h>

#include "brindle/BrindleDocument.h"
#include "calyx/CalyxDocument.h"
#include "oriel/OrielDocument.h"
#include "quillet/QuilletDocument.h"
#include "tessera/TesseraDocument.h"

#include <QRect>
#include <QTemporaryDir>

#include <X11/keysym.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include <sys/stat.h>
#include <sys/wait.h>

namespace storm {
namespace {

constexpr int kEventsPerProgram = 2000;
// The answer a person waits for. The sanitizers' checks make every allocation and
// memory access of the program two to three times slower (a print, the slowest
// answer, takes about 100 ms plain and 220–400 ms sanitized): there the storm looks
// for memory faults and hangs, and allows its answers as much more time.
#ifdef STORM_SANITIZED
constexpr Millis kRoundTripLimit{625};
#else
constexpr Millis kRoundTripLimit{250};
#endif
// An answer later than this fails whatever the machine was doing.
constexpr Millis kHangLimit{5000};
// Start-up, and ending after Escape or close, may take longer than one answer.
constexpr Millis kStartLimit{30000};
constexpr Millis kEndLimit{10000};

struct Program {
    std::string name;
    std::string binary;
    std::unique_ptr<course::Document> doc; // null for sorrel
};

std::uint64_t seedFromEnvironment() {
    if (const char* s = std::getenv("STORM_SEED"))
        return std::strtoull(s, nullptr, 10);
    return std::random_device{}();
}

bool sanitizerReport(const std::string& err) {
    return err.find("AddressSanitizer") != std::string::npos ||
           err.find("LeakSanitizer") != std::string::npos || err.find("runtime error:") != std::string::npos;
}

// One line of the window's page state: "course-state: show page=2 shown=001 back=1 go=0".
struct PageState {
    std::string what;
    int page = -1;
    std::string shown;
    int back = -1, go = -1;
    int refusedKey = 0;
};

bool parseState(const std::string& line, PageState& s) {
    const std::string prefix = "course-state: ";
    if (line.rfind(prefix, 0) != 0)
        return false;
    std::istringstream in(line.substr(prefix.size()));
    in >> s.what;
    std::string field;
    while (in >> field) {
        const auto eq = field.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string k = field.substr(0, eq), v = field.substr(eq + 1);
        if (k == "page")
            s.page = std::stoi(v);
        else if (k == "shown")
            s.shown = v;
        else if (k == "back")
            s.back = std::stoi(v);
        else if (k == "go")
            s.go = std::stoi(v);
        else if (k == "key")
            s.refusedKey = std::stoi(v);
    }
    return true;
}

class Storm {
public:
    Storm(Program& p, std::uint64_t seed) : p_(p), seed_(seed), rng_(seed) {}

    // Runs episodes (one start of the program each) until the event budget is spent.
    void run() {
        Xvfb x;
        ASSERT_TRUE(x.ok()) << x.error();
        XClient c(x.display());
        ASSERT_TRUE(c.ok()) << "no X connection or no XTEST on " << x.display();
        display_ = x.display();
        xvfbPid_ = x.pid();
        client_ = &c;
        const auto t0 = Clock::now();
        while (events_ < kEventsPerProgram && !failed_)
            episode();
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("storm %s: seed %llu, %d events in %d runs, %.1f s; slowest answer %lld ms (%s)\n",
                    p_.name.c_str(), static_cast<unsigned long long>(seed_), events_, episodes_, wall,
                    static_cast<long long>(slowest_.count()), slowestAfter_.c_str());
        EXPECT_GE(events_, kEventsPerProgram);
    }

private:
    bool document() const { return p_.doc != nullptr; }
    int pages() const { return p_.doc->settings().pages; }

    void fail(const std::string& what) {
        if (failed_)
            return;
        failed_ = true;
        std::string err = child_ ? child_->allErrors() : std::string();
        if (err.size() > 6000)
            err = err.substr(0, 6000) + "\n…";
        ADD_FAILURE() << p_.name << ": " << what << "\n  seed " << seed_ << " (STORM_SEED=" << seed_
                      << " repeats it), run " << episodes_ << ", event " << events_ << " (" << last_
                      << ")\n  standard error:\n"
                      << err;
    }

    std::vector<std::string> arguments(bool slow) {
        std::vector<std::string> a = {p_.binary};
        // Half of the runs open at a page of their own (brindle's last one starts live).
        if (document() && rng_() % 2 == 0) {
            a.push_back("--page");
            a.push_back(std::to_string(1 + rng_() % unsigned(pages())));
        }
        if (p_.name == "brindle") {
            a.push_back("--speed");
            a.push_back(slow ? "8" : "16");
        } else if (p_.name == "sorrel") {
            a.push_back("--speed");
            a.push_back(slow ? "8" : "16");
        }
        return a;
    }

    std::map<std::string, std::string> environment(const QTemporaryDir& home) {
        // Printed pages and anything else the program writes land in the temporary home;
        // no printer is reachable, so a print is saved there as a PDF.
        const std::string dir = home.path().toStdString();
        std::map<std::string, std::string> env = programEnvironment(display_, dir);
        env["COURSE_STATE_TRACE"] = "1";
        env["CUPS_SERVER"] = dir + "/no-cups-here";
        // Leaks of system libraries at exit are not the program's.
        const std::string supp = "suppressions=" STORM_LEAK_SUPPRESSIONS;
        env["LSAN_OPTIONS"] = env.count("LSAN_OPTIONS") ? env["LSAN_OPTIONS"] + ":" + supp : supp;
        // The download label's browser: a stand-in that does nothing.
        env["PATH"] = dir + "/bin:" + env["PATH"];
        return env;
    }

    static void writeBrowserStandIn(const QTemporaryDir& home) {
        const std::string bin = home.path().toStdString() + "/bin";
        ::mkdir(bin.c_str(), 0700);
        for (const char* name : {"xdg-open", "x-www-browser", "sensible-browser"}) {
            const std::string path = bin + "/" + name;
            std::ofstream(path) << "#!/bin/sh\nexit 0\n";
            ::chmod(path.c_str(), 0700);
        }
    }

    void checkLines() {
        for (const std::string& line : child_->takeLines()) {
            PageState s;
            if (!parseState(line, s))
                continue;
            if (s.what == "refused") {
                if (s.refusedKey == 27)
                    escapeRefused_ = true;
                continue;
            }
            if (s.what == "load")
                loaded_ = true;
            if (s.what == "show")
                switched_ = true;
            const int visible = int(std::count(s.shown.begin(), s.shown.end(), '1'));
            if (visible != 1 || int(s.shown.size()) != pages() || s.shown[std::size_t(s.page)] != '1')
                return fail("not exactly the current page visible: " + line);
            // Until the first switch both arrows show, as designed; then the arrow rule.
            const int back = switched_ ? int(s.page > 0) : 1;
            const int go = switched_ ? int(s.page < pages() - 1) : 1;
            if (s.back != back || s.go != go)
                return fail("arrows break the arrow rule: " + line);
        }
        if (sanitizerReport(child_->allErrors())) {
            // The whole report, which the sanitizer ends by ending the program.
            const auto end = Clock::now() + kEndLimit;
            while (!child_->exited() && Clock::now() < end)
                ::usleep(10000);
            fail("sanitizer report");
        }
    }

    // Time the program, the X server and this test spent waiting for a processor.
    std::chrono::nanoseconds queued() const {
        return runQueueWait(child_->pid()) + runQueueWait(xvfbPid_) + runQueueWait(0);
    }

    // Pings the program. Its answer counts without the time the three processes on its
    // way waited for a processor: on a busy machine that is not the program's doing.
    bool answered() {
        Millis took{0};
        const auto queuedBefore = queued();
        if (!client_->ping(window_, *child_, kHangLimit, took)) {
            if (child_->exited())
                fail("the program ended unasked");
            else
                fail("no answer within " + std::to_string(kHangLimit.count()) + " ms");
            return false;
        }
        const auto waited = std::chrono::duration_cast<Millis>(queued() - queuedBefore);
        const Millis own = std::max(Millis(0), took - waited);
        if (own > slowest_) {
            slowest_ = own;
            slowestAfter_ = previous_ + ", then " + last_ + " (" + std::to_string(took.count()) +
                            " ms with " + std::to_string(waited.count()) + " ms waiting for a processor)";
        }
        previous_ = last_;
        if (own > kRoundTripLimit)
            fail("answered after " + std::to_string(own.count()) + " ms (" + std::to_string(took.count()) +
                 " ms, of which " + std::to_string(waited.count()) + " ms waiting for a processor)");
        checkLines();
        return !failed_;
    }

    // Waits for the program to end after Escape or close; false when Escape was refused
    // because a key's action is still running.
    bool ended(bool byEscape) {
        const auto end = Clock::now() + kEndLimit;
        while (Clock::now() < end) {
            if (child_->exited()) {
                checkLines();
                const int st = child_->status();
                if (!WIFEXITED(st) || WEXITSTATUS(st) != 0)
                    fail("ended with wait status " + std::to_string(st));
                return true;
            }
            checkLines();
            if (failed_)
                return true;
            if (byEscape && escapeRefused_) {
                escapeRefused_ = false;
                return false;
            }
            ::usleep(2000);
        }
        fail(byEscape ? "Escape did not end the program" : "closing did not end the program");
        return true;
    }

    bool start(bool slow) {
        home_ = std::make_unique<QTemporaryDir>();
        writeBrowserStandIn(*home_);
        auto env = environment(*home_);
        child_ = std::make_unique<Child>(arguments(slow), env);
        loaded_ = switched_ = escapeRefused_ = false;
        const auto end = Clock::now() + kStartLimit;
        window_ = 0;
        while (Clock::now() < end && !window_) {
            if (child_->exited()) {
                fail("the program ended while starting");
                return false;
            }
            window_ = client_->findWindow(child_->pid());
            ::usleep(10000);
        }
        if (!window_) {
            fail("no window appeared");
            return false;
        }
        client_->focus(window_);
        client_->origin(window_, ox_, oy_);
        Millis took{0};
        while (Clock::now() < end &&
               !(client_->ping(window_, *child_, Millis(1000), took) && (loaded_ || !document()))) {
            checkLines();
            if (child_->exited() || failed_) {
                fail("the program ended while starting");
                return false;
            }
        }
        checkLines();
        if (document() && !loaded_) {
            fail("the pages were not drawn in time");
            return false;
        }
        return !failed_;
    }

    QRect labelRect(const course::TwipsRect& r) const { return r.pixels(); }

    void clickAt(QPoint p, const std::string& what) {
        last_ = what;
        client_->click(ox_ + p.x(), oy_ + p.y());
    }
    QPoint inside(const QRect& r) {
        return QPoint(r.left() + int(rng_() % unsigned(std::max(1, r.width()))),
                      r.top() + int(rng_() % unsigned(std::max(1, r.height()))));
    }

    // One random event; returns false when it was Escape or close.
    bool randomEvent() {
        struct Key {
            unsigned long sym;
            const char* name;
        };
        static const Key keys[] = {{XK_Up, "Up"},        {XK_Down, "Down"},   {XK_BackSpace, "Backspace"},
                                   {XK_Return, "Enter"}, {XK_space, "Space"}, {XK_Left, "Left"},
                                   {XK_Right, "Right"},  {XK_Home, "Home"},   {XK_End, "End"},
                                   {XK_a, "a"},          {XK_Tab, "Tab"}};
        // F1 and Print print the window in tessera: rarer, as prints take longest.
        static const Key printKeys[] = {{XK_F1, "F1"}, {XK_Print, "Print"}};
        const unsigned r = rng_() % 1000;
        const QRect client(0, 0, 780, 700);
        if (r < 4) {
            last_ = "Escape";
            client_->key(XK_Escape);
            return false;
        }
        if (r < 8) {
            last_ = "close";
            client_->closeRequest(window_);
            return false;
        }
        if (r < 13) {
            const Key& k = printKeys[rng_() % 2];
            last_ = std::string("key ") + k.name;
            client_->key(k.sym);
            return true;
        }
        if (r < 500) {
            const Key& k = keys[rng_() % (sizeof keys / sizeof keys[0])];
            last_ = std::string("key ") + k.name;
            client_->key(k.sym);
            return true;
        }
        if (document()) {
            const course::DocumentLayout& L = p_.doc->settings().layout;
            if (r < 690)
                clickAt(inside(labelRect(L.cmdGo)), "click ↓");
            else if (r < 855)
                clickAt(inside(labelRect(L.cmdBack)), "click ↑");
            else if (r < 870)
                clickAt(inside(labelRect(L.cmdPrint)), "click 印刷");
            else if (r < 920)
                clickAt(inside(labelRect(L.title)), "click title");
            else
                clickAt(inside(client), "click elsewhere");
        } else {
            // sorrel: its download label (shown once the run is over) and anywhere.
            if (r < 700)
                clickAt(inside(QRect(7305 / 15, 240 / 15, 4560 / 15, 345 / 15)), "click download label");
            else
                clickAt(inside(client), "click elsewhere");
        }
        return true;
    }

    void episode() {
        ++episodes_;
        const bool slow = episodes_ % 2 == 1;
        if (!start(slow))
            return;
        const int budget = 150 + int(rng_() % 350);
        bool running = true;
        for (int i = 0; i < budget && running && !failed_ && events_ < kEventsPerProgram; ++i) {
            ++events_;
            const bool ordinary = randomEvent();
            if (!ordinary) {
                const bool byEscape = last_ == "Escape";
                running = !ended(byEscape);
                if (running && !answered())
                    return;
                continue;
            }
            if (!answered())
                return;
        }
        if (!running || failed_)
            return;
        // End the run: Escape (which a key's running action may refuse), then close.
        ++events_;
        last_ = "Escape at the end";
        client_->key(XK_Escape);
        if (ended(true))
            return;
        ++events_;
        last_ = "close at the end";
        client_->closeRequest(window_);
        ended(false);
    }

    Program& p_;
    const std::uint64_t seed_;
    std::mt19937_64 rng_;
    std::string display_;
    XClient* client_ = nullptr;
    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<Child> child_;
    Window window_ = 0;
    pid_t xvfbPid_ = 0;
    int ox_ = 0, oy_ = 0;
    bool loaded_ = false, switched_ = false, escapeRefused_ = false, failed_ = false;
    int events_ = 0, episodes_ = 0;
    Millis slowest_{0};
    std::string slowestAfter_, previous_;
    std::string last_ = "start";
};

void storm(const std::string& name, const std::string& binary, std::unique_ptr<course::Document> doc) {
    const std::uint64_t seed = seedFromEnvironment();
    Program p{name, binary, std::move(doc)};
    Storm s(p, seed);
    s.run();
}

} // namespace
} // namespace storm

TEST(Storm, Tessera) { storm::storm("tessera", TESSERA_BINARY, tessera::makeDocument()); }
TEST(Storm, Quillet) { storm::storm("quillet", QUILLET_BINARY, quillet::makeDocument()); }
TEST(Storm, Brindle) { storm::storm("brindle", BRINDLE_BINARY, brindle::makeDocument()); }
TEST(Storm, Oriel) { storm::storm("oriel", ORIEL_BINARY, oriel::makeDocument()); }
TEST(Storm, Calyx) { storm::storm("calyx", CALYX_BINARY, calyx::makeDocument()); }
TEST(Storm, Sorrel) { storm::storm("sorrel", SORREL_BINARY, nullptr); }
