#include "app/VersionCheck.h"

#include <cstring>
#include <new>
#include <vector>

#include "state/InstallState.h"
#include "fsutil/FsUtil.h"
#include "fw/File.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "resources/resource.h"
#include "state/ProductFiles.h"

namespace {

const char kMarker[] = "386 V";

// The dotted numbers of a version text, as far as it has digits and dots.
std::vector<unsigned long> VersionParts(const std::string& text)
{
    std::vector<unsigned long> parts;
    size_t i = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        unsigned long value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (value < 100000000UL) value = value * 10 + (unsigned long)(text[i] - '0');
            ++i;
        }
        parts.push_back(value);
        if (i < text.size() && text[i] == '.') ++i;
        else break;
    }
    return parts;
}

}  // namespace

std::string FindVersionText(const char* text)
{
    const char* marker = std::strstr(text, kMarker);
    if (!marker) return {};
    const char* version = marker + sizeof kMarker - 1;
    // Fewer than three characters after the marker carry no version.
    if (std::strlen(version) < 3) return {};
    size_t n = std::strspn(version, "0123456789.");
    return std::string(version, n < 3 ? 3 : n);
}

int CompareVersions(const std::string& found, const std::string& installing)
{
    std::vector<unsigned long> a = VersionParts(found);
    std::vector<unsigned long> b = VersionParts(installing);
    if (a.empty()) return -1;
    size_t count = a.size() > b.size() ? a.size() : b.size();
    for (size_t i = 0; i < count; ++i) {
        unsigned long x = i < a.size() ? a[i] : 0;
        unsigned long y = i < b.size() ? b[i] : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

int AskOkCancel(HWND owner, UINT messageId, const std::string& argument)
{
    return fw::ShowMessageArg(owner, messageId, argument, MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL ? 0 : 1;
}

int CheckExistingVersion(InstallState& state, HWND owner, const std::string& fileName)
{
    int result = 1;
    if (fileName.empty()) return result;  // the product checks no version
    std::string path = state.targetDir1 + "\\" + fileName;
    if (FileExists(path)) {
        fw::File file;
        if (!file.Open(path, fw::File::modeRead)) return 0;
        uint64_t length = 0;
        if (!file.Length(length) || length > 0x7FFFFFF0ULL) return 0;
        // Ten spare zero bytes end the text whatever the file holds.
        std::vector<char> buffer;
        try {
            buffer.assign((size_t)length + 10, 0);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        DWORD done = 0;
        if (!file.Read(buffer.data(), (DWORD)length, done)) return 0;
        std::string found = FindVersionText(buffer.data());
        if (!found.empty() && CompareVersions(found, fw::LoadResString(IDS_INSTALLED_VERSION)) >= 0)
            result = 0;
    }
    if (result == 0 && AskOkCancel(owner, IDS_NEWER_VERSION, product_file::CheckedDriver()) == 0) {
        state.componentSelected[component::kMemoryManager] = 0;
        state.componentSelected[component::kTechnicalNotes] = 0;
    }
    return result;
}
