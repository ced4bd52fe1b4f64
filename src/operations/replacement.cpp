#include "operations/replacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "backup/guarded_rewrite.h"
#include "format/png_image.h"
#include "format/tga_fields.h"
#include "format/tga_image.h"
#include "operations/image_fit.h"
#include "operations/import_inventory.h"
#include "operations/texture_conversion.h"
#include "operations/texture_file_name.h"
#include "operations/texture_index.h"
#include "platform/file_system.h"
#include "platform/memory.h"
#include "report/lines.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::operations {
namespace {

struct ImportSource {
    std::string_view folder;
    ImportInventory& inventory;
    ReplaceOptions options;
    std::size_t& refused;  // files found for a texture and not imported
};

bool Converting(const ReplaceOptions& options) {
    return options.convert || options.fit;
}

// What came of one texture file before it is closed.
struct ImportAttempt {
    std::string line;
    bool imported = false;
    bool written = false;  // meaningful only when imported
};

// "file not found" for a texture whose file could not be opened: a file
// that is there but can't be opened gets the system's reason.
std::string NotFoundLine(std::string_view name, platform::SystemError cause) {
    if (platform::MeansNotFound(cause)) cause = {};
    return report::NameMessageLine(name,
                                   report::WithReason(report::msg::kImportFileNotFound, cause));
}

// The line of a file given for texture `name` that could not be opened: a
// pipe or a device is a file found and refused, as in a folder; anything
// else is not found, with the system's reason.
std::string UnopenedFileLine(std::string_view name, const std::string& path,
                             platform::SystemError cause) {
    platform::FileFacts facts;
    if (platform::ReadFileFacts(path, facts) == platform::FactsOutcome::Found && !facts.isFile &&
        !facts.isFolder) {
        return report::NameMessageLine(name, report::msg::kImportErrorReading);
    }
    return NotFoundLine(name, cause);
}

platform::File OpenTextureFile(const ImportSource& source, const std::string& name) {
    // A name from the chess set that could reach outside the folder, or a
    // device, is never used as a path.
    if (!IsPlainFileName(name)) return {};
    platform::File file = platform::File::OpenForReading(platform::JoinPath(source.folder, name));
    if (file.IsOpen()) return file;
    // Windows finds a file whatever the letter case of its name; where names
    // are case-sensitive, the folder's listing finds it, for every texture
    // of that name.
    const std::optional<std::string> listed = ListedNameFor(source.inventory, name);
    if (listed && *listed != name) {
        file = platform::File::OpenForReading(platform::JoinPath(source.folder, *listed));
    }
    return file;
}

// The attempt of a file that could not be converted; nullopt when it was
// converted or needed no conversion.
template <typename LineOf>
std::optional<ImportAttempt> RefusedConversion(const Conversion& conversion,
                                               const std::string& name, const LineOf& line) {
    switch (conversion.outcome) {
        case ConversionOutcome::WrongSize:
            return ImportAttempt{
                line(report::msg::ImportWrongSize(conversion.width, conversion.height))};
        case ConversionOutcome::Unreadable:
            return ImportAttempt{report::NameMessageLine(name, report::msg::kImportErrorReading)};
        case ConversionOutcome::NoMemory:
            return ImportAttempt{
                report::NameMessageLine(name, report::msg::kImportNotEnoughMemory)};
        default:
            return std::nullopt;
    }
}

// A texture file read whole and checked against the stored texture: the
// image to import (`bytes`, in `file` or the conversion) or why not.
struct VettedFile {
    std::unique_ptr<std::uint8_t[]> file;
    Conversion conversion;
    format::Bytes bytes;
    ImportAttempt attempt;
};

// Reads the whole file and checks it against `stored`, the texture's image
// in the set. The file image lives as long as the result.
// `takenFrom`: the file's name, said in the outcome when it was one of
// several pictures that could stand for the texture.
VettedFile VetTextureFile(platform::File& file, const std::string& name, format::Bytes stored,
                          const ReplaceOptions& options, std::string_view takenFrom = {}) {
    VettedFile vetted;
    const format::TgaFields fields = *format::ReadTgaFields(stored);
    const auto refuse = [&](std::string line) {
        vetted.attempt = {std::move(line)};
        return std::move(vetted);
    };
    // A file too short for its depth field, or too long for a chunk's
    // 32-bit length, can't become a texture image.
    const std::optional<std::uint64_t> size = file.Remaining();
    if (!size || *size < format::kMinTextureImageSize ||
        *size > std::numeric_limits<std::uint32_t>::max()) {
        return refuse(report::NameMessageLine(name, report::msg::kImportErrorReading));
    }
    const auto length = static_cast<std::uint32_t>(*size);
    vetted.file = platform::AllocateBytes(length);
    if (!vetted.file)
        return refuse(report::NameMessageLine(name, report::msg::kImportNotEnoughMemory));
    if (file.Read(vetted.file.get(), length) != length) {
        return refuse(report::NameMessageLine(
            name, report::WithReason(report::msg::kImportErrorReading, file.LastError())));
    }

    vetted.bytes = format::Bytes(vetted.file.get(), length);
    // The columns show the texture as stored; the outcome the file's values.
    const auto line = [&](std::string_view outcome) {
        return report::TextureInfoLine(name, fields.width, fields.height, fields.depth, outcome);
    };
    // A PNG can never be taken as it is: one of the texture's depth is
    // converted all the same, as only its container differs; another depth
    // waits for conversion to be asked for.
    const bool png = format::HasPngSignature(vetted.bytes);
    if (png && !Converting(options)) {
        const std::optional<format::PngSides> header = format::ReadPngSides(vetted.bytes);
        const int depth = header ? 8 * header->channels : 0;
        if (header && depth != fields.depth) {
            return refuse(line(report::msg::ImportPngOtherDepth(static_cast<unsigned>(depth))));
        }
    }
    if (Converting(options) || png) {
        vetted.conversion = ConvertToStoredForm(vetted.bytes, stored, options.fit);
        if (auto refused = RefusedConversion(vetted.conversion, name, line)) {
            vetted.attempt = *refused;
            return vetted;
        }
        if (vetted.conversion.outcome == ConversionOutcome::Converted) {
            vetted.bytes = vetted.conversion.image;
        }
    }
    const ImageVerdict verdict = CheckImageFit(vetted.bytes, fields.depth);
    const format::TgaFields& found = verdict.found;
    switch (verdict.fit) {
        case ImageFit::WrongDepth:
            return refuse(line(report::msg::ImportWrongDepth(found.depth)));
        case ImageFit::WrongSize:
            return refuse(line(report::msg::ImportWrongSize(found.width, found.height)));
        case ImageFit::CutShort:
            // A file cut short would leave the texture with fewer pixels
            // than its header declares.
            return refuse(report::NameMessageLine(name, report::msg::kImportErrorReading));
        case ImageFit::Fits:
            break;
    }
    const bool sameSize = found.width == fields.width && found.height == fields.height;
    std::string from = vetted.conversion.from;
    if (!takenFrom.empty() && !from.empty()) from += " (" + std::string(takenFrom) + ")";
    const Conversion& done = vetted.conversion;
    vetted.attempt = {line(done.scaled ? report::msg::ImportScaled(from, done.width, done.height)
                                       : report::msg::ImportSuccessful(from, !sameSize, found.width,
                                                                       found.height)),
                      true};
    return vetted;
}

// Reads the whole file, checks it against the stored texture and, when it is
// taken, writes it as the chunk's new payload. The file image is released
// on return, before the file is closed.
ImportAttempt ImportTextureFile(backup::GuardedRewrite& rewrite, platform::File& file,
                                const std::string& name, const format::Chunk& chunk,
                                const ReplaceOptions& options, std::string_view takenFrom) {
    VettedFile vetted = VetTextureFile(file, name, chunk.payload, options, takenFrom);
    if (!vetted.attempt.imported) return vetted.attempt;
    format::ChunkHeader header = chunk.header;
    // A converted image fits in 32 bits: its sides are at most 65535.
    header.length = static_cast<std::uint32_t>(vetted.bytes.size());
    vetted.attempt.written = backup::WriteChunk(rewrite, header, vetted.bytes);
    return vetted.attempt;
}

// Imports the file opened for texture `name`, or keeps its chunk, and
// reports the outcome.
void ImportOpenedFile(backup::GuardedRewrite& rewrite, platform::File& file,
                      const std::string& name, const format::Chunk& chunk,
                      const ReplaceOptions& options, std::size_t& refused,
                      std::string_view takenFrom = {}) {
    const ImportAttempt attempt =
        ImportTextureFile(rewrite, file, name, chunk, options, takenFrom);
    if (!file.Close()) {
        backup::FailRewrite(rewrite, report::msg::CouldNotClose(name), file.LastError());
        return;
    }
    if (attempt.imported) {
        // After a failed write the held failure speaks for this texture.
        if (attempt.written) rewrite.log.AppendLine(attempt.line);
        return;
    }
    ++refused;
    rewrite.log.AppendLine(attempt.line);
    backup::WriteChunk(rewrite, chunk.header, chunk.payload);
}

// The file opened for a texture, and the name of the picture taken when
// others could have stood for it as well.
struct OpenedTextureFile {
    platform::File file;
    std::string takenFrom;
};

// A texture whose .tga is missing takes the first of its pictures that
// opens; the others stay in the inventory, listed as leftovers.
OpenedTextureFile OpenTexturePicture(const ImportSource& source, const std::string& fileName) {
    std::vector<std::string> present;
    for (const std::string_view extension : kPictureExtensions) {
        std::string picture = PictureNameFor(fileName, extension);
        if (ListedNameFor(source.inventory, picture)) present.push_back(std::move(picture));
    }
    for (const std::string& picture : present) {
        platform::File file = OpenTextureFile(source, picture);
        if (!file.IsOpen()) continue;
        RemoveInventoryName(source.inventory, picture);
        const std::optional<std::string> listed = ListedNameFor(source.inventory, picture);
        return {std::move(file), present.size() > 1 ? listed.value_or(picture) : std::string()};
    }
    return {};
}

OpenedTextureFile OpenTextureFiles(const ImportSource& source,
                                   const std::optional<std::string>& fileName) {
    // A name whose bytes don't read as text names no file.
    if (!fileName) return {};
    // The name leaves the inventory whether or not its file can be used.
    RemoveInventoryName(source.inventory, *fileName);
    OpenedTextureFile opened{OpenTextureFile(source, *fileName), {}};
    if (!Converting(source.options)) return opened;
    if (opened.file.IsOpen()) {
        // Beside the .tga, which wins, the texture's pictures are no leftovers.
        for (const std::string_view extension : kPictureExtensions) {
            RemoveInventoryName(source.inventory, PictureNameFor(*fileName, extension));
        }
        return opened;
    }
    // A .tga file that is there but can't be opened keeps its cause.
    OpenedTextureFile picture = OpenTexturePicture(source, *fileName);
    if (picture.file.IsOpen() || platform::MeansNotFound(opened.file.LastError())) {
        return picture;
    }
    return opened;
}

// Something under the texture's name that is neither a file nor a folder (a
// pipe, a device) is a file found and refused, never opened.
bool UnreadableEntryFor(const ImportSource& source, const std::optional<std::string>& fileName) {
    if (!fileName || !IsPlainFileName(*fileName)) return false;
    platform::FileFacts facts;
    return platform::ReadFileFacts(platform::JoinPath(source.folder, *fileName), facts) ==
               platform::FactsOutcome::Found &&
           !facts.isFile && !facts.isFolder;
}

void ReplaceTextureChunk(backup::GuardedRewrite& rewrite, const ImportSource& source,
                         const format::Chunk& chunk) {
    const std::string& bytes = rewrite.walk.currentTextureName;
    const std::string name = platform::NameForReport(bytes);
    const std::optional<std::string> fileName = platform::NameAsText(bytes);
    OpenedTextureFile opened = OpenTextureFiles(source, fileName);
    platform::File& file = opened.file;
    if (!file.IsOpen() && UnreadableEntryFor(source, fileName)) {
        ++source.refused;
        rewrite.log.AppendLine(report::NameMessageLine(name, report::msg::kImportErrorReading));
        backup::WriteChunk(rewrite, chunk.header, chunk.payload);
        return;
    }
    if (!file.IsOpen()) {
        rewrite.log.AppendLine(NotFoundLine(name, file.LastError()));
        backup::WriteChunk(rewrite, chunk.header, chunk.payload);
        return;
    }
    ImportOpenedFile(rewrite, file, name, chunk, source.options, source.refused, opened.takenFrom);
}

void ReplacementChunkStep(backup::GuardedRewrite& rewrite, const ImportSource& source,
                          const format::Chunk& chunk) {
    format::TrackTextureName(rewrite.walk, chunk);
    if (format::IsNamedTexture(rewrite.walk, chunk)) {
        ReplaceTextureChunk(rewrite, source, chunk);
    } else {
        backup::WriteChunk(rewrite, chunk.header, chunk.payload);
    }
}

// Each named texture's file, by the texture's place among the set's textures.
using FilesByTexture = std::vector<std::optional<std::string>>;

void NamedReplacementStep(backup::GuardedRewrite& rewrite, const FilesByTexture& files,
                          std::size_t& textureIndex, const ReplaceOptions& options,
                          std::size_t& refused,
                          const format::Chunk& chunk) {
    format::TrackTextureName(rewrite.walk, chunk);
    const bool named = format::IsNamedTexture(rewrite.walk, chunk);
    const std::size_t index = named ? textureIndex++ : 0;
    if (!named || index >= files.size() || !files[index]) {
        backup::WriteChunk(rewrite, chunk.header, chunk.payload);
        return;
    }
    const std::string name = platform::NameForReport(rewrite.walk.currentTextureName);
    platform::File file = platform::File::OpenForReading(*files[index]);
    if (!file.IsOpen()) {
        // A file named for the texture and missing fails the run.
        const platform::SystemError cause = file.LastError();
        ++refused;
        rewrite.log.AppendLine(UnopenedFileLine(name, *files[index], cause));
        backup::WriteChunk(rewrite, chunk.header, chunk.payload);
        return;
    }
    ImportOpenedFile(rewrite, file, name, chunk, options, refused);
}

// The heading names where the files come from: their folder when they share
// one, otherwise the files themselves.
std::string NamedSource(const std::vector<TextureFile>& files) {
    const auto folderOf = [](const std::string& path) {
        std::size_t end = path.size();
        while (end > 0 && !platform::IsPathSeparator(path[end - 1])) --end;
        return end == 0 ? std::string(".") : path.substr(0, end - 1);
    };
    std::string source;
    for (const TextureFile& file : files) {
        if (folderOf(file.path) != folderOf(files.front().path)) {
            source.clear();
            for (const TextureFile& each : files)
                source.append(source.empty() ? "" : ", ").append(each.path);
            return source;
        }
    }
    return files.size() == 1 ? files.front().path : folderOf(files.front().path);
}

}  // namespace

