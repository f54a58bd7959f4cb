// What the installer does after a completed install: the program group and
// its items, the product's records, the follow-up programs of the selected
// components, and at last the product's setup tool or the completion page.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class MainWindow;

// The whole post-install step; 0.
int PostInstall(MainWindow& main);

// How one follow-up record went.
enum class FollowUpResult {
    Ran,          // started and waited for
    NotSelected,  // its component is not installed (or never runs programs)
    Invalid,      // a comma is missing or the command does not fit; reported
    NotStarted,   // the program could not be started
};

// Runs one follow-up-program record ("component,title,program,directory,
// file,arguments...,E") when its component is selected, and waits for it.
FollowUpResult RunFollowUpRecord(MainWindow& main, const std::string& record);
// Runs the records in order (by default 11681 ...); a program that cannot
// be started ends the list. The number of programs that ran.
int RunFollowUpPrograms(MainWindow& main);
int RunFollowUpPrograms(MainWindow& main, const std::vector<std::string>& records);

// Waits until `process` has ended, dispatching this thread's messages in
// the meantime so that the backdrop and the installer stay responsive. The
// wait sleeps until the process ends or a message arrives. A quit message
// seen on the way is posted again once the process has ended.
void WaitForProcess(HANDLE process);

// Starts `commandLine` shown normally, without waiting; false when it could
// not be started. With `program` given, that file is started and the
// command line is only handed to it.
bool StartProgram(const std::string& commandLine, const std::string& program = "");

// Makes the drive named by the first letter of `path` the current drive; a
// failure changes nothing.
void MakeDriveCurrent(const std::string& path);

// The product's setup tool, RHSETUP.EXE in `directory`: whether it is
// there, and its start with `arguments` (" /I", " /I /X") without waiting.
bool SetupToolExists(const std::string& directory);
bool StartSetupTool(const std::string& directory, const std::string& arguments);
