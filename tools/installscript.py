"""The install script and the program-item records as the installer reads
them from its string table: line ranges, field character sets, tokenizer.

Shared by the media builder (which archives go on which diskette) and the
script check (what a product maker should fix before shipping).
"""

import string

SCRIPT_FIRST = 11501
ITEM_FIRST = 11601
FOLLOWUP_FIRST = 11681
LABEL_BASE = 11700
LINE_LIMIT = 254  # characters a line keeps after loading (255 with the zero)

DIGITS = string.digits
LETTERS = string.ascii_uppercase + string.ascii_lowercase
COMMAND_SET = string.ascii_uppercase + "_"
COPY_SOURCE_SET = DIGITS + LETTERS + ".\\:$_"
DIR_SET = "*" + DIGITS + LETTERS + "\\:_"
FILE_SET = DIGITS + LETTERS + ".\\:$#_"

# Program-item and follow-up records.
ITEM_PROGRAM_SET = "*" + DIGITS + string.ascii_uppercase + " "
ITEM_DIR_SET = ITEM_PROGRAM_SET + "\\:"
ITEM_FILE_SET = DIGITS + LETTERS + ".\\:$#"
ITEM_ARG_SET = "*/" + DIGITS + string.ascii_uppercase + " "

SCRIPT_MACROS = {"T1", "T2", "T3", "T4", "T5", "T6", "V1", "V2", "V3", "V4", "V5", "SR", "WN", "WS", "WT"}
ITEM_PROGRAM_CODES = {"NP", "WR", "WH", "  "}
ITEM_DIR_CODES = {"T1", "T2", "T3", "T4", "T5", "T6", "V1", "V2", "V3", "V4", "WN", "WS", "  "}

COMMANDS = {"UNZPK", "COPY", "DELETE", "IFEXIST", "IFNOTEXIST", "IFAND", "END"}

# Line numbers that can make a script line active; any other never runs.
ACTIVE_NUMBERS = {0} | set(range(1, 10)) | set(range(11, 19)) | {21, 31, 41, 51, 61}
ITEM_NUMBERS = {0} | set(range(11, 19)) | {21, 31, 41, 51, 52, 53, 61}
FOLLOWUP_NUMBERS = {11, 21, 31, 41, 51, 52, 61}


class Field:
    """One field taken from the front of a line: its text, and the character
    that ended it (None at the end of the line). The installer removes that
    character with the field, whatever it is."""

    def __init__(self, text, stop):
        self.text = text
        self.stop = stop

    @property
    def cut_short(self):
        return self.stop is not None and self.stop != ","


class Tokenizer:
    def __init__(self, text):
        self.rest = text

    def take(self, charset):
        n = 0
        while n < len(self.rest) and self.rest[n] in charset:
            n += 1
        text = self.rest[:n]
        stop = self.rest[n] if n < len(self.rest) else None
        self.rest = self.rest[n + 1:]
        return Field(text, stop)

    def at_end(self):
        return self.rest == ""


def leading_number(text):
    n = 0
    while n < len(text) and text[n] in DIGITS:
        n += 1
    return int(text[:n]) if n else None


def macro_codes(dir_field):
    """The macro codes that the installer's path resolver finds in a script
    directory field (a star, two characters, a star), each with a flag
    telling whether its closing star is there."""
    codes = []
    rest = dir_field
    if len(dir_field) <= 3:
        return codes
    while "*" in rest:
        star = rest.index("*")
        if star > 0:
            rest = rest[star:]
            continue
        codes.append((rest[1:3], rest[3:4] == "*"))
        if len(rest) <= 4:
            break
        rest = rest[4:]
    return codes


class ScriptLine:
    """A script line split the way the installer splits it."""

    def __init__(self, sid, text):
        self.id = sid
        self.text = text
        self.number = None
        self.number_field = None
        self.command = None
        self.command_field = None
        self.fields = []  # (role, Field)
        tok = Tokenizer(text)
        self.number_field = tok.take(DIGITS)
        if self.number_field.text:
            self.number = int(self.number_field.text) & 0xFFFF
        if self.number is None or self.number not in ACTIVE_NUMBERS:
            return
        self.command_field = tok.take(COMMAND_SET)
        self.command = self.command_field.text
        layout = {
            "UNZPK": [("weight", DIGITS), ("directory", DIR_SET), ("file", FILE_SET),
                      ("diskette", DIGITS), ("spare number", DIGITS)],
            "COPY": [("weight", DIGITS), ("source", COPY_SOURCE_SET), ("directory", DIR_SET),
                     ("file", FILE_SET)],
            "DELETE": [("directory", DIR_SET), ("file", FILE_SET)],
            "IFEXIST": [("directory", DIR_SET), ("file", FILE_SET), ("flag", DIGITS)],
            "IFNOTEXIST": [("directory", DIR_SET), ("file", FILE_SET), ("flag", DIGITS)],
            "IFAND": [("number a", DIGITS), ("number b", DIGITS), ("flag", DIGITS)],
            "END": [],
        }.get(self.command, [])
        for role, charset in layout:
            self.fields.append((role, tok.take(charset)))

    @property
    def can_run(self):
        return self.number is not None and self.number in ACTIVE_NUMBERS

    def field(self, role):
        for r, f in self.fields:
            if r == role:
                return f
        return None

    def archive(self):
        """For an UNZPK line: (archive name, diskette number)."""
        path = self.field("file").text
        name = path.replace("/", "\\").split("\\")[-1].upper()
        disk = self.field("diskette").text
        return name, int(disk) if disk else 0


def read_script(table):
    """The script lines from SCRIPT_FIRST up to the first line whose command
    is END and that always runs; returns (lines, end_found)."""
    lines = []
    sid = SCRIPT_FIRST
    while sid in table and sid < ITEM_FIRST:
        line = ScriptLine(sid, table[sid])
        lines.append(line)
        if line.number == 0 and line.command == "END":
            return lines, True
        sid += 1
    return lines, False


def unzpk_lines(lines):
    return [l for l in lines if l.can_run and l.command == "UNZPK"]
