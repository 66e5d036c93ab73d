"""Reads a GNU ld map file: the input sections that landed in the output."""
import re


def input_sections(map_path):
    """(output section, size, input path) of every input section."""
    entries = []  # (output section, size, input path)
    section = None
    pending = False
    with open(map_path, encoding="utf-8", errors="replace") as f:
        started = False
        for line in f:
            if not started:
                started = line.startswith("Linker script and memory map")
                continue
            out = re.match(r"^(\.[A-Za-z_]+)\s", line) or re.match(r"^(\.[A-Za-z_]+)$", line)
            if out:
                section = out.group(1)
                continue
            m = re.match(r"^ (\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$", line)
            if m:
                entries.append((section, int(m.group(2), 16), m.group(3).strip()))
                pending = False
                continue
            if re.match(r"^ \S+$", line):
                pending = True
                continue
            m = re.match(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$", line)
            if pending and m:
                entries.append((section, int(m.group(1), 16), m.group(2).strip()))
            pending = False
    # Values the linker script itself places (LONG 0x0 ...) belong to no input.
    return [e for e in entries if e[2].split()[0] not in ("LONG", "BYTE", "SHORT", "QUAD", "FILL")]
