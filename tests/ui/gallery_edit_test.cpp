// A texture opened in the user's image editor from the gallery: a test
// editor of ours, registered for PNG files, saves a prepared picture over
// the file it is given, and the save reaches the set, its tile and the
// report, with one backup however often the user saves.

#include <filesystem>
#include <functional>

#include "gallery_fixture.h"
#include "generators/picture_builder.h"
#include "operations/texture_png.h"
#include "platform/win32/wide_text.h"
#include "ui/gallery_texts.h"
#include "ui/texture_editing.h"

namespace sorrelwick::test {
namespace {

constexpr wchar_t kProgId[] = L"SorrelwickTestPicture";

// A key's default value set for the test and put back as it was after it
// (the key removed when the test made it).
class DefaultValue {
public:
    DefaultValue(HKEY root, std::wstring key, const std::wstring& value)
        : root_(root), key_(std::move(key)) {
        HKEY opened = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                            &disposition) != ERROR_SUCCESS) {
            return;
        }
        created_ = disposition == REG_CREATED_NEW_KEY;
        wchar_t old[512] = {};
        DWORD size = sizeof old - sizeof(wchar_t);
        hadValue_ = RegQueryValueExW(opened, nullptr, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        old_ = old;
        RegSetValueExW(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(opened);
    }
    ~DefaultValue() {
        if (created_) {
            RegDeleteTreeW(root_, key_.c_str());
        } else if (hadValue_) {
            RegSetKeyValueW(root_, key_.c_str(), nullptr, REG_SZ, old_.c_str(),
                            static_cast<DWORD>((old_.size() + 1) * sizeof(wchar_t)));
        } else {
            RegDeleteKeyValueW(root_, key_.c_str(), nullptr);
        }
    }
    DefaultValue(const DefaultValue&) = delete;
    DefaultValue& operator=(const DefaultValue&) = delete;

private:
    HKEY root_;
    std::wstring key_;
    bool created_ = false, hadValue_ = false;
    std::wstring old_;
};

// `program` registered as the user registers an editor for PNG files, for
// the shell's `verbs`. Where the classes root does not take the user's own
// classes (Wine), also where it reads them from.
class RegisteredEditor {
public:
    RegisteredEditor(const std::vector<std::wstring>& verbs, const std::wstring& program) {
        const std::wstring command = L"\"" + program + L"\" \"%1\"";
        for (const wchar_t* classes : {L"Software\\Classes\\", L"SOFTWARE\\Classes\\"}) {
            const HKEY root = entries_.empty() ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
            if (!entries_.empty() && SeenFromClassesRoot()) break;
            const std::wstring base(classes);
            entries_.push_back(std::make_unique<DefaultValue>(root, base + L".png", kProgId));
            for (const std::wstring& verb : verbs) {
                entries_.push_back(std::make_unique<DefaultValue>(
                    root, base + kProgId + L"\\shell\\" + verb + L"\\command", command));
            }
        }
    }
    ~RegisteredEditor() {
        // The verbs before the type that names them; the progid's key last.
        while (!entries_.empty()) entries_.pop_back();
        for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteTreeW(root, (std::wstring(L"Software\\Classes\\") + kProgId).c_str());
        }
    }

private:
    static bool SeenFromClassesRoot() {
        wchar_t progId[64] = {};
        DWORD size = sizeof progId;
        return RegGetValueW(HKEY_CLASSES_ROOT, L".png", nullptr, RRF_RT_REG_SZ, nullptr, progId,
                            &size) == ERROR_SUCCESS &&
               std::wstring(progId) == kProgId;
    }
    std::vector<std::unique_ptr<DefaultValue>> entries_;
};

std::wstring BesideTests(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / name).wstring();
}

// Runs the window's messages until `done`, or gives up after a while (the
// editor is another process; the watch takes a save once it is still).
bool PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG giveUp = GetTickCount64() + 20000;
    while (!done()) {
        if (GetTickCount64() > giveUp) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    return true;
}

// Picture pixels, for images stored in different forms.
std::vector<std::uint8_t> Pixels(const std::vector<std::uint8_t>& tga) {
    return operations::MakeUnblendedPicture(format::Bytes(tga.data(), tga.size())).bgra;
}

gen::Rgba Dark(unsigned x, unsigned y) {
    return {static_cast<std::uint8_t>(5 * x), static_cast<std::uint8_t>(7 * y), 90, 255};
}
gen::Rgba Light(unsigned x, unsigned y) {
    return {250, static_cast<std::uint8_t>(200 - 9 * x), static_cast<std::uint8_t>(30 * y), 255};
}

std::size_t Backups(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        count += name.rfind("set1.", 0) == 0 && name != "set1.DAT";
    }
    return count;
}

