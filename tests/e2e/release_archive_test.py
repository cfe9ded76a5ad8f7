#!/usr/bin/env python3
"""The Windows release files: the zip holds exactly the built velun.scr, the verse
file and the read-me, stamped with one time; SHA256SUMS verifies with sha256sum -c;
the setup program is a 64-bit program with version 1.00.
    release_archive_test.py RELEASE_DIR VERSION VERSE_FILE
"""
import subprocess
import sys
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from program_file_test import RT_VERSION, PeFile, check, version_strings  # noqa: E402

folder, version, verse_file = Path(sys.argv[1]), sys.argv[2], Path(sys.argv[3])
with zipfile.ZipFile(folder / f"velun-saver-{version}-windows-x64.zip") as z:
    names = [e.filename for e in z.infolist()]
    check(names == ["velun.scr", "finalvelun.txt", "README.txt"], f"zip entries {names}")
    check(z.read("velun.scr") == (folder / "velun.scr").read_bytes(), "not the built velun.scr")
    check(z.read("finalvelun.txt") == verse_file.read_bytes(), "not the sample verse file")
    readme = z.read("README.txt").decode("utf-8")
    check(f"Velun Saver {version} " in readme and "\n" not in readme.replace("\r\n", ""),
          "the read-me lacks its version or Windows line ends")
    check(len({e.date_time for e in z.infolist()}) == 1, "the entries' times differ")

verify = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=folder, text=True,
                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
print(verify.stdout, end="")
check(verify.returncode == 0 and verify.stdout.count(": OK") == 2, "SHA256SUMS does not verify")

setup = PeFile((folder / f"VelunSaverSetup-{version}.exe").read_bytes())
strings = version_strings(setup.resources()[(RT_VERSION, 1)])
check(setup.machine == 0x8664 and strings.get("FileVersion") == version
      and strings.get("ProductVersion") == version, f"the setup program: {strings}")
print("release files: passed")
