#include "state/InstallState.h"

#include "fw/ResString.h"
#include "resources/resource.h"

namespace {

// Which consumer recognises which number: a row for every number any of
// them knows, ranges where the numbers run on.
struct Recognition {
    int first, last;
    bool items, followUps, scriptLines, ifAnd;
};
using namespace component;
constexpr Recognition kRecognised[] = {
    //  first              last                     items  follow  script  IFAND
    {kAlways,            kAlways,                 true,  false,  true,   false},
    {kFirstCondition,    kLastSeededCondition,    false, false,  true,   false},
    {kMemoryManager,     kMemoryManager,          true,  true,   true,   true},
    {kMemoryManager + 1, kMemoryManagerLastPart,  true,  false,  true,   true},
    {kTechnicalNotes,    kTechnicalNotes,         true,  true,   true,   true},
    {kTrainer,           kTrainer,                true,  true,   true,   false},
    {kDiskCache,         kDiskCache,              true,  true,   true,   false},
    {kExtras,            kExtras,                 true,  true,   true,   false},
    {kExtras52,          kExtras52,               true,  true,   false,  false},
    {kExtras53,          kExtras53,               true,  false,  false,  false},
    {kExtras61,          kExtras61,               true,  true,   true,   false},
};

}  // namespace

bool IsRecognisedComponent(ComponentConsumer consumer, int n)
{
    for (const Recognition& row : kRecognised) {
        if (n < row.first || n > row.last) continue;
        switch (consumer) {
        case ComponentConsumer::ProgramItems: return row.items;
        case ComponentConsumer::FollowUpPrograms: return row.followUps;
        case ComponentConsumer::ScriptLines: return row.scriptLines;
        case ComponentConsumer::IfAndTest: return row.ifAnd;
        }
    }
    return false;
}

int FlagFromText(const std::string& text)
{
    return (text == " " || text == "0") ? 0 : 1;
}

int ReadFlagString(unsigned id)
{
    return FlagFromText(fw::LoadResString(id));
}

void InstallState::InitComponentFlags()
{
    using namespace component;
    for (int n = kFirstCondition; n <= kLastSeededCondition; ++n) componentSelected[n] = 0;
    // Read in the order of the string IDs.
    int memoryManager = ReadFlagString(IDS_FLAG_MEMORY_MANAGER);
    int technicalNotes = ReadFlagString(IDS_FLAG_MEMORY_MANAGER + 1);
    int trainer = ReadFlagString(IDS_FLAG_MEMORY_MANAGER + 2);
    int diskCache = ReadFlagString(IDS_FLAG_MEMORY_MANAGER + 3);
    int extras = ReadFlagString(IDS_FLAG_MEMORY_MANAGER + 4);
    int extras61 = ReadFlagString(IDS_FLAG_MEMORY_MANAGER + 5);
    for (int n = kMemoryManager; n <= kMemoryManagerLastPart; ++n) componentSelected[n] = memoryManager;
    componentSelected[kTechnicalNotes] = technicalNotes;
    componentSelected[kTrainer] = trainer;
    componentSelected[kDiskCache] = diskCache;
    componentSelected[kExtras] = componentSelected[kExtras52] = componentSelected[kExtras53] = extras;
    componentSelected[kExtras61] = extras61;
}

const std::string& InstallState::TargetDir(int n) const
{
    static const std::string none;
    switch (n) {
    case 1: return targetDir1;
    case 2: return targetDir2;
    case 3: return targetDir3;
    case 4: return targetDir4;
    case 5: return targetDir5;
    case 6: return targetDir6;
    default: return none;
    }
}
