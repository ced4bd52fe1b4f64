#include "operations/preview.h"

#include <bit>
#include <new>
#include <optional>

#include "format/png_encoding.h"
#include "format/tga_header.h"
#include "format/tga_image.h"
#include "operations/page_file.h"
#include "operations/preview_page.h"
#include "operations/set_file_walk.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/memory.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

using format::DecodeOutcome;

// Why a decoded image has no picture; empty when it has one.
std::string MissingPictureFlag(DecodeOutcome outcome, const format::TgaHeader& header) {
    switch (outcome) {
        case DecodeOutcome::Decoded:
        case DecodeOutcome::CutShort:
            return {};
        case DecodeOutcome::UnsupportedType:
            return report::msg::FlagNotDecoded(header.imageType, header.depth);
        case DecodeOutcome::BadHeader:
            return std::string(report::msg::kFlagBadHeader);
        case DecodeOutcome::TooLarge:
            return std::string(report::msg::kFlagTooLarge);
    }
    return std::string(report::msg::kFlagBadHeader);
}

PreviewCard CardOf(const std::string& name, format::Bytes tga) {
    const format::TgaHeader header = format::ReadTgaHeader(tga).value_or(format::TgaHeader{});
    PreviewCard card{name, header.width, header.height, header.depth, header.imageType, {}, {}};
    // What the listing reads is there even in a header cut short.
    if (tga.size() < format::kTgaHeaderSize) {
        card.width = format::U16At(tga, 12).value_or(0);
        card.height = format::U16At(tga, 14).value_or(0);
        card.depth = tga.size() > 16 ? tga[16] : 0;
        card.imageType = tga.size() > 2 ? tga[2] : 0;
    }
    if (!std::has_single_bit(card.width) || !std::has_single_bit(card.height)) {
        card.flags.emplace_back(report::msg::kFlagNotPowerOfTwo);
    }
    const format::DecodeResult decoded = format::DecodeTga(tga);
    const bool cutShort =
        format::CheckImageCompleteness(tga) == format::ImageCompleteness::CutShort ||
        decoded.outcome == DecodeOutcome::CutShort;
    if (cutShort) card.flags.emplace_back(report::msg::kFlagCutShort);
    const std::string missing = MissingPictureFlag(decoded.outcome, header);
    if (!missing.empty()) {
        // A header cut short is already said.
        if (!(cutShort && decoded.outcome == DecodeOutcome::BadHeader))
            card.flags.push_back(missing);
        return card;
    }
    const format::DecodedImage& image = decoded.image;
    card.png = format::EncodePng(image.width, image.height, image.rgba);
    return card;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
    platform::File file = platform::File::OpenForReading(path);
    const std::optional<std::uint64_t> size = file.Remaining();
    if (!file.IsOpen() || !file.Close()) return std::nullopt;
    return size;
}

struct Sheet {
    std::string cards;
    std::size_t count = 0;
};

// One card and one report line for each texture, as long as the walk holds.
void AddTexture(Sheet& sheet, format::ChunkWalk& walk, const format::Chunk& chunk,
                report::ReportLog& log) {
    format::TrackTextureName(walk, chunk);
    if (!walk.result || !format::IsNamedTexture(walk, chunk)) return;
    // A picture takes several times its image's size.
    if (!platform::MayAllocate()) {
        walk.Fail(std::string(report::msg::kNotEnoughMemory));
        return;
    }
    try {
        const PreviewCard card = CardOf(walk.currentTextureName, chunk.payload);
        sheet.cards += PreviewCardHtml(card);
        ++sheet.count;
        log.AppendLine(report::TextureInfoLine(
            platform::NameForReport(card.name), card.width, card.height, card.depth,
            report::msg::PreviewOutcome(!card.png.empty(), card.flags)));
    } catch (const std::bad_alloc&) {
        walk.Fail(std::string(report::msg::kNotEnoughMemory));
    }
}

bool WritePage(const ToolState& state, const std::string& pagePath, bool replaceExisting,
               const Sheet& sheet, report::ReportLog& log) {
    const std::optional<std::uint64_t> fileSize = FileSize(state.setPath);
    if (!fileSize) {
        log.AppendLine(report::msg::CouldNotOpen(state.setName));
        log.AppendLine(report::msg::kNoPreviewWritten);
        return false;
    }
    std::string page;
    try {
        page = PreviewPageHtml({state.setName, *fileSize, sheet.count}, sheet.cards);
    } catch (const std::bad_alloc&) {
        log.AppendLine(report::msg::kNotEnoughMemory);
        log.AppendLine(report::msg::kNoPreviewWritten);
        return false;
    }
    if (!WritePageFile(pagePath, page, replaceExisting, log)) return false;
    log.AppendLine(report::msg::PreviewWritten(pagePath));
    return true;
}

}  // namespace

bool WritePreviewPage(const ToolState& state, const std::string& pagePath, bool replaceExisting,
                      report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    if (pagePath.empty()) {
        log->AppendLine(report::msg::kInvalidPreviewPath);
        return false;
    }
    report::AddHeading(*log, report::msg::Previewing(state.setName, pagePath));
    Sheet sheet;
    bool result = WalkSetFile(state.setPath, state.setName, *log,
                              [&sheet, log](format::ChunkWalk& walk, const format::Chunk& chunk) {
                                  AddTexture(sheet, walk, chunk, *log);
                              });
    if (result) {
        result = WritePage(state, pagePath, replaceExisting, sheet, *log);
    } else {
        log->AppendLine(report::msg::kNoPreviewWritten);
    }
    report::AddClosing(*log);
    return result;
}

}  // namespace sorrelwick::operations
