#include "app/ProgramItems.h"

#include <windows.h>

#include <cstdint>

#include "app/progman/ProgmanClient.h"
#include "fsutil/FsUtil.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"
#include "script/ScriptPath.h"
#include "state/InstallState.h"

namespace {

// The characters each field of an item record may hold; a field ends at the
// first other character, which is taken as its separator.
const char kProgramChars[] = "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
const char kDirectoryChars[] = "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ \\:";
const char kFileChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.\\:$#";
const char kArgumentChars[] = "*/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ ";

const char kNoCode[] = "  ";

// 1 ... 6 for "T1" ... "T6", 0 for other codes; likewise for "V1" ... with
// `last` the highest digit.
int Numbered(const std::string& code, char letter, char last)
{
    if (code.size() != 2 || code[0] != letter || code[1] < '1' || code[1] > last) return 0;
    return code[1] - '0';
}

std::string ProgramText(const std::string& code)
{
    if (code == "NP") return "notepad.exe ";
    if (code == "WR") return "write.exe ";
    if (code == "WH") return "winhelp.exe ";
    return {};
}

// The directory a directory macro stands for, with its sub-directory: the
// script's macros T1 ... T6, V1 ... V4, WN and WS.
std::string DirectoryText(const InstallState& state, const std::string& code, const std::string& sub)
{
    if (Numbered(code, 'T', '6') || Numbered(code, 'V', '4') || code == "WN" || code == "WS")
        return MacroValue(code, state.sourceDir, DirectoryValuesOf(state)) + "\\" + sub;
    if (code == kNoCode) return sub;
    return {};
}

// What an argument macro stands for: a program, the script's macros T1,
// T2, WN, WS and V1 ... V5 (V5 the group name), nothing, or else the text
// itself.
std::string ArgumentText(const InstallState& state, const std::string& text)
{
    if (text == "NP" || text == "WR" || text == "WH") return ProgramText(text);
    if (text == kNoCode) return {};
    if (Numbered(text, 'T', '2') || Numbered(text, 'V', '5') || text == "WN" || text == "WS")
        return MacroValue(text, state.sourceDir, DirectoryValuesOf(state));
    return text;
}

// One program-item record, its component number and title already checked.
void AddItemOfRecord(InstallState& state, HWND owner, ProgmanClient& progman, int number,
                     const std::string& title, std::string rest)
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
    if (!ExpandItemCommand(state, rest, command, owner)) return;
    std::string iconFile;
    int iconIndex = 0;
    if (rest != "E" && !rest.empty()) {
        ExpandItemCommand(state, rest, iconFile, owner);
        size_t comma = rest.find(',');
        if (rest != "E" && comma != std::string::npos && comma >= 1) iconIndex = RecordNumber(rest.substr(0, comma));
    }
    if (iconFile.empty()) iconIndex = 0;
    fw::WaitCursor wait;
    progman.AddItem(number, command, title, iconFile, (unsigned)iconIndex);
}

// Takes the field before the next comma off `rest`. A record without the
// comma gives 11110, an empty field 11111; both end the record.
bool TakeRecordField(HWND owner, std::string& rest, std::string& field)
{
    size_t comma = rest.find(',');
    if (comma == std::string::npos) {
        fw::ShowMessageArg(owner, IDS_INVALID_RECORD, rest, fw::kWarning);
        return false;
    }
    if (comma == 0) {
        fw::ShowMessageId(owner, IDS_EMPTY_FILE_NAME, fw::kWarning);
        return false;
    }
    field = rest.substr(0, comma);
    rest.erase(0, comma + 1);
    return true;
}

// Reads the component number and title of a program-item record and adds
// its item when the component is selected.
void ProgramItemRecord(InstallState& state, HWND owner, ProgmanClient& progman, std::string rest)
{
    std::string numberText, title;
    if (!TakeRecordField(owner, rest, numberText)) return;
    int number = RecordNumber(numberText);
    if (!TakeRecordField(owner, rest, title)) return;
    if (!IsRecognisedComponent(ComponentConsumer::ProgramItems, number) || !state.componentSelected.IsSelected(number))
        return;
    AddItemOfRecord(state, owner, progman, number, title, rest);
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

int ExpandItemCommand(InstallState& state, std::string& rest, std::string& out, HWND owner)
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
        fw::ShowMessageId(owner, IDS_EMPTY_FILE_NAME, fw::kWarning);
        return 0;
    }
    std::string path = file;
    if (path[0] == '\\') path = state.defaultDrive + path;
    std::string d = DirectoryText(state, directoryCode, sub);
    if (!d.empty()) path = JoinPath(d, path);
    if ((path.size() < 2 || path[1] != ':') && directoryCode != kNoCode) path = JoinPath(state.targetDir1, path);
    path = ProgramText(programCode) + path;
    if (path.size() > kItemCommandLimit) {
        fw::ShowMessageArg(owner, IDS_INVALID_RECORD, record, fw::kWarning);
        return 0;
    }
    out = path;
    return 1;
}

int ExpandArguments(InstallState& state, std::string& rest, std::string& out)
{
    std::string added;
    while (!rest.empty()) {
        if (SpanOf(rest, kArgumentChars) == 1 && rest[0] == 'E') break;
        std::string field = TakeField(rest, kArgumentChars);
        if (field.size() >= 2) added += ArgumentText(state, field.substr(1, field.size() - 2));
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

void CreateProgramItems(InstallState& state, HWND owner)
{
    CreateProgramItems(state, LoadRecords(IDS_ITEM_RECORD_FIRST), owner);
}

void CreateProgramItems(InstallState& state, const std::vector<std::string>& records, HWND owner)
{
    std::string group = state.groupName.empty() ? fw::LoadResString(IDS_DEFAULT_GROUP) : state.groupName;
    ProgmanClient progman(state.installLogPath);
    if (progman.CreateGroup(0, group)) {
        progman.ShowGroup(group, 1);
        for (const std::string& record : records) ProgramItemRecord(state, owner, progman, record);
    }
    progman.ExitProgman(1);
}
