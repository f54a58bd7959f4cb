// What the installer does after a completed install: the program group and
// its items, the product's records, the follow-up programs of the selected
// components, and at last the product's setup tool or the completion page.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct InstallState;

// The whole post-install step in front of `backdrop` (null: an install
// without windows, which shows no wait dialog); `finish` is its last stage,
// run in the product directory: the wizard's starts the product's setup
// tool or shows the completion page. 0.
int PostInstall(InstallState& state, HWND backdrop, const std::function<void()>& finish);
// The wizard's last stage: the setup tool when the product directory has
// it, else `showCompletion`.
void StartSetupToolOr(const InstallState& state, const std::function<void()>& showCompletion);

// How one follow-up record went.
enum class FollowUpResult {
    Ran,          // started and waited for
    NotSelected,  // its component is not installed (or never runs programs)
    Invalid,      // a comma is missing or the command does not fit; reported
    NotStarted,   // the program could not be started
};

// Runs one follow-up-program record ("component,title,program,directory,
// file,arguments...,E") when its component is selected, and waits for it.
// Messages are owned by `owner`.
FollowUpResult RunFollowUpRecord(InstallState& state, const std::string& record, HWND owner = nullptr);
// Runs the records in order (by default 11681 ...); a program that cannot
// be started ends the list. The number of programs that ran.
int RunFollowUpPrograms(InstallState& state, HWND owner = nullptr);
int RunFollowUpPrograms(InstallState& state, const std::vector<std::string>& records, HWND owner = nullptr);
