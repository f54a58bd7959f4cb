#include "app/InstallOptions.h"

#include <cctype>
#include <cstdlib>

#include "app/StartUp.h"
#include "fw/ResString.h"
#include "pages/components/ComponentsPage.h"
#include "pages/group/GroupPage.h"
#include "state/ComponentFlags.h"

namespace {

struct Word {
    std::string text;  // quotes taken away
    size_t start;      // where it starts in the line
    bool quoted;       // a quote opened at its start
};

// The words of `line`, split at blanks outside quotes. A quote may stand
// around the whole word ("/GROUP=My Tools") or around a value
// (/GROUP="My Tools").
std::vector<Word> Words(const std::string& line)
{
    std::vector<Word> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        Word word{"", i, line[i] == '"'};
        bool inQuotes = false;
        for (; i < line.size(); ++i) {
            char c = line[i];
            if (c == '"') inQuotes = !inQuotes;
            else if ((c == ' ' || c == '\t') && !inQuotes) break;
            else word.text += c;
        }
        words.push_back(word);
    }
    return words;
}

std::string Upper(std::string text)
{
    fw::ToUpper(text);
    return text;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// "11,21,31" as numbers; false for an empty list or anything but numbers
// the components page knows.
bool ReadComponents(const std::string& value, std::vector<int>& out)
{
    std::vector<int> numbers;
    size_t at = 0;
    while (at <= value.size()) {
        size_t comma = value.find(',', at);
        std::string item = value.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        if (item.empty() || item.size() > 4 || item.find_first_not_of("0123456789") != std::string::npos) return false;
        int number = std::atoi(item.c_str());
        if (!IsChoosableComponent(number)) return false;
        numbers.push_back(number);
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    out = numbers;
    return !out.empty();
}

const char* const kValueOptions[] = {"/D=", "/TYPE=", "/COMPONENTS=", "/GROUP=", "/LOG="};

bool IsOptionWord(const std::string& upper)
{
    if (upper == "/S" || upper == "/?" || upper == "/NOGROUP") return true;
    for (const char* name : kValueOptions)
        if (StartsWith(upper, name)) return true;
    return false;
}

}  // namespace

bool IsChoosableComponent(int number)
{
    for (int slot = 0; slot < 4; ++slot)
        if (number == ComponentsPage::kComponent[slot]) return ComponentsPage::SlotOffered(slot);
    return false;
}

InstallOptions ParseInstallOptions(const std::string& commandLine)
{
    InstallOptions options;
    std::vector<Word> words = Words(commandLine);
    for (size_t i = 0; i < words.size(); ++i) {
        if (!words[i].quoted && StartsWith(Upper(words[i].text), "/P")) {
            options.sourceText = commandLine.substr(words[i].start);
            words.resize(i);
            break;
        }
    }
    // A line of the earlier kind, without any option, is taken as it
    // always was, whatever other words it holds.
    bool any = false;
    for (const Word& word : words) any = any || IsOptionWord(Upper(word.text));
    if (!any) return InstallOptions{};
    options.any = true;

    for (const Word& word : words) {
        const std::string upper = Upper(word.text);
        auto valueOf = [&](const char* name) { return word.text.substr(std::char_traits<char>::length(name)); };
        auto refuse = [&](const std::string& why) { options.problems.push_back(word.text + ": " + why); };
        if (upper == "/S") {
            options.silent = true;
        } else if (upper == "/?") {
            options.usage = true;
        } else if (upper == "/NOGROUP") {
            options.noGroup = true;
        } else if (StartsWith(upper, "/D=")) {
            options.directoryGiven = true;
            options.directory = valueOf("/D=");
        } else if (StartsWith(upper, "/TYPE=")) {
            const std::string type = Upper(valueOf("/TYPE="));
            if (type == "EXPRESS") options.type = InstallOptions::Type::Express;
            else if (type == "CUSTOM") options.type = InstallOptions::Type::Custom;
            else refuse("the type is EXPRESS or CUSTOM");
        } else if (StartsWith(upper, "/COMPONENTS=")) {
            if (!ReadComponents(valueOf("/COMPONENTS="), options.components))
                refuse("a list of the components 11, 21, 31 and 41");
        } else if (StartsWith(upper, "/GROUP=")) {
            options.groupGiven = true;
            options.group = valueOf("/GROUP=");
            if (options.group.empty() || options.group.size() > GroupPage::kNameLimit ||
                GroupPage::CheckGroupName(options.group) != GroupPage::kNameAcceptable)
                refuse("not a name the program group page takes");
        } else if (StartsWith(upper, "/LOG=")) {
            options.logPath = valueOf("/LOG=");
            if (options.logPath.empty()) refuse("no file named");
        } else {
            refuse("not an option");
        }
    }
    if (!options.components.empty()) {
        if (options.type == InstallOptions::Type::Express)
            options.problems.push_back("/COMPONENTS= goes with a Custom install only");
        options.type = InstallOptions::Type::Custom;
    }
    if (options.noGroup && options.groupGiven) options.problems.push_back("/GROUP= and /NOGROUP both given");
    return options;
}

std::string SourceDirOf(const InstallOptions& options, const std::string& commandLine,
                        const std::string& installerDir)
{
    if (!options.any) return SourceDirFromCommandLine(commandLine, installerDir);
    if (options.sourceText.empty()) return installerDir;
    return SourceDirFromCommandLine(options.sourceText, installerDir);
}