class GalleryEdit : public Gallery {
protected:
    void SetUp() override {
        Gallery::SetUp();
        editing = ui::EditingFolder("set1.DAT");
        ASSERT_FALSE(editing.empty());
        std::filesystem::remove_all(editing);
    }
    void TearDown() override {
        ui::CloseGallery();
        SetEnvironmentVariableW(L"SORRELWICK_TEST_PICTURE", nullptr);
        SetEnvironmentVariableW(L"SORRELWICK_TEST_SAVE_BY_RENAME", nullptr);
        std::filesystem::remove_all(editing);
        Gallery::TearDown();
    }
    // The editor's next save: the texture `pattern` draws, as a PNG.
    void EditorSaves(const std::string& name, gen::Rgba (*pattern)(unsigned, unsigned)) {
        const gen::BuiltTga picture = gen::BuildTga({}, 4, 2, pattern);
        const std::vector<std::uint8_t> png =
            operations::TextureAsPng(format::Bytes(picture.file.data(), picture.file.size()));
        ASSERT_FALSE(png.empty());
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(name), png));
        const std::optional<std::wstring> path = platform::WidePath(dir.File(name));
        SetEnvironmentVariableW(L"SORRELWICK_TEST_PICTURE", path->c_str());
        expected = Pixels(picture.file);
    }
    void ClickInGallery(int id) const { SendMessageW(GetDlgItem(gallery, id), BM_CLICK, 0, 0); }
    std::vector<std::uint8_t> WoodInSet() const {
        const auto index = operations::IndexTextures(dir.File("set1.DAT"));
        return index ? Pixels(operations::ReadTextureImage(dir.File("set1.DAT"), index->front()))
                     : std::vector<std::uint8_t>{};
    }
    std::string editing;
    std::vector<std::uint8_t> expected;
};

}  // namespace

// Every way to start an edit opens the texture as a PNG in the editing
// folder with the registered editor ("edit", else "open"); each of its
// saves, written in two pieces, is imported once whole; two saves leave one
// backup, which the second import names as the set before the session.
TEST_F(GalleryEdit, SavesOfTheRegisteredEditorReachTheSetAndTheTile) {
    // How the user starts editing the first tile, the verbs the editor is
    // registered for, and whether it saves by renaming another file over.
    struct Case {
        const char* how;
        std::function<void()> start;
        std::vector<std::wstring> verbs;
        bool byRename = false;
    };
    const Case cases[] = {
        {"the button", [this] { ClickInGallery(SORRELWICK_EDIT_TEXTURE); }, {L"edit"}},
        {"the tile's menu", [this] { ChooseFromMenu(0, 2); }, {L"open"}, true},
        {"a double click",
         [this] {
             POINT at = TileMiddle(0);
             MapWindowPoints(gallery, Tiles(), &at, 1);
             SendMessageW(Tiles(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
         },
         {L"edit", L"open"}},
    };
    const std::vector<Texture> textures = Textures();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        ui::CloseGallery();
        std::filesystem::remove_all(editing);
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            std::filesystem::remove(entry.path());
        }
        const RegisteredEditor editor(c.verbs, BesideTests(L"sorrelwick_test_editor.exe"));
        SetEnvironmentVariableW(L"SORRELWICK_TEST_SAVE_BY_RENAME", c.byRename ? L"1" : nullptr);
        Open(textures);
        SelectTile(0);
        const std::vector<std::uint8_t> tileBefore = TilePixels(0);
        Click(SORRELWICK_CLEAR_BUTTON);

        EditorSaves("dark.png", Dark);
        c.start();
        const std::string file = editing + "\\wood.png";
        EXPECT_EQ(Report().at(0), ui::EditorOpenedLine("wood.tga", file));
        ASSERT_TRUE(PumpUntil([&] { return WoodInSet() == expected; }));
        EXPECT_NE(TilePixels(0), tileBefore);
        EXPECT_EQ(Labels()[0], "wood.tga\n4x2, 24 bits");
        EXPECT_EQ(Backups(dir.Path()), 1u);
        const std::vector<std::uint8_t> tileDark = TilePixels(0);

        // Again: the same file, the same session.
        Click(SORRELWICK_CLEAR_BUTTON);
        EditorSaves("light.png", Light);
        c.start();
        ASSERT_TRUE(PumpUntil([&] { return WoodInSet() == expected; }));
        EXPECT_NE(TilePixels(0), tileDark);
        EXPECT_EQ(Backups(dir.Path()), 1u);
        const Lines report = Report();
        EXPECT_EQ(report.front(), ui::EditorOpenedLine("wood.tga", file));
        EXPECT_NE(
            std::find(report.begin(), report.end(), "Set before this editing session: set1.000"),
            report.end());
        // The other textures are as they were.
        const auto index = operations::IndexTextures(dir.File("set1.DAT")).value();
        for (std::size_t i = 1; i < textures.size(); ++i) {
            EXPECT_EQ(operations::ReadTextureImage(dir.File("set1.DAT"), index[i]),
                      textures[i].image.file);
        }
        // Only the texture's file, whatever the editor wrote on the way.
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(editing)) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, Lines{"wood.png"});
    }

    // Another set shown: the watch ends (its timer is gone), and the file
    // stays for the user.
    ASSERT_TRUE(WriteWoodSet(dir.File("set2.DAT"), gen::MakeTga(8, 8, 24)));
    Load(dir.File("set2.DAT"));
    EXPECT_EQ(WindowText(gallery), "Textures - set2.DAT");
    EXPECT_FALSE(KillTimer(gallery, ui::kEditingTimer));
    EXPECT_TRUE(std::filesystem::is_regular_file(editing + "\\wood.png"));
}

