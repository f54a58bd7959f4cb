// The product's records in the system registry (Windows 95 and NT only):
// its CurrentVersion record and an App Paths entry, both under
// HKEY_LOCAL_MACHINE. Every value written is also recorded in the install
// log's "Registry" list. A later install reads such entries back to find
// an earlier one.
#pragma once
#include <windows.h>

#include <string>

// Name of the one root this program writes under, as the log records it.
extern const char kLocalMachineName[];  // "HKEY_LOCAL_MACHINE"

// The text that names the running platform: "WinNT %u.%u", "Win95 %u.%u"
// or "Win32S %u.%u". Made once per process.
const std::string& OsVersionText();
// True when `osVersionText` names Windows 95 or NT, the platforms that keep
// records in the registry; false for Win32s.
bool HasRegistry(const std::string& osVersionText);

// Create (or open) and open a key with full access; the system's result
// code, ERROR_SUCCESS on success.
LONG CreateKey(HKEY root, const std::string& keyPath, HKEY& key);
LONG OpenKey(HKEY root, const std::string& keyPath, HKEY& key);

// Sets `valueName` of the open `key` to `data` as REG_SZ (with its
// terminating zero), then records it in the log at `logPath` under
// `number` and `owner`, whether the set worked or not. The set's result.
LONG WriteStringValue(int number, const std::string& owner, const std::string& rootName,
                      const std::string& keyPath, HKEY key, const std::string& valueName,
                      const std::string& data, const std::string& logPath);

// Reads the REG_SZ value `valueName` of HKEY_LOCAL_MACHINE\`keyPath`,
// however long it is. True and `data` set when there is such a value; a
// missing key or value, or a value of another type, gives false and leaves
// `data` as it was.
bool ReadStringValue(const std::string& keyPath, const std::string& valueName, std::string& data);

// The product record under `keyPath`: "Description", "Install Date",
// "Version", "Title", in this order, owner string 11032.
void WriteProductRecord(int number, const std::string& keyPath, const std::string& logPath);
// One App Paths value `valueName` = `data` under `keyPath`.
void WriteAppPathValue(int number, const std::string& owner, const std::string& keyPath,
                       const std::string& data, const std::string& valueName, const std::string& logPath);

// The product title: the window title (string 2011) up to the blank before
// "Installation"; empty when "Installation" does not occur.
std::string ProductTitle(const std::string& windowTitle);
// "month.day.year" without leading zeros, as the record's "Install Date".
std::string FormatInstallDate(const SYSTEMTIME& date);
