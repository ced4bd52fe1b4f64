#include "mod/mods_page.h"

#include <new>
#include <optional>

#include "mod/mod_file.h"
#include "mod/mod_messages.h"
#include "mod/mods_messages.h"
#include "operations/preview_card.h"
#include "operations/preview_page.h"
#include "operations/preview_walk.h"
#include "platform/file_system.h"
#include "platform/memory.h"
#include "report/comparison_messages.h"
#include "report/messages.h"
#include "set_file/set_file_walk.h"

namespace sorrelwick::mod {
namespace {

using operations::CardPlace;
using operations::HtmlText;
using operations::PageOutput;
using operations::PreviewCard;

constexpr std::string_view kModsStyle =
    ".mods{order:3}"
    ".mod{margin:0 0 32px}"
    ".mod h2{margin:0;font-size:18px;word-break:break-all}"
    ".mod .facts{margin:2px 0 10px}"
    ".mod .state{font-weight:bold;color:#222}";

// The set's image of each of the mod's textures where the set holds the
// mod's base: one walk that reads only those images. Nullopt when the set
// could not be read whole.
std::optional<std::map<std::size_t, ByteVector>> BaseImagesInSet(const ToolState& state,
                                                                 const ModManifest& manifest,
                                                                 const SetPieces& set,
                                                                 report::ReportLog& log) {
    std::map<TexturePlace, std::size_t> wanted;
    std::map<std::string, std::size_t, std::less<>> seen;
    for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
        const ModTexture& texture = manifest.textures[i];
        const TexturePlace place{texture.name, texture.occurrence};
        const auto held = set.textureDigests.find(place);
        if (held == set.textureDigests.end() || held->second != texture.baseSha256) continue;
        wanted[place] = i;
        seen[texture.name] = 0;
    }
    std::map<std::size_t, ByteVector> images;
    if (wanted.empty()) return images;
    set_file::SetFileReader reader{.setName = state.setName};
    if (set_file::StartSetFile(state.setPath, reader, log)) {
        const auto read = [&seen](const format::ChunkWalk& walk,
                                  const format::ChunkHeader& header) {
            return format::NamesNextTexture(header.kind) ||
                   (format::IsNamedTexture(walk, header) && seen.contains(walk.currentTextureName));
        };
        format::Chunk chunk;
        while (set_file::NextSetChunk(reader, chunk, read)) {
            format::TrackTextureName(reader.walk, chunk);
            if (!format::IsNamedTexture(reader.walk, chunk)) continue;
            const auto named = seen.find(reader.walk.currentTextureName);
            if (named == seen.end()) continue;
            const auto found = wanted.find({named->first, ++named->second});
            if (found == wanted.end()) continue;
            images[found->second].assign(chunk.payload.begin(), chunk.payload.end());
        }
    }
    if (!set_file::FinishSetFile(reader, log)) return std::nullopt;
    return images;
}

// A piece of the page: text as it stands, or a card to be made (its
// pictures encoded) away from the page's thread.
struct PagePiece {
    std::string text;
    std::string label;
    std::optional<ByteVector> image;  // none: the card names the texture only
    std::string flag;
    CardPlace place;
    bool isCard = false;
};

PagePiece CardPiece(const std::string& label, std::optional<ByteVector> image, std::string flag,
                    CardPlace place) {
    PagePiece piece;
    piece.label = label;
    piece.image = std::move(image);
    piece.flag = std::move(flag);
    piece.place = place;
    piece.isCard = true;
    return piece;
}

// Touches no file: runs on any thread. Throws std::bad_alloc.
std::string PieceText(PagePiece& piece) {
    if (!piece.isCard) return std::move(piece.text);
    PreviewCard card;
    if (piece.image) {
        card = operations::MakePreviewCard(piece.label, *piece.image);
    } else {
        card.name = piece.label;
    }
    if (!piece.flag.empty()) card.flags.push_back(std::move(piece.flag));
    std::string html;
    operations::WriteCard(
        card, [&html](std::string_view text) { html += text; }, piece.place);
    return html;
}

// The page's pieces, their cards made on every core and written in order.
using PiecePipeline = operations::OrderedPipeline<PagePiece, std::string>;

enum class Card { Written, ModUnreadable, SetUnreadable };

// One mod's card: its heading, then a row per texture it changes. A mod
// whose images can't be read (it changed since its manifest was read, or
// an image in it is not the one its manifest names) gets a card that says
// so, and its line in `log`.
Card WriteModCard(const ToolState& state, const PagedMod& paged, const SetPieces& set,
                  const TextureChangers& changers, PiecePipeline& pieces, report::ReportLog& log) {
    const auto out = [&pieces](std::string text) {
        PagePiece piece;
        piece.text = std::move(text);
        pieces.Push(std::move(piece));
    };
    std::optional<ModFile> mod = ReadModFile(paged.path);
    out("<div class=\"mod\"><h2>" +
        HtmlText(mod && !mod->manifest.title.empty() ? mod->manifest.title : paged.name) +
        "</h2>\n<p class=\"facts\">");
    if (!mod) {
        out(operations::HtmlPathText(paged.name) + ": <span class=\"flag\">" +
            HtmlText(msg::NotAModFile(paged.name)) + "</span></p></div>\n");
        log.AppendLine(msg::NotAModFile(paged.path));
        return Card::ModUnreadable;
    }
    const ModManifest& manifest = mod->manifest;
    std::string facts = operations::HtmlPathText(paged.name);
    if (!manifest.author.empty()) facts += ", by " + HtmlText(manifest.author);
    out(facts + ": <span class=\"state\">" + HtmlText(paged.state) + "</span></p>\n");
    std::optional<std::map<std::size_t, ByteVector>> before =
        BaseImagesInSet(state, manifest, set, log);
    if (!before) return Card::SetUnreadable;
    // Row 1 names the columns, as on a page of changes.
    out("<div class=\"changes\">\n<div class=\"column\" "
        "style=\"grid-row:1;grid-column:1\">Before: " +
        operations::HtmlPathText(state.setName) +
        "</div>\n<div class=\"column\" style=\"grid-row:1;grid-column:2\">After: " +
        operations::HtmlPathText(paged.name) + "</div>\n");
    for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
        const ModTexture& texture = manifest.textures[i];
        const std::string label =
            report::msg::TextureLabel(platform::NameForReport(texture.name), texture.occurrence);
        const auto image = before->find(i);
        const bool held = image != before->end();
        pieces.Push(CardPiece(label, held ? std::optional(std::move(image->second)) : std::nullopt,
                              held ? std::string() : msg::BaseNotInSet(state.setName),
                              CardPlace{i + 1, 0}));
        std::string conflict;
        const auto others = changers.find({texture.name, texture.occurrence});
        if (others != changers.end() && others->second.size() > 1) {
            conflict = msg::AlsoChangedBy(others->second, paged.name);
        }
        pieces.Push(CardPiece(label, std::move(mod->payloads[i]), std::move(conflict),
                              CardPlace{i + 1, 1}));
    }
    out("</div></div>\n");
    return Card::Written;
}

}  // namespace

