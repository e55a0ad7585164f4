// Messages on standard output: every line ends with a newline and a flush.
#ifndef TRACKTOOLS_TRACK_CONSOLE_H
#define TRACKTOOLS_TRACK_CONSOLE_H

#include <initializer_list>
#include <string>

namespace console {

// Exit values shared by the programs.
constexpr int kExitOk = 0;
constexpr int kExitInputFailed = -1;
constexpr int kExitOutputFailed = -2;
constexpr int kExitUsage = -3;
constexpr int kExitWriteFailed = -4;

// Text without a line end, not flushed.
void Print(const std::string& text);
// Text followed by a line end and a flush.
void PrintLine(const std::string& text);
// The lines of a usage text, each with a line end.
void PrintLines(std::initializer_list<const char*> lines);
// A double quote, the name, a double quote and the reason, e.g. " - Open Failed!!!".
void PrintFailure(const std::string& name, const char* reason);

}  // namespace console

#endif
