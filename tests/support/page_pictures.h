#pragma once
// Reads a preview page back: the pictures of its cards, decoded from their
// data: URIs with a PNG reader that is not ours.

#include <cstdint>
#include <string>
#include <vector>

namespace sorrelwick::test {

struct PagePicture {
    std::string alt;  // as the page writes it
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // empty when the PNG could not be read
};

// Every picture of `page`, in page order.
std::vector<PagePicture> PicturesIn(const std::string& page);

std::size_t Occurrences(const std::string& page, const std::string& text);

}  // namespace sorrelwick::test
