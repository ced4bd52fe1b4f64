// Mods packed from one set and applied to others: what a mod carries, where
// it is applied and where refused, and mod files that are not what they
// claim, which must leave the set as it was.

#include <algorithm>

#include "format/background_sha256.h"
#include "format/sha256.h"
#include "generators/chess_set_builder.h"
#include "mod/mod_apply.h"
#include "mod/mod_file.h"
#include "mod/mod_pack.h"
#include "mod/mod_writer.h"
#include "report/lines.h"
#include "support/reasons.h"
#include "support/mod_set_looks.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

// The change a mod carries: two textures and the board's shininess.
const Look kBase;
const Look kChanged{.wood = Image(8, 8, 24, 7), .marble = Image(8, 8, 32, 8), .boardShininess = 90};

// A mod packed from kChanged against kBase, in the fixture's folder.
class ModTest : public SetFixture {
protected:
    std::string PackedMod(const std::string& name = "my.zip") {
        Write(SetLooking(kChanged));
        EXPECT_TRUE(gen::WriteWholeFile(dir.File("set1.000"), SetLooking(kBase)));
        const std::string path = dir.File(name);
        report::MemoryReportLog packLog;
        EXPECT_TRUE(mod::PackMod(state, {"0", path, "Red", "Me", {}, false, 4}, &packLog));
        return path;
    }
    bool Apply(const Bytes& target, const std::string& modPath, bool check = false,
               bool force = false) {
        Write(target);
        return mod::ApplyMod(state, {modPath, check, force}, &log);
    }
};

// The published test vectors, across the block and padding boundaries.
TEST(Sha256, GivesThePublishedDigests) {
    const std::pair<std::string, const char*> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [text, digest] : vectors) {
        const format::Bytes bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        EXPECT_EQ(format::HexOf(format::Sha256Of(bytes)), digest) << text.size();
        format::Sha256 pieces;  // the same bytes in uneven pieces
        for (std::size_t at = 0; at < bytes.size(); at += 97)
            pieces.Update(bytes.subspan(at, std::min<std::size_t>(97, bytes.size() - at)));
        EXPECT_EQ(format::HexOf(pieces.Finish()), digest) << text.size();
    }
    // Worked out beside the caller, in pieces across more blocks than may
    // wait for the thread at once.
    std::vector<std::uint8_t> many((std::size_t{9} << 20) + 123);
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    format::BackgroundSha256 background;
    for (std::size_t at = 0; at < many.size(); at += 100003)
        background.Update(format::Bytes(many).subspan(at, std::min<std::size_t>(100003, many.size() - at)));
    EXPECT_EQ(background.Finish(), format::Sha256Of(many));
}

