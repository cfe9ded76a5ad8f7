#!/usr/bin/env python3
"""Test of the Linux package.

    package_test.py --cpack cpack --config CPackConfig.cmake --work DIR
                    --verses finalvelun.txt --icon-sizes 16 24 ...

packs the .deb, unpacks it with dpkg-deb into DIR/root and checks its layout, its
links, its control fields, and its menu entries and XScreenSaver description as
desktops and xscreensaver-settings read them; DIR/root is left for the scenarios that
run the program from there.
"""
import argparse
import configparser
import os
import shutil
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

PROGRAM = "usr/lib/velun-saver/velun-saver"
VERSES = "usr/lib/velun-saver/finalvelun.txt"
LINKS = {"usr/bin/velun-saver": PROGRAM, "usr/libexec/xscreensaver/velun-saver": PROGRAM}
XML = "usr/share/xscreensaver/config/velun-saver.xml"
MENU_ENTRY = "usr/share/applications/velun-saver.desktop"
MATE_ENTRY = "usr/share/applications/screensavers/velun-saver.desktop"
ICON = "usr/share/icons/hicolor/{0}x{0}/apps/velun-saver.png"
# What dpkg-shlibdeps must find, and the Naskh face for "Traditional Arabic".
REQUIRED_DEPENDS = {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libc6", "libstdc++6",
                    "fonts-noto-core"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(*command):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def desktop_entry(path):
    parser = configparser.RawConfigParser(delimiters=("=",), interpolation=None)
    parser.optionxform = str  # keys are case-sensitive
    parser.read(path, encoding="utf-8")
    return parser["Desktop Entry"]


def check_description(path, program_name):
    """xscreensaver-settings finds a mode's page by the program's name."""
    linted = run("xmllint", "--noout", str(path))
    if not check(linted.returncode == 0, f"{path.name} does not parse: {linted.stdout}"):
        return
    root = ElementTree.parse(path).getroot()
    check(root.tag == "screensaver", f"{path.name}: root element {root.tag}")
    check(root.get("name") == program_name,
          f"{path.name} names program {root.get('name')!r}, not {program_name!r}")
    check(root.get("_label") == "Velun Saver", f"{path.name}: label {root.get('_label')!r}")
    commands = [c.get("arg") for c in root.iter("command")]
    check(commands == ["-root"], f"{path.name}: command arguments {commands}")
    check(path.stem == program_name, f"description file {path.name} is not {program_name}.xml")


def check_entries(menu_entry, mate_entry):
    for path in (menu_entry, mate_entry):
        validated = run("desktop-file-validate", str(path))
        check(validated.returncode == 0 and "error" not in validated.stdout,
              f"{path} is not a valid desktop entry: {validated.stdout}")
    menu = desktop_entry(menu_entry)
    check(menu.get("Name") == "Velun Saver Preferences", f"menu entry's name {menu.get('Name')!r}")
    check(menu.get("Exec") == "velun-saver /C", f"menu entry runs {menu.get('Exec')!r}")
    check(menu.get("Icon") == "velun-saver", f"menu entry's icon {menu.get('Icon')!r}")
    check(menu.get("Type") == "Application", "menu entry is not an application")
    mate = desktop_entry(mate_entry)
    check(mate.get("Exec") == "velun-saver -root", f"display mode entry runs {mate.get('Exec')!r}")
    check("Screensaver" in mate.get("Categories", "").split(";"),
          "display mode entry is not in the Screensaver category")


def png_size(path):
    data = path.read_bytes()[:24]
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


def deb(args):
    work = Path(args.work)
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    packed = run(args.cpack, "--config", args.config, "-G", "DEB", "-B", str(work / "package"))
    if not check(packed.returncode == 0, f"cpack failed:\n{packed.stdout}"):
        return
    debs = list((work / "package").glob("velun-saver_*.deb"))
    if not check(len(debs) == 1, f"cpack made {[d.name for d in debs]}"):
        return
    package = debs[0]
    root = work / "root"
    unpacked = run("dpkg-deb", "-x", str(package), str(root))
    if not check(unpacked.returncode == 0, f"dpkg-deb -x failed: {unpacked.stdout}"):
        return

    # Control fields.
    fields = {name: run("dpkg-deb", "-f", str(package), name).stdout.strip()
              for name in ("Package", "Architecture", "Depends")}
    check(fields["Package"] == "velun-saver", f"package name {fields['Package']!r}")
    architecture = run("dpkg", "--print-architecture").stdout.strip()
    check(fields["Architecture"] == architecture,
          f"architecture {fields['Architecture']!r}, not {architecture!r}")
    depends = {alternative.split()[0] for clause in fields["Depends"].split(",")
               for alternative in clause.split("|") if alternative.strip()}
    check(REQUIRED_DEPENDS <= depends,
          f"Depends lacks {sorted(REQUIRED_DEPENDS - depends)}: {fields['Depends']}")

    # Exactly these files, and nothing outside them.
    expected = {PROGRAM, VERSES, XML, MENU_ENTRY, MATE_ENTRY, *LINKS,
                *(ICON.format(size) for size in args.icon_sizes)}
    present = {str(p.relative_to(root)) for p in root.rglob("*") if not p.is_dir() or p.is_symlink()}
    check(present == expected, f"unexpected files {sorted(present - expected)}, "
                               f"missing {sorted(expected - present)}")

    program = root / PROGRAM
    if check(program.is_file(), "the program is missing"):
        check(program.read_bytes()[:4] == b"\x7fELF", "the program is not an ELF file")
        check(os.access(program, os.X_OK), "the program is not executable")
    verses = root / VERSES
    check(verses.is_file() and verses.read_bytes() == Path(args.verses).read_bytes(),
          "the verse file beside the program is not the sample verse file")
    for link, target in LINKS.items():
        path = root / link
        if check(path.is_symlink(), f"{link} is not a link"):
            check(not os.readlink(path).startswith("/"),
                  f"{link} points to an absolute path {os.readlink(path)} (breaks outside /)")
            check(path.resolve() == (root / target).resolve(), f"{link} does not reach {target}")
    for size in args.icon_sizes:
        icon = root / ICON.format(size)
        if icon.exists():
            check(png_size(icon) == (size, size), f"icon {icon.name} at {size}: {png_size(icon)}")
    if (root / XML).exists():
        check_description(root / XML, Path(next(iter(LINKS))).name)
    if (root / MENU_ENTRY).exists() and (root / MATE_ENTRY).exists():
        check_entries(root / MENU_ENTRY, root / MATE_ENTRY)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--config", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--verses", required=True)
    parser.add_argument("--icon-sizes", type=int, nargs="+", required=True)
    deb(parser.parse_args())
    for failure in failures:
        print("FAILED:", failure)
    print("passed" if not failures else f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
