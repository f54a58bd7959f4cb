#include "script/ScriptPath.h"

#include <windows.h>

#include <cstring>

#include "fsutil/FsUtil.h"
#include "fw/Message.h"
#include "resources/resource.h"
#include "state/InstallState.h"

DirectoryValues DirectoryValuesOf(const InstallState& state)
{
    DirectoryValues values;
    for (int i = 0; i < 6; ++i) values.targetDirs[i] = state.TargetDir(i + 1);
    values.varStrings = {state.varString1, state.varString2, state.varString3, state.varString4,
                         state.groupName};
    values.defaultDrive = state.defaultDrive;
    return values;
}

const char kDirectoryFieldChars[] =
    "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\\:_";
const char kFileFieldChars[] =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.\\:$#_";

size_t SpanOf(const std::string& text, const char* set, size_t start)
{
    size_t i = start;
    // strchr would also find the terminating zero, so test it apart.
    while (i < text.size() && text[i] != '\0' && std::strchr(set, text[i]) != nullptr) ++i;
    return i - start;
}

std::string TakeField(std::string& line, const char* set)
{
    size_t n = SpanOf(line, set);
    std::string field = line.substr(0, n);
    // The field and the one character after it (normally a comma).
    line.erase(0, n < line.size() ? n + 1 : n);
    return field;
}

bool IsMacroCode(const std::string& code)
{
    if (code.size() != 2) return false;
    return (code[0] == 'T' && code[1] >= '1' && code[1] <= '6') ||
           (code[0] == 'V' && code[1] >= '1' && code[1] <= '5') || code == "SR" || code == "WN" ||
           code == "WS" || code == "WT";
}

std::string MacroValue(const std::string& code, const std::string& sourceDir,
                       const DirectoryValues& values)
{
    if (code.size() != 2) return {};
    char kind = code[0];
    char digit = code[1];
    if (kind == 'T' && digit >= '1' && digit <= '6') return values.targetDirs[digit - '1'];
    if (kind == 'V' && digit >= '1' && digit <= '5') return values.varStrings[digit - '1'];
    if (code == "SR") return sourceDir;
    if (code == "WN") return WindowsDirectory();
    if (code == "WS") return SystemDirectory();
    if (code == "WT") {
        bool nt = MakeOsVersionText().find("WinNT") != std::string::npos;
        return WindowsDirectory() + "\\" + (nt ? "SYSTEM32" : "SYSTEM");
    }
    return {};
}

bool ResolveScriptPath(std::string& line, const std::string& sourceDir,
                       const DirectoryValues& values, std::string& path)
{
    const std::string field = TakeField(line, kDirectoryFieldChars);

    // The directory is built from the field's pieces: macros between stars
    // ("*T1*") and literal names between them, each followed by "\". A
    // field of three characters or less is taken literally as a whole.
    std::string directory;
    std::string rest = field;
    bool pureMacro = false;
    if (field.size() > 3) {
        for (;;) {
            size_t star = rest.find('*');
            if (star == std::string::npos) break;
            if (star != 0) {
                // Literal text in front of a macro.
                directory += rest.substr(0, star);
                directory += '\\';
                rest.erase(0, star);
                continue;
            }
            // rest starts with "*": the two characters after it are the
            // macro code. Every pass makes rest shorter, so this ends.
            std::string code = rest.substr(1, 2);
            if (rest.size() <= 4) {
                rest = code;
                pureMacro = true;
            } else {
                rest.erase(0, 4);
            }
            if (IsMacroCode(code)) {
                directory += MacroValue(code, sourceDir, values);
                directory += '\\';
            }
        }
    }
    if (!pureMacro) directory += rest;

    path = TakeField(line, kFileFieldChars);
    if (path.empty()) {
        fw::ShowMessageId(GetActiveWindow(), IDS_EMPTY_FILE_NAME, fw::kWarning);
        return false;
    }
    if (path[0] == '\\') path = values.defaultDrive + path;
    // A file field with a drive of its own names the whole path: the
    // directory field is not put in front of it.
    const bool fileHasDrive = path.size() >= 2 && path[1] == ':';
    if (!directory.empty() && !fileHasDrive) {
        StripTrailingBackslash(directory);
        path = directory + "\\" + path;
    }
    // Names without a drive land in the main product directory.
    if (path.size() < 2 || path[1] != ':') path = values.targetDirs[0] + "\\" + path;
    return true;
}

