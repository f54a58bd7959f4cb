#include "app/InstallState.h"

#include "fw/ResString.h"

bool IsRecognisedComponent(ComponentConsumer consumer, int n)
{
    switch (consumer) {
    case ComponentConsumer::ProgramItems:
        return n == 0 || (n >= 11 && n <= 18) || n == 21 || n == 31 || n == 41 || n == 51 ||
               n == 52 || n == 53 || n == 61;
    case ComponentConsumer::FollowUpPrograms:
        return n == 11 || n == 21 || n == 31 || n == 41 || n == 51 || n == 52 || n == 61;
    case ComponentConsumer::ScriptLines:
        return (n >= 0 && n <= 3) || (n >= 11 && n <= 18) || n == 21 || n == 31 || n == 41 ||
               n == 51 || n == 61;
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
    for (int n : {1, 2, 3}) componentSelected[n] = 0;
    // Read in the order of the string IDs.
    int memoryManager = ReadFlagString(1261);
    int technicalNotes = ReadFlagString(1262);
    int trainer = ReadFlagString(1263);
    int diskCache = ReadFlagString(1264);
    int extras = ReadFlagString(1265);
    int extras61 = ReadFlagString(1266);
    componentSelected[11] = memoryManager;
    for (int n = 12; n <= 18; ++n) componentSelected[n] = memoryManager;
    componentSelected[21] = technicalNotes;
    componentSelected[31] = trainer;
    componentSelected[41] = diskCache;
    componentSelected[51] = componentSelected[52] = componentSelected[53] = extras;
    componentSelected[61] = extras61;
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
