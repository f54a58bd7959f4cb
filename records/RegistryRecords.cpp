#include "records/RegistryRecords.h"

#include <cstdio>
#include <vector>

#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "records/UninstallRecords.h"
#include "resources/resource.h"

const char kLocalMachineName[] = "HKEY_LOCAL_MACHINE";

const std::string& OsVersionText()
{
    static const std::string text = MakeOsVersionText();
    return text;
}

bool HasRegistry(const std::string& osVersionText)
{
    return osVersionText.find("WinNT") != std::string::npos ||
           osVersionText.find("Win95") != std::string::npos;
}

LONG CreateKey(HKEY root, const std::string& keyPath, HKEY& key)
{
    DWORD disposition = 0;
    return RegCreateKeyExA(root, keyPath.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &key, &disposition);
}

LONG OpenKey(HKEY root, const std::string& keyPath, HKEY& key)
{
    return RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key);
}

LONG WriteStringValue(int number, const std::string& owner, const std::string& rootName,
                      const std::string& keyPath, HKEY key, const std::string& valueName,
                      const std::string& data, const std::string& logPath)
{
    LONG result = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(data.c_str()), (DWORD)data.size() + 1);
    // Without a log there is nowhere to record it (an empty file name would
    // send the entry to WIN.INI).
    if (!logPath.empty()) AddRegistryRecord(number, owner, rootName, keyPath, valueName, logPath);
    return result;
}

bool ReadStringValue(const std::string& keyPath, const std::string& valueName, std::string& data)
{
    // Reading needs no more than the right to query; the type and size are
    // asked first, so a value of any length is read whole, and a value
    // that is no text is not taken for one.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    bool read = false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        std::vector<char> buffer(size + 1, '\0');
        DWORD got = size;
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                             &got) == ERROR_SUCCESS &&
            type == REG_SZ && got <= size) {
            buffer[got] = '\0';
            data = buffer.data();  // up to the first zero, stored or ours
            read = true;
        }
    }
    RegCloseKey(key);
    return read;
}

std::string ProductTitle(const std::string& windowTitle)
{
    size_t at = windowTitle.find("Installation");
    if (at == std::string::npos || at == 0) return {};
    return windowTitle.substr(0, at - 1);
}

std::string FormatInstallDate(const SYSTEMTIME& date)
{
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u", (unsigned)date.wMonth, (unsigned)date.wDay,
                  (unsigned)date.wYear);
    return text;
}

void WriteProductRecord(int number, const std::string& keyPath, const std::string& logPath)
{
    HKEY key = nullptr;
    if (CreateKey(HKEY_LOCAL_MACHINE, keyPath, key) != ERROR_SUCCESS) return;
    const std::string owner = fw::LoadResString(IDS_REG_OWNER);
    const std::string title = ProductTitle(fw::LoadResString(IDS_APP_TITLE));
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::pair<const char*, std::string> values[] = {
        {"Description", title},
        {"Install Date", FormatInstallDate(now)},
        {"Version", fw::LoadResString(IDS_PRODUCT_VERSION)},
        {"Title", title},
    };
    for (const auto& [name, data] : values)
        WriteStringValue(number, owner, kLocalMachineName, keyPath, key, name, data, logPath);
    RegCloseKey(key);
}

void WriteAppPathValue(int number, const std::string& owner, const std::string& keyPath,
                       const std::string& data, const std::string& valueName, const std::string& logPath)
{
    HKEY key = nullptr;
    if (CreateKey(HKEY_LOCAL_MACHINE, keyPath, key) != ERROR_SUCCESS) return;
    WriteStringValue(number, owner, kLocalMachineName, keyPath, key, valueName, data, logPath);
    RegCloseKey(key);
}
