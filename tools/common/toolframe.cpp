#include "toolframe.h"

#include <unistd.h>

#include <utility>

#include "inputcheck.h"

namespace tools {

ToolFrame::ToolFrame(const Program& program, std::string input_name, std::string output_name,
                     Input input)
    : program_(program),
      input_kind_(input),
      input_name_(std::move(input_name)),
      output_name_(std::move(output_name)) {}

int ToolFrame::Open() {
    PrintLine("Opening " + input_name_);
    if (!input_.Open(input_name_)) {
        PrintFailure(input_name_, " - Open Failed!!!");
        program_.Explain(input_name_, ErrorText(input_.Error()));
        return kExitInputFailed;
    }
    const unsigned char* start = nullptr;
    input_empty_ = input_.Peek(&start) == 0;
    looks_like_ = Sniff(input_);
    if (input_kind_ == Input::kRecords) {
        WarnIfNotRecords(program_, input_name_, looks_like_);
    }
    PrintLine("Opening " + output_name_);
    // Records written into our own standard output would be mixed with the
    // messages: that file is refused like the input.
    if (!output_.Open(output_name_, input_, STDOUT_FILENO)) {
        PrintFailure(output_name_, " - Open Failed!!!");
        program_.Explain(output_name_, ErrorText(output_.Error()));
        input_.Close();
        return kExitOutputFailed;
    }
    return kExitOk;
}

void ToolFrame::Announce() {
    progress_.Start();
}

bool ToolFrame::Write(const GPL_Data_Point& point) {
    if (!output_.WriteRecord(point)) {
        return false;
    }
    ++written_;
    return true;
}

int ToolFrame::WriteFailed() {
    PrintLine("");
    PrintFailure(output_name_, " - Write Failed!!!");
    program_.Explain(output_name_, ErrorText(output_.Error()));
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
        program_.Explain(input_name_, ErrorText(input_.Error()));
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
    if (input_kind_ == Input::kRecords) {
        NotePartialRecord(program_, input_name_, input_);
    } else if (written_ == 0 && !input_empty_) {
        WarnNoPoints(program_, input_name_, looks_like_);
    }
    return kExitOk;
}

}  // namespace tools
