// trackinfo: the summary of one or more tracks (how far, how long, how fast,
// how high, where) and a check of their data, as text, as JSON, and as an
// HTML page with pictures.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "formatting.h"
#include "htmlpage.h"
#include "inputs.h"
#include "jsonreport.h"
#include "options.h"
#include "outputs.h"
#include "program.h"
#include "stage.h"
#include "summary.h"
#include "textreport.h"
#include "tracktools/formats/pointspool.h"
#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace {

constexpr char kUsage[] =
    "Usage: trackinfo [-metric] [-json] [-check] [-splits] [-laps] [-pace] [-local]\n"
    "                 [-salvage] [-stop <speed>] [-climb <metres>] [-html <page.html>]\n"
    "                 <file>...\n";

// Reads every point of `name` into `take`, and what the reader said of the
// file into `report` (its format and tallies) and `ignored_bytes`. False,
// with `where` and `why`, when the file could not be opened or read to its
// end.
template <typename Take>
bool ReadTrack(tools::InputSet& input, const std::string& name, Take take,
               trackinfo::FileReport& report, std::uint64_t& ignored_bytes, std::string& where,
               std::string& why) {
    if (input.Open(name, false) != tools::kExitOk) {
        where = formats::Where(name, input.OpenError().where);
        why = input.OpenError().reason;
        return false;
    }
    tools::Slot point;
    while (input.Next(point.Pointer())) {
        take(*point);
    }
    const formats::Reader& reader = input.First();
    report.format = reader.format();
    for (const formats::Tally& tally : reader.Tallies()) {
        if (tally.count > 0) {
            report.tallies.push_back(tally);
        }
    }
    for (const formats::Remark& remark : reader.Remarks()) {
        ignored_bytes += remark.ignored_bytes;
    }
    if (!input.Failed()) {
        return true;
    }
    where = input.FailureWhere();
    why = input.FailureReason();
    return false;
}

std::uint64_t SkippedPoints(const std::vector<formats::Tally>& tallies) {
    std::uint64_t skipped = 0;
    for (const formats::Tally& tally : tallies) {
        skipped += tally.skipped ? tally.count : 0;
    }
    return skipped;
}

// The reports of a run: the text or the JSON on standard output, and the
// page when one is asked for, each through the writers' one interface.
class Reports {
  public:
    Reports(const trackinfo::Options& options, const trackinfo::Style& style,
            const trackinfo::Settings& settings, tools::OutputSet& page)
        : options_(options), page_(page) {
        const auto print = [](const std::string& text) { tools::Print(text); };
        if (options.json) {
            writers_.push_back(std::make_unique<trackinfo::JsonReport>(options.splits, print));
        } else {
            writers_.push_back(std::make_unique<trackinfo::TextReport>(style, print));
        }
        if (WithPage()) {
            writers_.push_back(std::make_unique<trackinfo::HtmlPage>(
                style, settings, [this](const std::string& text) { page_.Text(text); }));
        }
    }

    // False when the page cannot be opened (page.Reason() says why); it may
    // replace none of the files.
    bool Open() {
        if (!WithPage()) {
            return true;
        }
        for (const std::string& file : options_.files) {
            page_.Spare(file);
        }
        return page_.OpenText(options_.html);
    }
    bool WithPage() const { return !options_.html.empty(); }

    void Begin() {
        for (const auto& writer : writers_) {
            writer->Begin(options_.files);
        }
    }
    // A file that was read; `drawing` when there is a page.
    void File(const trackinfo::FileReport& report, const trackinfo::TrackDrawing* drawing) {
        total_.Add(report.figures);
        ++files_read_;
        for (const auto& writer : writers_) {
            writer->File(report, writer->Draws() ? drawing : nullptr);
        }
        std::fflush(stdout);
    }
    void Failure(const trackinfo::FileReport& report) {
        for (const auto& writer : writers_) {
            writer->Failure(report);
        }
    }
    // The total for more than one file, the ends of the documents. False
    // when the page could not be written (page.Reason() says why). A page
    // of no file that could be read is not written: a page of that name is
    // left as it was.
    bool End() {
        for (const auto& writer : writers_) {
            if (options_.files.size() > 1) {
                writer->Total(total_, files_read_);
            }
            writer->End();
        }
        if (!WithPage()) {
            return true;
        }
        if (files_read_ == 0) {
            page_.Abandon();
            return true;
        }
        return page_.Commit();
    }
    bool Findings() const { return total_.findings.Total() > 0; }

