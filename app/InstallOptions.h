// The installer's command line: the options of an unattended or logged
// run, read from the start of the line up to the first word "/P"; the text
// from that "/P" on names the source directory by the start-up's rule. A
// line without any of the options keeps that rule for the whole line.
#pragma once
#include <string>
#include <vector>

// The process's exit code of a run.
namespace install_exit {
constexpr int kInstalled = 0;
constexpr int kBadCommandLine = 1;  // nothing changed
constexpr int kStopped = 2;         // an error of the install step; undone
constexpr int kRefused = 3;         // the location or space checks; nothing changed
constexpr int kMediaMissing = 4;    // a diskette or archive was not found; undone
}  // namespace install_exit

struct InstallOptions {
    // Any option was given: the source directory comes from `sourceText`.
    bool any = false;
    bool silent = false;  // /S
    bool usage = false;   // /?
    bool directoryGiven = false;
    std::string directory;  // /D=
    enum class Type { Unset, Express, Custom } type = Type::Unset;
    std::vector<int> components;  // /COMPONENTS=, in the order given
    bool groupGiven = false;
    std::string group;  // /GROUP=
    bool noGroup = false;
    std::string logPath;  // /LOG=
    // The text from the first word "/P" on (empty: none).
    std::string sourceText;
    // Words that are no option, and options whose value is refused, each
    // with what is wrong with it.
    std::vector<std::string> problems;
};

InstallOptions ParseInstallOptions(const std::string& commandLine);

// The source directory of a run with `commandLine`: the start-up's rule on
// the whole line when it holds no option, else on the text from "/P" on.
std::string SourceDirOf(const InstallOptions& options, const std::string& commandLine,
                        const std::string& installerDir);

// The components a Custom install may name on the command line, as the
// components page knows them.
bool IsChoosableComponent(int number);
