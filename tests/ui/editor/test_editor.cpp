// An image editor for the gallery's tests: registered for a file type's
// "edit" or "open" verb, it writes the picture in the file that
// SORRELWICK_TEST_PICTURE names over the file it is given, in two pieces
// with a pause between, as editors that save in several writes do.

#include <windows.h>

#include <cstdio>
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
    FILE* file = _wfopen(argv[1], L"wb");
    if (!file) return 4;
    const std::size_t half = bytes.size() / 2;
    std::fwrite(bytes.data(), 1, half, file);
    std::fflush(file);
    Sleep(60);  // shorter than the quiet period a save is taken after
    std::fwrite(bytes.data() + half, 1, bytes.size() - half, file);
    return std::fclose(file) == 0 ? 0 : 5;
}
