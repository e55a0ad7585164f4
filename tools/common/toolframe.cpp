#include "toolframe.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace tools {

ToolFrame::ToolFrame(std::string input_name, std::string output_name)
    : input_name_(std::move(input_name)),
      output_name_(std::move(output_name)),
      marks_to_terminal_(::isatty(STDOUT_FILENO) == 1) {}

int ToolFrame::Open() {
    PrintLine("Opening " + input_name_);
    if (!input_.Open(input_name_)) {
        PrintFailure(input_name_, " - Open Failed!!!");
        return kExitInputFailed;
    }
    PrintLine("Opening " + output_name_);
    if (!output_.Open(output_name_, input_)) {
        PrintFailure(output_name_, " - Open Failed!!!");
        input_.Close();
        return kExitOutputFailed;
    }
    return kExitOk;
}

void ToolFrame::Announce() {
    Print("Working...");
}

bool ToolFrame::Write(const GPL_Data_Point& point) {
    if (!output_.WriteRecord(point)) {
        return false;
    }
    ++written_;
    return true;
}

void ToolFrame::Mark(std::uint64_t unit) const {
    if (unit % 100 == 0) {
        std::fputc('.', stdout);
        // A person watching a terminal sees the marks as they come; into a
        // file or pipe they ride along with the next line.
        if (marks_to_terminal_) {
            std::fflush(stdout);
        }
    }
}

int ToolFrame::WriteFailed() {
    PrintLine("");
    PrintFailure(output_name_, " - Write Failed!!!");
    input_.Close();
    output_.Close();
    return kExitWriteFailed;
}

int ToolFrame::Finish() {
    return Finish("Wrote " + std::to_string(written_) + " data points.");
}

int ToolFrame::Finish(const std::string& summary) {
    if (input_.Failed()) {
        PrintLine("");
        PrintFailure(input_name_, " - Read Failed!!!");
        input_.Close();
        output_.Close();
        return kExitInputFailed;
    }
    input_.Close();
    if (!output_.Close()) {
        return WriteFailed();
    }
    PrintLine("done.");
    PrintLine(summary);
    return kExitOk;
}

}  // namespace tools
