#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace sorrelwick::test {

class TempDir {
public:
    TempDir();
    // A fresh folder inside `parent` rather than the system's folder for
    // temporary files.
    explicit TempDir(const std::filesystem::path& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // `name` inside the folder, as a path text with the platform's separator.
    std::string File(const std::string& name) const;
    // The names of the folder's entries, sorted.
    std::vector<std::string> Entries() const;

private:
    std::filesystem::path path_;
};

// What a folder holds: each file with its bytes, each subfolder as "name/"
// and each named pipe as "name|", with no bytes. Comparing it with the
// expected map checks that the folder holds exactly these files with exactly
// these bytes.
using FolderContents = std::map<std::string, std::vector<std::uint8_t>>;
FolderContents FilesIn(const std::filesystem::path& folder);

}  // namespace sorrelwick::test
