#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace tools {

Progress::Progress(const Console& console)
    : console_(console), to_terminal_(::isatty(::fileno(console.Stream())) == 1) {}

void Progress::Start() const {
    console_.Print("Working...");
}

void Progress::PrintMark() const {
    std::fputc('.', console_.Stream());
    // A person watching a terminal sees the marks as they come; into a
    // file or pipe they ride along with the next line.
    if (to_terminal_) {
        std::fflush(console_.Stream());
    }
}

}  // namespace tools
