#!/usr/bin/env python3
"""End-to-end scenarios of the preferences dialog ("/C").

Run through e2e.py, whose table (SCENARIOS) names the programs each one runs
against. On Wine the inspector also looks inside the dialog (controls, places,
focus); velun-saver is seen from outside only: its window, its message boxes, the
keys and the stored settings. The same session as e2e.py (its setup and teardown
make and end the display, the Wine prefix and the wineserver).
"""
import contextlib
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import e2e  # noqa: E402
from e2e import REG_SZ, SCREEN_HEIGHT, SCREEN_WIDTH, SETTINGS_DEFAULTS, check  # noqa: E402

TITLE = "Velun Saver Preferences"
DIALOG_CLASS = "#32770"
WARNING = "The Time delay is in the range of 1 to 60 seconds"
DPI = 96  # Wine's default; the layout below is checked at this DPI

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00020000, 0x00010000
BS_TYPEMASK, BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_GROUPBOX = 0xF, 0, 1, 7
CBS_TYPEMASK, CBS_DROPDOWNLIST, CBS_SORT = 0x3, 0x3, 0x100
TBS_VERT, TBS_AUTOTICKS = 0x2, 0x1
SS_TYPEMASK, SS_ICON = 0x1F, 0x3

VERSE_ORDERS = [("From Begining to End", 1), ("Random Chapter", 2), ("Random Verse", 3)]
ANIMATIONS = [("Slide From Top", 1), ("Slide From Bottom", 2), ("Slide From Left", 3),
              ("Slide From Right", 4), ("Pop on Screen", 5), ("Random Animation", 1000)]

# The dialog as designed, in twips: name, kind, caption, frame, left, top, width, height.
# Inside a frame the place is relative to the frame. Labels size themselves to their
# captions and lists take their height from the font: only their place is fixed.
FRAMES = {"Frame1": (180, 0), "frmVerseSelect": (180, 1560), "frmAnimation": (180, 2340)}
DESIGN = [
    ("Frame1", "frame", "", None, 180, 0, 4875, 915),
    ("Image1", "image", "", "Frame1", 120, 300, 384, 384),
    ("Label2", "label", "The Holy Velun Screen Saver ", "Frame1", 900, 180, None, None),
    ("CmdFonts", "button", "Fonts", None, 240, 1080, 975, 375),
    ("cmdColor", "button", "Font Color", None, 1320, 1080, 975, 375),
    ("lblTimeDelay", "label", "Time Delay", None, 2580, 1200, None, None),
    ("TxtTimeDelay", "text", None, None, 3540, 1140, 735, 315),
    ("Label1", "label", "Seconds", None, 4380, 1200, None, None),
    ("frmVerseSelect", "frame", "Verse Selection", None, 180, 1560, 4872, 732),
    ("LblAnimation1", "label", "Type", "frmVerseSelect", 360, 240, None, None),
    ("cmbVerseSelection", "list", None, "frmVerseSelect", 1380, 240, 3012, None),
    ("frmAnimation", "frame", "Animation", None, 180, 2340, 4875, 1332),
    ("LblAnimation0", "label", "Type", "frmAnimation", 360, 300, None, None),
    ("cmbAnimation", "list", None, "frmAnimation", 1380, 240, 3015, None),
    ("LblAminSpeed", "label", "Speed", "frmAnimation", 360, 780, None, None),
    ("SldrSpeed", "slider", None, "frmAnimation", 1260, 720, 3252, 492),
    ("Cancel", "button", "Cancel", None, 2880, 3840, 975, 375),
    ("OK", "default", "OK", None, 4080, 3840, 975, 375),
]
TAB_ORDER = ["OK", "CmdFonts", "cmdColor", "TxtTimeDelay", "cmbAnimation", "SldrSpeed", "Cancel",
             "cmbVerseSelection"]


def px(twips, dpi=DPI):
    return int(twips * dpi / 1440 + 0.5)


# ---------------------------------------------------------------------------
# The dialog as the inspector sees it


