#include "operations/preview_page.h"

#include <algorithm>

#include "format/base64.h"
#include "report/messages.h"
#include "report/utf8_text.h"

namespace sorrelwick::operations {
namespace {

// The side of the square a picture is fitted into, in CSS pixels.
constexpr unsigned kFrame = 256;

constexpr std::string_view kStyle =
    "body{margin:24px;font:14px/1.4 sans-serif;background:#f3efe6;color:#222}"
    "h1{margin:0;font-size:22px;word-break:break-all}"
    ".summary{margin:4px 0 20px;color:#555}"
    ".sheet{display:flex;flex-wrap:wrap;gap:16px;align-items:flex-start}"
    ".card{width:276px;padding:10px;background:#fff;border:1px solid #cfc8b8;"
    "border-radius:6px;box-sizing:border-box}"
    ".frame{height:256px;display:flex;align-items:center;justify-content:center}"
    ".picture{background:repeating-conic-gradient(#7d7d7d 0 25%,#a6a6a6 0 50%) 0 0/16px 16px}"
    ".sharp{image-rendering:pixelated}"
    ".missing{width:100%;height:100%;display:flex;align-items:center;justify-content:center;"
    "background:#eee;color:#888;border:1px dashed #bbb;box-sizing:border-box}"
    ".name{margin-top:8px;font-weight:bold;word-break:break-all}"
    ".facts{color:#555}"
    ".flag{display:inline-block;margin:4px 4px 0 0;padding:1px 6px;border-radius:3px;"
    "background:#b3261e;color:#fff;font-size:12px}";

std::string Number(std::uint64_t value) {
    return std::to_string(value);
}

std::string_view TypeName(std::uint8_t imageType) {
    switch (imageType) {
        case 0:
            return "no image data";
        case 1:
            return "colour-mapped";
        case 2:
            return "true-colour";
        case 3:
            return "grey";
        case 9:
            return "colour-mapped, run-length";
        case 10:
            return "true-colour, run-length";
        case 11:
            return "grey, run-length";
        default:
            return "unknown";
    }
}

struct ShownSize {
    unsigned width = 0;
    unsigned height = 0;
    bool sharp = false;  // shown at real size or scaled up: no smoothing
};

// Large pictures shrink to fit the frame; small ones grow by a whole factor,
// so that every pixel stays a square of equal size. Integers only, so that
// every build writes the same page.
ShownSize ShownSizeOf(unsigned width, unsigned height) {
    const unsigned side = std::max({width, height, 1u});
    if (side > kFrame) {
        return {std::max(width * kFrame / side, 1u), std::max(height * kFrame / side, 1u), false};
    }
    const unsigned factor = kFrame / side;
    return {width * factor, height * factor, true};
}

std::string PictureHtml(const PreviewCard& card) {
    if (card.png.empty()) return "<div class=\"missing\">no picture</div>";
    const ShownSize shown = ShownSizeOf(card.width, card.height);
    return "<img class=\"picture" + std::string(shown.sharp ? " sharp" : "") + "\" width=\"" +
           Number(shown.width) + "\" height=\"" + Number(shown.height) + "\" alt=\"" +
           HtmlText(card.name) + "\" src=\"data:image/png;base64," + format::Base64(card.png) +
           "\">";
}

}  // namespace

std::string HtmlText(std::string_view text) {
    std::string html;
    html.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            case '\'':
                html += "&#39;";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    html += "&#xFFFD;";
                } else if (byte >= 0x80) {
                    html += "&#" + Number(byte) + ";";
                } else {
                    html += c;
                }
        }
    }
    return html;
}

std::string PreviewCardHtml(const PreviewCard& card) {
    std::string html = "<div class=\"card\"><div class=\"frame\">" + PictureHtml(card) +
                       "</div>\n<div class=\"name\">" + HtmlText(card.name) +
                       "</div>\n<div class=\"facts\">" + Number(card.width) + "x" +
                       Number(card.height) + ", " + Number(card.depth) + " bits, type " +
                       Number(card.imageType) + " (" + std::string(TypeName(card.imageType)) +
                       ")</div>\n";
    for (const std::string& flag : card.flags) {
        html += "<span class=\"flag\">" + HtmlText(flag) + "</span>";
    }
    return html + "</div>\n";
}

std::string HtmlPathText(std::string_view path) {
    std::string html;
    std::size_t plainStart = 0;
    const auto flushPlain = [&](std::size_t end) {
        html += HtmlText(path.substr(plainStart, end - plainStart));
    };
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t length = report::Utf8SequenceLength(path.substr(i));
        if (length < 2) {
            ++i;
            continue;
        }
        flushPlain(i);
        html.append(path.substr(i, length));
        i += length;
        plainStart = i;
    }
    flushPlain(path.size());
    return html;
}

std::string PreviewPageHtml(const PreviewSummary& summary, std::string_view cards) {
    const std::string name = HtmlPathText(summary.setName);
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<title>" + name + "</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n";
    html += "<body>\n<h1>" + name + "</h1>\n<p class=\"summary\">" + Number(summary.fileSize) +
            " bytes, " + report::msg::TextureCount(summary.textureCount) +
            "</p>\n<div class=\"sheet\">\n";
    html.append(cards);
    return html + "</div>\n</body>\n</html>\n";
}

}  // namespace sorrelwick::operations
