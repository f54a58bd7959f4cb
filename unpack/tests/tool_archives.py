#!/usr/bin/env python3
"""Archives as product makers' own tools write them, unpacked through
CUNPCK32.DLL's three entry points (UNPACKRUN.EXE under Wine) and compared
with what Info-ZIP unzip gives on Linux: the same files, names and bytes.

    tool_archives.py --wine WINE --runner UNPACKRUN.EXE --work DIR --tools zip,python
    tool_archives.py --wine WINE --runner UNPACKRUN.EXE --work DIR --tools 7za --sevenzip 7za.exe

The tree that goes in holds names beyond ASCII ("MÜLLER.TXT", "CAFÉ.TXT",
a folder "ÄRGER"), an empty file, an empty folder and a member of a few
megabytes. Info-ZIP zip writes it plain, streamed to a pipe (members with
data descriptors) and in ZIP64 form (-fz); Python's zipfile plain, with
ZIP64 headers, streamed, and as a DOS tool does (code page 437 names,
unmarked); 7za.exe under Wine with deflate and with store. One more archive
holds a name that the ANSI code page cannot hold between two plain members:
the library must end with result 1 at that member, keep the member before
it and make nothing of that member or the ones after it.

unzip writes unmarked names from DOS tools in ISO 8859-1 on Linux, so names
on its side that are not UTF-8 are read as ISO 8859-1. Exit code 77 when a
tool asked for is missing.
"""

import argparse
import io
import os
import random
import shutil
import subprocess
import sys
import zipfile

SKIP = 77

TREE = {
    "README.TXT": b"Read me first.\r\n" * 40,
    "DATA/SUB/EMPTY.TXT": b"",
    "M\u00dcLLER.TXT": b"Mueller\r\n",
    "CAF\u00c9.TXT": b"Cafe\r\n" * 3,
    "\u00c4RGER/\u00d6L.TXT": b"oil\r\n",
}
EMPTY_DIRS = ["DATA/EMPTYDIR"]
# Characters for the name that the ANSI code page must refuse: the first
# one its codec cannot encode is used.
FOREIGN = ["\u03a9", "\u0416", "\u6f22", "\u05d0"]


def big_member():
    rng = random.Random(25)
    text = b" ".join(rng.choice([b"alpha", b"beta", b"gamma", b"delta"]) for _ in range(300000))
    return text[:2_000_000] + rng.randbytes(600_000)


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def make_source(root):
    files = dict(TREE)
    files["DATA/BIG.BIN"] = big_member()
    for name, data in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    for d in EMPTY_DIRS:
        os.makedirs(os.path.join(root, d), exist_ok=True)
    return files


def walk_sorted(root):
    for d, dirs, files in os.walk(root):
        dirs.sort()
        rel = os.path.relpath(d, root)
        for name in dirs:
            yield os.path.normpath(os.path.join(rel, name)).replace(os.sep, "/") + "/", None
        for name in sorted(files):
            yield os.path.normpath(os.path.join(rel, name)).replace(os.sep, "/"), os.path.join(d, name)


# --- the archive makers -----------------------------------------------------

def info_zip(src, out, *options, stream=False):
    if not shutil.which("zip"):
        raise FileNotFoundError("Info-ZIP zip")
    if stream:
        # To a pipe: zip cannot seek back and writes data descriptors.
        with open(out, "wb") as f:
            p = subprocess.Popen(["zip", "-qr", "-X"] + list(options) + ["-", "."], cwd=src,
                                 stdout=subprocess.PIPE)
            shutil.copyfileobj(p.stdout, f)
            assert p.wait() == 0
    else:
        subprocess.run(["zip", "-qr", "-X"] + list(options) + [out, "."], cwd=src, check=True)


class Unseekable(io.RawIOBase):
    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def write(self, b):
        return self.f.write(b)


