#include "format/base64.h"

#include <string_view>

namespace sorrelwick::format {

std::string Base64(Bytes data) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((data.size() + 2) / 3 * 4);
    std::size_t at = 0;
    // Each group of three bytes gives four characters of six bits each.
    for (; at + 3 <= data.size(); at += 3) {
        const unsigned group =
            unsigned{data[at]} << 16u | unsigned{data[at + 1]} << 8u | unsigned{data[at + 2]};
        for (unsigned shift = 18;; shift -= 6) {
            text += kAlphabet[group >> shift & 0x3Fu];
            if (shift == 0) break;
        }
    }
    const std::size_t left = data.size() - at;
    if (left == 0) return text;
    const unsigned group =
        unsigned{data[at]} << 16u | (left == 2 ? unsigned{data[at + 1]} << 8u : 0u);
    text += kAlphabet[group >> 18u & 0x3Fu];
    text += kAlphabet[group >> 12u & 0x3Fu];
    text += left == 2 ? kAlphabet[group >> 6u & 0x3Fu] : '=';
    text += '=';
    return text;
}

}  // namespace sorrelwick::format
