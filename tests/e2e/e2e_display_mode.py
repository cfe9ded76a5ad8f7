"""Scenarios of velun-saver as a display mode of XScreenSaver (X11 only): rows of the
one table of scenarios in e2e.py, run against the Linux program.

They draw into windows of velun-test-window (a stand-in for the window XScreenSaver
makes for a mode, --test-window) and run the .deb that the package test unpacked
(--deb-root); xscreensaver_session.py runs XScreenSaver itself.
"""
import contextlib
import os
import subprocess
import sys
import time
from pathlib import Path

import e2e
from e2e import SCREEN_HEIGHT, SCREEN_WIDTH, SETTINGS_DEFAULTS, check, check_centred, wait_for_rest


@contextlib.contextmanager
def environment(s, **values):
    """Programs started in the block see these environment variables as well."""
    s.env.update(values)
    try:
        yield
    finally:
        for name in values:
            s.env.pop(name, None)


def cpu_seconds(process):
    """User and system time the process has used so far."""
    fields = Path(f"/proc/{process.pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def check_dark_red(shot, box):
    colours = shot.colours(box)
    reds = [c for c in colours if c[1] <= 8 and c[2] <= 8]
    check(len(reds) >= 0.98 * len(colours), f"not all ink is dark red: {sorted(colours)[:10]}")


def check_input_ends_nothing(s, process, shot, where):
    """Keys (S included) and movements reach a display mode's window but end nothing,
    freeze nothing and change nothing on the screen: XScreenSaver owns the input."""
    left, top, right, bottom = where
    for x, y in ((left + 10, top + 10), (right - 10, bottom - 10), ((left + right) // 2, top + 40)):
        s.mouse_to(x, y)
        time.sleep(0.1)
    for key in ("x", "Escape", "s", "shift"):
        s.key(key)
    time.sleep(1)
    check(process.poll() is None, f"input ended the display mode (status {process.returncode})")
    after = s.shot("after-input")
    check(after.pixels == shot.pixels, "input changed the screen (a frozen notice?)")


def end_with_sigterm(s, process, expected_store=None):
    s.terminate(process)
    check(s.wait_exit(process, 5), "SIGTERM did not end the display mode")
    check(process.returncode == 0, f"status {process.returncode} after SIGTERM")
    if expected_store is not None:
        check(s.store_texts() == expected_store, f"settings stored: {s.store_texts()}")


def store_for_display_mode(s, **fonts):
    """A store whose verse pops on and stays a minute, so that nothing on the screen
    changes while a scenario looks at it; the texts saved at the end."""
    s.store_clear()
    stored = {**SETTINGS_DEFAULTS, ("Animation", "type"): "5", ("Time", "Delay"): "60000"}
    stored.update({("Fonts", key): text for key, text in fonts.items()})
    for (section, key), text in stored.items():
        s.store_set(section, key, text)
    return stored


def painted_over(shot, rect):
    """The window's blue is painted over in black, with some dark-red ink on it."""
    left, top, right, bottom = rect
    corners = [shot.pixel(x, y) for x in (left, right - 1) for y in (top, bottom - 1)]
    box = shot.ink_box(region=rect)
    if any(corner != (0, 0, 0) for corner in corners) or box is None:
        return False
    colours = shot.colours(box)
    return all(c[1] <= 8 and c[2] <= 8 for c in colours)


def check_centred_in(box, rect):
    # A verse whose ink is cut off by the window's top or bottom edge shows only in
    # part: its visible ink says nothing of where its middle is.
    cut = box[1] <= rect[1] + 1 or box[3] >= rect[3] - 1
    check(abs((box[0] + box[2]) / 2 - (rect[0] + rect[2]) / 2) <= 20
          and (cut or abs((box[1] + box[3]) / 2 - (rect[1] + rect[3]) / 2) <= 15),
          f"verse {box} not centred in the window {rect}")


def child_windows(s, window):
    """(width, height, x, y) of each child window of an X window."""
    out = subprocess.run(["xwininfo", "-children", "-id", window], env=s.env,
                         stdout=subprocess.PIPE, check=True).stdout.decode()
    children = []
    for line in out.splitlines():
        line = line.strip()
        if line.startswith("0x") and ")" in line:
            geometry = line.rsplit(")", 1)[1].split()[0]  # WxH+X+Y
            size, x, y = geometry.replace("-", "+-").split("+")[:3]
            width, height = map(int, size.split("x"))
            children.append((width, height, int(x), int(y)))
    return children


def case_display_mode_root(s):
    """-root (XScreenSaver's switch, no window given): the verse centred over the whole
    root window in dark red; keys and movements end nothing; SIGTERM saves and ends
    with status 0."""
    stored = store_for_display_mode(s)
    s.mouse_to(640, 512)
    process = s.start("-root")
    shot, box = wait_for_rest(s, "root")
    print(f"verse ink {box}")
    check_centred(box)
    check_dark_red(shot, box)
    check_input_ends_nothing(s, process, shot, (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT))
    end_with_sigterm(s, process, stored)


def case_display_mode_window(s):
    """XSCREENSAVER_WINDOW set to a window another program made: the saver draws in it
    at its size and nowhere else, input ends nothing, and it sleeps between verses.
    One saver per window: a second on the same window ends at once, one on another
    window (XScreenSaver's mode on a second monitor) runs beside it. A window id that
    names no window ends the program with status 1."""
    stored = store_for_display_mode(s, **{"Font Size": "16"})
    rect = (240, 212, 1040, 812)
    window = s.test_window(800, 600, 240, 212)
    with environment(s, XSCREENSAVER_WINDOW=window):
        process = s.start("-root")
    shot, box = wait_for_rest(s, "window")
    print(f"window {window} at {rect}; verse ink {box}; children {child_windows(s, window)}")
    check(child_windows(s, window) == [(800, 600, 0, 0)],
          "the saver's window does not fill the given window")
    left, top, right, bottom = rect
    check(box[0] > left and box[1] > top and box[2] < right and box[3] < bottom,
          f"ink outside the verse's place (the window not painted over?): {box}")
    for x, y in ((left, top), (right - 1, bottom - 1), (left, bottom - 1)):
        check(shot.pixel(x, y) == (0, 0, 0), f"the window is not black at ({x}, {y})")
    check_centred_in(box, rect)
    check_dark_red(shot, box)
    check_input_ends_nothing(s, process, shot, rect)

    before = cpu_seconds(process)
    time.sleep(3)
    idle = cpu_seconds(process) - before
    print(f"CPU between verses: {idle:.2f} s in 3 s")
    check(idle <= 0.15, f"the display mode does not sleep between verses: {idle:.2f} s CPU in 3 s")

    second = s.start("-window-id", window)
    check(s.wait_exit(second, 5) and second.returncode == 0,
          "a second saver on the same window did not end at once with status 0")
    other, other_rect = s.test_window(320, 240, 20, 20), (20, 20, 340, 260)
    beside = s.start("-window-id", other)
    deadline = time.monotonic() + 10
    while not painted_over(s.shot("beside"), other_rect):
        check(time.monotonic() < deadline, "the second window shows no verse on black")
        time.sleep(0.3)
    check(beside.poll() is None, "the saver on the second window ended")
    missing = s.start("-window-id", "0x1ffffff")
    check(s.wait_exit(missing, 5) and missing.returncode == 1,
          f"a window id of no window: status {missing.returncode}")
    end_with_sigterm(s, beside)
    end_with_sigterm(s, process, stored)


def case_display_mode_deb(s):
    """The .deb unpacked with dpkg-deb into a temporary root: run through its bin/
    link, the program takes the folder of its real path, finds the verse file there
    and draws a verse (a missing one would end it with error 53 on standard error).
    On a screen of 192 DPI (two device pixels a pixel) it still fills the window
    exactly and centres the verse in it."""
    link = s.deb_root / "usr" / "bin" / "velun-saver"
    check(link.is_symlink(), f"no bin/ link in the unpacked package: {link}")
    folder = (s.deb_root / "usr" / "lib" / "velun-saver").resolve()
    shown = subprocess.run([str(link), "--help"], env=s.env, stdout=subprocess.PIPE,
                           check=True).stdout.decode()
    check(f"Verses:   {folder}/finalvelun.txt" in shown, f"--help shows no verses at {folder}")
    # The smallest font, so that at two device pixels a pixel nearly every verse
    # fits in the window whole.
    stored = store_for_display_mode(s, **{"Font Size": "8"})
    window, rect = s.test_window(800, 600, 240, 212), (240, 212, 1040, 812)
    with s.screen_dpi(192):
        process = s.start("-window-id", window, program=link)
    shot, box = wait_for_rest(s, "from-deb")
    check(process.poll() is None, "the packaged program ended")
    check(child_windows(s, window) == [(800, 600, 0, 0)],
          f"the saver's window is not the given window's size: {child_windows(s, window)}")
    check(painted_over(shot, rect), f"no verse on black in the window: {box}")
    check_centred_in(box, rect)
    end_with_sigterm(s, process, stored)


def case_xscreensaver(s):
    """XScreenSaver itself, with only velun-saver (through its link in XScreenSaver's
    folder of modes, from the unpacked .deb) in ~/.xscreensaver: activated, it runs the
    mode in its own window, which shows a centred verse; a key press wakes the screen
    and XScreenSaver ends the mode with SIGTERM, which saves the settings."""
    from native_driver import read_ini, write_ini
    from xscreensaver_session import XScreenSaverSession
    session = XScreenSaverSession(s.env["DISPLAY"], s.deb_root,
                                  "usr/libexec/xscreensaver/velun-saver")
    try:
        # Two of the eleven settings stored: the end saves all of them.
        chosen = {("Animation", "type"): "5", ("Time", "Delay"): "60000"}
        session.write_settings(write_ini(chosen))
        session.start()
        activated = session.command("-activate")
        check(activated.returncode == 0, f"xscreensaver-command -activate: {activated.stdout}")
        check(session.wait_for_mode(True), "XScreenSaver did not start velun-saver")
        window = session.mode_window()
        shot, box = wait_for_rest(s, "xscreensaver")
        children = child_windows(s, window)
        print(f"XScreenSaver's window {window}, its children {children}; verse ink {box}")
        check(children == [(SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0)],
              "velun-saver does not draw in XScreenSaver's window at its size")
        check_centred(box)
        check_dark_red(shot, box)
        check(read_ini(session.settings_file.read_text()) == chosen,
              "settings written before the end")
        s.key("x")
        check(session.wait_for_mode(False), "a key did not end the mode through XScreenSaver")
        saved = read_ini(session.settings_file.read_text())
        check(saved == {**SETTINGS_DEFAULTS, **chosen}, f"settings saved at the end: {saved}")
    finally:
        session.stop(keep_log=s.logs / "xscreensaver.log")


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}
e2e.add_scenarios([(name, f, (e2e.NATIVE,)) for name, f in CASES.items()])

if __name__ == "__main__":
    sys.exit(e2e.main())
