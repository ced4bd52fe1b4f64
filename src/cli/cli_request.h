#pragma once
// What one run of the command line asks for: the operation to run and the
// arguments it takes, parsed without touching any file.

#include <string>
#include <vector>

#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::cli {

// The arguments of every command; each command fills the fields it takes.
struct CliRequest {
    std::string setPath;   // exactly as given
    std::string folder;    // extract, replace: exactly as given
    bool convert = false;  // replace, watch: take pictures and other forms
    bool fit = false;      // replace, watch: scale pictures to the texture's sides
    // extract: "NAME"; replace: "NAME=FILE". Only the textures named.
    std::vector<std::string> textures;
    SpecularPercents percents;  // specular
    unsigned backupNumber = 0;  // restore: 0 to 999
    std::string pagePath;       // preview, mods: exactly as given
    bool force = false;         // preview, pack: replace an existing file; apply: see there
    std::string other;          // diff, preview --compare, pack: a backup number or a set's path
    std::string modPath;        // pack, apply, unapply: exactly as given
    std::vector<std::string> mods;  // mods: mod files and folders of them
    std::string title, author;  // pack
    bool checkOnly = false;     // apply, unapply: report, write nothing
    unsigned jobs = 0;          // preview, pack: picture threads; 0: one per core
};

// Runs one operation on the chess set loaded into `state`; true on success:
// the operation succeeded and no texture's export failed, nor was any file
// found for a texture refused.
using OperationRunner = bool (*)(const CliRequest& request, ToolState& state,
                                 report::ReportLog& log);

// Runs a command whose outcome is more than success or failure, and gives
// the exit status itself.
using StatusRunner = int (*)(const CliRequest& request, ToolState& state, report::ReportLog& log);

// The command named on the command line, once its arguments are parsed:
// one of the two runners is set.
struct ChosenCommand {
    CliRequest request;
    OperationRunner run = nullptr;
    StatusRunner runForStatus = nullptr;
    // Every report line reaches the reader at once, wherever it goes: a
    // watch reports as it goes, for as long as it runs.
    bool flushEachLine = false;
    // The exit status of a run whose report could not be written: a
    // comparison's "trouble" differs from its "the files differ".
    int unwrittenReportStatus = 1;
};

}  // namespace sorrelwick::cli