  private:
    const trackinfo::Options& options_;
    std::vector<std::unique_ptr<trackinfo::ReportWriter>> writers_;
    tools::OutputSet& page_;
    trackinfo::Figures total_;
    std::uint64_t files_read_ = 0;
};

int Run(const tools::Program& program, int argc, char* argv[]) {
    trackinfo::Options options;
    std::string why;
    if (!trackinfo::ParseOptions(argc, argv, options, why)) {
        program.Warn(why);
        return program.Usage();
    }
    trackinfo::Style style;
    style.units = trackinfo::Units(options.metric);
    style.times = trackinfo::TimeStyle(options.local);
    style.pace = options.pace;
    style.laps = options.laps;
    const trackinfo::Units& units = style.units;
    trackinfo::Settings settings;
    settings.stop_metres_per_second =
        units.SpeedToSi(options.stop_given ? options.stop : units.DefaultStopSpeed());
    settings.climb_metres = options.climb;
    settings.split_metres = options.splits ? units.UnitMetres() : 0.0;
    // Nothing is announced; what cannot be read is explained.
    tools::InputSet input(program, tools::Console(), nullptr);
    input.Salvage(options.salvage);
    tools::OutputSet page(program, tools::Console(), input);
    Reports reports(options, style, settings, page);
    if (!reports.Open()) {
        program.Explain(options.html, page.Reason());
        return tools::kExitWriteFailed;
    }
    reports.Begin();

    int status = tools::kExitOk;
    for (const std::string& name : options.files) {
        trackinfo::FileReport report;
        report.name = name;
        trackinfo::Summary summary(settings);
        trackinfo::TrackExtents extents;  // for the page
        // The page is drawn at the scale the whole track gives: its points
        // wait in a spool, so that the input is read once.
        formats::PointSpool spool;
        if (reports.WithPage() && !spool.Open()) {
            program.Explain(name, spool.ErrorText());
            return tools::kExitWriteFailed;
        }
        std::uint64_t ignored_bytes = 0;
        bool spooled = true;
        const auto take = [&](const track::Point& point) {
            summary.Add(point);
            if (reports.WithPage()) {
                extents.Add(point);
                spooled = spooled && spool.Add(point);
            }
        };
        std::string where;
        if (!ReadTrack(input, name, take, report, ignored_bytes, where, why)) {
            program.Explain(where, why);
            status = tools::kExitInputFailed;
            report.error = why;
            reports.Failure(report);
            continue;
        }
        if (options.salvage) {
            input.NoteRemarks();  // where a salvaged file broke
        }
        summary.AddReaderFindings(SkippedPoints(report.tallies), ignored_bytes);
        report.figures = summary.Result();
        if (!reports.WithPage()) {
            reports.File(report, nullptr);
            continue;
        }
        trackinfo::TrackDrawing drawing(extents, report.figures, settings);
        track::Point point;
        if (!spooled || !spool.StartReading()) {
            program.Explain(name, spool.ErrorText());
            return tools::kExitWriteFailed;
        }
        while (spool.Next(point)) {
            drawing.Add(point);
        }
        drawing.Finish();
        reports.File(report, &drawing);
    }

    if (!reports.End()) {
        program.Explain(options.html, page.Reason());
        return tools::kExitWriteFailed;
    }
    if (status == tools::kExitOk && options.check && reports.Findings()) {
        return tools::kExitFindings;
    }
    return status;
}

}  // namespace

int main(int argc, char* argv[]) {
    return tools::Program("trackinfo", kUsage).Main(argc, argv, Run);
}
