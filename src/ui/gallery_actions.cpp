#include "ui/gallery_actions.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "format/byte_fields.h"
#include "format/digest.h"
#include "operations/extraction.h"
#include "operations/replacement.h"
#include "platform/win32/wide_text.h"
#include "report/lines.h"
#include "ui/dropped_files.h"
#include "ui/gallery_texts.h"
#include "ui/list_box_report_log.h"
#include "ui/main_window.h"
#include "ui/mod_commands.h"
#include "ui/open_dialog.h"
#include "ui/outcome_line_log.h"
#include "ui/page_save_dialog.h"
#include "ui/picture_clipboard.h"
#include "ui/question_box.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

std::string SetFolder(const std::string& setPath) {
    const std::size_t separator = setPath.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : setPath.substr(0, separator);
}

std::string FileName(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool SameIndexEntry(const operations::IndexedTexture& a, const operations::IndexedTexture& b) {
    return a.name == b.name && a.offset == b.offset && a.length == b.length && a.width == b.width &&
           a.height == b.height && a.depth == b.depth;
}

// Whether the loaded set is still the one shown, with every texture where
// the tiles say, and `texture`'s image the one its tile was drawn from.
bool StillAsShown(const Gallery& gallery, std::size_t texture) {
    if (TheToolState().setPath != gallery.setPath || texture >= gallery.textures.size()) {
        return false;
    }
    const std::optional<std::vector<operations::IndexedTexture>> now =
        operations::IndexTextures(gallery.setPath);
    if (!now || !std::equal(now->begin(), now->end(), gallery.textures.begin(),
                            gallery.textures.end(), SameIndexEntry)) {
        return false;
    }
    const std::optional<std::uint64_t>& drawn = gallery.shown[texture];
    if (!drawn) return true;  // never drawn: its place and label are all it showed
    const std::vector<std::uint8_t> image =
        operations::ReadTextureImage(gallery.setPath, (*now)[texture]);
    return format::DigestOf(format::Bytes(image.data(), image.size())) == *drawn;
}

bool ConvertOnImport(const Gallery& gallery) {
    return IsDlgButtonChecked(gallery.window, SORRELWICK_GALLERY_CONVERT) == BST_CHECKED;
}

// "Scale to the texture's size"; it converts too.
bool FitOnImport(const Gallery& gallery) {
    return IsDlgButtonChecked(gallery.window, SORRELWICK_GALLERY_FIT) == BST_CHECKED;
}

// Replaces `texture` with the file at `path`; the view then shows the
// texture replaced, the status line the outcome.
void ReplaceTexture(Gallery& gallery, std::size_t texture, const std::string& path) {
    if (!StillAsShown(gallery, texture)) {
        Tell(gallery, SetChangedLine(gallery.setName));
        Reload(gallery);
        return;
    }
    const std::string fileName = FileName(path);
    if (TextureNamedAs(gallery.textures, texture, fileName) != std::string::npos &&
        !AskYesNo(gallery.window, ReplaceWithQuestion(gallery.textures[texture].name, fileName))) {
        ShowStatus(gallery, "");  // the answer was the action
        return;
    }
    std::string outcome;
    {
        ListBoxReportLog report(ReportListOf(gallery));
        OutcomeLineLog log(&report);
        operations::ReplaceTextureAt(TheToolState(), texture, path, &log,
                                     {ConvertOnImport(gallery), FitOnImport(gallery)});
        outcome = log.Outcome();
    }
    Reload(gallery);
    if (texture < gallery.textures.size()) Select(gallery, texture);
    ShowStatus(gallery, outcome);
}

// `name` in `folder`, or when a file has it, the first of "stem (2).ext",
// "stem (3).ext" and on that none has.
std::string FreeName(const std::string& folder, const std::string& name) {
    const auto taken = [&](const std::string& candidate) {
        const std::optional<std::wstring> wide = platform::WidePath(folder + "\\" + candidate);
        return wide && GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    if (folder.empty() || !taken(name)) return name;
    const std::size_t dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (int i = 2; i < 1000; ++i) {
        std::string candidate = stem + " (" + std::to_string(i) + ")" + extension;
        if (!taken(candidate)) return candidate;
    }
    return name;
}

// One item dropped on a tile: a set or a mod counts as dropped on the
// main window, whatever it lies on.
bool IsSetOrMod(const DroppedItem& item) {
    return ChooseFromDrop({item}).set || DroppedMod({item});
}

// The report's line `index`, as UTF-8.
std::string ReportLine(HWND report, WPARAM index) {
    std::wstring wide(static_cast<std::size_t>(SendMessageW(report, LB_GETTEXTLEN, index, 0)),
                      L'\0');
    SendMessageW(report, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
    return platform::Utf8FromWide(wide).value_or("");
}

// What a drop that loaded a set or applied a mod did, from the report's
// lines from `from` on: a mod's first outcome; a loaded set's heading
// ("Loading set2.DAT"), or why it was not loaded.
std::string DropOutcome(HWND report, LRESULT from, bool mod) {
    OutcomeLineLog log(nullptr);
    const LRESULT count = SendMessageW(report, LB_GETCOUNT, 0, 0);
    for (LRESULT i = std::max<LRESULT>(from, 0); i < count; ++i) {
        log.AppendLine(ReportLine(report, static_cast<WPARAM>(i)));
    }
    const bool loaded = !TheToolState().setPath.empty();
    return mod || !loaded ? log.Outcome() : log.Heading();
}

}  // namespace

std::string LastReportLineSince(HWND report, LRESULT from) {
    for (LRESULT i = SendMessageW(report, LB_GETCOUNT, 0, 0) - 1; i >= std::max<LRESULT>(from, 0);
         --i) {
        std::string line = ReportLine(report, static_cast<WPARAM>(i));
        if (!line.empty() && line != report::kSeparatorLine) return line;
    }
    return {};
}

void ReplaceFromFile(Gallery& gallery, std::size_t texture) {
    const std::optional<std::string> path =
        AskForTextureFile(gallery.window, SetFolder(gallery.setPath),
                          ConvertOnImport(gallery) || FitOnImport(gallery));
    if (path) ReplaceTexture(gallery, texture, *path);
}

void ExtractToFile(Gallery& gallery, std::size_t texture) {
    const std::string folder = SetFolder(gallery.setPath);
    const std::string name = FreeName(folder, gallery.textures[texture].name);
    const std::optional<std::string> path =
        AskWhereToExtractTexture(gallery.window, folder.empty() ? name : folder + "\\" + name);
    if (!path) return;
    ListBoxReportLog report(ReportListOf(gallery));
    OutcomeLineLog log(&report);
    operations::ExtractTextureAs(TheToolState(), texture, *path, &log);
    ShowStatus(gallery, log.Outcome());
}

void CopySelected(Gallery& gallery) {
    const std::optional<std::size_t> selected = Selected(gallery);
    if (!selected) return;
    operations::TexturePicture picture;
    try {
        picture = operations::MakeUnblendedPicture(ShownImage(gallery, *selected));
    } catch (const std::bad_alloc&) {
        return;  // nothing copied, as for a picture that can't be made
    }
    CopyTexture(gallery.window, picture, gallery.textures[*selected].name);
}

std::optional<std::size_t> TileAt(const Gallery& gallery, POINT at) {
    LVHITTESTINFO hit = {};
    hit.pt = at;
    const LRESULT item = SendMessageW(gallery.list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (item < 0 || !(hit.flags & LVHT_ONITEM) ||
        static_cast<std::size_t>(item) >= gallery.textures.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(item);
}

void DropOnGallery(Gallery& gallery, HDROP drop) {
    POINT at = {};
    DragQueryPoint(drop, &at);
    const std::vector<DroppedItem> items = DroppedItems(drop);
    DragFinish(drop);
    if (std::any_of(items.begin(), items.end(), IsSetOrMod)) {
        // The main window lists the set and reloads the gallery.
        const HWND report = ReportListOf(gallery);
        const LRESULT before = SendMessageW(report, LB_GETCOUNT, 0, 0);
        OpenDroppedItems(gallery.mainWindow, items);
        ShowStatus(gallery, DropOutcome(report, before, DroppedMod(items).has_value()));
        return;
    }
    MapWindowPoints(gallery.window, gallery.list, &at, 1);
    const std::optional<std::size_t> texture = TileAt(gallery, at);
    if (items.size() == 1 && texture && !items.front().path.empty() && !items.front().folder) {
        return ReplaceTexture(gallery, *texture, items.front().path);
    }
    std::vector<std::string> names;
    for (const DroppedItem& item : items) names.push_back(item.name);
    if (names.empty()) return;
    Tell(gallery,
         names.size() == 1 ? DroppedBesideTilesLine(names.front()) : DroppedSeveralLine(names));
}

}  // namespace sorrelwick::ui
