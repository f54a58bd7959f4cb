#!/usr/bin/env python3
"""Checks the install script and the program-item records in a compiled
string table (INSTALL.EXE or a .res file) before a product is shipped.

    checkscript.py [--media DIR] PROGRAM_OR_RES

Reports, one finding per line ("<file>: <string id>: error: ..."):
  - no END line that always runs (number 0), holes in the script's IDs,
    lines after the END that are never read;
  - lines without a number, unknown command words, lines longer than the
    254 characters that the installer keeps;
  - empty file fields, fields that the installer's character sets cut short
    (a hyphen in a file name, a blank, a field that ends in anything but a
    comma), unknown directory and program macros;
  - program-item and follow-up records with holes, missing fields, file
    names the record's character set cuts short (a hyphen or underscore);
  - diskettes without a label (11700 + n), and with --media, archives that
    are not on the diskette their line names (DIR/DISKn) and an unpack
    library missing from DIR/DISK1;
  - with --media, what the unpack library cannot read in each archive the
    script names, with the archive, the member and the reason: a file that
    is no ZIP archive, a compression method other than stored and deflated
    (Deflate64, BZip2, LZMA, ...), an encrypted member (errors), and a
    member name that the ANSI code page (--codepage, 1252 unless told)
    cannot hold exactly (a warning: on such a system the library stops the
    archive at that member).
  - the product's names and components: a missing product name, title,
    group or product INI (2007, 2011, 2400, 2020), a directory name longer
    than the installer accepts, a component chosen at the start whose slot
    has no name (so the components page hides it).
Each finding names the section of the product maker's guide
(products/README.md) that explains the strings it is about.
Exit status: 0 when there are no errors, 1 when there are, 2 when the file
cannot be read.
"""

import argparse
import os
import struct
import sys
import zipfile
import zlib

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import installscript as ins  # noqa: E402
from strtable import ResourceError, read_string_table  # noqa: E402


GUIDE = "products/README.md"


def guide_section(sid):
    """The section of the product maker's guide about string `sid`."""
    if ins.SCRIPT_FIRST <= sid < ins.ITEM_FIRST:
        return "The install script"
    if ins.ITEM_FIRST <= sid < ins.FOLLOWUP_FIRST:
        return "Program items"
    if ins.FOLLOWUP_FIRST <= sid < ins.LABEL_BASE:
        return "Follow-up programs"
    if ins.LABEL_BASE <= sid < ins.LABEL_BASE + 100:
        return "Diskettes and archives"
    if 1261 <= sid <= 1306 or 11401 <= sid <= 11405:
        return "Components"
    if 2020 <= sid <= 2029 or 2207 <= sid <= 2209 or sid in (2402, 11023, 11146, 11221):
        return "Files the installer knows by name"
    return "The strings"


class Report:
    def __init__(self, source):
        self.source = source
        self.errors = 0
        self.warnings = 0

    def say(self, kind, sid, text, section):
        print("%s: %s: %s: %s (%s, \"%s\")" % (self.source, sid, kind, text, GUIDE, section or guide_section(sid)))

    def error(self, sid, text, section=None):
        self.errors += 1
        self.say("error", sid, text, section)

    def warning(self, sid, text, section=None):
        self.warnings += 1
        self.say("warning", sid, text, section)


def show(ch):
    return "end of line" if ch is None else "'%s'" % ch


def check_fields(report, sid, fields, last_may_end=True):
    for i, (role, field) in enumerate(fields):
        if field.cut_short:
            report.error(sid, "%s field \"%s\" is cut short at %s (the installer's character set "
                         "for it does not hold that character)" % (role, field.text, show(field.stop)))


