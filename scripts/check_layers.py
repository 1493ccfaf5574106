#!/usr/bin/env python3
"""Checks the folder include graph of the product: no cycle between folders, and nothing
outside the main window (app/) and the Qt layer includes app/. Prints the graph; exits 1 on a
fault. The build already refuses an include that runs upward; this also catches a header-only
cycle that the libraries' link order would not."""
import collections
import pathlib
import re
import sys

# The platform interfaces that speak of files, settings, libraries and devices lie below gfx;
# those that speak of pictures lie above it: two layers in one folder.
PLATFORM_OS = {"file_system.h", "hot_keys.h", "library_loader.h", "paths.h",
               "settings_backend.h", "tablet_driver.h", "utf8.h"}
FOLDERS = ["base", "gfx", "platform", "platform/posix", "platform/qt", "ink", "settings",
           "files", "codec", "seals", "output", "history", "input", "workspace", "app", "tools"]
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def folder_of(path):
    if path.startswith("platform/") and path.count("/") == 1:
        return "platform(os)" if path.split("/")[1] in PLATFORM_OS else "platform"
    best = None
    for f in FOLDERS:
        if (path == f or path.startswith(f + "/")) and (best is None or len(f) > len(best)):
            best = f
    return best


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    graph = collections.defaultdict(set)
    faults = []
    for f in FOLDERS:
        for p in sorted((root / f).glob("*")):
            if p.suffix not in (".h", ".cpp"):
                continue
            rel = p.relative_to(root).as_posix()
            a = folder_of(rel)
            for inc in INCLUDE.findall(p.read_text(encoding="utf-8", errors="replace")):
                b = folder_of(inc)
                if b is None or b == a:
                    continue
                graph[a].add(b)
                if b == "app" and a not in ("app", "platform/qt"):
                    faults.append(f"{rel} includes {inc}")
    state = {}

    def visit(u, path):
        state[u] = 1
        for v in sorted(graph[u]):
            if state.get(v) == 1:
                faults.append("cycle: " + " -> ".join(path + [v]))
            elif v not in state:
                visit(v, path + [v])
        state[u] = 2

    for u in sorted(graph):
        if u not in state:
            visit(u, [u])
    for u in sorted(graph):
        print(f"{u} -> {', '.join(sorted(graph[u]))}")
    for f in faults:
        print("FAULT:", f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
