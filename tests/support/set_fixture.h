#pragma once
// A chess-set file in a fresh folder, loaded into a ToolState, and builders
// for the typical sets the operations' tests start from; with what every
// test of an operation uses.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "set_file/tool_state.h"
#include "platform/file_system.h"
#include "report/report_log.h"
#include "support/fault_sweep.h"
#include "support/reasons.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using platform::FaultPlan;
using platform::Operation;

struct SetFolder {
    explicit SetFolder(const std::string& name = "set1.DAT");
    // Writes `bytes` as the loaded set.
    explicit SetFolder(const Bytes& bytes, const std::string& name = "set1.DAT");

    // Makes `name` in the folder the loaded set.
    void Load(const std::string& name);
    void Write(const Bytes& bytes) const;
    Bytes SetBytes() const;
    // A folder `name` beside the set, created when missing.
    std::string Folder(const std::string& name) const;
    FolderContents Files() const { return FilesIn(dir.Path()); }

    TempDir dir;
    std::string setPath;
    ToolState state;
    report::MemoryReportLog log;
};

class SetFixture : public ::testing::Test, public SetFolder {};

// Lines the operations give about the fixture's set.
inline const std::string kBadFormat =
    "Error - Bad file format. set1.DAT isn't a proper Tessaravine chess set.";
inline const std::string kCouldNotRead = "Error - Could not read set1.DAT";
inline const std::string kCouldNotWrite = "Error - Could not write set1.DAT";
inline const std::string kNoMemory = "Error - Not enough memory";
inline const std::string kRenamed = "Original file renamed to set1.000";

struct Texture {
    std::string name;
    Bytes image;
};

// A TGA image whose pixels follow a pattern, so that any byte moved or
// changed on the way shows.
Bytes Image(std::uint16_t width, std::uint16_t height, std::uint8_t depth, std::uint8_t seed = 0);
// The signature header, then each texture behind a texture reference naming it.
gen::ChessSetBuilder SetOf(const std::vector<Texture>& textures);

// `bytes` without their last `by` bytes, and their first `count` bytes alone.
Bytes Cut(Bytes bytes, std::size_t by);
Bytes Head(const Bytes& bytes, std::size_t count);

}  // namespace sorrelwick::test
