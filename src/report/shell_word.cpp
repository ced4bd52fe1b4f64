#include "report/shell_word.h"

#include <algorithm>

namespace sorrelwick::report {
namespace {

bool IsPlainCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return true;  // part of a character beyond ASCII
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
#ifdef _WIN32
    constexpr std::string_view kPlainPunctuation = "_-./:@%+,=\\";
#else
    constexpr std::string_view kPlainPunctuation = "_-./:@%+,=";
#endif
    return kPlainPunctuation.find(c) != std::string_view::npos;
}

}  // namespace

std::string ShellWord(std::string_view path) {
    if (!path.empty() && std::all_of(path.begin(), path.end(), IsPlainCharacter)) {
        return std::string(path);
    }
#ifdef _WIN32
    std::string word = "\"";
    word.append(path);
    return word + "\"";
#else
    std::string word = "'";
    for (const char c : path) {
        if (c == '\'') {
            word += "'\\''";
        } else {
            word += c;
        }
    }
    return word + "'";
#endif
}

}  // namespace sorrelwick::report
