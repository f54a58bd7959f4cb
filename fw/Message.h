// Every message box of the program: one place that gives each its owner,
// its caption (the application's title unless a message has a caption of
// its own) and its buttons and icon.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace fw {

// Who answers the boxes when no person is at the screen: given the text's
// string ID (0 for a text of its own), the text and the box's type, the
// button it would press. While one is set no box is shown; every message,
// shown or answered, goes into the diagnostic log with its answer.
using MessageAnswerer = std::function<int(UINT textId, const std::string& text, UINT type)>;
void SetMessageAnswerer(MessageAnswerer answerer);
// The name of a box's answer ("OK", "Cancel", "Yes", ...), for the log.
const char* AnswerName(int answer);

// The caption string of every box that names none.
UINT DefaultCaptionId();

// `text` in a box owned by `owner` (null: none); the button pressed.
int ShowMessage(HWND owner, const std::string& text, UINT type, UINT captionId = DefaultCaptionId());
// The same with a caption of its own.
int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type);
// String `textId`, with "%1" replaced by `argument` in the second form.
int ShowMessageId(HWND owner, UINT textId, UINT type, UINT captionId = DefaultCaptionId());
int ShowMessageArg(HWND owner, UINT textId, const std::string& argument, UINT type,
                   UINT captionId = DefaultCaptionId());

// The installer's usual warning: OK and the exclamation icon.
constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION;
// A yes-or-no question.
constexpr UINT kQuestion = MB_YESNO | MB_ICONQUESTION;

}  // namespace fw
