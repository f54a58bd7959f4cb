// The script loader: lines from the string table, the tokenizer with its
// character sets, the argument readers and the activity of a line.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "state/InstallState.h"
#include "fsutil/FsUtil.h"
#include "script/ScriptEngine.h"
#include "script/ScriptLine.h"
#include "support/EngineHarness.h"
#include "support/MessageBoxAnswerer.h"

namespace {

TEST(ScriptLoad, ReadsTheShippedLinesAndNothingAfterThem)
{
    EXPECT_EQ(LoadLine(0), "0,IFEXIST,*SR*,READ.ME,5,E");
    EXPECT_EQ(LoadLine(1), "5,COPY,1,READ.ME,*T1*,READ.ME,E");
    EXPECT_EQ(LoadLine(13), "31,UNZPK,350,*T1*TRICORN,TRICORN.ZPK,3,0");
    EXPECT_EQ(LoadLine(17), "0,END,E");
    EXPECT_EQ(LoadLine(18), "");
    EXPECT_EQ(LoadLine(-1), "");  // string 11500 is no script line
}

struct NumberCase {
    const char* line;
    bool found;
    unsigned number;
    const char* rest;
};

TEST(ScriptTokenizer, SplitNumber)
{
    const NumberCase cases[] = {
        {"11,UNZPK,240", true, 11, "UNZPK,240"},
        {"011,COPY", true, 11, "COPY"},
        {"11a,COPY", true, 11, ",COPY"},  // "a" is swallowed as the separator
        {"0,END,E", true, 0, "END,E"},
        {"99", true, 99, ""},
        {"65535,X", true, 65535, "X"},
        {"65547,X", true, 11, "X"},  // 16-bit: 65536 + 11
        {"70000,X", true, 4464, "X"},
        {"000000000000000000005,X", true, 5, "X"},
        {"", false, 0, ""},
        {",COPY", false, 0, ",COPY"},
        {"X,COPY", false, 0, "X,COPY"},
        {" 5,COPY", false, 0, " 5,COPY"},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.line << "\"");
        uint16_t number = 12345;
        std::string rest;
        EXPECT_EQ(SplitNumber(c.line, number, rest), c.found);
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(rest, c.rest);
    }
}

struct FieldCase {
    const char* set;
    const char* input;
    const char* field;
    const char* rest;
};

TEST(ScriptTokenizer, FieldsStopAtTheFirstCharacterOutsideTheirSet)
{
    const FieldCase cases[] = {
        {kCommandChars, "UNZPK,240,*T1*", "UNZPK", "240,*T1*"},
        {kCommandChars, "IFNOTEXIST,*SR*", "IFNOTEXIST", "*SR*"},
        {kCommandChars, "END", "END", ""},
        {kCommandChars, "MY_CMD;1", "MY_CMD", "1"},
        {kCommandChars, "Copy,1", "C", "py,1"},  // lower case ends the word
        {kCommandChars, ",COPY", "", "COPY"},
        {kCommandChars, "", "", ""},
        {kNumberChars, "240,*T1*", "240", "*T1*"},
        {kNumberChars, "12X4", "12", "4"},
        {kCopySourceChars, "READ.ME,*T1*", "READ.ME", "*T1*"},
        {kCopySourceChars, "A:\\$X_Y.1,Z", "A:\\$X_Y.1", "Z"},
        {kCopySourceChars, "A#B,Z", "A", "B,Z"},  // no "#" in COPY source names
        {kFileFieldChars, "A#B,Z", "A#B", "Z"},
        {kFileFieldChars, "A B,Z", "A", "B,Z"},
        {kFileFieldChars, "*T1*", "", "T1*"},
        {kDirectoryFieldChars, "*T1*TRICORN,X", "*T1*TRICORN", "X"},
        {kDirectoryFieldChars, "C:\\A_B.C", "C:\\A_B", "C"},  // no "." in directories
        {kDirectoryFieldChars, "$X", "", "X"},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.input << "\" in \"" << c.set << "\"");
        std::string rest = c.input;
        EXPECT_EQ(TakeField(rest, c.set), c.field);
        EXPECT_EQ(rest, c.rest);
    }
}

