#!/usr/bin/env python3
"""Checks that the library's folders depend on each other one way, bottom up:

    core; graphics; fonts, hardcopy; charts; dialogs; editor, grid; app

By includes: one line per folder with the folders its files include, then
every include of a folder above or beside the includer (with the files).

By link-level references (--objects BUILD): every symbol that an object of
BUILD/CMakeFiles/quillodrane.dir leaves undefined and that only a folder above
or beside the object's own folder defines, grouped by pair of folders. A
symbol defined in the object's own folder or in a lower one is allowed. The
symbols are read with the mingw nm of the build's architecture (the
CMAKE_NM of BUILD/CMakeCache.txt unless --nm names another).

--check exits 1 when either finds one. Run from the repository's top (or
give it with --top)."""
import argparse
import os
import re
import subprocess
import sys
from collections import defaultdict

# The layer of every folder: a folder may use folders of a lower rank only.
RANK = {"core": 0, "graphics": 1, "fonts": 2, "hardcopy": 2, "charts": 3,
        "dialogs": 4, "editor": 5, "grid": 5, "app": 6}
FOLDERS = sorted(RANK, key=lambda f: (-RANK[f], f))
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def allowed(user, used):
    return user == used or RANK[used] < RANK[user]


def include_edges(top):
    found = {}
    for folder in FOLDERS:
        path = os.path.join(top, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if not name.endswith((".cpp", ".h")):
                continue
            with open(os.path.join(path, name), encoding="utf-8", errors="replace") as f:
                for target in INCLUDE.findall(f.read()):
                    if target in RANK and target != folder:
                        found.setdefault((folder, target), set()).add(name)
    return found


def report_includes(top):
    """Prints the include graph; returns the number of wrong-way includes."""
    found = include_edges(top)
    for folder in FOLDERS:
        targets = sorted((t for t in RANK if (folder, t) in found), key=lambda t: (-RANK[t], t))
        print(f"{folder:9} -> {', '.join(targets) if targets else '(none)'}")
    wrong = sorted(edge for edge in found if not allowed(*edge))
    print(f"\nIncludes of a folder above or beside: {len(wrong) or 'none'}")
    for a, b in wrong:
        print(f"  {a} -> {b}: {' '.join(sorted(found[(a, b)]))}")
    return len(wrong)


def nm_of(build, nm):
    if nm:
        return nm
    cache = os.path.join(build, "CMakeCache.txt")
    try:
        with open(cache, encoding="utf-8") as f:
            for line in f:
                if line.startswith("CMAKE_NM:"):
                    return line.split("=", 1)[1].strip()
    except OSError:
        pass
    sys.exit(f"error: no nm named and none in {cache}")


def symbols(nm, path):
    """(defined, undefined) external symbols of one object file."""
    out = subprocess.run([nm, "-g", path], capture_output=True, text=True)
    if out.returncode != 0:
        sys.exit(f"error: {nm} {path}: {out.stderr.strip()}")
    defined, undefined = set(), set()
    for line in out.stdout.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[0] == "U":
            undefined.add(parts[1])
        elif len(parts) == 3:
            defined.add(parts[2])
    return defined, undefined


def demangled(nm, names):
    """NAMES as a reader knows them, by the c++filt beside NM when there is one."""
    filt = re.sub(r"nm$", "c++filt", nm)
    if filt == nm or not os.path.exists(filt):
        return {n: n for n in names}
    ordered = sorted(names)
    out = subprocess.run([filt], input="\n".join(ordered), capture_output=True, text=True)
    lines = out.stdout.splitlines()
    if out.returncode != 0 or len(lines) != len(ordered):
        return {n: n for n in names}
    return dict(zip(ordered, lines))


def report_objects(build, nm):
    """Prints the wrong-way link-level references; returns how many there are."""
    nm = nm_of(build, nm)
    base = os.path.join(build, "CMakeFiles", "quillodrane.dir")
    objects = []  # (folder, file, defined, undefined)
    for folder in FOLDERS:
        path = os.path.join(base, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if name.endswith((".obj", ".o")):
                objects.append((folder, name, *symbols(nm, os.path.join(path, name))))
    if not objects:
        sys.exit(f"error: no objects below {base}: build first")
    where = defaultdict(set)  # symbol -> folders defining it
    for folder, _, defined, _ in objects:
        for s in defined:
            where[s].add(folder)
    wrong = defaultdict(lambda: defaultdict(set))  # (user, owner) -> symbol -> files
    for folder, name, _, undefined in objects:
        for s in undefined:
            owners = where.get(s)
            if owners and not any(allowed(folder, o) for o in owners):
                for o in owners:
                    wrong[(folder, o)][s].add(name)
    total = len({(user, s) for (user, _), refs in wrong.items() for s in refs})
    print(f"\nLink-level references to a folder above or beside ({len(objects)} objects): "
          f"{f'{total} symbols in {len(wrong)} folder pairs' if total else 'none'}")
    names = demangled(nm, {s for refs in wrong.values() for s in refs})
    for (user, owner) in sorted(wrong):
        refs = wrong[(user, owner)]
        print(f"  {user} -> {owner}: {len(refs)}")
        for s in sorted(refs, key=lambda s: names[s]):
            print(f"    {names[s]}  ({' '.join(sorted(refs[s]))})")
    return total


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--top", default=".", help="the repository's top folder")
    parser.add_argument("--objects", metavar="BUILD", help="also count link-level references in BUILD")
    parser.add_argument("--nm", help="the nm of BUILD's architecture")
    parser.add_argument("--check", action="store_true", help="exit 1 when any wrong-way use is found")
    parser.add_argument("top_positional", nargs="?", help=argparse.SUPPRESS)
    args = parser.parse_args()
    top = args.top_positional or args.top
    wrong = report_includes(top)
    if args.objects:
        wrong += report_objects(args.objects, args.nm)
    return 1 if args.check and wrong else 0


if __name__ == "__main__":
    sys.exit(main())
