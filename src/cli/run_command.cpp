#include "cli/run_command.h"

#include "operations/listing.h"
#include "specular/change_specularity.h"

namespace sorrelwick::cli {
namespace {

bool RunList(const CliRequest&, ToolState& state, report::ReportLog& log) {
    return operations::ListTextures(state, &log);
}

bool RunSpecular(const CliRequest& request, ToolState& state, report::ReportLog& log) {
    state.percents = request.percents;
    return specular::ChangeSpecularity(state, &log);
}

}  // namespace

OperationRunner RunnerFor(Command command) {
    switch (command) {
        case Command::List:
            return RunList;
        case Command::Specular:
            return RunSpecular;
        default:
            return nullptr;
    }
}

}  // namespace sorrelwick::cli
