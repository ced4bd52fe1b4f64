// The encodings where the program's text meets other systems: base64 in the
// preview page's pictures, and on Windows the system's UTF-16 and code page.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "format/base64.h"
#ifdef _WIN32
#include "platform/win32/wide_text.h"
#endif

namespace sorrelwick {
namespace {

TEST(Base64, PadsTheLastGroupToFourCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"\xFB\xFF", "+/8="}};
    for (const auto& [data, text] : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
        EXPECT_EQ(format::Base64({bytes, data.size()}), text) << text;
    }
}

#ifdef _WIN32
TEST(WideText, EveryConversionIsStrict) {
    EXPECT_EQ(platform::Utf8FromWide(std::wstring{L'a', L'\xD800', L'b'}), std::nullopt);
    EXPECT_EQ(platform::WideFromUtf8("a\xED\xA0\x80"), std::nullopt);  // a surrogate's bytes
    // The longest path the system takes without the long-path prefix.
    EXPECT_NE(platform::WidePath("C:\\" + std::string(256, 'a')), std::nullopt);
    EXPECT_EQ(platform::WidePath("C:\\" + std::string(257, 'a')), std::nullopt);

    // In code page 1252, where the tests run under Wine, 0x80 is the euro
    // sign and 0x81, 0x8D, 0x8F, 0x90 and 0x9D name no character: the system
    // reads them as C1 controls, which no name may hold.
    if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP() << ", not 1252";
    EXPECT_EQ(platform::Utf8FromCodePage("\x80"), "\xE2\x82\xAC");
    for (const char* c1 : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
        EXPECT_EQ(platform::Utf8FromCodePage(c1), std::nullopt) << int{*c1 & 0xFF};
    }
}
#endif

}  // namespace
}  // namespace sorrelwick
