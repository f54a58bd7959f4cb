#include "support/MessageBoxAnswerer.h"

#include "fw/Window.h"
#include "resources/resource.h"

namespace {

// The static control that holds the text of a message box.
constexpr int kMessageTextId = 0xFFFF;
// How long a clicked box may stay before it is closed another way.
constexpr DWORD kCloseGraceMs = 3000;
constexpr DWORD kPollMs = 20;

std::string TextOf(HWND hwnd)
{
    char buffer[2048] = {};
    DWORD_PTR copied = 0;
    // Another thread's window: never wait for it without end.
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, (LPARAM)buffer,
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &copied))
        return {};
    return std::string(buffer, (size_t)copied);
}

BOOL CALLBACK CollectBox(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0) return TRUE;
    if (!GetDlgItem(hwnd, kMessageTextId)) return TRUE;
    // The installer's own dialogs (pages, prompts) carry unnamed statics of
    // the same ID; they are bound to a window object, message boxes are not.
    if (fw::Window::FromHandle(hwnd)) return TRUE;
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectPrompt(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && GetDlgItem(hwnd, IDC_DISK_LABEL) &&
        GetDlgItem(hwnd, IDC_DISK_LOCATION))
        *reinterpret_cast<HWND*>(param) = hwnd;
    return TRUE;
}

void Click(HWND dialog, int button)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, button), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &ignored);
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(std::vector<int> buttons) : buttons_(std::move(buttons))
{
    if (buttons_.empty()) buttons_.push_back(IDOK);
    thread_ = std::thread([this] { Run(); });
}

MessageBoxAnswerer::MessageBoxAnswerer(Chooser choose, std::vector<std::string> locations)
    : buttons_{IDOK}, choose_(std::move(choose)), prompts_(true), locations_(std::move(locations))
{
    thread_ = std::thread([this] { Run(); });
}

void MessageBoxAnswerer::WaitUntilClosed(HWND dialog)
{
    DWORD start = GetTickCount();
    while (IsWindow(dialog) && IsWindowVisible(dialog) && GetTickCount() - start < kCloseGraceMs)
        Sleep(kPollMs);
}

void MessageBoxAnswerer::AnswerPrompt(HWND prompt)
{
    std::string location;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back("prompt: " + TextOf(GetDlgItem(prompt, IDC_DISK_LABEL)));
        if (nextLocation_ < locations_.size()) location = locations_[nextLocation_++];
    }
    if (location.empty()) {
        Click(prompt, IDCANCEL);
    } else {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(GetDlgItem(prompt, IDC_DISK_LOCATION), WM_SETTEXT, 0, (LPARAM)location.c_str(),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
        Click(prompt, IDC_NEXT);
    }
    WaitUntilClosed(prompt);
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    stop_ = true;
    thread_.join();
}

std::vector<HWND> MessageBoxAnswerer::FindMessageBoxes()
{
    std::vector<HWND> found;
    EnumWindows(CollectBox, (LPARAM)&found);
    return found;
}

bool MessageBoxAnswerer::Answer(HWND box)
{
    Box seen;
    seen.caption = TextOf(box);
    seen.text = TextOf(GetDlgItem(box, kMessageTextId));
    size_t index;
    {
        // Recorded before the click: the thread that shows the box may look
        // at the record as soon as the box is gone.
        std::lock_guard<std::mutex> lock(mutex_);
        index = boxes_.size();
        seen.pressed = buttons_[index < buttons_.size() ? index : buttons_.size() - 1];
        boxes_.push_back(seen);
        seen_.push_back(seen.caption + ": " + seen.text);
    }
    // The chooser is asked outside the lock: it may act as a person would.
    if (choose_) {
        int pressed = choose_(seen.text);
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_[index].pressed = seen.pressed = pressed;
    }
    if (GetDlgItem(box, seen.pressed)) Click(box, seen.pressed);
    // The click should close the box; when it does not (no such button,
    // a box that ignores it), close it so that the run goes on.
    WaitUntilClosed(box);
    DWORD start;
    if (IsWindow(box) && IsWindowVisible(box)) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_[index].forced = true;
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageA(box, WM_CLOSE, 0, 0);
        start = GetTickCount();
        while (IsWindow(box) && GetTickCount() - start < kCloseGraceMs) Sleep(kPollMs);
    }
    return true;
}

void MessageBoxAnswerer::Run()
{
    while (!stop_) {
        std::vector<HWND> found = FindMessageBoxes();
        if (found.empty()) {
            HWND prompt = nullptr;
            if (prompts_) EnumWindows(CollectPrompt, (LPARAM)&prompt);
            if (prompt) {
                Sleep(50);
                AnswerPrompt(prompt);
            } else {
                Sleep(kPollMs);
            }
            continue;
        }
        // Give the box a moment to finish its initialisation (buttons,
        // focus) before it is clicked.
        Sleep(50);
        if (IsWindow(found.front())) Answer(found.front());
    }
}

bool MessageBoxAnswerer::WaitForBoxes(size_t count, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (Count() >= count) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(kPollMs);
    }
}

std::vector<MessageBoxAnswerer::Box> MessageBoxAnswerer::Boxes()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

size_t MessageBoxAnswerer::Count()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_.size();
}

std::vector<std::string> MessageBoxAnswerer::Seen()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}
