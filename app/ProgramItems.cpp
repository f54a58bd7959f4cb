#include "app/ProgramItems.h"

#include <windows.h>

#include <cstdint>

#include "app/MainWindow.h"
#include "app/progman/ProgmanClient.h"
#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"

namespace {

// The characters each field of an item record may hold; a field ends at the
// first other character, which is taken as its separator.
const char kProgramChars[] = "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
const char kDirectoryChars[] = "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ \\:";
const char kFileChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.\\:$#";
const char kArgumentChars[] = "*/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ";

const char kNoCode[] = "  ";

std::string WindowsDirectory()
{
    char buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    return (n > 0 && n < MAX_PATH) ? std::string(buffer, n) : std::string();
}

std::string SystemDirectory()
{
    char buffer[MAX_PATH];
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return (n > 0 && n < MAX_PATH) ? std::string(buffer, n) : std::string();
}

// `directory` + "\" + `name`, without a doubled backslash when the
// directory already ends in one (a drive root such as C:\).
std::string JoinPath(std::string directory, const std::string& name)
{
    while (!directory.empty() && directory.back() == '\\') directory.pop_back();
    return directory + "\\" + name;
}

// 1 ... 6 for "T1" ... "T6", 0 for other codes; likewise for "V1" ... with
// `last` the highest digit.
int Numbered(const std::string& code, char letter, char last)
{
    if (code.size() != 2 || code[0] != letter || code[1] < '1' || code[1] > last) return 0;
    return code[1] - '0';
}

const std::string& VarString(const InstallState& state, int n)
{
    switch (n) {
    case 1: return state.varString1;
    case 2: return state.varString2;
    case 3: return state.varString3;
    default: return state.varString4;
    }
}

std::string ProgramText(const std::string& code)
{
    if (code == "NP") return "notepad.exe ";
    if (code == "WR") return "write.exe ";
    if (code == "WH") return "winhelp.exe ";
    return {};
}

// The directory a directory macro stands for, with its sub-directory.
std::string DirectoryText(const InstallState& state, const std::string& code, const std::string& sub)
{
    if (int n = Numbered(code, 'T', '6')) return state.TargetDir(n) + "\\" + sub;
    if (int n = Numbered(code, 'V', '4')) return VarString(state, n) + "\\" + sub;
    if (code == "WN") return WindowsDirectory() + "\\" + sub;
    if (code == "WS") return SystemDirectory() + "\\" + sub;
    if (code == kNoCode) return sub;
    return {};
}

std::string ArgumentText(const InstallState& state, const std::string& text)
{
    if (text == "NP" || text == "WR" || text == "WH") return ProgramText(text);
    if (text == kNoCode) return {};
    if (text == "T1") return state.targetDir1;
    if (text == "T2") return state.targetDir2;
    if (text == "WN") return WindowsDirectory();
    if (text == "WS") return SystemDirectory();
    if (int n = Numbered(text, 'V', '4')) return VarString(state, n);
    if (text == "V5") return state.groupName;
    return text;
}

// One program-item record, its component number and title already checked.
void AddItemOfRecord(MainWindow& main, ProgmanClient& progman, int number, const std::string& title,
                     std::string rest)
{
    {
        // An item of that name left from an earlier install goes first.
        fw::WaitCursor wait;
        progman.DeleteItem(title);
    }
    // A missing end mark ends the record as "E" does.
    if (rest == "E" || rest.empty()) return;
    std::string command;
    // No item without its program: the message has been shown.
    if (!ExpandItemCommand(main, rest, command)) return;
    std::string iconFile;
    int iconIndex = 0;
    if (rest != "E" && !rest.empty()) {
        ExpandItemCommand(main, rest, iconFile);
        size_t comma = rest.find(',');
        if (rest != "E" && comma != std::string::npos && comma >= 1) iconIndex = RecordNumber(rest.substr(0, comma));
    }
    if (iconFile.empty()) iconIndex = 0;
    fw::WaitCursor wait;
    progman.AddItem(number, command, title, iconFile, (unsigned)iconIndex);
}

// Takes the field before the next comma off `rest`. A record without the
// comma gives 11110, an empty field 11111; both end the record.
bool TakeRecordField(MainWindow& main, std::string& rest, std::string& field)
{
    size_t comma = rest.find(',');
    if (comma == std::string::npos) {
        main.ShowMessageArg(IDS_INVALID_RECORD, rest);
        return false;
    }
    if (comma == 0) {
        main.ShowMessageId(IDS_EMPTY_FILE_NAME);
        return false;
    }
    field = rest.substr(0, comma);
    rest.erase(0, comma + 1);
    return true;
}

// Reads the component number and title of a program-item record and adds
// its item when the component is selected.
void ProgramItemRecord(MainWindow& main, ProgmanClient& progman, std::string rest)
{
    std::string numberText, title;
    if (!TakeRecordField(main, rest, numberText)) return;
    int number = RecordNumber(numberText);
    if (!TakeRecordField(main, rest, title)) return;
    if (!IsRecognisedComponent(ComponentConsumer::ProgramItems, number) || !main.componentSelected.IsSelected(number))
        return;
    AddItemOfRecord(main, progman, number, title, rest);
}

}  // namespace

