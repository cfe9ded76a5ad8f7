#!/usr/bin/env python3
"""End-to-end tests of the saver in a private Xvfb display: velun.scr under Wine and
velun-saver, the Linux program, share one table of scenarios (SCENARIOS, at the end).

    e2e.py --work DIR --scr velun.scr --verses finalvelun.txt --inspector velun-inspector.exe setup
    e2e.py --program native --work DIR --saver velun-saver --verses finalvelun.txt setup
    e2e.py ... case NAME      (one scenario; exit status 0 when it passed)
    e2e.py ... teardown
    e2e.py --program wine|native list     (the scenarios of that program)

Further scenarios live in files beside this one (SCENARIO_FILES, e.g. e2e_prefs.py
for the preferences dialog, e2e_display_mode.py for XScreenSaver's display mode) and
add their rows to the same table with add_scenarios:
(name, function, programs), programs being (WINE,), (NATIVE,) or BOTH.

A scenario is written once against a driver: Session below for Wine, NativeSession
(native_driver.py) for velun-saver. Both offer the same operations where the steps
are the same (start, saver_window, message_box, press_ok, store_*, key, mouse_to,
shot, folder_with, path_text, run_briefly); s.kind tells a scenario which program it
drives where the checks differ.

For Wine, `setup` starts Xvfb (a free display number), makes or reuses the throw-away
Wine prefix DIR/wineprefix (Managed=N so that closing windows does not wait for a
window manager; "Traditional Arabic" replaced by ARABIC_FONT) and keeps
one wineserver alive (`wineserver -p`) for every case; `teardown` ends both.
Screenshots are kept in DIR/shots.
"""
import argparse
import contextlib
import importlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
SETTINGS_DEFAULTS = {
    ("Fonts", "Font Name"): "Traditional Arabic",
    ("Fonts", "Font Size"): "30",
    ("Fonts", "Font Color"): "128",
    ("Fonts", "Font Bold"): "False",
    ("Fonts", "Font Italic"): "False",
    ("Fonts", "Font Strikethru"): "False",
    ("Fonts", "Font Underline"): "False",
    ("Verse Selection", "type"): "3",
    ("Animation", "type"): "1000",
    ("Animation", "Speed"): "600",
    ("Time", "Delay"): "10000",
}
REG_SZ = 1
# "Traditional Arabic" is not on Linux. Wine 8's Uniscribe corrupts its heap on
# some of the sample verses in Noto Naskh Arabic and Noto Sans Arabic (marks on
# lam-lam ligatures: "Unknown Anchor Format") and crashes in KacstOne; Noto Kufi
# Arabic does not take the Arabic character set, so Wine falls back to DejaVu Sans
# Mono; Amiri's lines stand 4.2 ems apart and Scheherazade's letters part after a
# vowel mark. Nazli (fonts-farsiweb), a Naskh face, shapes every verse of the file
# joined, with lines 1.55 ems apart (scenario arabic_font).
ARABIC_FONT = "Nazli"
SAMPLE_VERSE_COUNT = 6348
MARLETT = "/usr/share/wine/fonts/marlett.ttf"  # from fonts-wine
WS_POPUP, WS_CAPTION = 0x80000000, 0x00C00000
WS_EX_TOPMOST, WS_EX_TOOLWINDOW = 0x00000008, 0x00000080


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


# ---------------------------------------------------------------------------
# Screenshots