class Dialog:
    """One look at the dialog: its window and its controls, named as designed."""

    def __init__(self, answer):
        self.answer = answer
        self.rect = answer["rect"]
        self.client = answer["client"]
        self.by_name = {}
        for control in answer["controls"]:
            name = self.name_of(control)
            if name is not None:
                check(name not in self.by_name, f"two controls look like {name}")
                self.by_name[name] = control

    def name_of(self, c):
        cls, text, style = c["class"], c["text"], c["style"]
        left = c["rect"][0] - self.client[0]
        top = c["rect"][1] - self.client[1]
        if cls == "Button" and style & BS_TYPEMASK == BS_GROUPBOX:
            return {"": "Frame1", "Verse Selection": "frmVerseSelect",
                    "Animation": "frmAnimation"}.get(text)
        if cls == "Button":
            return {"OK": "OK", "Cancel": "Cancel", "Fonts": "CmdFonts",
                    "Font Color": "cmdColor"}.get(text)
        if cls == "Edit":
            return "TxtTimeDelay"
        if cls == "ComboBox":
            first = c["items"][0]["text"] if c["items"] else ""
            return {"From Begining to End": "cmbVerseSelection",
                    "Slide From Top": "cmbAnimation"}.get(first, "unknown list")
        if cls == "msctls_trackbar32":
            return "SldrSpeed"
        if cls == "Static" and style & SS_TYPEMASK == SS_ICON:
            return "Image1"
        if cls == "Static":
            if text == "Type":
                return "LblAnimation1" if top < px(2340) else "LblAnimation0"
            return {"The Holy Velun Screen Saver ": "Label2", "Time Delay": "lblTimeDelay",
                    "Seconds": "Label1", "Speed": "LblAminSpeed"}.get(text)
        return None

    def __getitem__(self, name):
        check(name in self.by_name, f"no control {name}")
        return self.by_name[name]

    def focus(self):
        return self.name_by_id(self.answer["focus"])

    def name_by_id(self, control_id):
        for name, c in self.by_name.items():
            if c["id"] == control_id:
                return name
        return None

    def selected_text(self, name):
        c = self[name]
        return c["items"][c["selected"]]["text"] if c["selected"] >= 0 else None

    def slider(self):
        return self["SldrSpeed"]["pos"]


def look(s, timeout_ms=10000):
    answer = s.inspector("dialog", TITLE, timeout_ms, DIALOG_CLASS)
    check(answer["found"], "no preferences dialog")
    return Dialog(answer)


def open_dialog(s, *args):
    """Starts the program with these arguments and waits for the dialog; on Wine
    with the inspector's look at it, for velun-saver with the keyboard focus given
    to it (as a click on it would)."""
    process = s.start(*args)
    if s.kind == "wine":
        dialog = look(s)
    else:
        dialog = None
        window = s.find_window(TITLE, 10000)
        check(window is not None, "no preferences dialog")
        s.xdotool("windowfocus", "--sync", window["id"])
    print(f"dialog visible {time.monotonic() - process.started:.2f} s after the start")
    time.sleep(0.5)  # keys sent at once to a new window may be lost
    return process, dialog


def keys(s, *names):
    e2e.subprocess.run(["xdotool", "key", "--delay", "60", *names], env=s.env, check=True)


def type_text(s, text):
    # Replace what the box holds: select it all from the end, then type over it.
    keys(s, "End", "shift+Home", "BackSpace")
    if text:
        e2e.subprocess.run(["xdotool", "type", "--delay", "30", text], env=s.env, check=True)


def press(s, button, title=TITLE):
    check(s.inspector("press", title, button, 5000, DIALOG_CLASS)["pressed"],
          f"could not press {button} in {title}")


def read_warning(s, closer_look=False):
    text, buttons = e2e.message_box(s, "Velun Saver", 5000)
    check(text == WARNING, f"warning text {text!r}")
    check(buttons == ["OK"], f"warning buttons {buttons}")
    if not closer_look or s.kind != "wine":
        return
    box = s.inspector("dialog", "Velun Saver", 1000, DIALOG_CLASS)
    icons = [c for c in box["controls"] if c["class"] == "Static" and c["visible"]
             and c["style"] & SS_TYPEMASK == SS_ICON]
    check(len(icons) == 1, "the warning shows no icon")
    check(box["owner"], "the warning is not modal over the dialog")


def close_warning(s):
    """OK in the warning box; the dialog stays open."""
    if s.kind == "wine":
        press(s, "OK", "Velun Saver")
    else:
        keys(s, "Return")  # reading the box gave it the keyboard focus


