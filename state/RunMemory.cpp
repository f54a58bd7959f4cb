#include "state/RunMemory.h"

#include <windows.h>

#include "fw/File.h"

namespace {

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

}  // namespace

void RunMemory::KeepLogBeforeWrite(const std::string& path)
{
    if (path.empty() || FindKeptLog(path)) return;
    KeptLog kept;
    kept.path = path;
    DWORD attributes = GetFileAttributesA(path.c_str());
    kept.existed = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // A log that is there but cannot be read (another program holds it)
    // is no proof that it was empty.
    if (kept.existed) kept.known = fw::ReadWholeFile(path, kept.bytes);
    keptLogs.push_back(kept);
}

bool RunMemory::WasKept(const std::string& path) const
{
    for (const KeptFile& file : keptFiles)
        if (SamePath(file.original, path)) return true;
    return false;
}

bool RunMemory::WasMadeAnew(const std::string& path) const
{
    for (const std::string& made : madeAnew)
        if (SamePath(made, path)) return true;
    return false;
}

const KeptLog* RunMemory::FindKeptLog(const std::string& path) const
{
    for (const KeptLog& kept : keptLogs)
        if (SamePath(kept.path, path)) return &kept;
    return nullptr;
}

void RunMemory::RecordMadeDirectories(const std::vector<std::string>& made)
{
    madeDirectories.insert(madeDirectories.end(), made.begin(), made.end());
}

void RunMemory::JoinComponentFlags(const ComponentFlags& flags)
{
    for (int n = 0; n < ComponentFlags::kCount; ++n)
        if (flags[n] == 1) componentFlags[n] = 1;
}

void RunMemory::JoinConditionFlags(const std::array<int32_t, 10>& flags)
{
    for (size_t n = 1; n < flags.size(); ++n)
        if (flags[n] == 1) conditionFlags[n] = 1;
}
