#!/usr/bin/env python3
"""Measures the time from launching the editor to its main window being mapped.

Run under an X server (DISPLAY set), with or without a window manager:

    tools/startup_time.py [--runs N] build/release/app/kelvara [ARGS...]

The clock starts just before the program is launched and stops when the X
server reports the first window mapped on the screen (the editor's window,
or the window manager's frame around it), so it includes loading the
program and its libraries. Each run gets a settings file of its own in a
temporary folder; the program is closed after each run. Prints every run
and the median, in milliseconds.

On a busy machine the wall-clock time mostly measures waiting for a CPU, so
each run also says how long the program's main thread had run on a CPU by
then and how long it had waited for one (the kernel's schedstat); the time
on a CPU is the figure that carries over to an idle machine.
"""
import ctypes
import ctypes.util
import os
import select
import statistics
import subprocess
import sys
import tempfile
import time

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
MAP_NOTIFY = 19


def main_thread_times(pid):
    """Milliseconds the main thread has run on a CPU and waited for one."""
    try:
        with open(f"/proc/{pid}/schedstat") as f:
            ran, waited = f.read().split()[:2]
        return int(ran) / 1e6, int(waited) / 1e6
    except (OSError, ValueError):
        return None, None


def measure_once(xlib, display, command, env):
    event = (ctypes.c_long * 24)()
    while xlib.XPending(display):  # forget what came before
        xlib.XNextEvent(display, event)
    fd = xlib.XConnectionNumber(display)
    start = time.monotonic()
    program = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    mapped = None
    ran = waited = None
    try:
        while mapped is None and time.monotonic() - start < 10:
            if not xlib.XPending(display):
                select.select([fd], [], [], 0.05)
                continue
            xlib.XNextEvent(display, event)
            if ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == MAP_NOTIFY:
                mapped = (time.monotonic() - start) * 1000.0
                ran, waited = main_thread_times(program.pid)
    finally:
        time.sleep(0.5)
        program.terminate()
        program.wait(timeout=10)
    return mapped, ran, waited


def main():
    args = sys.argv[1:]
    runs = 5
    if len(args) >= 2 and args[0] == "--runs":
        runs = int(args[1])
        args = args[2:]
    if not args:
        print(__doc__.strip())
        return 2
    xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XPending.argtypes = [ctypes.c_void_p]
    xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    xlib.XConnectionNumber.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        print("startup_time: cannot open the X display", file=sys.stderr)
        return 1
    xlib.XSelectInput(display, xlib.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    xlib.XSync(display, 0)

    times = []
    cpu = []
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, KELVARA_SETTINGS=os.path.join(folder, "klv.ini"))
        for run in range(runs):
            ms, ran, waited = measure_once(xlib, display, args, env)
            if ms is None:
                print(f"run {run + 1}: no window mapped within 10 s", file=sys.stderr)
                return 1
            times.append(ms)
            line = f"run {run + 1}: window mapped after {ms:.0f} ms"
            if ran is not None:
                cpu.append(ran)
                line += f" (main thread {ran:.0f} ms on a CPU, {waited:.0f} ms waiting for one)"
            print(line)
    print(f"median: {statistics.median(times):.0f} ms over {runs} runs")
    if cpu:
        print(f"median main-thread CPU time to the mapped window: {statistics.median(cpu):.0f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
