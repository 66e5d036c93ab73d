#!/usr/bin/env python3
"""Checks which objects a GNU ld link map shows in the linked program.

Usage: check_link_map.py MAP --in OBJECT... --out OBJECT...

An object is named as the map names an archive member, e.g.
"libstdc++.a(functexcept.o)" or "libruntime.a(LibraryFailures.cpp.obj)".
Fails (exit 1) when an --in object contributes no section to the program or
an --out object does.
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from linkmap import input_sections  # noqa: E402


def linked_objects(path):
    """Names (archive(member) or object file) of every input section's source."""
    return {source.rsplit("/", 1)[-1] for _, size, source in input_sections(path) if size > 0}


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
