// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A private X server (Xvfb on a display number it picks itself), a program started on
// it with its standard error read as it comes, and a client that sends input through
// the XTEST extension and measures how fast the program answers.

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

struct _XDisplay;

namespace storm {

// An X window id (Xlib's Window), kept free of Xlib's macros that clash with Qt.
using Window = unsigned long;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool ok() const { return number_ >= 0; }
    pid_t pid() const { return pid_; }
    std::string display() const { return ":" + std::to_string(number_); }
    const std::string& error() const { return error_; }

private:
    pid_t pid_ = -1;
    int number_ = -1;
    std::string error_;
};

// A program under test: its own process, standard output discarded, standard error
// collected line by line.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env);
    ~Child(); // kills the process if it still runs
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    int stderrFd() const { return err_; }
    // Reads what standard error holds now; complete lines move to `lines`.
    void drain();
    std::vector<std::string> takeLines();
    const std::string& allErrors() const { return all_; }
    // Whether the process has ended (reaps it); its wait status then.
    bool exited();
    int status() const { return status_; }

private:
    pid_t pid_ = -1;
    int err_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::string partial_, all_;
    std::vector<std::string> lines_;
};

// The environment of a program on `display`: this process's own, on X (xcb), with its
// home and configuration, cache, data and runtime folders inside `home`.
std::map<std::string, std::string> programEnvironment(const std::string& display, const std::string& home);

// How long the main thread of process `pid` (0: this process) has waited for a
// processor so far, from the scheduler's statistics; zero where they are not kept.
std::chrono::nanoseconds runQueueWait(pid_t pid);

class XClient {
public:
    explicit XClient(const std::string& display);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    bool ok() const { return dpy_ != nullptr; }
    // The viewable top-level window of process `pid`, or 0.
    Window findWindow(pid_t pid);
    // Gives `w` the keyboard focus and returns its origin on the screen.
    void focus(Window w);
    bool origin(Window w, int& x, int& y);

    void key(unsigned long keysym);
    // Presses the keys in order and releases them in reverse (Control, Shift, c).
    void chord(const std::vector<unsigned long>& keysyms);
    // The size of `w`, and its pixels in the rectangle (x, y, width, height) as
    // 0xRRGGBB values, row by row; empty when the rectangle is not inside it.
    bool size(Window w, int& width, int& height);
    std::vector<unsigned> grab(Window w, int x, int y, int width, int height);
    void click(int x, int y);
    // The window manager's close request (WM_DELETE_WINDOW).
    void closeRequest(Window w);
    // Sends _NET_WM_PING and waits for the program's answer, reading `child`'s
    // standard error meanwhile. Returns the round trip, or nothing after `limit`.
    bool ping(Window w, Child& child, Millis limit, Millis& took);

private:
    _XDisplay* dpy_ = nullptr;
    Window root_ = 0;
    unsigned long protocols_ = 0, deleteWindow_ = 0, netWmPing_ = 0, netWmPid_ = 0;
    long serial_ = 1;
};

} // namespace storm
