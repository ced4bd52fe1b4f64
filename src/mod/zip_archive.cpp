#include "mod/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <set>
#include <utility>
#include <string_view>

namespace sorrelwick::mod {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndSize = 22;
constexpr std::uint16_t kVersion = 20;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kDosDate1980 = (0 << 9) | (1 << 5) | 1;  // 1980-01-01
// Flags this subset refuses: encryption (bits 0 and 6) and patch data (5).
constexpr std::uint16_t kRefusedFlags = 1 | 1 << 5 | 1 << 6;

void Put16(ByteVector& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(ByteVector& out, std::uint32_t value) {
    Put16(out, static_cast<std::uint16_t>(value));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}
void PutName(ByteVector& out, const std::string& name) {
    out.insert(out.end(), name.begin(), name.end());
}

std::uint32_t CrcOf(format::Bytes data) {
    uLong crc = crc32(0, nullptr, 0);
    // zlib takes at most 4 GiB at once; entries are far smaller.
    return static_cast<std::uint32_t>(crc32(crc, data.data(), static_cast<uInt>(data.size())));
}

// The deflate level of a mod's entries, zlib's default: on noisy images no
// level does better than another and the fastest saves a sixth of the
// deflate's time, but on painted ones it makes the entries half as large
// again (the figures are in the README). A mod is downloaded by players.
constexpr int kDeflateLevel = Z_DEFAULT_COMPRESSION;

// Raw deflate of `data`, or nullopt when it is not smaller.
std::optional<ByteVector> Deflated(format::Bytes data) {
    z_stream stream{};
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return std::nullopt;
    }
    ByteVector out(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END || out.size() >= data.size()) return std::nullopt;
    return out;
}

// Reads the archive's little-endian fields at checked offsets.
struct Reader {
    format::Bytes bytes;
    bool Has(std::size_t offset, std::size_t width) const {
        return format::Fits(bytes, offset, width);
    }
    std::uint16_t U16(std::size_t offset) const { return format::LoadU16(bytes.data() + offset); }
    std::uint32_t U32(std::size_t offset) const { return format::LoadU32(bytes.data() + offset); }
};

std::optional<std::size_t> FindEnd(const Reader& in) {
    if (in.bytes.size() < kEndSize) return std::nullopt;
    const std::size_t last = in.bytes.size() - kEndSize;
    const std::size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (std::size_t at = last + 1; at-- > first;) {
        // The end record's comment must reach exactly to the archive's end.
        if (in.U32(at) == kEndSignature && at + kEndSize + in.U16(at + 20) == in.bytes.size()) {
            return at;
        }
    }
    return std::nullopt;
}

// A name an archiver could take for a path outside its folder (a ".."
// component, a root, a drive or a backslash), or with a control byte: no
// mod we write holds one, so an archive that does is not taken.
bool IsSafeEntryName(std::string_view name) {
    if (name.front() == '/' || name.find('\\') != std::string_view::npos ||
        name.find(':') != std::string_view::npos) {
        return false;
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find('/', start);
        if (name.substr(start, end - start) == "..") return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

// Where an entry lies in the archive: from its local header to its data's end.
using Extent = std::pair<std::size_t, std::size_t>;

// The entry at `at` in the central directory, with the data its local
// header leads to, which must end before `dataLimit`; `extent` is set to
// the bytes it takes.
std::optional<ZipEntry> ReadEntry(const Reader& in, std::size_t& at, std::size_t dataLimit,
                                  Extent& extent) {
    if (!in.Has(at, kCentralHeaderSize) || in.U32(at) != kCentralSignature) return std::nullopt;
    const std::uint16_t flags = in.U16(at + 8);
    ZipEntry entry;
    entry.method = in.U16(at + 10);
    entry.crc = in.U32(at + 16);
    entry.compressedSize = in.U32(at + 20);
    entry.size = in.U32(at + 24);
    const std::size_t nameLength = in.U16(at + 28);
    const std::size_t extraLength = in.U16(at + 30);
    const std::size_t commentLength = in.U16(at + 32);
    const std::uint32_t localOffset = in.U32(at + 42);
    constexpr std::uint32_t kZip64 = std::numeric_limits<std::uint32_t>::max();
    if ((flags & kRefusedFlags) != 0 || (entry.method != kStored && entry.method != kDeflated) ||
        entry.compressedSize == kZip64 || entry.size == kZip64 || localOffset == kZip64 ||
        (entry.method == kStored && entry.compressedSize != entry.size) || nameLength == 0 ||
        !in.Has(at + kCentralHeaderSize, nameLength + extraLength + commentLength)) {
        return std::nullopt;
    }
    const auto* name = reinterpret_cast<const char*>(in.bytes.data() + at + kCentralHeaderSize);
    entry.name.assign(name, nameLength);
    if (!IsSafeEntryName(entry.name)) return std::nullopt;
    at += kCentralHeaderSize + nameLength + extraLength + commentLength;

    if (!in.Has(localOffset, kLocalHeaderSize) || in.U32(localOffset) != kLocalSignature) {
        return std::nullopt;
    }
    const std::size_t dataOffset = std::size_t{localOffset} + kLocalHeaderSize +
                                   in.U16(localOffset + 26) + in.U16(localOffset + 28);
    if (dataOffset > dataLimit || entry.compressedSize > dataLimit - dataOffset) {
        return std::nullopt;
    }
    entry.dataOffset = dataOffset;
    extent = {localOffset, dataOffset + entry.compressedSize};
    return entry;
}

// Whether any two entries share bytes. Archives we write never do; an
// archive whose names all lead to one deflated entry would inflate it once
// for each name.
bool Overlap(std::vector<Extent>& extents) {
    std::sort(extents.begin(), extents.end());
    for (std::size_t i = 1; i < extents.size(); ++i) {
        if (extents[i].first < extents[i - 1].second) return true;
    }
    return false;
}

// Inflates exactly `size` bytes; one byte of spare room catches more.
std::optional<ByteVector> Inflated(format::Bytes data, std::uint32_t size) {
    ByteVector out(std::size_t{size} + 1);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END || produced != size) return std::nullopt;
    out.resize(size);
    return out;
}

}  // namespace

ZipPrepared PrepareZipEntry(format::Bytes data) {
    return {CrcOf(data), Deflated(data)};
}

void ZipWriter::Add(const std::string& name, format::Bytes data) {
    Add(name, data, PrepareZipEntry(data));
}

void ZipWriter::Add(const std::string& name, format::Bytes data, const ZipPrepared& prepared) {
    const std::optional<ByteVector>& deflated = prepared.deflated;
    const format::Bytes stored = deflated ? format::Bytes(*deflated) : data;
    const Written entry{name,
                        deflated ? kDeflated : kStored,
                        prepared.crc,
                        static_cast<std::uint32_t>(stored.size()),
                        static_cast<std::uint32_t>(data.size()),
                        static_cast<std::uint32_t>(archive_.size())};
    Put32(archive_, kLocalSignature);
    Put16(archive_, kVersion);
    Put16(archive_, 0);  // flags
    Put16(archive_, entry.method);
    Put16(archive_, 0);  // time
    Put16(archive_, kDosDate1980);
    Put32(archive_, entry.crc);
    Put32(archive_, entry.compressedSize);
    Put32(archive_, entry.size);
    Put16(archive_, static_cast<std::uint16_t>(name.size()));
    Put16(archive_, 0);  // extra field
    PutName(archive_, name);
    archive_.insert(archive_.end(), stored.begin(), stored.end());
    entries_.push_back(entry);
}

ByteVector ZipWriter::Finish() {
    const auto directoryOffset = static_cast<std::uint32_t>(archive_.size());
    for (const Written& entry : entries_) {
        Put32(archive_, kCentralSignature);
        Put16(archive_, kVersion);  // made by: MS-DOS attributes
        Put16(archive_, kVersion);
        Put16(archive_, 0);
        Put16(archive_, entry.method);
        Put16(archive_, 0);
        Put16(archive_, kDosDate1980);
        Put32(archive_, entry.crc);
        Put32(archive_, entry.compressedSize);
        Put32(archive_, entry.size);
        Put16(archive_, static_cast<std::uint16_t>(entry.name.size()));
        Put16(archive_, 0);  // extra field
        Put16(archive_, 0);  // comment
        Put16(archive_, 0);  // disk
        Put16(archive_, 0);  // internal attributes
        Put32(archive_, 0);  // external attributes
        Put32(archive_, entry.offset);
        PutName(archive_, entry.name);
    }
    const auto directorySize = static_cast<std::uint32_t>(archive_.size() - directoryOffset);
    const auto count = static_cast<std::uint16_t>(entries_.size());
    Put32(archive_, kEndSignature);
    Put16(archive_, 0);
    Put16(archive_, 0);
    Put16(archive_, count);
    Put16(archive_, count);
    Put32(archive_, directorySize);
    Put32(archive_, directoryOffset);
    Put16(archive_, 0);
    entries_.clear();
    return std::move(archive_);
}

std::optional<std::vector<ZipEntry>> ReadZipDirectory(format::Bytes archive) {
    const Reader in{archive};
    const std::optional<std::size_t> end = FindEnd(in);
    if (!end) return std::nullopt;
    const std::uint16_t count = in.U16(*end + 10);
    const std::size_t directorySize = in.U32(*end + 12);
    const std::size_t directoryOffset = in.U32(*end + 16);
    // One disk only, and a directory that lies before its end record.
    if (in.U16(*end + 4) != 0 || in.U16(*end + 6) != 0 || in.U16(*end + 8) != count ||
        directoryOffset > *end || directorySize != *end - directoryOffset) {
        return std::nullopt;
    }
    std::vector<ZipEntry> entries;
    std::vector<Extent> extents(count);
    std::set<std::string, std::less<>> names;
    std::size_t at = directoryOffset;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::optional<ZipEntry> entry = ReadEntry(in, at, directoryOffset, extents[i]);
        if (!entry || at > *end || !names.insert(entry->name).second) return std::nullopt;
        entries.push_back(std::move(*entry));
    }
    if (at != *end || Overlap(extents)) return std::nullopt;
    return entries;
}

std::optional<ByteVector> ExtractEntry(format::Bytes archive, const ZipEntry& entry) {
    const format::Bytes data = archive.subspan(entry.dataOffset, entry.compressedSize);
    std::optional<ByteVector> bytes;
    if (entry.method == kStored) {
        bytes.emplace(data.begin(), data.end());
    } else {
        bytes = Inflated(data, entry.size);
    }
    if (!bytes || CrcOf(*bytes) != entry.crc) return std::nullopt;
    return bytes;
}

}  // namespace sorrelwick::mod