// No editor starts: the report says which file, why, and what to do
// instead; the PNG stays in the editing folder and the set is untouched.
TEST_F(GalleryEdit, AnEditorThatDoesNotStartIsSaidWithItsReason) {
    const RegisteredEditor editor({L"edit", L"open"}, BesideTests(L"no_such_editor.exe"));
    const std::vector<Texture> textures = Textures();
    Open(textures);
    SelectTile(1);
    Click(SORRELWICK_CLEAR_BUTTON);
    ClickInGallery(SORRELWICK_EDIT_TEXTURE);
    const std::string file = editing + "\\glass.png";
    const Lines report = Report();
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[0], ui::EditorNotStartedLine(file));
    EXPECT_NE(report[1], "");  // the system's reason
    EXPECT_EQ(report[2], ui::kExtractInstead);
    EXPECT_EQ(Status(), ui::StatusText(ui::kExtractInstead));
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")), SetOf(textures));
}

// A picture of any format the tool converts, dropped on a tile or chosen
// from its menu, is taken when converting; "Scale to the texture's size"
// brings other sides to the texture's; without it they stay, and must be
// powers of two.
TEST_F(Gallery, PicturesOfEveryEditorAreTakenWhenConvertingAndScaledWhenAsked) {
    const auto gallerySwitch = [this](int id, bool on) {
        CheckDlgButton(gallery, id, on ? BST_CHECKED : BST_UNCHECKED);
    };
    gen::Rgba (*const pattern)(unsigned, unsigned) = Dark;
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        bool convert, scale;
        bool taken;
        const char* said;  // in the status line
    } cases[] = {
        {"same.bmp", gen::MakeBmp(4, 2, 3, pattern), true, false, true, "converted from BMP"},
        {"same.gif", gen::MakeGif(4, 2, pattern), false, false, false, "Import failed"},
        {"large.jpg", gen::MakeJpeg(6, 3, 3, pattern), true, true, true, "scaled from 6x3"},
        {"large.psd", gen::MakePsd(6, 3, 3, pattern, true), false, true, true, "scaled from 6x3"},
        {"wide.psd", gen::MakePsd(6, 3, 3, pattern, false), true, false, false, "wrong size"},
    };
    const std::vector<Texture> textures = Textures();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(gen::WriteWholeFile(dir.File(c.name), c.file));
        Open(textures);
        Click(SORRELWICK_CLEAR_BUTTON);
        gallerySwitch(SORRELWICK_GALLERY_CONVERT, c.convert);
        gallerySwitch(SORRELWICK_GALLERY_FIT, c.scale);
        Drop(gallery, dir, {c.name}, TileMiddle(0));
        EXPECT_NE(Status().find(c.said), std::string::npos) << ::testing::PrintToString(Report());
        EXPECT_EQ(gen::ReadWholeFile(dir.File("set1.DAT")) != SetOf(textures), c.taken);
        if (c.taken) {
            EXPECT_EQ(Labels()[0], "wood.tga\n4x2, 24 bits");
        }
    }
    ASSERT_FALSE(HasFailure());

    // The file dialog offers those formats when converting.
    // With the closing zero of the literal, the two that end the filter.
    constexpr char kPictures[] =
        "Picture (*.tga, *.png, *.bmp, *.jpg, *.jpeg, *.psd, *.gif)\0"
        "*.tga;*.png;*.bmp;*.jpg;*.jpeg;*.psd;*.gif\0";
    const std::string pictures(kPictures, sizeof kPictures);
    for (const bool convert : {true, false}) {
        Open(textures);
        gallerySwitch(SORRELWICK_GALLERY_CONVERT, convert);
        gallerySwitch(SORRELWICK_GALLERY_FIT, false);
        openRequests.clear();
        openAnswer = std::nullopt;
        ChooseFromMenu(0, 0);
        ASSERT_EQ(openRequests.size(), 1u);
        EXPECT_EQ(openRequests[0].filter.substr(0, 8), convert ? "Picture " : "Texture ");
        if (convert) {
            EXPECT_EQ(openRequests[0].filter, pictures);
        }
    }
}

}  // namespace sorrelwick::test
