// Working another program's windows the way a person does: find them by
// title and control ID, click with the mouse, press keys, read texts, and
// take pictures of the screen.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

// Repeats `probe` until it gives a window or `timeoutMs` has passed.
HWND WaitFor(const std::function<HWND()>& probe, DWORD timeoutMs);
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A visible top-level window of process `pid` with window class
// `className` (null: any) and exactly this title.
HWND FindTopLevel(DWORD pid, const char* className, const std::string& title);
// The visible dialog of `pid` with this title that holds a control of ID
// `childId`.
HWND FindDialogWith(DWORD pid, const std::string& title, int childId);
// A visible top-level window of `pid` that has a child with ID `item`.
HWND FindWindowWithItem(DWORD pid, int item);
// One key going down or up, as the keyboard sends it, to whatever window
// has the focus.
void SendKey(WORD vk, bool up);
// The visible message box (dialog class) of `pid` with this caption whose
// text is `text` (empty: any text).
HWND FindMessageBox(DWORD pid, const std::string& caption, const std::string& text = "");
// The text of a message box.
std::string MessageBoxText(HWND box);

std::string Text(HWND hwnd);
RECT Rect(HWND hwnd);
bool IsEnabled(HWND hwnd);
bool IsVisible(HWND hwnd);

// Moves the mouse to the middle of `control` and clicks it.
void Click(HWND control);
// Brings `window` to the front and presses and releases a key there.
void PressKey(HWND window, WORD virtualKey);

// Saves the whole screen as a PNG file.
bool SaveScreenshot(const std::string& path);

}  // namespace ui
