// Runs a fuzz target's checks, without the fuzzer, on every file named on the
// command line or held in a folder named there (a missing folder holds
// nothing). Fails when there was no input at all, so a replay that finds
// nothing to run can't pass unnoticed.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsIn(const fs::path& given) {
    std::error_code missing;
    if (!fs::is_directory(given, missing)) return {given};
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(given, missing)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int n = 1; n < argc; ++n) {
        std::error_code missing;
        if (!fs::exists(argv[n], missing)) continue;
        for (const fs::path& path : InputsIn(argv[n])) {
            std::ifstream in(path, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
            std::cout << "replaying " << path.string() << " (" << bytes.size() << " bytes)"
                      << std::endl;
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++replayed;
        }
    }
    std::cout << replayed << " inputs replayed\n";
    return replayed == 0 ? 1 : 0;
}
