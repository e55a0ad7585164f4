// Messages of the programs, and their exit statuses.
#ifndef TRACKTOOLS_TOOLS_COMMON_CONSOLE_H
#define TRACKTOOLS_TOOLS_COMMON_CONSOLE_H

#include <cstdio>
#include <string>

namespace tools {

// Every exit status a program returns from main; the shell sees it modulo
// 256 (-1 is 255). Each program keeps its own defined values, from this list.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFindings = 1,       // trackinfo -check: the data has findings
    kExitInputFailed = -1,   // an input could not be opened or read
    kExitOutputFailed = -2,  // the output could not be opened, or is the input
    kExitUsage = -3,         // arguments not accepted; the usage text was printed
    kExitWriteFailed = -4,   // the output file or standard output could not be written
    kExitSceneUsage = -2,    // trailview called without anything to draw
};

// The reasons of the failure lines, after the name in double quotes.
constexpr char kOpenFailed[] = " - Open Failed!!!";
constexpr char kReadFailed[] = " - Read Failed!!!";
constexpr char kWriteFailed[] = " - Write Failed!!!";

// Where a program's messages go: standard output, or standard error when
// the data itself goes to standard output.
class Console {
  public:
    explicit Console(std::FILE* stream = stdout) : stream_(stream) {}

    // Text without a line end, not flushed.
    void Print(const std::string& text) const;
    // Text followed by a line end and a flush.
    void Line(const std::string& text) const;
    // A double quote, the name, a double quote and the reason (kOpenFailed,
    // ...), as one line.
    void Failure(const std::string& name, const char* reason) const;
    std::FILE* Stream() const { return stream_; }

  private:
    std::FILE* stream_;
};

// The same on standard output.
void Print(const std::string& text);
void PrintLine(const std::string& text);
void PrintFailure(const std::string& name, const char* reason);

}  // namespace tools

#endif
