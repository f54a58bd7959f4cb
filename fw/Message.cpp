#include "fw/Message.h"

#include "fw/ResString.h"
#include "resources/resource.h"

namespace fw {

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
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

int ShowMessageId(HWND owner, UINT textId, UINT type, UINT captionId)
{
    return ShowMessage(owner, LoadResString(textId), type, captionId);
}

int ShowMessageArg(HWND owner, UINT textId, const std::string& argument, UINT type, UINT captionId)
{
    return ShowMessage(owner, FormatResString(textId, argument), type, captionId);
}

}  // namespace fw
