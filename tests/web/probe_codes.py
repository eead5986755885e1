#!/usr/bin/env python3
"""The probe codes agree: web/Probe.hpp's enum, page.js's Probe table and pagedriver.py's Probe
class name the same questions with the same numbers. A code changed in one of them only would
make the page or its browser tests ask the game something else without any error.
Usage: probe_codes.py <source dir>"""
import os
import re
import sys


def table(path, start, entry, end):
    """The name -> value pairs between the line matching `start` and the next matching `end`."""
    pairs, inside = {}, False
    with open(path, encoding="utf-8") as f:
        for line in f:
            if not inside:
                inside = re.search(start, line) is not None
                continue
            if re.search(end, line):
                return pairs
            m = re.match(entry, line)
            if m:
                if m.group(1) in pairs:
                    sys.exit("%s: %s named twice" % (path, m.group(1)))
                pairs[m.group(1)] = int(m.group(2))
    sys.exit("%s: no table found" % path)


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    cpp = table(os.path.join(src, "web", "Probe.hpp"), r"^enum class Probe\b",
                r"^\s*(\w+)\s*=\s*(\d+)\s*,", r"^\};")
    js = table(os.path.join(src, "web", "page.js"), r"const Probe = Object\.freeze\(\{",
               r"^\s*(\w+):\s*(\d+)\s*,", r"^\s*\}\);")
    py = table(os.path.join(src, "tests", "web", "pagedriver.py"), r"^class Probe\(",
               r"^\s+(\w+)\s*=\s*(\d+)\s*$", r"^\S")
    failed = False
    for name, other in (("page.js", js), ("pagedriver.py", py)):
        if other != cpp:
            failed = True
            for key in sorted(set(cpp) | set(other)):
                if cpp.get(key) != other.get(key):
                    print("%s: %s is %s in Probe.hpp, %s here" % (name, key, cpp.get(key),
                                                                  other.get(key)))
    values = sorted(cpp.values())
    if values != list(range(len(values))):
        failed = True
        print("Probe.hpp: the codes are not 0 to %d, each once: %s" % (len(values) - 1, values))
    if not cpp:
        failed = True
        print("Probe.hpp: the table is empty")
    sys.exit(1 if failed else 0)


main()
