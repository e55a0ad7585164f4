// Messages on standard output, and the exit statuses of the programs.
#ifndef TRACKTOOLS_TOOLS_COMMON_CONSOLE_H
#define TRACKTOOLS_TOOLS_COMMON_CONSOLE_H

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

// Text without a line end, not flushed.
void Print(const std::string& text);
// Text followed by a line end and a flush.
void PrintLine(const std::string& text);
// A double quote, the name, a double quote and the reason, e.g. " - Open
// Failed!!!", as one line.
void PrintFailure(const std::string& name, const char* reason);

}  // namespace tools

#endif
