#!/usr/bin/env python3
"""Owns the system-tray selection of an X display, so that programs on it see a tray.

Nothing is embedded: tests only need the desktop to say that a tray exists. Usage:
tray_owner.py DISPLAY READY_FILE; the file is written once the selection is held, and the
selection is held until the process is ended.
"""
import ctypes
import signal
import sys

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XCreateSimpleWindow.restype = ctypes.c_ulong
x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                    ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
x11.XGetSelectionOwner.restype = ctypes.c_ulong
x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

display = x11.XOpenDisplay(sys.argv[1].encode())
if not display:
    sys.exit("cannot open display " + sys.argv[1])
screen = x11.XDefaultScreen(display)
window = x11.XCreateSimpleWindow(display, x11.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
selection = x11.XInternAtom(display, b"_NET_SYSTEM_TRAY_S%d" % screen, 0)
x11.XSetSelectionOwner(display, selection, window, 0)
x11.XSync(display, 0)
if x11.XGetSelectionOwner(display, selection) != window:
    sys.exit("the tray selection is taken")
with open(sys.argv[2], "w") as ready:
    ready.write("ready\n")
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
signal.pause()
