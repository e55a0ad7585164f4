#include "program.h"

#include <cstdio>

namespace tools {

int Program::Usage() const {
    std::fputs(usage_, stdout);
    std::fflush(stdout);
    return usage_status_;
}

int Program::Main(int argc, char* argv[], Body body) const {
    const int status = body(*this, argc, argv);
    // A lost message is a failed run: the caller would not know what happened.
    const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (std::fclose(stdout) != 0 || lost) {
        std::fprintf(stderr, "%s: write error\n", name_);
        return kExitWriteFailed;
    }
    return status;
}

}  // namespace tools
