#pragma once
// The small part of the zip format a mod file needs: entries stored or
// deflated, no encryption, no zip64, no comments or extra fields written.
// Archives are made and read whole in memory; a mod is small.
//
// Reading takes untrusted bytes: every offset and size is checked against
// the archive before it is used, and an entry is inflated only into room of
// the size it declares, never beyond.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "format/byte_fields.h"

namespace sorrelwick::mod {

using ByteVector = std::vector<std::uint8_t>;

// An entry's data made ready for the archive: its CRC, and its deflated
// bytes when deflating makes it smaller. Made from `data` alone, so entries
// can be made ready on any thread. May throw std::bad_alloc.
struct ZipPrepared {
    std::uint32_t crc = 0;
    std::optional<ByteVector> deflated;  // none: stored as it is
};
ZipPrepared PrepareZipEntry(format::Bytes data);

// Builds an archive. Entries keep the order they are added in and all carry
// the same time (1980-01-01 00:00), so the same entries give the same bytes.
class ZipWriter {
public:
    // Deflates `data` unless deflating would not make it smaller.
    void Add(const std::string& name, format::Bytes data);
    // The same with `data` made ready by PrepareZipEntry.
    void Add(const std::string& name, format::Bytes data, const ZipPrepared& prepared);
    // The central directory and its end after the entries: the whole archive.
    ByteVector Finish();

private:
    struct Written {
        std::string name;
        std::uint16_t method;
        std::uint32_t crc, compressedSize, size, offset;
    };
    ByteVector archive_;
    std::vector<Written> entries_;
};

// One entry as the central directory describes it, its data found through
// its local header.
struct ZipEntry {
    std::string name;
    std::uint16_t method = 0;  // 0 stored, 8 deflated
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::size_t dataOffset = 0;  // within the archive
};

// The entries of `archive`, or nullopt when it is not an archive of this
// subset whose every entry lies within its data area (before the central
// directory) and shares no byte with another: no encryption, no zip64, only
// stored and deflated entries, no two entries of the same name, no name
// that reads as a path outside the archive's folder.
std::optional<std::vector<ZipEntry>> ReadZipDirectory(format::Bytes archive);

// The entry's bytes, exactly `entry.size` of them with the CRC it declares;
// nullopt otherwise (more data than declared included, which is never
// inflated). May throw std::bad_alloc.
std::optional<ByteVector> ExtractEntry(format::Bytes archive, const ZipEntry& entry);

}  // namespace sorrelwick::mod
