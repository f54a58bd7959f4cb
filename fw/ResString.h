// String resources of the running program, and "%1" formatting.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

// The module whose resources the program reads (the executable).
HINSTANCE ResourceInstance();

// Loads string `id`; false (and an empty text) when there is no such string.
bool LoadResString(UINT id, std::string& text);
// Loads string `id`; an empty text when there is none.
std::string LoadResString(UINT id);

// Replaces every "%1" in `pattern` with `arg`.
std::string FormatArg(const std::string& pattern, const std::string& arg);
// Loads string `id` and replaces "%1" with `arg`.
std::string FormatResString(UINT id, const std::string& arg);

// Upper-cases ANSI text in place with the system's rules, as path
// comparisons on this platform do.
void ToUpper(std::string& text);

}  // namespace fw
