#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A document program as a screen reader meets it, on the real accessibility bus: a
# private D-Bus session, Xvfb, the at-spi bus launcher and registry, the program on the
# xcb platform, and pyatspi as the client. Checks that the window is a frame named by
# its title, that the labels that act are push buttons with a press action, that
# pressing 「次のページ」 through its action turns the page and puts the focus on the new
# page, whose text the reader can read, and that Tab moves the focus to a button.
# Usage: screen_reader_test.py PROGRAM_BINARY TITLE PAGE2_WORDS
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

program, title, page2_words = sys.argv[1], sys.argv[2], sys.argv[3]
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def wait_for(f, seconds=15.0, step=0.1):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            v = f()
        except Exception:  # the tree changes under the walk while the window settles
            v = None
        if v:
            return v
        time.sleep(step)
    return None


tmp = tempfile.mkdtemp(prefix="screen-reader-")
procs = []


def start(args, **kw):
    p = subprocess.Popen(args, start_new_session=True, **kw)
    procs.append(p)
    return p


def cleanup():
    for p in reversed(procs):
        try:
            os.killpg(p.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    for p in procs:
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
    shutil.rmtree(tmp, ignore_errors=True)


try:
    for tool in ("Xvfb", "dbus-daemon", "/usr/libexec/at-spi-bus-launcher", "/usr/libexec/at-spi2-registryd"):
        if not shutil.which(tool) and not os.path.exists(tool):
            print(f"{tool} is missing (scripts/setup.sh installs at-spi2-core, dbus, xvfb)", file=sys.stderr)
            sys.exit(1)
    n = next(n for n in range(400, 600)
             if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"))
    display = f":{n}"
    # -noreset: a program probes the display with a connection of its own before Qt
    # connects, and a server that resets when its last client leaves would refuse Qt.
    start(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{n}"), 10):
        print(f"Xvfb did not start on {display}", file=sys.stderr)
        sys.exit(1)
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE, text=True)
    address = bus.stdout.readline().strip()
    os.environ.update({
        "DISPLAY": display, "DBUS_SESSION_BUS_ADDRESS": address, "XDG_RUNTIME_DIR": tmp,
        "XDG_CONFIG_HOME": os.path.join(tmp, "config"), "QT_QPA_PLATFORM": "xcb",
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1", "NO_AT_BRIDGE": "0",
        "GTK_A11Y": "atspi",
    })
    os.environ.pop("AT_SPI_BUS_ADDRESS", None)
    # The registry asks the session bus for the accessibility bus, which D-Bus starts
    # (at-spi-bus-launcher), as on a desktop.
    start(["/usr/libexec/at-spi2-registryd"], stderr=subprocess.DEVNULL)
    time.sleep(0.3)
    import pyatspi  # after the bus is up: the client finds it through the session bus

    # The registry (at-spi2-registryd) is started by the accessibility bus on the first
    # request; a program that starts before it answers is never listed.
    check(wait_for(lambda: pyatspi.Registry.getDesktop(0) is not None, 10) is not None,
          "the accessibility registry answers")

    app_proc = start([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    name = os.path.basename(program)

    def application():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == name:
                return a
        return None

    app = wait_for(application, 20)
    if app is None:
        d = pyatspi.Registry.getDesktop(0)
        print("on the bus:", [d.getChildAtIndex(i).name for i in range(d.childCount)], file=sys.stderr)
    check(app is not None, f"{name} is on the accessibility bus")
    if app is None:
        sys.exit(1)

    def walk(node, depth=0):
        if node is None or depth > 30:
            return
        yield node
        for i in range(node.childCount):
            yield from walk(node.getChildAtIndex(i), depth + 1)

    def find(pred):
        for n in walk(app):
            if pred(n):
                return n
        return None

    def showing(n):
        return n.getState().contains(pyatspi.STATE_SHOWING)

    frame = wait_for(lambda: find(lambda n: n.getRole() == pyatspi.ROLE_FRAME))
    check(frame is not None and frame.name == title, f"the window is a frame named 「{title}」")

    buttons = {}
    for label in ("次のページ", "印刷"):
        b = wait_for(lambda: find(lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == label
                                  and showing(n)))
        buttons[label] = b
        check(b is not None, f"「{label}」 is a push button")
        if b is not None:
            action = b.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            check("Press" in names or "press" in names, f"「{label}」 has a press action ({names})")
            check(b.getState().contains(pyatspi.STATE_FOCUSABLE), f"「{label}」 can take the focus")

    # With no window manager, the window gets the keyboard focus from the test, as a
    # click would give it: the pointer over it, then X's input focus on it.
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    xt = ctypes.cdll.LoadLibrary("libXtst.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XFlush.argtypes = [ctypes.c_void_p]
    xt.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    xt.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
    dpy = x.XOpenDisplay(display.encode())
    if frame is not None:
        ext = frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xt.XTestFakeMotionEvent(dpy, -1, ext.x + ext.width // 2, ext.y + ext.height // 2, 0)
    root, child = ctypes.c_ulong(), ctypes.c_ulong()
    ints = [ctypes.c_int() for _ in range(4)]
    mask = ctypes.c_uint()
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
    x.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XSync(dpy, 0)
    x.XQueryPointer(dpy, x.XDefaultRootWindow(dpy), ctypes.byref(root), ctypes.byref(child),
                    *[ctypes.byref(i) for i in ints], ctypes.byref(mask))
    if child.value:
        x.XSetInputFocus(dpy, child.value, 2, 0)  # RevertToParent, CurrentTime
    x.XSync(dpy, 0)
    def focused():
        return find(lambda n: n.getState().contains(pyatspi.STATE_FOCUSED))

    first = wait_for(lambda: (lambda f: f if f is not None and f.getRole() == pyatspi.ROLE_DOCUMENT_FRAME
                              or f is not None and f.getRole() == pyatspi.ROLE_DOCUMENT_TEXT else None)(focused()))
    check(first is not None and first.name.startswith("ページ 1 "),
          f"the first page has the focus at start ({first.name if first else None})")

    go = buttons.get("次のページ")
    if go is not None:
        action = go.queryAction()
        idx = [action.getName(i).lower() for i in range(action.nActions)].index("press")
        action.doAction(idx)
        page = wait_for(lambda: (lambda f: f if f is not None and f.name.startswith("ページ 2 ") else None)(focused()))
        check(page is not None, "after pressing 「次のページ」 the second page has the focus")
        if page is not None:
            text = page.queryText()
            content = text.getText(0, -1)
            check(page2_words in content, f"the reader reads 「{page2_words}」 on the second page")

    # Tab from the page moves the focus to a button (a real key, through the X server).
    tab = x.XKeysymToKeycode(dpy, 0xFF09)
    xt.XTestFakeKeyEvent(dpy, tab, 1, 0)
    xt.XTestFakeKeyEvent(dpy, tab, 0, 0)
    x.XFlush(dpy)
    after = wait_for(lambda: (lambda f: f if f is not None and f.getRole() == pyatspi.ROLE_PUSH_BUTTON else None)(focused()), 5)
    check(after is not None, f"Tab moves the focus to a button ({after.name if after else None})")
    check(app_proc.poll() is None, "the program is still running")
finally:
    cleanup()

print(f"screen reader: {len(failures)} failures")
sys.exit(1 if failures else 0)
