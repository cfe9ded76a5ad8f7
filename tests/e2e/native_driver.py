"""The driver of velun-saver, the Linux program, for the shared scenarios of e2e.py.

It offers the same operations as the Wine driver (e2e.Session) where the steps are
the same: start the program, find its window and its message boxes, read and set the
stored settings, keys, pointer and screenshots. The program runs in a private Xvfb
display (a free number from -displayfd) with its own XDG_CONFIG_HOME and
XDG_RUNTIME_DIR under the work folder, so a user's settings and a running saver are
never touched. Message boxes are read through their Ctrl+C copy (xclip).
"""
import contextlib
import json
import os
import shutil
import signal
import subprocess
import time
from pathlib import Path

from e2e import SCREEN_HEIGHT, SCREEN_WIDTH, Failed, Shot, check, folder_with

RULE = "---------------------------"
SCREEN_AREA = SCREEN_WIDTH * SCREEN_HEIGHT


def start_xvfb(screens, log):
    """Starts Xvfb with the given screens ("1280x1024x24", ...) on a free display;
    returns the process and the display name."""
    read_end, write_end = os.pipe()
    arguments = ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-noreset"]
    for number, screen in enumerate(screens):
        arguments += ["-screen", str(number), screen]
    xvfb = subprocess.Popen(arguments, pass_fds=(write_end,), start_new_session=True,
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
    os.close(write_end)
    with os.fdopen(read_end) as answer:
        number = answer.readline().strip()
    check(number and xvfb.poll() is None, "Xvfb did not start")
    return xvfb, f":{number}"


def read_ini(text):
    """{(section, key): text} of the settings file, as the program writes it."""
    values, section = {}, None
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            section = stripped[1:-1].strip()
        elif section is not None and "=" in line and not stripped.startswith((";", "#")):
            key, value = line.split("=", 1)
            value = value.strip()
            if len(value) >= 2 and value[0] == value[-1] == '"':
                value = value[1:-1].encode().decode("unicode_escape")
            values[(section, key.strip())] = value
    return values


def write_ini(values):
    sections = {}
    for (section, key), text in values.items():
        sections.setdefault(section, []).append(f"{key}={text}")
    return "\n".join(f"[{section}]\n" + "\n".join(lines) + "\n"
                     for section, lines in sections.items())


class NativeSession:
    kind = "native"
    program_name = "velun-saver"

    def __init__(self, args):
        self.work = Path(args.work).resolve()
        self.saver = Path(args.saver).resolve()
        self.verses = Path(args.verses).resolve()
        # The display-mode scenarios: the stand-in for XScreenSaver's window and the
        # unpacked .deb.
        self.test_window_program = Path(args.test_window) if args.test_window else None
        self.deb_root = Path(args.deb_root) if args.deb_root else None
        self.shots = self.work / "shots"
        self.logs = self.work / "logs"
        self.config = self.work / "config"
        self.runtime = self.work / "runtime"
        self.state_file = self.work / "session.json"
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                     "QT_FONT_DPI"):
            self.env.pop(name, None)
        self.env.update({
            "XDG_CONFIG_HOME": str(self.config),
            "XDG_RUNTIME_DIR": str(self.runtime),
            "QT_QPA_PLATFORM": "xcb",
            "LC_ALL": "C.UTF-8",
        })
        self.children = []
        self.shot_count = 0
        self.case = "setup"
        if self.state_file.exists():
            self.env["DISPLAY"] = json.loads(self.state_file.read_text())["display"]

    # -- set-up and tear-down ------------------------------------------------

    def setup(self):
        self.teardown(quiet=True)
        for folder in (self.shots, self.logs, self.config, self.runtime):
            folder.mkdir(parents=True, exist_ok=True)
        self.runtime.chmod(0o700)
        for what, path in (("velun-saver", self.saver), ("verse file", self.verses)):
            check(path.exists(), f"{what} missing: {path}")
        xvfb, display = start_xvfb(["1280x1024x24"], open(self.work / "xvfb.log", "w"))
        self.env["DISPLAY"] = display
        self.state_file.write_text(json.dumps({"display": display, "xvfb": xvfb.pid}))
        out = subprocess.run([str(self.saver), "--help"], env=self.env, stdout=subprocess.PIPE,
                             check=True).stdout.decode()
        print(out.splitlines()[0])

    def teardown(self, quiet=False):
        if self.state_file.exists():
            try:
                os.kill(json.loads(self.state_file.read_text())["xvfb"], signal.SIGTERM)
            except ProcessLookupError:
                pass
            self.state_file.unlink()
        elif not quiet:
            print("no session to end")

    @contextlib.contextmanager
    def display(self, *screens):
        """Runs the block on a display of its own with these X screens."""
        log = open(self.work / f"xvfb-{self.case}.log", "w")
        xvfb, display = start_xvfb(screens, log)
        previous = self.env["DISPLAY"]
        self.env["DISPLAY"] = display
        try:
            yield display
        finally:
            self.cleanup()
            self.env["DISPLAY"] = previous
            xvfb.terminate()
            xvfb.wait()

    @contextlib.contextmanager
    def screen_dpi(self, dpi):
        """Programs started in the block see a screen of this many dots per inch (Qt
        then draws at dpi / 96 device pixels per pixel, as a desktop set so would)."""
        self.env["QT_FONT_DPI"] = str(dpi)
        try:
            yield
        finally:
            self.env.pop("QT_FONT_DPI", None)

    # -- the program ---------------------------------------------------------

    def start(self, *args, program=None):
        log = open(self.logs / f"{self.case}.log", "a")
        process = subprocess.Popen([str(program or self.saver), *args], env=self.env,
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        process.started = time.monotonic()
        self.children.append(process)
        return process

    def run_briefly(self, argument_text, wait_ms):
        """Starts the program with exactly this argument text as its one argument (none
        when empty); True when it ended within wait_ms."""
        process = self.start(*([argument_text] if argument_text else []))
        return self.wait_exit(process, wait_ms / 1000)

    def terminate(self, process, signal_number=signal.SIGTERM):
        process.send_signal(signal_number)

    def path_text(self, path):
        """The path as the program reports it."""
        return str(Path(path).resolve())

    def folder_with(self, name, verses=True):
        return folder_with(self, self.saver, name, verses)

    def wait_exit(self, process, seconds):
        try:
            process.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    # -- windows -------------------------------------------------------------

    def xdotool(self, *args, display=None):
        env = dict(self.env, DISPLAY=display or self.env["DISPLAY"])
        out = subprocess.run(["xdotool", *map(str, args)], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
        return out.stdout.decode().split()

    def find_window(self, title, timeout_ms, display=None, smallest=False):
        """The visible window with exactly this title: {"id", "rect"}, or None. With
        smallest, the smallest of them (a message box titled like the saver)."""
        deadline = time.monotonic() + timeout_ms / 1000
        while True:
            found = []
            for window in self.xdotool("search", "--onlyvisible", "--name", f"^{title}$",
                                       display=display):
                shell = dict(item.split("=", 1) for item in
                             self.xdotool("getwindowgeometry", "--shell", window,
                                          display=display))
                x, y, w, h = (int(shell[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
                found.append({"id": window, "rect": [x, y, x + w, y + h], "area": w * h})
            if smallest:
                found = [w for w in found if w["area"] < SCREEN_AREA]
            if found:
                return min(found, key=lambda w: w["area"])
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.05)

    def saver_window(self, timeout_ms=10000):
        return self.find_window("Velun Saver", timeout_ms)

    def windows_covering(self, screen):
        """Rectangles of the program's visible windows on that X screen."""
        rects = []
        for window in self.xdotool("search", "--screen", screen, "--onlyvisible", "--classname",
                                   "velun-saver"):
            shell = dict(item.split("=", 1) for item in
                         self.xdotool("getwindowgeometry", "--shell", window))
            x, y, w, h = (int(shell[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
            rects.append([x, y, x + w, y + h])
        return rects

    def check_saver_window(self, window):
        """A frameless window above the others."""
        props = subprocess.run(["xprop", "-id", window["id"], "_MOTIF_WM_HINTS", "_NET_WM_STATE"],
                               env=self.env, stdout=subprocess.PIPE).stdout.decode()
        print(props.strip().replace("\n", "; "))
        # Motif hints: flags, functions, decorations, ...; decorations 0 is no frame.
        hints = props.split("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = ")[-1].split("\n")[0].split(", ")
        check(len(hints) >= 3 and int(hints[2], 0) == 0, f"the window asks for a frame: {hints}")
        check("_NET_WM_STATE_ABOVE" in props, "the window does not ask to stay on top")

    def message_box(self, title, timeout_ms=10000):
        """The text (lines joined by CR LF, as the program gives them) and the buttons
        of the message box with this title, read from its Ctrl+C copy."""
        box = self.find_window(title, timeout_ms, smallest=True)
        check(box is not None, f"no message box titled {title!r}")
        copied = ""
        for _ in range(20):
            self.xdotool("windowfocus", "--sync", box["id"])
            self.xdotool("key", "--clearmodifiers", "ctrl+c")
            time.sleep(0.1)
            copied = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL
                                    ).stdout.decode()
            if copied.startswith(RULE):
                break
        parts = copied.split(RULE + "\n")
        check(len(parts) == 5, f"no copy of the message box: {copied!r}")
        check(parts[1] == title + "\n", f"the box's title is {parts[1]!r}")
        return parts[2].rstrip("\n").replace("\n", "\r\n"), parts[3].split()

    def press_ok(self, title, process):
        box = self.find_window(title, 5000, smallest=True)
        check(box is not None, f"no box titled {title!r} to press OK on")
        self.xdotool("windowfocus", "--sync", box["id"])
        self.xdotool("key", "Return")
        check(self.wait_exit(process, 5), "the program did not end after OK")

    def test_window(self, width, height, x, y):
        """A window of this size and place made by another program (velun-test-window),
        as XScreenSaver makes one for a display mode; its id ("0x..."). It lives until
        the case's clean-up."""
        check(self.test_window_program is not None, "the harness was given no --test-window")
        process = subprocess.Popen([str(self.test_window_program), str(width), str(height),
                                    str(x), str(y)], env=self.env, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, text=True)
        self.children.append(process)
        window = process.stdout.readline().strip()
        check(window.startswith("0x"), "velun-test-window made no window")
        return window

    # -- input and screenshots -------------------------------------------------

    def key(self, name):
        subprocess.run(["xdotool", "key", name], env=self.env, check=True)

    def mouse_to(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=self.env, check=True)

    def shot(self, label, display=None):
        self.shot_count += 1
        path = self.shots / f"{self.case}-{self.shot_count:02d}-{label}.png"
        env = dict(self.env, DISPLAY=display or self.env["DISPLAY"])
        subprocess.run(["import", "-window", "root", str(path)], env=env, check=True)
        return Shot(path)

    # -- the settings store ---------------------------------------------------

    @property
    def store_file(self):
        return self.config / "velun-saver" / "settings.ini"

    def store_texts(self):
        return read_ini(self.store_file.read_text()) if self.store_file.exists() else {}

    def store_set(self, section, key, text):
        values = self.store_texts()
        values[(section, key)] = text
        self.store_file.parent.mkdir(parents=True, exist_ok=True)
        self.store_file.write_text(write_ini(values))

    def store_clear(self):
        shutil.rmtree(self.config / "velun-saver", ignore_errors=True)

    def cleanup(self):
        """Ends whatever a failed case left running, so the next case starts clean."""
        for process in self.children:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.children = []


__all__ = ["NativeSession", "Failed"]
