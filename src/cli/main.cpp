// sorrelwick-cli: runs the tool's operations from the command line and prints
// the report lines exactly as the report list would receive them.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <optional>
#include <utility>

#include "cli/console_stream.h"
#include "platform/win32/wide_text.h"
#else
#include <signal.h>
#include <unistd.h>
#endif

#include "cli/command_line.h"
#include "cli/stream_report_log.h"
#include "platform/file_system.h"

namespace {

// Someone watching a terminal sees each line as the operation reaches it.
bool OutputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(fileno(stdout)) != 0;
#endif
}

int Run(const std::vector<std::string>& args) {
    using namespace sorrelwick;
    constexpr int kUsageError = 2;
    const cli::ParseOutcome parsed = cli::ParseArguments(args);
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
    cli::ChosenCommand chosen = parsed.command;
    // A path the system would take only cut short names no set or folder:
    // the operation refuses it as it refuses an empty one.
    if (!platform::FitsPathLimit(chosen.request.folder)) chosen.request.folder.clear();
    ToolState state;
    state.commandLine = true;
    SetLoadedSet(state, chosen.request.setPath);
    cli::StreamReportLog log(std::cout, OutputIsTerminal() || chosen.flushEachLine);
    // A comparison gives its own exit status; every other command succeeds or fails.
    const int status = chosen.runForStatus ? chosen.runForStatus(chosen.request, state, log)
                       : chosen.run(chosen.request, state, log) ? 0
                                                                : 1;
    // A report that did not reach its reader is a failure a script must see.
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "sorrelwick-cli: could not write the report to standard output\n";
        return chosen.unwrittenReportStatus;
    }
    return status;
}

}  // namespace

#ifdef _WIN32
// The wide command line: the narrow one would reach us through the code
// page, with a look-alike for every character it lacks.
int wmain(int argc, wchar_t** argv) {
    using namespace sorrelwick;
    // Report lines end in '\n' alone on every system, so that the output of
    // the Windows program is byte for byte that of the others.
    _setmode(_fileno(stdout), _O_BINARY);
    // A console shows the UTF-8 lines through its wide output.
    const cli::ConsoleRedirect consoleOut(std::cout, stdout), consoleError(std::cerr, stderr);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::optional<std::string> arg = platform::Utf8FromWide(argv[i]);
        if (!arg) {
            std::cerr << "sorrelwick-cli: argument " << i << " is not valid Unicode text\n";
            return 2;
        }
        args.push_back(std::move(*arg));
    }
    return Run(args);
}
#else
int main(int argc, char** argv) {
    // A reader that goes away (`| head -1`) must not end the process in the
    // middle of an operation: a write to it fails instead, the operation
    // ends as it would have, and the failed report is told at the end.
    ::signal(SIGPIPE, SIG_IGN);
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
