// The fault seam: a chosen checked operation fails, once or from then on, and
// a stream tells such a failure from the end of its file.

#include <gtest/gtest.h>

#include "generators/chess_set_builder.h"
#include "platform/fault_seam.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace sorrelwick::platform {
namespace {

using test::TempDir;

TEST(FaultSeam, AnInjectedReadFailureIsAnErrorNotTheEnd) {
    TempDir dir;
    const std::string path = dir.File("f");
    ASSERT_TRUE(gen::WriteWholeFile(path, {1, 2, 3, 4, 5}));
    File file = File::OpenForReading(path);
    std::uint8_t buffer[8];
    EXPECT_EQ(file.Remaining(), 5u);
    EXPECT_EQ(file.Read(buffer, 2), 2u);
    EXPECT_EQ(file.Remaining(), 3u);
    EXPECT_EQ(file.Read(buffer, 8), 3u);
    EXPECT_FALSE(file.ReadFailed());
    {
        ScopedFault fault(FaultPlan{Operation::Read, 1});
        EXPECT_EQ(file.Read(buffer, 1), 0u);
    }
    EXPECT_TRUE(file.ReadFailed());
    EXPECT_TRUE(file.Close());
}

TEST(FaultSeam, FailsTheChosenOperationOnceOrFromThenOn) {
    {
        ScopedFault fault(FaultPlan{Operation::Write, 2});
        EXPECT_FALSE(ShouldFail(Operation::Write));
        EXPECT_FALSE(ShouldFail(Operation::Read));
        EXPECT_TRUE(ShouldFail(Operation::Write));
        EXPECT_FALSE(ShouldFail(Operation::Write));
        EXPECT_EQ(OperationsSeen(), 4u);
        EXPECT_EQ(OperationsSeen(Operation::Write), 3u);
    }
    {
        ScopedFault fault(FaultPlan{std::nullopt, 2, true});
        EXPECT_FALSE(ShouldFail(Operation::Open));
        EXPECT_FALSE(FaultFired());
        EXPECT_TRUE(ShouldFail(Operation::Close));
        EXPECT_TRUE(ShouldFail(Operation::Allocate));
        EXPECT_TRUE(FaultFired());
    }
    EXPECT_FALSE(ShouldFail(Operation::Open));
}

}  // namespace
}  // namespace sorrelwick::platform
