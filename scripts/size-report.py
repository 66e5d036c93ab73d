#!/usr/bin/env python3
"""Where the bytes of a linked program go, from its GNU ld map file.

Usage: scripts/size-report.py MAP [--ours | --units]

Sums the input sections that landed in the program's loaded sections, by
library (our own libraries together, libjpeg-turbo, the C++ runtime, the
C runtime, import stubs), with --ours by our own libraries (app, ui,
runtime, ...), or with --units by our own object files. Columns:
code (.text), data (.rdata, .data, .CRT, .tls), unwind tables (.eh_frame),
total. Resources, imports and relocations are listed on their own.
"""
import re
import sys

from linkmap import input_sections

COLUMNS = {".text": "code", ".rdata": "data", ".data": "data", ".CRT": "data", ".tls": "data",
           ".eh_frame": "unwind"}
OTHER = {".rsrc": "resources", ".idata": "imports", ".reloc": "relocations"}


def library_of(path):
    archive = re.search(r"([^/]+\.a)\(", path)
    name = archive.group(1) if archive else path.rsplit("/", 1)[-1]
    if name == "libjpeg.a":
        return "libjpeg-turbo"
    if name.startswith("libstdc++") or name.startswith("libsupc++"):
        return "libstdc++"
    if name.startswith("libgcc"):
        return "libgcc (unwinder, helpers)"
    if name.startswith("libwinpthread"):
        return "winpthread"
    if name in ("libmingw32.a", "libmingwex.a", "libmsvcrt.a", "libmoldname.a") or name.endswith(".o"):
        if archive is None and "CMakeFiles" in path:
            return "own"
        if name.endswith(".o") or name != "libmsvcrt.a":
            return "MinGW start-up and C helpers"
    if re.match(r"lib(kernel32|user32|gdi32|ole32|oleaut32|comctl32|uuid|msvcrt|advapi32|shell32)\.a", name):
        return "import stubs and ids"
    if "CMakeFiles" in path or archive and "/.deps/" not in path and "/usr/" not in path:
        return "own"
    return name


def our_library_of(path):
    archive = re.search(r"lib([^/]+)\.a\(", path)
    return archive.group(1) if archive else "Setup (the entry)"


def unit_of(path):
    obj = re.search(r"\(([^)]+)\)$", path)
    name = obj.group(1) if obj else path.rsplit("/", 1)[-1]
    return re.sub(r"\.(cpp|c)\.obj$|\.obj$|\.o$", "", name)


def main():
    args = sys.argv[1:]
    units = "--units" in args
    ours = "--ours" in args
    path = [a for a in args if not a.startswith("--")][0]
    rows = {}
    other = {}
    for section, size, source in input_sections(path):
        if section in OTHER:
            other[OTHER[section]] = other.get(OTHER[section], 0) + size
            continue
        column = COLUMNS.get(section)
        if column is None:
            continue
        key = library_of(source)
        if units or ours:
            if key != "own":
                continue
            key = unit_of(source) if units else our_library_of(source)
        row = rows.setdefault(key, {"code": 0, "data": 0, "unwind": 0})
        row[column] += size
    print("| %s | code | data | unwind | total |" % ("unit" if units else "our library" if ours else "library"))
    print("|---|---:|---:|---:|---:|")
    total = {"code": 0, "data": 0, "unwind": 0}
    for key, row in sorted(rows.items(), key=lambda kv: -sum(kv[1].values())):
        if key == "own":
            key = "our code (by library: --ours)"
        for c in total:
            total[c] += row[c]
        print("| %s | %d | %d | %d | %d |" % (key, row["code"], row["data"], row["unwind"],
                                           sum(row.values())))
    print("| **sum** | %d | %d | %d | %d |" % (total["code"], total["data"], total["unwind"],
                                            sum(total.values())))
    if not units and not ours:
        for key, size in sorted(other.items()):
            print("| %s | | | | %d |" % (key, size))


if __name__ == "__main__":
    main()
