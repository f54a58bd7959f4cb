// Path helpers: turning the directory and file fields of a script line into
// a full path, the path syntax check and the trims.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "fsutil/FsUtil.h"
#include "script/ScriptPath.h"
#include "support/TestFiles.h"
#include "support/MessageBoxAnswerer.h"

namespace {

DirectoryValues SampleValues()
{
    DirectoryValues v;
    v.targetDirs = {"C:\\T1DIR", "C:\\T2DIR", "D:\\T3DIR", "C:\\T4DIR", "E:\\T5", "C:\\T6\\SUB"};
    v.varStrings = {"C:\\V1X", "C:\\V2X", "C:\\V3X", "C:\\V4X", "Group Five"};
    v.defaultDrive = "K:";
    return v;
}

const char kSource[] = "A:\\DISK1";

struct ResolveCase {
    const char* name;
    std::string line;      // directory field, file field and what follows
    std::string expected;  // full path
    std::string restAfter;  // what is left of the line
};

class FsutilResolve : public testing::TestWithParam<ResolveCase> {};

TEST_P(FsutilResolve, GivesTheFullPathAndConsumesBothFields)
{
    const ResolveCase& c = GetParam();
    MessageBoxAnswerer answerer;  // none expected
    std::string line = c.line;
    std::string path;
    ASSERT_TRUE(ResolveScriptPath(line, kSource, SampleValues(), path));
    EXPECT_EQ(path, c.expected);
    EXPECT_EQ(line, c.restAfter);
    EXPECT_EQ(answerer.Count(), 0u);
}

std::string Name(const testing::TestParamInfo<ResolveCase>& info)
{
    return info.param.name;
}

// Every macro alone (a pure macro: no backslash of its own before the file).
INSTANTIATE_TEST_SUITE_P(
    FsutilMacros, FsutilResolve,
    testing::Values(
        ResolveCase{"T1", "*T1*,X.EXE", "C:\\T1DIR\\X.EXE", ""},
        ResolveCase{"T2", "*T2*,X.EXE", "C:\\T2DIR\\X.EXE", ""},
        ResolveCase{"T3", "*T3*,X.EXE", "D:\\T3DIR\\X.EXE", ""},
        ResolveCase{"T4", "*T4*,X.EXE", "C:\\T4DIR\\X.EXE", ""},
        ResolveCase{"T5", "*T5*,X.EXE", "E:\\T5\\X.EXE", ""},
        ResolveCase{"T6", "*T6*,X.EXE", "C:\\T6\\SUB\\X.EXE", ""},
        ResolveCase{"V1", "*V1*,X.EXE", "C:\\V1X\\X.EXE", ""},
        ResolveCase{"V2", "*V2*,X.EXE", "C:\\V2X\\X.EXE", ""},
        ResolveCase{"V3", "*V3*,X.EXE", "C:\\V3X\\X.EXE", ""},
        ResolveCase{"V4", "*V4*,X.EXE", "C:\\V4X\\X.EXE", ""},
        // V5 is the group name: not a path of its own, so it lands in T1.
        ResolveCase{"V5", "*V5*,X.EXE", "C:\\T1DIR\\Group Five\\X.EXE", ""},
        ResolveCase{"SR", "*SR*,READ.ME,5,E", "A:\\DISK1\\READ.ME", "5,E"},
        ResolveCase{"WN", "*WN*,CRVN.INI,E", WindowsDir() + "\\CRVN.INI", "E"},
        ResolveCase{"WS", "*WS*,X.DLL", SystemDir() + "\\X.DLL", ""},
        // Wine reports itself as Windows NT.
        ResolveCase{"WT", "*WT*,X.DLL", WindowsDir() + "\\SYSTEM32\\X.DLL", ""},
        // A code that is no macro contributes nothing: the name lands in T1.
        ResolveCase{"UnknownCode", "*ZZ*,X.EXE", "C:\\T1DIR\\X.EXE", ""},
        ResolveCase{"LowerCaseIsNoMacro", "*t1*,X.EXE", "C:\\T1DIR\\X.EXE", ""}),
    Name);

INSTANTIATE_TEST_SUITE_P(
    FsutilFields, FsutilResolve,
    testing::Values(
        // Shipped lines.
        ResolveCase{"UnpackLine", "*T1*,RAMHOLD.ZPK,2,0", "C:\\T1DIR\\RAMHOLD.ZPK", "2,0"},
        ResolveCase{"MacroAndName", "*T1*TRICORN,TRICORN.ZPK,3,0",
                    "C:\\T1DIR\\TRICORN\\TRICORN.ZPK", "3,0"},
        ResolveCase{"MacroNameMacro", "*T1*SUB*T2*,X.EXE", "C:\\T1DIR\\SUB\\C:\\T2DIR\\X.EXE", ""},
        ResolveCase{"NameBeforeMacro", "SUB*T3*,X.EXE", "C:\\T1DIR\\SUB\\D:\\T3DIR\\X.EXE", ""},
        ResolveCase{"TwoMacros", "*T1**T2*,X", "C:\\T1DIR\\C:\\T2DIR\\X", ""},
        // Literal directory fields.
        ResolveCase{"LiteralWithDrive", "C:\\DIR,X.EXE", "C:\\DIR\\X.EXE", ""},
        ResolveCase{"LiteralTrailingBackslash", "C:\\DIR\\,X.EXE", "C:\\DIR\\X.EXE", ""},
        ResolveCase{"ShortFieldIsLiteral", "ABC,X.EXE", "C:\\T1DIR\\ABC\\X.EXE", ""},
        ResolveCase{"ShortFieldWithStar", "*T1,X.EXE", "C:\\T1DIR\\*T1\\X.EXE", ""},
        ResolveCase{"DriveOnly", "D:,X.EXE", "D:\\X.EXE", ""},
        // Empty directory field.
        ResolveCase{"BareName", ",X.EXE,E", "C:\\T1DIR\\X.EXE", "E"},
        ResolveCase{"FileWithDrive", ",C:\\AUTOEXEC.BAT", "C:\\AUTOEXEC.BAT", ""},
        ResolveCase{"FileWithBackslash", ",\\WIN\\X.INI,E", "K:\\WIN\\X.INI", "E"},
        // A file field with a drive (its own, or the default drive before
        // a leading backslash) is the whole path: no directory in front.
        ResolveCase{"FileWithBackslashAndDirectory", "*T2*,\\X.INI", "K:\\X.INI", ""},
        ResolveCase{"FileWithDriveAndDirectory", "*T2*,D:\\X.INI", "D:\\X.INI", ""},
        // A field stops at the first character outside its set and
        // swallows it: "." ends the directory field, "*" the file field,
        // a blank either.
        ResolveCase{"DotEndsDirectoryField", "*T1*.X.EXE", "C:\\T1DIR\\X.EXE", ""},
        ResolveCase{"BlankEndsDirectoryField", "*T2* Y", "C:\\T2DIR\\Y", ""},
        ResolveCase{"StarEndsFileField", "*T1*,A*B,C", "C:\\T1DIR\\A", "B,C"},
        ResolveCase{"FileFieldSpecials", "*T1*,$A#B_C.D,E", "C:\\T1DIR\\$A#B_C.D", "E"},
        ResolveCase{"FileFieldAtEnd", "*T1*,LAST", "C:\\T1DIR\\LAST", ""}),
    Name);

TEST(FsutilResolveEmpty, EmptyFileFieldIsReportedAndFails)
{
    const char* lines[] = {"*T1*,,2,0", "*T1*", "*T1*,*X", ""};
    for (const char* text : lines) {
        SCOPED_TRACE(text);
        MessageBoxAnswerer answerer({IDOK});
        std::string line = text;
        std::string path = "unchanged";
        EXPECT_FALSE(ResolveScriptPath(line, kSource, SampleValues(), path));
        ASSERT_TRUE(answerer.WaitForBoxes(1, 5000));
        auto boxes = answerer.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Empty String instead of file name");
        EXPECT_EQ(boxes[0].caption, "Corvane Velomire Installation");
        EXPECT_FALSE(boxes[0].forced);
    }
}

struct SyntaxCase {
    const char* path;
    int maxName;
    int expected;
};

TEST(FsutilPathSyntax, AcceptsDrivesRootsAndShortNamesOnly)
{
    const SyntaxCase cases[] = {
        {"A:", 8, 1},
        {"z:", 8, 1},
        {"Z:\\", 8, 1},
        {"C:\\DIR", 8, 1},
        {"C:\\DIR\\", 8, 1},
        {"C:\\DIR\\SUB", 8, 1},
        {"C:\\ABCDEFGH", 8, 1},
        {"C:\\ABCDEFGHI", 8, 0},
        {"C:\\ABCD.TXT", 8, 1},    // the dot counts as a character
        {"C:\\ABCDE.TXT", 8, 0},   // no extension rule: 9 characters
        {"C:\\DIR\\ABCDEFGHI\\", 8, 0},
        {"C:\\ABCDEFGHI", 9, 1},
        {"C:DIR", 8, 0},
        {"C:\\\\DIR", 8, 0},
        {"C:\\A\\\\B", 8, 0},
        {"C:\\MY DIR", 8, 0},
        {"C:\\A/B", 8, 0},
        {"C:/", 8, 0},
        {"1:\\A", 8, 0},
        {"CC:\\", 8, 0},
        {"C", 8, 0},
        {"", 8, 0},
        {"\\\\SERVER\\SHARE", 8, 0},
    };
    for (const SyntaxCase& c : cases) {
        EXPECT_EQ(IsValidPathSyntax(c.path, c.maxName), c.expected)
            << "\"" << c.path << "\" with names of at most " << c.maxName;
    }
}

struct TrimCase {
    const char* input;
    const char* stripped;  // StripTrailingBackslash
    const char* leading;   // TrimLeadingSpace
    const char* trailing;  // TrimTrailingSpace
};

TEST(FsutilTrim, RemovesOnlyTheirOwnEnd)
{
    const TrimCase cases[] = {
        {"", "", "", ""},
        {"C:\\DIR\\", "C:\\DIR", "C:\\DIR\\", "C:\\DIR\\"},
        {"C:\\DIR\\\\", "C:\\DIR\\", "C:\\DIR\\\\", "C:\\DIR\\\\"},
        {"\\", "", "\\", "\\"},
        {" \t\r\n\v\fX Y \t\r\n\v\f", " \t\r\n\v\fX Y \t\r\n\v\f", "X Y \t\r\n\v\f", " \t\r\n\v\fX Y"},
        {"   ", "   ", "", ""},
        {"A\\ ", "A\\ ", "A\\ ", "A\\"},
    };
    for (const TrimCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.input << "\"");
        std::string s = c.input;
        StripTrailingBackslash(s);
        EXPECT_EQ(s, c.stripped);
        s = c.input;
        TrimLeadingSpace(s);
        EXPECT_EQ(s, c.leading);
        s = c.input;
        TrimTrailingSpace(s);
        EXPECT_EQ(s, c.trailing);
    }
}

}  // namespace