def check_script(report, table, lines, end_found):
    ids = sorted(i for i in table if ins.SCRIPT_FIRST <= i < ins.ITEM_FIRST)
    last_read = lines[-1].id if lines else ins.SCRIPT_FIRST - 1
    if not end_found:
        ends = [l for l in lines if l.command == "END"]
        for l in ends:
            report.error(l.id, "END runs only when number %d is active: the script has no END "
                         "that always runs" % l.number)
        if not ends:
            report.error(ins.SCRIPT_FIRST, "the script has no active \"END\" line (number 0)")
        # Holes: a missing ID inside the script stops the installer there.
        if ids and ids[-1] > last_read:
            report.error(last_read + 1, "hole in the script IDs: string %d is missing, so lines "
                         "%d ... %d are never read" % (last_read + 1, last_read + 2, ids[-1]))
    else:
        after = [i for i in ids if i > last_read]
        if after:
            report.warning(after[0], "line after the END line is never read")

    for line in lines:
        sid = line.id
        if len(line.text) > ins.LINE_LIMIT:
            report.error(sid, "line is %d characters long; the installer keeps only %d"
                         % (len(line.text), ins.LINE_LIMIT))
        if line.number is None:
            report.error(sid, "line does not start with a number: \"%s\"" % line.text)
            continue
        if line.number_field.cut_short:
            report.error(sid, "number field \"%s\" is cut short at %s"
                         % (line.number_field.text, show(line.number_field.stop)))
        if not line.can_run:
            continue
        if line.command not in ins.COMMANDS:
            report.error(sid, "unknown command word \"%s\"" % line.command)
            continue
        if line.command_field.cut_short:
            report.error(sid, "command field \"%s\" is cut short at %s"
                         % (line.command, show(line.command_field.stop)))
        check_fields(report, sid, line.fields)
        for role, field in line.fields:
            if role in ("file", "source") and not field.text:
                report.error(sid, "empty %s field (\"Empty String instead of file name\")"
                             % ("file" if role == "file" else "source name"))
            if role == "directory":
                for code, closed in ins.macro_codes(field.text):
                    if not closed:
                        report.error(sid, "malformed macro in directory field \"%s\"" % field.text)
                    elif code not in ins.SCRIPT_MACROS:
                        report.error(sid, "unknown macro *%s* in directory field \"%s\""
                                     % (code, field.text))
            if role == "flag" and field.text and not 1 <= int(field.text) <= 9:
                report.warning(sid, "flag number %s is outside 1 ... 9 and sets nothing" % field.text)
        if line.command in ("UNZPK", "COPY") and not line.field("weight").text:
            report.warning(sid, "empty weight")
        if line.command == "UNZPK" and not line.field("diskette").text:
            report.error(sid, "empty diskette number")


def check_records(report, table, first, limit, kind, numbers, followup):
    ids = sorted(i for i in table if first <= i < limit)
    n = first
    while n in table:
        n += 1
    if ids and ids[-1] >= n:
        report.error(n, "hole in the %s IDs: string %d is missing, so records %d ... %d are "
                     "never read" % (kind, n, n + 1, ids[-1]))
    for sid in range(first, n):
        text = table[sid]
        if len(text) > ins.LINE_LIMIT:
            report.error(sid, "%s record is %d characters long; the installer keeps only %d"
                         % (kind, len(text), ins.LINE_LIMIT))
        parts = text.split(",", 2)
        if len(parts) < 3:
            report.error(sid, "%s record lacks the component number, title or command: \"%s\""
                         % (kind, text))
            continue
        number_text, title, rest = parts
        if not number_text:
            report.error(sid, "empty component number")
        number = ins.leading_number(number_text)
        if number_text and not number_text.isdigit():
            report.error(sid, "component number \"%s\" is not a plain decimal number" % number_text)
        elif number is not None and number not in numbers:
            report.warning(sid, "component number %d never counts for a %s" % (number, kind))
        if not title:
            report.error(sid, "empty title (\"Empty String instead of file name\")")
        tok = ins.Tokenizer(rest)
        if tok.rest == "E":
            continue

        def command(label):
            program = tok.take(ins.ITEM_PROGRAM_SET)
            directory = tok.take(ins.ITEM_DIR_SET)
            filename = tok.take(ins.ITEM_FILE_SET)
            for role, f in ((label + " program", program), (label + " directory", directory),
                            (label + " file", filename)):
                if f.cut_short:
                    report.error(sid, "%s field \"%s\" is cut short at %s (the record's character "
                                 "set does not hold it)" % (role, f.text, show(f.stop)))
            if len(program.text) != 4 or program.text[0] != "*" or program.text[3] != "*":
                report.error(sid, "malformed %s program macro \"%s\"" % (label, program.text))
            elif program.text[1:3] not in ins.ITEM_PROGRAM_CODES:
                report.error(sid, "unknown program macro %s" % program.text)
            if len(directory.text) < 4 or directory.text[0] != "*" or directory.text[3] != "*":
                report.error(sid, "malformed %s directory macro \"%s\"" % (label, directory.text))
            elif directory.text[1:3] not in ins.ITEM_DIR_CODES:
                report.error(sid, "unknown directory macro *%s*" % directory.text[1:3])
            if not filename.text:
                report.error(sid, "empty %s file field (\"Empty String instead of file name\")" % label)

        command("command")
        if followup:
            ended = False
            while not tok.at_end():
                arg = tok.take(ins.ITEM_ARG_SET)
                if arg.text == "E":
                    ended = True
                    break
                if arg.cut_short:
                    report.error(sid, "argument field \"%s\" is cut short at %s" % (arg.text, show(arg.stop)))
                if len(arg.text) < 2 or arg.text[0] != "*" or arg.text[-1] != "*":
                    report.error(sid, "malformed argument macro \"%s\"" % arg.text)
            if not ended:
                report.warning(sid, "record has no end mark \"E\"")
        elif tok.rest not in ("E", ""):
            command("icon")
            index = tok.take(ins.DIGITS)
            if not index.text or index.cut_short:
                report.error(sid, "icon index missing or not a number")
            if tok.rest != "E":
                report.warning(sid, "record has no end mark \"E\" after the icon index")
        elif tok.rest != "E":
            report.warning(sid, "record has no end mark \"E\"")


