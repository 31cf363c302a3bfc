#!/usr/bin/env python3
"""Lists which library folders include which: one line per folder with the
folders its files include, then every pair of folders that include each other
both ways (with the files on each side). Run from the repository's top."""
import os
import re
import sys

FOLDERS = ["core", "dialogs", "graphics", "fonts", "charts", "hardcopy", "grid", "editor"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def edges(top):
    found = {}
    for folder in FOLDERS:
        path = os.path.join(top, folder)
        for name in sorted(os.listdir(path)):
            if not name.endswith((".cpp", ".h")):
                continue
            with open(os.path.join(path, name), encoding="utf-8", errors="replace") as f:
                for target in INCLUDE.findall(f.read()):
                    if target in FOLDERS and target != folder:
                        found.setdefault((folder, target), set()).add(name)
    return found


def main():
    top = sys.argv[1] if len(sys.argv) > 1 else "."
    found = edges(top)
    for folder in FOLDERS:
        targets = [t for t in FOLDERS if (folder, t) in found]
        print(f"{folder:9} -> {' '.join(targets) if targets else '(none)'}")
    both = [(a, b) for (a, b) in found if a < b and (b, a) in found]
    print(f"\n{len(both)} pairs include each other both ways:")
    for a, b in sorted(both):
        print(f"  {a} <-> {b}")
        print(f"    {a} -> {b}: {' '.join(sorted(found[(a, b)]))}")
        print(f"    {b} -> {a}: {' '.join(sorted(found[(b, a)]))}")


if __name__ == "__main__":
    main()
