#include "report/messages.h"

namespace sorrelwick::report::msg {
namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text.append(part);
    return text;
}

}  // namespace

std::string CouldNotOpen(std::string_view name) {
    return Join({"Error - Could not open ", name});
}
std::string CouldNotRead(std::string_view name) {
    return Join({"Error - Could not read ", name});
}
std::string CouldNotClose(std::string_view name) {
    return Join({"Error - Could not close ", name});
}
std::string CouldNotCreate(std::string_view name) {
    return Join({"Error - Could not create ", name});
}
std::string CouldNotWrite(std::string_view name) {
    return Join({"Error - Could not write ", name});
}
std::string CouldNotDelete(std::string_view name) {
    return Join({"Error - Could not delete ", name});
}
std::string CouldNotRename(std::string_view from, std::string_view to) {
    return Join({"Error - Could not rename ", from, " to ", to});
}
std::string ReasonLine(std::string_view reason) {
    return Join({"  Reason: ", reason});
}
std::string BadFormat(std::string_view name) {
    return Join({"Error - Bad file format. ", name, " isn't a proper Tessaravine chess set."});
}
std::string TooManyBackups(std::string_view name) {
    return Join({"Error - There are already 1000 ", name,
                 " backups. Please remove at least one and retry."});
}
std::string OriginalRenamed(std::string_view backupName) {
    return Join({"Original file renamed to ", backupName});
}

std::string ImportSizeModified(unsigned width, unsigned height) {
    return ImportSuccessful("", true, width, height);
}
std::string ImportSuccessful(std::string_view convertedFrom, bool resized, unsigned width,
                             unsigned height) {
    std::string outcome(kImportSuccessful);
    const char* joint = ": ";
    if (!convertedFrom.empty()) {
        outcome += Join({joint, "converted from ", convertedFrom});
        joint = ", ";
    }
    if (resized) {
        outcome += Join(
            {joint, "size modified (to ", std::to_string(width), "x", std::to_string(height), ")"});
    }
    return outcome;
}
std::string ImportScaled(std::string_view convertedFrom, unsigned fromWidth, unsigned fromHeight) {
    std::string outcome = ImportSuccessful(convertedFrom, false, 0, 0);
    outcome += Join({convertedFrom.empty() ? ": " : ", ", "scaled from ",
                     std::to_string(fromWidth), "x", std::to_string(fromHeight)});
    return outcome;
}

std::string WrongSizeText(unsigned width, unsigned height) {
    return "wrong size (" + std::to_string(width) + "x" + std::to_string(height) + ")";
}
std::string WrongDepthText(unsigned depth) {
    return "wrong color depth (" + std::to_string(depth) + " bits)";
}
std::string ImportWrongSize(unsigned width, unsigned height) {
    return "Import failed: " + WrongSizeText(width, height);
}
std::string ImportWrongDepth(unsigned depth) {
    return "Import failed: " + WrongDepthText(depth);
}
std::string ImportPngOtherDepth(unsigned depth) {
    return "Import failed: PNG of " + std::to_string(depth) +
           " bits; its depth is converted only with Convert on import (--convert)";
}
std::string ImportNotPartOf(std::string_view setName) {
    return Join({"Import failed: file not part of ", setName});
}

