#pragma once
// What the command line asks for, parsed without touching any file.

#include <optional>
#include <string>
#include <vector>

#include "operations/tool_state.h"

namespace sorrelwick::cli {

enum class Command { Help, Version, List, Extract, Replace, Specular };

struct CliRequest {
    Command command = Command::Help;
    std::string setPath;  // exactly as given
    std::string folder;   // exactly as given (extract, replace)
    SpecularPercents percents;
};

struct ParseOutcome {
    std::optional<CliRequest> request;
    std::string error;  // set when request is empty
};

ParseOutcome ParseArguments(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace sorrelwick::cli
