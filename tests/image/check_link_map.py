#!/usr/bin/env python3
"""Checks which objects a GNU ld link map shows in the linked program.

Usage: check_link_map.py MAP --in OBJECT... --out OBJECT...

An object is named as the map names an archive member, e.g.
"libstdc++.a(functexcept.o)" or "libruntime.a(LibraryFailures.cpp.obj)".
Fails (exit 1) when an --in object contributes no section to the program or
an --out object does.
"""
import argparse
import re
import sys


def linked_objects(path):
    """Names (archive(member) or object file) of every input section's source."""
    objects = set()
    with open(path, encoding="utf-8", errors="replace") as f:
        started = False
        for line in f:
            if not started:
                started = line.startswith("Linker script and memory map")
                continue
            m = re.match(r"^\s*(?:\S+\s+)?0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)$", line)
            if m and int(m.group(1), 16) > 0:
                objects.add(m.group(2).rsplit("/", 1)[-1])
    return objects


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("map")
    parser.add_argument("--in", dest="present", nargs="*", default=[])
    parser.add_argument("--out", dest="absent", nargs="*", default=[])
    args = parser.parse_args()
    objects = linked_objects(args.map)
    faults = ["%s is not linked in" % o for o in args.present if o not in objects]
    faults += ["%s is linked in" % o for o in args.absent if o in objects]
    for fault in faults:
        print("%s: %s" % (args.map, fault))
    if not faults:
        print("%s: passed" % args.map)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
