#include "console.h"

#include <cstdio>

namespace console {

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintLine(const std::string& text) {
    Print(text);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintLines(std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        PrintLine(line);
    }
}

void PrintFailure(const std::string& name, const char* reason) {
    PrintLine("\"" + name + "\"" + reason);
}

}  // namespace console