METHOD_NAMES = {1: "Shrink", 2: "Reduce", 3: "Reduce", 4: "Reduce", 5: "Reduce", 6: "Implode",
                9: "Deflate64", 10: "PKWARE Imploding", 12: "BZip2", 14: "LZMA", 18: "IBM TERSE",
                19: "IBM LZ77", 93: "Zstandard", 95: "XZ", 96: "JPEG", 97: "WavPack", 98: "PPMd",
                99: "AES encryption"}


def member_name(info):
    """The member's name decoded as the unpack library decodes it."""
    utf8 = bool(info.flag_bits & 0x800)
    raw = info.orig_filename.encode("utf-8" if utf8 else "cp437")
    extra = info.extra
    at = 0
    while at + 4 <= len(extra):
        tag, size = struct.unpack_from("<HH", extra, at)
        data = extra[at + 4:at + 4 + size]
        if tag == 0x7075 and len(data) >= 5 and data[0] == 1 and \
                struct.unpack_from("<I", data, 1)[0] == zlib.crc32(raw):
            try:
                return data[5:].decode("utf-8")
            except UnicodeDecodeError:
                break
        at += 4 + size
    if utf8:
        return info.filename
    if info.create_system in (3, 19):  # Unix, macOS: unmarked UTF-8
        try:
            return raw.decode("utf-8")
        except UnicodeDecodeError:
            pass
    return raw.decode("cp437")


def check_archive(report, sid, name, path, codepage):
    """Reports what the unpack library cannot read; the bytes it unpacks to."""
    try:
        with zipfile.ZipFile(path) as z:
            infos = z.infolist()
    except (zipfile.BadZipFile, OSError, ValueError) as e:
        report.error(sid, "archive %s cannot be read as a ZIP archive: %s" % (name, e), "Diskettes and archives")
        return 0
    for info in infos:
        member = member_name(info)
        where = "archive %s, member %s" % (name, member)
        if info.flag_bits & 0x41 or info.compress_type == 99:
            report.error(sid, "%s: encrypted; the unpack library cannot read it" % where, "Diskettes and archives")
        elif info.compress_type not in (0, 8):
            report.error(sid, "%s: compression method %d (%s); the unpack library reads only stored "
                         "and deflated members" % (where, info.compress_type,
                                                   METHOD_NAMES.get(info.compress_type, "unknown")), "Diskettes and archives")
        try:
            member.encode("cp%d" % codepage)
        except UnicodeEncodeError:
            report.warning(sid, "%s: the name cannot be held by the ANSI code page %d; the unpack "
                           "library stops this archive there with an error" % (where, codepage), "Diskettes and archives")
        except LookupError:
            pass
    return sum(info.file_size for info in infos)


