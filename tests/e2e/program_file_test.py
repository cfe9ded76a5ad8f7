#!/usr/bin/env python3
"""Checks the program file velun.scr itself, without running it: a 64-bit program
that imports system DLLs only, version "1.00", string 1 "Velun Saver", its own
16-colour icon in 32x32 and 16x16, and a manifest asking for common controls 6
and per-monitor (v2) DPI awareness.

    program_file_test.py velun.scr [objdump]
"""
import struct
import subprocess
import sys

RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 6, 14, 16, 24
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "usp10.dll",
               "msvcrt.dll", "comctl32.dll", "comdlg32.dll", "shell32.dll", "oleaut32.dll",
               "shcore.dll", "ole32.dll", "imm32.dll", "version.dll", "ntdll.dll"}


class PeFile:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((rva, max(vsize, raw_size), raw_offset))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"rva {rva:#x} outside the sections")

    def resources(self):
        """{(type, name): bytes} for the first language of every resource."""
        base = self.offset(self.resource_rva)
        found = {}

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield name, target

        for type_id, type_dir in entries(0):
            for name_id, name_dir in entries(type_dir & 0x7FFFFFFF):
                _, leaf = next(entries(name_dir & 0x7FFFFFFF))
                rva, size = struct.unpack_from("<II", self.data, base + leaf)
                start = self.offset(rva)
                found[(type_id, name_id)] = self.data[start:start + size]
        return found


def check(condition, message):
    if not condition:
        print(f"FAILED: {message}")
        sys.exit(1)


def version_strings(block):
    text = block.decode("utf-16-le", "replace")
    values = {}
    for key in ("FileVersion", "ProductVersion", "ProductName", "OriginalFilename"):
        at = text.find(key + "\0")
        if at >= 0:
            rest = text[at + len(key) + 1:].lstrip("\0")
            values[key] = rest.split("\0", 1)[0]
    return values


def string_table_entry(block, index):
    """String number index (0 to 15) of a string-table block."""
    pos = 0
    for i in range(16):
        length = struct.unpack_from("<H", block, pos)[0]
        text = block[pos + 2:pos + 2 + 2 * length].decode("utf-16-le")
        if i == index:
            return text
        pos += 2 + 2 * length
    return None


def main():
    path = sys.argv[1]
    objdump = sys.argv[2] if len(sys.argv) > 2 else "x86_64-w64-mingw32-objdump"
    pe = PeFile(open(path, "rb").read())
    check(pe.machine == 0x8664, f"not a 64-bit program: machine {pe.machine:#x}")

    imports = subprocess.run([objdump, "-p", path], check=True, stdout=subprocess.PIPE,
                             text=True).stdout
    dlls = {line.split(":", 1)[1].strip().lower() for line in imports.splitlines()
            if "DLL Name:" in line}
    print("imports:", ", ".join(sorted(dlls)))
    check(dlls and dlls <= SYSTEM_DLLS, f"imports beyond the system DLLs: {dlls - SYSTEM_DLLS}")
    usp10 = imports.find("DLL Name: USP10.dll")
    functions = imports[usp10:].split("DLL Name:", 2)[1] if usp10 >= 0 else ""
    check("ScriptStringOut" in functions, "the ScriptString functions are not imported from USP10.dll")

    resources = pe.resources()
    version = version_strings(resources[(RT_VERSION, 1)])
    print("version:", version)
    check(version.get("FileVersion") == "1.00", f"file version {version.get('FileVersion')!r}")
    check(version.get("ProductVersion") == "1.00", f"product version {version.get('ProductVersion')!r}")

    # String 1 lives in block 1 (strings 0 to 15), at place 1.
    name = string_table_entry(resources[(RT_STRING, 1)], 1)
    check(name == "Velun Saver", f"string 1 is {name!r}")

    groups = [data for (kind, _), data in resources.items() if kind == RT_GROUP_ICON]
    check(groups, "no icon")
    count = struct.unpack_from("<H", groups[0], 4)[0]
    icons = set()
    for i in range(count):
        width, height, colours, _, _, bits, _, _ = struct.unpack_from("<BBBBHHIH", groups[0], 6 + 14 * i)
        icons.add((width, height, colours, bits))
    print("icon images:", sorted(icons))
    check({(32, 32, 16, 4), (16, 16, 16, 4)} <= icons, f"icon images {icons}")

    manifest = resources[(RT_MANIFEST, 1)].decode("utf-8")
    check("Microsoft.Windows.Common-Controls" in manifest and 'version="6.0.0.0"' in manifest,
          "the manifest does not ask for common controls 6")
    check("PerMonitorV2" in manifest, "the manifest does not ask for per-monitor v2 DPI awareness")
    print("program file: passed")


if __name__ == "__main__":
    main()
