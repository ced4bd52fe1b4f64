// sorrelwick-cli: runs the tool's operations from the command line and prints
// the report lines exactly as the report list would receive them.

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/cli_request.h"
#include "cli/run_command.h"
#include "cli/stream_report_log.h"
#include "sorrelwick_version.h"

namespace {

constexpr int kUsageError = 2;

int Usage(const std::string& error) {
    std::cerr << "sorrelwick-cli: " << error << "\n" << sorrelwick::cli::kUsage;
    return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace sorrelwick;
#ifdef _WIN32
    // Report lines end in '\n' alone on every system, so that the output of
    // the Windows program is byte for byte that of the others.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    const cli::ParseOutcome parsed = cli::ParseArguments(args);
    if (!parsed.request) return Usage(parsed.error);

    const cli::CliRequest& request = *parsed.request;
    if (request.command == cli::Command::Help) {
        std::cout << cli::kUsage;
        return 0;
    }
    if (request.command == cli::Command::Version) {
        std::cout << "sorrelwick-cli " SORRELWICK_VERSION "\n";
        return 0;
    }
    const cli::OperationRunner run = cli::RunnerFor(request.command);
    if (!run) return Usage("command not available in this build");

    ToolState state;
    SetLoadedSet(state, request.setPath);
    state.percents = request.percents;
    cli::StreamReportLog log(std::cout);
    return run(request, state, log) ? 0 : 1;
}
