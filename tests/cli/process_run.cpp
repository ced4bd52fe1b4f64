#include "cli/process_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "generators/chess_set_builder.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace sorrelwick::test {
namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int ExitStatus(int systemResult) {
#ifdef _WIN32
    return systemResult;
#else
    return systemResult != -1 && WIFEXITED(systemResult) ? WEXITSTATUS(systemResult) : -1;
#endif
}

}  // namespace

ProcessRun RunProcess(const std::string& program, const std::vector<std::string>& arguments) {
    const TempDir capture;
    const std::string outPath = capture.File("stdout.txt");
    const std::string errPath = capture.File("stderr.txt");
    std::string command = Quoted(program);
    for (const std::string& argument : arguments) command.append(" ").append(Quoted(argument));
    command.append(" >").append(Quoted(outPath)).append(" 2>").append(Quoted(errPath));
#ifdef _WIN32
    // cmd /c drops the outermost pair of quotes when the line holds more.
    command = Quoted(command);
#endif
    ProcessRun run;
#ifdef _WIN32
    // The wide command line, so that a name in any language arrives whole.
    const std::filesystem::path wide = gen::Utf8Path(command);
    run.exitStatus = ExitStatus(_wsystem(wide.c_str()));
#else
    run.exitStatus = ExitStatus(std::system(command.c_str()));
#endif
    run.standardOutput = ReadText(outPath);
    run.standardError = ReadText(errPath);
    return run;
}

std::vector<std::string> OutputLines(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t newline = output.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back(output.substr(start) + "<no newline>");
            break;
        }
        std::size_t end = newline;
#ifdef _WIN32
        if (end > start && output[end - 1] == '\r') --end;
#endif
        lines.push_back(output.substr(start, end - start));
        start = newline + 1;
    }
    return lines;
}

}  // namespace sorrelwick::test
