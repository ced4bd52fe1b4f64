#include "operations/preview_page.h"

#include <algorithm>

#include "format/base64.h"
#include "format/byte_fields.h"
#include "report/messages.h"
#include "report/utf8_text.h"

namespace sorrelwick::operations {
namespace {

// The sides of the squares a picture and its colour and alpha are fitted
// into, in CSS pixels.
constexpr unsigned kFrame = 256;
constexpr unsigned kApartFrame = 124;

// Bytes of PNG put into the page at a time: a multiple of three, so that
// the pieces' Base64 texts join up.
constexpr std::size_t kBase64Piece = 3 * 16384;

constexpr std::string_view kStyle =
    // The summary comes last in the page, when the textures have been
    // counted; the order puts it under the name.
    "body{margin:24px;font:14px/1.4 sans-serif;background:#f3efe6;color:#222;"
    "display:flex;flex-direction:column}"
    "h1{margin:0;font-size:22px;word-break:break-all}"
    ".summary{order:1;margin:4px 0 0;color:#555}"
    ".legend{order:2;margin:4px 0 20px;color:#555}"
    ".sheet,.changes{order:3}"
    ".changes{display:grid;grid-template-columns:repeat(2,276px);gap:16px;align-items:start}"
    ".column{font-weight:bold;word-break:break-all}"
    ".note{display:inline-block;margin:4px 4px 0 0;padding:1px 6px;border-radius:3px;"
    "background:#2f5d8a;color:#fff;font-size:12px}"
    ".sheet{display:flex;flex-wrap:wrap;gap:16px;align-items:flex-start}"
    ".card{width:276px;padding:10px;background:#fff;border:1px solid #cfc8b8;"
    "border-radius:6px;box-sizing:border-box}"
    ".frame{height:256px;display:flex;align-items:center;justify-content:center}"
    ".picture{background:repeating-conic-gradient(#7d7d7d 0 25%,#a6a6a6 0 50%) 0 0/16px 16px}"
    ".sharp{image-rendering:pixelated}"
    ".missing{width:100%;height:100%;display:flex;align-items:center;justify-content:center;"
    "background:#eee;color:#888;border:1px dashed #bbb;box-sizing:border-box}"
    ".apart{display:flex;gap:8px;margin-top:8px}"
    ".apart figure{margin:0;width:124px;text-align:center;color:#555;font-size:12px}"
    ".apart .frame{height:124px}"
    ".apart img{outline:1px solid #999}"  // an opaque alpha is all white
    ".name{margin-top:8px;font-weight:bold;word-break:break-all}"
    ".facts{color:#555}"
    ".flag{display:inline-block;margin:4px 4px 0 0;padding:1px 6px;border-radius:3px;"
    "background:#b3261e;color:#fff;font-size:12px}";

constexpr std::string_view kLegend =
    "Each picture is shown over a checkerboard, which shows through where it is transparent. "
    "Under the picture of a texture with an alpha channel, &quot;colour&quot; is its colour "
    "without the alpha and &quot;alpha&quot; its alpha as grey: white opaque, black "
    "transparent.";

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
ShownSize ShownSizeOf(unsigned width, unsigned height, unsigned frame) {
    const unsigned side = std::max({width, height, 1u});
    if (side > frame) {
        return {std::max(width * frame / side, 1u), std::max(height * frame / side, 1u), false};
    }
    const unsigned factor = frame / side;
    return {width * factor, height * factor, true};
}

// The page's head, title and legend, up to the cards' container.
std::string Opening(const std::string& title, std::string_view extraStyle = {}) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           title + "</title>\n<style>" + std::string(kStyle) + std::string(extraStyle) +
           "</style>\n</head>\n<body>\n<h1>" + title + "</h1>\n<p class=\"legend\">" +
           std::string(kLegend) + "</p>\n";
}

// After the cards' container: the summary, which the page shows under the
// title.
std::string Closing(const std::string& summary) {
    return "</div>\n<p class=\"summary\">" + summary + "</p>\n</body>\n</html>\n";
}

std::string PlaceStyle(const CardPlace& place) {
    return "grid-row:" + Number(place.row + 1) + ";grid-column:" + Number(place.column + 1);
}

// An <img> of `png`, fitted into `frame`; `classes` start its class list.
void WritePicture(const PreviewCard& card, const std::vector<std::uint8_t>& png,
                  std::string_view classes, std::string_view alt, unsigned frame,
                  const PageSink& out) {
    const ShownSize shown = ShownSizeOf(card.width, card.height, frame);
    std::string classList(classes);
    if (shown.sharp) classList += classList.empty() ? "sharp" : " sharp";
    out("<img class=\"" + classList + "\" width=\"" + Number(shown.width) + "\" height=\"" +
        Number(shown.height) + "\" alt=\"" + HtmlText(alt) + "\" src=\"data:image/png;base64,");
    const format::Bytes bytes(png);
    for (std::size_t at = 0; at < bytes.size(); at += kBase64Piece) {
        out(format::Base64(bytes.subspan(at, std::min(kBase64Piece, bytes.size() - at))));
    }
    out("\">");
}

// The colour and the alpha side by side, each captioned.
void WriteApart(const PreviewCard& card, const PageSink& out) {
    const std::pair<const std::vector<std::uint8_t>*, std::string_view> parts[] = {
        {&card.colourPng, "colour"}, {&card.alphaPng, "alpha"}};
    out("<div class=\"apart\">");
    for (const auto& [png, caption] : parts) {
        out("<figure><div class=\"frame\">");
        WritePicture(card, *png, "", card.name + " (" + std::string(caption) + ")", kApartFrame,
                     out);
        out("</div><figcaption>" + std::string(caption) + "</figcaption></figure>");
    }
    out("</div>\n");
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

void WritePageOpening(std::string_view setName, const PageSink& out) {
    out(Opening(HtmlPathText(setName)) + "<div class=\"sheet\">\n");
}

void WriteChangesOpening(std::string_view setName, std::string_view otherName, const PageSink& out,
                         std::string_view title) {
    const std::string set = HtmlPathText(setName), other = HtmlPathText(otherName);
    out(Opening(title.empty() ? set + " against " + other : HtmlText(title)) +
        "<div class=\"changes\">\n<div class=\"column\" style=\"" + PlaceStyle({0, 0}) +
        "\">Before: " + other + "</div>\n<div class=\"column\" style=\"" + PlaceStyle({0, 1}) +
        "\">Now: " + set + "</div>\n");
}

void WriteCard(const PreviewCard& card, const PageSink& out, std::optional<CardPlace> place) {
    // The grid puts each card in its row, whichever file it came from.
    out(place ? "<div class=\"card\" style=\"" + PlaceStyle(*place) + "\"><div class=\"frame\">"
              : std::string("<div class=\"card\"><div class=\"frame\">"));
    if (card.png.empty()) {
        out("<div class=\"missing\">no picture</div>");
    } else {
        WritePicture(card, card.png, "picture", card.name, kFrame, out);
    }
    out("</div>\n");
    if (!card.colourPng.empty() && !card.alphaPng.empty()) WriteApart(card, out);
    std::string html = "<div class=\"name\">" + HtmlText(card.name) +
                       "</div>\n<div class=\"facts\">" + Number(card.width) + "x" +
                       Number(card.height) + ", " + Number(card.depth) + " bits, type " +
                       Number(card.imageType) + " (" + std::string(TypeName(card.imageType)) +
                       ")</div>\n";
    // The note names a file, whose name is text like the title's.
    if (!card.note.empty()) html += "<span class=\"note\">" + HtmlPathText(card.note) + "</span>";
    for (const std::string& flag : card.flags) {
        html += "<span class=\"flag\">" + HtmlText(flag) + "</span>";
    }
    out(html + "</div>\n");
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

void WritePageClosing(const PreviewSummary& summary, const PageSink& out) {
    const std::string size = summary.fileSize ? Number(*summary.fileSize) + " bytes, " : "";
    out(Closing(size + report::msg::TextureCount(summary.textureCount)));
}

void WritePageHead(std::string_view title, std::string_view extraStyle, const PageSink& out) {
    out(Opening(HtmlPathText(title), extraStyle));
}

void WritePageEnd(std::string_view summary, const PageSink& out) {
    out(Closing(HtmlText(summary)));
}

void WriteChangesClosing(std::size_t differing, std::size_t unchanged, const PageSink& out,
                         const std::vector<std::string>& notes) {
    std::string summary = report::msg::TextureCount(differing) +
                          (differing == 1 ? " differs, " : " differ, ") +
                          report::msg::TextureCount(unchanged) + " the same in both, not shown";
    for (const std::string& note : notes) summary += "<br>\n" + HtmlText(note);
    out(Closing(summary));
}

}  // namespace sorrelwick::operations
