#pragma once
// The command line's report list: each line goes to a stream, followed by a
// newline; to a terminal at once, elsewhere (a file, a pipe) through the
// stream's buffer, so that listing thousands of textures doesn't cost a
// request to the system per line.

#include <ostream>
#include <string>

#include "report/report_log.h"

namespace sorrelwick::cli {

// A report line as one line of output: each control byte (below 0x20, or
// 0x7F) of a name read from a chess set shows as '?', so no line can be
// split or overwritten on the terminal.
inline std::string PrintableLine(std::string_view line) {
    std::string printable(line);
    for (char& c : printable) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = '?';
    }
    return printable;
}

class StreamReportLog final : public report::ReportLog {
public:
    StreamReportLog(std::ostream& out, bool flushEachLine)
        : out_(out), flushEachLine_(flushEachLine) {}
    void AppendLine(std::string_view line) override {
        out_ << PrintableLine(line) << '\n';
        if (flushEachLine_) out_.flush();
    }

private:
    std::ostream& out_;
    bool flushEachLine_;
};

}  // namespace sorrelwick::cli
