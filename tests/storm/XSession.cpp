// SPDX-License-Identifier: GPL-3.0-or-later
#include "XSession.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace storm {

namespace {

// Waits until `pid` has ended, at most `limit`; kills it when it has not.
void stop(pid_t pid, int signal) {
    if (pid <= 0)
        return;
    ::kill(pid, signal);
    const auto end = Clock::now() + Millis(3000);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return;
        }
        ::usleep(5000);
    }
}

std::vector<char*> cstrings(std::vector<std::string>& v) {
    std::vector<char*> out;
    for (std::string& s : v)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

} // namespace

Xvfb::Xvfb() {
    int fds[2];
    if (::pipe(fds) != 0) {
        error_ = "pipe failed";
        return;
    }
    // Xvfb picks a free display number and writes it to descriptor 3.
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 3);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {"Xvfb",         "-displayfd", "3",   "-screen", "0",
                                     "1280x1024x24", "-nolisten",  "tcp", "-noreset"};
    std::vector<char*> argv = cstrings(args);
    const int rc = posix_spawnp(&pid_, "Xvfb", &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        pid_ = -1;
        error_ = std::string("cannot start Xvfb: ") + std::strerror(rc);
        return;
    }
    std::string text;
    const auto end = Clock::now() + Millis(15000);
    while (text.find('\n') == std::string::npos && Clock::now() < end) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buf[32];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, std::size_t(n));
    }
    ::close(fds[0]);
    if (text.find('\n') == std::string::npos) {
        error_ = "Xvfb did not report its display number";
        return;
    }
    number_ = std::stoi(text);
}

Xvfb::~Xvfb() { stop(pid_, SIGTERM); }

std::map<std::string, std::string> programEnvironment(const std::string& display, const std::string& home) {
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string kv = *e;
        const auto eq = kv.find('=');
        if (eq != std::string::npos)
            env[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    env.erase("WAYLAND_DISPLAY");
    env["DISPLAY"] = display;
    env["QT_QPA_PLATFORM"] = "xcb";
    env["HOME"] = home;
    env["XDG_CONFIG_HOME"] = home + "/config";
    env["XDG_CACHE_HOME"] = home + "/cache";
    env["XDG_DATA_HOME"] = home + "/data";
    env["XDG_RUNTIME_DIR"] = home;
    return env;
}

Child::Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> envs;
    for (const auto& [k, v] : env)
        envs.push_back(k + "=" + v);
    std::vector<std::string> args = argv;
    std::vector<char*> a = cstrings(args), e = cstrings(envs);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 2);
    if (posix_spawn(&pid_, a[0], &fa, nullptr, a.data(), e.data()) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(fds[1]);
    err_ = fds[0];
    ::fcntl(err_, F_SETFL, ::fcntl(err_, F_GETFL) | O_NONBLOCK);
}

Child::~Child() {
    if (!reaped_)
        stop(pid_, SIGKILL);
    if (err_ >= 0)
        ::close(err_);
}

void Child::drain() {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(err_, buf, sizeof buf);
        if (n <= 0)
            break;
        all_.append(buf, std::size_t(n));
        partial_.append(buf, std::size_t(n));
    }
    std::size_t nl;
    while ((nl = partial_.find('\n')) != std::string::npos) {
        lines_.push_back(partial_.substr(0, nl));
        partial_.erase(0, nl + 1);
    }
}

std::vector<std::string> Child::takeLines() {
    drain();
    std::vector<std::string> out;
    out.swap(lines_);
    return out;
}

bool Child::exited() {
    if (reaped_)
        return true;
    if (pid_ <= 0)
        return true;
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        reaped_ = true;
        drain();
    }
    return reaped_;
}

std::chrono::nanoseconds runQueueWait(pid_t pid) {
    if (pid == 0)
        pid = ::getpid();
    const std::string path = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/schedstat";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return {};
    unsigned long long running = 0, waiting = 0;
    const int n = std::fscanf(f, "%llu %llu", &running, &waiting);
    std::fclose(f);
    return std::chrono::nanoseconds(n == 2 ? waiting : 0);
}

