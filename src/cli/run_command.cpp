#include "cli/run_command.h"

#include "operations/extraction.h"
#include "operations/listing.h"
#include "operations/replacement.h"
#include "specular/change_specularity.h"

namespace sorrelwick::cli {
namespace {

bool RunList(const CliRequest&, ToolState& state, report::ReportLog& log) {
    return operations::ListTextures(state, &log);
}

bool RunExtract(const CliRequest& request, ToolState& state, report::ReportLog& log) {
    return operations::ExtractTextures(state, request.folder, &log);
}

bool RunReplace(const CliRequest& request, ToolState& state, report::ReportLog& log) {
    return operations::ReplaceTextures(state, request.folder, &log);
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
        case Command::Extract:
            return RunExtract;
        case Command::Replace:
            return RunReplace;
        case Command::Specular:
            return RunSpecular;
        case Command::Help:
        case Command::Version:
            return nullptr;
    }
    return nullptr;
}

}  // namespace sorrelwick::cli
