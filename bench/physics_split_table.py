"""The physics split's Markdown table from the native and the node run's output lines
(bench/physics-split.sh): one row per measured thing, per population its median ms per frame
natively and in node, and each figure's ratio to the bare library as the level."""
import re
import sys


def parse(text):
    counts, rows = {}, {}
    for line in text.splitlines():
        m = re.match(r"bodies=(\d+) objects=(\d+) shapes=(\d+) joints=(\d+) segments=(\d+)", line)
        if m:
            last = m.groups()
            continue
        m = re.match(r"n=(\d+) what=(.*) p50=([\d.]+) p10=([\d.]+)$", line)
        if m:
            n = int(m.group(1))
            counts[n] = last
            rows.setdefault(m.group(2), {})[n] = (float(m.group(3)), float(m.group(4)))
    return counts, rows


def main():
    native_counts, native = parse(sys.argv[1])
    node_counts, node = parse(sys.argv[2])
    ns = sorted(native_counts)
    with open("/proc/loadavg") as f:
        load = f.read().split()[0]
    print(f"Physics split of {sys.argv[3]}, load average {load} at the end; median ms per 1/60 s "
          "frame (ratio to the bare library as the level).")
    print()
    for n in ns:
        b, o, s, j, seg = native_counts[n]
        print(f"- {n}: native {b} bodies / {s} shapes / {j} joints / {seg} segments, "
              f"{o} objects" + (f"; node {node_counts[n][1]} objects" if n in node_counts else ""))
    print()
    head = "| what |" + "".join(f" native {n} | node {n} |" for n in ns)
    print(head)
    print("|---|" + "---:|---:|" * len(ns))
    base = "bare library, as the level"
    for what in native:
        cells = []
        for n in ns:
            for table in (native, node):
                v = table.get(what, {}).get(n)
                ref = table.get(base, {}).get(n)
                cells.append("-" if v is None else f"{v[0]:.2f} ({v[0] / ref[0]:.2f}x)")
        print(f"| {what} | " + " | ".join(cells) + " |")


main()
