#include "gplreader.h"

#include <cstring>
#include <utility>

namespace formats {

GplReader::GplReader(std::unique_ptr<gpl::InputFile> file)
    : Reader(Format::kGpl), file_(std::move(file)) {}

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