TEST(ScriptTokenizer, NumberFieldsOfTheArguments)
{
    std::string rest = "240,,7x9";
    EXPECT_EQ(TakeNumber(rest), 240);
    EXPECT_EQ(TakeNumber(rest), 0);  // an empty field is 0
    EXPECT_EQ(TakeNumber(rest), 7);
    EXPECT_EQ(TakeNumber(rest), 9);
    EXPECT_EQ(TakeNumber(rest), 0);
    EXPECT_EQ(rest, "");
}

DirectoryValues Values()
{
    DirectoryValues v;
    v.targetDirs = {"C:\\RAMHOLD", "C:\\T2", "C:\\T3", "C:\\T4", "C:\\T5", "C:\\T6"};
    v.varStrings = {"C:\\V1", "C:\\V2", "C:\\V3", "C:\\V4", "Group"};
    v.defaultDrive = "C:";
    return v;
}

TEST(ScriptArguments, Unpack)
{
    MessageBoxAnswerer answerer;
    struct Case {
        const char* rest;
        unsigned weight;
        const char* path;
        unsigned diskette;
    };
    const Case cases[] = {
        {"240,*T1*,RAMHOLD.ZPK,2,0", 240, "C:\\RAMHOLD\\RAMHOLD.ZPK", 2},
        {"350,*T1*TRICORN,TRICORN.ZPK,3,0", 350, "C:\\RAMHOLD\\TRICORN\\TRICORN.ZPK", 3},
        {"5,*T1*DISKSPUR,DSPDLL.ZPK,3,0", 5, "C:\\RAMHOLD\\DISKSPUR\\DSPDLL.ZPK", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rest);
        std::string rest = c.rest;
        UnpackArgs args;
        ASSERT_TRUE(ReadUnpackArgs(rest, "A:", Values(), args));
        EXPECT_EQ(args.weight, c.weight);
        EXPECT_EQ(args.path, c.path);
        EXPECT_EQ(args.diskette, c.diskette);
        EXPECT_EQ(args.unused, 0);
        EXPECT_EQ(rest, "");
    }
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST(ScriptArguments, Copy)
{
    MessageBoxAnswerer answerer;
    struct Case {
        const char* rest;
        CopyArgsResult result;
        unsigned weight;
        const char* source;
        const char* destination;
    };
    const Case cases[] = {
        {"1,READ.ME,*T1*,READ.ME,E", CopyArgsResult::Ok, 1, "A:\\DISK1\\READ.ME",
         "C:\\RAMHOLD\\READ.ME"},
        {"3,\\DOS\\X.SYS,*T2*,X.SYS,E", CopyArgsResult::Ok, 3, "C:\\DOS\\X.SYS", "C:\\T2\\X.SYS"},
        {"3,D:\\X.SYS,*T2*,X.SYS,E", CopyArgsResult::Ok, 3, "D:\\X.SYS", "C:\\T2\\X.SYS"},
        {"3,SUB\\X.SYS,*T2*,Y.SYS,E", CopyArgsResult::Ok, 3, "A:\\DISK1\\SUB\\X.SYS",
         "C:\\T2\\Y.SYS"},
        {"1,,*T1*,READ.ME,E", CopyArgsResult::EmptySource, 1, "", ""},
        {"1,#X,*T1*,READ.ME,E", CopyArgsResult::EmptySource, 1, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rest);
        std::string rest = c.rest;
        CopyArgs args;
        EXPECT_EQ(ReadCopyArgs(rest, "A:\\DISK1", Values(), args), c.result);
        EXPECT_EQ(args.weight, c.weight);
        EXPECT_EQ(args.source, c.source);
        EXPECT_EQ(args.destination, c.destination);
    }
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST(ScriptArguments, CopyWithEmptyDestinationNameIsReported)
{
    MessageBoxAnswerer answerer;
    std::string rest = "1,READ.ME,*T1*,,E";
    CopyArgs args;
    EXPECT_EQ(ReadCopyArgs(rest, "A:", Values(), args), CopyArgsResult::Unresolved);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].text, "Empty String instead of file name");
}

