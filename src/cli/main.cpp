// sorrelwick-cli: runs the tool's operations from the command line and prints
// the report lines exactly as the report list would receive them.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/command_line.h"
#include "cli/stream_report_log.h"

namespace {

// Someone watching a terminal sees each line as the operation reaches it.
bool OutputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(fileno(stdout)) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    using namespace sorrelwick;
#ifdef _WIN32
    // Report lines end in '\n' alone on every system, so that the output of
    // the Windows program is byte for byte that of the others.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    constexpr int kUsageError = 2;
    constexpr int kComparisonTrouble = 2;
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
    state.commandLine = true;
    SetLoadedSet(state, chosen.request.setPath);
    cli::StreamReportLog log(std::cout, OutputIsTerminal());
    // A comparison gives its own exit status; every other command succeeds or fails.
    const int status = chosen.runForStatus ? chosen.runForStatus(chosen.request, state, log)
                       : chosen.run(chosen.request, state, log) ? 0
                                                                : 1;
    // A report that did not reach its reader is a failure a script must see.
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "sorrelwick-cli: could not write the report to standard output\n";
        return chosen.runForStatus ? kComparisonTrouble : 1;
    }
    return status;
}