class Shot:
    """An RGB screenshot, read through ImageMagick as a binary PPM."""

    def __init__(self, path):
        self.path = path
        data = subprocess.run(["convert", str(path), "ppm:-"], check=True,
                              stdout=subprocess.PIPE).stdout
        # ImageMagick writes "P6\n<width> <height>\n255\n" and then the pixels.
        magic, size, _maxval, rest = data.split(b"\n", 3)
        check(magic == b"P6", f"not a PPM image: {magic!r}")
        self.width, self.height = map(int, size.split())
        self.pixels = rest[: self.width * self.height * 3]

    def row(self, y, left=0, right=None):
        right = self.width if right is None else right
        start = (y * self.width + left) * 3
        return self.pixels[start:start + (right - left) * 3]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def ink_box(self, threshold=24, region=None):
        """Bounding box (left, top, right, bottom) of the pixels brighter than the
        threshold in any channel, or None when all is dark."""
        left0, top0, right0, bottom0 = region or (0, 0, self.width, self.height)
        table = bytes(0 if b < threshold else 1 for b in range(256))
        rows = [y for y in range(top0, bottom0) if any(self.row(y, left0, right0).translate(table))]
        if not rows:
            return None
        left, right = right0, left0
        for y in rows:
            marks = self.row(y, left0, right0).translate(table)
            first, last = marks.find(1), marks.rfind(1)
            left = min(left, left0 + first // 3)
            right = max(right, left0 + last // 3 + 1)
        return left, rows[0], right, rows[-1] + 1

    def ink_rows(self, threshold=24):
        table = bytes(0 if b < threshold else 1 for b in range(256))
        return [y for y in range(self.height) if any(self.row(y).translate(table))]

    def colours(self, box, threshold=24):
        """The distinct colours brighter than the threshold inside the box."""
        found = set()
        left, top, right, bottom = box
        for y in range(top, bottom):
            row = self.row(y, left, right)
            for i in range(0, len(row), 3):
                pixel = row[i:i + 3]
                if max(pixel) >= threshold:
                    found.add(tuple(pixel))
        return found

    def mean(self, box):
        left, top, right, bottom = box
        total = sum(sum(self.row(y, left, right)) for y in range(top, bottom))
        return total / ((right - left) * (bottom - top) * 3)


# ---------------------------------------------------------------------------
# The Wine session


def folder_with(session, program, name, verses=True):
    """A fresh folder of the session's work holding the program (and the verse file)."""
    folder = session.work / "folders" / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    shutil.copy2(program, folder / session.program_name)
    if verses:
        shutil.copy(session.verses, folder / "finalvelun.txt")
    return folder


class Session:
    """The Wine driver: velun.scr in a Wine prefix, seen through the inspector."""
    kind = "wine"
    program_name = "velun.scr"

    def __init__(self, args):
        self.work = Path(args.work).resolve()
        self.scr = Path(args.scr).resolve()
        self.verses = Path(args.verses).resolve()
        self.inspector_exe = Path(args.inspector).resolve()
        self.prefix = self.work / "wineprefix"
        self.shots = self.work / "shots"
        self.state_file = self.work / "session.json"
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": str(self.prefix),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "WINEARCH": "win64",
            "LC_ALL": "C.UTF-8",  # file names with non-ASCII letters
        })
        self.env.pop("WAYLAND_DISPLAY", None)
        self.children = []  # saver processes started by this case
        self.shot_count = 0
        self.case = "setup"
        if self.state_file.exists():
            state = json.loads(self.state_file.read_text())
            self.env["DISPLAY"] = state["display"]

    # -- set-up and tear-down ------------------------------------------------

    def setup(self):
        self.teardown(quiet=True)
        self.work.mkdir(parents=True, exist_ok=True)
        self.shots.mkdir(exist_ok=True)
        for tool, path in (("velun.scr", self.scr), ("inspector", self.inspector_exe),
                           ("verse file", self.verses), ("Marlett (fonts-wine)", Path(MARLETT))):
            check(path.exists(), f"{tool} missing: {path}")
        number = next(n for n in range(90, 200) if not Path(f"/tmp/.X{n}-lock").exists()
                      and not Path(f"/tmp/.X11-unix/X{n}").exists())
        xvfb = subprocess.Popen(
            ["Xvfb", f":{number}", "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24",
             "-nolisten", "tcp", "-noreset"],
            start_new_session=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=open(self.work / "xvfb.log", "w"))
        deadline = time.monotonic() + 20
        while not Path(f"/tmp/.X11-unix/X{number}").exists():
            check(xvfb.poll() is None, "Xvfb ended at its start (see xvfb.log)")
            check(time.monotonic() < deadline, "Xvfb did not start within 20 s")
            time.sleep(0.05)
        self.env["DISPLAY"] = f":{number}"
        self.state_file.write_text(json.dumps({"display": self.env["DISPLAY"], "xvfb": xvfb.pid}))

        started = time.monotonic()
        if not (self.prefix / "system.reg").exists():
            subprocess.run(["wineboot", "-i"], env=self.env, check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            print(f"Wine prefix made in {time.monotonic() - started:.1f} s")
        # Nothing that outlives this step may hold CTest's output open, or CTest waits
        # for it: the wineserver and Wine's desktop process write to /dev/null.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for key, name, value in (
                (r"HKCU\Software\Wine\X11 Driver", "Managed", "N"),
                (r"HKCU\Software\Wine\Fonts\Replacements", "Traditional Arabic", ARABIC_FONT),
                # Wine's own Marlett for the caption buttons (else the close box is an
                # "r"): this Wine does not load the files of fonts-wine by itself.
                (r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts", "Marlett (TrueType)",
                 "Z:" + MARLETT.replace("/", "\\")),
                # A program that crashes ends at once instead of waiting in the debugger.
                (r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug", "Debugger", "")):
            subprocess.run(["wine", "reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value,
                            "/f"], env=self.env, check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        started = time.monotonic()
        monitors = self.inspector("monitors")
        print(f"inspector's first start {time.monotonic() - started:.2f} s; "
              f"monitors: {monitors['monitors']}")

    def teardown(self, quiet=False):
        if "DISPLAY" in self.env and self.prefix.exists():
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        if self.state_file.exists():
            state = json.loads(self.state_file.read_text())
            try:
                os.kill(state["xvfb"], signal.SIGTERM)
            except ProcessLookupError:
                pass
            self.state_file.unlink()
        elif not quiet:
            print("no session to end")

    # -- driving Windows programs -------------------------------------------

    def inspector(self, *args, timeout=30):
        out = subprocess.run(["wine", str(self.inspector_exe), *map(str, args)], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
        text = out.stdout.decode("utf-8", "replace").strip().splitlines()
        check(text, f"inspector {args[0]} gave no answer")
        return json.loads(text[-1])

    def windows_path(self, path):
        """The path as the program sees it: Wine maps / to drive Z:."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def start(self, *args, program=None):
        process = subprocess.Popen(["wine", str(program or self.scr), *args], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        process.started = time.monotonic()
        self.children.append(process)
        return process

    def launch(self, command_line, wait_ms):
        """Starts a Windows process with exactly this command line (blanks and all)."""
        answer = self.inspector("launch", wait_ms, command_line)
        check(answer.get("started"), f"could not start {command_line!r}: {answer}")
        if not answer["exited"]:
            self.launched.append(answer["pid"])
        return answer

    def saver_window(self, timeout_ms=10000):
        answer = self.inspector("window", "Velun Saver", timeout_ms, "VelunSaverWindow")
        return answer if answer["found"] else None

    def wait_exit(self, process, seconds):
        try:
            process.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def key(self, name):
        subprocess.run(["xdotool", "key", name], env=self.env, check=True)

    def mouse_to(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=self.env, check=True)

    def shot(self, label):
        self.shot_count += 1
        path = self.shots / f"{self.case}-{self.shot_count:02d}-{label}.png"
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True)
        return Shot(path)

    def wine_reg(self, *args):
        subprocess.run(["wine", "reg", *args], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def registry(self):
        values = self.inspector("registry-dump")["values"]
        return {(v["section"], v["key"]): (v["type"], v["text"]) for v in values}

    def registry_texts(self):
        return {k: text for k, (_, text) in self.registry().items()}

    def registry_set(self, section, key, text, dword=False):
        answer = self.inspector("registry-set-dword" if dword else "registry-set", section, key, text)
        check(answer.get("set"), f"could not store {section}\\{key}")

    def registry_clear(self):
        self.inspector("registry-clear")

    # The operations shared with the native driver.
    store_texts = registry_texts
    store_clear = registry_clear

    def store_set(self, section, key, text):
        self.registry_set(section, key, text)

    def path_text(self, path):
        return self.windows_path(path)

    def run_briefly(self, argument_text, wait_ms):
        """Starts the program with exactly this argument text (blanks and all); True
        when it ended within wait_ms."""
        return self.launch(f'"{self.windows_path(self.scr)}" {argument_text}', wait_ms)["exited"]

    @contextlib.contextmanager
    def screen_dpi(self, dpi):
        """Programs started in the block see a screen of this many dots per inch."""
        desktop = r"HKCU\Control Panel\Desktop"
        self.wine_reg("add", desktop, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
        try:
            yield
        finally:
            self.wine_reg("delete", desktop, "/v", "LogPixels", "/f")

    def check_saver_window(self, window):
        """A borderless popup, top-most, not in the taskbar."""
        style, exstyle = window["style"] & 0xFFFFFFFF, window["exstyle"]
        check(style & WS_POPUP and not style & WS_CAPTION, f"not a borderless popup: {style:#x}")
        check(exstyle & WS_EX_TOPMOST, "not top-most")
        check(exstyle & WS_EX_TOOLWINDOW, "would show in the taskbar")
        print(f"window {window['rect']}, style {style:#x}, extended style {exstyle:#x}")

    def message_box(self, title, timeout_ms=10000):
        box = self.inspector("controls", title, timeout_ms, "#32770")
        check(box["found"], f"no message box titled {title!r}")
        texts = [c["text"] for c in box["controls"] if c["class"] == "Static" and c["text"]]
        buttons = [c["text"] for c in box["controls"] if c["class"] == "Button"]
        check(len(texts) == 1, f"message box texts: {texts}")
        return texts[0], buttons

    def press_ok(self, title, process):
        answer = self.inspector("press", title, "OK", 5000, "#32770")
        check(answer["pressed"], "could not press OK")
        check(self.wait_exit(process, 5), "the program did not end after OK")

    def folder_with(self, name, verses=True):
        return folder_with(self, self.scr, name, verses)

    def cleanup(self):
        """Ends whatever a failed case left running, so the next case starts clean."""
        for process in self.children:
            if process.poll() is None:
                process.kill()
                process.wait()
        for pid in self.launched:
            self.inspector("terminate", pid)


# ---------------------------------------------------------------------------
# Shared checks


def wait_for_rest(s, label, seconds=8.0):
    """Screenshots until the verse stands still; returns the last one and its ink box."""
    deadline = time.monotonic() + seconds
    previous = None
    while True:
        time.sleep(0.4)
        shot = s.shot(label)
        box = shot.ink_box()
        if box is not None and box == previous:
            return shot, box
        previous = box
        check(time.monotonic() < deadline, f"the verse did not come to rest: {box}")


def check_centred(box, tolerance_x=40, tolerance_y=30):
    left, top, right, bottom = box
    check(abs(left - (SCREEN_WIDTH - right)) <= tolerance_x,
          f"verse not centred across: ink {box}")
    check(abs(top - (SCREEN_HEIGHT - bottom)) <= tolerance_y, f"verse not centred down: ink {box}")


def end_with_key(s, process, key="x", limit=1.0):
    pressed = time.monotonic()
    s.key(key)
    check(s.wait_exit(process, 5), f"key {key} did not end the saver")
    elapsed = time.monotonic() - pressed
    print(f"key {key} ended the saver in {elapsed:.2f} s")
    check(elapsed <= limit, f"the saver took {elapsed:.2f} s to end after a key")


def start_saver(s, *args, program=None):
    process = s.start(*args, program=program)
    window = s.saver_window()
    check(window is not None, "no saver window")
    print(f"saver window visible {time.monotonic() - process.started:.2f} s after the start")
    time.sleep(0.5)  # keys sent at once to a new window may be lost
    return process, window


def message_box(s, title, timeout_ms=10000):
    return s.message_box(title, timeout_ms)


def press_ok(s, title, process):
    s.press_ok(title, process)


# ---------------------------------------------------------------------------
# The scenarios


def case_fresh_start(s):
    """Fresh store, "/S": full screen, dark-red verse centred, a key ends it, all
    eleven settings saved with their default texts."""
    s.store_clear()
    s.mouse_to(640, 512)
    process, window = start_saver(s, "/S")
    check(window["rect"] == [0, 0, SCREEN_WIDTH, SCREEN_HEIGHT], f"window rect {window['rect']}")
    s.check_saver_window(window)
    shot, box = wait_for_rest(s, "resting")
    check_centred(box)
    limit = (SCREEN_WIDTH * 15 - 2000) // 15  # the screen less 2000 twips, 15 twips a pixel
    check(box[2] - box[0] <= limit + 4, f"a line is wider than {limit} px: {box}")
    colours = shot.colours(box)
    reds = [c for c in colours if c[1] <= 8 and c[2] <= 8]
    check(len(reds) >= 0.98 * len(colours), f"not all ink is dark red: {sorted(colours)[:10]}")
    check(max(c[0] for c in colours) in range(120, 136), "the verse colour is not 128 red")
    check(process.poll() is None, "the saver ended by itself")
    end_with_key(s, process)
    stored = s.store_texts()
    check(set(stored) == set(SETTINGS_DEFAULTS), f"settings stored: {sorted(stored)}")
    for key, text in SETTINGS_DEFAULTS.items():
        check(stored[key] == text, f"{key} stored as {stored[key]!r}, not {text!r}")
    if s.kind == "wine":
        types = {key: kind for key, (kind, _) in s.registry().items()}
        check(set(types.values()) == {REG_SZ}, f"not all stored as REG_SZ: {types}")


def case_normalising(s):
    """Stored texts come back in their normal form; a hand-made REG_DWORD reads as its number."""
    s.registry_clear()
    s.registry_set("Fonts", "Font Size", "31.5")
    s.registry_set("Animation", "type", "6")
    s.registry_set("Fonts", "Font Bold", "TRUE")
    s.registry_set("Fonts", "Font Color", "255abc")
    s.registry_set("Time", "Delay", "20000", dword=True)
    process, _ = start_saver(s, "/S")
    shot, box = wait_for_rest(s, "bold-red")
    check(max(c[0] for c in shot.colours(box)) >= 250, "the verse is not in colour 255 (red)")
    end_with_key(s, process)
    stored = s.registry()
    expected = {("Fonts", "Font Size"): "32", ("Animation", "type"): "1000",
                ("Fonts", "Font Bold"): "True", ("Fonts", "Font Color"): "255",
                ("Time", "Delay"): "20000"}
    for key, text in expected.items():
        check(stored.get(key) == (REG_SZ, text), f"{key} stored as {stored.get(key)}, not {text!r}")


def fatal_report_lines(text, number, folder):
    lines = text.split("\r\n")
    check(len(lines) == 5, f"the report has {len(lines)} lines: {lines}")
    check(lines[0] == "An Error has Occured.  The Holy Velun Saver is exiting.", lines[0])
    check(lines[1].startswith("Please report the following information to me at ")
          and lines[1].endswith(":"), lines[1])
    check(lines[2] == f"Error Number: {number}", lines[2])
    check(lines[3].startswith("Message: ") and len(lines[3]) > len("Message: "), lines[3])
    check(lines[4] == "Path: " + folder, f"{lines[4]!r} is not the folder {folder!r}")
    return lines


def case_bad_setting(s):
    """A stored bold "yes": the fatal report before any window; OK ends; store untouched."""
    s.store_clear()
    s.store_set("Fonts", "Font Bold", "yes")
    s.store_set("Fonts", "Font Size", "20")
    before = s.store_texts()
    folder = s.folder_with("bad-setting")
    process = s.start("/S", program=folder / s.program_name)
    text, buttons = message_box(s, "Error")
    print(text.replace("\r\n", " | "))
    fatal_report_lines(text, 13, s.path_text(folder))
    check(buttons == ["OK"], f"buttons {buttons}")
    check(s.saver_window(0) is None, "a saver window is showing")
    s.shot("error-box")
    press_ok(s, "Error", process)
    check(s.store_texts() == before, f"the store changed: {s.store_texts()}")


def case_missing_verse_file(s):
    """No verse file beside the program: the report with 53 and the folder; nothing saved."""
    s.store_clear()
    folder = s.folder_with("no-verses", verses=False)
    process = s.start("/S", program=folder / s.program_name)
    text, _ = message_box(s, "Error")
    print(text.replace("\r\n", " | "))
    fatal_report_lines(text, 53, s.path_text(folder))
    check(s.saver_window(0) is None, "the saver window is showing")
    s.shot("error-box")
    press_ok(s, "Error", process)
    check(s.store_texts() == {}, f"settings were saved: {s.store_texts()}")


def case_switches(s):
    """One instance only; only "/S" (any case, anything after it) and no argument run
    the saver; other switches end with nothing shown and nothing saved."""
    s.store_clear()
    first, _ = start_saver(s, "/S")
    started = time.monotonic()
    check(s.run_briefly("/S", 5000), "a second instance kept running")
    print(f"second instance ended after {time.monotonic() - started:.2f} s")
    end_with_key(s, first)

    for argument in ("/p 123", "/a", "-s", " /s", "s", "/"):
        s.store_clear()
        check(s.run_briefly(argument, 8000), f"{argument!r} kept the program running")
        check(s.saver_window(0) is None, f"{argument!r} left a window")
        check(s.store_texts() == {}, f"{argument!r} saved settings")

    for arguments in (["/s:9"], ["/S", "5"], []):
        process, _ = start_saver(s, *arguments)
        end_with_key(s, process)


def case_pop_on_and_freeze(s):
    """Pop on Screen, 1 s delay: the verse changes; S freezes it with the notice at the
    top-left; S again hides the notice and the verses go on."""
    s.store_clear()
    s.store_set("Animation", "type", "5")
    s.store_set("Time", "Delay", "1000")
    s.store_set("Verse Selection", "type", "1")
    process, _ = start_saver(s, "/S")
    first = s.shot("first-verse")
    check_centred(first.ink_box())
    time.sleep(1.3)
    second = s.shot("next-verse")
    check(first.pixels != second.pixels, "the verse did not change after the delay")

    s.key("s")
    time.sleep(0.4)
    frozen = s.shot("frozen")
    notice = frozen.ink_box(region=(0, 0, 400, 40))
    check(notice is not None and notice[0] == 0 and notice[1] == 0,
          f"no notice at the top-left corner: {notice}")
    check(frozen.mean((0, 0, 150, 10)) > 120, "the notice is not in the dialog colours")
    time.sleep(2.3)
    still = s.shot("still-frozen")
    check(still.pixels == frozen.pixels, "the verse changed while frozen")

    s.key("s")
    time.sleep(0.4)
    resumed = s.shot("resumed")
    check(resumed.ink_box(region=(0, 0, 400, 40)) is None, "the notice did not go")
    time.sleep(1.4)
    later = s.shot("after-resume")
    check(later.pixels != resumed.pixels, "the verses did not go on after the second S")
    check(process.poll() is None, "S ended the saver")
    end_with_key(s, process)


def catch_slide(s, far_enough):
    """The first frame that shows the sliding label far enough on screen, and its ink box."""
    deadline = time.monotonic() + 10
    while True:
        check(time.monotonic() < deadline, "the slide never came on screen")
        frame = s.shot("sliding")
        box = frame.ink_box()
        if box is not None and far_enough(box):
            return frame, box
        time.sleep(0.2)


def case_slide_caught_midway(s):
    """A slide from the top at speed 0 is caught on its way: the label partly on
    screen, and two frames half a second apart show the same pixels shifted down
    (the label moves whole; a torn frame would not match)."""
    s.store_clear()
    s.store_set("Animation", "type", "1")
    s.store_set("Animation", "Speed", "0")
    process, _ = start_saver(s, "/S")
    first, box1 = catch_slide(s, lambda box: True)
    time.sleep(0.5)
    second = s.shot("sliding-later")
    box2 = second.ink_box()
    print(f"caught mid-way: ink {box1}, then {box2}")
    check(box1[1] < 120 and box1[3] < SCREEN_HEIGHT // 2, f"not entering at the top: {box1}")
    check(box2 is not None and box2[3] < SCREEN_HEIGHT // 2, f"past the middle already: {box2}")
    shift = box2[3] - box1[3]
    check(shift > 0, f"the label is not moving down: {box1}, {box2}")
    for y in range(box1[1], box1[3]):
        check(second.row(y + shift) == first.row(y), f"row {y} is not the same {shift} px lower")
    # At rest the whole label shows: more of it than the frames caught on the way.
    _, rest = wait_for_rest(s, "slide-ended", seconds=20)
    print(f"at rest: ink {rest}")
    check(rest[3] - rest[1] > box1[3] - box1[1], "the first frame showed the whole label")
    # (lines differ by a few pixels in where their ink ends on the right)
    check(abs(rest[2] - box1[2]) <= 12, f"the slide moved sideways: {box1} then {rest}")
    check_centred(rest)
    end_with_key(s, process)


def case_slide_leaves_no_trail(s):
    """A slide from the bottom repaints only around the label on each tick, yet
    leaves nothing behind: two frames half a second apart are the same picture
    shifted up, over the whole screen (a trail, a half-drawn frame or a piece of
    the label left out would not match)."""
    s.store_clear()
    s.store_set("Animation", "type", "2")
    s.store_set("Animation", "Speed", "0")
    process, _ = start_saver(s, "/S")
    first, box1 = catch_slide(s, lambda box: box[1] < SCREEN_HEIGHT - 60)
    time.sleep(0.5)
    second = s.shot("sliding-later")
    box2 = second.ink_box()
    shift = box1[1] - box2[1]
    print(f"ink {box1}, then {box2}")
    check(shift > 0, f"the label is not sliding up: {box1}, {box2}")
    for y in range(SCREEN_HEIGHT - shift):
        check(second.row(y) == first.row(y + shift),
              f"row {y} is not row {y + shift} of the earlier frame")
    end_with_key(s, process)


def case_mouse_and_alt(s):
    """The first mouse report only records a position; a move elsewhere ends the
    saver; Alt on its own ends it too."""
    s.store_clear()
    s.mouse_to(200, 200)
    process, _ = start_saver(s, "/S")
    time.sleep(1.0)
    check(process.poll() is None, "the first mouse report ended the saver")
    s.mouse_to(200, 200)
    time.sleep(0.5)
    check(process.poll() is None, "a report at the same place ended the saver")
    s.mouse_to(203, 201)
    moved = time.monotonic()
    check(s.wait_exit(process, 5), "a mouse movement did not end the saver")
    print(f"mouse movement ended the saver in {time.monotonic() - moved:.2f} s")
    check(len(s.store_texts()) == 11, "the settings were not saved")

    process, _ = start_saver(s, "/S")
    end_with_key(s, process, key="Alt_L")


def case_unicode_folder(s):
    """The program in a folder named with non-ASCII letters finds its verse file and
    shows a verse; its report names that folder."""
    s.store_clear()
    folder = s.folder_with("ڤيرسات Ünïcødé", verses=False)
    process = s.start("/S", program=folder / s.program_name)
    text, _ = message_box(s, "Error")
    fatal_report_lines(text, 53, s.path_text(folder))
    press_ok(s, "Error", process)

    shutil.copy(s.verses, folder / "finalvelun.txt")
    process, _ = start_saver(s, "/S", program=folder / s.program_name)
    shot, box = wait_for_rest(s, "unicode-folder")
    check_centred(box)
    end_with_key(s, process)
    check(len(s.store_texts()) == 11, "the settings were not saved")


def case_unhandled_failure(s):
    """The verse file removed while the saver runs: the next verse fails, the
    standard report titled "Velun Saver" shows, and OK ends the program."""
    s.store_clear()
    s.store_set("Animation", "type", "5")
    s.store_set("Time", "Delay", "1000")
    folder = s.folder_with("vanishing")
    process, _ = start_saver(s, "/S", program=folder / s.program_name)
    (folder / "finalvelun.txt").unlink()
    text, buttons = message_box(s, "Velun Saver", 5000)
    print(text.replace("\r\n", " | "))
    check(text == "Run-time error '53':\r\n\r\nFile not found", f"report {text!r}")
    check(buttons == ["OK"], f"buttons {buttons}")
    s.shot("run-time-error")
    press_ok(s, "Velun Saver", process)


def case_high_dpi(s):
    """At 144 DPI (15 twips a pixel become 10) the window still covers the screen,
    the verse is centred, and no line is wider than the screen less 2000 twips."""
    s.registry_clear()
    s.registry_set("Verse Selection", "type", "1")
    desktop = r"HKCU\Control Panel\Desktop"
    s.wine_reg("add", desktop, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f")
    try:
        process, window = start_saver(s, "/S")
        check(window["rect"] == [0, 0, SCREEN_WIDTH, SCREEN_HEIGHT], f"window rect {window['rect']}")
        _, box = wait_for_rest(s, "144-dpi")
        print(f"verse ink at 144 DPI: {box}")
        check_centred(box)
        limit = (SCREEN_WIDTH * 1440 // 144 - 2000) * 144 // 1440
        check(box[2] - box[0] <= limit + 4, f"a line is wider than {limit} px: {box}")
        end_with_key(s, process)
    finally:
        s.wine_reg("delete", desktop, "/v", "LogPixels", "/f")
    check(s.registry_texts()[("Fonts", "Font Size")] == "30", "the font size changed with the DPI")


def case_window_messages(s):
    """The system's own requests: a screen-saver request while the saver runs is
    ignored; the window menu's Close and a plain close end the saver as its unload
    does, saving the settings."""
    WM_CLOSE, WM_SYSCOMMAND, SC_CLOSE, SC_SCREENSAVE = 0x0010, 0x0112, 0xF060, 0xF140

    def post(message, wparam):
        answer = s.inspector("post", "Velun Saver", "VelunSaverWindow", message, wparam)
        check(answer.get("posted"), "could not post to the saver window")

    for message, wparam in ((WM_SYSCOMMAND, SC_CLOSE), (WM_CLOSE, 0)):
        s.registry_clear()
        process, _ = start_saver(s, "/S")
        post(WM_SYSCOMMAND, SC_SCREENSAVE)
        time.sleep(1.0)
        check(process.poll() is None, "a screen-saver request ended the running saver")
        check(s.saver_window(0) is not None, "the saver window went away")
        post(message, wparam)
        check(s.wait_exit(process, 5), f"message {message:#x} {wparam:#x} did not end the saver")
        check(len(s.registry()) == 11, "closing did not save the settings")


def write_verse_file(path, verse):
    """A verse file of 114 chapters whose 6348 verse lines all read `verse`, in UTF-8."""
    counts = [54 + (1 if i < 6236 - 54 * 114 else 0) for i in range(114)]
    lines = []
    for number, count in enumerate(counts, 1):
        lines.append(f"*\u0633\u0637\u0631 - {number} - {count}*")
        lines += [verse] * (count + (0 if number in (1, 9) else 1))
    Path(path).write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-8"))


def comma_verse(words=44):
    """Made-up words without vowel marks, each ending in a tall alef and followed by
    the Arabic comma, so that a comma and the end of a word look nothing alike."""
    letters = "بتثجحخسشصضطظعغفقكلمنهي"
    state, out = 7, []
    for _ in range(words):
        word = ""
        for _ in range(3):
            state = (state * 1103515245 + 12345) % 2**31
            word += letters[state % len(letters)]
        out.append(word + "\u0627\u060C")
    return " ".join(out)


def line_bands(shot, box, em):
    """The text lines inside an ink box, as (top, bottom) row ranges: runs of inked
    rows, where gaps shorter than a fifth of the em (dots and marks standing off
    their letters) do not separate lines."""
    left, top, right, bottom = box
    table = bytes(0 if b < 24 else 1 for b in range(256))
    bands = []
    for y in range(top, bottom):
        if not any(shot.row(y, left, right).translate(table)):
            continue
        if bands and y - bands[-1][1] < em / 5:
            bands[-1][1] = y + 1
        else:
            bands.append([y, y + 1])
    return [tuple(band) for band in bands]


def check_right_to_left_lines(shot, box, em):
    """Every verse line's ink ends within 3 px of one column (the reference line's
    within a sixth of the em), and every verse line (all but the last, the
    reference) has its last word's comma as its leftmost ink: a small mark standing
    apart."""
    check(box[1] > 0 and box[3] < shot.height, f"the label does not fit on the screen: {box}")
    bands = line_bands(shot, box, em)
    spacing = [b[0] - a[0] for a, b in zip(bands, bands[1:])]
    print(f"lines at rows {bands}")
    check(len(bands) >= 4, f"fewer than three verse lines and the reference: {bands}")
    check(max(spacing) - min(spacing) <= em / 3, f"lines not evenly spaced: {bands}")
    inks = [shot.ink_box(region=(box[0], top, box[2], bottom)) for top, bottom in bands]
    rights = [ink[2] for ink in inks]
    print(f"right ink edges {rights}")
    verse_rights = rights[:-1]
    check(max(verse_rights) - min(verse_rights) <= 3, f"the lines' right edges differ: {rights}")
    # The reference begins with a parenthesis, whose side bearing differs from font to
    # font; a space or a mark on the wrong side would take a quarter of the em.
    check(abs(rights[-1] - max(verse_rights)) <= em / 6, f"the reference's right edge: {rights}")
    for number, ink in enumerate(inks[:-1], 1):
        left, top, _, bottom = ink
        # The leftmost run of inked columns, up to the first blank column.
        end = left
        while shot.ink_box(region=(end, top, end + 1, bottom)) is not None:
            end += 1
        mark = shot.ink_box(region=(left, top, end, bottom))
        width, height = mark[2] - mark[0], mark[3] - mark[1]
        print(f"line {number}: leftmost ink {width}x{height} px")
        # A word's final alef, the other candidate, is a stroke taller than half the em.
        check(width <= 0.4 * em and height <= 0.5 * em,
              f"line {number} does not end in its comma on the left: a {width}x{height} px shape")


def case_right_to_left_lines(s):
    """A verse of words each followed by "،", broken into three lines or more, at 96
    and 144 DPI: every line's ink reaches the label's right edge (the break space
    and the comma go to a line's left end), and each verse line's last comma is its
    leftmost ink."""
    folder = s.folder_with("right-to-left", verses=False)
    for dpi in (96, 144):
        s.store_clear()
        s.store_set("Fonts", "Font Size", "20")
        s.store_set("Animation", "type", "5")
        s.store_set("Time", "Delay", "60000")
        s.store_set("Verse Selection", "type", "1")
        em = 20 * dpi / 72
        # Fonts differ in width: a longer verse when the short one takes fewer than
        # three lines (a tall font fits no more than about five on the screen).
        for words in (44, 72, 100):
            write_verse_file(folder / "finalvelun.txt", comma_verse(words))
            with s.screen_dpi(dpi):
                process, _ = start_saver(s, "/S", program=folder / s.program_name)
                shot, box = wait_for_rest(s, f"{dpi}-dpi-{words}-words")
                end_with_key(s, process)
            print(f"{dpi} DPI, {words} words: verse ink {box}")
            if len(line_bands(shot, box, em)) >= 4:
                break
        check_centred(box)
        check_right_to_left_lines(shot, box, em)


def case_terminate(s):
    """SIGTERM (how XScreenSaver ends a program) and SIGINT (Ctrl+C in a terminal) run
    the unload: all eleven settings saved, status 0, no temporary file left."""
    for signal_number in (signal.SIGTERM, signal.SIGINT):
        s.store_clear()
        process, _ = start_saver(s, "/S")
        sent = time.monotonic()
        s.terminate(process, signal_number)
        check(s.wait_exit(process, 5), f"signal {signal_number} did not end the saver")
        print(f"signal {signal_number} ended the saver in {time.monotonic() - sent:.2f} s, "
              f"status {process.returncode}")
        check(process.returncode == 0, f"status {process.returncode}")
        check(s.store_texts() == SETTINGS_DEFAULTS, f"settings stored: {s.store_texts()}")
        files = sorted(p.name for p in s.store_file.parent.iterdir())
        check(files == ["settings.ini"], f"files beside the settings: {files}")


def case_two_screens(s):
    """Two X screens: the verse on the first, the second covered in black; a
    movement over the second ends the saver and saves."""
    s.store_clear()
    s.store_set("Animation", "type", "5")
    with s.display("1280x1024x24", "800x600x24") as display:
        s.xdotool("mousemove", "--screen", "1", 400, 300)
        process, window = start_saver(s, "/S")
        check(window["rect"] == [0, 0, SCREEN_WIDTH, SCREEN_HEIGHT], f"window {window['rect']}")
        covers = s.windows_covering(1)
        print(f"windows on the second screen: {covers}")
        check(covers == [[0, 0, 800, 600]], "the second screen is not covered")
        first = s.shot("first-screen")
        second = s.shot("second-screen", display=display + ".1")
        check(first.ink_box() is not None, "no verse on the first screen")
        check(second.ink_box(threshold=8) is None, "the second screen is not black")
        s.xdotool("mousemove", "--screen", "1", 420, 310)
        check(s.wait_exit(process, 5), "a movement over the second screen did not end the saver")
    check(len(s.store_texts()) == 11, "the settings were not saved")


def case_text_direction(s):
    """The saver's reading direction of a line, from the system's classification of
    characters: the first strong character decides; digits of either kind,
    punctuation, blanks and marks are not strong; no strong character, left to right."""
    expected = {
        "\u0634\u0641 abc": "rtl",
        "(\u0634\u0641\u062C:37) ": "rtl",
        "\u060C \u0628": "rtl",                # the Arabic comma is not strong
        "\u064E\u0628": "rtl",                 # nor is a vowel mark
        "\u0661\u0662 \u05D0": "rtl",         # nor are Arabic-Indic digits
        "\u06F1\u06F2 abc": "ltr",             # nor extended Arabic-Indic ones
        "\uFEFB": "rtl", "\uFB50": "rtl",      # presentation forms
        "\u0710": "rtl", "\u0780": "rtl", "\u07CA": "rtl",  # Syriac, Thaana, N'Ko
        "abc \u0634\u0641": "ltr",
        "  12. (Hebrew \u05D0)": "ltr",
        "\u0416": "ltr", "\u00E9": "ltr", "\u4E2D": "ltr",
        "(12:34) ": "ltr",
        "": "ltr",
    }
    texts = list(expected)
    found = dict(zip(texts, s.inspector("direction", *texts)["directions"]))
    wrong = {text: direction for text, direction in found.items() if direction != expected[text]}
    check(len(found) == len(texts), f"{len(found)} answers for {len(texts)} texts")
    check(not wrong, f"wrong directions: {wrong}")


def case_arabic_font(s):
    """The font that stands for "Traditional Arabic" takes every verse of the sample
    file: velun-shaping-probe shapes and draws the verse and reference lines of all
    verses with the saver's own shaping under Wine's Uniscribe, with no failure, blank
    line, corrupted heap or crash; the font is the one mapped, has a glyph for every
    character of the file, and its lines stand at most two ems apart."""
    probe = s.scr.parent / "velun-shaping-probe.exe"
    check(probe.exists(), f"no shaping probe beside velun.scr: {probe}")
    started = time.monotonic()
    out = subprocess.run(["wine", str(probe), s.windows_path(s.verses), "--unbroken"],
                         env=s.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, timeout=100)
    text = out.stdout.decode("utf-8", "replace").replace("\r", "")
    print(text.strip())
    print(f"the probe took {time.monotonic() - started:.1f} s, exit status {out.returncode}")
    check(f"font: {ARABIC_FONT}" in text.splitlines(), f"the font in effect is not {ARABIC_FONT}")
    height = re.search(r"line height (\d+) = ", text)
    check(height is not None and int(height.group(1)) <= 80,
          "lines stand more than two ems (80 px at a 40-px em) apart")
    check("without a glyph in the font: 0\n" in text, "characters of the file have no glyph")
    check(out.returncode == 0 and f"shaped {SAMPLE_VERSE_COUNT} verses" in text,
          "not every verse was shaped and drawn")


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}

# The scenarios, each written once and run against the programs named beside it.
WINE, NATIVE = "wine", "native"
BOTH = (WINE, NATIVE)
SCENARIOS = [
    # name                  programs
    ("fresh_start",         BOTH),
    ("normalising",         (WINE,)),    # a REG_DWORD value
    ("bad_setting",         BOTH),
    ("missing_verse_file",  BOTH),
    ("switches",            BOTH),
    ("pop_on_and_freeze",   BOTH),
    ("slide_caught_midway", BOTH),
    ("slide_leaves_no_trail", BOTH),
    ("mouse_and_alt",       BOTH),
    ("unicode_folder",      BOTH),
    ("unhandled_failure",   BOTH),
    ("high_dpi",            (WINE,)),    # Wine's LogPixels
    ("window_messages",     (WINE,)),    # Windows messages
    ("right_to_left_lines", BOTH),
    ("text_direction",      (WINE,)),    # the inspector runs the Windows code
    ("arabic_font",         (WINE,)),    # Wine's Uniscribe and font replacement
    ("terminate",           (NATIVE,)),  # POSIX signals
    ("two_screens",         (NATIVE,)),
]


# Files of further scenarios beside this one; each adds its rows with add_scenarios.
SCENARIO_FILES = ["e2e_prefs", "e2e_display_mode"]


def add_scenarios(rows):
    """Adds (name, function, programs) rows to the table."""
    for name, function, programs in rows:
        CASES[name] = function
        if name not in dict(SCENARIOS):
            SCENARIOS.append((name, tuple(programs)))


def load_scenario_files():
    sys.path.insert(0, str(Path(__file__).resolve().parent))
    for module in SCENARIO_FILES:
        importlib.import_module(module)


def scenarios_of(program):
    return [name for name, programs in SCENARIOS if program in programs]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", choices=[WINE, NATIVE], default=WINE)
    parser.add_argument("--work")
    parser.add_argument("--scr", help="velun.scr (Wine)")
    parser.add_argument("--inspector", help="velun-inspector.exe (Wine)")
    parser.add_argument("--saver", help="velun-saver (native)")
    parser.add_argument("--verses")
    parser.add_argument("--test-window", help="velun-test-window (native display modes)")
    parser.add_argument("--deb-root", help="the unpacked .deb (native display modes)")
    parser.add_argument("action", choices=["setup", "teardown", "case", "list"])
    parser.add_argument("name", nargs="?")
    args = parser.parse_args()
    load_scenario_files()
    if args.action == "list":
        print(";".join(scenarios_of(args.program)))
        return 0
    needed = ["work", "verses"] + (["scr", "inspector"] if args.program == WINE else ["saver"])
    missing = [f"--{name}" for name in needed if getattr(args, name) is None]
    if missing:
        parser.error(f"{args.action} needs {' '.join(missing)}")
    if args.program == WINE:
        session = Session(args)
    else:
        from native_driver import NativeSession
        session = NativeSession(args)
    session.launched = []
    if args.action == "setup":
        session.setup()
        return 0
    if args.action == "teardown":
        session.teardown()
        return 0
    # A case that a file adds to CASES alone, outside the table, runs on Wine.
    programs = dict(SCENARIOS).get(args.name, (WINE,) if args.name in CASES else ())
    check(args.program in programs,
          f"no case {args.name} for {args.program}; cases: {', '.join(scenarios_of(args.program))}")
    check("DISPLAY" in session.env and session.state_file.exists(), "no session: run setup first")
    session.case = args.name
    started = time.monotonic()
    try:
        CASES[args.name](session)
    except Failed as failure:
        print(f"FAILED: {failure}")
        session.shot("failure")
        return 1
    finally:
        session.cleanup()
        print(f"{args.name}: {time.monotonic() - started:.1f} s; screenshots in {session.shots}")
    return 0


if __name__ == "__main__":
    # The native driver imports this file as the module e2e: one module, one Failed.
    sys.modules.setdefault("e2e", sys.modules[__name__])
    sys.exit(main())
