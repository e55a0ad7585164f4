#include "output.h"

#include <utility>

#include "timearg.h"

namespace trackedit {

std::string PieceName(const std::string& output, std::uint64_t number) {
    const std::size_t slash = output.rfind('/');
    const std::size_t dot = output.rfind('.');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const bool has_extension = dot != std::string::npos && dot > base;
    const std::string stem = has_extension ? output.substr(0, dot) : output;
    const std::string extension = has_extension ? output.substr(dot) : "";
    return stem + "-" + std::to_string(number) + extension;
}

bool Splitter::Begins(const track::Point& point) {
    if (split_ == Split::kSegments) {
        return point.begins_segment || point.begins_track;
    }
    if (!point.Has(track::kTime)) {
        return false;
    }
    bool begins = false;
    if (split_ == Split::kGap) {
        // Times 300 years apart overflow 64 bits of nanoseconds.
        __extension__ typedef __int128 Wide;
        begins = timed_ && static_cast<Wide>(point.time.Nanoseconds()) - last_.Nanoseconds() > gap_;
    } else if (split_ == Split::kDay) {
        const std::int64_t day =
            timed_ && point.time.Seconds() == last_.Seconds() ? last_day_ : LocalDay(point.time);
        begins = timed_ && day != last_day_;
        last_day_ = day;
    }
    timed_ = true;
    last_ = point.time;
    return begins;
}

Output::Output(const tools::Program& program, const tools::Console& console, const Inputs& inputs,
               std::string name, Split split, std::int64_t gap_nanoseconds,
               formats::WriterOptions options)
    : program_(program),
      console_(console),
      inputs_(inputs),
      name_(std::move(name)),
      split_(split),
      splitter_(split, gap_nanoseconds),
      options_(std::move(options)),
      format_(formats::Format::OfExtension(name_)) {
    if (!format_.Writable()) {
        format_ = formats::Format::Gpl();
    }
}

Output::~Output() = default;

bool Output::OpenFile(const std::string& name) {
    Piece piece;
    piece.name = name;
    piece.file = std::make_unique<tools::ReplacingFile>();
    const bool opened = !inputs_.IsAnInput(name) && piece.file->Open(name, 0, 0);
    if (!opened) {
        failed_name_ = name;
        open_failed_ = true;
        reason_ = tools::ErrorText(piece.file->Error() != 0 ? piece.file->Error()
                                                            : tools::ReplacingFile::kIsTheInput);
        return false;
    }
    writer_ = formats::OpenWriter(format_, piece.file->Descriptor(), options_);
    pieces_.push_back(std::move(piece));
    return true;
}

int Output::Open() {
    if (split_ != Split::kNone) {
        return tools::kExitOk;
    }
    console_.Line("Opening " + name_);
    if (!OpenFile(name_)) {
        console_.Failure(name_, " - Open Failed!!!");
        program_.Explain(name_, reason_);
        return tools::kExitOutputFailed;
    }
    return tools::kExitOk;
}

bool Output::Take(track::Point& point) {
    const bool first = tracks_ == 0;
    if (first || point.begins_track) {
        point.begins_track = point.begins_segment = true;
        ++tracks_;
        track_name_ = point.track_name;
    }
    point.track = static_cast<std::uint32_t>(tracks_ - 1);
    if (split_ != Split::kNone && (splitter_.Begins(point) || first)) {
        if ((!first && !EndPiece()) || !OpenFile(PieceName(name_, pieces_.size() + 1))) {
            return false;
        }
        if (!point.begins_track) {
            point.begins_track = point.begins_segment = true;
            point.track_name = track_name_;
        }
    }
    if (!writer_->Write(point)) {
        failed_name_ = pieces_.back().name;
        reason_ = writer_->Error().reason;
        return false;
    }
    return true;
}

bool Output::EndPiece() {
    Piece& piece = pieces_.back();
    if (!writer_->Finish()) {
        failed_name_ = piece.name;
        reason_ = writer_->Error().reason;
        return false;
    }
    piece.written = writer_->Written();
    AddTallies(*writer_);
    writer_.reset();
    // A piece done keeps no descriptor open: a split may make many.
    if (split_ != Split::kNone && !piece.file->Close()) {
        failed_name_ = piece.name;
        reason_ = tools::ErrorText(piece.file->Error());
        return false;
    }
    return true;
}

bool Output::End() {
    return !writer_ || EndPiece();
}

bool Output::Commit() {
    for (Piece& piece : pieces_) {
        if (!piece.file->Commit()) {
            failed_name_ = piece.name;
            reason_ = tools::ErrorText(piece.file->Error());
            return false;
        }
    }
    return true;
}

int Output::ReportFailure() {
    if (reason_.empty() && writer_) {
        reason_ = tools::ErrorText(writer_->Error().system_error);
    }
    console_.Line("");
    console_.Failure(failed_name_, open_failed_ ? " - Open Failed!!!" : " - Write Failed!!!");
    program_.Explain(failed_name_, reason_);
    for (Piece& piece : pieces_) {
        piece.file->Abandon();
    }
    return open_failed_ ? tools::kExitOutputFailed : tools::kExitWriteFailed;
}

void Output::AddTallies(const formats::Writer& writer) {
    const std::vector<formats::Tally> tallies = writer.Tallies();
    if (tallies_.empty()) {
        tallies_ = tallies;
        return;
    }
    for (std::size_t i = 0; i < tallies.size() && i < tallies_.size(); ++i) {
        tallies_[i].count += tallies[i].count;
    }
}

std::vector<std::string> Output::Summary() const {
    std::vector<std::string> lines;
    std::uint64_t total = 0;
    for (const Piece& piece : pieces_) {
        if (split_ != Split::kNone) {
            lines.push_back("Wrote " + std::to_string(piece.written) + " data points to " +
                            piece.name + ".");
        }
        total += piece.written;
    }
    lines.push_back("Wrote " + std::to_string(total) + " data points.");
    return lines;
}

std::vector<formats::Tally> Output::Tallies() const {
    return tallies_;
}

}  // namespace trackedit
