// The choice of components on the Custom path: a check box and a size per
// component, the space the ticked ones need on the drive, the free space
// and the light. Install checks each component's drive and space and then
// stores the choice in the InstallState.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "pages/base/DiskSpacePage.h"
#include "progress/CvButton.h"

class ComponentsPage : public DiskSpacePage {
public:
    static constexpr int kSlots = 5;

    explicit ComponentsPage(InstallState& state, HWND backdrop = nullptr);

    // Per slot (index 0 is slot 1): the check box state, the install
    // directory, the text of the size static, the size and the free space
    // the Install check compares it with, in KB.
    std::array<int32_t, kSlots> selected{};
    std::array<std::string, kSlots> directory;
    std::array<std::string, kSlots> sizeDisplay;
    std::array<long long, kSlots> sizeKB{};
    std::array<long long, kSlots> availableKB{};

    // What the controls show.
    std::string driveText;
    std::string requiredText;
    std::string availableText;
    CvButton indicator;
    int32_t anySelected = 0;

    // The sizes of the selected slots whose directory lies on `drive`
    // ("C:", compared as written).
    long long RequiredSpace(const std::string& drive) const;

    // The components of slots 1 ... 4.
    static const int kComponent[4];
    // The Install check of one ticked slot without a window: 0, or the
    // message (IDS_DRIVE_NOT_AVAILABLE, IDS_NOT_ENOUGH_SPACE) that names
    // the slot's drive.
    static UINT SlotProblem(const std::string& directory, long long sizeKB, long long availableKB);
    // Stores a checked choice: the four components and the five
    // directories (without a trailing backslash).
    static void TakeChoice(InstallState& state, const std::array<int32_t, kSlots>& selected,
                           std::array<std::string, kSlots> directory);

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;

private:
    void Toggle(int slot);
    // The drive and space checks of Install, slot by slot; false when a
    // slot keeps the page open.
    bool CheckSlots();
    void Install();
};
