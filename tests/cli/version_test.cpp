// The version the program reports is the project's, the one that names the
// release packages.

#include <gtest/gtest.h>

#include "cli/process_run.h"

namespace sorrelwick::test {
namespace {

TEST(CliVersion, IsTheProjectVersion) {
    const ProcessRun run = RunProcess(SORRELWICK_CLI_PATH, {"--version"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(OutputLines(run.standardOutput),
              std::vector<std::string>{"sorrelwick-cli " SORRELWICK_PROJECT_VERSION});
    EXPECT_EQ(run.standardError, "");
}

}  // namespace
}  // namespace sorrelwick::test
