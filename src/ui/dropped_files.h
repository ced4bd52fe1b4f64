#pragma once
// Chess sets dropped on the main window: what a drop holds, and which of it
// is loaded.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

namespace sorrelwick::ui {

// Lets `window` take files dropped on it, also from programs that run with
// fewer rights than it does (the system holds their drops back otherwise).
void AcceptDroppedFiles(HWND window);

struct DroppedItem {
    std::string path;  // UTF-8; empty when the name could not be read
    std::string name;  // what follows its last separator, for the report
    bool folder = false;
};

// The files and folders of `drop`, in its order.
std::vector<DroppedItem> DroppedItems(HDROP drop);

struct DropChoice {
    std::optional<std::string> set;   // the chess set to load
    std::vector<std::string> others;  // the names of all that is not loaded
};

// The first file whose name ends in ".DAT" (in any case) is loaded; nothing
// else is.
DropChoice ChooseFromDrop(const std::vector<DroppedItem>& items);

// The report line that names what a drop left unloaded.
std::string NotLoadedLine(const std::vector<std::string>& names);

}  // namespace sorrelwick::ui
