// The install script's lines: loading them from the string table and
// splitting them into fields.
//
// A line is "number,COMMAND,arguments". Every field is the longest prefix of
// the rest of the line made of the characters of that field's set; the field
// and exactly one more character (the separator, whatever it is) are then
// removed. A field that stops at a character outside its set therefore
// swallows that character, and a field may be empty. Numbers are decimal and
// kept as 16-bit values.
#pragma once
#include <cstdint>
#include <string>

#include "script/ScriptPath.h"

// Character sets of the script fields.
extern const char kNumberChars[];
extern const char kCommandChars[];
// COPY source names: the file-field set without "#".
extern const char kCopySourceChars[];

// Longest text a script line may have; a longer string is cut there.
constexpr int kMaxLineLength = 254;

// Loads script line k (string 11501 + k); empty when there is no such string.
std::string LoadLine(int k);

// Converts the leading decimal digits of `digits` (none gives 0) to a
// 16-bit value; longer numbers keep their low 16 bits.
uint16_t ToNumber16(const std::string& digits);

// Takes the number field and its separator from `line`: true with the
// number and the rest of the line, false when the field is empty (the rest
// then is the line unchanged).
bool SplitNumber(const std::string& line, uint16_t& number, std::string& rest);

// Takes the command word and its separator from `rest` (in/out).
std::string SplitCommand(std::string& rest);

// Takes one number field (weight, diskette, flag) from `rest` (in/out);
// an empty field gives 0.
uint16_t TakeNumber(std::string& rest);

// Arguments of "UNZPK": weight, directory and file field (resolved into one
// full path), diskette, and one more number that is read and not used.
struct UnpackArgs {
    uint16_t weight = 0;
    std::string path;
    uint16_t diskette = 0;
    uint16_t unused = 0;
};
// False when the path cannot be resolved (an empty file field, which has
// been reported); the other fields are read all the same.
bool ReadUnpackArgs(std::string& rest, const std::string& sourceDir,
                    const DirectoryValues& values, UnpackArgs& args);

// Arguments of "COPY": weight, source name, directory and file field.
struct CopyArgs {
    uint16_t weight = 0;
    std::string source;       // full path: the name as written, completed
    std::string destination;  // full path
};
enum class CopyArgsResult {
    Ok,
    EmptySource,   // nothing reported yet: the caller shows the message
    Unresolved,    // the destination has an empty file field (reported)
};
// A source name that starts with "\" gets the default drive in front of it;
// a name without a drive is taken from `sourceDir`.
CopyArgsResult ReadCopyArgs(std::string& rest, const std::string& sourceDir,
                            const DirectoryValues& values, CopyArgs& args);

// Arguments of "IFEXIST" and "IFNOTEXIST": a path and a flag number.
struct IfExistArgs {
    std::string path;
    uint16_t flag = 0;
};
bool ReadIfExistArgs(std::string& rest, const std::string& sourceDir,
                     const DirectoryValues& values, IfExistArgs& args);

// Arguments of "IFAND": two numbers to test and a flag number.
struct IfAndArgs {
    uint16_t a = 0;
    uint16_t b = 0;
    uint16_t flag = 0;
};
IfAndArgs ReadIfAndArgs(std::string& rest);

// Argument of "DELETE": a path.
bool ReadDeleteArgs(std::string& rest, const std::string& sourceDir,
                    const DirectoryValues& values, std::string& path);
