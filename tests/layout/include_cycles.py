#!/usr/bin/env python3
"""Fails when the program's files include each other in a circle.

A file and its header are one unit (media/graphics/TImage.cpp and media/graphics/TImage.hpp): a unit that
includes another's header uses it, so two units that include each other, or a longer circle of
them, call into each other. Prints every circle found, one line each; exit status 1 if any but the known ones.
Usage: include_cycles.py <source root> [--known "unit unit ..."]...
"""
import os
import re
import sys

LAYERS = ["media", "physics", "data", "world", "bodies", "scene", "control", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def units(root):
    """Maps each unit (path without extension) to the set of units it includes."""
    graph = {}
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for name in files:
                if not name.endswith((".cpp", ".hpp")):
                    continue
                path = os.path.join(folder, name)
                unit = os.path.splitext(os.path.relpath(path, root))[0]
                with open(path, encoding="utf-8") as f:
                    targets = INCLUDE.findall(f.read())
                edges = graph.setdefault(unit, set())
                for target in targets:
                    other = os.path.splitext(target)[0]
                    if other != unit:
                        edges.add(other)
    return graph


def circles(graph):
    """Strongly connected components of more than one unit (Tarjan's algorithm)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in graph:
                continue
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def main():
    args = sys.argv[1:]
    known = []
    while "--known" in args:
        i = args.index("--known")
        known.append(sorted(args[i + 1].split()))
        del args[i : i + 2]
    root = args[0] if args else "."
    graph = units(root)
    found = circles(graph)
    new = [c for c in found if c not in known]
    for component in found:
        label = "known include circle" if component in known else "include circle"
        print(label + ": " + " <-> ".join(component))
    if not found:
        print("no include circle among %d units" % len(graph))
    return 1 if new else 0


if __name__ == "__main__":
    sys.exit(main())