int RecordNumber(const std::string& text)
{
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = (value * 10 + (uint32_t)(c - '0')) & 0xFFFFu;
    }
    return (int16_t)(uint16_t)value;
}

int ExpandItemCommand(MainWindow& main, std::string& rest, std::string& out)
{
    const std::string record = rest;
    out.clear();
    std::string program = TakeField(rest, kProgramChars);
    std::string directory = TakeField(rest, kDirectoryChars);
    std::string file = TakeField(rest, kFileChars);

    std::string programCode = program.size() >= 3 ? program.substr(program.size() - 3, 2) : std::string();
    std::string directoryCode = directory.size() >= 3 ? directory.substr(1, 2) : std::string();
    std::string sub = directory.size() > 4 ? directory.substr(4) : std::string();

    if (file.empty()) {
        main.ShowMessageId(IDS_EMPTY_FILE_NAME);
        return 0;
    }
    std::string path = file;
    if (path[0] == '\\') path = main.defaultDrive + path;
    std::string d = DirectoryText(main, directoryCode, sub);
    if (!d.empty()) path = JoinPath(d, path);
    if ((path.size() < 2 || path[1] != ':') && directoryCode != kNoCode) path = JoinPath(main.targetDir1, path);
    path = ProgramText(programCode) + path;
    if (path.size() > kItemCommandLimit) {
        main.ShowMessageArg(IDS_INVALID_RECORD, record);
        return 0;
    }
    out = path;
    return 1;
}

int ExpandArguments(MainWindow& main, std::string& rest, std::string& out)
{
    std::string added;
    while (!rest.empty()) {
        if (SpanOf(rest, kArgumentChars) == 1 && rest[0] == 'E') break;
        std::string field = TakeField(rest, kArgumentChars);
        if (field.size() >= 2) added += ArgumentText(main, field.substr(1, field.size() - 2));
    }
    if (out.size() + added.size() > kItemCommandLimit) return 0;
    out += added;
    return 1;
}

std::vector<std::string> LoadRecords(unsigned firstId)
{
    std::vector<std::string> records;
    std::string text;
    for (unsigned id = firstId; id < firstId + 1000 && fw::LoadResString(id, text); ++id) records.push_back(text);
    return records;
}

void CreateProgramItems(MainWindow& main)
{
    CreateProgramItems(main, LoadRecords(IDS_ITEM_RECORD_FIRST));
}

void CreateProgramItems(MainWindow& main, const std::vector<std::string>& records)
{
    std::string group = main.groupName.empty() ? fw::LoadResString(IDS_DEFAULT_GROUP) : main.groupName;
    ProgmanClient progman(main.installLogPath);
    if (progman.CreateGroup(0, group)) {
        progman.ShowGroup(group, 1);
        for (const std::string& record : records) ProgramItemRecord(main, progman, record);
    }
    progman.ExitProgman(1);
}
