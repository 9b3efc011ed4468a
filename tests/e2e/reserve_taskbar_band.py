#!/usr/bin/env python3
"""Reserves the stand-in taskbar's band of the X screen, as a desktop shell does: the root
window's _NET_WORKAREA becomes the screen below the band, and the window system places the windows
it positions itself (CW_USEDEFAULT) there, as the device places them below its taskbar.

    reserve_taskbar_band.py WIDTH HEIGHT BAND   (DISPLAY names the X server)
"""
import ctypes
import sys

XA_CARDINAL = 6
PROP_MODE_REPLACE = 0


def main():
    width, height, band = (int(v) for v in sys.argv[1:4])
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                    ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("reserve_taskbar_band: cannot open the X display")
    area = (ctypes.c_long * 4)(0, band, width, height - band)
    atom = x11.XInternAtom(display, b"_NET_WORKAREA", 0)
    x11.XChangeProperty(display, x11.XDefaultRootWindow(display), atom, XA_CARDINAL, 32, PROP_MODE_REPLACE, area, 4)
    x11.XCloseDisplay(display)


if __name__ == "__main__":
    main()
