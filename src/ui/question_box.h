#pragma once
// A yes-or-no question in a message box, captioned with the tool's title.

#include <windows.h>

#include <string>

namespace sorrelwick::ui {

// True when the user answers Yes.
bool AskYesNo(HWND owner, const std::string& question);

// Tells `owner`'s user something that needs no answer.
void TellUser(HWND owner, const std::string& text);

// For tests: answers in place of the message box; null restores it.
using QuestionBoxFunction = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
void ReplaceQuestionBoxForTests(QuestionBoxFunction box);

}  // namespace sorrelwick::ui
