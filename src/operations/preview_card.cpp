#include "operations/preview_card.h"

#include <bit>

#include "format/png_encoding.h"
#include "format/tga_header.h"
#include "format/tga_image.h"
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

}  // namespace

std::string MissingPictureReason(const format::DecodeResult& decoded, format::Bytes tga) {
    const format::TgaHeader header = format::ReadTgaHeader(tga).value_or(format::TgaHeader{});
    std::string reason = MissingPictureFlag(decoded.outcome, header);
    // A side of 0 leaves no pixel to show; the card says why.
    if (reason.empty() && decoded.image.rgba.empty()) {
        return std::string(report::msg::kFlagNotPowerOfTwo);
    }
    if (reason.empty() || decoded.outcome != DecodeOutcome::BadHeader) return reason;
    // A header cut short is said as the card says it.
    if (format::CheckImageCompleteness(tga) == format::ImageCompleteness::CutShort) {
        return std::string(report::msg::kFlagCutShort);
    }
    return reason;
}

PreviewCard MakePreviewCard(const std::string& name, format::Bytes tga) {
    const format::TgaHeader header = format::ReadTgaHeader(tga).value_or(format::TgaHeader{});
    PreviewCard card;
    card.name = name;
    card.width = header.width;
    card.height = header.height;
    card.depth = header.depth;
    card.imageType = header.imageType;
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

CardText MakeCardText(CardJob& job) {
    CardText made{MakePreviewCard(job.name, job.tga), false, {}};
    made.pictured = !made.facts.png.empty();
    made.facts.note = std::move(job.note);
    WriteCard(made.facts, [&made](std::string_view text) { made.html += text; }, job.place);
    // The report needs the facts alone; the pictures are in the HTML.
    made.facts.png = {};
    made.facts.colourPng = {};
    made.facts.alphaPng = {};
    return made;
}

}  // namespace sorrelwick::operations
