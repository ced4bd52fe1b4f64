#include "support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/file_system.h"

namespace sorrelwick::test {
namespace {
std::atomic<unsigned> counter{0};
}

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path()) {}

TempDir::TempDir(const std::filesystem::path& parent) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = parent / ("sorrelwick-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const {
    return platform::JoinPath(path_.string(), name);
}

std::vector<std::string> TempDir::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

FolderContents FilesIn(const std::filesystem::path& folder) {
    FolderContents files;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
        const std::u8string utf8 = entry.path().filename().u8string();
        const std::string name(utf8.begin(), utf8.end());
        if (entry.is_directory()) {
            files[name + "/"] = {};
            continue;
        }
        // Never opened: the open would wait for a writer.
        if (entry.is_fifo()) {
            files[name + "|"] = {};
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        files[name].assign(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

}  // namespace sorrelwick::test
