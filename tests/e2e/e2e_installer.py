#!/usr/bin/env python3
"""The setup program under Wine, in e2e.py's session (VELUN_SETUP names it):
    VELUN_SETUP=VelunSaverSetup-1.00.exe e2e_installer.py <e2e.py's options> case installer
It installs into the session's prefix, so it ends by uninstalling and putting back
what it changed, also when it fails: the other scenarios find the prefix as before.
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
DESKTOP = r"HKCU\Control Panel\Desktop"
INSTALLED = r"C:\windows\system32\velun.scr"


def reg_query(s, key):
    """{key: {value name: data}} of the key and those below it; {} when it is missing."""
    out = subprocess.run(["wine", "reg", "query", key, "/s"], env=s.env, timeout=30,
                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    keys, current = {}, {}
    for line in out.stdout.decode("utf-8", "replace").splitlines():
        if line.startswith("HKEY_"):
            current = keys.setdefault(line.strip(), {})
        elif line.startswith("    "):
            name, _, data = (line.strip().split("    ", 2) + [""])[:3]
            current[name] = data
    return keys


def our_entries(s):
    return [v for v in reg_query(s, UNINSTALL).values() if v.get("DisplayName") == "Velun Saver"]


def desktop(s):
    values = next(iter(reg_query(s, DESKTOP).values()), {})
    return {n: values.get(n) for n in ("SCRNSAVE.EXE", "ScreenSaveActive", "ScreenSaveTimeOut")}


def set_desktop(s, values):
    """Sets (None: deletes) desktop values in one registry import."""
    lines = ["Windows Registry Editor Version 5.00", "", r"[HKEY_CURRENT_USER\Control Panel\Desktop]"]
    lines += [f'"{n}"=' + ("-" if t is None else '"' + t.replace("\\", "\\\\") + '"')
              for n, t in values.items()]
    script = s.work / "installer-desktop.reg"
    script.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
    s.wine_reg("import", s.windows_path(script))


def install(s, setup):
    done = subprocess.run(["wine", str(setup), "/S"], env=s.env, timeout=120,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(done.returncode == 0, f"the silent install ended with {done.returncode}")
    entries = our_entries(s)
    check(len(entries) == 1, f"{len(entries)} uninstall entries")
    entry = entries[0]
    for name, text in {"DisplayVersion": "1.00", "Publisher": "Velun Saver", "NoModify": "0x1",
                       "NoRepair": "0x1", "DisplayIcon": INSTALLED + ",0"}.items():
        check(entry.get(name, "").lower() == text.lower(), f"{name} is {entry.get(name)!r}")
    check(entry["QuietUninstallString"] == entry["UninstallString"] + " /S", f"entry {entry}")
    files_kb = (s.scr.stat().st_size + s.verses.stat().st_size) // 1024
    check(files_kb <= int(entry["EstimatedSize"], 16) <= files_kb + 1024, f"size {entry}")
    return entry


def uninstall(s, entry, seconds=30):
    """Runs the quiet uninstall command as Windows would; the uninstaller goes on
    from a copy of itself, so wait until the entry is gone."""
    started = time.monotonic()
    s.launch(entry["QuietUninstallString"], 20000)
    while our_entries(s):
        check(time.monotonic() - started < seconds, f"the entry is still there after {seconds} s")
    time.sleep(0.5)


def case_installer(s):
    """Silent install: both files in system32, one uninstall entry, the saver chosen
    (the waiting time kept); the installed saver shows a verse with "/S" and its
    dialog with "/C"; a second install leaves one entry; a silent uninstall removes
    files, entry and the choice of saver but keeps the settings, and keeps another
    saver chosen meanwhile."""
    setup = Path(os.environ["VELUN_SETUP"])
    system32 = s.prefix / "drive_c" / "windows" / "system32"
    before = desktop(s)
    try:
        check(not our_entries(s), "Velun Saver is installed already")
        s.registry_clear()
        set_desktop(s, {"SCRNSAVE.EXE": None, "ScreenSaveTimeOut": "420"})
        entry = install(s, setup)
        for name, built in (("velun.scr", s.scr), ("finalvelun.txt", s.verses)):
            check((system32 / name).read_bytes() == built.read_bytes(), f"{name} not installed")
        chosen = desktop(s)
        check((chosen["SCRNSAVE.EXE"] or "").lower() == INSTALLED.lower(), f"desktop {chosen}")
        check(chosen["ScreenSaveActive"] == "1" and chosen["ScreenSaveTimeOut"] == "420",
              f"desktop {chosen}")

        s.mouse_to(640, 512)
        process, _ = e2e.start_saver(s, "/S", program=chosen["SCRNSAVE.EXE"])
        _, box = e2e.wait_for_rest(s, "installed-saver")
        e2e.check_centred(box)
        check(not s.inspector("window", "Error", 0, "#32770")["found"], "an error box shows")
        e2e.end_with_key(s, process)
        process = s.start("/C", program=chosen["SCRNSAVE.EXE"])
        check(s.inspector("window", "Velun Saver Preferences", 10000)["found"], "no dialog")
        s.shot("installed-preferences")
        s.inspector("press", "Velun Saver Preferences", "Cancel", 2000)
        check(s.wait_exit(process, 5), "the preferences dialog did not close")
        settings = s.registry()
        check(len(settings) == 11, f"the saver stored {len(settings)} settings")

        entry = install(s, setup)
        uninstall(s, entry)
        check(not any((system32 / n).exists() for n in ("velun.scr", "finalvelun.txt")),
              "files left in system32")
        after = desktop(s)
        check(after["SCRNSAVE.EXE"] is None and after["ScreenSaveTimeOut"] == "420", f"desktop {after}")
        check(s.registry() == settings, "the uninstall changed the stored settings")

        other = r"C:\windows\system32\other.scr"
        entry = install(s, setup)
        set_desktop(s, {"SCRNSAVE.EXE": other})
        uninstall(s, entry)
        check(desktop(s)["SCRNSAVE.EXE"] == other, "the uninstall cleared another saver")
    finally:
        for entry in our_entries(s):
            uninstall(s, entry)
        for name in ("velun.scr", "finalvelun.txt", "velun.scr.new", "finalvelun.txt.new"):
            (system32 / name).unlink(missing_ok=True)
        set_desktop(s, before)
        s.registry_clear()


if __name__ == "__main__":
    e2e.CASES["installer"] = case_installer
    sys.exit(e2e.main())
