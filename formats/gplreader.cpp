#include "gplreader.h"

#include <cstring>
#include <utility>

#include "sniff.h"

namespace formats {

GplReader::GplReader(std::unique_ptr<gpl::InputFile> file)
    : Reader(Format::kGpl, *file), file_(std::move(file)) {
    const unsigned char* start = nullptr;
    const std::size_t size = file_->Peek(&start);
    looks_like_ = SniffText(start, size);
}

bool GplReader::Next(GPL_Data_Point& point) {
    if (file_->ReadRecord(point)) {
        return true;
    }
    if (file_->Failed() && !Failed()) {
        Fail(file_->Error(), std::strerror(file_->Error()));
    }
    return false;
}

}  // namespace formats