def check_product(report, table):
    """The names every product needs, and components it chooses but hides."""
    for sid, what in ((2007, "the default directory's name"), (2011, "the installer's title"),
                      (2400, "the program group's and registry key's name"), (2020, "the product INI's name")):
        if not table.get(sid, "").strip():
            report.error(sid, "%s (string %d) is missing" % (what, sid))
    name = table.get(2007, "")
    if len(name) > 8:
        report.error(2007, "directory name \"%s\" is longer than the 8 characters the installer accepts" % name)
    for slot in range(4):
        chosen = table.get(1261 + slot, "").strip() not in ("", "0")
        if chosen and not table.get(1301 + slot, ""):
            report.warning(1261 + slot, "component %d is chosen at the start but has no name (string %d): "
                           "its slot is hidden, and Express installs it" % (11 + 10 * slot, 1301 + slot))


def size_slot(number):
    """The component size string's slot (0 ... 3) of a line number, or None."""
    if 11 <= number <= 18:
        return 0
    return {21: 1, 31: 2, 41: 3}.get(number)


def check_diskettes(report, table, lines, media, codepage=1252):
    disks = {1}
    unpacked = [0, 0, 0, 0]
    for line in ins.unzpk_lines(lines):
        name, disk = line.archive()
        if disk:
            disks.add(disk)
        if media is not None and name:
            where = os.path.join(media, "DISK%d" % disk, name)
            if not os.path.isfile(where):
                others = [d for d in sorted(os.listdir(media))
                          if d.upper().startswith("DISK") and os.path.isfile(os.path.join(media, d, name))]
                report.error(line.id, "archive %s is not on diskette %d%s" % (
                    name, disk, " (it is on %s)" % ", ".join(others) if others else ""), "Diskettes and archives")
            else:
                size = check_archive(report, line.id, name, where, codepage)
                if size_slot(line.number) is not None:
                    unpacked[size_slot(line.number)] += size
    for disk in sorted(disks):
        if not table.get(ins.LABEL_BASE + disk, ""):
            report.error(ins.LABEL_BASE + disk, "diskette %d has no label (string %d)"
                         % (disk, ins.LABEL_BASE + disk))
    for slot, size in enumerate(unpacked):
        sid = 11401 + slot
        announced = table.get(sid, "").strip()
        if size and (not announced.isdigit() or int(announced) * 1024 < size):
            report.warning(sid, "component %d's archives unpack to %d KB, more than the %s KB string %d "
                           "announces: the disk-space checks would let too small a drive through"
                           % (11 + 10 * slot, (size + 1023) // 1024, announced or "no", sid), "Components")
    if media is not None and not os.path.isfile(os.path.join(media, "DISK1", "CUNPCK32.DLL")):
        report.error(ins.LABEL_BASE + 1, "the unpack library CUNPCK32.DLL is not on diskette 1")


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--media", help="distribution media directory holding DISK1, DISK2, ...")
    ap.add_argument("--codepage", type=int, default=1252,
                    help="the users' ANSI code page, for the member names (default 1252)")
    ap.add_argument("resources", help="INSTALL.EXE or a compiled .res file")
    args = ap.parse_args(argv)
    name = os.path.basename(args.resources)
    try:
        table = read_string_table(args.resources)
    except (OSError, ResourceError, ValueError) as e:
        print("%s: cannot read the string table: %s" % (name, e))
        return 2
    report = Report(name)
    lines, end_found = ins.read_script(table)
    check_script(report, table, lines, end_found)
    check_records(report, table, ins.ITEM_FIRST, ins.FOLLOWUP_FIRST, "program item", ins.ITEM_NUMBERS, False)
    check_records(report, table, ins.FOLLOWUP_FIRST, ins.LABEL_BASE, "follow-up program",
                  ins.FOLLOWUP_NUMBERS, True)
    try:
        "".encode("cp%d" % args.codepage)
    except LookupError:
        print("%s: unknown code page %d" % (name, args.codepage))
        return 2
    check_diskettes(report, table, lines, args.media, args.codepage)
    check_product(report, table)
    print("%s: %d script lines, %d errors, %d warnings"
          % (name, len(lines), report.errors, report.warnings))
    return 1 if report.errors else 0


if __name__ == "__main__":
    sys.exit(main())
