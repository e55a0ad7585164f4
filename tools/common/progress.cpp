#include "progress.h"

#include <unistd.h>

#include <cstdio>

#include "console.h"

namespace tools {

Progress::Progress() : to_terminal_(::isatty(STDOUT_FILENO) == 1) {}

void Progress::Start() const {
    Print("Working...");
}

void Progress::Mark(std::uint64_t unit) const {
    if (unit % 100 == 0) {
        std::fputc('.', stdout);
        // A person watching a terminal sees the marks as they come; into a
        // file or pipe they ride along with the next line.
        if (to_terminal_) {
            std::fflush(stdout);
        }
    }
}

}  // namespace tools
