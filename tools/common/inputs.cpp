#include "inputs.h"

#include <sys/stat.h>

#include <limits>

#include "inputcheck.h"

namespace tools {

int InputSet::Open(const std::vector<std::string>& names, bool report) {
    sources_.clear();
    current_ = 0;
    failed_ = kNone;
    skipped_ = 0;
    straight_ = nullptr;
    primed_ = false;
    last_source_ = kNone;
    for (const std::string& name : names) {
        auto source = std::make_unique<Source>();
        source->name = name;
        if (opening_ != nullptr) {
            console_.Line(opening_ + name);
        }
        open_error_ = formats::ReadError();
        source->reader = formats::OpenReader(name, read_as_, open_error_);
        if (!source->reader) {
            if (report) {
                console_.Failure(name, kOpenFailed);
                program_.Explain(name, open_error_.reason);
            }
            return kExitInputFailed;
        }
        source->reader->Salvage(salvage_);
        WarnIfNotRecords(program_, name, source->reader->LooksLike());
        sources_.push_back(std::move(source));
    }
    return kExitOk;
}

bool InputSet::Read(std::size_t index, track::Point& point) {
    Source& source = *sources_[index];
    if (!source.reader->Next(point)) {
        if (source.reader->Failed()) {
            failed_ = index;
        }
        return false;
    }
    if (++source.count == 1) {
        point.begins_track = point.begins_segment = true;
    }
    if (!merge_) {
        return true;
    }
    if (point.begins_track) {
        source.track_name = point.track_name;
    }
    if (point.Has(track::kTime)) {
        if (source.timed && point.time < source.last) {
            order_problem_ = "point " + std::to_string(source.count) + " goes back in time, to " +
                             UtcText(point.time) + " after " + UtcText(source.last) +
                             "; -sort needs each input in time order";
            failed_ = index;
            return false;
        }
        source.timed = true;
        source.last = point.time;
    }
    return true;
}

bool InputSet::NextOther(track::Point*& point) {
    if (Failed()) {
        return false;
    }
    if (merge_) {
        return NextMerged(point);
    }
    while (current_ < sources_.size()) {
        Source& source = *sources_[current_];
        // A source read straight has ended, or failed.
        const bool ended = source.count > 0 && straight_ == nullptr;
        if (!ended && Read(current_, *point)) {
            straight_ = source.reader.get();
            if (Wanted(*point)) {
                return true;
            }
            continue;  // the next point of the same input
        }
        straight_ = nullptr;
        if (source.reader->Failed()) {
            failed_ = current_;
            return false;
        }
        ++current_;
    }
    return false;
}

bool InputSet::NextMerged(track::Point*& point) {
    // A point without a time waits with the time before it.
    const auto key = [this](std::size_t index) {
        const Source& source = *sources_[index];
        return Key(
            source.timed ? source.last.Nanoseconds() : std::numeric_limits<std::int64_t>::min(),
            index);
    };
    if (!primed_) {
        primed_ = true;
        for (std::size_t i = 0; i < sources_.size(); ++i) {
            if (Read(i, *sources_[i]->head)) {
                waiting_.push(key(i));
            } else if (Failed()) {
                return false;
            }
        }
    }
    if (waiting_.empty()) {
        return false;
    }
    const std::size_t index = waiting_.top().second;
    waiting_.pop();
    Source& source = *sources_[index];
    // The point goes out, and its place takes the next one.
    source.head.Exchange(point);
    if (last_source_ != kNone && last_source_ != index) {
        point->begins_segment = true;
        if (!point->begins_track) {
            point->begins_track = true;
            point->track_name = source.track_name;
        }
    }
    last_source_ = index;
    if (Read(index, *source.head)) {
        waiting_.push(key(index));
    }
    return !Failed();
}

std::string InputSet::FailureWhere() const {
    const Source& source = *sources_[failed_];
    return order_problem_.empty() ? formats::Where(source.name, source.reader->Error().where)
                                  : source.name;
}

std::string InputSet::FailureReason() const {
    if (!order_problem_.empty()) {
        return order_problem_;
    }
    const formats::ReadError& error = sources_[failed_]->reader->Error();
    return error.reason.empty() ? ErrorText(error.system_error) : error.reason;
}

int InputSet::ReportFailure(bool end_line) const {
    if (end_line) {
        console_.Line("");
    }
    console_.Failure(FailedName(), kReadFailed);
    program_.Explain(FailureWhere(), FailureReason());
    return kExitInputFailed;
}

bool InputSet::IsAnInput(const std::string& name) const {
    struct stat info;
    if (name == "-" || ::stat(name.c_str(), &info) != 0) {
        return false;
    }
    for (const auto& source : sources_) {
        if (source->reader->Inode() != 0 &&
            source->reader->Device() == static_cast<unsigned long long>(info.st_dev) &&
            source->reader->Inode() == static_cast<unsigned long long>(info.st_ino)) {
            return true;
        }
    }
    return false;
}

std::vector<formats::Tally> InputSet::Tallies() const {
    std::vector<formats::Tally> tallies;
    for (const auto& source : sources_) {
        for (const formats::Tally& tally : source->reader->Tallies()) {
            tallies.push_back(tally);
        }
    }
    tallies.push_back(WithoutPosition(skipped_));
    return tallies;
}

void InputSet::NoteRemarks() const {
    for (const auto& source : sources_) {
        for (const formats::Remark& remark : source->reader->Remarks()) {
            program_.Explain(source->name, remark.text);
        }
    }
}

void InputSet::NoteReadings() const {
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        const Source& source = *sources_[i];
        std::vector<formats::Tally> tallies = source.reader->Tallies();
        tallies.push_back(WithoutPosition(i == 0 ? skipped_ : 0));
        for (const std::string& line : TallyLines(tallies)) {
            program_.Explain(source.name, line);
        }
        for (const formats::Remark& remark : source.reader->Remarks()) {
            program_.Explain(source.name, remark.text);
        }
    }
}

}  // namespace tools