namespace {

// Whether any of the files would be taken. When none would, the lines that
// say why are added under the heading, and the set is not rewritten: a
// backup of an unchanged set helps no one.
bool AnyFileTaken(const ToolState& state, const std::vector<IndexedTexture>& textures,
                  const FilesByTexture& files, const ReplaceOptions& options,
                  std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i]) continue;
        const std::vector<std::uint8_t> stored = ReadTextureImage(state.setPath, textures[i]);
        platform::File file = platform::File::OpenForReading(*files[i]);
        if (stored.empty()) return true;  // the rewrite says what is wrong with the set
        if (!file.IsOpen()) {
            const platform::SystemError cause = file.LastError();
            lines.push_back(UnopenedFileLine(textures[i].name, *files[i], cause));
            continue;
        }
        const VettedFile vetted = VetTextureFile(file, textures[i].name, stored, options);
        if (vetted.attempt.imported) return true;
        lines.push_back(vetted.attempt.line);
    }
    return false;
}

bool ReplaceFromFiles(const ToolState& state, const std::vector<IndexedTexture>& textures,
                      const FilesByTexture& files, std::string_view source, report::ReportLog& log,
                      ReplaceOptions options, std::size_t* filesRefused) {
    report::AddHeading(log, report::msg::Importing(source, state.setName));
    std::vector<std::string> refusals;
    if (!textures.empty() && !AnyFileTaken(state, textures, files, options, refusals)) {
        for (const std::string& line : refusals) log.AppendLine(line);
        report::AddClosing(log);
        if (filesRefused) *filesRefused = refusals.size();
        return false;
    }
    std::size_t refused = 0, textureIndex = 0;
    backup::RewriteJob job;
    job.session = options.session;
    const bool result = backup::RunGuardedRewrite(
        state, job, log,
        [&](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
            NamedReplacementStep(rewrite, files, textureIndex, options, refused, chunk);
        });
    if (filesRefused) *filesRefused = refused;
    return result;
}