TEST(ScriptArguments, ConditionsAndDelete)
{
    MessageBoxAnswerer answerer;
    std::string rest = "*SR*,READ.ME,5,E";
    IfExistArgs ifExist;
    ASSERT_TRUE(ReadIfExistArgs(rest, "A:\\DISK1", Values(), ifExist));
    EXPECT_EQ(ifExist.path, "A:\\DISK1\\READ.ME");
    EXPECT_EQ(ifExist.flag, 5);

    rest = "11,21,4";
    IfAndArgs ifAnd = ReadIfAndArgs(rest);
    EXPECT_EQ(ifAnd.a, 11);
    EXPECT_EQ(ifAnd.b, 21);
    EXPECT_EQ(ifAnd.flag, 4);

    rest = "*T1*,MEMTUNE.COM,E";
    std::string path;
    ASSERT_TRUE(ReadDeleteArgs(rest, "A:", Values(), path));
    EXPECT_EQ(path, "C:\\RAMHOLD\\MEMTUNE.COM");
    EXPECT_EQ(answerer.Count(), 0u);
}

// ---- activity -------------------------------------------------------------

struct ActivityCase {
    int number;
    bool whenAllSet;  // every condition and component flag 1
};

TEST(ScriptActivity, EveryNumberClass)
{
    std::vector<ActivityCase> cases = {{0, true}};
    for (int n = 1; n <= 9; ++n) cases.push_back({n, true});
    for (int n = 11; n <= 18; ++n) cases.push_back({n, true});
    for (int n : {21, 31, 41, 51, 61}) cases.push_back({n, true});
    for (int n : {10, 19, 20, 22, 30, 52, 53, 60, 62, 98, 99, 100, 1000, 65535})
        cases.push_back({n, false});

    InstallState state;
    EngineHarness engine(state);
    // Nothing set: only 0 runs.
    for (const ActivityCase& c : cases)
        EXPECT_EQ(engine.IsLineActive(c.number), c.number == 0) << c.number << " with nothing set";

    // Everything set, the numbers that are never active included.
    for (int n = 0; n < ComponentFlags::kCount; ++n) engine.Values().componentFlags[n] = 1;
    for (int n = 1; n <= 9; ++n) engine.Values().conditionFlags[n] = 1;
    for (const ActivityCase& c : cases)
        EXPECT_EQ(engine.IsLineActive(c.number), c.whenAllSet) << c.number << " with all set";

    // A flag counts only when it is exactly 1.
    engine.Values().componentFlags[41] = 2;
    engine.Values().conditionFlags[5] = -1;
    EXPECT_FALSE(engine.IsLineActive(41));
    EXPECT_FALSE(engine.IsLineActive(5));
}

TEST(ScriptActivity, RunCopiesComeFromTheInstallState)
{
    InstallState state;
    state.targetDir1 = "C:\\P1";
    state.targetDir6 = "C:\\P6";
    state.varString1 = "C:\\V1";
    state.varString4 = "C:\\V4";
    state.groupName = "Group";
    state.defaultDrive = "D:";
    state.componentSelected[2] = 1;
    state.componentSelected[21] = 1;
    state.componentSelected[31] = 0;

    EngineHarness engine(state);
    engine.TakeRunCopies();
    EXPECT_EQ(engine.Values().directories.targetDirs[0], "C:\\P1");
    EXPECT_EQ(engine.Values().directories.targetDirs[5], "C:\\P6");
    EXPECT_EQ(engine.Values().directories.varStrings[0], "C:\\V1");
    EXPECT_EQ(engine.Values().directories.varStrings[3], "C:\\V4");
    EXPECT_EQ(engine.Values().directories.varStrings[4], "Group");
    EXPECT_EQ(engine.Values().directories.defaultDrive, "D:");
    // Condition flags 1 ... 3 start from the component flags 1 ... 3.
    EXPECT_EQ(engine.Values().conditionFlags[1], 0);
    EXPECT_EQ(engine.Values().conditionFlags[2], 1);
    EXPECT_EQ(engine.Values().conditionFlags[3], 0);
    EXPECT_TRUE(engine.IsLineActive(2));
    EXPECT_TRUE(engine.IsLineActive(21));
    EXPECT_FALSE(engine.IsLineActive(31));

    // Later changes of the state do not reach a run in progress.
    state.componentSelected[31] = 1;
    EXPECT_FALSE(engine.IsLineActive(31));
}

