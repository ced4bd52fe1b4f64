#pragma once
// The commands of sorrelwick-cli. Each is one registration in commands.cpp:
// its name, its arguments and the operation it runs.

#include "cli/cli_request.h"

namespace CLI {
class App;
}

namespace sorrelwick::cli {

// Adds every command to `app` as a subcommand; parsing fills `chosen` with
// the one the user named.
void AddCommands(CLI::App& app, ChosenCommand& chosen);

}  // namespace sorrelwick::cli
