#include "comparison/comparison_walk.h"

#include <algorithm>
#include <map>
#include <utility>

#include "format/digest.h"
#include "format/tga_fields.h"
#include "set_file/set_file_walk.h"
#include "specular/chunk_keys.h"
#include "specular/material_class_table.h"

namespace sorrelwick::comparison {
namespace {

// Payload offsets of a material chunk's two specular bytes.
constexpr std::size_t kAmplitudeOffset = 16;
constexpr std::size_t kShininessOffset = 17;
static_assert(specular::kMinScaledMaterialSize == kShininessOffset + 1);

bool SameChunk(const format::Chunk& a, const format::Chunk& b) {
    return a.header.kind == b.header.kind && a.header.variant == b.header.variant &&
           a.header.length == b.header.length &&
           std::equal(a.payload.begin(), a.payload.end(), b.payload.begin(), b.payload.end());
}

// One file's side of the walk.
class SetSide {
public:
    SetSide(const ComparedSet& file, FileBytesVisit bytes)
        : path_(file.path), reader_{.setName = file.name}, bytes_(std::move(bytes)) {}

    // The signature header's other fields are bytes of the file like any:
    // they count with the rest.
    bool Start(report::ReportLog& log) {
        if (!set_file::StartSetFile(path_, reader_, log)) return false;
        const format::HeaderBytes header = format::EncodeHeader(reader_.signature);
        record_.restDigest = format::DigestOf(header, record_.restDigest);
        if (bytes_) bytes_(header);
        return true;
    }
    const format::ChunkHeader& Signature() const { return reader_.signature; }
    // Reads the next chunk; false at the end or after a failure.
    bool Next() {
        if (!set_file::NextSetChunk(reader_, chunk_)) return false;
        if (bytes_) {
            bytes_(format::EncodeHeader(chunk_.header));
            bytes_(chunk_.payload);
        }
        return true;
    }
    bool Failed() const { return !reader_.walk.result; }
    const format::Chunk& Current() const { return chunk_; }

    void Record() {
        format::ChunkWalk& walk = reader_.walk;
        format::TrackTextureName(walk, chunk_);
        if (format::IsNamedTexture(walk, chunk_)) {
            RecordTexture(walk.currentTextureName);
        } else {
            RecordRest();
        }
    }

    // The bytes after the last chunk, once the walk has ended.
    format::Bytes Tail() const { return {reader_.walk.tail.data(), reader_.walk.tailSize}; }

    bool Finish(report::ReportLog& log) {
        record_.restDigest = format::DigestOf(Tail(), record_.restDigest);
        if (bytes_) bytes_(Tail());
        return set_file::FinishSetFile(reader_, log);
    }

    SetRecord TakeRecord() { return std::move(record_); }

private:
    void RecordTexture(const std::string& name) {
        const format::TgaFields tga = *format::ReadTgaFields(chunk_.payload);
        record_.textures.push_back({.name = name,
                                    .occurrence = ++occurrences_[name],
                                    .shape = {tga.width, tga.height, tga.depth},
                                    .variant = chunk_.header.variant,
                                    .digest = format::DigestOf(chunk_.payload)});
    }

    void RecordRest() {
        const format::HeaderBytes header = format::EncodeHeader(chunk_.header);
        std::uint64_t& digest = record_.restDigest;
        digest = format::DigestOf(header, digest);
        const format::Bytes payload = chunk_.payload;
        if (chunk_.header.kind != format::kMaterialChunk ||
            payload.size() < specular::kMinScaledMaterialSize) {
            digest = format::DigestOf(payload, digest);
            return;
        }
        record_.materials.push_back(
            {*specular::KeyAt(payload, 0), payload[kAmplitudeOffset], payload[kShininessOffset]});
        digest = format::DigestOf(payload.first(kAmplitudeOffset), digest);
        digest = format::DigestOf(payload.subspan(kShininessOffset + 1), digest);
    }

    std::string path_;
    set_file::SetFileReader reader_;
    FileBytesVisit bytes_;  // may be empty
    format::Chunk chunk_;
    SetRecord record_;
    // Names come from untrusted files: an ordered map can't be flooded.
    std::map<std::string, std::size_t, std::less<>> occurrences_;
};

// Both sides to their ends, or until one fails; true when the files hold
// the same chunks, as far as they were read.
bool WalkSideBySide(SetSide& set, SetSide& other) {
    bool same = true;
    bool setGoesOn = true;
    bool otherGoesOn = true;
    while (setGoesOn || otherGoesOn) {
        if (setGoesOn) setGoesOn = set.Next();
        if (otherGoesOn) otherGoesOn = other.Next();
        if (set.Failed() || other.Failed()) return false;
        same = same && setGoesOn == otherGoesOn &&
               (!setGoesOn || SameChunk(set.Current(), other.Current()));
        if (setGoesOn) set.Record();
        if (otherGoesOn) other.Record();
    }
    return same;
}

}  // namespace

std::optional<WalkedPair> WalkBothSets(const ComparedSet& set, const ComparedSet& other,
                                       report::ReportLog& log, const FileBytesVisit& otherBytes) {
    SetSide setSide(set, {});
    SetSide otherSide(other, otherBytes);
    bool same = false;
    if (setSide.Start(log) && otherSide.Start(log)) {
        same = WalkSideBySide(setSide, otherSide) &&
               format::EncodeHeader(setSide.Signature()) ==
                   format::EncodeHeader(otherSide.Signature());
    }
    const bool setWhole = setSide.Finish(log);
    const bool otherWhole = otherSide.Finish(log);
    if (!setWhole || !otherWhole) return std::nullopt;
    const format::Bytes setTail = setSide.Tail();
    const format::Bytes otherTail = otherSide.Tail();
    WalkedPair pair{.set = setSide.TakeRecord(), .other = otherSide.TakeRecord()};
    pair.identical =
        same && std::equal(setTail.begin(), setTail.end(), otherTail.begin(), otherTail.end());
    return pair;
}

}  // namespace sorrelwick::comparison
