#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a command on $DISPLAY and prints the seconds from exec to the MapNotify of
# its first top-level window (seen on the root window, no window manager needed).
# Then ends the command. Exit status 1 when no window is mapped within the timeout.
# Usage: time-to-map.py [--timeout S] COMMAND [ARGS…]
import ctypes
import os
import select
import signal
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("pad", ctypes.c_long * 24)]


def main(argv):
    timeout = 20.0
    if argv[:1] == ["--timeout"]:
        timeout, argv = float(argv[1]), argv[2:]
    if not argv:
        print(__doc__ or "usage: time-to-map.py COMMAND", file=sys.stderr)
        return 2
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x.XConnectionNumber.argtypes = [ctypes.c_void_p]
    x.XPending.argtypes = [ctypes.c_void_p]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    dpy = x.XOpenDisplay(None)
    if not dpy:
        print("time-to-map: cannot open the display", file=sys.stderr)
        return 2
    x.XSelectInput(dpy, x.XDefaultRootWindow(dpy), SUBSTRUCTURE_NOTIFY_MASK)
    x.XSync(dpy, 0)
    fd = x.XConnectionNumber(dpy)
    start = time.monotonic()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    mapped = None
    ev = XEvent()
    while mapped is None and time.monotonic() - start < timeout:
        if not x.XPending(dpy):
            select.select([fd], [], [], 0.05)
            continue
        x.XNextEvent(dpy, ctypes.byref(ev))
        if ev.type == MAP_NOTIFY and not ev.xmap.override_redirect:
            mapped = time.monotonic() - start
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
    if mapped is None:
        print("time-to-map: no window was mapped", file=sys.stderr)
        return 1
    print(f"{mapped:.4f}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
