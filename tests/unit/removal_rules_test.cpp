// What a removal may take back of what a log names: a hand-edited log
// never reaches beyond the product's own directories, keys and INI keys.
#include <gtest/gtest.h>

#include "records/RemovalRules.h"

namespace {

const ProtectedPlaces kPlaces{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"};

TEST(RemovalRules, RefusedEntries)
{
    // The product's directories: the components' own, never a protected one.
    std::vector<std::string> dirs = ProductDirectories(
        {"11,C:\\VELOMIR", "21,c:\\velomir", "31,C:\\VELOMIR\\TRICORN", "41,C:\\", "51,C:\\WINDOWS", "61,C:",
         "0,C:\\ELSE", "11,D:\\CACHE", "x,C:\\BAD", "31,C:\\WINDOWS\\SYSTEM\\", "41,relative"},
        kPlaces);
    EXPECT_EQ(dirs, (std::vector<std::string>{"C:\\VELOMIR", "D:\\CACHE"}));

    struct PathCase {
        const char* path;
        bool removable;
    } paths[] = {
        {"C:\\VELOMIR\\RAMHOLD.EXE", true},  {"c:\\velomir\\sub\\x.txt", true}, {"C:\\VELOMIR", true},
        {"C:\\VELOMIRX\\A.TXT", false},      {"C:\\WINDOWS\\WIN.INI", false},   {"C:\\", false},
        {"C:\\WINDOWS\\CUNPACK.DLL", true},  {"C:\\WINDOWS\\SYSTEM\\CUNPACK.DLL", false},
        {"VELOMIR\\A.TXT", false},           {"", false},
    };
    for (const PathCase& c : paths) EXPECT_EQ(MayRemovePath(c.path, dirs, kPlaces), c.removable) << c.path;

    RegistryScope scope{{"Software\\Corvane\\Corvane Velomire",
                         "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE"}};
    struct KeyCase {
        const char* key;
        bool removable;
    } keys[] = {
        {"Software\\Corvane\\Corvane Velomire\\CurrentVersion", true},
        {"software\\corvane\\corvane velomire", true},
        {"Software\\Corvane", false},
        {"Software\\Corvane\\Corvane Velomire II", false},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Run", false},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE", true},
    };
    for (const KeyCase& c : keys) EXPECT_EQ(IsInScope(c.key, scope), c.removable) << c.key;

    struct IniCase {
        std::vector<std::string> lines;
        const char* key;
        bool removable;
    } inis[] = {
        {{"device=C:\\VELOMIR\\RHOLD386.SYS"}, "device", true},
        {{"Options=c:\\velomir /q"}, "OPTIONS", true},
        {{"device=C:\\VELOMIR\\A.SYS", "device=C:\\OTHER\\B.SYS"}, "device", false},  // twice
        {{"device=C:\\VELOMIRX\\A.SYS"}, "device", false},
        {{"load=NOTEPAD.EXE"}, "load", false},
        {{"other=C:\\VELOMIR"}, "device", false},
    };
    for (const IniCase& c : inis) EXPECT_EQ(MayRemoveIniKey(c.lines, c.key, dirs), c.removable) << c.lines[0];

    for (const char* dir : {"C:\\", "C:", "C:\\WINDOWS", "c:\\windows\\", "C:\\WINDOWS\\SYSTEM", "X"})
        EXPECT_TRUE(IsProtectedDirectory(dir, kPlaces)) << dir;
    EXPECT_FALSE(IsProtectedDirectory("C:\\WINDOWS\\TEMP", kPlaces));
}

}  // namespace
