#pragma once
// What one run of the command line asks for: the operation to run and the
// arguments it takes, parsed without touching any file.

#include <string>

#include "operations/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::cli {

// The arguments of every command; each command fills the fields it takes.
struct CliRequest {
    std::string setPath;        // exactly as given
    std::string folder;         // extract, replace: exactly as given
    bool convert = false;       // replace: take PNG files and other forms
    SpecularPercents percents;  // specular
    unsigned backupNumber = 0;  // restore: 0 to 999
    std::string pagePath;       // preview: exactly as given
    bool force = false;         // preview: replace an existing page
};

// Runs one operation on the chess set loaded into `state`; true on success:
// the operation succeeded and no texture's export failed, nor was any file
// found for a texture refused.
using OperationRunner = bool (*)(const CliRequest& request, ToolState& state,
                                 report::ReportLog& log);

// The command named on the command line, once its arguments are parsed.
struct ChosenCommand {
    CliRequest request;
    OperationRunner run = nullptr;
};

}  // namespace sorrelwick::cli