class DosName(zipfile.ZipInfo):
    """A member as a DOS tool writes it: code page 437, no UTF-8 mark."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("cp437"), self.flag_bits & ~0x800


def python_zip(src, out, zip64=False, stream=False, dos=False):
    target = open(out, "wb")
    sink = Unseekable(target) if stream else target
    with zipfile.ZipFile(sink, "w", zipfile.ZIP_DEFLATED) as z:
        for rel, path in walk_sorted(src):
            info = (DosName if dos else zipfile.ZipInfo)(rel, (1997, 6, 2, 8, 0, 0))
            if dos:
                info.create_system = 0
            if path is None:
                z.writestr(info, b"")
                continue
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f, z.open(info, "w", force_zip64=zip64) as w:
                shutil.copyfileobj(f, w)
    target.close()


def seven_zip(wine, exe, src, out, level):
    r = subprocess.run([wine, exe, "a", "-tzip", "-mx=%d" % level, "-bso0", "-bsp0", wine_path(out),
                        wine_path(src) + "\\*"], capture_output=True, text=True, errors="replace")
    if r.returncode != 0:
        raise RuntimeError("7za failed (%d): %s" % (r.returncode, r.stdout + r.stderr))


# --- unpacking and comparing ------------------------------------------------

def run_library(wine, runner, jobs):
    """UNPACKRUN over all jobs (archive, destination). Returns the ANSI code
    page, the FILE lines, the per-archive failures and the exit code."""
    args = [wine, runner]
    for archive, dest in jobs:
        args += [wine_path(archive), wine_path(dest)]
    r = subprocess.run(args, capture_output=True, timeout=600)
    lines = r.stdout.split(b"\n")
    acp = next((int(l.split()[1]) for l in lines if l.startswith(b"ACP ")), 1252)
    files = [l[5:].rstrip(b"\r").decode("cp%d" % acp) for l in lines if l.startswith(b"FILE ")]
    return acp, files, r.stderr.decode("utf-8", "replace"), r.returncode


def tree(root):
    """Relative names ("dir/" for folders) to contents. Names that are not
    UTF-8 (unzip's ISO 8859-1 names) are read as ISO 8859-1."""
    out = {}
    broot = os.fsencode(root)
    for d, dirs, files in os.walk(broot):
        rel = os.path.relpath(d, broot)
        for name in dirs + files:
            raw = os.path.normpath(os.path.join(rel, name)).replace(b"\\", b"/")
            try:
                text = raw.decode("utf-8")
            except UnicodeDecodeError:
                text = raw.decode("latin-1")
            full = os.path.join(d, name)
            if os.path.isdir(full):
                out[text + "/"] = None
            else:
                with open(full, "rb") as f:
                    out[text] = f.read()
    return out


def unzip(archive, dest):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    subprocess.run(["unzip", "-q", archive, "-d", dest], check=True, env=env)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine", required=True)
    ap.add_argument("--runner", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--tools", default="zip,python")
    ap.add_argument("--sevenzip")
    args = ap.parse_args()
    tools = args.tools.split(",")

    if not shutil.which("unzip"):
        print("SKIPPED: Info-ZIP unzip is not installed; nothing to compare with")
        return SKIP
    if "7za" in tools and not (args.sevenzip and os.path.isfile(args.sevenzip)):
        print("SKIPPED: 7za.exe is not in the build folder (%s); `make bench` fetches it with "
              "npm pack 7zip-bin@5.2.0" % args.sevenzip)
        return SKIP
    if "zip" in tools and not shutil.which("zip"):
        print("SKIPPED: Info-ZIP zip is not installed")
        return SKIP

    shutil.rmtree(args.work, ignore_errors=True)
    src = os.path.join(args.work, "src")
    os.makedirs(src)
    make_source(src)

    table = []
    if "zip" in tools:
        table += [("zip, plain", lambda o: info_zip(src, o)),
                  ("zip, streamed to a pipe", lambda o: info_zip(src, o, stream=True)),
                  ("zip -fz (ZIP64)", lambda o: info_zip(src, o, "-fz"))]
    if "python" in tools:
        table += [("zipfile, plain", lambda o: python_zip(src, o)),
                  ("zipfile, force_zip64", lambda o: python_zip(src, o, zip64=True)),
                  ("zipfile, streamed", lambda o: python_zip(src, o, stream=True)),
                  ("zipfile, ZIP64 streamed", lambda o: python_zip(src, o, zip64=True, stream=True)),
                  ("zipfile, DOS names (code page 437)", lambda o: python_zip(src, o, dos=True))]
    if "7za" in tools:
        table += [("7za deflate", lambda o: seven_zip(args.wine, args.sevenzip, src, o, 5)),
                  ("7za store", lambda o: seven_zip(args.wine, args.sevenzip, src, o, 0))]

    jobs = []
    for i, (label, make) in enumerate(table):
        archive = os.path.join(args.work, "a%02d.zip" % i)
        make(archive)
        jobs.append((archive, os.path.join(args.work, "a%02d.dll" % i)))

    # A name the ANSI code page cannot hold, between two good members.
    foreign_archive = os.path.join(args.work, "foreign.zip")
    foreign_dest = os.path.join(args.work, "foreign.dll")
    acp, _, _, _ = run_library(args.wine, args.runner, [])
    letter = next(c for c in FOREIGN if not encodable(c, acp))
    with zipfile.ZipFile(foreign_archive, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("A.TXT", "first")
        z.writestr(letter + "DIR/" + letter + ".TXT", "foreign")
        z.writestr("Z.TXT", "last")

    acp, reported_all, errors, code = run_library(args.wine, args.runner, jobs)
    _, reported_foreign, foreign_errors, foreign_code = run_library(
        args.wine, args.runner, [(foreign_archive, foreign_dest)])
    print("ANSI code page under Wine: %d" % acp)

    failures = 0
    for (label, _), (archive, ours) in zip(table, jobs):
        theirs = archive[:-4] + ".unzip"
        unzip(archive, theirs)
        a, b = tree(ours), tree(theirs)
        prefix = wine_path(ours).upper() + "\\"
        reported = sorted(p.upper() for p in reported_all if p.upper().startswith(prefix))
        expected = sorted((prefix + k.replace("/", "\\")).upper() for k, v in b.items() if v is not None)
        problems = []
        if a != b:
            diff = sorted(set(a) ^ set(b)) or sorted(k for k in a if a[k] != b.get(k))
            problems.append("trees differ: %s" % ", ".join(diff[:10]))
        if reported != expected:
            problems.append("reported files differ from the files unzip wrote: %s"
                            % ", ".join(sorted(set(reported) ^ set(expected))[:6]))
        for name in ("M\u00dcLLER.TXT", "CAF\u00c9.TXT", "\u00c4RGER/\u00d6L.TXT", "DATA/BIG.BIN"):
            if name not in a:
                problems.append("%s is missing" % name)
        print("%-36s %s" % (label + ":", "; ".join(problems) or "same as unzip, %d files" % len(expected)))
        failures += bool(problems)
    if code != 0:
        print("UNPACKRUN exit code %d: %s" % (code, errors.strip()))
        failures += 1

    got = tree(foreign_dest) if os.path.isdir(foreign_dest) else {}
    problems = []
    if foreign_code != 1 or "exec gave 1" not in foreign_errors:
        problems.append("expected exec result 1, UNPACKRUN said %d: %s" % (foreign_code, foreign_errors.strip()))
    if got != {"A.TXT": b"first"}:
        problems.append("expected only A.TXT, found %s" % ", ".join(sorted(got)))
    print("%-36s %s" % ("name outside code page %d:" % acp,
                        "; ".join(problems) or "result 1, nothing of that member written"))
    failures += bool(problems)
    if not failures:
        shutil.rmtree(args.work, ignore_errors=True)
    return 1 if failures else 0


def encodable(text, acp):
    try:
        text.encode("cp%d" % acp)
        return True
    except (UnicodeEncodeError, LookupError):
        return False


if __name__ == "__main__":
    sys.exit(main())
