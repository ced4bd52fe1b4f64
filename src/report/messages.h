#pragma once
// Every fixed text of the report, in one place. Functions fill the "%s" of a
// message with a name; they copy it as plain text, so a "%" in it stays.

#include <string>
#include <string_view>
#include <vector>

namespace sorrelwick::report::msg {

inline constexpr std::string_view kNotEnoughMemory = "Error - Not enough memory";
inline constexpr std::string_view kInvalidLoadPath = "Error - Invalid load path";
inline constexpr std::string_view kInvalidExtractPath = "Error - Invalid extract path";
inline constexpr std::string_view kInvalidLoadSavePath = "Error - Invalid load/save path";
inline constexpr std::string_view kInvalidImportPath = "Error - Invalid import path";
inline constexpr std::string_view kSpecularityChanged = "Specularity changed successfully";

// What the specularity change changed, group by group: "Changed 12
// materials of the white pieces, 12 of the black pieces and 5 of the board".
struct ChangedGroup {
    std::size_t count;
    std::string_view group;  // "white pieces", "black pieces", "board"
};
std::string MaterialsChangedPerGroup(const std::vector<ChangedGroup>& groups);
// A group of pieces the user asked to change of which nothing was found:
// how the set's file name made its piece names read. `setNaming` is the
// set's name with what it says about its form; `readLike` the piece names
// that naming reads, `otherNamings` where the others are read.
std::string NoPiecesRecognised(std::string_view pieces, std::string_view setNaming,
                               std::string_view readLike, std::string_view otherNamings);
// The board asked to change, and no material of it found.
std::string NoBoardRecognised(std::string_view setName);

// Outcomes of one texture's export.
inline constexpr std::string_view kExportSuccessful = "Export successful";
inline constexpr std::string_view kExportCreateFailed = "Export failed: error creating file";
inline constexpr std::string_view kExportWriteFailed = "Export failed: error writing file";
inline constexpr std::string_view kExportAlreadyExists = "Export failed: file already exists";

std::string CouldNotOpen(std::string_view name);
std::string CouldNotRead(std::string_view name);
std::string CouldNotClose(std::string_view name);
std::string CouldNotCreate(std::string_view name);
std::string CouldNotWrite(std::string_view name);
std::string CouldNotDelete(std::string_view name);
std::string CouldNotRename(std::string_view from, std::string_view to);

// The system's reason for the failure on the line before.
std::string ReasonLine(std::string_view reason);
// The reason for a file that another program holds open, as the game holds
// its sets while it runs.
inline constexpr std::string_view kFileInUse =
    "the file is open in another program; close it (the game, if it is running) and try again";
std::string BadFormat(std::string_view name);
std::string TooManyBackups(std::string_view name);
std::string OriginalRenamed(std::string_view backupName);

// Outcomes of importing one texture file, and of a file that matched no texture.
inline constexpr std::string_view kImportSuccessful = "Import successful";
inline constexpr std::string_view kImportFileNotFound = "Import failed: file not found";
inline constexpr std::string_view kImportErrorReading = "Import failed: error reading file";
inline constexpr std::string_view kImportNotEnoughMemory = "Import failed: not enough memory";
std::string ImportSizeModified(unsigned width, unsigned height);
// "Import successful", with ": converted from <convertedFrom>" unless that is
// empty and the size note ("size modified (to WxH)") when `resized`, the two
// notes joined by ", ".
std::string ImportSuccessful(std::string_view convertedFrom, bool resized, unsigned width,
                             unsigned height);
// A file scaled from its sides `fromWidth` x `fromHeight` to the texture's:
// "Import successful: converted from PNG, scaled from 1000x1000", without
// the conversion note when `convertedFrom` is empty.
std::string ImportScaled(std::string_view convertedFrom, unsigned fromWidth, unsigned fromHeight);
// "wrong size (3x5)", "wrong color depth (8 bits)": why an image can't
// take a texture's place.
std::string WrongSizeText(unsigned width, unsigned height);
std::string WrongDepthText(unsigned depth);
std::string ImportWrongSize(unsigned width, unsigned height);
std::string ImportWrongDepth(unsigned depth);
// A PNG whose depth differs from the texture's, imported without conversion.
std::string ImportPngOtherDepth(unsigned depth);
std::string ImportNotPartOf(std::string_view setName);

// The preview page.
inline constexpr std::string_view kInvalidPreviewPath = "Error - Invalid preview path";
inline constexpr std::string_view kNoPreviewWritten = "No preview page written";
std::string PreviewWritten(std::string_view pagePath);
std::string PageAlreadyExists(std::string_view pagePath);
std::string PageIsAChessSet(std::string_view pagePath);
// The page was written but the system could not show it.
std::string CouldNotShowPage(std::string_view pagePath);
// What a texture's card flags, and its outcome on the texture's line:
// "Card written" or "Card written without picture", then ": " and the flags.
inline constexpr std::string_view kFlagNotPowerOfTwo = "side not a power of two";
inline constexpr std::string_view kFlagCutShort = "image data cut short";
inline constexpr std::string_view kFlagBadHeader = "image header not readable";
inline constexpr std::string_view kFlagTooLarge = "too large to show";
std::string FlagNotDecoded(unsigned imageType, unsigned depth);
std::string PreviewOutcome(bool shown, const std::vector<std::string>& flags);

// A chess set's backups, and bringing one back.
std::string NoBackups(std::string_view setName);
std::string CouldNotSearchFolder(std::string_view setName);
std::string TextureCount(std::size_t count);
inline constexpr std::string_view kBackupRestored = "Backup restored successfully";
// What a leftover temporary file of the set holds, on its line in the list
// of backups.
inline constexpr std::string_view kLeftByInterruptedRewrite =
    "temporary file of an interrupted change; may be deleted";
// After a set that can't be opened because its path is empty: the backup
// that holds the set as it was last written, and `wayBack` to bring it back.
std::string LatestBackupHint(std::string_view backupName, std::string_view wayBack);
// The way back in the Windows program: the main window's command.
inline constexpr std::string_view kRestoreCommandCaption = "\"Restore a backup...\"";

// A folder to extract to or import from that is missing, not a folder, or
// can't be searched.
std::string NotAFolder(std::string_view folder);
// A folder whose changes can't be followed (any more).
std::string CouldNotWatch(std::string_view folder);
// A texture asked for by name that the set does not hold.
std::string NoTextureNamed(std::string_view name, std::string_view setName);

// Title lines.
std::string Loading(std::string_view setName);
std::string Exporting(std::string_view setName, std::string_view folder);
std::string Importing(std::string_view folder, std::string_view setName);
std::string Watching(std::string_view folder, std::string_view setName);
// The end of a watch: how many saves were imported and refused.
std::string StoppedWatching(std::string_view folder, std::size_t imported, std::size_t refused);
// Instead of "Original file renamed to", for an import of an editing
// session after its first: the backup that holds the set from before it.
std::string SetBeforeSession(std::string_view backupName);
std::string ChangingSpecularity(std::string_view setName);
std::string Previewing(std::string_view setName, std::string_view pagePath);
std::string PreviewingChanges(std::string_view setName, std::string_view otherName,
                              std::string_view pagePath);
std::string BackupsOf(std::string_view setName);
std::string Restoring(std::string_view setName, std::string_view backupName);

}  // namespace sorrelwick::report::msg
