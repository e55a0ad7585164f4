// The report page: one self-contained static HTML5 document, with no
// script, font, image or style sheet from anywhere else. For each file its
// name, the table of the text report, its splits, and inline SVG pictures:
// the plan view, the elevation and speed profiles, and the heart rate,
// cadence and power profiles of a track that has them.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_HTMLPAGE_H
#define TRACKTOOLS_TOOLS_TRACKINFO_HTMLPAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "plot.h"
#include "report.h"
#include "summary.h"
#include "textreport.h"

namespace trackinfo {

class HtmlPage : public ReportWriter {
  public:
    HtmlPage(const Style& style, const Settings& settings, Output output)
        : style_(style), settings_(settings), output_(std::move(output)) {}

    // The head of the page and its heading, for the files named.
    void Begin(const std::vector<std::string>& names) override;
    // The section of a file that was read: its tables and its pictures.
    void File(const FileReport& file, const TrackDrawing* drawing) override;
    // The section of a file that could not be read.
    void Failure(const FileReport& file) override;
    // The section of the total.
    void Total(const Figures& total, std::uint64_t files) override;
    void End() override;
    bool Draws() const override { return true; }

  private:
    std::string Plan(const std::string& id, const std::string& name,
                     const TrackDrawing& drawing) const;
    std::string ElevationProfile(const std::string& id, const std::string& name,
                                 const FileReport& file, const TrackDrawing& drawing) const;
    std::string SpeedProfile(const std::string& id, const std::string& name, const FileReport& file,
                             const TrackDrawing& drawing) const;
    // A sensor's values against distance; nothing when the track has none.
    std::string SensorProfile(const std::string& id, const std::string& what,
                              const std::string& unit, const FileReport& file,
                              const ColumnEnvelope& envelope) const;

    Style style_;
    Settings settings_;
    Output output_;
    int sections_ = 0;
};

}  // namespace trackinfo

#endif
