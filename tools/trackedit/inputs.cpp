#include "inputs.h"

#include <sys/stat.h>

#include <limits>

#include "inputcheck.h"
#include "timearg.h"

namespace trackedit {

int Inputs::Open(const std::vector<std::string>& names, bool merge) {
    merge_ = merge;
    sources_.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        Source& source = sources_[i];
        source.name = names[i];
        console_.Line("Opening " + source.name);
        formats::ReadError error;
        source.reader = formats::OpenReader(source.name, formats::Format(), error);
        if (!source.reader) {
            console_.Failure(source.name, " - Open Failed!!!");
            program_.Explain(source.name, error.reason);
            return tools::kExitInputFailed;
        }
        tools::WarnIfNotRecords(program_, source.name, source.reader->LooksLike());
    }
    return tools::kExitOk;
}

bool Inputs::Read(std::size_t index, track::Point& point) {
    Source& source = sources_[index];
    if (!source.reader->Next(point)) {
        if (source.reader->Failed()) {
            failed_ = index;
        }
        return false;
    }
    if (++source.count == 1) {
        point.begins_track = point.begins_segment = true;
    }
    if (point.begins_track) {
        source.track_name = point.track_name;
    }
    if (point.Has(track::kTime)) {
        if (merge_ && source.timed && point.time < source.last) {
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

bool Inputs::Next(track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (merge_) {
        return NextMerged(point);
    }
    while (current_ < sources_.size()) {
        if (Read(current_, point)) {
            return true;
        }
        if (Failed()) {
            return false;
        }
        ++current_;
    }
    return false;
}

bool Inputs::NextMerged(track::Point& point) {
    // A point without a time waits with the time before it.
    const auto key = [this](std::size_t index) {
        const Source& source = sources_[index];
        return Key(
            source.timed ? source.last.Nanoseconds() : std::numeric_limits<std::int64_t>::min(),
            index);
    };
    if (!primed_) {
        primed_ = true;
        for (std::size_t i = 0; i < sources_.size(); ++i) {
            if (Read(i, sources_[i].head)) {
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
    Source& source = sources_[index];
    // The point goes out, and its place takes the next one.
    std::swap(point, source.head);
    if (last_source_ != kNone && last_source_ != index) {
        point.begins_segment = true;
        if (!point.begins_track) {
            point.begins_track = true;
            point.track_name = source.track_name;
        }
    }
    last_source_ = index;
    if (Read(index, source.head)) {
        waiting_.push(key(index));
    }
    return !Failed();
}

int Inputs::ReportFailure() const {
    const Source& source = sources_[failed_];
    console_.Line("");
    console_.Failure(source.name, " - Read Failed!!!");
    if (!order_problem_.empty()) {
        program_.Explain(source.name, order_problem_);
    } else {
        const formats::ReadError& error = source.reader->Error();
        program_.Explain(formats::Where(source.name, error.where), error.reason);
    }
    return tools::kExitInputFailed;
}

bool Inputs::IsAnInput(const std::string& name) const {
    struct stat info;
    if (name == "-" || ::stat(name.c_str(), &info) != 0) {
        return false;
    }
    for (const Source& source : sources_) {
        if (source.reader && source.reader->Inode() != 0 &&
            source.reader->Device() == static_cast<unsigned long long>(info.st_dev) &&
            source.reader->Inode() == static_cast<unsigned long long>(info.st_ino)) {
            return true;
        }
    }
    return false;
}

void Inputs::NoteReadings() const {
    for (const Source& source : sources_) {
        tools::NoteReading(program_, source.name, *source.reader, 0);
    }
}

}  // namespace trackedit
