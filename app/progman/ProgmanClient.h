// The Program Manager client: creates, shows and deletes program groups and
// items, asks Program Manager to exit, and reads the list of its groups,
// through DDE (service and topic "PROGMAN"). Every operation is one
// self-contained exchange: a new client instance and conversation, one
// transaction (synchronous, 1000 ms at most), then both are released.
#pragma once
#include <cstddef>
#include <string>

#include "records/Undo.h"

class ProgmanClient {
public:
    // Groups and items that are created are recorded in the install log at
    // `installLogPath` before their command is sent.
    explicit ProgmanClient(std::string installLogPath) : logPath_(std::move(installLogPath)) {}

    // Each gives 1 when the command was handed to Program Manager and 0 when
    // no conversation could be opened or the command was refused because it
    // does not fit its 256-character buffer.
    int CreateGroup(int number, const std::string& groupName, const std::string& groupFile = "");
    int ShowGroup(const std::string& groupName, unsigned showCommand);
    int AddItem(int number, const std::string& commandLine, const std::string& title,
                const std::string& iconFile, unsigned iconIndex);
    int DeleteItem(const std::string& title);
    int DeleteGroup(const std::string& groupName);
    int ExitProgman(int saveFlag);

    // Sends one command text in an execute transaction.
    static int ExecuteProgmanCommand(const std::string& command);

    // Copies Program Manager's list of group names (one name a line, each
    // ended by CR LF) into `buffer`: at most capacity - 1 bytes, always
    // terminated (empty when nothing came back). 1 when a conversation was
    // opened, else 0.
    static int RequestGroupList(char* buffer, size_t capacity);

    // The command texts. False when the text would pass its 255 characters:
    // a cut command would name another group, item or path, so it is
    // refused and nothing is sent.
    static bool CreateGroupCommand(const std::string& groupName, const std::string& groupFile, std::string& out);
    static bool ShowGroupCommand(const std::string& groupName, unsigned showCommand, std::string& out);
    static bool AddItemCommand(const std::string& commandLine, const std::string& title,
                               const std::string& iconFile, unsigned iconIndex, std::string& out);
    static bool DeleteItemCommand(const std::string& title, std::string& out);
    static bool DeleteGroupCommand(const std::string& groupName, std::string& out);
    static bool ExitProgmanCommand(int saveFlag, std::string& out);

    // Room for a command text, its terminating zero included.
    static constexpr size_t kCommandBuffer = 256;

private:
    std::string logPath_;
};

// The undo's way to Program Manager: the client's delete operations.
class ProgmanItemRemover : public ProgramItemRemover {
public:
    void ShowGroup(const std::string& groupName) override { client_.ShowGroup(groupName, 1); }
    void DeleteItem(const std::string& title) override { client_.DeleteItem(title); }
    void DeleteGroup(const std::string& groupName) override { client_.DeleteGroup(groupName); }
    // The entries of the group's folder in the user's or the common
    // programs menu; -1 when neither has it.
    int GroupItemCount(const std::string& groupName) override;

private:
    ProgmanClient client_{""};
};
