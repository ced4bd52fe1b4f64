#pragma once
// The preview page's HTML: one self-contained page, pictures inside it as
// data: URIs, styles inside it, no script. Every text that comes from a set
// goes through HtmlText, so no name can add markup.

#include <cstdint>
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
};

struct PreviewSummary {
    std::string setName;
    std::uint64_t fileSize = 0;
    std::size_t textureCount = 0;
};

// `text` as HTML text or attribute value: markup characters as references,
// bytes from 0x80 as numeric references (read as the Windows single-byte
// code page, as HTML reads 0x80-0x9F), control bytes as U+FFFD. The result
// is plain ASCII.
std::string HtmlText(std::string_view text);
// A path (the set's file name) as the page shows it: its UTF-8 characters as
// they are, any other byte as HtmlText shows it.
std::string HtmlPathText(std::string_view path);

// One card; cards go into the page in file order.
std::string PreviewCardHtml(const PreviewCard& card);

// The whole page around `cards`, the concatenated cards.
std::string PreviewPageHtml(const PreviewSummary& summary, std::string_view cards);

}  // namespace sorrelwick::operations
