// Runs a fuzz target's checks, without the fuzzer, on every file named on the
// command line or held in a folder named there (a missing folder holds
// nothing). Fails when there was no input at all, so a replay that finds
// nothing to run can't pass unnoticed.

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <set>
#include <vector>

#include "generators/chess_set_builder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::size_t replayed = 0;
    for (int n = 1; n < argc; ++n) {
        std::error_code missing;
        std::set<fs::path> inputs;  // by name, so that every replay runs in one order
        if (fs::is_regular_file(argv[n], missing)) inputs.insert(argv[n]);
        for (const auto& entry : fs::directory_iterator(argv[n], missing)) {
            if (entry.is_regular_file()) inputs.insert(entry.path());
        }
        for (const fs::path& path : inputs) {
            const std::vector<std::uint8_t> bytes = sorrelwick::gen::ReadWholeFile(path.string());
            std::cout << "replaying " << path.string() << " (" << bytes.size() << " bytes)"
                      << std::endl;
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::cout << replayed << " inputs replayed\n";
    return replayed == 0 ? 1 : 0;
}