TEST_F(ModTest, PackReportsEachPieceAndWritesAMod) {
    const std::string path = PackedMod();
    const std::optional<mod::ModFile> read = mod::ReadModFile(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->manifest.title, "Red");
    EXPECT_EQ(read->manifest.base.fileName, "set1.000");
    EXPECT_EQ(read->manifest.base.sha256, format::HexOf(format::Sha256Of(SetLooking(kBase))));
    ASSERT_EQ(read->manifest.textures.size(), 2u);
    EXPECT_EQ(read->payloads[0], kChanged.wood);
    EXPECT_EQ(read->payloads[1], kChanged.marble);
    ASSERT_EQ(read->manifest.materials.size(), 1u);
    EXPECT_EQ(read->manifest.materials[0].now.shininess, 90);
    EXPECT_EQ(read->manifest.materials[0].cls, specular::SpecularClass::Board);

    // The same change packs to the same bytes, its page's pictures made and
    // its entries deflated on one thread as on four.
    const std::string again = dir.File("again.zip");
    report::MemoryReportLog packLog;
    ASSERT_TRUE(mod::PackMod(state, {"0", again, "Red", "Me", {}, false, 1}, &packLog));
    EXPECT_EQ(gen::ReadWholeFile(again), gen::ReadWholeFile(path));
    // A material is named by the texture it carries.
    EXPECT_TRUE(Has(packLog.Lines(),
                    report::NameMessageLine("board material of marble.tga",
                                            "packed: shininess 30 to 90, amplitude 30 to 30")));
    // The base's digest is of every byte of it, those after the last chunk too.
    Bytes tailed = SetLooking(kBase);
    tailed.insert(tailed.end(), {1, 2, 3, 4, 5});
    ASSERT_TRUE(gen::WriteWholeFile(dir.File("set1.000"), tailed));
    ASSERT_TRUE(mod::PackMod(state, {"0", dir.File("tailed.zip"), {}, {}, {}, false}, &packLog));
    EXPECT_EQ(mod::ReadModFile(dir.File("tailed.zip"))->manifest.base.sha256,
              format::HexOf(format::Sha256Of(tailed)));
    // An existing file stays without --force, and nothing differs: no file.
    EXPECT_FALSE(mod::PackMod(state, {"0", again, {}, {}, {}, false}, &packLog));
    Write(SetLooking(kBase));
    const std::string none = dir.File("none.zip");
    EXPECT_TRUE(mod::PackMod(state, {"0", none, {}, {}, {}, false}, &packLog));
    EXPECT_FALSE(std::filesystem::exists(none));
    // An image cut short is refused, not packed into a mod nobody could read.
    Look cut = kChanged;
    cut.wood.resize(cut.wood.size() - 5);
    Write(SetLooking(cut));
    EXPECT_FALSE(mod::PackMod(state, {"0", none, {}, {}, {}, false}, &packLog));
    EXPECT_TRUE(Has(packLog.Lines(), "Error - wood.tga of set1.DAT is cut short: no mod can carry it"));
    EXPECT_FALSE(std::filesystem::exists(none));
    // So is an image apply would refuse.
    const std::pair<Bytes, std::string> refused[] = {
        {Image(8, 8, 8, 7), "not packed: wrong color depth (8 bits)"},
        {Image(3, 5, 24, 7), "not packed: wrong size (3x5)"},
        {Image(0, 8, 24, 7), "not packed: wrong size (0x8)"},
    };
    for (const auto& [image, outcome] : refused) {
        Write(SetLooking(Look{.wood = image}));
        EXPECT_FALSE(mod::PackMod(state, {"0", none, {}, {}, {}, false}, &packLog));
        EXPECT_TRUE(Has(packLog.Lines(), report::TextureInfoLine("wood.tga", image[12], image[14],
                                                                 image[16], outcome)));
        EXPECT_FALSE(std::filesystem::exists(none));
    }
}

// Packing writes nothing but the mod, and that whole or not at all, on one
// thread and on a pool, whichever call fails: the page it carries never
// lies beside it on disk.
TEST_F(ModTest, AFailedCallLeavesNoModButAWholeOne) {
    const std::string path = PackedMod();
    const Bytes whole = gen::ReadWholeFile(path);
    std::filesystem::remove(path);
    const FolderContents before = Files();
    for (const unsigned jobs : {1u, 3u}) {
        SCOPED_TRACE(::testing::Message() << jobs << " threads");
        ForEveryFault([&](const FaultPlan& plan) {
            if (plan.persistent) return false;
            report::MemoryReportLog packLog;
            const auto [result, fired] = RunArmed(plan, [&] {
                return mod::PackMod(state, {"0", path, "Red", "Me", {}, false, jobs}, &packLog);
            });
            FolderContents after = Files();
            const bool placed = after.erase("my.zip") == 1;
            if (placed) {
                EXPECT_EQ(gen::ReadWholeFile(path), whole);
            }
            EXPECT_EQ(after, before);
            // A folder that could not be flushed fails a mod that is in place.
            EXPECT_TRUE(!result || placed);
            EXPECT_TRUE(result || fired);
            std::filesystem::remove(path);
            return fired;
        });
    }
}

struct ApplyCase {
    const char* what;
    Look target;
    bool check, force;
    Look expected;
    bool result;
};

Look With(Look look, const Look& from, bool wood, bool marble, bool board) {
    if (wood) look.wood = from.wood;
    if (marble) look.marble = from.marble;
    if (board) look.boardShininess = from.boardShininess;
    return look;
}

const Look kOtherFelt{.felt = Image(16, 16, 24, 9)};
const Look kOwnWood{.wood = Image(8, 8, 24, 5)};

// clang-format off
const ApplyCase kApplyCases[] = {
    {"a copy of the base", kBase, false, false, kChanged, true},
    {"a set that differs elsewhere", kOtherFelt, false, false,
     With(kOtherFelt, kChanged, true, true, true), true},
    {"a texture changed on its own is left", kOwnWood, false, false,
     With(kOwnWood, kChanged, false, true, true), false},
    {"and taken with force", kOwnWood, false, true, kChanged, true},
    {"check writes nothing", kBase, true, false, kBase, true},
    {"a set already as in the mod", kChanged, false, false, kChanged, true},
};
// clang-format on

