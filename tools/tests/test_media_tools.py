"""The media builder and the script check, run on the product's own string
table and on broken copies of it.

Environment: CV_WINDRES (resource compiler), CV_SOURCE (source tree),
CV_BIN (build/bin with the unpack library), CV_PRODUCT_BUILD (the sample
product's build folder: its INSTALL.EXE and programs/).
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

SOURCE = os.environ.get("CV_SOURCE", os.path.join(os.path.dirname(__file__), "..", ".."))
TOOLS = os.path.join(SOURCE, "tools")
WINDRES = os.environ.get("CV_WINDRES", "i686-w64-mingw32-windres")
BIN = os.environ.get("CV_BIN", "")
PRODUCT_BUILD = os.environ.get("CV_PRODUCT_BUILD", "")
PROGRAMS = os.path.join(PRODUCT_BUILD, "programs")
SAMPLE = os.path.join(SOURCE, "products", "velomire")
STRINGS_RC = os.path.join(SAMPLE, "product.rc")

DISK1 = {"INSTALL.EXE", "CVDEL.EXE", "CUNPCK32.DLL", "READ.ME", "LICENSE.TXT"}
DISK2 = {"RAMHOLD.ZPK", "RHSETUP.ZPK", "RHWIN.ZPK", "INV.ZPK", "WINSYS.ZPK", "TECHNOTE.ZPK"}
DISK3 = {"CDPMI.ZPK", "MEMTUNE.ZPK", "TRICORN.ZPK", "DISKSPUR.ZPK", "DSPDLL.ZPK"}


def compile_strings(text, workdir, name="strings"):
    """Compiles a copy of the string table into a .res file."""
    d = os.path.join(workdir, name)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "strings.rc"), "w", newline="\n") as f:
        f.write(text)
    with open(os.path.join(d, "table.rc"), "w") as f:
        f.write('#include <windows.h>\n#include "strings.rc"\n')
    res = os.path.join(d, "table.res")
    subprocess.run([WINDRES, "-O", "res", "-I", d, "-i", os.path.join(d, "table.rc"), "-o", res],
                   check=True, capture_output=True)
    return res


def replace_string(text, sid, new):
    """The string table with string `sid` set to `new` (None removes it)."""
    pattern = re.compile(r"^(\s*)%d,(\s*)\".*\"(.*)$" % sid, re.M)
    assert pattern.search(text), sid
    if new is None:
        return pattern.sub("", text, count=1)
    escaped = new.replace("\\", "\\\\").replace('"', '""')
    return pattern.sub(lambda m: '%s%d,%s"%s"' % (m.group(1), sid, m.group(2), escaped), text, count=1)


def run_tool(*args):
    return subprocess.run([sys.executable] + list(args), capture_output=True, text=True)


def disk1_files():
    return [os.path.join(PRODUCT_BUILD, "INSTALL.EXE"), os.path.join(BIN, "CUNPCK32.DLL")]


def build_media(res, out, sample=SAMPLE):
    return run_tool(os.path.join(TOOLS, "mkmedia.py"), "--strings", res, "--product", sample,
                    "--bin", PROGRAMS, "--out", out, "--disk1", *disk1_files())


class Fixture(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not BIN or not os.path.isfile(os.path.join(PROGRAMS, "RHSETUP.EXE")):
            raise unittest.SkipTest("CV_BIN and CV_PRODUCT_BUILD must name the build's folders")
        cls.work = tempfile.mkdtemp(prefix="cvmedia-")
        with open(STRINGS_RC, encoding="latin-1") as f:
            cls.rc_text = f.read()
        cls.good_res = compile_strings(cls.rc_text, cls.work, "good")
        cls.media = os.path.join(cls.work, "media")
        r = build_media(cls.good_res, cls.media)
        assert r.returncode == 0, r.stderr

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)


class ScriptCheckTest(Fixture):
    def check(self, res, media=None):
        args = [os.path.join(TOOLS, "checkscript.py")]
        if media:
            args += ["--media", media]
        return run_tool(*(args + [res]))

    def test_the_products_own_table_passes(self):
        r = self.check(self.good_res, self.media)
        self.assertEqual(r.returncode, 0, r.stdout)
        self.assertIn("18 script lines, 0 errors, 0 warnings", r.stdout)

    def test_each_defect_of_a_broken_copy_is_reported(self):
        T = self.rc_text
        cases = [
            ("no active END", replace_string(T, 11518, "99,X,E"),
             r"11501: error: the script has no active \"END\""),
            ("END only for a component", replace_string(T, 11518, "11,END,E"),
             r"11518: error: END runs only when number 11 is active"),
            ("hole in the script", replace_string(T, 11510, None),
             r"11510: error: hole in the script IDs: string 11510 is missing"),
            ("unknown command word", replace_string(T, 11512, "11,DELET,*T1*,MEMTUNE.COM,E"),
             r"11512: error: unknown command word \"DELET\""),
            ("line without a number", replace_string(T, 11503, "X,E"),
             r"11503: error: line does not start with a number"),
            ("line too long", replace_string(T, 11506, "11,UNZPK,60,*T1*,RHWIN.ZPK,2,0" + ",E" * 120),
             r"11506: error: line is 270 characters long; the installer keeps only 254"),
            ("empty file field", replace_string(T, 11507, "11,UNZPK,120,*T1*,,2,0"),
             r"11507: error: empty file field"),
            ("empty copy source", replace_string(T, 11502, "5,COPY,1,,*T1*,READ.ME,E"),
             r"11502: error: empty source name field"),
            ("hyphen in a script file name", replace_string(T, 11508, "11,UNZPK,70,*T1*,WIN-SYS.ZPK,2,0"),
             r"11508: error: file field \"WIN\" is cut short at '-'"),
            ("hyphen in an item file name",
             replace_string(T, 11603, "11,Ramhold Memtune,*  *,*T1*,MEM-TUNE.EXE,E"),
             r"11603: error: command file field \"MEM\" is cut short at '-'"),
            ("underscore in an item file name",
             replace_string(T, 11607, "41,Diskspur Panel,*  *,*T1*DISKSPUR,DSP_PANEL.EXE,E"),
             r"11607: error: command file field \"DSP\" is cut short at '_'"),
            ("empty item file field", replace_string(T, 11602, "11,Ramhold Setup,*  *,*T1*,,E"),
             r"11602: error: empty command file field"),
            ("hole in the program items", replace_string(T, 11604, None),
             r"11604: error: hole in the program item IDs"),
            ("hole in the follow-up programs", replace_string(T, 11681, None),
             r"11681: error: hole in the follow-up program IDs"),
            ("missing diskette label", replace_string(T, 11703, None),
             r"11703: error: diskette 3 has no label"),
            ("label of diskette 1 missing", replace_string(T, 11701, ""),
             r"11701: error: diskette 1 has no label"),
            ("unknown script macro", replace_string(T, 11514, "31,UNZPK,350,*T9*TRICORN,TRICORN.ZPK,3,0"),
             r"11514: error: unknown macro \*T9\*"),
            ("unknown item directory macro",
             replace_string(T, 11605, "31,Corvane Tricorn,*  *,*SR*TRICORN,TRICORN.EXE,E"),
             r"11605: error: unknown directory macro \*SR\*"),
            ("unknown item program macro",
             replace_string(T, 11606, "41,Diskspur ReadMe,*ED*,*T1*DISKSPUR,READ.ME,E"),
             r"11606: error: unknown program macro \*ED\*"),
            ("archive on another diskette", replace_string(T, 11506, "11,UNZPK,60,*T1*,RHWIN.ZPK,3,0"),
             r"11506: error: archive RHWIN.ZPK is not on diskette 3 \(it is on DISK2\)"),
            ("archive on no diskette", replace_string(T, 11506, "11,UNZPK,60,*T1*,RHWINNT.ZPK,2,0"),
             r"11506: error: archive RHWINNT.ZPK is not on diskette 2 \(products/README.md, \"Diskettes and archives\"\)$"),
        ]
        for label, text, expected in cases:
            with self.subTest(label):
                res = compile_strings(text, self.work, "broken")
                r = self.check(res, self.media)
                self.assertEqual(r.returncode, 1, r.stdout)
                self.assertRegex(r.stdout, re.compile(expected, re.M))

    def test_what_the_unpack_library_cannot_read_is_reported(self):
        media = os.path.join(self.work, "unreadable-media")
        shutil.rmtree(media, ignore_errors=True)
        shutil.copytree(self.media, media)
        plain = os.path.join(self.work, "plain.txt")
        with open(plain, "w") as f:
            f.write("secret\n")
        archive = os.path.join(media, "DISK2", "RHWIN.ZPK")
        os.remove(archive)
        # An encrypted member, as Info-ZIP zip encrypts it.
        subprocess.run(["zip", "-q", "-j", "-P", "pass", archive, plain], check=True)
        with zipfile.ZipFile(archive, "a") as z:
            z.writestr(zipfile.ZipInfo("PACKED.DAT"), b"x" * 1000, zipfile.ZIP_BZIP2)
            z.writestr("\u03a9MEGA.TXT", b"omega")
            z.writestr("GOOD.TXT", b"good")
        with open(os.path.join(media, "DISK2", "RHSETUP.ZPK"), "wb") as f:
            f.write(b"not an archive")
        r = self.check(self.good_res, media)
        self.assertEqual(r.returncode, 1, r.stdout)
        for expected in [
                r"11506: error: archive RHWIN.ZPK, member plain.txt: encrypted",
                r"11506: error: archive RHWIN.ZPK, member PACKED.DAT: compression method 12 \(BZip2\)",
                r"11506: warning: archive RHWIN.ZPK, member \u03a9MEGA.TXT: the name cannot be held by "
                r"the ANSI code page 1252",
                r"error: archive RHSETUP.ZPK cannot be read as a ZIP archive"]:
            self.assertRegex(r.stdout, expected)
        self.assertNotIn("GOOD.TXT", r.stdout)
        self.assertIn("3 errors, 1 warnings", r.stdout)

    def test_unreadable_input_is_refused(self):
        bogus = os.path.join(self.work, "bogus.res")
        with open(bogus, "wb") as f:
            f.write(b"not a resource file")
        r = self.check(bogus)
        self.assertEqual(r.returncode, 2)
        self.assertIn("cannot read the string table", r.stdout)


class MediaBuilderTest(Fixture):
    def listing(self, media):
        return {d: set(os.listdir(os.path.join(media, d))) for d in os.listdir(media)}

    def test_layout_follows_the_diskette_numbers(self):
        self.assertEqual(self.listing(self.media),
                         {"DISK1": DISK1, "DISK2": DISK2, "DISK3": DISK3, "ALL": DISK1 | DISK2 | DISK3})
        for name in DISK2 | DISK3:
            for d in ("ALL", "DISK2" if name in DISK2 else "DISK3"):
                path = os.path.join(self.media, d, name)
                with zipfile.ZipFile(path) as z:
                    self.assertIsNone(z.testzip(), path)
                    for info in z.infolist():
                        self.assertIn(info.compress_type, (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED))
                        self.assertFalse(info.flag_bits & 1)
                r = subprocess.run(["unzip", "-tq", path], capture_output=True, text=True)
                self.assertEqual(r.returncode, 0, r.stdout + r.stderr)

    def test_rebuild_rewrites_nothing_and_clears_strays(self):
        media = os.path.join(self.work, "rebuild")
        self.assertEqual(build_media(self.good_res, media).returncode, 0)
        stamp = os.stat(os.path.join(media, "DISK2", "RHSETUP.ZPK")).st_mtime_ns
        with open(os.path.join(media, "DISK2", "STRAY.TXT"), "w") as f:
            f.write("left over")
        moved = compile_strings(replace_string(self.rc_text, 11516, "41,UNZPK,5,*T1*DISKSPUR,DSPDLL.ZPK,4,0"),
                                self.work, "moved")
        self.assertEqual(build_media(moved, media).returncode, 0)
        self.assertEqual(os.listdir(os.path.join(media, "DISK4")), ["DSPDLL.ZPK"])
        self.assertNotIn("DSPDLL.ZPK", os.listdir(os.path.join(media, "DISK3")))
        self.assertEqual(build_media(self.good_res, media).returncode, 0)
        self.assertEqual(self.listing(media), self.listing(self.media))
        self.assertEqual(os.stat(os.path.join(media, "DISK2", "RHSETUP.ZPK")).st_mtime_ns, stamp)

    def test_refuses_an_archive_the_product_lacks(self):
        cases = [
            ("unknown archive", replace_string(self.rc_text, 11506, "11,UNZPK,60,*T1*,RHWINNT.ZPK,2,0"), SAMPLE,
             "string 11506 names archive RHWINNT.ZPK, which the product does not have"),
            ("archive folder missing", self.rc_text, "without CDPMI",
             "string 11511 names archive CDPMI.ZPK, which the product does not have"),
            ("one archive on two diskettes",
             replace_string(self.rc_text, 11517, "11,UNZPK,60,*T1*,RHWIN.ZPK,3,0"), SAMPLE,
             "string 11517 puts RHWIN.ZPK on diskette 3, string 11506 on diskette 2"),
        ]
        for label, text, sample, expected in cases:
            with self.subTest(label):
                if sample == "without CDPMI":
                    sample = os.path.join(self.work, "sample-copy")
                    shutil.rmtree(sample, ignore_errors=True)
                    shutil.copytree(SAMPLE, sample)
                    shutil.rmtree(os.path.join(sample, "archives", "CDPMI"))
                    # An archive made of archives.lst's lines alone is the
                    # product's too: take those away as well.
                    listing = os.path.join(sample, "archives.lst")
                    with open(listing) as f:
                        kept = [line for line in f if not line.startswith("CDPMI ")]
                    with open(listing, "w") as f:
                        f.writelines(kept)
                res = compile_strings(text, self.work, "refused")
                out = os.path.join(self.work, "refused-media")
                shutil.rmtree(out, ignore_errors=True)
                r = build_media(res, out, sample)
                self.assertEqual(r.returncode, 1)
                self.assertIn(expected, r.stderr)
                self.assertIn("no media written", r.stderr)
                self.assertFalse(os.path.exists(out))


if __name__ == "__main__":
    unittest.main()
