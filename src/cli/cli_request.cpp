#include "cli/cli_request.h"

#include <cstdint>
#include <map>

namespace sorrelwick::cli {

const char* const kUsage =
    "usage: sorrelwick-cli list SET\n"
    "       sorrelwick-cli extract SET FOLDER\n"
    "       sorrelwick-cli replace SET FOLDER\n"
    "       sorrelwick-cli specular SET [--white S,A] [--black S,A] [--board S,A]\n"
    "       sorrelwick-cli --help | --version\n"
    "S and A are the shininess and amplitude percents, 0 to 4294967295 (100 keeps a value).\n";

namespace {

std::optional<std::uint32_t> ParsePercent(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

// "S,A" into the two percents of one class.
bool ParsePercentPair(const std::string& text, std::uint32_t& shininess, std::uint32_t& amplitude) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const auto s = ParsePercent(text.substr(0, comma));
    const auto a = ParsePercent(text.substr(comma + 1));
    if (!s || !a) return false;
    shininess = *s;
    amplitude = *a;
    return true;
}

ParseOutcome Fail(std::string error) { return {std::nullopt, std::move(error)}; }

ParseOutcome Only(Command command) {
    CliRequest request;
    request.command = command;
    return {request, {}};
}

ParseOutcome ParseSpecularOptions(const std::vector<std::string>& args, CliRequest request) {
    SpecularPercents& p = request.percents;
    const std::map<std::string, std::pair<std::uint32_t*, std::uint32_t*>> classes = {
        {"--white", {&p.whiteShininess, &p.whiteAmplitude}},
        {"--black", {&p.blackShininess, &p.blackAmplitude}},
        {"--board", {&p.boardShininess, &p.boardAmplitude}},
    };
    for (std::size_t i = 2; i < args.size(); i += 2) {
        const auto option = classes.find(args[i]);
        if (option == classes.end()) return Fail("unknown option: " + args[i]);
        if (i + 1 >= args.size()) return Fail(args[i] + " needs S,A");
        if (!ParsePercentPair(args[i + 1], *option->second.first, *option->second.second)) {
            return Fail("not a percent pair S,A: " + args[i + 1]);
        }
    }
    return {request, {}};
}

}  // namespace

ParseOutcome ParseArguments(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "--help") return Only(Command::Help);
    if (args.size() == 1 && args[0] == "--version") return Only(Command::Version);
    if (args.empty()) return Fail("no command given");

    const std::string& name = args[0];
    CliRequest request;
    if (args.size() >= 2) request.setPath = args[1];
    if (name == "list" && args.size() == 2) {
        request.command = Command::List;
        return {request, {}};
    }
    if ((name == "extract" || name == "replace") && args.size() == 3) {
        request.command = name == "extract" ? Command::Extract : Command::Replace;
        request.folder = args[2];
        return {request, {}};
    }
    if (name == "specular" && args.size() >= 2) {
        request.command = Command::Specular;
        return ParseSpecularOptions(args, request);
    }
    return Fail("unknown command or wrong number of arguments: " + name);
}

}  // namespace sorrelwick::cli
