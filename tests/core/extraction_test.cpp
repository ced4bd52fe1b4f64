// Texture extraction: the report lines and the files it leaves in the folder.
// The walk's own failures are shown once, in the listing's tests.

#include "operations/extraction.h"

#include <algorithm>

#include "support/set_fixture.h"

namespace sorrelwick::test {
namespace {

const std::string kSuccessful = "Export successful";
const std::string kCreateFailed = "Export failed: error creating file";

const Bytes kWood = Image(8, 4, 24);
const Bytes kMarble = Image(4, 16, 32);
const Bytes kKept = {'k', 'e', 'p', 't'};
const std::vector<Texture> kWoodAndMarble = {{"wood.tga", kWood}, {"marble.tga", kMarble}};

std::string Info(const std::string& name, std::string_view outcome) {
    return report::TextureInfoLine(name, 8, 4, 24, outcome);
}

std::string AlreadyExists(const std::string& name) {
    return report::NameMessageLine(name, "Export failed: file already exists");
}

const std::string kWoodOk = Info("wood.tga", kSuccessful);
const std::string kMarbleOk = report::TextureInfoLine("marble.tga", 4, 16, 32, kSuccessful);

class ExtractionTest : public SetFixture {
protected:
    bool Extract() {
        log = {};
        return operations::ExtractTextures(state, out, &log);
    }
    Lines Report(const Lines& body) const {
        return Framed("Exporting set1.DAT's textures to " + out, body);
    }

    // Not normalised, and with a "%" that must stay as it is.
    std::string out = platform::JoinPath(Folder("out/100%s"), ".");
};

TEST_F(ExtractionTest, GuardsAddTheirSingleLineAndWriteNothing) {
    Write(SetOf(kWoodAndMarble).Bytes());
    const std::tuple<ToolState, std::string, std::string> cases[] = {
        {ToolState{}, out, "Error - Invalid load path"},
        {ToolState{}, "", "Error - Invalid load path"},
        {state, "", "Error - Invalid extract path"},
    };
    for (const auto& [loaded, folder, line] : cases) {
        log = {};
        EXPECT_FALSE(operations::ExtractTextures(loaded, folder, &log));
        EXPECT_EQ(log.Lines(), Lines{line});
    }
    EXPECT_FALSE(operations::ExtractTextures(state, out, nullptr));
    EXPECT_EQ(FilesIn(out), FolderContents{});
}

// The outcomes but "already exists", shown by extracting twice.
TEST_F(ExtractionTest, EachPerTextureOutcome) {
    const FolderContents both = {{"wood.tga", kWood}, {"marble.tga", kMarble}};
    const FolderContents wood = {{"wood.tga", kWood}}, marble = {{"marble.tga", kMarble}};
    const std::string woodNotCreated = Info("wood.tga", kCreateFailed);
    const std::string woodNotWritten = Info("wood.tga", "Export failed: error writing file");
    const std::string marbleNotWritten =
        report::TextureInfoLine("marble.tga", 4, 16, 32, "Export failed: error writing file");
    const std::string closeMarble = "Error - Could not close marble.tga";
    const std::string closeSet = "Error - Could not close set1.DAT";
    struct Case {
        const char* what;
        FaultPlan fault;
        Lines body;            // ending in an error, the extraction fails
        FolderContents files;  // failed writes and closes leave no file behind
    };
    // clang-format off
    const Case cases[] = {
        {"written and closed", {}, {kWoodOk, kMarbleOk}, both},
        // The first open is the chess-set file's.
        {"not created", {Operation::Open, 2}, {woodNotCreated, kMarbleOk}, marble},
        {"not created for lack of permission", Armed(Operation::Open, 2, Why::AccessDenied),
         {Info("wood.tga", Because(kCreateFailed, Why::AccessDenied)), kMarbleOk}, marble},
        {"not moved to its name", Armed(Operation::Move, 1, Why::NameTooLong),
         {Info("wood.tga", Because(kCreateFailed, Why::NameTooLong)), kMarbleOk}, marble},
        {"not written", Armed(Operation::Write, 1, Why::DiskFull),
         {Info("wood.tga", Because("Export failed: error writing file", Why::DiskFull)), kMarbleOk},
         marble},
        // A texture not closed has its own line, and fails the extraction.
        {"not closed", Armed(Operation::Close, 1, Why::ReadOnly),
         {Info("wood.tga", Because("Export failed: error writing file", Why::ReadOnly)), kMarbleOk,
          "Error - Could not close wood.tga", ReasonLine(Why::ReadOnly)}, marble},
        {"second not closed", {Operation::Close, 2}, {kWoodOk, marbleNotWritten, closeMarble},
         wood},
        // Only the latest held failure is shown; the set's own close follows.
        {"no close works", {Operation::Close, 1, true},
         {woodNotWritten, marbleNotWritten, closeMarble, closeSet}, {}},
        // A walk failure ends the extraction; what was written stays.
        {"set not read whole", {Operation::Read, 6}, {kWoodOk, kCouldNotRead}, wood},
        {"set not closed", {Operation::Close, 3}, {kWoodOk, kMarbleOk, closeSet}, both},
    };
    // clang-format on
    Write(SetOf(kWoodAndMarble).Bytes());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& file : std::filesystem::directory_iterator(out)) {
            std::filesystem::remove(file.path());
        }
        std::size_t failed = 0;
        log = {};
        EXPECT_EQ(RunArmed(c.fault,
                           [&] { return operations::ExtractTextures(state, out, &log, &failed); }),
                  std::pair(std::none_of(c.body.begin(), c.body.end(),
                                         [](const std::string& line) {
                                             return line.starts_with("Error - ");
                                         }),
                            c.fault.nth != 0));
        EXPECT_EQ(log.Lines(), Report(c.body));
        // Every "Export failed" line counts for the exit status.
        EXPECT_EQ(failed, std::count_if(c.body.begin(), c.body.end(), [](const std::string& line) {
                      return line.find("Export failed") != std::string::npos;
                  }));
        EXPECT_EQ(FilesIn(out), c.files);
    }
}

