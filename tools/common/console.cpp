#include "console.h"

namespace tools {

void Console::Print(const std::string& text) const {
    std::fwrite(text.data(), 1, text.size(), stream_);
}

void Console::Line(const std::string& text) const {
    Print(text);
    std::fputc('\n', stream_);
    std::fflush(stream_);
}

void Console::Failure(const std::string& name, const char* reason) const {
    Line("\"" + name + "\"" + reason);
}

void Print(const std::string& text) {
    Console().Print(text);
}

void PrintLine(const std::string& text) {
    Console().Line(text);
}

void PrintFailure(const std::string& name, const char* reason) {
    Console().Failure(name, reason);
}

}  // namespace tools
