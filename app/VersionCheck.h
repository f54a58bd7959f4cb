// The check for a memory manager that is already in the product directory:
// when the version it carries is the same as or newer than the one being
// installed, the user decides whether to install the memory manager anyway.
#pragma once
#include <windows.h>

#include <string>

struct InstallState;

// The version text the memory-manager file carries after "386 V", read from
// `text` up to its first zero byte; empty when there is no marker or fewer
// than three characters follow it.
std::string FindVersionText(const char* text);

// -1, 0 or 1 as `found` is older than, the same as or newer than
// `installing`. Both are compared as numbers part by part ("10.0" is newer
// than "9.0"); a text that does not start with a digit counts as no version
// and gives -1.
int CompareVersions(const std::string& found, const std::string& installing);

// Looks at targetDir1\fileName. 1 when no same-or-newer version is there
// (or the file is absent); 0 when one is (the question was asked), and 0
// without a question when the file cannot be opened or read. Cancel in the
// question clears components 11 and 21.
int CheckExistingVersion(InstallState& state, HWND owner, const std::string& fileName);

// String `messageId` with "%1" replaced by `argument`, OK and Cancel, the
// question icon and the product caption. 0 for Cancel, 1 otherwise.
int AskOkCancel(HWND owner, UINT messageId, const std::string& argument);
