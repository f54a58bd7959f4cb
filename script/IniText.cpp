#include "script/IniText.h"

#include <windows.h>

#include <algorithm>
#include <array>

std::string FoldedIniKey(std::string key)
{
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return key;
}

namespace {

// ---- a checkpoint written into the file's text --------------------------------
//
// Why the log is written this way. The profile calls are the log's format:
// the undo, the previous-install detection and other tools read it with
// them. But a profile write rereads and rewrites the whole file, and under
// Wine even WritePrivateProfileSection adds a section's keys one by one,
// each after a walk over all the keys before it: one write of a section of
// n keys costs n² (10,000 keys, a quarter of a second), and every
// checkpoint would rewrite the whole growing "File" section. So a
// checkpoint reads the file once, puts its records into the text itself
// exactly where the profile calls put them, and writes the file once: a
// cost linear in the file's size. The bytes are those that writing each
// record through WritePrivateProfileString gives:
// - the calls write every line as "key=value" or "[section]" with "\r\n"
//   after it, the last line too; blank lines are dropped, "\n" alone
//   becomes "\r\n";
// - a key that exists (the first of its name, in the first section of its
//   name, names compared without regard to case) keeps its place and its
//   spelling and gets the new value;
// - a new key goes after the last line of its section, a new section after
//   the last line of the file;
// - nothing is written when no value changes.
// Only a text these rules describe fully is written this way: lines of
// printable characters that the code page reads back as they are, without
// spaces around "=" or at either end, names of sections in plain ASCII,
// and so on (see WriteIntoText). Any other file (a hand-made seed with
// comments in odd places, another encoding, a file not there yet), or a
// system whose profile calls lay a file out differently (checked once, see
// ProfileLayoutKnown), is written through the profile calls instead; after
// one such write the file has their layout and the next checkpoint writes
// it directly again. The profile calls notice the change: they read a
// file again when its write time differs from the one they saw, and, on
// Wine, whenever it was written in the last two seconds.

bool IsAscii(std::string_view text)
{
    for (char c : text)
        if ((unsigned char)c >= 0x80) return false;
    return true;
}

// Bytes that stand in a line of the text as the profile calls read and
// write them back: printable ASCII, and the letters of a single-byte code
// page that come back from Unicode as they went.
const std::array<bool, 256>& PlainBytes()
{
    static const std::array<bool, 256> plain = [] {
        std::array<bool, 256> table{};
        for (int b = 0x20; b < 0x7F; ++b) table[b] = true;
        CPINFO info;
        if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1)
            for (int b = 0x80; b < 0x100; ++b) {
                char in = char(b), out = 0;
                WCHAR wide = 0;
                BOOL defaulted = FALSE;
                table[b] = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &in, 1, &wide, 1) == 1 &&
                           WideCharToMultiByte(CP_ACP, 0, &wide, 1, &out, 1, nullptr, &defaulted) == 1 &&
                           out == in && !defaulted;
            }
        return table;
    }();
    return plain;
}

// A text the profile calls keep as it is: plain bytes, no space at either
// end (they trim spaces, tabs and line ends).
bool Plain(std::string_view text)
{
    const std::array<bool, 256>& plain = PlainBytes();
    for (char c : text)
        if (!plain[(unsigned char)c]) return false;
    return text.empty() || (text.front() != ' ' && text.back() != ' ');
}

std::string FoldedView(std::string_view key)
{
    return FoldedIniKey(std::string(key));
}

}  // namespace

bool WriteIntoText(std::string_view text, const std::vector<PendingSection>& pending, std::string& out,
                   bool& changed)
{
    for (const PendingSection& section : pending) {
        if (section.name.empty() || !Plain(section.name) || !IsAscii(section.name)) return false;
        for (const auto& [key, value] : section.keys)
            if (key.empty() || !Plain(key) || !IsAscii(key) || key[0] == '[' ||
                key.find('=') != std::string::npos || !Plain(value))
                return false;
    }
    // A file that starts with a byte-order mark is read and written in
    // another encoding.
    if (!text.empty() && (unsigned char)text[0] >= 0x80) return false;
    // A lone "\r" ends a line for some readers and not for others.
    for (size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', cr + 1))
        if (cr + 1 == text.size() || text[cr + 1] != '\n') return false;

    std::unordered_map<std::string, size_t> sectionAt;  // folded name -> index in pending
    size_t added = 0;
    for (size_t i = 0; i < pending.size(); ++i) {
        sectionAt.emplace(FoldedIniKey(pending[i].name), i);
        added += pending[i].name.size() + 4;
        for (const auto& [key, value] : pending[i].keys) added += key.size() + value.size() + 3;
    }
    std::vector<bool> met(pending.size(), false);
    const PendingSection* current = nullptr;  // the section being read, when it has keys to set
    std::vector<bool> set;                     // its keys set so far

    out.clear();
    out.reserve(text.size() + added);
    changed = false;
    auto appendLine = [&](std::string_view a, std::string_view b = {}, std::string_view c = {}) {
        out.append(a).append(b).append(c).append("\r\n");
    };
    auto endSection = [&] {
        if (!current) return;
        for (size_t k = 0; k < current->keys.size(); ++k)
            if (!set[k]) {
                appendLine(current->keys[k].first, "=", current->keys[k].second);
                changed = true;
            }
        current = nullptr;
    };

    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = std::min(text.find_first_not_of("\r\n", end), text.size());
        if (line.empty()) continue;  // a blank line
        if (!Plain(line)) return false;
        if (line[0] == '[') {
            if (line.size() < 3 || line.back() != ']') return false;
            std::string_view name = line.substr(1, line.size() - 2);
            if (!Plain(name) || !IsAscii(name)) return false;
            endSection();
            auto found = sectionAt.find(FoldedView(name));
            if (found != sectionAt.end() && !met[found->second]) {
                met[found->second] = true;
                current = &pending[found->second];
                set.assign(current->keys.size(), false);
            }
            appendLine(line);
            continue;
        }
        size_t eq = line.find('=');
        std::string_view name = line.substr(0, eq);  // the whole line when it has no "="
        if (name.empty() || name.back() == ' ') return false;
        if (eq != std::string_view::npos && eq + 1 < line.size() && line[eq + 1] == ' ') return false;
        if (current) {
            if (!IsAscii(name)) return false;
            auto found = current->position.find(FoldedView(name));
            if (found != current->position.end() && !set[found->second]) {
                set[found->second] = true;
                const std::string& value = current->keys[found->second].second;
                if (eq == std::string_view::npos || line.substr(eq + 1) != value) changed = true;
                appendLine(name, "=", value);
                continue;
            }
        }
        appendLine(line);
    }
    endSection();
    for (size_t i = 0; i < pending.size(); ++i) {
        if (met[i]) continue;
        appendLine("[", pending[i].name, "]");
        for (const auto& [key, value] : pending[i].keys) appendLine(key, "=", value);
        changed = true;
    }
    return true;
}

