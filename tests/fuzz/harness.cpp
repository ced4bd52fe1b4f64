#include "fuzz/harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace sorrelwick::fuzz {
namespace {

namespace fs = std::filesystem;

format::ChunkHeader HeaderAt(ByteView bytes, std::size_t at) {
    return {Word(bytes, at), Word(bytes, at + 4), Word(bytes, at + 8)};
}

// Where the process folder goes: a memory file system where there is one,
// so that the files every run writes, reads back and removes never wait for
// a disk.
fs::path FolderForRuns() {
#ifndef _WIN32
    std::error_code missing;
    if (fs::is_directory("/dev/shm", missing)) return "/dev/shm";
#endif
    return fs::temp_directory_path();
}

// Created on the first run, removed when the process ends normally.
const test::TempDir& ProcessFolder() {
    static const test::TempDir folder(FolderForRuns());
    return folder;
}

fs::path WorkFolder() {
    return ProcessFolder().Path() / "work";
}

// The streams read and write whole files with one request each, without a
// buffer of their own.
Bytes ReadWholeFile(const fs::path& path, std::uintmax_t size) {
    std::ifstream in;
    in.rdbuf()->pubsetbuf(nullptr, 0);
    in.open(path, std::ios::binary);
    Bytes bytes(static_cast<std::size_t>(size));  // inputs are small: libFuzzer's -max_len
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    Require(in.gcount() == static_cast<std::streamsize>(size), "the harness could not read a file");
    return bytes;
}

void WriteWholeFile(const fs::path& path, ByteView bytes) {
    std::ofstream out;
    out.rdbuf()->pubsetbuf(nullptr, 0);
    out.open(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    Require(out.good(), "the harness could not write its input");
}

// The tree the process folder holds once `files` are written into "work".
Tree TreeOf(const std::map<std::string, ByteView>& files) {
    Tree tree{{"work/", {}}};
    for (const auto& [name, bytes] : files) {
        const std::string path = "work/" + name;
        for (auto slash = path.find('/', 5); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            tree[path.substr(0, slash + 1)] = {};
        }
        tree[path].assign(bytes.begin(), bytes.end());
    }
    return tree;
}

// Removes every file and folder below `folder` that `keep` doesn't name as
// such, so that a run starts from the last run's folder without building
// it anew. A link is removed, never followed.
void RemoveAllBut(const fs::path& folder, const Tree& keep) {
    const fs::path& root = ProcessFolder().Path();
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(root).generic_string();
        const fs::file_type type = entry.symlink_status().type();
        if (type == fs::file_type::directory && keep.contains(name + "/")) {
            RemoveAllBut(entry.path(), keep);
        } else if (type != fs::file_type::regular || !keep.contains(name)) {
            fs::remove_all(entry.path());
        }
    }
}

}  // namespace

void Require(bool holds, const char* broken) {
    if (holds) return;
    std::fprintf(stderr, "broken invariant: %s\n", broken);
    std::abort();
}

std::uint32_t Word(ByteView bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t n = 4; n-- > 0;) value = value << 8 | bytes[at + n];
    return value;
}

InputParts SplitInput(ByteView input) {
    if (input.size() < 4) return {{}, input};
    const std::size_t length = std::min<std::size_t>(Word(input, 0), input.size() - 4);
    return {input.subspan(4, length), input.subspan(4 + length)};
}

SetLayout ReadLayout(ByteView bytes) {
    SetLayout layout;
    if (bytes.size() < format::kChunkHeaderSize) return layout;
    const format::ChunkHeader first = HeaderAt(bytes, 0);
    if (first.kind != format::kSetSignature || first.length != 0) return layout;
    std::size_t at = format::kChunkHeaderSize;
    while (bytes.size() - at >= format::kChunkHeaderSize) {
        const format::ChunkHeader header = HeaderAt(bytes, at);
        at += format::kChunkHeaderSize;
        if (header.length > bytes.size() - at) return layout;
        layout.chunks.push_back({header, bytes.subspan(at, header.length)});
        at += header.length;
    }
    layout.whole = true;
    return layout;
}

bool Holds(const Tree& tree, const std::string& path, ByteView bytes) {
    const auto file = tree.find(path);
    return file != tree.end() &&
           std::equal(file->second.begin(), file->second.end(), bytes.begin(), bytes.end());
}

void TakeBackRewrite(Tree& after, const std::string& set, const std::string& backup,
                     ByteView original, const ChunkCheck& checkChunk) {
    Require(Holds(after, backup, original), "the backup is not the original set");
    const Bytes& written = after.at(set);
    const SetLayout was = ReadLayout(original), now = ReadLayout(written);
    Require(now.whole && now.chunks.size() == was.chunks.size(),
            "the new set's chunks are not the original ones");
    Require(std::equal(original.begin(), original.begin() + 12, written.begin()),
            "the signature header changed");
    for (std::size_t n = 0; n < now.chunks.size(); ++n) {
        const format::ChunkHeader &a = was.chunks[n].header, &b = now.chunks[n].header;
        Require(a.kind == b.kind && a.variant == b.variant, "a chunk header changed");
        checkChunk(was.chunks[n], now.chunks[n]);
    }
    after.erase(backup);
    after[set].assign(original.begin(), original.end());
}

RunFolder::RunFolder(const std::map<std::string, ByteView>& files) : before_(TreeOf(files)) {
    RemoveAllBut(ProcessFolder().Path(), before_);
    for (const auto& [path, bytes] : before_) {
        const fs::path at = ProcessFolder().Path() / path;
        if (path.ends_with('/')) {
            fs::create_directory(at);
        } else {
            WriteWholeFile(at, bytes);
        }
    }
}

std::string RunFolder::Path(const std::string& name) const {
    return platform::JoinPath(WorkFolder().string(), name);
}

Tree RunFolder::Snapshot() const {
    Tree tree;
    const fs::path& root = ProcessFolder().Path();
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).generic_string();
        if (entry.is_directory()) {
            tree[name + "/"] = {};
            continue;
        }
        tree[name] = ReadWholeFile(entry.path(), entry.file_size());
    }
    return tree;
}

ToolState RunFolder::LoadSet(const std::string& name) const {
    ToolState state;
    SetLoadedSet(state, Path(name));
    return state;
}

void CheckedLog::AppendLine(std::string_view line) {
    lines_.emplace_back(line);
    printed_.AppendLine(line);
}

std::size_t CheckedLog::CountEndingWith(std::string_view outcome) const {
    return static_cast<std::size_t>(
        std::count_if(lines_.begin(), lines_.end(),
                      [outcome](const std::string& line) { return line.ends_with(outcome); }));
}

void CheckedLog::RequireOneLinePerLine() const {
    const std::string text = rendered_.str();
    Require(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) == lines_.size(),
            "a report line was printed as more than one line");
    Require(std::none_of(text.begin(), text.end(),
                         [](char c) {
                             const auto byte = static_cast<unsigned char>(c);
                             return (byte < 0x20 && c != '\n') || byte == 0x7F;
                         }),
            "a report line was printed with a control byte");
}

}  // namespace sorrelwick::fuzz