TEST_F(ModTest, ApplyChangesOnlyWhatStillHoldsTheBase) {
    const std::string path = PackedMod();
    for (const ApplyCase& c : kApplyCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Apply(SetLooking(c.target), path, c.check, c.force), c.result);
        EXPECT_EQ(SetBytes(), SetLooking(c.expected));
    }
    // An applied image's line shows it, and what it replaced when that
    // looked otherwise.
    EXPECT_TRUE(Has(log.Lines(), report::TextureInfoLine("marble.tga", 8, 8, 32,
                                                         "Mod applied: was 4x4 32 bits")));
}

// Rewrites a good mod's archive with one thing broken.
using Breakage = std::function<Bytes(mod::ModFile&, const Bytes& page)>;

Bytes Rebuilt(const mod::ModFile& mod, const Bytes& page) {
    return mod::ModArchive(mod.manifest, page, mod.payloads);
}

// Sets a stored entry's sizes in the central directory to `size`.
void DeclareSize(Bytes& archive, const std::string& name, std::uint32_t size) {
    const Bytes signature = {0x50, 0x4b, 0x01, 0x02};
    for (auto at = std::search(archive.begin(), archive.end(), signature.begin(), signature.end());
         at != archive.end();
         at = std::search(at + 1, archive.end(), signature.begin(), signature.end())) {
        const auto offset = static_cast<std::size_t>(at - archive.begin());
        if (std::string(at + 46, at + 46 + static_cast<long>(name.size())) != name) continue;
        format::PutU32At(archive, offset + 24, size);
    }
}

// A zip of `json` as mod.json and the mod's payloads under their entries.
Bytes WithManifestText(const mod::ModFile& mod, const std::string& json) {
    mod::ZipWriter zip;
    zip.Add("mod.json", {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()});
    for (std::size_t i = 0; i < mod.payloads.size(); ++i) {
        zip.Add(mod.manifest.textures[i].entry, mod.payloads[i]);
    }
    return zip.Finish();
}

// The manifest with `from` replaced by `to` once.
Bytes WithManifestEdit(const mod::ModFile& mod, const std::string& from, const std::string& to) {
    std::string json = mod::ManifestJson(mod.manifest);
    const std::size_t at = json.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) json.replace(at, from.size(), to);
    return WithManifestText(mod, json);
}

// Points every central-directory entry after the first at the first's
// local header: many names, one body.
Bytes AllEntriesAtTheFirst(Bytes archive) {
    const Bytes signature = {0x50, 0x4b, 0x01, 0x02};
    bool first = true;
    for (auto at = std::search(archive.begin(), archive.end(), signature.begin(), signature.end());
         at != archive.end();
         at = std::search(at + 1, archive.end(), signature.begin(), signature.end())) {
        if (first) {
            first = false;
            continue;
        }
        format::PutU32At(archive, static_cast<std::size_t>(at - archive.begin()) + 42, 0);
    }
    return archive;
}

