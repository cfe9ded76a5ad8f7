#!/usr/bin/env python3
"""Makes the Windows release from a built velun.scr: the setup program, the zip
archive and SHA256SUMS for both.

    make_release.py --scr velun.scr --verses finalvelun.txt --icon velun.ico
                    --version 1.00 --out DIR [--makensis makensis]

Leaves in DIR: VelunSaverSetup-<version>.exe, velun-saver-<version>-windows-x64.zip
(velun.scr, finalvelun.txt, README.txt) and SHA256SUMS. Every file time written
into the setup program and the zip is SOURCE_DATE_EPOCH (or, without it, the
time of the last commit), so the same inputs give the same bytes.
"""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import time
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent


def source_date_epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", str(HERE), "log", "-1", "--format=%ct"], check=True,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
        return int(out.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        return 315532800  # 1980-01-01, the earliest time a zip entry can hold


def replace(target, data):
    """Writes the bytes to a temporary file beside the target and renames it over."""
    partial = target.with_name(target.name + ".partial")
    partial.write_bytes(data)
    partial.replace(target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--scr", "--verses", "--icon", "--version", "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--makensis", default="makensis")
    args = parser.parse_args()
    version = args.version
    out = Path(args.out).resolve()
    epoch = source_date_epoch()

    # The files as shipped, all stamped with the same time.
    stage = out / "release-stage"
    shutil.rmtree(stage, ignore_errors=True)
    stage.mkdir(parents=True)
    shutil.copyfile(args.scr, stage / "velun.scr")
    shutil.copyfile(args.verses, stage / "finalvelun.txt")
    readme = (HERE / "README.txt").read_text(encoding="utf-8").replace("@VERSION@", version)
    (stage / "README.txt").write_bytes(readme.replace("\n", "\r\n").encode("utf-8"))
    for f in stage.iterdir():
        os.utime(f, (epoch, epoch))

    setup = out / f"VelunSaverSetup-{version}.exe"
    partial_setup = out / (setup.name + ".partial")
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch))
    program_kb = -(-sum((stage / n).stat().st_size for n in ("velun.scr", "finalvelun.txt")) // 1024)
    subprocess.run([args.makensis, "-V2", "-NOCD", f"-DVERSION={version}",
                    f"-DSTAGE={stage}", f"-DPROGRAM_KB={program_kb}", f"-DICON={Path(args.icon).resolve()}",
                    f"-DOUTFILE={partial_setup}", str(HERE / "velun-setup.nsi")],
                   check=True, env=env, cwd=out)
    partial_setup.replace(setup)

    # Fixed order, fixed times, fixed permissions: the zip depends on the files only.
    archive = out / f"velun-saver-{version}-windows-x64.zip"
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    partial_archive = out / (archive.name + ".partial")
    with zipfile.ZipFile(partial_archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name in ("velun.scr", "finalvelun.txt", "README.txt"):
            entry = zipfile.ZipInfo(name, date_time=stamp)
            entry.create_system = 3  # Unix, so that the mode below is read as one
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(entry, (stage / name).read_bytes())
    partial_archive.replace(archive)

    sums = "".join(f"{hashlib.sha256(p.read_bytes()).hexdigest()}  {p.name}\n"
                   for p in (setup, archive))
    replace(out / "SHA256SUMS", sums.encode())
    print(f"release in {out}:\n{sums}", end="")
    return 0


if __name__ == "__main__":
    sys.exit(main())
