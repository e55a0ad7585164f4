// "Working..." and its progress marks: a "." after the 99th, 199th, ...
// unit of work, where the program's messages go.
#ifndef TRACKTOOLS_TOOLS_COMMON_PROGRESS_H
#define TRACKTOOLS_TOOLS_COMMON_PROGRESS_H

#include <cstdint>

#include "console.h"

namespace tools {

class Progress {
  public:
    explicit Progress(const Console& console = Console());

    // "Working..." without a line end.
    void Start() const;
    // Prints a mark when `unit` is a multiple of 100; callers pass the
    // number of units done plus one.
    void Mark(std::uint64_t unit) const {
        if (unit % 100 == 0) {
            PrintMark();
        }
    }

  private:
    void PrintMark() const;

    Console console_;
    bool to_terminal_;
};

}  // namespace tools

#endif
