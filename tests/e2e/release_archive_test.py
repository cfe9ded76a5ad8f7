#!/usr/bin/env python3
"""Checks the Windows release files without running them: the zip holds exactly
velun.scr, finalvelun.txt (the built ones) and the read-me, with one fixed time;
SHA256SUMS verifies with sha256sum -c; the setup program is a 64-bit program with
version 1.00 and the program's icon.

    release_archive_test.py RELEASE_DIR VERSION VERSE_FILE
"""
import struct
import subprocess
import sys
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from program_file_test import RT_GROUP_ICON, RT_VERSION, PeFile, check, version_strings  # noqa: E402

RT_ICON = 3


def main():
    folder, version, verse_file = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
    setup = folder / f"VelunSaverSetup-{version}.exe"
    archive = folder / f"velun-saver-{version}-windows-x64.zip"

    with zipfile.ZipFile(archive) as z:
        entries = z.infolist()
        names = [e.filename for e in entries]
        check(names == ["velun.scr", "finalvelun.txt", "README.txt"], f"zip entries {names}")
        check(z.testzip() is None, "a zip entry is damaged")
        check(z.read("velun.scr") == (folder / "velun.scr").read_bytes(),
              "the zip's velun.scr is not the built one")
        check(z.read("finalvelun.txt") == verse_file.read_bytes(),
              "the zip's finalvelun.txt is not the sample verse file")
        readme = z.read("README.txt").decode("utf-8")
        check("\r\n" in readme and "\n" not in readme.replace("\r\n", ""),
              "the read-me does not have Windows line ends")
        for needed in (f"Velun Saver {version}", r"C:\Windows\System32",
                       "control desk.cpl,,@screensaver", "Install"):
            check(needed in readme, f"the read-me does not mention {needed!r}")
        check("@" + "VERSION@" not in readme, "the read-me's version was not filled in")
        times = {e.date_time for e in entries}
        check(len(times) == 1, f"zip entries with different times: {times}")

    sums = (folder / "SHA256SUMS").read_text()
    listed = sorted(line.split("  ", 1)[1] for line in sums.splitlines())
    check(listed == sorted([setup.name, archive.name]), f"SHA256SUMS lists {listed}")
    verify = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=folder, text=True,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    print(verify.stdout, end="")
    check(verify.returncode == 0, "SHA256SUMS does not verify")

    pe = PeFile(setup.read_bytes())
    check(pe.machine == 0x8664, f"the setup program is not 64-bit: machine {pe.machine:#x}")
    resources = pe.resources()
    strings = version_strings(resources[(RT_VERSION, 1)])
    check(strings.get("FileVersion") == version and strings.get("ProductVersion") == version,
          f"the setup program's version: {strings}")
    check(strings.get("ProductName") == "Velun Saver", f"product name {strings.get('ProductName')!r}")
    check(strings.get("OriginalFilename") == setup.name, f"file name {strings.get('OriginalFilename')!r}")
    # The setup program's icon is the program's own: the same images, byte for byte.
    ico = (Path(__file__).resolve().parents[2] / "src/platform/win32/velun.ico").read_bytes()
    images = {}
    for i in range(struct.unpack_from("<H", ico, 4)[0]):
        width, height, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        images[(width, height, bits)] = ico[offset:offset + size]
    group = next(data for (kind, _), data in resources.items() if kind == RT_GROUP_ICON)
    shown = {}
    for i in range(struct.unpack_from("<H", group, 4)[0]):
        width, height, _, _, _, bits, _, number = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        shown[(width, height, bits)] = resources.get((RT_ICON, number))
    check(shown == images, f"the setup program's icon images {sorted(shown)} are not "
                           f"the program's {sorted(images)}")
    print("release files: passed")


if __name__ == "__main__":
    main()
