#include "cli/run_command.h"

#include "operations/listing.h"

namespace sorrelwick::cli {
namespace {

bool RunList(const CliRequest&, ToolState& state, report::ReportLog& log) {
    return operations::ListTextures(state, &log);
}

}  // namespace

OperationRunner RunnerFor(Command command) {
    switch (command) {
        case Command::List:
            return RunList;
        default:
            return nullptr;
    }
}

}  // namespace sorrelwick::cli
