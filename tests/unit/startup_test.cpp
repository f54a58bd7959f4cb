// Start-up: where the installer runs from, where the distribution files
// are, and the component flags the product ships with.
#include <gtest/gtest.h>

#include "state/InstallState.h"
#include "app/StartUp.h"

TEST(StartUp, InstallerDirectory)
{
    struct Case { const char* module; const char* dir; } cases[] = {
        {"A:\\INSTALL.EXE", "A:"},
        {"c:\\temp\\setup\\install.exe", "C:\\TEMP\\SETUP"},
        {"D:\\CD\\DISK1\\Install.Exe", "D:\\CD\\DISK1"},
        {"\\\\SERVER\\SHARE\\INSTALL.EXE", "\\\\SERVER\\SHARE"},
    };
    for (const Case& c : cases) EXPECT_EQ(InstallerDirFromModulePath(c.module), c.dir) << c.module;
}

TEST(StartUp, SourceDirectoryFromCommandLine)
{
    struct Case { const char* commandLine; const char* source; } cases[] = {
        {"", "C:\\TEMP\\SETUP"},
        {"/p a:\\disk1", "A:\\DISK1"},
        {"/P B:\\", "B:\\"},
        {"/P \\\\SERVER\\SHARE", "\\\\SERVER\\SHARE"},
        {"/p d:\\cd\\disk1 extra", "D:\\CD\\DISK1 EXTRA"},
        {"/P nothing", "C:\\TEMP\\SETUP"},         // neither ":" nor "\"
        {"a:\\disk1", "C:\\TEMP\\SETUP"},          // no "/P"
        {":X /P", ":X /P"},                        // no letter before the colon
        {"/P C:\\ONE /P D:\\TWO", "D:\\TWO"},      // the last colon counts
    };
    for (const Case& c : cases)
        EXPECT_EQ(SourceDirFromCommandLine(c.commandLine, "C:\\TEMP\\SETUP"), c.source) << c.commandLine;
}

// A source directory near and past the limit: the command line gives it
// whole, and it is accepted only while the media's longest file name still
// fits behind it within MAX_PATH - 1 characters.
TEST(StartUp, LongSourceDirectory)
{
    struct Case { size_t length; bool fits; } cases[] = {
        {3, true}, {246, true}, {247, false}, {259, false}, {260, false}, {300, false}, {1000, false},
    };
    for (const Case& c : cases) {
        std::string dir = "D:\\" + std::string(c.length - 3, 'A');
        EXPECT_EQ(SourceDirFromCommandLine("/P " + dir, "C:\\SETUP"), dir) << c.length;
        EXPECT_EQ(SourceDirFits(dir), c.fits) << c.length;
    }
}

TEST(StartUp, FlagStrings)
{
    EXPECT_EQ(FlagFromText(" "), 0);
    EXPECT_EQ(FlagFromText("0"), 0);
    EXPECT_EQ(FlagFromText("1"), 1);
    EXPECT_EQ(FlagFromText(""), 1);
    EXPECT_EQ(FlagFromText("00"), 1);
    EXPECT_EQ(FlagFromText("  "), 1);
    EXPECT_EQ(ReadFlagString(1261), 1);
    EXPECT_EQ(ReadFlagString(1265), 0);
    EXPECT_EQ(ReadFlagString(1299), 1);  // a missing string counts as 1
}

TEST(StartUp, ShippedComponentFlags)
{
    InstallState state;
    state.InitComponentFlags();
    for (int n : {11, 12, 15, 18, 21, 31, 41}) EXPECT_TRUE(state.componentSelected.IsSelected(n)) << n;
    for (int n : {1, 2, 3, 51, 52, 53, 61, 19, 99}) EXPECT_FALSE(state.componentSelected.IsSelected(n)) << n;
    EXPECT_TRUE(state.componentSelected.IsSelected(0));
    EXPECT_EQ(state.addToGroup, 1);
    EXPECT_EQ(state.installCompleted, 0);
    EXPECT_EQ(state.customInstall, 0);
    // A flag counts only when it is exactly 1.
    state.componentSelected[21] = 2;
    EXPECT_FALSE(state.componentSelected.IsSelected(21));
    // Numbers outside the table never reach memory outside it.
    state.componentSelected[1000] = 1;
    state.componentSelected[-5] = 1;
    EXPECT_FALSE(state.componentSelected.IsSelected(1000));
    EXPECT_FALSE(state.componentSelected.IsSelected(-5));
}

TEST(StartUp, RecognisedComponentNumbers)
{
    using C = ComponentConsumer;
    struct Case { int number; bool items, followUps, script; } cases[] = {
        {0, true, false, true},   {1, false, false, true},  {3, false, false, true},
        {11, true, true, true},   {18, true, false, true},  {19, false, false, false},
        {21, true, true, true},   {31, true, true, true},   {41, true, true, true},
        {51, true, true, true},   {52, true, true, false},  {53, true, false, false},
        {61, true, true, true},   {4, false, false, false}, {62, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsRecognisedComponent(C::ProgramItems, c.number), c.items) << c.number;
        EXPECT_EQ(IsRecognisedComponent(C::FollowUpPrograms, c.number), c.followUps) << c.number;
        EXPECT_EQ(IsRecognisedComponent(C::ScriptLines, c.number), c.script) << c.number;
    }
}
