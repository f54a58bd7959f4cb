#include "app/progman/ProgmanClient.h"

#include <windows.h>
#include <ddeml.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "records/UninstallRecords.h"

namespace {

constexpr DWORD kTimeoutMs = 1000;
const char kProgman[] = "PROGMAN";

// Formats into the 256-character command buffer; false when the text would
// not fit (nothing is kept then).
bool Format(std::string& out, const char* format, ...)
{
    char buffer[ProgmanClient::kCommandBuffer];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    out.clear();
    if (n < 0 || (size_t)n >= sizeof buffer) return false;
    out.assign(buffer, (size_t)n);
    return true;
}

HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// One client instance and one conversation with Program Manager, released
// when the object goes.
constexpr int kServerWaitSteps = 20;
constexpr DWORD kServerWaitStepMs = 250;

class Conversation {
public:
    Conversation()
    {
        if (DdeInitializeA(&instance_, &IgnoreEverything, APPCMD_CLIENTONLY | CBF_FAIL_ALLSVRXACTIONS, 0) !=
            DMLERR_NO_ERROR) {
            instance_ = 0;
            return;
        }
        service_ = DdeCreateStringHandleA(instance_, kProgman, CP_WINANSI);
        if (!service_) return;
        conversation_ = DdeConnect(instance_, service_, service_, nullptr);
        // The shell that serves Program Manager's conversation may still be
        // coming up, above all for a run without windows of its own, which
        // starts nothing that would wait for it: the first conversation of
        // the run waits for it a while, the later ones never.
        static bool waited = false;
        for (int i = 0; !conversation_ && !waited && i < kServerWaitSteps; ++i) {
            Sleep(kServerWaitStepMs);
            conversation_ = DdeConnect(instance_, service_, service_, nullptr);
        }
        waited = true;
    }
    ~Conversation()
    {
        if (conversation_) DdeDisconnect(conversation_);
        if (service_) DdeFreeStringHandle(instance_, service_);
        if (instance_) DdeUninitialize(instance_);
    }
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    bool IsOpen() const { return conversation_ != nullptr; }

    void Execute(const std::string& command)
    {
        HDDEDATA data = DdeCreateDataHandle(instance_, (LPBYTE)command.c_str(), (DWORD)command.size() + 1, 0,
                                            nullptr, 0, 0);
        if (!data) return;
        DWORD result = 0;
        // A command that Program Manager rejects, or that times out,
        // counts as sent.
        DdeClientTransaction((LPBYTE)data, (DWORD)-1, conversation_, nullptr, 0, XTYP_EXECUTE, kTimeoutMs,
                             &result);
    }

    // The text Program Manager answers for `item`; empty when none came.
    std::string Request(const char* item)
    {
        std::string text;
        HSZ itemName = DdeCreateStringHandleA(instance_, item, CP_WINANSI);
        if (!itemName) return text;
        DWORD result = 0;
        HDDEDATA data =
            DdeClientTransaction(nullptr, 0, conversation_, itemName, CF_TEXT, XTYP_REQUEST, kTimeoutMs, &result);
        DdeFreeStringHandle(instance_, itemName);
        if (!data) return text;
        DWORD size = 0;
        if (const BYTE* bytes = DdeAccessData(data, &size)) {
            // The text ends at its first zero, or at the end of the data.
            const char* chars = reinterpret_cast<const char*>(bytes);
            text.assign(chars, strnlen(chars, size));
            DdeUnaccessData(data);
        }
        DdeFreeDataHandle(data);
        return text;
    }

private:
    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HCONV conversation_ = nullptr;
};

// True when the list holds at least one name (a line with more than
// blanks).
bool HoldsGroupName(const std::string& list)
{
    return list.find_first_not_of(" \t\r\n") != std::string::npos;
}

int Send(bool built, const std::string& command)
{
    return built ? ProgmanClient::ExecuteProgmanCommand(command) : 0;
}

}  // namespace

bool ProgmanClient::CreateGroupCommand(const std::string& groupName, const std::string& groupFile, std::string& out)
{
    if (!groupFile.empty()) return Format(out, "[CreateGroup(%s,%s)]", groupName.c_str(), groupFile.c_str());
    return Format(out, "[CreateGroup(%s)]", groupName.c_str());
}

