#include "cli/process_run.h"

#include <cstdlib>

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
    const std::vector<std::uint8_t> bytes = gen::ReadWholeFile(path);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

ProcessRun RunProcess(const std::string& program, const std::vector<std::string>& arguments) {
    const TempDir capture;
    const std::string outPath = capture.File("stdout.txt"), errPath = capture.File("stderr.txt");
    std::string command = Quoted(program);
    for (const std::string& argument : arguments) command.append(" ").append(Quoted(argument));
    command.append(" >").append(Quoted(outPath)).append(" 2>").append(Quoted(errPath));
    ProcessRun run;
#ifdef _WIN32
    // cmd /c drops the outermost pair of quotes when the line holds more; the
    // wide command line lets a name in any language arrive whole.
    run.exitStatus = _wsystem(gen::Utf8Path(Quoted(command)).c_str());
#else
    const int status = std::system(command.c_str());
    run.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    run.standardOutput = ReadText(outPath);
    run.standardError = ReadText(errPath);
    return run;
}

}  // namespace sorrelwick::test
