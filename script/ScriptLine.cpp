#include "script/ScriptLine.h"

#include <windows.h>

#include "fw/ResString.h"
#include "resources/resource.h"

const char kNumberChars[] = "0123456789";
const char kCommandChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ_";
const char kCopySourceChars[] =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.\\:$_";

std::string LoadLine(int k)
{
    // The platform's own limit: 254 characters and the terminating zero.
    char buffer[kMaxLineLength + 1] = {};
    int n = LoadStringA(fw::ResourceInstance(), IDS_SCRIPT_FIRST + k, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, n) : std::string();
}

uint16_t ToNumber16(const std::string& digits)
{
    uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') break;
        value = (value * 10 + (uint32_t)(c - '0')) & 0xFFFFu;
    }
    return (uint16_t)value;
}

bool SplitNumber(const std::string& line, uint16_t& number, std::string& rest)
{
    rest = line;
    number = 0;
    if (SpanOf(line, kNumberChars) == 0) return false;
    number = ToNumber16(TakeField(rest, kNumberChars));
    return true;
}

std::string SplitCommand(std::string& rest)
{
    return TakeField(rest, kCommandChars);
}

uint16_t TakeNumber(std::string& rest)
{
    return ToNumber16(TakeField(rest, kNumberChars));
}

bool ReadUnpackArgs(std::string& rest, const std::string& sourceDir,
                    const DirectoryValues& values, UnpackArgs& args)
{
    args.weight = TakeNumber(rest);
    bool resolved = ResolveScriptPath(rest, sourceDir, values, args.path);
    args.diskette = TakeNumber(rest);
    args.unused = TakeNumber(rest);
    return resolved;
}

CopyArgsResult ReadCopyArgs(std::string& rest, const std::string& sourceDir,
                            const DirectoryValues& values, CopyArgs& args)
{
    args.weight = TakeNumber(rest);
    args.source = TakeField(rest, kCopySourceChars);
    if (args.source.empty()) return CopyArgsResult::EmptySource;
    if (args.source[0] == '\\') args.source = values.defaultDrive + args.source;
    if (args.source.size() < 2 || args.source[1] != ':') args.source = sourceDir + "\\" + args.source;
    if (!ResolveScriptPath(rest, sourceDir, values, args.destination))
        return CopyArgsResult::Unresolved;
    return CopyArgsResult::Ok;
}

bool ReadIfExistArgs(std::string& rest, const std::string& sourceDir,
                     const DirectoryValues& values, IfExistArgs& args)
{
    if (!ResolveScriptPath(rest, sourceDir, values, args.path)) return false;
    args.flag = TakeNumber(rest);
    return true;
}

IfAndArgs ReadIfAndArgs(std::string& rest)
{
    IfAndArgs args;
    args.a = TakeNumber(rest);
    args.b = TakeNumber(rest);
    args.flag = TakeNumber(rest);
    return args;
}

bool ReadDeleteArgs(std::string& rest, const std::string& sourceDir,
                    const DirectoryValues& values, std::string& path)
{
    return ResolveScriptPath(rest, sourceDir, values, path);
}
