// INI text as the profile calls write it: the records that a checkpoint
// of the install log puts into a file's text in one read and one write,
// byte for byte where WritePrivateProfileString would put them.
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// A section name or key folded the way the profile calls compare them:
// numbers and "Last" need only a plain letter fold, which costs next to
// nothing for the thousands of keys of a big section.
std::string FoldedIniKey(std::string key);

// The keys set in one section since the last checkpoint, in the order of
// their first setting, each with its latest value.
struct PendingSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
    std::unordered_map<std::string, size_t> position;  // folded key -> index in keys

    void Set(const std::string& key, const std::string& value)
    {
        auto found = position.emplace(FoldedIniKey(key), keys.size());
        if (found.second)
            keys.emplace_back(key, value);
        else
            keys[found.first->second].second = value;
    }
};

// The text `text` becomes when the pending keys are written into it, in
// `out`; `changed` tells whether any value changed (when none does, the
// profile calls leave the file alone). False when the text or a key is not
// one that the profile calls' rules (see IniText.cpp) describe fully.
bool WriteIntoText(std::string_view text, const std::vector<PendingSection>& pending, std::string& out,
                   bool& changed);

enum class TextWrite {
    Done,     // the records are in the file
    Unusual,  // the file is not one to write this way: use the profile calls
    Refused,  // the system refused the write; the file is as it was
};

// Writes `pending` into the text of the file at `path` in one read and one
// write (from the first byte that changes on).
TextWrite WriteIntoFile(const std::string& path, const std::vector<PendingSection>& pending);
