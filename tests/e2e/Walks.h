// Walks that other walk files continue.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Driver.h"

namespace e2e {

// Removes what an earlier install left: the product directory `target`,
// the product INI, its registry keys, the program group.
void ForgetEarlierInstall(const std::string& target);

// The names in `folder` that match `pattern`, sorted.
std::vector<std::string> FileNames(const std::string& folder, const char* pattern);

// From the installation type page: Express, with a screenshot of the
// progress window, the diskette prompt (answered with the next diskette of
// the media beside the source), the completion page and the program
// group's folder, then Finish.
void DemoInstall(const Args& args, Installer& installer);

// The registered uninstaller, worked by hand, with a screenshot of its
// question, its progress and its final message.
void DemoRemoval(const Args& args);

}  // namespace e2e
