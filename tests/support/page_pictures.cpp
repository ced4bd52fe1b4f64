#include "support/page_pictures.h"

#include <string_view>

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>  // a system header: its warnings are not ours

namespace sorrelwick::test {
namespace {

std::vector<std::uint8_t> FromBase64(std::string_view text) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<std::uint8_t> bytes;
    unsigned bits = 0, held = 0;
    for (const char c : text) {
        const std::size_t value = kAlphabet.find(c);
        if (value == std::string_view::npos) break;  // '=' ends the data
        held = held << 6u | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>(held >> bits & 0xFFu));
        }
    }
    return bytes;
}

PagePicture Decode(const std::vector<std::uint8_t>& png) {
    PagePicture picture;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()),
                                            &picture.width, &picture.height, &channels, 4);
    if (!pixels) return picture;
    picture.rgba.assign(pixels, pixels + std::size_t{4} * static_cast<std::size_t>(picture.width) *
                                             static_cast<std::size_t>(picture.height));
    stbi_image_free(pixels);
    return picture;
}

}  // namespace

std::vector<PagePicture> PicturesIn(const std::string& page) {
    static const std::string kUri = "src=\"data:image/png;base64,";
    std::vector<PagePicture> pictures;
    for (std::size_t at = page.find(kUri); at != std::string::npos; at = page.find(kUri, at)) {
        at += kUri.size();
        const std::size_t end = page.find('"', at);
        pictures.push_back(Decode(FromBase64(std::string_view(page).substr(at, end - at))));
        const std::size_t alt = page.rfind(" alt=\"", at) + 6;
        pictures.back().alt = page.substr(alt, page.find('"', alt) - alt);
    }
    return pictures;
}

std::size_t Occurrences(const std::string& page, const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = page.find(text); at != std::string::npos;
         at = page.find(text, at + text.size())) {
        ++count;
    }
    return count;
}

}  // namespace sorrelwick::test