XClient::XClient(const std::string& display) {
    dpy_ = XOpenDisplay(display.c_str());
    if (!dpy_)
        return;
    int ev, err, major, minor;
    if (!XTestQueryExtension(dpy_, &ev, &err, &major, &minor)) {
        XCloseDisplay(dpy_);
        dpy_ = nullptr;
        return;
    }
    root_ = DefaultRootWindow(dpy_);
    protocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    deleteWindow_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", False);
    netWmPing_ = XInternAtom(dpy_, "_NET_WM_PING", False);
    netWmPid_ = XInternAtom(dpy_, "_NET_WM_PID", False);
    // Answers to pings are sent to the root window.
    XSelectInput(dpy_, root_, StructureNotifyMask);
    XSync(dpy_, False);
}

XClient::~XClient() {
    if (dpy_)
        XCloseDisplay(dpy_);
}

Window XClient::findWindow(pid_t pid) {
    Window rootRet, parent, *children = nullptr;
    unsigned n = 0;
    Window best = 0;
    long bestArea = 0;
    if (!XQueryTree(dpy_, root_, &rootRet, &parent, &children, &n))
        return 0;
    for (unsigned i = 0; i < n; ++i) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, children[i], netWmPid_, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &after, &data) != Success ||
            !data)
            continue;
        const long owner = items == 1 ? *reinterpret_cast<long*>(data) : -1;
        XFree(data);
        XWindowAttributes a;
        if (owner != pid || !XGetWindowAttributes(dpy_, children[i], &a) || a.map_state != IsViewable)
            continue;
        if (long(a.width) * a.height > bestArea) {
            bestArea = long(a.width) * a.height;
            best = children[i];
        }
    }
    if (children)
        XFree(children);
    return best;
}

void XClient::focus(Window w) {
    XSetInputFocus(dpy_, w, RevertToPointerRoot, CurrentTime);
    XFlush(dpy_);
}

bool XClient::origin(Window w, int& x, int& y) {
    Window child;
    return XTranslateCoordinates(dpy_, w, root_, 0, 0, &x, &y, &child);
}

void XClient::key(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(dpy_, keysym);
    XTestFakeKeyEvent(dpy_, code, True, 0);
    XTestFakeKeyEvent(dpy_, code, False, 0);
    XFlush(dpy_);
}

bool XClient::size(Window w, int& width, int& height) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy_, w, &a))
        return false;
    width = a.width;
    height = a.height;
    return true;
}

std::vector<unsigned> XClient::grab(Window w, int x, int y, int width, int height) {
    std::vector<unsigned> px;
    XImage* img = XGetImage(dpy_, w, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!img)
        return px;
    px.reserve(std::size_t(width) * std::size_t(height));
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            px.push_back(unsigned(XGetPixel(img, i, j) & 0xFFFFFF));
    XDestroyImage(img);
    return px;
}

void XClient::chord(const std::vector<unsigned long>& keysyms) {
    for (unsigned long k : keysyms)
        XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, k), True, 0);
    for (auto k = keysyms.rbegin(); k != keysyms.rend(); ++k)
        XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, *k), False, 0);
    XFlush(dpy_);
}

void XClient::click(int x, int y) {
    XTestFakeMotionEvent(dpy_, -1, x, y, 0);
    XTestFakeButtonEvent(dpy_, 1, True, 0);
    XTestFakeButtonEvent(dpy_, 1, False, 0);
    XFlush(dpy_);
}

void XClient::closeRequest(Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols_;
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(deleteWindow_);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy_, w, False, NoEventMask, &e);
    XFlush(dpy_);
}

bool XClient::ping(Window w, Child& child, Millis limit, Millis& took) {
    const long id = ++serial_;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols_;
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(netWmPing_);
    e.xclient.data.l[1] = id;
    e.xclient.data.l[2] = long(w);
    const auto start = Clock::now();
    XSendEvent(dpy_, w, False, NoEventMask, &e);
    XFlush(dpy_);
    const auto end = start + limit;
    for (;;) {
        while (XPending(dpy_)) {
            XEvent r;
            XNextEvent(dpy_, &r);
            if (r.type == ClientMessage && Atom(r.xclient.data.l[0]) == netWmPing_ &&
                r.xclient.data.l[1] == id) {
                took = std::chrono::duration_cast<Millis>(Clock::now() - start);
                return true;
            }
        }
        const auto now = Clock::now();
        if (now >= end)
            return false;
        pollfd p[2] = {{ConnectionNumber(dpy_), POLLIN, 0}, {child.stderrFd(), POLLIN, 0}};
        const int wait = int(std::chrono::duration_cast<Millis>(end - now).count()) + 1;
        ::poll(p, 2, std::min(wait, 50));
        child.drain();
        if (child.exited())
            return false;
    }
}

} // namespace storm
