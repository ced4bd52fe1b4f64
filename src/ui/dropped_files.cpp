#include "ui/dropped_files.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

// Not a drop of ours: the clipboard's older way of passing memory between
// programs, which a drop also uses.
constexpr UINT kCopyGlobalData = 0x0049;

// Only to name, in the report, a dropped item whose name is no proper
// UTF-16 (and so is never loaded): U+FFFD stands for what does not convert.
std::string Utf8ForDisplay(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
    return text;
}

std::string_view AfterLastSeparator(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos || separator + 1 == path.size()) return path;
    return path.substr(separator + 1);
}

bool EndsInDat(std::string_view name) {
    constexpr std::string_view kExtension = ".dat";
    if (name.size() < kExtension.size()) return false;
    return std::equal(
        kExtension.begin(), kExtension.end(), name.end() - kExtension.size(),
        [](char want, char c) { return want == std::tolower(static_cast<unsigned char>(c)); });
}

}  // namespace

void AcceptDroppedFiles(HWND window) {
    DragAcceptFiles(window, TRUE);
    using MessageFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto allow = user32 ? reinterpret_cast<MessageFilter>(reinterpret_cast<void*>(
                                    GetProcAddress(user32, "ChangeWindowMessageFilterEx")))
                              : nullptr;
    if (!allow) return;  // a system without such filters
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
        allow(window, message, MSGFLT_ALLOW, nullptr);
    }
}

std::vector<DroppedItem> DroppedItems(HDROP drop) {
    std::vector<DroppedItem> items;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        wide.resize(DragQueryFileW(drop, i, wide.data(), length + 1));
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        DroppedItem item;
        item.path = platform::Utf8FromWide(wide).value_or("");
        item.name =
            std::string(AfterLastSeparator(item.path.empty() ? Utf8ForDisplay(wide) : item.path));
        item.folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        items.push_back(std::move(item));
    }
    return items;
}

DropChoice ChooseFromDrop(const std::vector<DroppedItem>& items) {
    DropChoice choice;
    for (const DroppedItem& item : items) {
        if (!choice.set && !item.folder && !item.path.empty() && EndsInDat(item.name)) {
            choice.set = item.path;
        } else {
            choice.others.push_back(item.name);
        }
    }
    return choice;
}

std::string NotLoadedLine(const std::vector<std::string>& names) {
    std::string line = "Dropped but not loaded:";
    for (std::size_t i = 0; i < names.size(); ++i) line.append(i ? ", " : " ").append(names[i]);
    return line;
}

}  // namespace sorrelwick::ui