bool WriteModsPage(const ToolState& state, const std::vector<PagedMod>& mods, const SetPieces& set,
                   const TextureChangers& changers, const std::string& pagePath,
                   bool replaceExisting, report::ReportLog& log, unsigned jobs) {
    PageOutput page;
    operations::PageOutcome outcome = operations::PageOutcome::NotWritten;
    bool everyModRead = true;
    if (operations::StartPageFile(pagePath, page.draft, log)) {
        operations::WritePageHead(msg::ModsOf(state.setName), kModsStyle, page.Sink());
        page.Sink()("<div class=\"mods\">\n");
        bool whole = true;
        PiecePipeline pieces(jobs, PieceText, [&page](std::string& text) { page.Sink()(text); });
        for (const PagedMod& mod : mods) {
            if (page.writeFailed) break;
            // A card holds its mod and pictures: memory may run out there.
            if (!platform::MayAllocate()) {
                log.AppendLine(report::msg::kNotEnoughMemory);
                whole = false;
                break;
            }
            try {
                const Card card = WriteModCard(state, mod, set, changers, pieces, log);
                whole = card != Card::SetUnreadable;
                everyModRead = everyModRead && card == Card::Written;
            } catch (const std::bad_alloc&) {
                log.AppendLine(report::msg::kNotEnoughMemory);
                whole = false;
            }
            if (!whole) break;
        }
        if (whole) {
            try {
                pieces.Finish();
            } catch (const std::bad_alloc&) {
                log.AppendLine(report::msg::kNotEnoughMemory);
                whole = false;
            }
        }
        operations::WritePageEnd(msg::ModCount(mods.size()), page.Sink());
        outcome = operations::FinishPage(page, whole, replaceExisting, log);
    }
    if (outcome == operations::PageOutcome::NotWritten) {
        log.AppendLine(report::msg::kNoPreviewWritten);
        return false;
    }
    log.AppendLine(report::msg::PreviewWritten(pagePath));
    if (outcome == operations::PageOutcome::Unsettled) {
        log.AppendLine(report::msg::CouldNotWrite(pagePath));
    }
    return outcome == operations::PageOutcome::Written && everyModRead;
}

}  // namespace sorrelwick::mod
