#include "gplreader.h"

#include <cstring>
#include <utility>

#include "tracktools/track/gplfile.h"

namespace formats {

GplReader::GplReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format::Gpl(), *file), file_(std::move(file)) {
    const unsigned char* start = nullptr;
    const std::size_t size = file_->Peek(&start);
    looks_like_ = Format::OfContent(start, size);
}

bool GplReader::NextRecord(GPL_Data_Point& record) {
    if (gpl::ReadRecord(*file_, record, &partial_)) {
        return true;
    }
    if (file_->Failed() && !Failed()) {
        Fail(file_->Error(), std::strerror(file_->Error()));
    }
    return false;
}

bool GplReader::Next(track::Point& point) {
    GPL_Data_Point record;
    if (NextRecord(record)) {
        track::FromRecord(record, point);
        point.begins_segment = point.begins_track = first_;
        point.track = 0;
        point.track_name.clear();
        first_ = false;
        return true;
    }
    return false;
}

}  // namespace formats
