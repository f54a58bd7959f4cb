#include "fw/Message.h"

#include "fw/DiagnosticLog.h"
#include "fw/ResString.h"
#include "resources/resource.h"

namespace fw {
namespace {

MessageAnswerer& Answerer()
{
    static MessageAnswerer answerer;
    return answerer;
}

int Present(HWND owner, UINT textId, const std::string& text, const std::string& caption, UINT type)
{
    const bool answered = static_cast<bool>(Answerer());
    int answer = answered ? Answerer()(textId, text, type) : MessageBoxA(owner, text.c_str(), caption.c_str(), type);
    if (diag::IsOpen())
        diag::Write(std::string("message ") + std::to_string(textId) + " \"" + text + "\" -> " + AnswerName(answer) +
                    (answered ? " (unattended)" : ""));
    return answer;
}

}  // namespace

void SetMessageAnswerer(MessageAnswerer answerer)
{
    Answerer() = std::move(answerer);
}

const char* AnswerName(int answer)
{
    switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "none";
    }
}

UINT DefaultCaptionId()
{
    return IDS_APP_TITLE;
}

int ShowMessage(HWND owner, const std::string& text, UINT type, UINT captionId)
{
    return ShowMessage(owner, text, LoadResString(captionId), type);
}

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    return Present(owner, 0, text, caption, type);
}

int ShowMessageId(HWND owner, UINT textId, UINT type, UINT captionId)
{
    return Present(owner, textId, LoadResString(textId), LoadResString(captionId), type);
}

int ShowMessageArg(HWND owner, UINT textId, const std::string& argument, UINT type, UINT captionId)
{
    return Present(owner, textId, FormatResString(textId, argument), LoadResString(captionId), type);
}

}  // namespace fw
