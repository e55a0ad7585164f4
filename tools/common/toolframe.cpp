#include "toolframe.h"

#include <utility>

#include "inputcheck.h"

namespace tools {

ToolFrame::ToolFrame(const Program& program, std::string input_name, std::string output_name,
                     Input input)
    : program_(program),
      input_kind_(input),
      input_name_(std::move(input_name)),
      output_name_(std::move(output_name)),
      // Data on standard output keeps it for itself.
      console_(output_name_ == "-" ? stderr : stdout),
      progress_(console_),
      inputs_(program, console_),
      outputs_(program, console_, inputs_) {}

void ToolFrame::SetWriterOptions(const formats::WriterOptions& options) {
    outputs_.SetWriterOptions(options);
    writer_named_ = !options.name.empty();
}

int ToolFrame::Open() {
    if (input_kind_ == Input::kListing) {
        console_.Line("Opening " + input_name_);
        if (const int failed = OpenListing()) {
            return failed;
        }
        outputs_.Spare(listing_.Device(), listing_.Inode());
    } else if (const int failed = inputs_.Open(input_name_)) {
        return failed;
    }
    if (!writer_named_ && input_name_ != "-") {
        outputs_.WriterOptions().name = TrackName(input_name_);
    }
    return outputs_.Open(output_name_);
}

int ToolFrame::OpenListing() {
    const bool opened =
        input_name_ == "-" ? listing_.OpenStandardInput() : listing_.Open(input_name_);
    if (!opened) {
        console_.Failure(input_name_, kOpenFailed);
        program_.Explain(input_name_, ErrorText(listing_.Error()));
        return kExitInputFailed;
    }
    const unsigned char* start = nullptr;
    const std::size_t size = listing_.Peek(&start);
    listing_empty_ = size == 0;
    looks_like_ = formats::Format::OfContent(start, size);
    // A file of another track format is no listing: refused before the
    // output is touched. Binary data is told by its name, if at all.
    const formats::Format other = looks_like_.Known() || listing_empty_
                                      ? looks_like_
                                      : formats::Format::OfExtension(input_name_);
    if (other.Known() && !other.ReadAsRecords()) {
        console_.Failure(input_name_, kOpenFailed);
        std::string reason = std::string("is a ") + other.Describe() + ", not a text listing";
        if (other.Readable()) {
            reason += "; convert it with: trackconvert " + input_name_ + " " + output_name_;
        }
        program_.Explain(input_name_, reason);
        return kExitInputFailed;
    }
    return kExitOk;
}

void ToolFrame::Announce() {
    progress_.Start();
}

int ToolFrame::Process(Sink& first, unsigned mark_lag) {
    track::Point buffer;
    track::Point* point = &buffer;
    std::uint64_t handed = 0;
    while (inputs_.Next(point)) {
        // The programs work on tracks and routes: waypoints go through as
        // they are.
        Sink& taker = point->kind == track::Kind::kWaypoint ? static_cast<Sink&>(outputs_) : first;
        if (!taker.Take(point)) {
            return WriteFailed();
        }
        progress_.Mark(++handed + 1 - mark_lag);
    }
    if (inputs_.Failed()) {
        outputs_.Abandon();
        return inputs_.ReportFailure();
    }
    outputs_.TakeRecordedSport(inputs_.First().RecordedSport());
    return first.End() ? kExitOk : WriteFailed();
}

bool ToolFrame::WriteNow(track::Point& point) {
    track::Point* taken = &point;
    return outputs_.Take(taken) && outputs_.Flush();
}

int ToolFrame::ListingFailed() {
    console_.Line("");
    console_.Failure(input_name_, kReadFailed);
    program_.Explain(input_name_, ErrorText(listing_.Error()));
    outputs_.Abandon();
    return kExitInputFailed;
}

int ToolFrame::Finish() {
    return Finish("Wrote " + std::to_string(Written()) + " data points.");
}

int ToolFrame::Finish(const std::string& summary) {
    if (input_kind_ == Input::kListing && listing_.Failed()) {
        return ListingFailed();
    }
    if (!outputs_.End() || !outputs_.Commit()) {
        return WriteFailed();
    }
    console_.Line("done.");
    console_.Line(summary);

    std::vector<formats::Tally> tallies = inputs_.Tallies();
    for (const formats::Tally& tally : outputs_.Tallies()) {
        tallies.push_back(tally);
    }
    for (const std::string& line : TallyLines(tallies)) {
        if (tallies_ == Tallies::kLines) {
            console_.Line(line);
        } else {
            program_.Explain(input_name_, line);
        }
    }
    if (input_kind_ == Input::kTrack) {
        inputs_.NoteRemarks();
    } else if (Written() == 0 && !listing_empty_) {
        WarnNoPoints(program_, input_name_, looks_like_);
    }
    return kExitOk;
}

}  // namespace tools
