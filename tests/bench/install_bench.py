#!/usr/bin/env python3
"""The whole install step against 7-Zip's 7za.exe on the same archives.

    install_bench.py --wine WINE --driver E2EDRIVER.EXE --isolate RUN-ISOLATED
                     --installer INSTALL.EXE --media-files DIR --work DIR --sevenzip-dir DIR --arch ia32|x64

Makes (once) a product of about 200 MB in 2,000 files, packed in four
archives (large and small files mixed, in nested folders), and lays it out as
single-directory media with the installer's own files (CVDEL.EXE, the unpack
library, READ.ME, LICENSE.TXT from --media-files). The installer copy on it
carries a script of the shipped shape (READ.ME check and copy, separators, a
DELETE, archives for components 11, 21 and 31, one into a subdirectory)
whose last working line copies a small marker file.

Each round, in the same Wine prefix:
  - the e2e driver's walk "bench-install" installs the product through the
    real wizard with Express into C:\\CVBENCH\\INST and times it from the
    opening of the progress window to the arrival of the marker (the end of
    the script's last line), noting when each archive's last file arrives;
    the wait for the billboard tick that ends the install step is left out;
  - 7za.exe extracts the same four archives into C:\\CVBENCH\\7ZA, timed
    from the start of its Wine process to its end.
Best of five, the two taking turns in who goes first; prints both times,
the ratio and the stage timings of the best install, then the engine's own
sums (time in the library's calls, progress messages, file times, records,
file names shown) from one more install with WINEDEBUG=+debugstr.
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
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "unpack", "bench"))
import sevenzip  # noqa: E402
from content import content_maker  # noqa: E402

FORMAT = 1  # bump when the generated product changes
GOAL = 0.8
FIRST_LINE = 11501

# (archive, script line number, directory field, members, megabytes)
ARCHIVES = [
    ("BENCH1.ZPK", 11, "*T1*", 600, 60),
    ("BENCH2.ZPK", 11, "*T1*", 500, 50),
    ("BENCH3.ZPK", 21, "*T1*BENCH3", 500, 50),
    ("BENCH4.ZPK", 31, "*T1*", 400, 40),
]
MARKER = "LASTLINE.TXT"
MEDIA_FILES = ["CVDEL.EXE", "CUNPCK32.DLL", "READ.ME", "LICENSE.TXT"]


def script_lines():
    """The bench product's script, in the shape of the shipped one."""
    unzpk = ["%d,UNZPK,%d,%s,%s,%d,0" % (number, mb, folder, name, 2 + i // 2)
             for i, (name, number, folder, _, mb) in enumerate(ARCHIVES)]
    return ["0,IFEXIST,*SR*,READ.ME,5,E",
            "5,COPY,1,READ.ME,*T1*,READ.ME,E",
            "99,X,E"] + unzpk[:2] + [
            "99,X,E",
            "11,DELETE,*T1*,MEMTUNE.COM,E"] + unzpk[2:] + [
            "0,COPY,1,%s,*T1*,%s,E" % (MARKER, MARKER),
            "99,X,E",
            "0,END,E"]


def make_archive(path, seed, members, megabytes, prefix):
    """`members` files of about `megabytes` MB in all: a fifth of the bytes in
    many small files in 15 folders, the rest in a few large ones. Returns
    (first member, last member, last member's size)."""
    rng = random.Random(seed)
    content = content_maker(rng)

    total = megabytes << 20
    large_count = 2
    large = int(total * 0.8)
    small_count = members - large_count
    average = (total - large) // small_count
    date = (1997, 6, 2, 8, 0, 0)
    names = []
    with zipfile.ZipFile(path + ".tmp", "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for n in range(small_count):
            info = zipfile.ZipInfo("%sD%02d/F%05d.TXT" % (prefix, n % 15, n), date)
            info.compress_type = zipfile.ZIP_STORED if rng.random() < 0.1 else zipfile.ZIP_DEFLATED
            data = content(rng.randint(200, 2 * average - 200))
            z.writestr(info, data)
            names.append((info.filename, len(data)))
        for n in range(large_count):
            info = zipfile.ZipInfo("%sBIG/B%02d.DAT" % (prefix, n), date)
            info.compress_type = zipfile.ZIP_DEFLATED
            data = content(large // large_count)
            z.writestr(info, data)
            names.append((info.filename, len(data)))
    os.replace(path + ".tmp", path)
    return names


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def prepare(args):
    """The media (made once per FORMAT) and the stages: (name, file, size)."""
    media = os.path.join(args.work, "media%d" % FORMAT)
    stages = []
    done = os.path.join(media, ".complete")
    os.makedirs(media, exist_ok=True)
    listing = []
    if not os.path.exists(done):
        print("making the product in %s ..." % media, flush=True)
        for i, (name, _, _, members, mb) in enumerate(ARCHIVES):
            names = make_archive(os.path.join(media, name), 1997 + i, members, mb, "P%d" % (i + 1))
            listing.append((name, names))
        with open(os.path.join(media, MARKER), "wb") as f:
            f.write(b"The end of the script.\r\n")
        with open(done + ".tmp", "w") as f:
            for name, names in listing:
                for member, size in names:
                    f.write("%s\t%s\t%d\n" % (name, member, size))
        os.replace(done + ".tmp", done)
    for f in MEDIA_FILES:  # the installer's own files, always the latest build
        shutil.copyfile(os.path.join(args.media_files, f), os.path.join(media, f))

    members = {}
    with open(done) as f:
        for line in f:
            name, member, size = line.rstrip("\n").split("\t")
            members.setdefault(name, []).append((member, int(size)))
    target = "C:\\CVBENCH\\INST"
    for name, _, folder, _, _ in ARCHIVES:
        where = target + ("\\" + folder[4:] if folder[4:] else "")
        first, last = members[name][0], members[name][-1]
        if not stages:
            stages.append(("setup", where + "\\" + first[0].replace("/", "\\"), first[1]))
        stages.append((name, where + "\\" + last[0].replace("/", "\\"), last[1]))
    stages.append(("last-line", target + "\\" + MARKER, os.path.getsize(os.path.join(media, MARKER))))
    files = sum(len(v) for v in members.values())
    size = sum(s for v in members.values() for _, s in v)
    return media, target, stages, files, size


def write_plan(path, media, target, stages):
    lines = script_lines()
    with open(path, "w", newline="\r\n") as f:
        f.write("media\t%s\n" % wine_path(media))
        f.write("target\t%s\n" % target)
        for k, text in enumerate(lines):
            f.write("line\t%d\t%s\n" % (FIRST_LINE + k, text))
        for k in range(len(lines), 40):  # what is left of the shipped script
            f.write("drop\t%d\n" % (FIRST_LINE + k))
        for name, file, size in stages:
            f.write("stage\t%s\t%s\t%d\n" % (name, file, size))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine", required=True)
    ap.add_argument("--driver", required=True)
    ap.add_argument("--isolate", required=True, help="scripts/run-isolated")
    ap.add_argument("--installer", required=True, help="the built INSTALL.EXE (Windows path)")
    ap.add_argument("--media-files", required=True, help="the built media's single directory")
    ap.add_argument("--work", required=True)
    ap.add_argument("--sevenzip-dir", required=True)
    ap.add_argument("--arch", choices=("ia32", "x64"), required=True)
    ap.add_argument("--runs", type=int, default=5)
    args = ap.parse_args()

    prefix = os.environ.get("WINEPREFIX")
    if not prefix:
        print("WINEPREFIX is not set: run through `make bench`")
        return 1
    os.makedirs(args.work, exist_ok=True)
    media, target, stages, files, size = prepare(args)
    print("product: %d files, %.1f MB in %d archives on single-directory media"
          % (files, size / 1e6, len(ARCHIVES)))
    seven, why = sevenzip.fetch(args.sevenzip_dir, args.arch)
    if not seven:
        print("7za.exe: NOT MEASURED: %s" % why)
        return 1
    plan = os.path.join(args.work, "plan.txt")
    write_plan(plan, media, target, stages)

    bench_root = os.path.join(prefix, "drive_c", "CVBENCH")
    env = dict(os.environ, CV_BENCH_PLAN=wine_path(plan))
    # 7za.exe gets each archive into the directory its script line names.
    archives = [(wine_path(os.path.join(media, a[0])), "C:\\CVBENCH\\7ZA" + ("\\" + a[2][4:] if a[2][4:] else ""))
                for a in ARCHIVES]

    def run_install(traced=False, logged=False):
        run_env = dict(env, WINEDEBUG="-all,+debugstr") if traced else dict(env)
        if logged:
            run_env["CV_BENCH_LOG"] = wine_path(os.path.join(args.work, "bench-install-log.txt"))
        r = subprocess.run([args.isolate, args.wine, args.driver, "bench-install", args.installer, wine_path(media),
                            wine_path(os.path.join(args.work, "bench-install.calls"))],
                           capture_output=True, text=True, env=run_env)
        got = {}
        stage_times = []
        for line in r.stdout.splitlines():
            f = line.split()
            if len(f) == 3 and f[0] == "BENCH":
                got[f[1]] = float(f[2])
            elif len(f) == 4 and f[:2] == ["BENCH", "stage"]:
                stage_times.append((f[2], float(f[3])))
        if r.returncode != 0 or "install" not in got:
            return None, "the install walk failed (%d):\n%s" % (r.returncode, r.stdout[-3000:])
        engine = [re.sub(r"^.*CVENGINE: ", "", l).replace("\\n", "").strip('"')
                  for l in r.stdout.splitlines() if "CVENGINE: stage" in l]
        return (got["install"], stage_times, None, engine), None

    def run_7za():
        start = time.perf_counter()
        for a, out in archives:
            r = subprocess.run([args.wine, seven, "x", "-y", "-bso0", "-bsp0", "-o" + out, a],
                               capture_output=True, text=True)
            if r.returncode != 0:
                return None, "7za failed (%d): %s" % (r.returncode, (r.stdout + r.stderr)[-500:])
        return time.perf_counter() - start, None

    installs, sevens, logged = [], [], []
    failed = False
    for round_ in range(args.runs):
        order = [("install", run_install), ("logged", lambda: run_install(logged=True)), ("7za", run_7za)]
        if round_ % 2:
            order.reverse()
        for name, run in order:
            shutil.rmtree(bench_root, ignore_errors=True)
            result, problem = run()
            if problem:
                print(problem, flush=True)
                failed = True
                continue
            if name == "install":
                installs.append(result)
                print("round %d: install  %.2f s" % (round_ + 1, result[0]), flush=True)
            elif name == "logged":
                logged.append(result)
                print("round %d: install with /LOG  %.2f s" % (round_ + 1, result[0]), flush=True)
            else:
                sevens.append(result)
                print("round %d: 7za.exe  %.2f s" % (round_ + 1, result), flush=True)
    # One more install with the engine's debug output on, for where its
    # time goes (traced by the engine at the end of the script).
    shutil.rmtree(bench_root, ignore_errors=True)
    traced, _ = run_install(traced=True)
    shutil.rmtree(bench_root, ignore_errors=True)

    print()
    if not installs or not sevens:
        print("install step ratio: not measured")
        return 1
    best = min(installs, key=lambda r: r[0])
    best7 = min(sevens)
    print("7za.exe x on the four archives (under Wine, one process each): %.2f s" % best7)
    print("install step (progress window to the end of the script):      %.2f s" % best[0])
    before = 0.0
    for name, at in best[1]:
        print("  %-10s ends at %6.2f s  (%.2f s)" % (name, at, at - before))
        before = at
    if traced:
        print("where the engine's time went in a traced install of %.2f s:" % traced[0])
        for line in traced[3]:
            print("  engine " + line)
    ratio = best[0] / best7
    print("ratio install time / 7za time: %.2f  (goal: at most %.1f)" % (ratio, GOAL))
    if logged:
        best_logged = min(r[0] for r in logged)
        print("install step with /LOG: %.2f s; ratio with /LOG / 7za time: %.2f" % (best_logged, best_logged / best7))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