namespace {

std::string ReadWhole(HANDLE file, bool& ok)
{
    std::string text;
    LARGE_INTEGER size{};
    ok = GetFileSizeEx(file, &size) && size.QuadPart < (1 << 30);
    if (!ok) return text;
    text.resize((size_t)size.QuadPart);
    DWORD read = 0;
    ok = text.empty() || (ReadFile(file, text.data(), (DWORD)text.size(), &read, nullptr) && read == text.size());
    return text;
}

// Whether this system's profile calls lay a file out as WriteIntoText
// does. Asked once: a few records written through them into a file of
// the temporary directory, with the cases that matter (blank lines, "\n"
// alone, no line end at the end, a key in other letters, a comment, keys
// before the first section, a new section).
bool ProfileLayoutKnown()
{
    static const bool known = [] {
        char dir[MAX_PATH], path[MAX_PATH];
        DWORD n = GetTempPathA(MAX_PATH, dir);
        if (n == 0 || n >= MAX_PATH || !GetTempFileNameA(dir, "cvl", 0, path)) return false;
        const std::string start = "k=v\r\n[A]\r\nx=1\r\n\r\n[b]\nlast=1\n;c\n1=a\n\n[C]\r\ny=2";
        std::vector<PendingSection> pending(3);
        pending[0].name = "B";
        pending[0].Set("Last", "2");
        pending[0].Set("2", "0,b");
        pending[1].name = "A";
        pending[1].Set("z", "3");
        pending[2].name = "D";
        pending[2].Set("Last", "1");
        pending[2].Set("1", "0,d");
        bool same = false;
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        bool started = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, start.data(), (DWORD)start.size(), &written, nullptr) &&
                       written == start.size();
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (started) {
            for (const PendingSection& section : pending)
                for (const auto& [key, value] : section.keys)
                    WritePrivateProfileStringA(section.name.c_str(), key.c_str(), value.c_str(), path);
            std::string expected;
            bool changed = false, read = false;
            file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                std::string result = ReadWhole(file, read);
                CloseHandle(file);
                same = read && WriteIntoText(start, pending, expected, changed) && changed && result == expected;
            }
        }
        DeleteFileA(path);
        return same;
    }();
    return known;
}

}  // namespace

TextWrite WriteIntoFile(const std::string& path, const std::vector<PendingSection>& pending)
{
    if (!ProfileLayoutKnown()) return TextWrite::Unusual;
    // A missing file, or one that cannot be opened: the profile calls
    // create it, or find that they cannot either.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return TextWrite::Unusual;
    TextWrite result = TextWrite::Unusual;
    FILETIME before{};
    bool read = false, changed = false;
    std::string text = ReadWhole(file, read), out;
    if (read && GetFileTime(file, nullptr, nullptr, &before) && WriteIntoText(text, pending, out, changed)) {
        result = TextWrite::Done;
        if (changed) {
            size_t from = std::mismatch(text.begin(), text.begin() + std::min(text.size(), out.size()), out.begin())
                              .first - text.begin();
            auto writeFrom = [&](const std::string& bytes) {
                LARGE_INTEGER at;
                at.QuadPart = (LONGLONG)from;
                DWORD written = 0;
                return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                       (bytes.size() == from ||
                        (WriteFile(file, bytes.data() + from, (DWORD)(bytes.size() - from), &written, nullptr) &&
                         written == bytes.size() - from)) &&
                       SetEndOfFile(file);
            };
            if (writeFrom(out)) {
                // Readers that cache the file know it by its write time:
                // make sure it moved, however coarse the clock.
                FILETIME after{};
                if (GetFileTime(file, nullptr, nullptr, &after) && CompareFileTime(&after, &before) == 0) {
                    ULARGE_INTEGER later;
                    later.LowPart = after.dwLowDateTime;
                    later.HighPart = after.dwHighDateTime;
                    later.QuadPart += 1;
                    after.dwLowDateTime = later.LowPart;
                    after.dwHighDateTime = later.HighPart;
                    SetFileTime(file, nullptr, nullptr, &after);
                }
            } else {
                writeFrom(text);  // a full disk: put back what was there
                result = TextWrite::Refused;
            }
        }
    }
    CloseHandle(file);
    return result;
}

