// The text report: one block of "Label  value" lines per file, blank lines
// between the blocks.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_TEXTREPORT_H
#define TRACKTOOLS_TOOLS_TRACKINFO_TEXTREPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "report.h"

namespace trackinfo {

// One line of the report, also a row of the page's tables.
struct Row {
    std::string label;
    std::string value;  // "-" for a figure that cannot be computed
};

// The rows of a file that was read: "File", its sport, the figures, its
// routes, the splits, the laps (with Style::laps), the findings that are
// not 0, the reader's notes.
std::vector<Row> FileRows(const FileReport& file, const Style& style);
// The rows of the total of `files` files: "Total", the figures, the findings.
std::vector<Row> TotalRows(const Figures& total, std::uint64_t files, const Style& style);
// The splits of a file, "Split 1" and on.
std::vector<Row> SplitRows(const Figures& figures, const Style& style);
// The laps of a file, "Lap 1" and on.
std::vector<Row> LapRows(const Figures& figures, const Style& style);

// The rows as text lines, the label padded to 16 characters.
std::string Text(const std::vector<Row>& rows);

class TextReport : public ReportWriter {
  public:
    TextReport(const Style& style, Output output) : style_(style), output_(std::move(output)) {}

    void Begin(const std::vector<std::string>& /*names*/) override {}
    void File(const FileReport& file, const TrackDrawing* /*drawing*/) override;
    void Failure(const FileReport& /*file*/) override {}
    void Total(const Figures& total, std::uint64_t files) override;
    void End() override {}

  private:
    Style style_;
    Output output_;
    bool first_ = true;
};

}  // namespace trackinfo

#endif
