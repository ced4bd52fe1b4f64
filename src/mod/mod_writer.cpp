#include "mod/mod_writer.h"

#include "format/chunk_walk.h"
#include "mod/mod_file.h"
#include "mod/mod_messages.h"
#include "operations/ordered_pipeline.h"
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
                      const std::vector<ByteVector>& payloads, unsigned jobs) {
    const std::string json = ManifestJson(manifest);
    std::vector<std::pair<std::string, format::Bytes>> entries = {
        {std::string(kManifestEntry), TextBytes(json)}, {std::string(kPreviewEntry), page}};
    for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
        entries.emplace_back(manifest.textures[i].entry, payloads[i]);
    }
    // Each entry is deflated on the pool and added in order: the bytes are
    // those of one thread.
    ZipWriter zip;
    std::size_t next = 0;
    operations::OrderedPipeline<std::size_t, ZipPrepared> prepare(
        jobs, [&entries](std::size_t& i) { return PrepareZipEntry(entries[i].second); },
        [&](ZipPrepared& prepared) {
            zip.Add(entries[next].first, entries[next].second, prepared);
            ++next;
        });
    for (std::size_t i = 0; i < entries.size(); ++i) prepare.Push(i);
    prepare.Finish();
    return zip.Finish();
}

bool WriteModFile(const std::string& modPath, const ModManifest& manifest, format::Bytes page,
                  const std::vector<ByteVector>& payloads, bool replaceExisting,
                  report::ReportLog& log, unsigned jobs) {
    // Said in the mod's own words before anything is written; the draft's
    // move checks again at the moment it replaces.
    if (IsChessSet(modPath)) {
        log.AppendLine(msg::ModIsAChessSet(modPath));
        return false;
    }
    const ByteVector archive = ModArchive(manifest, page, payloads, jobs);
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
