#include "ui/texture_editing.h"

// After windows.h, which they need.
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "operations/editing_session.h"
#include "operations/save_detector.h"
#include "operations/texture_file_name.h"
#include "operations/texture_png.h"
#include "operations/texture_watch.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/folder_watch.h"
#include "platform/system_error.h"
#include "platform/win32/wide_text.h"
#include "report/reason_line.h"
#include "ui/gallery_actions.h"
#include "ui/gallery_texts.h"
#include "ui/list_box_report_log.h"
#include "ui/outcome_line_log.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {

// One file in the editor: the texture it goes into, and the file as it was
// last written by us or imported, so that a change that brings nothing new
// (our own writing of it, a save of the very same file) imports nothing.
struct EditedFile {
    std::string name;  // in the editing folder
    std::size_t texture;
    std::string textureName;
    std::optional<platform::FileIdentity> taken;
};

struct TextureEdits {
    TextureEdits(std::string set, std::string editingFolder)
        : setPath(std::move(set)), folder(std::move(editingFolder)), watch(folder) {}

    std::string setPath;
    std::string folder;
    platform::FolderWatch watch;
    operations::SaveDetector detector{operations::kSaveQuietPeriod};
    // Converted and scaled to the texture's sides, whatever the editor saves.
    operations::EditingSession session{{true, true, nullptr}};
    std::vector<EditedFile> files;
    bool importing = false;  // an import pumps no messages, but a dialog might
};

void EndTextureEdits::operator()(TextureEdits* edits) const {
    delete edits;
}

namespace {

// How often the timer asks the folder's watch: well inside the quiet period.
constexpr UINT kTick = 50;

std::optional<std::string> LocalAppData() {
    PWSTR path = nullptr;
    std::optional<std::string> found;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) && path) {
        found = platform::Utf8FromWide(path);
    }
    CoTaskMemFree(path);
    return found;
}