const std::pair<const char*, Breakage> kHostileMods[] = {
    {"a manifest nested far deeper than the format",
     [](mod::ModFile& mod, const Bytes&) {
         return WithManifestEdit(mod, "\"tool\"",
                                 "\"x\": " + std::string(200000, '[') +
                                     std::string(200000, ']') + ", \"tool\"");
     }},
    {"a manifest nested one deeper than a material's key",
     [](mod::ModFile& mod, const Bytes&) {
         return WithManifestEdit(mod, "\"key\": [", "\"key\": [[0], ");
     }},
    {"a manifest of 118,000 keys and nothing else",
     [](mod::ModFile& mod, const Bytes&) {
         // Three characters of 64 give each key its own name.
         const std::string letters =
             "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
         std::string json = "{";
         for (std::size_t i = 0; i < 118000; ++i) {
             json += (i == 0 ? "\"" : ",\"") + std::string{letters[i % 64]} +
                     letters[i / 64 % 64] + letters[i / 4096] + "\":0";
         }
         return WithManifestText(mod, json + "}");
     }},
    {"textures null", [](mod::ModFile& mod,
                         const Bytes&) { return WithManifestEdit(mod, "\"textures\": [", "\"textures\": null, \"t\": ["); }},
    {"textures an object",
     [](mod::ModFile& mod, const Bytes&) {
         return WithManifestEdit(mod, "\"textures\": [", "\"textures\": {}, \"t\": [");
     }},
    {"textures given twice",
     [](mod::ModFile& mod, const Bytes&) {
         return WithManifestEdit(mod, "\"materials\": [", "\"textures\": [], \"materials\": [");
     }},
    {"entries that share their bytes",
     [](mod::ModFile& mod, const Bytes& page) { return AllEntriesAtTheFirst(Rebuilt(mod, page)); }},
    {"a manifest whose CRC is wrong and whose text is still JSON",
     [](mod::ModFile& mod, const Bytes& page) {
         Bytes archive = Rebuilt(mod, page);
         const Bytes name = {'m', 'o', 'd', '.', 'j', 's', 'o', 'n'};
         // The central directory's copy of the name comes last.
         const auto at = std::find_end(archive.begin(), archive.end(), name.begin(), name.end());
         archive[static_cast<std::size_t>(at - archive.begin()) - 46 + 16] ^= 1;
         return archive;
     }},
    {"a name with ..",
     [](mod::ModFile& mod, const Bytes& page) {
         mod.manifest.textures[0].entry = "textures/../../wood.tga";
         return Rebuilt(mod, page);
     }},
    {"an entry larger than declared",
     [](mod::ModFile& mod, const Bytes& page) {
         const std::uint32_t less = mod.manifest.textures[0].size - 1;
         mod.manifest.textures[0].size = less;
         Bytes archive = Rebuilt(mod, page);
         DeclareSize(archive, mod.manifest.textures[0].entry, less);
         return archive;
     }},
    {"a wrong digest",
     [](mod::ModFile& mod, const Bytes& page) {
         mod.manifest.textures[1].newSha256 = mod.manifest.textures[1].baseSha256;
         return Rebuilt(mod, page);
     }},
    {"a payload cut short",
     [](mod::ModFile& mod, const Bytes& page) {
         mod.payloads[0].pop_back();
         mod.manifest.textures[0].size -= 1;
         mod.manifest.textures[0].newSha256 = format::HexOf(format::Sha256Of(mod.payloads[0]));
         return Rebuilt(mod, page);
     }},
    {"a truncated archive",
     [](mod::ModFile& mod, const Bytes& page) { return Cut(Rebuilt(mod, page), 30); }},
    {"a manifest that isn't JSON",
     [](mod::ModFile& mod, const Bytes& page) {
         mod::ZipWriter zip;
         const std::string text = "{\"format\": 1, \"textures\": [";
         zip.Add("mod.json", {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
         zip.Add(mod.manifest.textures[0].entry, mod.payloads[0]);
         (void)page;
         return zip.Finish();
     }},
    {"duplicate entries",
     [](mod::ModFile& mod, const Bytes& page) {
         mod::ZipWriter zip;
         const std::string json = mod::ManifestJson(mod.manifest);
         zip.Add("mod.json", {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()});
         for (std::size_t i = 0; i < mod.payloads.size(); ++i) {
             zip.Add(mod.manifest.textures[i].entry, mod.payloads[i]);
         }
         zip.Add(mod.manifest.textures[0].entry, Image(8, 8, 24, 4));
         (void)page;
         return zip.Finish();
     }},
};

TEST_F(ModTest, AModThatIsNotOneLeavesTheSetAsItWas) {
    const std::string good = PackedMod();
    const Bytes archive = gen::ReadWholeFile(good);
    const std::vector<mod::ZipEntry> entries = *mod::ReadZipDirectory(archive);
    const Bytes page = *mod::ExtractEntry(archive, entries[1]);
    const std::string bad = dir.File("bad.zip");
    for (const auto& [what, breakage] : kHostileMods) {
        SCOPED_TRACE(what);
        mod::ModFile mod = *mod::ParseModFile(archive);
        ASSERT_TRUE(gen::WriteWholeFile(bad, breakage(mod, page)));
        const std::size_t before = log.Lines().size();
        EXPECT_FALSE(Apply(SetLooking(kBase), bad));
        EXPECT_EQ(SetBytes(), SetLooking(kBase));
        EXPECT_FALSE(std::filesystem::exists(dir.File("set1.001")));
        EXPECT_TRUE(Has(Lines(log.Lines().begin() + static_cast<long>(before), log.Lines().end()),
                        "Error - " + bad + " is not a mod file that can be read"));
    }
}

// A mod whose first piece (wood.tga, stored at 8x8 24 bits) brings `image`.
Bytes ModBringing(const Bytes& archive, const Bytes& image) {
    mod::ModFile mod = *mod::ParseModFile(archive);
    mod.payloads[0] = image;
    mod.manifest.textures[0].newSha256 = format::HexOf(format::Sha256Of(image));
    mod.manifest.textures[0].size = static_cast<std::uint32_t>(image.size());
    return mod::ModArchive(mod.manifest, {}, mod.payloads);
}

struct RefusedImageCase {
    const char* what;
    Bytes image;
    std::string line;  // the wood's line
};

// 17 bytes whose header fields read as 20053x19019, 85 bits.
Bytes JunkImage() {
    Bytes junk(17, 0x5a);
    format::PutU32At(junk, 12, 20053 | 19019u << 16);
    junk[16] = 85;
    return junk;
}

const RefusedImageCase kRefusedImages[] = {
    {"8 bits where the set stores 24", Image(8, 8, 8, 1), "Not applied: wrong color depth (8 bits)"},
    {"3x5", Image(3, 5, 24, 1), "Not applied: wrong size (3x5)"},
    {"0x0", Image(0, 0, 24, 1), "Not applied: wrong size (0x0)"},
    {"0x64", Image(0, 64, 24, 1), "Not applied: wrong size (0x64)"},
    {"17 junk bytes", JunkImage(), "Not applied: wrong color depth (85 bits)"},
};

TEST_F(ModTest, AnImageReplaceWouldRefuseIsNeverApplied) {
    const Bytes archive = gen::ReadWholeFile(PackedMod());
    const std::string path = dir.File("bad.zip");
    for (const RefusedImageCase& c : kRefusedImages) {
        for (const bool force : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (force ? ", with force" : ""));
            ASSERT_TRUE(gen::WriteWholeFile(path, ModBringing(archive, c.image)));
            const std::size_t before = log.Lines().size();
            EXPECT_FALSE(Apply(SetLooking(kBase), path, false, force));
            const Lines lines(log.Lines().begin() + static_cast<long>(before), log.Lines().end());
            EXPECT_TRUE(Has(lines, report::TextureInfoLine("wood.tga", 8, 8, 24, c.line)));
            // The other pieces still are applied; the wood stays.
            EXPECT_EQ(SetBytes(), SetLooking(With(kChanged, kBase, true, false, false)));
            std::filesystem::remove(dir.File("set1.001"));
        }
    }
}

struct UnfinishedApplyCase {
    const char* what;
    std::function<void(ModTest&)> spoil;  // done to the set (kBase) before the apply
    std::string line;                     // the failure line
};

TEST_F(ModTest, AnApplyThatFailsClaimsNoPiece) {
    const std::string path = PackedMod();
    const UnfinishedApplyCase cases[] = {
        {"the set missing", [](ModTest& t) { std::filesystem::remove(t.dir.File("set1.DAT")); },
         "Error - Could not open set1.DAT"},
        {"the set cut short",
         [](ModTest& t) { t.Write(Cut(SetLooking(kBase), 3)); }, kCouldNotRead},
        {"a folder where the set should be",
         [](ModTest& t) {
             std::filesystem::remove(t.dir.File("set1.DAT"));
             std::filesystem::create_directory(t.dir.File("set1.DAT"));
         },
         "Error - Could not open set1.DAT"},
    };
    for (const UnfinishedApplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        Write(SetLooking(kBase));
        c.spoil(*this);
        const std::size_t before = log.Lines().size();
        EXPECT_FALSE(mod::ApplyMod(state, {path, false, false}, &log));
        const Lines lines(log.Lines().begin() + static_cast<long>(before), log.Lines().end());
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.rfind(c.line, 0) == 0;
        }));
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find("applied"), std::string::npos) << line;
            EXPECT_EQ(line.find("Not applied"), std::string::npos) << line;
        }
        EXPECT_FALSE(std::filesystem::exists(dir.File("set1.001")));
        std::filesystem::remove_all(dir.File("set1.DAT"));
    }
    // A set already as in the mod is not rewritten: no backup.
    EXPECT_TRUE(Apply(SetLooking(kChanged), path));
    EXPECT_FALSE(std::filesystem::exists(dir.File("set1.001")));
    EXPECT_TRUE(Has(log.Lines(), "0 applied, 3 already as in the mod"));
    // A mod that can't be opened says why.
    const std::size_t before = log.Lines().size();
    EXPECT_FALSE(Apply(SetLooking(kBase), dir.File("none.zip")));
    EXPECT_TRUE(Has(Lines(log.Lines().begin() + static_cast<long>(before), log.Lines().end()),
                    ReasonLine(Why::NotFound)));
    const std::string folder = dir.File("folder.zip");
    ASSERT_TRUE(std::filesystem::create_directory(gen::Utf8Path(folder)));
    EXPECT_FALSE(Apply(SetLooking(kBase), folder));
    EXPECT_TRUE(Has(log.Lines(), ReasonLine(Why::IsFolder)));
}

}  // namespace
}  // namespace sorrelwick::test
