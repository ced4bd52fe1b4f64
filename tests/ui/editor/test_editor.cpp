// An image editor for the gallery's tests: registered for a file type's
// "edit" or "open" verb, it writes the picture in the file that
// SORRELWICK_TEST_PICTURE names over the file it is given, in two pieces
// with a pause between, as editors that save in several writes do; with
// SORRELWICK_TEST_SAVE_BY_RENAME set, it writes them to another name in the
// folder and renames that over the file, as other editors do.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<char> ReadAll(const wchar_t* path) {
    std::vector<char> bytes;
    if (FILE* file = _wfopen(path, L"rb")) {
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        std::fclose(file);
    }
    return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t picture[MAX_PATH] = {};
    if (argc != 2 || !GetEnvironmentVariableW(L"SORRELWICK_TEST_PICTURE", picture, MAX_PATH)) {
        return 2;
    }
    const std::vector<char> bytes = ReadAll(picture);
    if (bytes.empty()) return 3;
    const bool byRename = GetEnvironmentVariableW(L"SORRELWICK_TEST_SAVE_BY_RENAME", nullptr, 0);
    const std::wstring target = argv[1];
    const std::wstring written = byRename ? target + L".saving~" : target;
    FILE* file = _wfopen(written.c_str(), L"wb");
    if (!file) return 4;
    const std::size_t half = bytes.size() / 2;
    std::fwrite(bytes.data(), 1, half, file);
    std::fflush(file);
    Sleep(60);  // shorter than the quiet period a save is taken after
    std::fwrite(bytes.data() + half, 1, bytes.size() - half, file);
    if (std::fclose(file) != 0) return 5;
    if (byRename && !MoveFileExW(written.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return 6;
    }
    return 0;
}
