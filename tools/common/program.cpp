#include "program.h"

#include <cstdio>
#include <cstring>

#include "replacingfile.h"

namespace tools {

std::string ErrorText(int error) {
    switch (error) {
        case ReplacingFile::kIsTheInput:
            return "is the input file";
        case ReplacingFile::kIsStandardOutput:
            return "is this program's standard output";
        default:
            return std::strerror(error);
    }
}

int Program::Usage() const {
    std::fputs(usage_, stdout);
    std::fflush(stdout);
    return usage_status_;
}

int Program::Main(int argc, char* argv[], Body body) const {
    int status = kExitOk;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage_, stdout);
    } else if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s (tracktools) %s\n", name_, TRACKTOOLS_VERSION);
    } else {
        status = body(*this, argc, argv);
    }
    // A lost message is a failed run: the caller would not know what happened.
    const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (std::fclose(stdout) != 0 || lost) {
        Warn("write error");
        return kExitWriteFailed;
    }
    return status;
}

void Program::Explain(const std::string& subject, const std::string& reason) const {
    Warn(subject + ": " + reason);
}

void Program::Warn(const std::string& text) const {
    std::fprintf(stderr, "%s: %s\n", name_, text.c_str());
    std::fflush(stderr);
}

}  // namespace tools
