// sorrelwick-cli: runs the tool's operations from the command line and prints
// the report lines exactly as the report list would receive them.

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/command_line.h"
#include "cli/stream_report_log.h"

int main(int argc, char** argv) {
    using namespace sorrelwick;
#ifdef _WIN32
    // Report lines end in '\n' alone on every system, so that the output of
    // the Windows program is byte for byte that of the others.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    constexpr int kUsageError = 2;
    const cli::ParseOutcome parsed =
        cli::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (parsed.kind) {
        case cli::ParseOutcome::Kind::Print:
            std::cout << parsed.text;
            return 0;
        case cli::ParseOutcome::Kind::UsageError:
            std::cerr << parsed.text;
            return kUsageError;
        case cli::ParseOutcome::Kind::Run:
            break;
    }
    const cli::ChosenCommand& chosen = parsed.command;
    ToolState state;
    SetLoadedSet(state, chosen.request.setPath);
    cli::StreamReportLog log(std::cout);
    return chosen.run(chosen.request, state, log) ? 0 : 1;
}
