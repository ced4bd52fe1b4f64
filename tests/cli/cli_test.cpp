// sorrelwick-cli and make-demo-sets seen from outside: exit status, standard
// output and standard error of the real programs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/process_run.h"
#include "generators/chess_set_builder.h"
#include "generators/demo_set.h"
#include "report/lines.h"
#include "report/messages.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"

namespace sorrelwick::test {
namespace {

const std::string kCli = SORRELWICK_CLI_PATH;
const std::string kMakeDemoSets = MAKE_DEMO_SETS_PATH;
const std::string kDemoSetFolder = DEMO_SET_FOLDER;

// The listing the tool gives for a demo set, from its manifest.
std::vector<std::string> ExpectedListing(const gen::DemoSet& set) {
    std::vector<std::string> body;
    for (const gen::DemoTexture& t : set.textures) {
        body.push_back(report::TextureInfoLine(t.name, t.width, t.height, t.depth));
    }
    return Framed(report::msg::Loading(set.fileName), body);
}

class ListDemoSet : public ::testing::TestWithParam<unsigned> {};

// The demo sets are the ones make-demo-sets wrote before this test ran.
TEST_P(ListDemoSet, PrintsTheListingOfTheManifest) {
    const gen::DemoSet set = gen::BuildDemoSet(GetParam());
    const ProcessRun run = RunProcess(kCli, {"list", kDemoSetFolder + "/" + set.fileName});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(OutputLines(run.standardOutput), ExpectedListing(set));
    EXPECT_EQ(run.standardError, "");
}

INSTANTIATE_TEST_SUITE_P(EveryNamingStyle, ListDemoSet, ::testing::Range(0u, gen::kDemoStyleCount));

TEST(CliList, MissingFileIsAFramedOpenFailure) {
    const TempDir dir;
    const ProcessRun run = RunProcess(kCli, {"list", dir.File("missing.DAT")});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(OutputLines(run.standardOutput),
              Framed("Loading missing.DAT", {"Error - Could not open missing.DAT"}));
    EXPECT_EQ(run.standardError, "");
    EXPECT_TRUE(dir.Entries().empty());
}

struct UsageCase {
    const char* what;
    std::vector<std::string> arguments;  // "SET" stands for a path in a fresh folder
};

void PrintTo(const UsageCase& usage, std::ostream* out) {
    *out << usage.what;
}

class CliUsageError : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageError, ExitsTwoWithAMessageAndTouchesNothing) {
    const TempDir dir;
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& argument : arguments) {
        if (argument == "SET") argument = dir.File("set.DAT");
    }
    const ProcessRun run = RunProcess(kCli, arguments);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_NE(run.standardError, "");
    EXPECT_TRUE(dir.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageError,
    ::testing::Values(UsageCase{"NoCommand", {}}, UsageCase{"UnknownCommand", {"show", "SET"}},
                      UsageCase{"ListWithoutSet", {"list"}},
                      UsageCase{"ListWithTwoSets", {"list", "SET", "SET"}},
                      UsageCase{"ExtractWithoutFolder", {"extract", "SET"}},
                      UsageCase{"ReplaceWithExtraArgument", {"replace", "SET", "SET", "SET"}},
                      UsageCase{"WhiteWithoutComma", {"specular", "SET", "--white", "50"}},
                      UsageCase{"WhiteNotANumber", {"specular", "SET", "--white", "x,50"}},
                      UsageCase{"WhiteTooLarge", {"specular", "SET", "--white", "1,4294967296"}},
                      UsageCase{"WhiteNegative", {"specular", "SET", "--white", "-1,50"}},
                      UsageCase{"WhiteWithoutValue", {"specular", "SET", "--white"}}),
    [](const ::testing::TestParamInfo<UsageCase>& param) { return param.param.what; });

TEST(MakeDemoSets, WritesAllFourSetsAsBuilt) {
    const TempDir dir;
    const ProcessRun run = RunProcess(kMakeDemoSets, {dir.Path().string()});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"A1_demo.DAT", "B1_demo.DAT", "C1_demo.DAT",
                                                       "D1_demo.DAT"}));
    for (unsigned style = 0; style < gen::kDemoStyleCount; ++style) {
        const gen::DemoSet set = gen::BuildDemoSet(style);
        EXPECT_EQ(gen::ReadWholeFile(dir.File(set.fileName)), set.bytes) << set.fileName;
    }
}

TEST(MakeDemoSets, FailsWithAMessageWhenItCannotWrite) {
    const TempDir dir;
    const ProcessRun run = RunProcess(kMakeDemoSets, {dir.File("no-such-folder")});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError, "");
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(MakeDemoSets, WantsExactlyOneFolder) {
    const ProcessRun run = RunProcess(kMakeDemoSets, {});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_NE(run.standardError, "");
}

}  // namespace
}  // namespace sorrelwick::test