// Creates `folder` and the folders above it up to `from`, which exists.
bool MakeFolders(const std::string& from, const std::string& folder) {
    for (std::size_t at = from.size(); at != std::string::npos;) {
        at = folder.find('\\', at + 1);
        const std::optional<std::wstring> wide = platform::WidePath(folder.substr(0, at));
        if (!wide) return false;
        if (!CreateDirectoryW(wide->c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return true;
}

// The file `texture` is in the editor as, if it is still there; one the
// user deleted is forgotten, so that the texture is written anew.
EditedFile* FileFor(TextureEdits& edits, std::size_t texture, const std::string& name) {
    for (auto file = edits.files.begin(); file != edits.files.end(); ++file) {
        if (file->texture != texture || file->textureName != name) continue;
        if (platform::ReadFileIdentity(edits.folder + "\\" + file->name)) return &*file;
        edits.files.erase(file);
        return nullptr;
    }
    return nullptr;
}

EditedFile* FileNamed(TextureEdits& edits, std::string_view name) {
    for (EditedFile& file : edits.files) {
        if (operations::SameNameIgnoringCase(file.name, name)) return &file;
    }
    return nullptr;
}

// The watch of the set's editing folder, started when none is; null after
// the line that says why it can't be.
TextureEdits* StartEditing(Gallery& gallery, report::ReportLog& log) {
    if (gallery.edits && gallery.edits->setPath == gallery.setPath) return gallery.edits.get();
    StopEditing(gallery);
    const std::optional<std::string> base = LocalAppData();
    const std::string folder = EditingFolder(gallery.setName);
    if (!base || folder.empty() || !MakeFolders(*base, folder)) {
        report::AppendFailure(log, "Could not make the editing folder " + folder,
                              platform::CaptureSystemError());
        return nullptr;
    }
    gallery.edits.reset(new TextureEdits(gallery.setPath, folder));
    if (!gallery.edits->watch.IsWatching()) {
        report::AppendFailure(log, "Could not watch the editing folder " + folder,
                              gallery.edits->watch.Error());
        gallery.edits.reset();
        return nullptr;
    }
    SetTimer(gallery.window, kEditingTimer, kTick, nullptr);
    return gallery.edits.get();
}

// `texture` written as a PNG under a name no other file of the folder has:
// a file left from an earlier edit is never written over.
EditedFile* WriteForEditor(Gallery& gallery, TextureEdits& edits, std::size_t texture,
                           report::ReportLog& log) {
    const std::string& textureName = gallery.textures[texture].name;
    const std::string first = EditingFileName(textureName);
    const std::string stem = first.substr(0, first.size() - 4);
    for (int i = 1; i < 1000; ++i) {
        const std::string name = i == 1 ? first : stem + " (" + std::to_string(i) + ").png";
        if (FileNamed(edits, name)) continue;
        const std::string path = edits.folder + "\\" + name;
        const operations::PngWrite written =
            operations::WriteTextureAsPng(TheToolState(), texture, path);
        if (written.outcome == operations::PngWriteOutcome::AlreadyExists) continue;
        if (written.outcome != operations::PngWriteOutcome::Written) {
            report::AppendFailure(log, EditingFileNotWrittenLine(textureName, path), written.cause);
            return nullptr;
        }
        edits.files.push_back({name, texture, textureName, platform::ReadFileIdentity(path)});
        return &edits.files.back();
    }
    log.AppendLine(EditingFileNotWrittenLine(textureName, edits.folder));
    return nullptr;
}

// Opens `path` as Explorer's "Edit" does, else as its "Open" does; the
// system's reason when neither starts a program.
std::optional<platform::SystemError> OpenInEditor(HWND owner, const std::string& path) {
    const std::optional<std::wstring> file = platform::WidePath(path);
    if (!file) return platform::SystemError{};
    platform::SystemError reason{};
    for (const wchar_t* verb : {L"edit", L"open"}) {
        SHELLEXECUTEINFOW run = {};
        run.cbSize = sizeof run;
        // No message box of the shell's own: the report says why.
        run.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        run.hwnd = owner;
        run.lpVerb = verb;
        run.lpFile = file->c_str();
        run.nShow = SW_SHOWNORMAL;
        if (ShellExecuteExW(&run)) return std::nullopt;
        reason = platform::CaptureSystemError();
    }
    return reason;
}

void TakeSave(Gallery& gallery, TextureEdits& edits, EditedFile& file) {
    const std::string path = edits.folder + "\\" + file.name;
    const std::optional<platform::FileIdentity> identity = platform::ReadFileIdentity(path);
    if (!identity || identity == file.taken) return;  // deleted, or nothing new
    {
        platform::File open = platform::File::OpenForReading(path);
        if (!open.IsOpen()) {
            // The editor still holds it: taken once it lets go.
            if (platform::MeansInUse(open.LastError())) {
                edits.detector.Changed(file.name, operations::SaveDetector::Clock::now());
            }
            return;
        }
    }
    if (TheToolState().setPath != edits.setPath || file.texture >= gallery.textures.size() ||
        gallery.textures[file.texture].name != file.textureName) {
        Tell(gallery, SetChangedLine(gallery.setName));
        return;
    }
    std::string outcome;
    {
        ListBoxReportLog report(ReportListOf(gallery));
        OutcomeLineLog log(&report);
        edits.importing = true;
        edits.session.ImportAt(TheToolState(), {file.texture}, path, log);
        edits.importing = false;
        outcome = log.Outcome();
    }
    file.taken = identity;
    const std::size_t texture = file.texture;
    Reload(gallery);
    if (texture < gallery.textures.size()) Select(gallery, texture);
    ShowStatus(gallery, outcome);
}

}  // namespace

std::string EditingFolder(const std::string& setName) {
    const std::optional<std::string> base = LocalAppData();
    if (!base || base->empty() || setName.empty()) return {};
    return *base + "\\Sorrelwick\\Editing\\" + setName;
}

void EditInImageEditor(Gallery& gallery, std::size_t texture) {
    if (texture >= gallery.textures.size() || gallery.setPath.empty()) return;
    const HWND list = ReportListOf(gallery);
    const LRESULT before = SendMessageW(list, LB_GETCOUNT, 0, 0);
    {
        ListBoxReportLog log(list);
        TextureEdits* edits = StartEditing(gallery, log);
        const std::string& name = gallery.textures[texture].name;
        EditedFile* file = edits ? FileFor(*edits, texture, name) : nullptr;
        if (edits && !file) file = WriteForEditor(gallery, *edits, texture, log);
        if (file) {
            const std::string path = edits->folder + "\\" + file->name;
            const std::optional<platform::SystemError> failed = OpenInEditor(gallery.window, path);
            if (failed) {
                report::AppendFailure(log, EditorNotStartedLine(path), *failed);
                log.AppendLine(kExtractInstead);
            } else {
                log.AppendLine(EditorOpenedLine(name, path));
            }
        }
    }
    ShowStatus(gallery, LastReportLineSince(list, before));
}

void TakeEditorSaves(Gallery& gallery) {
    if (!gallery.edits) {
        KillTimer(gallery.window, kEditingTimer);
        return;
    }
    TextureEdits& edits = *gallery.edits;
    if (edits.importing) return;
    std::vector<std::string> names;
    platform::WatchWait woken = platform::WatchWait::Changed;
    // What came since the last tick, without waiting for more.
    for (int i = 0; i < 16 && woken == platform::WatchWait::Changed; ++i) {
        woken = edits.watch.WaitForChanges(std::chrono::milliseconds(0), names);
    }
    const auto now = operations::SaveDetector::Clock::now();
    for (const std::string& name : names) {
        if (const EditedFile* file = FileNamed(edits, name))
            edits.detector.Changed(file->name, now);
    }
    if (woken == platform::WatchWait::Failed) {
        ListBoxReportLog report(ReportListOf(gallery));
        report::AppendFailure(report, "Stopped watching the editing folder " + edits.folder,
                              edits.watch.Error());
        StopEditing(gallery);
        return;
    }
    for (const std::string& name : edits.detector.Due(now)) {
        // An import reloads the gallery, which may end the watch.
        if (!gallery.edits) return;
        if (EditedFile* file = FileNamed(*gallery.edits, name))
            TakeSave(gallery, *gallery.edits, *file);
    }
}

void StopEditing(Gallery& gallery) {
    if (gallery.window) KillTimer(gallery.window, kEditingTimer);
    gallery.edits.reset();
}

}  // namespace sorrelwick::ui
