// trackinfo: the summary of one or more tracks (how far, how long, how fast,
// how high, where) and a check of their data, as text, as JSON, and as an
// HTML page with pictures.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "formatting.h"
#include "htmlpage.h"
#include "inputcheck.h"
#include "jsonreport.h"
#include "options.h"
#include "program.h"
#include "replacingfile.h"
#include "summary.h"
#include "textreport.h"
#include "tracktools/formats/pointspool.h"
#include "tracktools/formats/reader.h"
#include "tracktools/track/point.h"

namespace {

constexpr char kUsage[] =
    "Usage: trackinfo [-metric] [-json] [-check] [-splits] [-pace] [-local]\n"
    "                 [-stop <speed>] [-climb <metres>] [-html <page.html>] <file>...\n";

// Reads every point of `name` into `take`, and what the reader said of the
// file into `report` (its format and tallies) and `ignored_bytes`. False,
// with `where` and `why`, when the file could not be opened or read to its
// end.
template <typename Take>
bool ReadTrack(const tools::Program& program, const std::string& name, Take take,
               trackinfo::FileReport& report, std::uint64_t& ignored_bytes, std::string& where,
               std::string& why) {
    formats::ReadError error;
    const std::unique_ptr<formats::Reader> reader =
        formats::OpenReader(name, formats::Format(), error);
    if (reader) {
        // A GPL track that starts like text is read all the same, with a warning.
        tools::WarnIfNotRecords(program, name, reader->LooksLike());
        track::Point point;
        while (reader->Next(point)) {
            take(point);
        }
        error = reader->Error();
        report.format = reader->format();
        for (const formats::Tally& tally : reader->Tallies()) {
            if (tally.count > 0) {
                report.tallies.push_back(tally);
            }
        }
        ignored_bytes = reader->IgnoredBytes();
        if (!reader->Failed()) {
            return true;
        }
    }
    where = formats::Where(name, error.where);
    why = error.reason;
    return false;
}

std::uint64_t SkippedPoints(const std::vector<formats::Tally>& tallies) {
    std::uint64_t skipped = 0;
    for (const formats::Tally& tally : tallies) {
        skipped += tally.skipped ? tally.count : 0;
    }
    return skipped;
}

// The page, written to a temporary file that takes its name at the end.
class PageFile {
  public:
    bool Open(const std::string& name) { return file_.Open(name); }
    void Write(const std::string& text) {
        for (std::size_t done = 0; error_ == 0 && done < text.size();) {
            const ssize_t wrote =
                ::write(file_.Descriptor(), text.data() + done, text.size() - done);
            if (wrote < 0 && errno != EINTR) {
                error_ = errno;
            } else if (wrote > 0) {
                done += static_cast<std::size_t>(wrote);
            }
        }
    }
    // The system's error number, 0 when the page has its name.
    int Finish() {
        if (error_ == 0 && !file_.Commit()) {
            error_ = file_.Error();
        }
        file_.Abandon();
        return error_;
    }
    int OpenError() const { return file_.Error(); }

  private:
    tools::ReplacingFile file_;
    int error_ = 0;
};

// True when `page` names one of the input files: the page would replace it.
bool IsAnInput(const std::string& page, const std::vector<std::string>& files) {
    struct stat target;
    if (::stat(page.c_str(), &target) != 0) {
        return false;
    }
    for (const std::string& file : files) {
        struct stat info;
        if (::stat(file.c_str(), &info) == 0 && info.st_dev == target.st_dev &&
            info.st_ino == target.st_ino) {
            return true;
        }
    }
    return false;
}

// The reports of a run: the text or the JSON on standard output, and the
// page when one is asked for, each through the writers' one interface.
class Reports {
  public:
    Reports(const trackinfo::Options& options, const trackinfo::Style& style,
            const trackinfo::Settings& settings)
        : options_(options) {
        const auto print = [](const std::string& text) { tools::Print(text); };
        if (options.json) {
            writers_.push_back(std::make_unique<trackinfo::JsonReport>(options.splits, print));
        } else {
            writers_.push_back(std::make_unique<trackinfo::TextReport>(style, print));
        }
        if (WithPage()) {
            writers_.push_back(std::make_unique<trackinfo::HtmlPage>(
                style, settings, [this](const std::string& text) { page_file_.Write(text); }));
        }
    }

    // False, with `error` (ErrorText), when the page cannot be opened.
    bool Open(int& error) {
        if (!WithPage()) {
            return true;
        }
        if (IsAnInput(options_.html, options_.files)) {
            error = tools::ReplacingFile::kIsTheInput;
            return false;
        }
        if (!page_file_.Open(options_.html)) {
            error = page_file_.OpenError();
            return false;
        }
        return true;
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
    // The total for more than one file, the ends of the documents. The
    // system's error number when the page could not be written, else 0.
    int End() {
        for (const auto& writer : writers_) {
            if (options_.files.size() > 1) {
                writer->Total(total_, files_read_);
            }
            writer->End();
        }
        return WithPage() ? page_file_.Finish() : 0;
    }
    bool Findings() const { return total_.findings.Total() > 0; }

  private:
    const trackinfo::Options& options_;
    std::vector<std::unique_ptr<trackinfo::ReportWriter>> writers_;
    PageFile page_file_;
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
    const trackinfo::Units& units = style.units;
    trackinfo::Settings settings;
    settings.stop_metres_per_second =
        units.SpeedToSi(options.stop_given ? options.stop : units.DefaultStopSpeed());
    settings.climb_metres = options.climb;
    settings.split_metres = options.splits ? units.UnitMetres() : 0.0;
    Reports reports(options, style, settings);
    if (int error = 0; !reports.Open(error)) {
        program.Explain(options.html, tools::ErrorText(error));
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
        if (!ReadTrack(program, name, take, report, ignored_bytes, where, why)) {
            program.Explain(where, why);
            status = tools::kExitInputFailed;
            report.error = why;
            reports.Failure(report);
            continue;
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

    if (const int error = reports.End()) {
        program.Explain(options.html, tools::ErrorText(error));
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
