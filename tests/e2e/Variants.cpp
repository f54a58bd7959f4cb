#include "Variants.h"

#include <vector>

namespace e2e {
namespace {

constexpr WORD kLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// A string block holds 16 strings, each a 16-bit length and that many
// UTF-16 characters; length 0 means the string is absent.
using Block = std::vector<std::optional<std::wstring>>;

Block ReadBlock(HMODULE module, UINT blockId)
{
    Block block(16);
    HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                  MAKEINTRESOURCEW(blockId), kLanguage);
    if (!found) return block;
    HGLOBAL loaded = LoadResource(module, found);
    auto* data = static_cast<const WORD*>(LockResource(loaded));
    DWORD size = SizeofResource(module, found) / sizeof(WORD);
    DWORD pos = 0;
    for (int i = 0; i < 16 && pos < size; ++i) {
        WORD length = data[pos++];
        if (length && pos + length <= size)
            block[i] = std::wstring(reinterpret_cast<const wchar_t*>(data + pos), length);
        pos += length;
    }
    return block;
}

std::vector<WORD> EncodeBlock(const Block& block)
{
    std::vector<WORD> data;
    for (const auto& text : block) {
        data.push_back(text ? (WORD)text->size() : 0);
        if (text) data.insert(data.end(), text->begin(), text->end());
    }
    return data;
}

std::wstring Widen(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), wide.data(), n);
    return wide;
}

}  // namespace

bool WriteInstallerVariant(const std::string& from, const std::string& to, const StringChanges& changes,
                           std::string& why)
{
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        why = "cannot copy " + from + " to " + to;
        return false;
    }
    HMODULE original = LoadLibraryExA(from.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!original) {
        why = "cannot read the resources of " + from;
        return false;
    }
    std::map<UINT, Block> blocks;
    for (const auto& [id, text] : changes) {
        UINT blockId = id / 16 + 1;
        auto it = blocks.find(blockId);
        if (it == blocks.end()) it = blocks.emplace(blockId, ReadBlock(original, blockId)).first;
        it->second[id % 16] = text ? std::optional<std::wstring>(Widen(*text)) : std::nullopt;
    }
    FreeLibrary(original);

    HANDLE update = BeginUpdateResourceA(to.c_str(), FALSE);
    if (!update) {
        why = "cannot update the resources of " + to;
        return false;
    }
    for (const auto& [blockId, block] : blocks) {
        // A block whose strings are all removed stays, with 16 empty
        // strings: Wine's resource update does not drop a deleted block.
        std::vector<WORD> data = EncodeBlock(block);
        if (!UpdateResourceW(update, reinterpret_cast<LPCWSTR>(RT_STRING), MAKEINTRESOURCEW(blockId), kLanguage,
                             data.data(), (DWORD)(data.size() * sizeof(WORD)))) {
            EndUpdateResourceA(update, TRUE);
            why = "cannot write string block " + std::to_string(blockId);
            return false;
        }
    }
    if (!EndUpdateResourceA(update, FALSE)) {
        why = "cannot save the resources of " + to;
        return false;
    }
    return true;
}

std::map<UINT, std::string> ReadStrings(const std::string& exe, UINT first, UINT last)
{
    std::map<UINT, std::string> strings;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return strings;
    for (UINT id = first; id <= last; ++id) {
        Block block = ReadBlock(module, id / 16 + 1);
        if (const auto& text = block[id % 16]) {
            int n = WideCharToMultiByte(CP_ACP, 0, text->data(), (int)text->size(), nullptr, 0, nullptr, nullptr);
            std::string narrow(n, '\0');
            WideCharToMultiByte(CP_ACP, 0, text->data(), (int)text->size(), narrow.data(), n, nullptr, nullptr);
            strings[id] = narrow;
        }
    }
    FreeLibrary(module);
    return strings;
}

StringChanges MutateScript(const std::map<UINT, std::string>& lines, std::mt19937& random)
{
    StringChanges changes;
    if (lines.empty()) return changes;
    auto pick = [&](size_t n) { return (size_t)std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    std::vector<UINT> ids;
    for (const auto& [id, text] : lines) ids.push_back(id);
    UINT id = ids[pick(ids.size())];
    std::string text = lines.at(id);
    static const char kAlphabet[] = ",*\\:.0123456789TXEWSRV_ -#$/";
    switch (pick(8)) {
    case 0:  // a character dropped
        if (!text.empty()) text.erase(pick(text.size()), 1);
        break;
    case 1:  // a character doubled
        if (!text.empty()) {
            size_t at = pick(text.size());
            text.insert(at, 1, text[at]);
        }
        break;
    case 2:  // a character replaced
        if (!text.empty()) text[pick(text.size())] = kAlphabet[pick(sizeof kAlphabet - 1)];
        break;
    case 3: {  // a field emptied
        size_t comma = text.find(',', pick(text.size() + 1));
        size_t next = comma == std::string::npos ? std::string::npos : text.find(',', comma + 1);
        if (next != std::string::npos) text.erase(comma + 1, next - comma - 1);
        break;
    }
    case 4:  // a field made huge: past the 254 characters a line may have
        text.insert(pick(text.size() + 1), std::string(300, 'A' + (char)pick(26)));
        break;
    case 5:  // a number past every table
        text = "65535" + text.substr(std::min(text.find(','), text.size()));
        break;
    case 6: {  // two lines swapped
        UINT other = ids[pick(ids.size())];
        changes[other] = text;
        text = lines.at(other);
        break;
    }
    default:  // a hole in the script
        changes[id] = std::nullopt;
        return changes;
    }
    changes[id] = text;
    return changes;
}

}  // namespace e2e
