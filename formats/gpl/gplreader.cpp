#include "gplreader.h"

#include <cstring>
#include <string>
#include <utility>

#include "tracktools/track/gplfile.h"

namespace formats {

GplReader::GplReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format::Gpl(), *file), file_(std::move(file)) {
    const unsigned char* start = nullptr;
    const std::size_t size = file_->Peek(&start);
    looks_like_ = Format::OfContent(start, size);
}

bool GplReader::Next(track::Point& point) {
    if (!gpl::ReadRecord(*file_, point.record, &partial_)) {
        return Ended();
    }
    // FromRecord sets every value it marks present.
    point.ResetMarks();
    track::FromRecord(point.record, point);
    point.begins_segment = point.begins_track = first_;
    first_ = false;
    return true;
}

bool GplReader::Ended() {
    if (file_->Failed() && !Failed()) {
        Fail(file_->Error(), std::strerror(file_->Error()));
    }
    return false;
}

std::vector<Remark> GplReader::FileRemarks() const {
    if (partial_ == 0) {
        return {};
    }
    return {
        {"partial record of " + std::to_string(partial_) + " bytes at the end ignored", partial_}};
}

}  // namespace formats