// The guards before any heading: a report to add to, a loaded set and
// something to import from; false after the one line that says which is
// missing.
bool CanStart(const ToolState& state, bool hasSource, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadSavePath);
        return false;
    }
    if (!hasSource) {
        log->AppendLine(report::msg::kInvalidImportPath);
        return false;
    }
    return true;
}

}  // namespace

bool ReplaceNamedTextures(const ToolState& state, const std::vector<TextureFile>& files,
                          report::ReportLog* log, ReplaceOptions options,
                          std::size_t* filesRefused) {
    if (!CanStart(state, !files.empty(), log)) return false;
    // A set that can't be indexed is left to the rewrite, which says why.
    const std::optional<std::vector<IndexedTexture>> index = IndexTextures(state.setPath);
    const std::vector<IndexedTexture> textures = index.value_or(std::vector<IndexedTexture>{});
    FilesByTexture byTexture(textures.size());
    for (const TextureFile& file : files) {
        const std::optional<std::size_t> found = FindTexture(textures, file.texture);
        if (!found && index) {
            log->AppendLine(report::msg::NoTextureNamed(file.texture, state.setName));
            return false;
        }
        if (found) byTexture[*found] = file.path;
    }
    return ReplaceFromFiles(state, textures, byTexture, NamedSource(files), *log, options,
                            filesRefused);
}

