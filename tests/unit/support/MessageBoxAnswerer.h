// Answers the message boxes of this process the way a person would: a
// second thread looks for them, reads their caption and text, and presses a
// button. Construct it before the call that may show a box; every box that
// appears while the object lives is answered, so a box that a test did not
// expect can never hang the test run (the test sees it in Boxes()). Made
// with a chooser, it also answers the installer's diskette prompts.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MessageBoxAnswerer {
public:
    struct Box {
        std::string caption;
        std::string text;
        int pressed = 0;      // the button that was clicked
        bool forced = false;  // the click did not close it; it was closed another way
    };

    // `buttons[i]` is pressed in the i-th box; the last one is pressed in
    // every box after it (IDOK, IDCANCEL, IDYES, IDNO, ...).
    explicit MessageBoxAnswerer(std::vector<int> buttons = {IDOK});
    // `choose` gives the button for a box by its text (it may act first, as
    // a person fixing the fault would); diskette prompts get the next of
    // `locations` typed and Continue, or Exit once they run out or for an
    // empty text.
    using Chooser = std::function<int(const std::string& text)>;
    explicit MessageBoxAnswerer(Chooser choose, std::vector<std::string> locations = {});
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits until `count` boxes have been answered or `timeoutMs` has
    // passed; true when they have.
    bool WaitForBoxes(size_t count, DWORD timeoutMs = 10000);

    std::vector<Box> Boxes();
    size_t Count();
    // What was answered, in order: "caption: text" for a box, "prompt:
    // label" for a diskette prompt.
    std::vector<std::string> Seen();

    // The boxes of this process that are on screen now (message boxes only:
    // dialogs of class "#32770" with a message text control).
    static std::vector<HWND> FindMessageBoxes();

private:
    void Run();
    bool Answer(HWND box);
    void AnswerPrompt(HWND prompt);
    static void WaitUntilClosed(HWND dialog);

    std::vector<int> buttons_;
    Chooser choose_;
    bool prompts_ = false;
    std::vector<std::string> locations_;
    size_t nextLocation_ = 0;
    std::vector<std::string> seen_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::thread thread_;
};
