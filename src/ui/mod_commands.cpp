#include "ui/mod_commands.h"

#include "mod/mod_apply.h"
#include "mod/mod_file.h"
#include "mod/mod_pack.h"
#include "platform/win32/wide_text.h"
#include "ui/list_box_report_log.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/page_save_dialog.h"
#include "ui/question_text.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

ConfirmFunction confirm = MessageBoxW;

constexpr std::size_t kMostTitleCharacters = 80;
constexpr std::size_t kMostAuthorCharacters = 60;

std::string Counted(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

// "Apply the mod "Red board" to set1.DAT? It changes 3 textures and 5
// materials where the set still holds what the mod was made on."
std::string Question(const mod::ModManifest& manifest, const std::string& modPath,
                     const std::string& setName) {
    const std::size_t separator = modPath.find_last_of("\\/");
    // The mod's own texts, one plain line each: they can't pass for the
    // question's lines.
    const std::string title = PlainOneLine(
        manifest.title.empty() ? modPath.substr(separator == std::string::npos ? 0 : separator + 1)
                               : manifest.title,
        kMostTitleCharacters);
    std::string text = "Apply the mod \"" + title + "\" to " + setName + "?\n\nIt changes " +
                       Counted(manifest.textures.size(), "texture", "textures") + " and " +
                       Counted(manifest.materials.size(), "material", "materials") +
                       " where the set still holds what the mod was made on.";
    if (!manifest.author.empty()) {
        text += "\nBy " + PlainOneLine(manifest.author, kMostAuthorCharacters) + ".";
    }
    return text;
}

bool EndsInZip(const std::string& name) {
    static constexpr char kZip[] = ".zip";
    if (name.size() < 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = name[name.size() - 4 + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kZip[i]) return false;
    }
    return true;
}

}  // namespace

void ApplyModCommand(HWND mainWindow, int) {
    const ToolState& state = TheToolState();
    if (state.setPath.empty()) return;
    const std::optional<std::string> path =
        AskForChessSet(mainWindow, state.lastFolder, OpenChoice::kModFile);
    if (path) ApplyModFile(mainWindow, *path);
}

void ApplyModFile(HWND mainWindow, const std::string& modPath) {
    const ToolState& state = TheToolState();
    if (state.setPath.empty()) return;
    // Read here only for the question; applying reads it again, as any
    // file may change between the two.
    if (const std::optional<mod::ModFile> mod = mod::ReadModFile(modPath)) {
        const std::wstring text =
            platform::WideForDisplay(Question(mod->manifest, modPath, state.setName));
        const std::wstring caption = platform::WideForDisplay(state.title);
        if (confirm(mainWindow, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) !=
            IDYES) {
            return;
        }
    }
    const HWND list = GetDlgItem(mainWindow, SORRELWICK_REPORT_LIST);
    ListBoxReportLog log(list);
    mod::ApplyMod(state, {modPath, false, false}, list ? &log : nullptr);
    LoadSet(mainWindow, state.setPath);
}

std::optional<DroppedItem> DroppedMod(const std::vector<DroppedItem>& items) {
    for (const DroppedItem& item : items) {
        if (!item.folder && !item.path.empty() && EndsInZip(item.name)) return item;
    }
    return std::nullopt;
}

void SaveChangesAsMod(HWND owner, HWND report, const std::string& setPath, unsigned number) {
    const std::string suggested = SuggestedPagePath(setPath);
    const std::optional<std::string> modPath =
        AskWhereToSaveMod(owner, suggested.substr(0, suggested.size() - 5) + ".zip");
    if (!modPath) return;
    ToolState state;
    SetLoadedSet(state, setPath);
    ListBoxReportLog log(report);
    // The save dialog has asked before an existing file was chosen.
    mod::PackMod(state, {std::to_string(number), *modPath, {}, {}, {}, true},
                 report ? &log : nullptr);
}

void ReplaceConfirmationForTests(ConfirmFunction function) {
    confirm = function ? function : MessageBoxW;
}

}  // namespace sorrelwick::ui
