#!/usr/bin/env python3
"""Packs the product's archives and lays out the distribution media.

    mkmedia.py --strings INSTALL.EXE --product PRODUCT_DIR --bin BIN_DIR
               --out MEDIA_DIR [--disk1 FILE ...]

Reads the install script from the installer's compiled string table, packs
one ".ZPK" archive (a ZIP file) for every archive that a script line names,
from PRODUCT_DIR/archives/<NAME>/ and the members that
PRODUCT_DIR/archives.lst adds (built programs from BIN_DIR, generated
content), and writes:

    MEDIA_DIR/DISK1   the --disk1 files (INSTALL.EXE, CVREMOVE.EXE,
                      CUNPCK32.DLL), PRODUCT_DIR/media (READ.ME, LICENSE.TXT)
                      and the archives.lst lines of the pseudo-archive MEDIA
                      (CVDEL.EXE), plus any archive whose line names diskette 1
    MEDIA_DIR/DISKn   the archives whose script lines name diskette n
    MEDIA_DIR/ALL     every file of every diskette in one directory

Nothing is written when a script line names an archive that the product does
not have, or when an input is missing: the builder says what is wrong and
exits with status 1. Files are only rewritten when their content changes.
"""

import argparse
import io
import os
import random
import shutil
import sys
import zipfile

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import installscript as ins  # noqa: E402
import nelib  # noqa: E402
from strtable import ResourceError, read_string_table  # noqa: E402

ARCHIVE_DATE = (1997, 6, 2, 8, 0, 0)
TEXT_SUFFIXES = (".TXT", ".ME", ".DEF", ".LOG", ".INF", ".INI")
DISKETTE_BYTES = 1457664
# The archives.lst name of the first diskette itself: its members are files
# beside the installer, not in an archive.
MEDIA = "MEDIA"


class BuildError(Exception):
    pass