// ---- reading lines ----------------------------------------------------------

// Reads the shipped script the way a pass does and adds up the weights of
// the active "UNZPK" and "COPY" lines.
struct PassResult {
    int32_t weight = 0;
    std::vector<std::string> commands;  // of the active lines
    bool ended = false;                 // by "END"
    int linesRead = 0;
};

PassResult ReadPass(ScriptEngine& engine)
{
    PassResult r;
    for (int k = 0; k < 1000; ++k) {
        uint16_t number = 0;
        std::string command, rest;
        ++r.linesRead;
        ScriptEngine::LineKind kind = engine.ReadLine(k, number, command, rest);
        if (kind == ScriptEngine::LineKind::Invalid) break;
        if (kind == ScriptEngine::LineKind::Inactive) continue;
        r.commands.push_back(command);
        if (command == "END") {
            r.ended = true;
            break;
        }
        if (command == "UNZPK" || command == "COPY") r.weight += TakeNumber(rest);
    }
    return r;
}

TEST(ScriptReadLine, ShippedScriptWeightsBySelection)
{
    struct Case {
        std::vector<int> components;
        bool readMe;
        int32_t weight;
        size_t activeLines;
    };
    const Case cases[] = {
        {{11, 21, 31, 41}, true, 2586, 15},
        {{11, 21, 31, 41}, false, 2585, 14},
        {{21}, false, 170, 3},
        {{21}, true, 171, 4},
        {{}, false, 0, 2},
        {{31, 41}, false, 985, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.components.size() << " components, READ.ME "
                                        << c.readMe);
        MessageBoxAnswerer answerer;
        InstallState state;
        for (int n : c.components) state.componentSelected[n] = 1;
        EngineHarness engine(state);
        engine.TakeRunCopies();
        engine.Values().conditionFlags[5] = c.readMe ? 1 : 0;
        PassResult r = ReadPass(engine);
        EXPECT_TRUE(r.ended);
        EXPECT_EQ(r.linesRead, 18);
        EXPECT_EQ(r.weight, c.weight);
        EXPECT_EQ(r.commands.size(), c.activeLines);
        EXPECT_EQ(r.commands.front(), "IFEXIST");
        EXPECT_EQ(answerer.Count(), 0u);
    }
}

TEST(ScriptReadLine, SeparatorsAreNeverRunAndInactiveLinesNotParsed)
{
    InstallState state;
    for (int n = 0; n < ComponentFlags::kCount; ++n) state.componentSelected[n] = 1;
    EngineHarness engine(state);
    engine.TakeRunCopies();
    for (int n = 1; n <= 9; ++n) engine.Values().conditionFlags[n] = 1;
    uint16_t number = 0;
    std::string command = "stale", rest;
    // Line 3 of the script is "99,X,E".
    EXPECT_EQ(engine.ReadLine(2, number, command, rest), ScriptEngine::LineKind::Inactive);
    EXPECT_EQ(number, 99);
    EXPECT_EQ(command, "");
    EXPECT_EQ(rest, "X,E");

    EXPECT_EQ(engine.ReadLine(11, number, command, rest), ScriptEngine::LineKind::Active);
    EXPECT_EQ(number, 11);
    EXPECT_EQ(command, "DELETE");
    EXPECT_EQ(rest, "*T1*,MEMTUNE.COM,E");
}

TEST(ScriptReadLine, AMissingLineIsReportedOnceAndEndsThePass)
{
    MessageBoxAnswerer answerer({IDOK});
    InstallState state;
    EngineHarness engine(state);
    engine.TakeRunCopies();
    uint16_t number = 7;
    std::string command, rest;
    EXPECT_EQ(engine.ReadLine(18, number, command, rest), ScriptEngine::LineKind::Invalid);
    ASSERT_EQ(answerer.Count(), 1u);
    auto box = answerer.Boxes()[0];
    EXPECT_EQ(box.text, "Invalid resource string .");
    EXPECT_EQ(box.caption, "Corvane Velomire Installation");
    EXPECT_FALSE(box.forced);
}

}  // namespace
