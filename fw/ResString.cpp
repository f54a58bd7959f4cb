#include "fw/ResString.h"

#include <vector>

namespace fw {

HINSTANCE ResourceInstance()
{
    return GetModuleHandleA(nullptr);
}

bool LoadResString(UINT id, std::string& text)
{
    // String-table entries hold at most 4097 characters; start small and
    // grow while the text fills the buffer.
    std::vector<char> buffer(512);
    for (;;) {
        int n = LoadStringA(ResourceInstance(), id, buffer.data(), (int)buffer.size());
        if (n <= 0) {
            text.clear();
            return false;
        }
        if (n < (int)buffer.size() - 1 || buffer.size() >= 8192) {
            text.assign(buffer.data(), n);
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string LoadResString(UINT id)
{
    std::string text;
    LoadResString(id, text);
    return text;
}

std::string FormatArg(const std::string& pattern, const std::string& arg)
{
    std::string out;
    out.reserve(pattern.size() + arg.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '1') {
            out += arg;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string FormatResString(UINT id, const std::string& arg)
{
    return FormatArg(LoadResString(id), arg);
}

void ToUpper(std::string& text)
{
    if (!text.empty()) CharUpperBuffA(text.data(), (DWORD)text.size());
}

}  // namespace fw
