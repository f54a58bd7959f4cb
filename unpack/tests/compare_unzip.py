#!/usr/bin/env python3
"""Unpacks archives with CUNPCK32.DLL (through UNPACKRUN.EXE under Wine) and
with Info-ZIP unzip, and compares the two trees byte for byte.

    compare_unzip.py --wine WINE --runner UNPACKRUN.EXE --work DIR ARCHIVE_OR_DIR ...

A directory argument stands for every .ZPK file in it. With --zip-folder
DIR an archive of that folder is first made with Info-ZIP zip, so archives of
a common zip tool are covered too.
"""

import argparse
import glob
import os
import shutil
import subprocess
import sys


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def tree(root):
    out = {}
    for d, dirs, files in os.walk(root):
        rel = os.path.relpath(d, root)
        for name in dirs:
            out[os.path.normpath(os.path.join(rel, name)) + "/"] = None
        for name in files:
            with open(os.path.join(d, name), "rb") as f:
                out[os.path.normpath(os.path.join(rel, name))] = f.read()
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine", required=True)
    ap.add_argument("--runner", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--zip-folder", action="append", default=[])
    ap.add_argument("archives", nargs="*")
    args = ap.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    archives = []
    for a in args.archives:
        archives += sorted(glob.glob(os.path.join(a, "*.ZPK"))) if os.path.isdir(a) else [a]
    for i, folder in enumerate(args.zip_folder):
        made = os.path.join(args.work, "made%d.zip" % i)
        subprocess.run(["zip", "-qr", "-X", made, "."], cwd=folder, check=True)
        archives.append(made)
    if not archives:
        print("no archives given")
        return 1

    # One Wine process unpacks them all; its FILE lines are told apart by
    # their destination.
    jobs = []
    for archive in archives:
        name = os.path.basename(archive)
        jobs += [wine_path(archive), wine_path(os.path.join(args.work, name + ".dll"))]
    r = subprocess.run([args.wine, args.runner] + jobs, capture_output=True, text=True, timeout=600)
    if r.returncode != 0:
        print("UNPACKRUN exit code %d: %s" % (r.returncode, r.stderr.strip()))
    reported_all = [l[5:].strip() for l in r.stdout.splitlines() if l.startswith("FILE ")]

    failures = int(r.returncode != 0)
    for archive in archives:
        name = os.path.basename(archive)
        ours = os.path.join(args.work, name + ".dll")
        theirs = os.path.join(args.work, name + ".unzip")
        os.makedirs(theirs)
        subprocess.run(["unzip", "-q", archive, "-d", theirs], check=True)
        prefix = wine_path(ours).upper() + "\\"
        reported = sorted(p.upper() for p in reported_all if p.upper().startswith(prefix))
        a, b = tree(ours), tree(theirs)
        files = sorted(k for k, v in b.items() if v is not None)
        expected = sorted(wine_path(os.path.join(ours, f)).upper() for f in files)
        problems = []
        if a != b:
            diff = sorted(set(a) ^ set(b)) or sorted(k for k in a if a[k] != b.get(k))
            problems.append("trees differ: %s" % ", ".join(diff[:10]))
        if reported != expected:
            problems.append("reported files differ from the files unzip wrote")
        print("%s: %d files, %s" % (name, len(files), "; ".join(problems) or "same as unzip"))
        failures += bool(problems)
    shutil.rmtree(args.work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
