#include "operations/preview.h"

#include <bit>
#include <new>
#include <optional>

#include "format/chunk.h"
#include "format/png_encoding.h"
#include "format/tga_header.h"
#include "format/tga_image.h"
#include "operations/page_file.h"
#include "operations/preview_page.h"
#include "operations/set_file_walk.h"
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

// The picture's colour, opaque, and its alpha as grey, beside it on the card.
void AddColourAndAlpha(const format::DecodedImage& image, PreviewCard& card) {
    const std::size_t pixels = image.rgba.size() / 4;
    std::vector<std::uint8_t> samples(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        for (std::size_t c = 0; c < 3; ++c) samples[i * 3 + c] = image.rgba[i * 4 + c];
    }
    card.colourPng = format::EncodePng(image.width, image.height, 3, samples);
    samples.resize(pixels);
    for (std::size_t i = 0; i < pixels; ++i) samples[i] = image.rgba[i * 4 + 3];
    card.alphaPng = format::EncodePng(image.width, image.height, 1, samples);
}

PreviewCard CardOf(const std::string& name, format::Bytes tga) {
    const format::TgaHeader header = format::ReadTgaHeader(tga).value_or(format::TgaHeader{});
    PreviewCard card{name, header.width, header.height, header.depth, header.imageType, {}, {}, {},
                     {}};
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
    if (image.alpha && !card.png.empty()) AddColourAndAlpha(image, card);
    return card;
}

// The page being written: its draft file, and whether a write to it failed,
// after which nothing more is written.
struct PageOutput {
    PageDraft draft;
    bool writeFailed = false;

    PageSink Sink() {
        return [this](std::string_view text) {
            if (!writeFailed) writeFailed = !draft.temporary.file.Write(text.data(), text.size());
        };
    }
};

// The texture's card onto the page and its line into the report, as long as
// the walk holds.
void AddTexture(PageOutput& page, PreviewSummary& summary, format::ChunkWalk& walk,
                const format::Chunk& chunk, report::ReportLog& log) {
    format::TrackTextureName(walk, chunk);
    if (!walk.result || !format::IsNamedTexture(walk, chunk)) return;
    // A picture takes several times its image's size.
    if (!platform::MayAllocate()) {
        walk.Fail(std::string(report::msg::kNotEnoughMemory));
        return;
    }
    try {
        const PreviewCard card = CardOf(walk.currentTextureName, chunk.payload);
        WriteCard(card, page.Sink());
        ++summary.textureCount;
        log.AppendLine(
            report::TextureInfoLine(card.name, card.width, card.height, card.depth,
                                    report::msg::PreviewOutcome(!card.png.empty(), card.flags)));
    } catch (const std::bad_alloc&) {
        walk.Fail(std::string(report::msg::kNotEnoughMemory));
    }
}

// Every card of the set into the draft, between the page's opening and
// closing. False, with the line that says why, when the set could not be
// read whole or the draft not written.
bool WriteCards(const ToolState& state, PageOutput& page, report::ReportLog& log) {
    SetFileReader reader{.setName = state.setName};
    PreviewSummary summary;
    if (StartSetFile(state.setPath, reader, log)) {
        if (const std::optional<std::uint64_t> rest = reader.file.Remaining())
            summary.fileSize = *rest + format::kChunkHeaderSize;
        WritePageOpening(state.setName, page.Sink());
        format::Chunk chunk;
        while (!page.writeFailed && NextSetChunk(reader, chunk))
            AddTexture(page, summary, reader.walk, chunk, log);
    }
    const bool read = FinishSetFile(reader, log);
    if (read) WritePageClosing(summary, page.Sink());
    if (page.writeFailed) log.AppendLine(report::msg::CouldNotWrite(page.draft.path));
    return read && !page.writeFailed;
}

bool WritePage(const ToolState& state, const PreviewRequest& request, report::ReportLog& log) {
    PageOutput page;
    if (!StartPageFile(request.pagePath, page.draft, log)) return false;
    if (!WriteCards(state, page, log)) {
        AbandonPageFile(page.draft, log);
        return false;
    }
    return FinishPageFile(page.draft, request.replaceExisting, log);
}

}  // namespace

bool WritePreviewPage(const ToolState& state, const PreviewRequest& request,
                      report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    const std::string& pagePath = request.pagePath;
    if (pagePath.empty()) {
        log->AppendLine(report::msg::kInvalidPreviewPath);
        return false;
    }
    report::AddHeading(*log, report::msg::Previewing(state.setName, pagePath));
    const bool written = WritePage(state, request, *log);
    if (!written) {
        log->AppendLine(report::msg::kNoPreviewWritten);
    } else {
        log->AppendLine(report::msg::PreviewWritten(pagePath));
        if (request.show && !request.show(pagePath))
            log->AppendLine(report::msg::CouldNotShowPage(pagePath));
    }
    report::AddClosing(*log);
    return written;
}

}  // namespace sorrelwick::operations
