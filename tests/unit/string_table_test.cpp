// Checks the product's string table: every string the installer reads by
// its number must load with exactly the text below, and the data records
// that are read at consecutive numbers (install script, program items,
// follow-up programs) must end exactly where the installer expects them to.

#include <gtest/gtest.h>
#include <windows.h>
#include <string>

namespace {

struct ExpectedString {
    UINT id;
    const char* text;
};

// Every string of the table, in ID order.
const ExpectedString kExpectedStrings[] = {
    // Initial selection of the components
    {1261, "1"},
    {1262, "1"},
    {1263, "1"},
    {1264, "1"},
    {1265, "0"},
    {1266, "0"},

    // Component names of the install log
    {1301, "Ramhold Memory Manager"},
    {1302, "Technotes"},
    {1303, "Tricorn"},
    {1304, "Diskspur"},

    // Product names, versions and run settings
    {2007, "Velomir"},
    {2008, "8.00"},
    {2011, "Corvane Velomire Installation"},
    {2016, "XC"},
    {2060, "5000"},
    {2203, "3"},
    {2207, "8.0"},
    {2208, "226"},
    {2209, "310"},
    {2400, "Corvane Velomire"},
    {2402, "The Ramhold Setup program is not found in the Ramhold directory.  You may need to reinstall Ramhold."},

    // KB figures and path checks
    {11010, ","},
    {11011, " KB"},
    {11012, "8"},

    // Wait dialogs, directory browser, exit question, trainer INI section
    {11020, "Install is preparing your configuration."},
    {11021, "Browse for Destination Directory"},
    {11023, "User Information"},
    {11024, "Are you sure you want to exit Install?"},
    {11029, "Install is creating the Windows program group."},

    // Registry keys and owner names; rename question
    {11030, "Software\\Corvane"},
    {11031, "Software\\Microsoft\\Windows\\CurrentVersion\\"},
    {11032, "Corvane"},
    {11033, "App Paths"},
    {11034, "Resource Message"},

    // Messages and captions
    {11110, "Invalid resource string %1."},
    {11111, "Empty String instead of file name"},
    {11112, "Error Opening File %1.\r\nPlease make sure the file exists and is writable.\r\nPress OK to continue, Cancel to exit."},
    {11113, "Error Writing to File %1.\r\nPlease make sure the file and drive are writable.\r\nPress OK to continue, Cancel to exit."},
    {11114, "GlobalAlloc failed in File %1.\r\nPlease press OK to continue, Cancel to exit."},
    {11115, "Error Reading File %1.\r\nPlease press OK to continue, Cancel to exit."},
    {11116, "Error File %1 too large(greater than 65535 bytes)"},
    {11117, "Error Opening File %1"},
    {11118, "Error Reading File %1"},
    {11119, "Drive %1 is not available. \r\nYou may choose another drive or quit Install."},
    {11120, "Invalid Drive"},
    {11121, "Warning"},
    {11122, "There is not enough space on drive %1. \r\nSelect OK to choose a different drive, or select Cancel to ignore this warning."},
    {11125, "You must specify at least one component to install."},
    {11126, "Unable to create directory %1.\r\nPlease enter a valid directory path and make sure the disk is writable."},
    {11128, "Install is unable to Exit"},
    {11129, "Install is unable to open a file for unpacking."},
    {11130, "An error occurred during file unpack."},
    {11131, "An open unpack error has occurred."},
    {11132, "An unpack failure has occurred."},
    {11133, "Please insert disk with %1 Library"},
    {11140, "Unable to delete file %1."},
    {11141, "Unable to copy file %1.\r\nPlease make sure the file and drive are writable."},
    {11142, "File %1 must be in this directory."},
    {11143, "Path is invalid. Please Enter Valid Path."},
    {11144, "First character in group name can be only alphanumeric "},
    {11145, "Characters , ( ) [ ] are not allowed in group name"},
    {11146, "Install has found the newer version of %1 in the directory specified for Ramhold. Do you wish to install Ramhold anyway?"},
    {11190, "The source directory %1 is too long.\r\nPlease copy the installation files to a directory with a shorter path and start Install from there."},

    // Game-trainer base name
    {11221, "TRICORN"},

    // Component sizes in KB
    {11401, "3950"},
    {11402, "305"},
    {11403, "284"},
    {11404, "647"},
    {11405, "0"},

    // Install script, 11501 up to its END line
    {11501, "0,IFEXIST,*SR*,READ.ME,5,E"},
    {11502, "5,COPY,1,READ.ME,*T1*,READ.ME,E"},
    {11503, "99,X,E"},
    {11504, "11,UNZPK,240,*T1*,RAMHOLD.ZPK,2,0"},
    {11505, "11,UNZPK,650,*T1*,RHSETUP.ZPK,2,0"},
    {11506, "11,UNZPK,60,*T1*,RHWIN.ZPK,2,0"},
    {11507, "11,UNZPK,120,*T1*,INV.ZPK,2,0"},
    {11508, "11,UNZPK,70,*T1*,WINSYS.ZPK,2,0"},
    {11509, "21,UNZPK,170,*T1*,TECHNOTE.ZPK,2,0"},
    {11510, "99,X,E"},
    {11511, "11,UNZPK,50,*T1*,CDPMI.ZPK,3,0"},
    {11512, "11,DELETE,*T1*,MEMTUNE.COM,E"},
    {11513, "11,UNZPK,240,*T1*,MEMTUNE.ZPK,3,0"},
    {11514, "31,UNZPK,350,*T1*TRICORN,TRICORN.ZPK,3,0"},
    {11515, "41,UNZPK,630,*T1*DISKSPUR,DISKSPUR.ZPK,3,0"},
    {11516, "41,UNZPK,5,*T1*DISKSPUR,DSPDLL.ZPK,3,0"},
    {11517, "99,X,E"},
    {11518, "0,END,E"},

    // Program items, up to the first missing ID
    {11601, "11,Velomire ReadMe,*NP*,*T1*,READ.ME,E"},
    {11602, "11,Ramhold Setup,*  *,*T1*,RHSETUP.EXE,E"},
    {11603, "11,Ramhold Memtune,*  *,*T1*,MEMTUNE.EXE,E"},
    {11604, "11,Corvane Inventory,*  *,*T1*,INV.EXE,*  *,*WN*,MORICONS.DLL,58,E"},
    {11605, "31,Corvane Tricorn,*  *,*T1*TRICORN,TRICORN.EXE,E"},
    {11606, "41,Diskspur ReadMe,*NP*,*T1*DISKSPUR,READ.ME,E"},
    {11607, "41,Diskspur Panel,*  *,*T1*DISKSPUR,DSPPANEL.EXE,E"},
    {11608, "41,Diskspur Setup,*  *,*T1*DISKSPUR,DSPOPT.EXE,E"},

    // Programs run after the install, up to the first missing ID
    {11681, "41,Diskspur Setup,*  *,*T1*DISKSPUR,DSPOPT.EXE,* NOREBOOT*,E"},
    {11682, "41,Diskspur Setup,*  *,*T1*DISKSPUR,DSPOPT.EXE,* NOREBOOT PREF*,E"},

    // Diskette labels (11700 + diskette number)
    {11701, "Velomire Diskette # 1"},
    {11702, "Velomire Diskette # 2"},
    {11703, "Velomire Diskette # 3"},
    {11704, "Velomire Diskette # 4"},
};

// Loads string `id` of this program into `text`; false when it is missing.
bool LoadTableString(UINT id, std::string& text)
{
    char buf[1024] = {};
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    text.assign(buf, length > 0 ? static_cast<size_t>(length) : 0u);
    return length > 0;
}

bool HasString(UINT id)
{
    std::string text;
    return LoadTableString(id, text);
}

// Number of records read at consecutive IDs from `first` until the first
// ID that has no string.
UINT CountConsecutive(UINT first)
{
    UINT id = first;
    while (HasString(id))
        ++id;
    return id - first;
}

// The leading decimal number of a record and the command word after it
// (capital letters and "_"), split the way the script loader splits them.
void SplitScriptLine(const std::string& line, std::string& number, std::string& command)
{
    const size_t numberEnd = line.find_first_not_of("0123456789");
    number = line.substr(0, numberEnd);
    command.clear();
    if (numberEnd == std::string::npos || numberEnd + 1 >= line.size())
        return;
    const size_t start = numberEnd + 1;
    const size_t end = line.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_", start);
    command = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

TEST(StringTable, EveryStringLoadsWithItsExactText)
{
    for (const ExpectedString& expected : kExpectedStrings) {
        const UINT id = expected.id;
        std::string text;
        EXPECT_TRUE(LoadTableString(id, text)) << "string " << id << " is missing";
        EXPECT_EQ(std::string(expected.text), text) << "string " << id;
    }
}

TEST(StringTable, RecordSequencesHaveNoHolesAndEndWhereExpected)
{
    // Install script: consecutive lines from 11501 up to the active END
    // line, each short enough for the loader's 255-character buffer.
    UINT id = 11501;
    bool endFound = false;
    for (; id < 11600; ++id) {
        std::string line;
        ASSERT_TRUE(LoadTableString(id, line))
            << "string " << id << " is missing: hole in the install script before its END line";
        EXPECT_LE(line.size(), 254u) << "string " << id << " is too long for a script line";
        std::string number, command;
        SplitScriptLine(line, number, command);
        EXPECT_FALSE(number.empty()) << "string " << id << " has no line number";
        if (command == "END" && number == "0") {
            endFound = true;
            break;
        }
    }
    ASSERT_TRUE(endFound) << "string " << id << ": the install script has no active END line";
    EXPECT_EQ(11518u, id) << "string " << id << " is the END line of the install script";
    EXPECT_FALSE(HasString(id + 1)) << "string " << (id + 1) << " follows the END line of the install script";

    // Program items: 11601 ... 11608, then the first missing ID.
    EXPECT_EQ(8u, CountConsecutive(11601)) << "string " << 11601 << ": program items";
    EXPECT_FALSE(HasString(11609)) << "string " << 11609 << " must not exist";

    // Programs run after the install: 11681, 11682, then the first missing ID.
    EXPECT_EQ(2u, CountConsecutive(11681)) << "string " << 11681 << ": follow-up programs";
    EXPECT_FALSE(HasString(11683)) << "string " << 11683 << " must not exist";

    // Every item and follow-up record ends with its end mark.
    for (UINT first : {11601u, 11681u}) {
        for (UINT record = first; HasString(record); ++record) {
            std::string text;
            LoadTableString(record, text);
            ASSERT_GE(text.size(), 2u) << "string " << record;
            EXPECT_EQ(",E", text.substr(text.size() - 2)) << "string " << record;
        }
    }
}

TEST(StringTable, UnshippedComponentNamesAreAbsent)
{
    // Components 51 and 61 have no name in the install log.
    for (UINT id : {1305u, 1306u})
        EXPECT_FALSE(HasString(id)) << "string " << id << " must not exist";
}

TEST(StringTable, EveryDisketteNamedByTheScriptHasALabel)
{
    // Diskette 1 holds the unpack library; the others are named by the
    // UNZPK lines (number,UNZPK,weight,directory,file,diskette,0).
    EXPECT_TRUE(HasString(11701)) << "string " << 11701;
    for (UINT id = 11501; HasString(id); ++id) {
        std::string line;
        LoadTableString(id, line);
        std::string number, command;
        SplitScriptLine(line, number, command);
        if (command == "END")
            break;
        if (command != "UNZPK")
            continue;
        std::string fields[7];
        size_t count = 0, start = 0;
        while (count < 7) {
            const size_t comma = line.find(',', start);
            fields[count++] = line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        ASSERT_EQ(7u, count) << "string " << id;
        const UINT diskette = static_cast<UINT>(std::stoul(fields[5]));
        EXPECT_TRUE(HasString(11700 + diskette)) << "string " << id << " names diskette " << diskette << " without a label";
    }
}
