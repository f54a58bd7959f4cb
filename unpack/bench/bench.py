#!/usr/bin/env python3
"""Unpack throughput of CUNPCK32.DLL against Info-ZIP unzip.

    bench.py --wine WINE --runner UNPACKRUN.EXE --work DIR [--megabytes 200]

Makes (once) an archive of about 200 MB, large and small members mixed, then
unpacks it three times with unzip and three times through the library's
entry points (UNPACKRUN.EXE under Wine, with a real progress window), into
fresh directories on the same file system, and prints the best times and
their ratio. The library's time is measured inside the Wine process, from
the first init to the last exit, so Wine's start-up is not counted.
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
import time
import zipfile

FORMAT = 2  # bump when the generated archive changes


def make_archive(path, megabytes):
    rng = random.Random(1997)
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10)))
             for _ in range(3000)]
    pool = b" ".join(rng.choice(words) for _ in range(400000))  # about 2.6 MB of text
    noise = rng.randbytes(1 << 20)

    def content(size):
        out = bytearray()
        while len(out) < size:
            if rng.random() < 0.25:
                start = rng.randrange(len(noise) - 4096)
                out += noise[start:start + rng.randint(512, 4096)]
            else:
                start = rng.randrange(len(pool) - 65536)
                out += pool[start:start + rng.randint(4096, 65536)]
        return bytes(out[:size])

    total = megabytes << 20
    large = int(total * 0.8)
    with zipfile.ZipFile(path + ".tmp", "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        written = 0
        n = 0
        while written < large:  # eight large members
            size = min(large // 8, large - written)
            z.writestr("LARGE/BIG%02d.DAT" % n, content(size))
            written += size
            n += 1
        n = 0
        while written < total:  # many small ones, in nested folders
            size = rng.randint(200, 24000)
            stored = rng.random() < 0.1
            info = zipfile.ZipInfo("SMALL/D%02d/F%05d.TXT" % (n % 40, n), (1997, 6, 2, 8, 0, 0))
            info.compress_type = zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED
            z.writestr(info, content(size))
            written += size
            n += 1
    os.replace(path + ".tmp", path)


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine", required=True)
    ap.add_argument("--runner", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--megabytes", type=int, default=200)
    ap.add_argument("--runs", type=int, default=3)
    args = ap.parse_args()

    os.makedirs(args.work, exist_ok=True)
    archive = os.path.join(args.work, "bench%d-%d.zip" % (FORMAT, args.megabytes))
    if not os.path.exists(archive):
        print("making %s ..." % archive, flush=True)
        make_archive(archive, args.megabytes)
    with zipfile.ZipFile(archive) as z:
        infos = z.infolist()
    total = sum(i.file_size for i in infos)
    mb = total / 1e6
    print("archive: %d members, %.1f MB unpacked, %.1f MB packed"
          % (len(infos), mb, os.path.getsize(archive) / 1e6))

    out = os.path.join(args.work, "out")
    unzip_times, dll_times = [], []
    for _ in range(args.runs):
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        start = time.perf_counter()
        subprocess.run(["unzip", "-q", "-o", archive, "-d", out], check=True)
        unzip_times.append(time.perf_counter() - start)

        shutil.rmtree(out, ignore_errors=True)
        r = subprocess.run([args.wine, args.runner, "--quiet", "--window", wine_path(archive), wine_path(out)],
                           capture_output=True, text=True)
        line = [l for l in r.stdout.splitlines() if l.startswith("TOTAL ")]
        if r.returncode != 0 or not line:
            print("UNPACKRUN failed (%d): %s %s" % (r.returncode, r.stdout, r.stderr))
            return 1
        _, files, written, seconds = line[0].split()
        if int(written) != total:
            print("UNPACKRUN wrote %s bytes, expected %d" % (written, total))
            return 1
        dll_times.append(float(seconds))
    shutil.rmtree(out, ignore_errors=True)

    u, d = min(unzip_times), min(dll_times)
    print("unzip (Info-ZIP, native):      %.2f s  %.0f MB/s" % (u, mb / u))
    print("CUNPCK32.DLL (under Wine):     %.2f s  %.0f MB/s" % (d, mb / d))
    print("ratio, unzip time / library time: %.2f  (above 1: the library is faster)" % (u / d))
    return 0


if __name__ == "__main__":
    sys.exit(main())
