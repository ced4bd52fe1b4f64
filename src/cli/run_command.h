#pragma once

#include "cli/cli_request.h"
#include "report/report_log.h"

namespace sorrelwick::cli {

// The operations the command line can run, each as the tool would run it on
// the loaded chess set. nullptr for a command that has no operation.
using OperationRunner = bool (*)(const CliRequest& request, ToolState& state,
                                 report::ReportLog& log);
OperationRunner RunnerFor(Command command);

}  // namespace sorrelwick::cli
