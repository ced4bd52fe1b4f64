#pragma once
// The command line parsed into one of three outcomes: an operation to run,
// a text to print (help, version), or a usage error.

#include <string>
#include <vector>

#include "cli/cli_request.h"

namespace sorrelwick::cli {

struct ParseOutcome {
    enum class Kind { Run, Print, UsageError };
    Kind kind = Kind::UsageError;
    ChosenCommand command;  // Run
    // Print: the text for standard output. UsageError: the message and the
    // usage of the command concerned, for standard error.
    std::string text;
};

// `args` without the program's name.
ParseOutcome ParseArguments(const std::vector<std::string>& args);

}  // namespace sorrelwick::cli