@contextlib.contextmanager
def comma_locale(s):
    """Programs started in the block run in a user's locale that writes "," as the
    decimal point and "." between groups of digits."""
    if s.kind == "wine":
        international = r"HKCU\Control Panel\International"
        try:
            for name, value in (("sDecimal", ","), ("sThousand", ".")):
                wine_reg(s, "add", international, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
            yield
        finally:
            for name, value in (("sDecimal", "."), ("sThousand", ",")):
                wine_reg(s, "add", international, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
    else:
        before = s.env["LC_ALL"]
        s.env["LC_ALL"] = "de_DE.UTF-8"
        try:
            yield
        finally:
            s.env["LC_ALL"] = before


def wine_reg(s, *args):
    e2e.subprocess.run(["wine", "reg", *args], env=s.env, check=True,
                       stdin=e2e.subprocess.DEVNULL, stdout=e2e.subprocess.DEVNULL,
                       stderr=e2e.subprocess.DEVNULL)


def stored(s):
    return s.store_texts()


def expect_stored(s, expected):
    texts = stored(s)
    for (section, key), text in expected.items():
        check(texts.get((section, key)) == text,
              f"{section}\\{key} stored as {texts.get((section, key))!r}, not {text!r}")
    return texts


def ended(s, process, what, seconds=5):
    check(s.wait_exit(process, seconds), f"the program did not end after {what}")


# ---------------------------------------------------------------------------
# The scenarios


def check_layout(d, dpi):
    """The dialog centred, its client area and every control where the design puts
    it, converted to pixels at this DPI."""
    left, top, right, bottom = d.rect
    check(abs(left - (SCREEN_WIDTH - right)) <= 1 and abs(top - (SCREEN_HEIGHT - bottom)) <= 1,
          f"not centred: {d.rect}")
    cl, ct, cr, cb = d.client
    check((cr - cl, cb - ct) == (px(5232, dpi), px(4344, dpi)),
          f"client area {cr - cl} x {cb - ct} at {dpi} DPI")
    for name, kind, caption, frame, x, y, w, h in DESIGN:
        c = d[name]
        fx, fy = FRAMES[frame] if frame else (0, 0)
        place = [c["rect"][0] - cl, c["rect"][1] - ct]
        expected = [px(fx + x, dpi), px(fy + y, dpi)]
        check(place == expected, f"{name} at {place}, not {expected} ({dpi} DPI)")
        size = [c["rect"][2] - c["rect"][0], c["rect"][3] - c["rect"][1]]
        if w is not None:
            check(size[0] == px(w, dpi), f"{name} is {size[0]} wide, not {px(w, dpi)}")
        if h is not None:
            check(size[1] == px(h, dpi), f"{name} is {size[1]} high, not {px(h, dpi)}")
        if caption is not None:
            check(c["text"] == caption, f"{name} says {c['text']!r}")
        check(c["visible"], f"{name} is hidden")
        if kind == "label":
            check(size[0] > 0 and 8 <= size[1] <= 2 * dpi // 9, f"{name} sized {size}")


def case_prefs_fresh(s):
    """Fresh store, "/C": the dialog centred, every control of the design at its
    place to the pixel, in tab order with the focus on OK, showing the defaults;
    Esc does nothing; Enter presses OK, which stores all eleven settings. At 120
    DPI the same design lands on the larger pixels."""
    s.registry_clear()
    process, d = open_dialog(s, "/C")
    style = d.answer["style"] & 0xFFFFFFFF
    check(d.answer["class"] == DIALOG_CLASS, f"class {d.answer['class']}")
    check(style & WS_CAPTION == WS_CAPTION and style & WS_SYSMENU, f"no caption or close box {style:#x}")
    check(not style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
          f"resizable or with a minimise/maximise box: {style:#x}")
    check(not d.answer["owner"], "the dialog has an owner")

    check_layout(d, DPI)
    left, top, right, bottom = d.rect
    cl, ct, cr, cb = d.client
    check(d["Image1"]["icon"], "Image1 shows no icon")
    check(d["OK"]["style"] & BS_TYPEMASK == BS_DEFPUSHBUTTON, "OK is not the default button")
    check(d["Cancel"]["style"] & BS_TYPEMASK == BS_PUSHBUTTON, "Cancel is a default button")
    check(d.answer["default"] == d["OK"]["id"], "Enter is not bound to OK")
    check(d["Cancel"]["id"] != 2, "Cancel answers Esc")
    # The label to the right of the delay box does not run into it, nor out of the dialog.
    check(d["lblTimeDelay"]["rect"][2] <= d["TxtTimeDelay"]["rect"][0], "Time Delay overlaps")
    check(d["Label1"]["rect"][2] <= cr, "Seconds runs out of the dialog")

    for name, entries in (("cmbVerseSelection", VERSE_ORDERS), ("cmbAnimation", ANIMATIONS)):
        c = d[name]
        check(c["style"] & CBS_TYPEMASK == CBS_DROPDOWNLIST and not c["style"] & CBS_SORT,
              f"{name} is not an unsorted pick-only list: {c['style']:#x}")
        got = [(i["text"], i["data"]) for i in c["items"]]
        check(got == entries, f"{name} holds {got}")
    check(d.selected_text("cmbVerseSelection") == "Random Verse", "verse order shown")
    check(d.selected_text("cmbAnimation") == "Random Animation", "animation shown")
    slider = d["SldrSpeed"]
    check(not slider["style"] & TBS_VERT and slider["style"] & TBS_AUTOTICKS, "slider style")
    got = {k: slider[k] for k in ("pos", "min", "max", "line", "page", "ticks")}
    check(got == {"pos": 600, "min": 0, "max": 1000, "line": 100, "page": 200, "ticks": 11},
          f"slider {got}")
    check(d["TxtTimeDelay"]["text"] == "10", f"delay shown as {d['TxtTimeDelay']['text']!r}")

    order = [d.name_by_id(i) for i in d.answer["tab_order"]]
    check(order == TAB_ORDER, f"tab order {order}")
    check(d.focus() == "OK", f"focus on {d.focus()}")
    shot = s.shot("dialog")
    check(shot.mean((left, top, right, bottom)) > 100, "the dialog is not drawn")
    # The program's icon (dark red and yellow) at the left end of the caption; Wine
    # does not answer WM_GETICON to another process, so the screen is asked.
    bar = d.answer["title_bar"]
    icon = shot.colours((left, bar[1], bar[0], bar[3]))
    check(any(r > 200 and g > 200 and b < 90 for r, g, b in icon)
          and any(90 < r < 160 and g < 40 and b < 40 for r, g, b in icon),
          "no program icon in the caption")

    keys(s, "Escape")
    time.sleep(0.4)
    check(process.poll() is None, "Esc closed the dialog")
    check(look(s, 1000).focus() == "OK", "Esc moved the focus")
    check(stored(s) == {}, "settings stored before the dialog closed")
    keys(s, "Return")
    ended(s, process, "Enter")
    texts = stored(s)
    check(set(texts) == set(SETTINGS_DEFAULTS), f"stored {sorted(texts)}")
    check(all(t == REG_SZ for t, _ in s.registry().values()), "a setting is not text")
    expect_stored(s, SETTINGS_DEFAULTS)

    # At 120 DPI a pixel is 12 twips: the same design, larger.
    dpi_key = r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"
    try:
        wine_reg(s, "add", dpi_key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "120", "/f")
        process, d = open_dialog(s, "/C")
        check_layout(d, 120)
        keys(s, "alt+F4")
        ended(s, process, "Alt+F4")
    finally:
        wine_reg(s, "add", dpi_key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(DPI), "/f")


def case_prefs_time_delay(s):
    """Delay texts typed into the box: rejected ones show the warning and keep the
    dialog open with the delay unchanged; 7.9 stores 7000 and " 12 " 12000; the
    numeric test follows the user's locale. Stored choices other than the defaults
    are shown: the keys move each from there. OK with 0, the warning closed, then
    Cancel keeps the lists and slider chosen before, with the opening delay; the next
    opening shows them, and OK stores the delay as shown, in whole seconds."""
    s.store_clear()
    process, d = open_dialog(s, "/C")
    keys(s, "Tab", "Tab", "Tab")
    if s.kind == "wine":
        check(look(s, 1000).focus() == "TxtTimeDelay", "three Tabs do not reach the delay box")
    # "2.5.1" is not a number where "." is the decimal point (the user's locale here).
    rejected = ("", "abc", "0", "61", "2.5.1", "12s")
    for text in rejected:
        type_text(s, text)
        keys(s, "Return")
        read_warning(s, closer_look=not text)
        close_warning(s)
        time.sleep(0.2)
        check(process.poll() is None, f"the dialog closed after {text!r}")
    if s.kind == "wine":
        d = look(s, 2000)
        check(d.focus() == "TxtTimeDelay", f"the warning moved the focus to {d.focus()}")
        check(d["TxtTimeDelay"]["text"] == rejected[-1], "the box does not keep what was typed")
    s.shot("after-warnings")
    # Closing without OK stores whatever the settings hold: the delay is still the
    # opening one. On Linux SIGTERM closes the dialog the way its close box does.
    if s.kind == "wine":
        keys(s, "alt+F4")
    else:
        s.terminate(process)
    ended(s, process, "the close")
    expect_stored(s, {("Time", "Delay"): "10000"})

    for text, delay in (("7.9", "7000"), (" 12 ", "12000")):
        process, _ = open_dialog(s, "/C")
        keys(s, "Tab", "Tab", "Tab")
        type_text(s, text)
        if s.kind == "wine":
            check(look(s, 1000)["TxtTimeDelay"]["text"] == text, "typing went astray")
        keys(s, "Return")
        ended(s, process, f"OK with {text!r}")
        expect_stored(s, {("Time", "Delay"): delay})

    # Where "," is the decimal point, "7,5" passes the test and reads as 7: the
    # numeric test follows the user's locale, the reading does not.
    with comma_locale(s):
        process, _ = open_dialog(s, "/C")
        keys(s, "Tab", "Tab", "Tab")
        type_text(s, "7,5")
        keys(s, "Return")
        ended(s, process, "OK with 7,5 in a comma locale")
        expect_stored(s, {("Time", "Delay"): "7000"})

    # Opening with stored choices other than the defaults.
    s.store_clear()
    for section, key, text in (("Verse Selection", "type", "2"), ("Animation", "type", "3"),
                               ("Animation", "Speed", "300"), ("Time", "Delay", "15500")):
        s.store_set(section, key, text)
    process, d = open_dialog(s, "/C")
    s.shot("stored-choices")
    if s.kind == "native":
        # With no window manager the window is the client area, 5232 x 4344 twips.
        left, top, right, bottom = s.find_window(TITLE, 1000)["rect"]
        check((right - left, bottom - top) == (px(5232), px(4344)),
              f"the dialog is {right - left} x {bottom - top}")
        check(abs(left - (SCREEN_WIDTH - right)) <= 1 and abs(top - (SCREEN_HEIGHT - bottom)) <= 1,
              f"not centred: {left, top, right, bottom}")
    if s.kind == "wine":
        check(d.selected_text("cmbVerseSelection") == "Random Chapter", "verse order shown")
        check(d.selected_text("cmbAnimation") == "Slide From Left", "animation shown")
        check(d.slider() == 300 and d["TxtTimeDelay"]["text"] == "15", "speed or delay shown")
    keys(s, "Tab", "Tab", "Tab")
    type_text(s, "0")
    # Each list and the slider one step on from what it shows: Slide From Right, 400,
    # From Begining to End.
    keys(s, "Tab", "Down", "Tab", "Right", "Tab", "Tab", "Up")
    if s.kind == "wine":
        d = look(s, 1000)
        check(d.focus() == "cmbVerseSelection", f"focus on {d.focus()}")
        check(d.selected_text("cmbAnimation") == "Slide From Right" and d.slider() == 400
              and d.selected_text("cmbVerseSelection") == "From Begining to End",
              "the keys did not pick the entries")
    keys(s, "Return")  # Enter on a list presses OK
    read_warning(s)
    close_warning(s)
    time.sleep(0.3)
    keys(s, "shift+Tab")
    if s.kind == "wine":
        check(look(s, 1000).focus() == "Cancel", "Shift+Tab from the verse list misses Cancel")
    keys(s, "Return")  # Enter presses the button that has the focus
    ended(s, process, "Enter on Cancel")
    chosen = {("Verse Selection", "type"): "1", ("Animation", "type"): "4",
              ("Animation", "Speed"): "400"}
    expect_stored(s, {**chosen, ("Time", "Delay"): "15500"})
    process, _ = open_dialog(s, "/C")
    keys(s, "Return")
    ended(s, process, "Enter on OK")
    expect_stored(s, {**chosen, ("Time", "Delay"): "15000"})
    if s.kind == "native":
        # At 120 DPI the same design on larger pixels. Qt lays a window out in pixels
        # of 96 DPI, drawn 1.25 times larger: within a pixel of the design.
        with s.screen_dpi(120):
            process, _ = open_dialog(s, "/C")
            s.shot("120-dpi")
            left, top, right, bottom = s.find_window(TITLE, 1000)["rect"]
            check(abs(right - left - px(5232, 120)) <= 1 and abs(bottom - top - px(4344, 120)) <= 1,
                  f"the dialog is {right - left} x {bottom - top} at 120 DPI")
            s.terminate(process)
            ended(s, process, "SIGTERM")


def case_prefs_close_routes(s):
    """"/c:1234" and "/C 5" open the dialog; a second start meanwhile ends at once;
    the close box and Alt+F4 store the settings as they stand (no control read)."""
    s.registry_clear()
    process, d = open_dialog(s, "/c:1234")
    for argument in ("/C", "/S"):
        started = time.monotonic()
        second = s.launch(f'"{s.windows_path(s.scr)}" {argument}', 5000)
        check(second["exited"], f"a second start with {argument} kept running")
        print(f"second start {argument} ended after {time.monotonic() - started:.2f} s")
    check(s.saver_window(0) is None, "the second start showed the saver")
    check(process.poll() is None, "the second start ended the dialog")
    keys(s, "Tab", "Tab", "Tab", "Tab", "Home")  # the animation list, not taken without OK
    check(look(s, 1000).selected_text("cmbAnimation") == "Slide From Top", "Home in the list")
    # The close box: the right end of the title bar.
    bar = look(s, 1000).answer["title_bar"]
    x, y = bar[2] - 9, (bar[1] + bar[3]) // 2
    s.mouse_to(x, y)
    e2e.subprocess.run(["xdotool", "click", "1"], env=s.env, check=True)
    ended(s, process, f"a click on the close box at {x},{y}")
    texts = expect_stored(s, SETTINGS_DEFAULTS)
    check(len(texts) == 11, f"stored {sorted(texts)}")

    s.registry_clear()
    process, _ = open_dialog(s, "/C", "5")
    keys(s, "alt+F4")
    ended(s, process, "Alt+F4")
    check(len(expect_stored(s, SETTINGS_DEFAULTS)) == 11, "not all settings stored")

    s.registry_clear()
    process, _ = open_dialog(s, "/C")
    keys(s, "alt+space")
    time.sleep(0.3)
    keys(s, "c")  # the window menu's Close
    ended(s, process, "the window menu's Close")
    check(len(expect_stored(s, SETTINGS_DEFAULTS)) == 11, "not all settings stored")


def chooser(s, title):
    answer = s.inspector("dialog", title, 5000, DIALOG_CLASS)
    check(answer["found"], f"no {title} chooser")
    check(answer["owner"], f"the {title} chooser is not owned by the dialog")
    time.sleep(0.3)
    return answer


def by_id(answer, control_id):
    for c in answer["controls"]:
        if c["id"] == control_id:
            return c
    raise e2e.Failed(f"no control {control_id:#x} in the chooser")


def case_prefs_choosers(s):
    """The font chooser opens on the stored face and size; Escape keeps the six
    font settings; it refuses 49 and a size typed and confirmed is stored. The colour
    chooser opens on 128; Escape changes nothing; a colour clicked and confirmed is
    stored, and Cancel in the dialog keeps both choices."""
    s.registry_clear()
    s.registry_set("Fonts", "Font Italic", "True")
    process, _ = open_dialog(s, "/C")
    press(s, "Fonts")
    font = chooser(s, "Font")
    # The face box (0x470) and the size box (0x472) of the standard font chooser;
    # the italic and underline boxes (0x410, 0x411) are in the effects group.
    face, size = by_id(font, 0x470), by_id(font, 0x472)
    print(f"font chooser opens on {face['text']!r}, {size['text']!r}")
    check(face["text"] == "Traditional Arabic", f"face {face['text']!r}")
    check(size["text"] == "30", f"size {size['text']!r}")
    s.shot("font-chooser")
    keys(s, "Escape")
    time.sleep(0.3)
    check(not s.inspector("window", "Font", 0, DIALOG_CLASS)["found"], "Escape left the chooser")
    check(process.poll() is None, "Escape in the chooser closed the dialog")

    press(s, "Fonts")
    chooser(s, "Font")
    keys(s, "alt+s")  # the size box
    type_text(s, "49")  # beyond the limits the program gives the chooser
    keys(s, "Return")
    text, _ = e2e.message_box(s, "Error", 5000)
    print(f"the font chooser refuses 49: {text!r}")
    check("8" in text and "48" in text, f"the chooser's refusal does not name 8 to 48: {text!r}")
    press(s, "OK", "Error")
    time.sleep(0.3)
    keys(s, "alt+s")
    type_text(s, "12")
    keys(s, "Return")
    time.sleep(0.3)
    check(not s.inspector("window", "Font", 0, DIALOG_CLASS)["found"], "the chooser stays open")

    press(s, "Font Color")
    colour = chooser(s, "Color")
    rgb = [by_id(colour, i)["text"] for i in (0x2C2, 0x2C3, 0x2C4)]
    print(f"colour chooser opens on red, green, blue {rgb}")
    check(rgb == ["128", "0", "0"], f"the colour chooser opens on {rgb}")
    shot = s.shot("colour-chooser")
    keys(s, "Escape")
    time.sleep(0.3)
    # Pure red is one of the basic colours: a click on it and OK confirm it.
    press(s, "Font Color")
    colour = chooser(s, "Color")
    left, top, right, bottom = colour["rect"]
    reds = [(x, y) for y in range(top, bottom) for x in range(left, right)
            if shot.pixel(x, y) == (255, 0, 0)]
    check(reds, "no red among the basic colours")
    s.mouse_to(*reds[len(reds) // 2])
    e2e.subprocess.run(["xdotool", "click", "1"], env=s.env, check=True)
    keys(s, "Return")
    time.sleep(0.3)
    # Cancel in the dialog undoes neither chooser.
    press(s, "Cancel")
    ended(s, process, "Cancel")
    expected = dict(SETTINGS_DEFAULTS)
    expected[("Fonts", "Font Size")] = "12"
    expected[("Fonts", "Font Italic")] = "True"
    expected[("Fonts", "Font Color")] = "255"
    expect_stored(s, expected)


def case_prefs_slider_keys(s):
    """The slider from the keyboard: Tab reaches it; arrows move by 100, page keys by
    200, Home and End to the ends, always on multiples of 100; a drag lands on a
    multiple of 100; OK stores the value."""
    s.registry_clear()
    process, d = open_dialog(s, "/C")
    keys(s, "Tab", "Tab", "Tab", "Tab", "Tab")
    check(look(s, 1000).focus() == "SldrSpeed", "five Tabs do not reach the slider")
    for key, value in (("Right", 700), ("Next", 900), ("Left", 800), ("Prior", 600),
                       ("Up", 500), ("End", 1000), ("Right", 1000), ("Home", 0), ("Prior", 0),
                       ("Next", 200), ("Down", 300)):
        keys(s, key)
        got = look(s, 1000).slider()
        check(got == value, f"{key} left the slider at {got}, not {value}")
    # A drag of the thumb from 300 to the right lands on a multiple of 100.
    left, top, right, bottom = d["SldrSpeed"]["rect"]
    thumb_x = left + 13 + (right - left - 26) * 3 // 10
    y = top + 10
    s.mouse_to(thumb_x, y)
    e2e.subprocess.run(["xdotool", "mousedown", "1"], env=s.env, check=True)
    for dx in (5, 12, 19, 27):
        s.mouse_to(thumb_x + dx, y)
        time.sleep(0.05)
    e2e.subprocess.run(["xdotool", "mouseup", "1"], env=s.env, check=True)
    time.sleep(0.2)
    dragged = look(s, 1000).slider()
    print(f"dragged to {dragged}")
    check(dragged % 100 == 0 and 300 < dragged < 1000, f"the drag left the slider at {dragged}")
    keys(s, "Left", "Left")
    expected = dragged - 200
    check(look(s, 1000).slider() == expected, "the arrows after the drag")
    keys(s, "Return")
    ended(s, process, "Enter on the slider")
    expect_stored(s, {("Animation", "Speed"): str(expected), ("Time", "Delay"): "10000"})


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}
# Rows of the one table of scenarios (e2e.SCENARIOS). The delay scenario runs against
# both programs; the others look inside the dialog and its choosers with the
# inspector, or close it through a window manager: Wine only.
SHARED = ("prefs_time_delay",)
e2e.add_scenarios([(name, f, e2e.BOTH if name in SHARED else (e2e.WINE,))
                   for name, f in CASES.items()])

if __name__ == "__main__":
    sys.exit(e2e.main())
