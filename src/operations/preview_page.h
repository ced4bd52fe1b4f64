#pragma once
// The preview page's HTML: one self-contained page, pictures inside it as
// data: URIs, styles inside it, no script. Every text that comes from a set
// goes through HtmlText, so no name can add markup. The page is made piece
// by piece, a card at a time, so that no more than one card is ever held.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrelwick::operations {

// What one texture's card shows.
struct PreviewCard {
    std::string name;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t depth = 0;
    std::uint8_t imageType = 0;
    std::vector<std::string> flags;  // what would trouble the game, in words
    std::vector<std::uint8_t> png;   // empty: the card has no picture
    // For a picture with an alpha channel: its colour, opaque, and its alpha
    // as grey; both empty otherwise.
    std::vector<std::uint8_t> colourPng;
    std::vector<std::uint8_t> alphaPng;
    std::string note;  // on a page of changes: the one file that holds it
};

struct PreviewSummary {
    std::optional<std::uint64_t> fileSize;  // none: it could not be measured
    std::size_t textureCount = 0;
};

// Receives the page's text, piece after piece.
using PageSink = std::function<void(std::string_view)>;

// `text` as HTML text or attribute value: markup characters as references,
// bytes from 0x80 as numeric references (read as the Windows single-byte
// code page, as HTML reads 0x80-0x9F), control bytes as U+FFFD. The result
// is plain ASCII.
std::string HtmlText(std::string_view text);
// A path (the set's file name) as the page shows it: its UTF-8 characters as
// they are, any other byte as HtmlText shows it.
std::string HtmlPathText(std::string_view path);

// The page up to its first card: the set's name and the legend.
void WritePageOpening(std::string_view setName, const PageSink& out);

// One card; cards go into the page in file order. On a page of changes,
// `place` is the card's row (from 0) and column (0 before, 1 now).
struct CardPlace {
    std::size_t row = 0;
    unsigned column = 0;
};
void WriteCard(const PreviewCard& card, const PageSink& out,
               std::optional<CardPlace> place = std::nullopt);

// The rest of the page after the last card, with the summary, which the
// page shows under the set's name.
void WritePageClosing(const PreviewSummary& summary, const PageSink& out);

// A page of changes: the two files named and each given a column, the
// file compared with (`otherName`, before) left, the set (now) right. The
// page is titled "<set> against <other>" unless `title` (plain text) is
// given.
void WriteChangesOpening(std::string_view setName, std::string_view otherName, const PageSink& out,
                         std::string_view title = {});

// The opening of a page of another kind: `title` as plain text, the styles
// every page has and `extraStyle` after them, the legend.
void WritePageHead(std::string_view title, std::string_view extraStyle, const PageSink& out);
// Its end: closes the container the caller opened after the head, then the
// summary, as plain text.
void WritePageEnd(std::string_view summary, const PageSink& out);

// The rest of a page of changes, with the count of the textures that
// differ and of those not shown because they are the same in both.
// `notes` (plain text) follow the count, a line each.
void WriteChangesClosing(std::size_t differing, std::size_t unchanged, const PageSink& out,
                         const std::vector<std::string>& notes = {});

}  // namespace sorrelwick::operations
