#include "ui/question_box.h"

#include "platform/win32/wide_text.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

QuestionBoxFunction showBox = MessageBoxW;

int Show(HWND owner, const std::string& text, UINT type) {
    const std::wstring wide = platform::WideForDisplay(text);
    const std::wstring caption = platform::WideForDisplay(TheToolState().title);
    return showBox(owner, wide.c_str(), caption.c_str(), type);
}

}  // namespace

bool AskYesNo(HWND owner, const std::string& question) {
    return Show(owner, question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TellUser(HWND owner, const std::string& text) {
    Show(owner, text, MB_OK | MB_ICONWARNING);
}

void ReplaceQuestionBoxForTests(QuestionBoxFunction box) {
    showBox = box ? box : MessageBoxW;
}

}  // namespace sorrelwick::ui
