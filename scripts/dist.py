#!/usr/bin/env python3
"""Makes the release package, netmend-<version>.zip: the product, the device console for x86
and x64, the read-me, the licence, the third-party notices and SHA256SUMS of them all, in one
folder netmend-<version>/ laid out as the program expects (x86\\devcon.exe, x64\\devcon.exe
beside netmend.exe).

The zip is byte-reproducible: the same inputs give the same bytes wherever they lie and
whenever they were made (entries sorted, one fixed time, fixed attributes, no extra fields).

  scripts/dist.py [--out DIR] [--netmend EXE] [--devcon-x86 EXE] [--devcon-x64 EXE]
"""
import argparse
import hashlib
import pathlib
import re
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
# The earliest time a zip entry can hold: nothing about the build machine's clock.
FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def version():
    """The product's version, as its version resource states it."""
    text = (ROOT / "app" / "netmend.rc").read_text(encoding="utf-8")
    found = re.search(r'#define NETMEND_VERSION_TEXT "([0-9.]+)"', text)
    if not found:
        sys.exit("dist: no NETMEND_VERSION_TEXT in app/netmend.rc")
    return found.group(1)


def windows_text(path, bom=False):
    """A text file of the repository with Windows line ends (Notepad on XP needs them)."""
    data = path.read_bytes().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    return (b"\xef\xbb\xbf" if bom else b"") + data


def contents(args):
    files = {}
    for name, source in (("netmend.exe", args.netmend), ("x86/devcon.exe", args.devcon_x86),
                         ("x64/devcon.exe", args.devcon_x64)):
        path = pathlib.Path(source)
        if not path.is_file():
            sys.exit(f"dist: {path} is not built")
        files[name] = path.read_bytes()
    # The read-me is Chinese and English in UTF-8: the byte-order mark tells Notepad so.
    files["README.txt"] = windows_text(ROOT / "package" / "README.txt", bom=True)
    files["LICENSE.txt"] = windows_text(ROOT / "LICENSE")
    files["THIRD-PARTY-NOTICES.txt"] = windows_text(ROOT / "package" / "THIRD-PARTY-NOTICES.txt")
    sums = "".join(f"{hashlib.sha256(files[name]).hexdigest()}  {name}\n" for name in sorted(files))
    files["SHA256SUMS"] = sums.encode("ascii")
    return files


def write_zip(target, folder, files):
    with zipfile.ZipFile(target, "w") as archive:
        for name in sorted(files):
            entry = zipfile.ZipInfo(f"{folder}/{name}", date_time=FIXED_TIME)
            entry.create_system = 0  # MS-DOS: no Unix owner or permission bits
            entry.external_attr = 0
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, files[name], compresslevel=9)


def main():
    build = ROOT / "build"
    parser = argparse.ArgumentParser(description="Makes the release package.")
    parser.add_argument("--out", default=build / "dist")
    parser.add_argument("--netmend", default=build / "win32" / "app" / "netmend.exe")
    parser.add_argument("--devcon-x86", default=build / "win32" / "devcon" / "devcon.exe")
    parser.add_argument("--devcon-x64", default=build / "win64" / "devcon" / "devcon.exe")
    args = parser.parse_args()

    folder = f"netmend-{version()}"
    out = pathlib.Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    target = out / f"{folder}.zip"
    partial = out / f"{folder}.zip.partial"
    write_zip(partial, folder, contents(args))
    partial.replace(target)
    print(f"{hashlib.sha256(target.read_bytes()).hexdigest()}  {target}")


if __name__ == "__main__":
    main()