// A second image of a name, and a second extraction after an edit, find
// the file there and leave it as it is.
TEST_F(ExtractionTest, AnExistingFileIsNeverReplaced) {
    Write(SetOf(kWoodAndMarble).TextureImage(kWood).Bytes());
    EXPECT_TRUE(Extract());
    EXPECT_EQ(log.Lines(), Report({kWoodOk, kMarbleOk, AlreadyExists("marble.tga")}));
    ASSERT_TRUE(gen::WriteWholeFile(platform::JoinPath(out, "wood.tga"), kKept));
    EXPECT_TRUE(Extract());
    EXPECT_EQ(log.Lines(), Report({AlreadyExists("wood.tga"), AlreadyExists("marble.tga"),
                                   AlreadyExists("marble.tga")}));
    EXPECT_EQ(FilesIn(out), (FolderContents{{"wood.tga", kKept}, {"marble.tga", kMarble}}));
}

TEST_F(ExtractionTest, NamesThatAreNoPlainFileNamesAreNeverUsedAsPaths) {
    const Lines unsafe = {"sub\\x.tga", "sub/x.tga", "c:x.tga", ".", "..", "CON", "nul.tga",
                          "Com1.x", "LPT9", "con .tga", "COM\xB9.tga", "line\nx.tga", "tab\t.tga",
                          "del\x7F.tga", "\x1B[2K.tga", "what?.tga", "a*.tga", "a<b>.tga",
                          "pipe|.tga", "q\".tga", "wood.tga.", "wood.tga ",
                          // 256 bytes: no file system takes the name, and nothing is there.
                          std::string(252, 'n') + ".tga"};
    std::vector<Texture> textures;
    Lines body;
    for (const std::string& name : unsafe) {
        textures.push_back({name, kWood});
        // On Windows the report reads the name's bytes in the code page.
        body.push_back(Info(platform::NameForReport(name), kCreateFailed));
    }
    body.back() = Info(unsafe.back(), Because(kCreateFailed, Why::NameTooLong));
    for (const std::string name : {"CONSOLE.tga", "COM0.tga"}) {
        textures.push_back({name, kWood});
        body.push_back(Info(name, kSuccessful));
    }
    Write(SetOf(textures).Bytes());
    Folder("out/100%s/sub");

    EXPECT_TRUE(Extract());
    EXPECT_EQ(log.Lines(), Report(body));
    EXPECT_EQ(FilesIn(out),
              (FolderContents{{"COM0.tga", kWood}, {"CONSOLE.tga", kWood}, {"sub/", {}}}));
    EXPECT_EQ(FilesIn(platform::JoinPath(out, "sub")), FolderContents{});
    EXPECT_EQ(Files(), (FolderContents{{"out/", {}}, {"set1.DAT", SetOf(textures).Bytes()}}));
    EXPECT_EQ(FilesIn(dir.Path() / "out"), (FolderContents{{"100%s/", {}}}));
}

}  // namespace
}  // namespace sorrelwick::test
