#!/usr/bin/env python3
"""Unpack speed of CUNPCK32.DLL against 7-Zip's 7za.exe and Info-ZIP unzip.

    bench.py --wine WINE --runner UNPACKRUN.EXE --work DIR --sevenzip-dir DIR --arch ia32|x64

Makes (once) two archives of 2,000 members in 60 folders, and unpacks each
into fresh directories on the same file system, best of five, the tools
taking turns in going first:
  - "bench": about 200 MB of text with stretches of random bytes (eight large
    members, the rest small);
  - "product": a product's shape, about 190 MB: text that packs well, binary
    members half of whose bytes are random (they barely pack), a handful of
    large members.
The tools:
  - the library through its entry points (UNPACKRUN.EXE under Wine, no
    window);
  - 7za.exe in the same Wine prefix (fetched with `npm pack` into the build
    folder when missing);
  - native unzip.
Every tool is timed as a stopwatch times it: its whole process, from start
to end. The headline ratios compare those. Beside them: the library's time
inside its process (first init to last exit) and where that goes (its stage
timings, read from its debug output in one more run), and the per-call cost
of writing one file on this system (FILECOST.EXE, when given).
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time
import zipfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from content import content_maker  # noqa: E402
import sevenzip  # noqa: E402

FORMAT = 3  # bump when the generated archive changes


def half_random(rng, content):
    """Binary that barely packs: half of its bytes random, half text."""
    def make(size):
        half = size // 2
        return rng.randbytes(half) + content(size - half)
    return make


def make_product_archive(path, megabytes, members, folders):
    rng = random.Random(2026)
    content = content_maker(rng)
    binary = half_random(rng, content)
    total = megabytes << 20
    large = int(total * 0.45)
    small_count = members - 6
    average = (total - large) // small_count
    with zipfile.ZipFile(path + ".tmp", "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for n in range(6):  # a handful of large members: data files, half random
            z.writestr("DATA/PART%02d.BIN" % n, binary(large // 6))
        for n in range(small_count):
            size = rng.randint(200, 2 * average - 200)
            kind = rng.random()
            name, make = ("F%05d.TXT" % n, content) if kind < 0.5 else ("F%05d.DLL" % n, binary)
            info = zipfile.ZipInfo("PROGRAM/D%02d/%s" % (n % folders, name), (1997, 6, 2, 8, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, make(size))
    os.replace(path + ".tmp", path)


def make_archive(path, megabytes, members, folders):
    rng = random.Random(1997)
    content = content_maker(rng)

    total = megabytes << 20
    large = int(total * 0.8)
    small_count = members - 8
    average = (total - large) // small_count
    with zipfile.ZipFile(path + ".tmp", "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for n in range(8):  # eight large members
            z.writestr("LARGE/BIG%02d.DAT" % n, content(large // 8))
        for n in range(small_count):  # many small ones, in nested folders
            size = rng.randint(200, 2 * average - 200)
            info = zipfile.ZipInfo("SMALL/D%02d/F%05d.TXT" % (n % folders, n), (1997, 6, 2, 8, 0, 0))
            info.compress_type = zipfile.ZIP_STORED if rng.random() < 0.1 else zipfile.ZIP_DEFLATED
            z.writestr(info, content(size))
    os.replace(path + ".tmp", path)


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def timed(command, env=None):
    start = time.perf_counter()
    r = subprocess.run(command, capture_output=True, text=True, env=env)
    return time.perf_counter() - start, r


def tree_bytes(root):
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(root) for f in files)


def measure(args, label, archive, seven, why):
    """Best-of-N whole-process times of every tool on one archive; prints the
    figures and returns False when a tool failed."""
    with zipfile.ZipFile(archive) as z:
        infos = z.infolist()
    total = sum(i.file_size for i in infos)
    mb = total / 1e6
    print()
    print("== %s: %d members, %.1f MB unpacked, %.1f MB packed"
          % (label, len(infos), mb, os.path.getsize(archive) / 1e6))
    out = os.path.join(args.work, "out")
    times = {"unzip": [], "library": [], "7za": []}
    inside = []
    failed = False

    def run_unzip():
        t, r = timed(["unzip", "-q", "-o", archive, "-d", out])
        return t, None if r.returncode == 0 else "unzip failed (%d)" % r.returncode

    def run_library():
        t, r = timed([args.wine, args.runner, "--quiet", wine_path(archive), wine_path(out)])
        line = [l for l in r.stdout.splitlines() if l.startswith("TOTAL ")]
        if r.returncode != 0 or not line:
            return t, "UNPACKRUN failed (%d): %s %s" % (r.returncode, r.stdout, r.stderr)
        inside.append(float(line[0].split()[3]))
        return t, None

    def run_7za():
        t, r = timed([args.wine, seven, "x", "-y", "-bso0", "-bsp0", "-o" + wine_path(out), wine_path(archive)])
        return t, None if r.returncode == 0 else "7za failed (%d): %s" % (r.returncode, r.stdout[-500:])

    tools = [("unzip", run_unzip), ("library", run_library)] + ([("7za", run_7za)] if seven else [])
    for round_ in range(args.runs):
        order = tools[round_ % len(tools):] + tools[:round_ % len(tools)]
        for name, run in order:
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            t, problem = run()
            if not problem and tree_bytes(out) != total:
                problem = "%s wrote %d bytes, expected %d" % (name, tree_bytes(out), total)
            if problem:
                print(problem)
                failed = True
                continue
            times[name].append(t)
            print("round %d: %-8s %.2f s" % (round_ + 1, name, t), flush=True)

    # One more run through the library with its debug output on, for the
    # stage timings it traces at exit.
    shutil.rmtree(out, ignore_errors=True)
    env = dict(os.environ, WINEDEBUG="-all,+debugstr")
    _, r = timed([args.wine, args.runner, "--quiet", wine_path(archive), wine_path(out)], env)
    stages = [re.sub(r"^.*CUNPCK32: ", "", l).replace("\\n", "").strip('"') for l in r.stderr.splitlines()
              if "CUNPCK32: stage" in l]
    shutil.rmtree(out, ignore_errors=True)

    best = {k: min(v) for k, v in times.items() if v}
    print("-- %s, whole processes, best of %d:" % (label, args.runs))
    if "unzip" in best:
        print("unzip (Info-ZIP, native):        %.2f s  %.0f MB/s" % (best["unzip"], mb / best["unzip"]))
    if "7za" in best:
        print("7za.exe (under Wine):            %.2f s  %.0f MB/s" % (best["7za"], mb / best["7za"]))
    if "library" in best:
        print("CUNPCK32.DLL (UNPACKRUN, Wine):  %.2f s  %.0f MB/s  (inside the process, first init to last "
              "exit: %.2f s)" % (best["library"], mb / best["library"], min(inside)))
    for line in stages:
        print("  library " + line)
    if "library" in best and "7za" in best:
        print("ratio 7za time / library time:   %.2f  (goal: at least 1.25)" % (best["7za"] / best["library"]))
    elif "library" in best:
        print("ratio 7za time / library time:   not measured (no 7za.exe: %s)" % why)
    if "library" in best and "unzip" in best:
        print("ratio unzip time / library time: %.2f  (above 1: the library is faster)"
              % (best["unzip"] / best["library"]))
    return not failed


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine", required=True)
    ap.add_argument("--runner", required=True)
    ap.add_argument("--filecost", help="FILECOST.EXE, for the per-call cost of writing a file")
    ap.add_argument("--work", required=True)
    ap.add_argument("--sevenzip-dir", required=True)
    ap.add_argument("--arch", choices=("ia32", "x64"), required=True)
    ap.add_argument("--megabytes", type=int, default=200)
    ap.add_argument("--members", type=int, default=2000)
    ap.add_argument("--folders", type=int, default=60)
    ap.add_argument("--runs", type=int, default=5)
    args = ap.parse_args()

    os.makedirs(args.work, exist_ok=True)
    archives = []
    for label, make, megabytes in (("bench", make_archive, args.megabytes),
                                   ("product", make_product_archive, args.megabytes * 19 // 20)):
        archive = os.path.join(args.work, "%s%d-%d-%d.zip" % (label, FORMAT, megabytes, args.members))
        if not os.path.exists(archive):
            print("making %s ..." % archive, flush=True)
            make(archive, megabytes, args.members, args.folders)
        archives.append((label, archive))

    seven, why = sevenzip.fetch(args.sevenzip_dir, args.arch)
    if not seven:
        print("7za.exe: NOT MEASURED: %s" % why)
    else:
        print("7za.exe: %s (%s)" % (seven, sevenzip.PACKAGE))

    ok = True
    for label, archive in archives:
        ok = measure(args, label, archive, seven, why) and ok

    if args.filecost:
        costs = os.path.join(args.work, "filecost")
        shutil.rmtree(costs, ignore_errors=True)
        _, r = timed([args.wine, args.filecost, wine_path(costs)])
        shutil.rmtree(costs, ignore_errors=True)
        print()
        print("-- what writing one file costs here, per call (FILECOST.EXE):")
        for line in r.stdout.splitlines():
            print("  " + line)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
