// The JSON report: one array with an object per file, in the order given,
// and a total object when there are several files. Figures are in SI units
// (metres, seconds, metres per second), times in ISO 8601 UTC, and a figure
// that cannot be computed is null. The keys are a stable interface.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_JSONREPORT_H
#define TRACKTOOLS_TOOLS_TRACKINFO_JSONREPORT_H

#include <cstdint>
#include <string>

#include "report.h"

namespace trackinfo {

class JsonReport {
  public:
    std::string Begin() const { return "["; }
    // A file that was read, or (with an error) one that was not.
    std::string File(const FileReport& file);
    // The total object: "file" is null, "files" counts the files read.
    std::string Total(const Figures& total, std::uint64_t files);
    std::string End() const { return "\n]\n"; }

  private:
    std::string Separator();
    bool first_ = true;
};

}  // namespace trackinfo

#endif
