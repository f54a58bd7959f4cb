"""Writes the shared libraries that the unit tests of the product records
install and compare: 16-bit libraries of several versions (tools/nelib.py),
and a resource script that carries them into the unit-test program.

usage: records_dlls.py OUTDIR
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
import nelib  # noqa: E402

# Resource number, file, library name, major, minor.
LIBRARIES = [
    (9901, "CTL3D225.DLL", "CTL3DV2.DLL", 2, 25),
    (9902, "CTL3D226.DLL", "CTL3DV2.DLL", 2, 26),
    (9903, "TOOLH310.DLL", "TOOLHELP.DLL", 3, 10),
    (9904, "TOOLH309.DLL", "TOOLHELP.DLL", 3, 9),
]


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    lines = []
    for number, file, name, major, minor in LIBRARIES:
        path = os.path.join(out, file)
        with open(path, "wb") as f:
            f.write(nelib.ne_library(name, major, minor, name))
        lines.append('%d RCDATA "%s"' % (number, path.replace("\\", "/")))
    with open(os.path.join(out, "records_dlls.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
