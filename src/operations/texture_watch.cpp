#include "operations/texture_watch.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "operations/editing_session.h"
#include "operations/texture_index.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::operations {
namespace {

// How long a wait lasts when no save is pending.
constexpr std::chrono::milliseconds kIdleWait{1000};

// The state of one watch.
class Watch {
public:
    Watch(const ToolState& state, std::string_view folder, const WatchSettings& settings,
          std::vector<IndexedTexture> textures, report::ReportLog& log)
        : state_(state),
          folder_(folder),
          settings_(settings),
          textures_(std::move(textures)),
          log_(log),
          detector_(settings.quiet),
          session_(settings.options) {}

    // Until a stop; false when the folder could no longer be watched.
    bool Run(platform::FolderChanges& changes) {
        for (;;) {
            const std::chrono::milliseconds wait =
                detector_.UntilNextDue(settings_.now()).value_or(kIdleWait);
            std::vector<std::string> names;
            const platform::WatchWait woken = changes.WaitForChanges(wait, names);
            if (woken == platform::WatchWait::Stopped) return true;
            if (woken == platform::WatchWait::Failed) return false;
            for (const std::string& name : names) {
                if (!Textures(name).empty()) detector_.Changed(name, settings_.now());
            }
            for (const std::string& name : detector_.Due(settings_.now())) TakeSave(name);
        }
    }

    std::size_t imported = 0, refused = 0;

private:
    std::vector<std::size_t> Textures(const std::string& name) const {
        return TexturesForFile(textures_, name, settings_.options.convert || settings_.options.fit);
    }

    void TakeSave(const std::string& name) {
        const std::string path = platform::JoinPath(folder_, name);
        const std::optional<platform::FileIdentity> identity = platform::ReadFileIdentity(path);
        // Deleted before it was taken: there is nothing to import.
        if (!identity) return;
        // The very file imported last, named again: nothing new.
        const auto last = lastImported_.find(name);
        if (last != lastImported_.end() && last->second == *identity) return;
        platform::File file = platform::File::OpenForReading(path);
        if (!file.IsOpen()) {
            // The editor still holds it (Windows): taken once it lets go.
            if (platform::MeansInUse(file.LastError())) detector_.Changed(name, settings_.now());
            return;
        }
        file.Close();
        std::size_t refusedFiles = 0;
        const bool done = session_.ImportAt(state_, Textures(name), path, log_, &refusedFiles);
        lastImported_[name] = *identity;
        if (done && refusedFiles == 0) {
            ++imported;
        } else {
            ++refused;
        }
    }

    const ToolState& state_;
    std::string folder_;
    const WatchSettings& settings_;
    std::vector<IndexedTexture> textures_;
    report::ReportLog& log_;
    SaveDetector detector_;
    EditingSession session_;
    std::map<std::string, platform::FileIdentity> lastImported_;
};

// The set's textures, or nullopt after the line that says why there are none.
std::optional<std::vector<IndexedTexture>> SetTextures(const ToolState& state,
                                                       report::ReportLog& log) {
    std::optional<std::vector<IndexedTexture>> textures = IndexTextures(state.setPath);
    if (textures) return textures;
    platform::FileFacts facts;
    if (platform::ReadFileFacts(state.setPath, facts) == platform::FactsOutcome::Found &&
        facts.isFile) {
        log.AppendLine(report::msg::BadFormat(state.setName));
    } else {
        report::AppendFailure(log, report::msg::CouldNotOpen(state.setName),
                              platform::LatestFailure());
    }
    return std::nullopt;
}

// The heading, and the set's textures when the watch can start; when it
// can't, the line that says why. The caller adds the closing.
std::optional<std::vector<IndexedTexture>> StartWatch(const ToolState& state,
                                                      std::string_view folder,
                                                      report::ReportLog& log) {
    report::AddHeading(log, report::msg::Watching(folder, state.setName));
    std::optional<std::vector<IndexedTexture>> textures;
    if (!platform::CanSearchFolder(std::string(folder))) {
        report::AppendFailure(log, report::msg::NotAFolder(folder), platform::LatestFailure());
    } else {
        textures = SetTextures(state, log);
    }
    return textures;
}

bool CanStart(const ToolState& state, std::string_view folder, report::ReportLog& log) {
    if (state.setPath.empty()) {
        log.AppendLine(report::msg::kInvalidLoadSavePath);
        return false;
    }
    if (folder.empty()) {
        log.AppendLine(report::msg::kInvalidImportPath);
        return false;
    }
    return true;
}

bool RunWatch(const ToolState& state, std::string_view folder, platform::FolderChanges& changes,
              const WatchSettings& settings, std::vector<IndexedTexture> textures,
              report::ReportLog& log) {
    Watch watch(state, folder, settings, std::move(textures), log);
    const bool stopped = watch.Run(changes);
    report::AddHeading(log,
                       report::msg::StoppedWatching(folder, watch.imported, watch.refused));
    if (!stopped) report::AppendFailure(log, report::msg::CouldNotWatch(folder), {});
    report::AddClosing(log);
    return stopped && watch.refused == 0;
}

}  // namespace

bool WatchFolder(const ToolState& state, std::string_view folder,
                 platform::FolderChanges& changes, const WatchSettings& settings,
                 report::ReportLog& log) {
    if (!CanStart(state, folder, log)) return false;
    std::optional<std::vector<IndexedTexture>> textures = StartWatch(state, folder, log);
    report::AddClosing(log);
    if (!textures) return false;
    return RunWatch(state, folder, changes, settings, std::move(*textures), log);
}

bool WatchFolder(const ToolState& state, std::string_view folder, const WatchSettings& settings,
                 report::ReportLog& log) {
    if (!CanStart(state, folder, log)) return false;
    // Watching before anything is said: a save made once the heading shows
    // is never missed.
    platform::FolderWatch watch{std::string(folder)};
    std::optional<std::vector<IndexedTexture>> textures = StartWatch(state, folder, log);
    if (textures && !watch.IsWatching()) {
        report::AppendFailure(log, report::msg::CouldNotWatch(folder), watch.Error());
        textures.reset();
    }
    report::AddClosing(log);
    if (!textures) return false;
    return RunWatch(state, folder, watch, settings, std::move(*textures), log);
}

}  // namespace sorrelwick::operations
