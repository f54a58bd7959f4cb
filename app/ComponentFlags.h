// The component flags of an install: which parts of the product, by their
// component number, are to be installed.
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

// Which component numbers a consumer of records recognises; any other number
// counts as not selected there.
enum class ComponentConsumer { ProgramItems, FollowUpPrograms, ScriptLines };
bool IsRecognisedComponent(ComponentConsumer consumer, int number);
