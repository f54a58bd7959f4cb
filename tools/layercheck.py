#!/usr/bin/env python3
"""Checks that the installer's includes run down the layers.

Each folder of the installer may include headers of the folders listed
for it below, and of itself; every other include of a project header
runs against the layers. Folder loops are reported as well. Exits 1 and
lists each finding when there is any.

    tools/layercheck.py [SOURCE_ROOT]
"""
import os
import re
import sys

BASE = ["resources", "fw"]
MODEL = BASE + ["state"]
FILES = MODEL + ["fsutil"]
ENGINE = FILES + ["unpack", "script"]
PAGES = ["pages/welcome", "pages/license", "pages/locations", "pages/group",
         "pages/installtype", "pages/components", "pages/completion"]
FACE = FILES + ["pages/base", "progress"]

# Bottom to top: what each folder may include besides itself.
ALLOWED = {
    "resources": [],
    "unpack": [],
    "fw": ["resources"],
    "state": BASE,
    "fsutil": MODEL,
    "script": ENGINE,
    "records": ENGINE + ["records"],
    "app/progman": ENGINE + ["records"],
    "pages/base": FILES,
    "progress": FACE + ["unpack", "script"],
    **{page: FACE for page in PAGES},
    "app": None,  # the programs: every layer below
    "remove": None,
}
FOLDERS = sorted(ALLOWED, key=len, reverse=True)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """The folder a source path or include belongs to, longest name first."""
    for folder in FOLDERS:
        if path == folder or path.startswith(folder + "/"):
            return folder
    return None


def includes(root):
    for folder in ALLOWED:
        top = os.path.join(root, folder)
        if not os.path.isdir(top):
            continue
        for name in sorted(os.listdir(top)):
            if not name.endswith((".cpp", ".h", ".c")):
                continue
            relative = f"{folder}/{name}"
            with open(os.path.join(root, relative), encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if match:
                        yield relative, number, folder, match.group(1)


def loops(edges):
    """Each folder loop once, as a list of folders."""
    found, state = [], {}

    def visit(node, path):
        state[node] = "open"
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                found.append(path[path.index(nxt):] + [nxt])
            elif nxt not in state:
                visit(nxt, path + [nxt])
        state[node] = "done"

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    findings, edges = [], {}
    for path, number, folder, header in includes(root):
        target = folder_of(header)
        if target is None or target == folder:
            continue
        edges.setdefault(folder, set()).add(target)
        allowed = ALLOWED[folder]
        if allowed is not None and target not in allowed:
            findings.append(f"{path}:{number}: {folder} includes {header}, a header of {target}, "
                            f"which is not below it")
    for loop in loops(edges):
        findings.append("folder loop: " + " -> ".join(loop))
    for finding in findings:
        print(finding)
    if findings:
        print(f"layercheck: {len(findings)} include(s) against the layers")
        return 1
    print("layercheck: every include runs down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
