#pragma once
// The process-wide state the operations read: which chess set is loaded, the
// folders the dialogs start in, and the specularity percentages.

#include <cstdint>
#include <string>
#include <string_view>

namespace sorrelwick {

// Six percentages, 100 each until the user stores others.
struct SpecularPercents {
    std::uint32_t whiteShininess = 100;
    std::uint32_t whiteAmplitude = 100;
    std::uint32_t blackShininess = 100;
    std::uint32_t blackAmplitude = 100;
    std::uint32_t boardShininess = 100;
    std::uint32_t boardAmplitude = 100;
};

struct ToolState {
    std::string title;          // application title
    std::string setPath;        // full path of the loaded chess set; empty when none
    std::string setName;        // the file-name part of setPath
    std::string defaultFolder;  // where the open dialog starts
    std::string lastFolder;     // where the folder picker starts
    SpecularPercents percents;
    // Run as sorrelwick-cli: the report tells the way back as a command.
    bool commandLine = false;
};

// Makes `path` the loaded chess set: its path and its file-name part. A path
// longer than the system takes (platform::FitsPathLimit) loads nothing, so
// that the operation refuses it; it is never cut to fit.
void SetLoadedSet(ToolState& state, std::string_view path);
// Forgets the loaded chess set.
void ClearLoadedSet(ToolState& state);

}  // namespace sorrelwick
