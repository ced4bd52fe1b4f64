#pragma once
// Runs a program as a separate process through the system's shell and
// captures what it printed.

#include <string>
#include <vector>

namespace sorrelwick::test {

struct ProcessRun {
    int exitStatus = -1;  // -1 when the process did not exit normally
    std::string standardOutput;
    std::string standardError;
};

// `program` with `arguments`, each passed as one argument (none may hold a
// double quote). The output is captured through files in a fresh folder.
ProcessRun RunProcess(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace sorrelwick::test
