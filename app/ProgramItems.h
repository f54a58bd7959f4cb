// Program-item records (11601 ...) and follow-up-program records (11681 ...):
// one string each, "component,title,program,directory,file,...,E", whose
// macros stand for the directories of this installation. This file expands
// them and makes the product's Program Manager group from them.
#pragma once
#include <string>
#include <vector>

#include <windows.h>

struct InstallState;

// The longest command line or path an item record expands to (a MAX_PATH
// buffer without its terminating zero). A record that would pass it is
// refused whole: a command cut short would name another program or file.
constexpr size_t kItemCommandLimit = 259;

// Consumes the program, directory and file fields at the front of `rest`
// and sets `out` to the command line or path they stand for. 1 on success;
// 0 with `out` empty when the file field is empty ("Empty String instead of
// file name") or the result would pass kItemCommandLimit ("Invalid resource
// string"); both show their message.
// Messages are owned by `owner`.
int ExpandItemCommand(InstallState& state, std::string& rest, std::string& out, HWND owner = nullptr);

// Consumes the argument macros ("*...*") of `rest` up to the end mark "E",
// which stays in `rest`, and appends what they stand for to `out`. 0 and
// `out` unchanged when the arguments would take `out` past
// kItemCommandLimit; else 1.
int ExpandArguments(InstallState& state, std::string& rest, std::string& out);

// The records of consecutive string IDs from `firstId` up to the first
// missing one.
std::vector<std::string> LoadRecords(unsigned firstId);

// Creates the program group (groupName, or "Corvane Velomire") and the
// items of the selected components through Program Manager, from the
// records 11601 ... or from `records`. Program Manager is asked to save and
// exit at the end in every case.
void CreateProgramItems(InstallState& state, HWND owner = nullptr);
void CreateProgramItems(InstallState& state, const std::vector<std::string>& records, HWND owner = nullptr);

// The component number of a record: its leading decimal digits as a 16-bit
// integer (0 when there are none).
int RecordNumber(const std::string& text);
