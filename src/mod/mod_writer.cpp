#include "mod/mod_writer.h"

#include "format/chunk_walk.h"
#include "mod/mod_file.h"
#include "mod/mod_messages.h"
#include "operations/page_file.h"
#include "platform/file.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::mod {
namespace {

bool IsChessSet(const std::string& path) {
    platform::File file = platform::File::OpenForReading(path);
    return file.IsOpen() && format::ReadSetSignature(file).has_value();
}

format::Bytes TextBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

ByteVector ModArchive(const ModManifest& manifest, format::Bytes page,
                      const std::vector<ByteVector>& payloads) {
    ZipWriter zip;
    zip.Add(std::string(kManifestEntry), TextBytes(ManifestJson(manifest)));
    zip.Add(std::string(kPreviewEntry), page);
    for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
        zip.Add(manifest.textures[i].entry, payloads[i]);
    }
    return zip.Finish();
}

bool WriteModFile(const std::string& modPath, const ModManifest& manifest, format::Bytes page,
                  const std::vector<ByteVector>& payloads, bool replaceExisting,
                  report::ReportLog& log) {
    // Said in the mod's own words before anything is written; the draft's
    // move checks again at the moment it replaces.
    if (IsChessSet(modPath)) {
        log.AppendLine(msg::ModIsAChessSet(modPath));
        return false;
    }
    const ByteVector archive = ModArchive(manifest, page, payloads);
    // The reader takes at most so many bytes, of the archive and of what
    // it inflates to.
    std::uint64_t inflated = ManifestJson(manifest).size();
    for (const ByteVector& payload : payloads) inflated += payload.size();
    if (archive.size() > kMaxModBytes || inflated > kMaxModBytes) {
        log.AppendLine(msg::ModTooLarge(modPath, kMaxModBytes));
        return false;
    }
    operations::PageDraft draft;
    if (!operations::StartPageFile(modPath, draft, log)) return false;
    if (!draft.temporary.file.Write(archive.data(), archive.size())) {
        report::AppendFailure(log, report::msg::CouldNotWrite(modPath),
                              draft.temporary.file.LastError());
        operations::AbandonPageFile(draft, log);
        return false;
    }
    const operations::PageOutcome outcome = operations::FinishPageFile(draft, replaceExisting, log);
    // In place, but its folder's flush failed: a power cut may still lose it.
    if (outcome == operations::PageOutcome::Unsettled) {
        log.AppendLine(report::msg::CouldNotWrite(modPath));
    }
    return outcome == operations::PageOutcome::Written;
}

}  // namespace sorrelwick::mod
