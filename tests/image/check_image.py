#!/usr/bin/env python3
"""Checks a built Windows image as a file: a small reader of the PE format.

Usage: check_image.py IMAGE --machine i386|amd64 --subsystem gui
                      --imports DLL,DLL,... [--exports NAME,NAME,...]
                      [--resources manifest,version,icon] [--max-bytes N]

Fails (exit 1, one line per fault) when the machine type or the subsystem
differ, when the image imports from a DLL outside the list (delay-loaded
imports count too), when its exports are not exactly the names given
(undecorated), when a resource kind is missing, when a section is both
writable and executable, or when the file is larger than N bytes.
"""
import argparse
import struct
import sys

MACHINES = {"i386": 0x14C, "amd64": 0x8664}
SUBSYSTEMS = {"gui": 2, "console": 3}
RESOURCE_TYPES = {"icon": (3, 14), "version": (16,), "manifest": (24,)}
SCN_EXECUTE, SCN_WRITE = 0x20000000, 0x80000000


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, self.characteristics = \
            struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = self.u16(opt)
        if magic not in (0x10B, 0x20B):
            raise ValueError("unknown optional header 0x%x" % magic)
        wide = magic == 0x20B
        self.subsystem = self.u16(opt + 68)
        count_at = opt + (108 if wide else 92)
        self.directories = [struct.unpack_from("<II", data, count_at + 4 + 8 * i)
                            for i in range(min(self.u32(count_at), 16))]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            name, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            flags = self.u32(table + 40 * i + 36)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), vaddr,
                                  max(vsize, rsize), raddr, flags))

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def offset(self, rva):
        for _, vaddr, size, raddr, _ in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError("address 0x%x lies in no section" % rva)

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imported_dlls(self):
        dlls = []
        rva, _ = self.directory(1)
        while rva:
            at = self.offset(rva)
            name = self.u32(at + 12)
            if name == 0:
                break
            dlls.append(self.text(name))
            rva += 20
        rva, _ = self.directory(13)  # delay-loaded imports
        while rva:
            at = self.offset(rva)
            name = self.u32(at + 4)
            if name == 0:
                break
            dlls.append(self.text(name))
            rva += 32
        return dlls

    def exports(self):
        rva, _ = self.directory(0)
        if not rva:
            return []
        at = self.offset(rva)
        count, names = self.u32(at + 24), self.u32(at + 32)
        return [self.text(self.u32(self.offset(names) + 4 * i)) for i in range(count)]

    def resource_types(self):
        rva, _ = self.directory(2)
        if not rva:
            return set()
        at = self.offset(rva)
        named, ids = self.u16(at + 12), self.u16(at + 14)
        entries = at + 16 + 8 * named
        return {self.u32(entries + 8 * i) for i in range(ids)}


def faults(path, args):
    with open(path, "rb") as f:
        data = f.read()
    image = Image(data)
    found = []
    if image.machine != MACHINES[args.machine]:
        found.append("machine 0x%x, not %s" % (image.machine, args.machine))
    if image.subsystem != SUBSYSTEMS[args.subsystem]:
        found.append("subsystem %d, not %s" % (image.subsystem, args.subsystem))
    allowed = {d.lower() for d in args.imports.split(",")}
    for dll in image.imported_dlls():
        if dll.lower() not in allowed:
            found.append("imports from %s" % dll)
    if args.exports is not None:
        expected = sorted(args.exports.split(",")) if args.exports else []
        if sorted(image.exports()) != expected:
            found.append("exports %s, not %s" % (sorted(image.exports()), expected))
    if args.resources:
        present = image.resource_types()
        for kind in args.resources.split(","):
            if not all(t in present for t in RESOURCE_TYPES[kind]):
                found.append("no %s resource" % kind)
    for name, _, _, _, flags in image.sections:
        if flags & SCN_EXECUTE and flags & SCN_WRITE:
            found.append("section %s is writable and executable" % name)
    if args.max_bytes is not None and len(data) > args.max_bytes:
        found.append("%d bytes, over the budget of %d" % (len(data), args.max_bytes))
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("image")
    parser.add_argument("--machine", choices=MACHINES, required=True)
    parser.add_argument("--subsystem", choices=SUBSYSTEMS, required=True)
    parser.add_argument("--imports", required=True)
    parser.add_argument("--exports")
    parser.add_argument("--resources")
    parser.add_argument("--max-bytes", type=int)
    args = parser.parse_args()
    try:
        found = faults(args.image, args)
    except (ValueError, IndexError, struct.error) as error:
        found = ["not a readable image: %s" % error]
    for fault in found:
        print("%s: %s" % (args.image, fault))
    if not found:
        print("%s: passed" % args.image)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
