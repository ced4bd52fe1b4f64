#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/commands.h"
#include "sorrelwick_version.h"

namespace sorrelwick::cli {
namespace {

// CLI11 reports a first word that names no command as a missing command;
// the user is better served by the word itself.
std::string UsageMessage(const CLI::App& app, const CLI::ParseError& error) {
    const std::vector<std::string> unparsed = app.remaining();
    if (!app.get_subcommands().empty()) return error.what();
    return unparsed.empty() ? "no command given" : "unknown command or option: " + unparsed.front();
}

}  // namespace

ParseOutcome ParseArguments(const std::vector<std::string>& args) {
    CLI::App app("Runs Sorrelwick's operations on a chess set and prints their report lines.",
                 "sorrelwick-cli");
    // --help alone, on every command; set before the commands copy it.
    app.set_help_flag("--help", "Print this help and exit");
    app.set_version_flag("--version", "sorrelwick-cli " SORRELWICK_VERSION);
    app.require_subcommand(1, 1);
    // Paths begin with "/" on Linux and may on Windows: never "/option".
    app.allow_windows_style_options(false);
    ParseOutcome outcome;
    AddCommands(app, outcome.command);

    std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 takes them
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        // The help of the command named, or of the program.
        return {ParseOutcome::Kind::Print, {}, app.help()};
    } catch (const CLI::CallForVersion& version) {
        return {ParseOutcome::Kind::Print, {}, std::string(version.what()) + "\n"};
    } catch (const CLI::ParseError& error) {
        return {ParseOutcome::Kind::UsageError,
                {},
                "sorrelwick-cli: " + UsageMessage(app, error) + "\n" + app.help()};
    }
    outcome.kind = ParseOutcome::Kind::Run;
    return outcome;
}

}  // namespace sorrelwick::cli