std::string PreviewWritten(std::string_view pagePath) {
    return Join({"Preview written to ", pagePath});
}
std::string CouldNotShowPage(std::string_view pagePath) {
    return Join({"Error - Could not open ", pagePath, " in the browser; the page was kept"});
}
std::string PageAlreadyExists(std::string_view pagePath) {
    return Join({"Error - ", pagePath, " already exists; it was left as it is"});
}
std::string PageIsAChessSet(std::string_view pagePath) {
    return Join({"Error - ", pagePath, " is a chess set; a page never replaces one"});
}
std::string FlagNotDecoded(unsigned imageType, unsigned depth) {
    return "image type " + std::to_string(imageType) + " at " + std::to_string(depth) +
           " bits not decoded";
}
std::string PreviewOutcome(bool shown, const std::vector<std::string>& flags) {
    std::string outcome = shown ? "Card written" : "Card written without picture";
    for (std::size_t i = 0; i < flags.size(); ++i) {
        outcome += i == 0 ? ": " : ", ";
        outcome += flags[i];
    }
    return outcome;
}
std::string NoBackups(std::string_view setName) {
    return Join({"No backups of ", setName});
}
std::string LatestBackupHint(std::string_view backupName, std::string_view wayBack) {
    return Join({"The set's most recent backup is ", backupName, ": bring it back with ", wayBack});
}
std::string NotAFolder(std::string_view folder) {
    return Join({"Error - ", folder, " is not a folder that can be read"});
}
std::string CouldNotWatch(std::string_view folder) {
    return Join({"Error - Could not watch ", folder});
}
std::string NoTextureNamed(std::string_view name, std::string_view setName) {
    return Join({"Error - ", setName, " holds no texture named ", name});
}
std::string CouldNotSearchFolder(std::string_view setName) {
    return Join({"Error - Could not search the folder of ", setName});
}
std::string MaterialsChangedPerGroup(const std::vector<ChangedGroup>& groups) {
    std::string line = "Changed";
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i > 0) line += i + 1 == groups.size() ? " and" : ",";
        line += ' ';
        line += std::to_string(groups[i].count);
        if (i == 0) line += groups[i].count == 1 ? " material" : " materials";
        line += Join({" of the ", groups[i].group});
    }
    return line;
}

std::string NoPiecesRecognised(std::string_view pieces, std::string_view setNaming,
                               std::string_view readLike, std::string_view otherNamings) {
    return Join({"No ", pieces, " recognised: piece names are read as the set's file name selects, and ",
                 setNaming, " selects names like ", readLike, " (", otherNamings, ")"});
}

std::string NoBoardRecognised(std::string_view setName) {
    return Join({"No board recognised: no object named Field, Frame, LettersW, LettersB or "
                 "SField01 to SField64 uses a material of ",
                 setName});
}

std::string TextureCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " texture" : " textures");
}

std::string Loading(std::string_view setName) {
    return Join({"Loading ", setName});
}
std::string Exporting(std::string_view setName, std::string_view folder) {
    return Join({"Exporting ", setName, "'s textures to ", folder});
}
std::string Importing(std::string_view folder, std::string_view setName) {
    return Join({"Importing textures from ", folder, " into ", setName});
}
std::string Watching(std::string_view folder, std::string_view setName) {
    return Join({"Watching ", folder, " for textures of ", setName, " (Ctrl+C ends)"});
}
std::string StoppedWatching(std::string_view folder, std::size_t imported, std::size_t refused) {
    return Join({"Stopped watching ", folder, ": ", std::to_string(imported),
                 imported == 1 ? " save imported, " : " saves imported, ", std::to_string(refused),
                 " refused"});
}
std::string SetBeforeSession(std::string_view backupName) {
    return Join({"Set before this editing session: ", backupName});
}
std::string ChangingSpecularity(std::string_view setName) {
    return Join({"Changing specularity of ", setName});
}
std::string Previewing(std::string_view setName, std::string_view pagePath) {
    return Join({"Previewing ", setName, "'s textures in ", pagePath});
}
std::string PreviewingChanges(std::string_view setName, std::string_view otherName,
                              std::string_view pagePath) {
    return Join({"Previewing ", setName, "'s changes from ", otherName, " in ", pagePath});
}

std::string BackupsOf(std::string_view setName) {
    return Join({"Backups of ", setName});
}
std::string Restoring(std::string_view setName, std::string_view backupName) {
    return Join({"Restoring ", setName, " from ", backupName});
}

}  // namespace sorrelwick::report::msg
