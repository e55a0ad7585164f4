// What every program of the suite shares around its own work: its name and
// usage text, and the end of a run, where standard output is checked.
//
//     int Run(const tools::Program& program, int argc, char* argv[]) {
//         if (argc != 3) return program.Usage();
//         ...
//     }
//     int main(int argc, char* argv[]) {
//         return tools::Program("logpack", kUsage).Main(argc, argv, Run);
//     }
#ifndef TRACKTOOLS_TOOLS_COMMON_PROGRAM_H
#define TRACKTOOLS_TOOLS_COMMON_PROGRAM_H

#include <string>

#include "console.h"

namespace tools {

// The words for an error number of the system (strerror) or of the suite's
// files: an output refused because it is the input or standard output.
std::string ErrorText(int error);

class Program {
  public:
    using Body = int (*)(const Program& program, int argc, char* argv[]);

    // `usage`: the whole usage text, every line ended by a newline.
    Program(const char* name, const char* usage, ExitStatus usage_status = kExitUsage)
        : name_(name), usage_(usage), usage_status_(usage_status) {}

    const char* Name() const { return name_; }

    // Prints the usage text on standard output and returns the status of a
    // call whose arguments are not accepted.
    int Usage() const;

    // Runs `body` and ends the run. A lone "--help" or "--version" is
    // answered here instead, on standard output, with status 0. When anything
    // written to standard output was lost, "<name>: write error" goes to
    // standard error and the status becomes kExitWriteFailed, whatever the
    // body returned.
    int Main(int argc, char* argv[], Body body) const;

    // "<name>: <subject>: <reason>" on standard error: why the failure line
    // before it happened, or a remark about a file.
    void Explain(const std::string& subject, const std::string& reason) const;
    // "<name>: <text>" on standard error.
    void Warn(const std::string& text) const;

  private:
    const char* name_;
    const char* usage_;
    ExitStatus usage_status_;
};

}  // namespace tools

#endif