bool ReplaceTexturesAt(const ToolState& state, const std::vector<std::size_t>& textures,
                       const std::string& path, report::ReportLog* log, ReplaceOptions options,
                       std::size_t* filesRefused) {
    if (!CanStart(state, !textures.empty(), log)) return false;
    const std::vector<IndexedTexture> indexed =
        IndexTextures(state.setPath).value_or(std::vector<IndexedTexture>{});
    FilesByTexture byTexture(std::max(indexed.size(), *std::max_element(textures.begin(), textures.end()) + 1));
    for (const std::size_t texture : textures) byTexture[texture] = path;
    return ReplaceFromFiles(state, indexed, byTexture, path, *log, options, filesRefused);
}

bool ReplaceTextureAt(const ToolState& state, std::size_t texture, const std::string& path,
                      report::ReportLog* log, ReplaceOptions options, std::size_t* filesRefused) {
    return ReplaceTexturesAt(state, {texture}, path, log, options, filesRefused);
}

bool ReplaceTextures(const ToolState& state, std::string_view folder, report::ReportLog* log,
                     ReplaceOptions options, std::size_t* filesRefused) {
    if (!CanStart(state, !folder.empty(), log)) return false;
    report::AddHeading(*log, report::msg::Importing(folder, state.setName));
    // Checked before the set is touched: a mistyped folder must not cost a
    // rewrite and a backup number.
    if (!platform::CanSearchFolder(std::string(folder))) {
        report::AppendFailure(*log, report::msg::NotAFolder(folder), platform::LatestFailure());
        report::AddClosing(*log);
        return false;
    }

    ImportInventory inventory;
    std::size_t refused = 0;
    const ImportSource source{folder, inventory, options, refused};
    backup::RewriteJob job;
    job.session = options.session;
    job.prepare = [&](backup::GuardedRewrite&) -> std::optional<std::string> {
        if (ScanImportFolder(inventory, folder, Converting(options))) return std::nullopt;
        return std::string(report::msg::kNotEnoughMemory);
    };
    job.cleanUp = [&](report::ReportLog& cleanUpLog) {
        ReportLeftovers(inventory, state.setName, cleanUpLog);
        ClearInventory(inventory);
    };
    const bool result = backup::RunGuardedRewrite(
        state, job, *log, [&source](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
            ReplacementChunkStep(rewrite, source, chunk);
        });
    if (filesRefused) *filesRefused = refused;
    return result;
}

}  // namespace sorrelwick::operations
