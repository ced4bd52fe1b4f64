#pragma once
// A texture's card on a preview page, made from its TGA image: its facts
// from the header, its flags, and its pictures as PNG.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "format/byte_fields.h"
#include "format/tga_image.h"
#include "operations/ordered_pipeline.h"
#include "operations/preview_page.h"

namespace sorrelwick::operations {

// Why a texture's image has no picture, as its card says it ("image header
// not readable", "too large to show"...); empty when `decoded` has one.
std::string MissingPictureReason(const format::DecodeResult& decoded, format::Bytes tga);

// Throws std::bad_alloc when memory runs out.
PreviewCard MakePreviewCard(const std::string& name, format::Bytes tga);

// A card to be made away from the page: the texture's image as read, and
// what the page adds to the card.
struct CardJob {
    std::string name;
    std::vector<std::uint8_t> tga;
    std::string note;
    std::optional<CardPlace> place;
};

// A card made: its facts (the pictures dropped) for the report, and its
// HTML as the page takes it.
struct CardText {
    PreviewCard facts;
    bool pictured = false;  // the card shows the texture's picture
    std::string html;
};

// Touches no file: runs on any thread. Throws std::bad_alloc.
CardText MakeCardText(CardJob& job);

// The cards of a page, made on every core and written in file order.
using CardPipeline = OrderedPipeline<CardJob, CardText>;

}  // namespace sorrelwick::operations
