// The component flags of an install: which parts of the product, by their
// component number, are to be installed. The numbers themselves, and which
// consumer of records knows which of them, are named here once.
#pragma once
#include <array>

// Component numbers run from 0 to 99. 0 means "always"; every other number is
// selected only when its flag equals 1.
class ComponentFlags {
public:
    static constexpr int kCount = 100;

    int& operator[](int number) { return flags_[Clamp(number)]; }
    int operator[](int number) const { return flags_[Clamp(number)]; }
    // True when the part that bears this number is to be installed.
    bool IsSelected(int number) const
    {
        if (number == 0) return true;
        if (number < 0 || number >= kCount) return false;
        return flags_[number] == 1;
    }

private:
    static int Clamp(int n) { return (n < 0 || n >= kCount) ? kCount : n; }
    // One spare slot absorbs out-of-range numbers so a stray number from a
    // resource record can never write outside the table.
    std::array<int, kCount + 1> flags_{};
};

namespace component {
constexpr int kAlways = 0;
// Condition flags 1 ... 9 of the script; 1 ... 3 start from the component
// flags of the same numbers.
constexpr int kFirstCondition = 1;
constexpr int kLastCondition = 9;
constexpr int kLastSeededCondition = 3;
constexpr int kMemoryManager = 11;         // Ramhold
constexpr int kMemoryManagerLastPart = 18; // its parts 12 ... 18 follow its flag
constexpr int kTechnicalNotes = 21;
constexpr int kTrainer = 31;               // Tricorn
constexpr int kDiskCache = 41;             // Diskspur
constexpr int kExtras = 51;                // with 52 and 53
constexpr int kExtras52 = 52;
constexpr int kExtras53 = 53;
constexpr int kExtras61 = 61;
// The components with a directory of their own, in the order of
// targetDir1 ... targetDir6, each with its "Program" entry in the log.
constexpr std::array<int, 6> kWithDirectory = {kMemoryManager, kTechnicalNotes, kTrainer,
                                               kDiskCache,     kExtras,         kExtras61};

inline bool IsCondition(int n) { return n >= kFirstCondition && n <= kLastCondition; }
}  // namespace component

// Which component numbers a consumer of records recognises; any other number
// counts as not selected there.
enum class ComponentConsumer {
    ProgramItems,      // item records 11601 ...
    FollowUpPrograms,  // follow-up records 11681 ...
    ScriptLines,       // script lines, and the undo judging their log entries
    IfAndTest,         // the numbers an "IFAND" line tests by component flag
};
bool IsRecognisedComponent(ComponentConsumer consumer, int number);
