#include "state/RunMemory.h"

#include <windows.h>

#include "fw/File.h"
#include "fw/ResString.h"

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

namespace {
std::string Folded(std::string path)
{
    fw::ToUpper(path);
    return path;
}
}  // namespace

void RunMemory::AddKeptFile(const KeptFile& file)
{
    keptFiles.push_back(file);
    kept_.insert(Folded(file.original));
}

void RunMemory::ForgetKeptFiles()
{
    keptFiles.clear();
    keepFolders.clear();
    kept_.clear();
}

void RunMemory::RecordMadeAnew(const std::string& path)
{
    madeAnew_.insert(Folded(path));
}

bool RunMemory::WasKept(const std::string& path) const
{
    return kept_.count(Folded(path)) > 0;
}

bool RunMemory::WasMadeAnew(const std::string& path) const
{
    return madeAnew_.count(Folded(path)) > 0;
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
