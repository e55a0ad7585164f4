#include "toolframe.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

ToolFrame::ToolFrame(std::string input_name, std::string output_name)
    : input_name_(std::move(input_name)),
      output_name_(std::move(output_name)),
      marks_to_terminal_(::isatty(STDOUT_FILENO) == 1) {}

int ToolFrame::Open() {
    console::PrintLine("Opening " + input_name_);
    if (!input_.Open(input_name_)) {
        console::PrintFailure(input_name_, " - Open Failed!!!");
        return console::kExitInputFailed;
    }
    console::PrintLine("Opening " + output_name_);
    if (!output_.Open(output_name_, input_)) {
        console::PrintFailure(output_name_, " - Open Failed!!!");
        input_.Close();
        return console::kExitOutputFailed;
    }
    return console::kExitOk;
}

void ToolFrame::Announce() {
    console::Print("Working...");
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

bool ToolFrame::Close() {
    input_.Close();
    return output_.Close();
}

int ToolFrame::WriteFailed() {
    console::PrintLine("");
    console::PrintFailure(output_name_, " - Write Failed!!!");
    input_.Close();
    output_.Close();
    return console::kExitWriteFailed;
}

int ToolFrame::Finish() {
    if (!Close()) {
        return WriteFailed();
    }
    console::PrintLine("done.");
    console::PrintLine("Wrote " + std::to_string(written_) + " data points.");
    return console::kExitOk;
}
