// The report page: one self-contained static HTML5 document, with no
// script, font, image or style sheet from anywhere else. For each file its
// name, the table of the text report and three inline SVG pictures: the plan
// view, the elevation profile and the speed profile.
#ifndef TRACKTOOLS_TOOLS_TRACKINFO_HTMLPAGE_H
#define TRACKTOOLS_TOOLS_TRACKINFO_HTMLPAGE_H

#include <cstdint>
#include <string>
#include <vector>

#include "plot.h"
#include "report.h"
#include "reportunits.h"
#include "summary.h"
#include "textreport.h"

namespace trackinfo {

class HtmlPage {
  public:
    HtmlPage(const Units& units, const Settings& settings) : units_(units), settings_(settings) {}

    // The head of the page and its heading, for the files named.
    std::string Begin(const std::vector<std::string>& names) const;
    // The section of a file that was read: its table and its pictures.
    std::string File(const FileReport& file, const TrackDrawing& drawing);
    // The section of a file that could not be read.
    std::string Failure(const FileReport& file);
    // The section of the total.
    std::string Total(const std::vector<Row>& rows) const;
    std::string End() const;

  private:
    std::string Plan(const std::string& id, const std::string& name,
                     const TrackDrawing& drawing) const;
    std::string ElevationProfile(const std::string& id, const std::string& name,
                                 const FileReport& file, const TrackDrawing& drawing) const;
    std::string SpeedProfile(const std::string& id, const std::string& name, const FileReport& file,
                             const TrackDrawing& drawing) const;

    Units units_;
    Settings settings_;
    int sections_ = 0;
};

}  // namespace trackinfo

#endif