def dos_text(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def filler(seed, size):
    """Data that compresses about as well as help files and drivers do."""
    rng = random.Random(seed)
    words = [bytes(rng.choice(b"ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(rng.randint(2, 9)))
             for _ in range(200)]
    out = bytearray()
    while len(out) < size:
        if rng.random() < 0.12:
            out += rng.randbytes(rng.randint(32, 512))
        else:
            for _ in range(rng.randint(8, 64)):
                out += struct_record(rng, words)
    return bytes(out[:size])


def struct_record(rng, words):
    word = rng.choice(words)
    return bytes([len(word)]) + word + rng.randint(0, 65535).to_bytes(2, "little") + b"\0" * rng.randint(0, 6)


VOCABULARY = ("memory driver upper block page frame cache disk write read ahead handler "
              "interrupt vector region load high device buffer sector cluster table setting "
              "value option program window segment protected mode real extended expanded "
              "conventional the a of to and in is for with that on when this may be").split()


def text_filler(seed, size, title):
    rng = random.Random(seed)
    out = io.StringIO()
    out.write(title + "\r\n" + "=" * len(title) + "\r\n\r\n")
    while out.tell() < size:
        line = []
        while sum(len(w) + 1 for w in line) < rng.randint(50, 72):
            line.append(rng.choice(VOCABULARY))
        text = " ".join(line)
        out.write(text[0].upper() + text[1:] + ".\r\n")
        if rng.random() < 0.15:
            out.write("\r\n")
    return out.getvalue().encode("ascii")[:size]


def dos_com(message):
    """A DOS .COM program that prints the message and ends: mov ah,9;
    mov dx,010Bh; int 21h; mov ah,4Ch; int 21h; then the text."""
    code = bytes([0xB4, 0x09, 0xBA, 0x0B, 0x01, 0xCD, 0x21, 0xB4, 0x4C, 0xCD, 0x21])
    return code + message.encode("ascii") + b"\r\n$"


def read_manifest(path):
    entries = []
    with open(path, encoding="ascii") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split(None, 3)
            if len(parts) < 3:
                raise BuildError("%s:%d: expected ARCHIVE MEMBER KIND [ARGUMENTS]" % (path, number))
            archive, member, kind = parts[0].upper(), parts[1], parts[2]
            args = parts[3] if len(parts) > 3 else ""
            entries.append((archive, member, kind, args, "%s:%d" % (path, number)))
    return entries


def generate_member(archive, member, kind, args, where, bin_dir):
    seed = "%s/%s" % (archive, member)
    name = member.replace("\\", "/").split("/")[-1]
    if kind == "program":
        path = os.path.join(bin_dir, name)
        if not os.path.isfile(path):
            raise BuildError("%s: program %s has not been built (looked in %s)" % (where, name, bin_dir))
        with open(path, "rb") as f:
            return f.read()
    if kind == "filler":
        return filler(seed, int(args))
    if kind == "text":
        size, _, title = args.partition(" ")
        return text_filler(seed, int(size), title or name.split(".")[0])
    if kind == "dos-com":
        return dos_com(args)
    if kind == "ne-dll":
        version, _, description = args.partition(" ")
        major, minor = version.split(".")
        return nelib.ne_library(name, int(major), int(minor), description or name)
    raise BuildError("%s: unknown kind %s" % (where, kind))


def archive_members(product, archive, manifest, bin_dir):
    """{member path with "/" separators: bytes} of one archive."""
    members = {}
    folder = os.path.join(product, "archives", archive)
    if os.path.isdir(folder):
        for root, _dirs, files in os.walk(folder):
            for fname in files:
                full = os.path.join(root, fname)
                rel = os.path.relpath(full, folder).replace(os.sep, "/")
                with open(full, "rb") as f:
                    data = f.read()
                if fname.upper().endswith(TEXT_SUFFIXES):
                    data = dos_text(data)
                members[rel] = data
    for arc, member, kind, args, where in manifest:
        if arc == archive:
            members[member.replace("\\", "/")] = generate_member(arc, member, kind, args, where, bin_dir)
    return members


def pack(members):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        dirs_done = set()
        for name in sorted(members):
            parts = name.split("/")[:-1]
            for i in range(1, len(parts) + 1):
                d = "/".join(parts[:i]) + "/"
                if d not in dirs_done:
                    dirs_done.add(d)
                    info = zipfile.ZipInfo(d, ARCHIVE_DATE)
                    info.external_attr = 0x10
                    z.writestr(info, b"")
            info = zipfile.ZipInfo(name, ARCHIVE_DATE)
            info.compress_type = zipfile.ZIP_DEFLATED if members[name] else zipfile.ZIP_STORED
            info.external_attr = 0x20
            z.writestr(info, members[name])
    return buf.getvalue()


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    except OSError:
        pass
    tmp = path + ".new"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)
    return True


def plan(strings, product, bin_dir, disk1_files):
    """Works out the whole layout: {disk: {file name: bytes}}. Raises
    BuildError listing every problem found."""
    try:
        table = read_string_table(strings)
    except (OSError, ResourceError, ValueError) as e:
        raise BuildError("cannot read the string table of %s: %s" % (strings, e))
    lines, _end = ins.read_script(table)
    manifest_path = os.path.join(product, "archives.lst")
    manifest = read_manifest(manifest_path) if os.path.isfile(manifest_path) else []
    archives_dir = os.path.join(product, "archives")
    have = {d.upper() for d in os.listdir(archives_dir)
            if os.path.isdir(os.path.join(archives_dir, d))} if os.path.isdir(archives_dir) else set()
    # An archive may also be made of archives.lst's lines alone.
    have |= {entry[0] for entry in manifest if entry[0] != MEDIA}

    problems = []
    placement = {}  # archive name -> (disk, line id)
    for line in ins.unzpk_lines(lines):
        name, disk = line.archive()
        base, dot, ext = name.rpartition(".")
        if not dot or not base:
            problems.append("string %d: \"%s\" does not name an archive file" % (line.id, line.text))
            continue
        if base not in have:
            problems.append("string %d names archive %s, which the product does not have "
                            "(no folder %s and no line for it in archives.lst)"
                            % (line.id, name, os.path.join(archives_dir, base)))
            continue
        if disk < 1:
            problems.append("string %d: archive %s has no diskette number" % (line.id, name))
            continue
        if name in placement and placement[name][0] != disk:
            problems.append("string %d puts %s on diskette %d, string %d on diskette %d"
                            % (line.id, name, disk, placement[name][1], placement[name][0]))
            continue
        placement[name] = (disk, line.id)
    for path in disk1_files:
        if not os.path.isfile(path):
            problems.append("%s is missing" % path)
    if problems:
        raise BuildError("\n".join(problems))

    layout = {1: {}}
    for path in disk1_files:
        with open(path, "rb") as f:
            layout[1][os.path.basename(path).upper()] = f.read()
    media_dir = os.path.join(product, "media")
    if os.path.isdir(media_dir):
        for fname in sorted(os.listdir(media_dir)):
            with open(os.path.join(media_dir, fname), "rb") as f:
                data = f.read()
            layout[1][fname.upper()] = dos_text(data) if fname.upper().endswith(TEXT_SUFFIXES) else data
    for name, data in archive_members(product, MEDIA, manifest, bin_dir).items():
        layout[1][name.split("/")[-1].upper()] = data
    for name, (disk, _sid) in sorted(placement.items()):
        base = name.rpartition(".")[0]
        members = archive_members(product, base, manifest, bin_dir)
        layout.setdefault(disk, {})[name] = pack(members)
    unused = sorted(have - {n.rpartition(".")[0] for n in placement})
    return layout, unused


def write_layout(out, layout):
    os.makedirs(out, exist_ok=True)
    everything = {}
    for disk in layout:
        everything.update(layout[disk])
    wanted = {"DISK%d" % d: files for d, files in layout.items()}
    wanted["ALL"] = everything
    for entry in os.listdir(out):
        if entry.upper().startswith("DISK") and entry not in wanted and os.path.isdir(os.path.join(out, entry)):
            shutil.rmtree(os.path.join(out, entry))
    for dname, files in wanted.items():
        d = os.path.join(out, dname)
        os.makedirs(d, exist_ok=True)
        for entry in os.listdir(d):
            if entry not in files:
                p = os.path.join(d, entry)
                shutil.rmtree(p) if os.path.isdir(p) else os.remove(p)
        for fname, data in files.items():
            write_if_changed(os.path.join(d, fname), data)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--strings", required=True, help="INSTALL.EXE or a compiled .res file")
    ap.add_argument("--product", required=True, help="the product's folder (products/<name>)")
    ap.add_argument("--bin", required=True, help="where the product's programs were built")
    ap.add_argument("--out", required=True, help="media directory to write")
    ap.add_argument("--disk1", nargs="*", default=[], help="installer files for diskette 1")
    args = ap.parse_args(argv)
    try:
        layout, unused = plan(args.strings, args.product, args.bin, args.disk1)
    except BuildError as e:
        for line in str(e).splitlines():
            print("mkmedia: error: %s" % line, file=sys.stderr)
        print("mkmedia: no media written", file=sys.stderr)
        return 1
    for name in unused:
        print("mkmedia: warning: archive folder %s is named by no script line; left out" % name)
    write_layout(args.out, layout)
    for disk in sorted(layout):
        total = sum(len(v) for v in layout[disk].values())
        note = " (more than a 1.44 MB diskette)" if total > DISKETTE_BYTES else ""
        print("mkmedia: DISK%d: %s, %d bytes%s" % (disk, " ".join(sorted(layout[disk])), total, note))
    return 0


if __name__ == "__main__":
    sys.exit(main())
