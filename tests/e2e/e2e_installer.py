#!/usr/bin/env python3
"""End-to-end test of the setup program VelunSaverSetup-<version>.exe under Wine.

    VELUN_SETUP=VelunSaverSetup-1.00.exe e2e_installer.py --work DIR --scr velun.scr \\
        --verses finalvelun.txt --inspector velun-inspector.exe case installer

Runs in e2e.py's session (display, Wine prefix, wineserver). It installs into that
prefix's system32 and HKCU, so it ends by uninstalling and putting back whatever
it changed, also when it fails: the other scenarios find the prefix as before.
"""
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import e2e  # noqa: E402
from e2e import check  # noqa: E402

UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
ENTRY = UNINSTALL + r"\VelunSaver"
DESKTOP = r"HKCU\Control Panel\Desktop"
SYSTEM32 = r"C:\windows\system32"
INSTALLED = SYSTEM32 + r"\velun.scr"
# The setup window's caption ends in a blank (its pages' empty subtitle); its
# message boxes have the caption alone.
SETUP_TITLE = "Velun Saver 1.00 Setup "
MESSAGE_TITLE = SETUP_TITLE.rstrip()


def reg_query(s, key, *options):
    """{value name: (type, data)} of a key (with /s: {key: {...}}), or None when it is missing."""
    out = subprocess.run(["wine", "reg", "query", key, *options], env=s.env, timeout=30,
                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if out.returncode != 0:
        return None
    keys, current = {}, None
    for line in out.stdout.decode("utf-8", "replace").splitlines():
        if line.startswith("HKEY_"):
            current = keys.setdefault(line.strip(), {})
        elif line.startswith("    ") and current is not None:
            parts = line.strip().split("    ", 2)
            if len(parts) >= 2:
                current[parts[0]] = (parts[1], parts[2] if len(parts) == 3 else "")
    return keys if "/s" in options else next(iter(keys.values()), {})


def uninstall_entries(s):
    """{key: values} of the uninstall entries named "Velun Saver"."""
    keys = reg_query(s, UNINSTALL, "/s") or {}
    return {k: v for k, v in keys.items() if v.get("DisplayName", (None, None))[1] == "Velun Saver"}


def desktop(s):
    """The screen-saver values of the user's desktop settings, None where missing."""
    values = reg_query(s, DESKTOP) or {}
    return {name: values[name][1] if name in values else None
            for name in ("SCRNSAVE.EXE", "ScreenSaveActive", "ScreenSaveTimeOut")}


def set_desktop(s, values):
    """Sets (or, for None, deletes) desktop values, all in one registry import."""
    lines = ["Windows Registry Editor Version 5.00", "", "[" + DESKTOP.replace("HKCU", "HKEY_CURRENT_USER") + "]"]
    for name, text in values.items():
        data = "-" if text is None else '"' + text.replace("\\", "\\\\") + '"'
        lines.append(f'"{name}"={data}')
    script = s.work / "installer-desktop.reg"
    script.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
    s.wine_reg("import", s.windows_path(script))


def run_setup(s, setup):
    started = time.monotonic()
    done = subprocess.run(["wine", str(setup), "/S"], env=s.env, timeout=120,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    print(f"silent install: exit {done.returncode} after {time.monotonic() - started:.1f} s")
    check(done.returncode == 0, f"the silent install ended with {done.returncode}")


def uninstall_quietly(s, seconds=30):
    """Runs the entry's QuietUninstallString, as Windows would, and waits until the
    uninstaller (which goes on from a copy of itself) has removed the entry."""
    entry = reg_query(s, ENTRY)
    check(entry and "QuietUninstallString" in entry, f"no quiet uninstall command: {entry}")
    started = time.monotonic()
    s.launch(entry["QuietUninstallString"][1], 20000)
    while reg_query(s, ENTRY) is not None:
        check(time.monotonic() - started < seconds, f"the entry is still there after {seconds} s")
        time.sleep(0.3)
    time.sleep(0.5)  # the uninstaller ends after removing its key
    print(f"silent uninstall: {time.monotonic() - started:.1f} s")


def check_installed(s, system32):
    for name, built in (("velun.scr", s.scr), ("finalvelun.txt", s.verses)):
        check((system32 / name).is_file(), f"{name} is not in system32")
        check((system32 / name).read_bytes() == built.read_bytes(),
              f"the installed {name} differs from the built one")
    entries = uninstall_entries(s)
    check(list(entries) == ["HKEY_LOCAL_MACHINE" + ENTRY[4:]], f"uninstall entries: {list(entries)}")
    entry = next(iter(entries.values()))
    expected = {"DisplayName": "Velun Saver", "DisplayVersion": "1.00", "Publisher": "Velun Saver",
                "DisplayIcon": INSTALLED + ",0", "NoModify": "0x1", "NoRepair": "0x1"}
    for name, text in expected.items():
        check(entry.get(name, (None, ""))[1].lower() == text.lower(),
              f"{name} is {entry.get(name)}, not {text!r}")
    uninstaller = entry["UninstallString"][1]
    check(uninstaller.startswith('"') and uninstaller.endswith('.exe"'),
          f"UninstallString {uninstaller!r}")
    check(entry["QuietUninstallString"][1] == uninstaller + " /S",
          f"QuietUninstallString {entry['QuietUninstallString']}")
    size_kb = int(entry["EstimatedSize"][1], 16)
    files_kb = (s.scr.stat().st_size + s.verses.stat().st_size) // 1024
    check(files_kb <= size_kb <= files_kb + 1024, f"EstimatedSize {size_kb} KB for {files_kb} KB")


def check_installed_saver_runs(s, program):
    """The saver as Windows starts it: "/S" shows a verse (the verse file found beside
    it in system32), "/C" opens the preferences dialog."""
    s.mouse_to(640, 512)
    process, _ = e2e.start_saver(s, "/S", program=program)
    shot, box = e2e.wait_for_rest(s, "installed-saver")
    check(s.inspector("window", "Error", 0, "#32770")["found"] is False, "an error box shows")
    e2e.check_centred(box)
    print(f"installed saver: verse ink {box} in {shot.path.name}")
    e2e.end_with_key(s, process)

    process = s.start("/C", program=program)
    dialog = s.inspector("window", "Velun Saver Preferences", 10000)
    check(dialog["found"], "the installed saver's \"/C\" opened no preferences dialog")
    time.sleep(0.5)
    s.shot("installed-preferences")
    s.inspector("press", "Velun Saver Preferences", "Cancel", 2000)
    check(s.wait_exit(process, 5), "the preferences dialog did not close on Cancel")


def upgrade_over_running_saver(s, setup, program):
    """The setup program run by hand while the installed saver runs: velun.scr is in
    use, the user is told so, ends the saver and retries; the install then ends."""
    s.mouse_to(640, 512)
    saver, _ = e2e.start_saver(s, "/S", program=program)
    process = s.start(program=setup)
    check(s.inspector("press", SETUP_TITLE, "&Install", 10000, "#32770")["pressed"],
          "no Install button")
    box = s.inspector("controls", MESSAGE_TITLE, 10000, "#32770")
    texts = " ".join(c["text"] for c in box["controls"] if c["class"] == "Static")
    buttons = [c["text"] for c in box["controls"] if c["class"] == "Button"]
    s.shot("file-in-use")
    check("velun.scr is in use" in texts, f"no word of the file in use: {texts!r}")
    check(buttons == ["&Retry", "Cancel"], f"buttons {buttons}")
    s.mouse_to(100, 100)  # over the saver, away from the setup window
    check(s.wait_exit(saver, 5), "moving the mouse did not end the saver")
    check(s.inspector("press", MESSAGE_TITLE, "&Retry", 5000, "#32770")["pressed"], "no Retry")
    finish = s.inspector("controls", SETUP_TITLE, 10000, "#32770")
    labels = [c["text"] for c in finish["controls"]]
    deadline = time.monotonic() + 20
    while "&Finish" not in labels:
        check(time.monotonic() < deadline, f"no Finish page: {labels}")
        time.sleep(0.3)
        labels = [c["text"] for c in s.inspector("controls", SETUP_TITLE, 5000, "#32770")["controls"]]
    s.shot("finish-page")
    check("Open the screen saver settings" in labels, f"no offer to open the settings: {labels}")
    # Wine has no screen-saver settings to open: untick the offer, then Finish.
    s.inspector("press", SETUP_TITLE, "Open the screen saver settings", 2000, "#32770")
    s.inspector("press", SETUP_TITLE, "&Finish", 2000, "#32770")
    check(s.wait_exit(process, 10), "the setup program did not end after Finish")


def case_installer(s):
    """Silent install, the installed saver in both modes, a second silent install, a
    hand-run upgrade over the running saver, and a silent uninstall that keeps the
    settings; then the same with another saver chosen meanwhile."""
    setup = Path(os.environ["VELUN_SETUP"]).resolve()
    check(setup.is_file(), f"no setup program: {setup}")
    system32 = s.prefix / "drive_c" / "windows" / "system32"
    before = desktop(s)
    try:
        check(reg_query(s, ENTRY) is None, "Velun Saver is installed already")
        s.registry_clear()
        set_desktop(s, {"SCRNSAVE.EXE": None, "ScreenSaveTimeOut": "420"})

        run_setup(s, setup)
        check_installed(s, system32)
        chosen = desktop(s)
        scrnsave = chosen["SCRNSAVE.EXE"]
        check(scrnsave and scrnsave.lower() == INSTALLED.lower(), f"SCRNSAVE.EXE is {scrnsave!r}")
        check(chosen["ScreenSaveActive"] == "1", "the screen saver is not switched on")
        check(chosen["ScreenSaveTimeOut"] == "420", "the waiting time changed")

        check_installed_saver_runs(s, scrnsave)
        settings = s.registry()
        check(len(settings) == 11, f"the saver stored {len(settings)} settings")

        run_setup(s, setup)
        check_installed(s, system32)
        upgrade_over_running_saver(s, setup, scrnsave)
        check_installed(s, system32)

        uninstall_quietly(s)
        for name in ("velun.scr", "finalvelun.txt"):
            check(not (system32 / name).exists(), f"{name} is still in system32")
        check(not (system32 / "velun.scr.new").exists(), "a replacement file is left")
        after = desktop(s)
        check(after["SCRNSAVE.EXE"] is None, "SCRNSAVE.EXE still names the removed saver")
        check(after["ScreenSaveTimeOut"] == "420", "the waiting time changed")
        check(s.registry() == settings, "the uninstall changed the stored settings")
        check(not uninstall_entries(s), "an uninstall entry is left")

        # Another saver chosen after the install stays chosen.
        run_setup(s, setup)
        other = SYSTEM32 + r"\other.scr"
        set_desktop(s, {"SCRNSAVE.EXE": other})
        uninstall_quietly(s)
        check(desktop(s)["SCRNSAVE.EXE"] == other, "the uninstall cleared another saver")
        check(not (system32 / "velun.scr").exists(), "velun.scr is still in system32")
    finally:
        if reg_query(s, ENTRY) is not None:
            try:
                uninstall_quietly(s)
            except e2e.Failed as failure:
                print(f"clean-up: {failure}")
        for name in ("velun.scr", "finalvelun.txt", "velun.scr.new", "finalvelun.txt.new"):
            (system32 / name).unlink(missing_ok=True)
        set_desktop(s, before)
        s.registry_clear()


CASES = {"installer": case_installer}

if __name__ == "__main__":
    e2e.CASES.update(CASES)
    sys.exit(e2e.main())
