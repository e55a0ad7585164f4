// The JSON report: one array with an object per file, in the order given,
// and a total object when there are several files. Figures are in SI units
// (metres, seconds, metres per second, watts, degrees Celsius), times in
// ISO 8601 UTC, and a figure that cannot be computed is null. The keys are a
// stable interface.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_JSONREPORT_H
#define TRACKTOOLS_TOOLS_TRACKINFO_JSONREPORT_H

#include <cstdint>
#include <string>

#include "report.h"

namespace trackinfo {

class JsonReport : public ReportWriter {
  public:
    // `splits`: each file's object holds its splits.
    JsonReport(bool splits, Output output) : splits_(splits), output_(std::move(output)) {}

    void Begin(const std::vector<std::string>& /*names*/) override { output_("["); }
    void File(const FileReport& file, const TrackDrawing* /*drawing*/) override;
    void Failure(const FileReport& file) override { File(file, nullptr); }
    // The total object: "file" is null, "files" counts the files read.
    void Total(const Figures& total, std::uint64_t files) override;
    void End() override { output_("\n]\n"); }

  private:
    std::string Separator();

    bool splits_;
    Output output_;
    bool first_ = true;
};

}  // namespace trackinfo

#endif
