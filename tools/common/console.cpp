#include "console.h"

#include <cstdio>

namespace tools {

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintLine(const std::string& text) {
    Print(text);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintFailure(const std::string& name, const char* reason) {
    PrintLine("\"" + name + "\"" + reason);
}

}  // namespace tools
