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

// The lines of a program's output, each of which must end with a newline
// ("\r\n" counts as one on Windows, whose console streams write it so).
// A last line without its newline is kept with "<no newline>" appended.
std::vector<std::string> OutputLines(const std::string& output);

}  // namespace sorrelwick::test
