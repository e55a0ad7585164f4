#include "toolframe.h"

#include <cstring>
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
      progress_(console_) {}

int ToolFrame::Open() {
    console_.Line("Opening " + input_name_);
    unsigned long long device = 0;
    unsigned long long inode = 0;
    if (input_kind_ == Input::kListing) {
        if (const int failed = OpenListing()) {
            return failed;
        }
        device = listing_.Device();
        inode = listing_.Inode();
    } else {
        formats::ReadError error;
        reader_ = formats::OpenReader(input_name_, read_as_, error);
        if (!reader_) {
            console_.Failure(input_name_, " - Open Failed!!!");
            program_.Explain(input_name_, error.reason);
            return kExitInputFailed;
        }
        WarnIfNotRecords(program_, input_name_, reader_->LooksLike());
        device = reader_->Device();
        inode = reader_->Inode();
    }

    console_.Line("Opening " + output_name_);
    if (!output_.Open(output_name_, device, inode)) {
        console_.Failure(output_name_, " - Open Failed!!!");
        program_.Explain(output_name_, ErrorText(output_.Error()));
        return kExitOutputFailed;
    }
    if (!write_as_.Known()) {
        write_as_ = formats::Format::OfExtension(output_name_);
        if (!write_as_.Writable()) {
            write_as_ = formats::Format::Gpl();
        }
    }
    if (writer_options_.name.empty() && input_name_ != "-") {
        writer_options_.name = TrackName(input_name_);
    }
    writer_ = formats::OpenWriter(write_as_, output_.Descriptor(), writer_options_);
    records_only_ = reader_ && reader_->ReadsRecords() && writer_->WritesRecords();
    return kExitOk;
}

int ToolFrame::OpenListing() {
    const bool opened =
        input_name_ == "-" ? listing_.OpenStandardInput() : listing_.Open(input_name_);
    if (!opened) {
        console_.Failure(input_name_, " - Open Failed!!!");
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
        console_.Failure(input_name_, " - Open Failed!!!");
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

bool ToolFrame::Read(track::Point& point) {
    return reader_->Next(point);
}

bool ToolFrame::ReadRecord(track::Point& point, GPL_Data_Point& record) {
    if (records_only_) {
        return reader_->NextRecord(record);
    }
    return NextRecord(*reader_, point, record, without_position_);
}

bool ToolFrame::Write(const track::Point& point) {
    return writer_->Write(point);
}

bool ToolFrame::WriteRecord(track::Point& point, const GPL_Data_Point& record) {
    if (records_only_) {
        return writer_->WriteRecord(record);
    }
    track::ApplyRecord(record, point);
    return writer_->Write(point);
}

int ToolFrame::WriteFailed() {
    console_.Line("");
    console_.Failure(output_name_, " - Write Failed!!!");
    const formats::WriteError& error = writer_->Error();
    program_.Explain(output_name_,
                     error.reason.empty() ? ErrorText(output_.Error()) : error.reason);
    output_.Abandon();
    return kExitWriteFailed;
}

int ToolFrame::ReadFailed(const std::string& reason, const formats::Location& where, int error) {
    console_.Line("");
    console_.Failure(input_name_, " - Read Failed!!!");
    program_.Explain(formats::Where(input_name_, where),
                     reason.empty() ? ErrorText(error) : reason);
    output_.Abandon();
    return kExitInputFailed;
}

int ToolFrame::Finish() {
    return Finish("Wrote " + std::to_string(Written()) + " data points.");
}

int ToolFrame::Finish(const std::string& summary) {
    if (input_kind_ == Input::kListing && listing_.Failed()) {
        return ReadFailed("", formats::Location(), listing_.Error());
    }
    if (reader_ && reader_->Failed()) {
        return ReadFailed(reader_->Error().reason, reader_->Error().where, 0);
    }
    if (reader_) {
        writer_->TakeRecordedSport(reader_->RecordedSport());
    }
    if (!writer_->Finish()) {
        return WriteFailed();
    }
    if (!output_.Commit()) {
        console_.Line("");
        console_.Failure(output_name_, " - Write Failed!!!");
        program_.Explain(output_name_, ErrorText(output_.Error()));
        return kExitWriteFailed;
    }
    console_.Line("done.");
    console_.Line(summary);

    std::vector<formats::Tally> tallies;
    if (reader_) {
        tallies = reader_->Tallies();
    }
    tallies.push_back(WithoutPosition(without_position_));
    for (const formats::Tally& tally : writer_->Tallies()) {
        tallies.push_back(tally);
    }
    for (const std::string& line : TallyLines(tallies)) {
        if (tallies_ == Tallies::kLines) {
            console_.Line(line);
        } else {
            program_.Explain(input_name_, line);
        }
    }
    if (reader_) {
        NotePartialRecord(program_, input_name_, reader_->IgnoredBytes());
    } else if (Written() == 0 && !listing_empty_) {
        WarnNoPoints(program_, input_name_, looks_like_);
    }
    return kExitOk;
}

}  // namespace tools
