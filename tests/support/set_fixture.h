#pragma once
// A chess-set file in a fresh folder, with a ToolState that has it loaded.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generators/chess_set_builder.h"
#include "operations/tool_state.h"
#include "report/report_log.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {

class SetFixture : public ::testing::Test {
protected:
    // Writes `bytes` as the chess set `name` in the folder and loads it.
    void WriteSet(const std::vector<std::uint8_t>& bytes, const std::string& name = "set1.DAT") {
        const std::string path = dir.File(name);
        ASSERT_TRUE(gen::WriteWholeFile(path, bytes));
        SetLoadedSet(state, path);
    }
    void WriteSet(const gen::ChessSetBuilder& set, const std::string& name = "set1.DAT") {
        WriteSet(set.Bytes(), name);
    }

    TempDir dir;
    ToolState state;
    report::MemoryReportLog log;
};

}  // namespace sorrelwick::test
