#include "pages/base/DiskSpacePage.h"

#include <cerrno>
#include <cstdlib>

#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "resources/resource.h"
#include "state/InstallState.h"

DiskSpacePage::DiskSpacePage(UINT templateId, InstallState& state, HWND backdrop, int helpContext,
                             ExitPolicy exit)
    : WizardPage(templateId, state, backdrop, helpContext, exit),
      separator(fw::LoadResString(IDS_KB_SEPARATOR)), unitText(fw::LoadResString(IDS_KB_UNIT))
{
}

void DiskSpacePage::InsertSeparator(std::string& figure) const
{
    if (figure.size() < unitText.size()) return;
    size_t n = figure.size() - unitText.size();
    if (n < 4) return;
    size_t at = n - 3;
    // A separator already in place stays single; a separator of any length
    // is compared only where the figure has room for it.
    if (!separator.empty() && at >= separator.size() &&
        figure.compare(at - separator.size(), separator.size(), separator) == 0)
        return;
    figure.insert(at, separator);
}

std::string DiskSpacePage::FormatKB(long long kb) const
{
    std::string figure = std::to_string(kb) + unitText;
    InsertSeparator(figure);
    return figure;
}

int DiskSpacePage::CompareKB(long long available, long long required)
{
    long long d = available - required;
    if (d > 1000) return 1;
    if (d < 1) return -1;
    return 0;
}

bool DiskSpacePage::SlotOffered(int slot)
{
    return slot >= 4 || !fw::LoadResString(IDS_NAME_MEMORY_MANAGER + slot).empty();
}

long long DiskSpacePage::SizeKB(UINT stringId)
{
    return std::atoll(fw::LoadResString(stringId).c_str());
}

UINT DiskSpacePage::LocationProblem(const InstallState& state, std::string& directory)
{
    if (directory.size() <= 1) return IDS_INVALID_PATH;
    if (directory[0] == '\\') directory = state.defaultDrive + directory;
    TrimTrailingSpace(directory);
    int maxName = atoi(fw::LoadResString(IDS_MAX_NAME_LENGTH).c_str());
    return IsValidPathSyntax(directory, maxName) ? 0 : IDS_INVALID_PATH;
}

bool DiskSpacePage::CheckLocation(std::string& directory, long long& availableKB)
{
    UpdateData(true);
    if (UINT problem = LocationProblem(state_, directory)) {
        ShowWarningId(problem);
        return false;
    }
    availableKB = (long long)FreeSpaceKB(directory.substr(0, 2));
    return true;
}

bool DiskSpacePage::RefreshFreeSpace(std::string& directory, long long& availableKB)
{
    UpdateData(true);
    int maxName = atoi(fw::LoadResString(IDS_MAX_NAME_LENGTH).c_str());
    if (!IsValidPathSyntax(directory, maxName)) return false;
    availableKB = (long long)FreeSpaceKB(directory.substr(0, 2));
    return true;
}

void DiskSpacePage::RefreshFreeSpaceQuiet(const std::string& directory, long long& availableKB)
{
    int maxName = atoi(fw::LoadResString(IDS_MAX_NAME_LENGTH).c_str());
    if (IsValidPathSyntax(directory, maxName)) availableKB = (long long)FreeSpaceKB(directory.substr(0, 2));
}

UINT DiskSpacePage::TrialCreationProblem(const std::string& directory)
{
    DirectoryCreation creation = CreateDirectoryPathTracked(directory);
    // Only the levels this trial made go again, on both paths (a creation
    // that fails half-way may have made its upper levels): a folder of the
    // user's that was there before stays, even when it is empty.
    RemoveMadeDirectories(creation.made);
    // A missing level, or a name the file system refuses ("*", "?", "|",
    // ... pass the syntax check): the directory can never be made.
    if (creation.result == -1 && (creation.error == ENOENT || creation.error == EINVAL)) return IDS_INVALID_PATH;
    return 0;
}

int DiskSpacePage::TrialCreate(const std::string& directory)
{
    if (UINT problem = TrialCreationProblem(directory)) {
        ShowWarningId(problem);
        return -1;
    }
    return 1;
}