bool ProgmanClient::ShowGroupCommand(const std::string& groupName, unsigned showCommand, std::string& out)
{
    // An empty name makes an empty command, which is sent as it is.
    if (groupName.empty()) return Format(out, "");
    return Format(out, "[ShowGroup(%s,%u)]", groupName.c_str(), (unsigned)(uint16_t)showCommand);
}

bool ProgmanClient::AddItemCommand(const std::string& commandLine, const std::string& title,
                                   const std::string& iconFile, unsigned iconIndex, std::string& out)
{
    if (!iconFile.empty())
        return Format(out, "[AddItem(%s,%s,%s,%u)]", commandLine.c_str(), title.c_str(), iconFile.c_str(),
                      (unsigned)(uint16_t)iconIndex);
    return Format(out, "[AddItem(%s,%s)]", commandLine.c_str(), title.c_str());
}

bool ProgmanClient::DeleteItemCommand(const std::string& title, std::string& out)
{
    if (title.empty()) return Format(out, "");
    return Format(out, "[DeleteItem(%s)]", title.c_str());
}

bool ProgmanClient::DeleteGroupCommand(const std::string& groupName, std::string& out)
{
    if (groupName.empty()) return Format(out, "");
    return Format(out, "[DeleteGroup(%s)]", groupName.c_str());
}

bool ProgmanClient::ExitProgmanCommand(int saveFlag, std::string& out)
{
    return Format(out, "[ExitProgman(%u)]", saveFlag ? 1u : 0u);
}

int ProgmanClient::CreateGroup(int number, const std::string& groupName, const std::string& groupFile)
{
    std::string command;
    bool built = CreateGroupCommand(groupName, groupFile, command);
    AddGroupRecord(number, groupName, logPath_);
    return Send(built, command);
}

int ProgmanClient::ShowGroup(const std::string& groupName, unsigned showCommand)
{
    std::string command;
    bool built = ShowGroupCommand(groupName, showCommand, command);
    return Send(built, command);
}

int ProgmanClient::AddItem(int number, const std::string& commandLine, const std::string& title,
                           const std::string& iconFile, unsigned iconIndex)
{
    std::string command;
    bool built = AddItemCommand(commandLine, title, iconFile, iconIndex, command);
    AddItemRecord(number, title, logPath_);
    return Send(built, command);
}

int ProgmanClient::DeleteItem(const std::string& title)
{
    std::string command;
    bool built = DeleteItemCommand(title, command);
    return Send(built, command);
}

int ProgmanClient::DeleteGroup(const std::string& groupName)
{
    std::string command;
    bool built = DeleteGroupCommand(groupName, command);
    return Send(built, command);
}

int ProgmanClient::ExitProgman(int saveFlag)
{
    std::string command;
    bool built = ExitProgmanCommand(saveFlag, command);
    return Send(built, command);
}

int ProgmanClient::ExecuteProgmanCommand(const std::string& command)
{
    Conversation conversation;
    if (!conversation.IsOpen()) return 0;
    conversation.Execute(command);
    return 1;
}

int ProgmanClient::RequestGroupList(char* buffer, size_t capacity)
{
    if (buffer && capacity > 0) buffer[0] = '\0';
    std::string list;
    {
        Conversation conversation;
        if (!conversation.IsOpen()) return 0;
        list = conversation.Request(kProgman);
    }
    // Program Manager answers the item "PROGMAN" with its groups; the
    // shell's DDE server that stands in for it on newer systems (and under
    // Wine) answers that with an empty line and gives the list for the
    // item "Groups". Asked in a conversation of its own: Wine's server
    // answers only the first request of a conversation.
    if (!HoldsGroupName(list)) {
        Conversation conversation;
        if (conversation.IsOpen()) list = conversation.Request("Groups");
    }
    if (buffer && capacity > 0) {
        size_t n = std::min(list.size(), capacity - 1);
        std::memcpy(buffer, list.data(), n);
        buffer[n] = '\0';
    }
    return 1;
}

int ProgmanItemRemover::GroupItemCount(const std::string& groupName)
{
    // The shell keeps each group as a folder of the programs menu, the
    // user's or the one all users share.
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        char programs[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathA(nullptr, programs, csidl, FALSE)) continue;
        std::string folder = std::string(programs) + "\\" + groupName;
        DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        int count = 0;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return -1;
        do {
            std::string name = data.cFileName;
            if (name != "." && name != "..") ++count;
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return count;
    }
    return -1;
}
