// The Program Manager command texts and the uninstall records of the log.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "state/InstallState.h"
#include "app/progman/ProgmanClient.h"
#include "records/UninstallRecords.h"
#include "script/InstallLog.h"
#include "support/ScratchDir.h"

namespace {

TEST(ProgmanCommands, TextsAreBuiltWithinTheirBuffer)
{
    using P = ProgmanClient;
    const std::string longPath = "C:\\" + std::string(300, 'A') + "\\X.EXE";
    struct Case {
        const char* name;
        bool built;
        std::string text;
    };
    std::string t[9];
    const Case cases[] = {
        {"create", P::CreateGroupCommand("Corvane Velomire", "", t[0]), "[CreateGroup(Corvane Velomire)]"},
        {"create with file", P::CreateGroupCommand("G", "G.GRP", t[1]), "[CreateGroup(G,G.GRP)]"},
        {"show", P::ShowGroupCommand("Corvane Velomire", 1, t[2]), "[ShowGroup(Corvane Velomire,1)]"},
        {"item with icon",
         P::AddItemCommand("C:\\VELOMIR\\INV.EXE", "Corvane Inventory", "C:\\WINDOWS\\MORICONS.DLL", 58, t[3]),
         "[AddItem(C:\\VELOMIR\\INV.EXE,Corvane Inventory,C:\\WINDOWS\\MORICONS.DLL,58)]"},
        {"item without icon", P::AddItemCommand("notepad.exe C:\\VELOMIR\\READ.ME", "Velomire ReadMe", "", 0, t[4]),
         "[AddItem(notepad.exe C:\\VELOMIR\\READ.ME,Velomire ReadMe)]"},
        {"exit with flag 5", P::ExitProgmanCommand(5, t[5]), "[ExitProgman(1)]"},
        {"delete empty name", P::DeleteItemCommand("", t[6]), ""},
        {"delete group", P::DeleteGroupCommand("Games", t[7]), "[DeleteGroup(Games)]"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_TRUE(cases[i].built);
        EXPECT_EQ(t[i], cases[i].text);
    }
    // A 300-character path is refused whole, never cut into another name.
    std::string refused = "unchanged";
    EXPECT_FALSE(P::AddItemCommand(longPath, "Title", "", 0, refused));
    EXPECT_EQ(refused, "");
    std::string fits;
    EXPECT_TRUE(P::DeleteItemCommand(std::string(255 - 14, 'T'), fits));
    EXPECT_EQ(fits.size(), 255u);
    EXPECT_FALSE(P::DeleteItemCommand(std::string(256 - 14, 'T'), fits));
}

TEST(UninstallRecords, MergeAppendsInReverseRenumberedWithoutEmptyEntries)
{
    ScratchDir scratch("uninst");
    InstallState state;
    state.targetDir1 = scratch.Path();
    state.installLogPath = scratch / "INSTALL.LOG";
    const std::string source = scratch / "UNINST.LOG";
    const char sourceText[] = "[Registry]\r\nLast=3\r\n1=0,one\r\n2=0,two\r\n[IniKey]\r\nLast=1\r\n1=11,SYSTEM.INI,386Enh,X\r\n";
    ASSERT_TRUE(WriteWholeFile(source, sourceText));
    ASSERT_TRUE(WriteWholeFile(state.installLogPath, "[Registry]\r\nLast=5\r\n5=11,own\r\n"));

    AddGroupRecord(0, "Corvane Velomire", state.installLogPath);
    AddItemRecord(11, std::string(400, 'I'), state.installLogPath);
    MergeUninstallSections(state);

    auto value = [&](const char* section, const char* key) { return ReadLogString(state.installLogPath, section, key); };
    EXPECT_EQ(value("Group", "Last"), "1");
    EXPECT_EQ(value("Group", "1"), "0,Corvane Velomire");
    EXPECT_EQ(value("Item", "1").size(), kItemEntryLimit);
    EXPECT_EQ(value("Registry", "Last"), "7");
    EXPECT_EQ(value("Registry", "6"), "0,two");
    EXPECT_EQ(value("Registry", "7"), "0,one");
    EXPECT_EQ(value("IniKey", "1"), "11,SYSTEM.INI,386Enh,X");
    EXPECT_EQ(value("Rename", "Last"), "");
    EXPECT_EQ(ReadWholeFile(source), sourceText);
}

}  // namespace
