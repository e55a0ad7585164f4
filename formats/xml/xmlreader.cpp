#include "xmlreader.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "tracktools/formats/timetext.h"

namespace formats {

void FieldText::Add(std::string_view text) {
    const std::size_t room = kCapacity - size_;
    const std::size_t taken = text.size() < room ? text.size() : room;
    std::memcpy(text_ + size_, text.data(), taken);
    size_ += taken;
    cut_ = cut_ || taken < text.size();
}

std::string FieldText::Quoted() const {
    return "\"" + std::string(Text()) + (cut_ ? "...\"" : "\"");
}

XmlReader::XmlReader(Format format, std::unique_ptr<io::InputFile> file, XmlEngine engine)
    : Reader(format, *file), file_(std::move(file)), stream_(*file_, *this, engine) {}

XmlReader::~XmlReader() = default;

bool XmlReader::Next(track::Point& point) {
    while (!Failed()) {
        if (ready_) {
            ready_ = false;
            point = point_;
            ++handed_out_;
            return true;
        }
        if (stream_.Run()) {
            continue;
        }
        if (stream_.Failed() || !ReadAgain()) {
            const ReadError& error = stream_.Error();
            if (error.reason.empty()) {
                return false;
            }
            // A document that breaks after whole points may be salvaged;
            // a failing read of the file may not.
            if (error.system_error == 0 && handed_out_ > 0) {
                Break(error.reason, error.where, handed_out_);
            } else {
                Fail(error.system_error, error.reason, error.where);
            }
            return false;
        }
    }
    return false;
}

void XmlReader::TakeTime(const FieldText& field, std::string_view element,
                         std::uint64_t& out_of_range) {
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    const std::string_view text = field.Text();
    if (field.Cut() || !ParseIsoTime(text.data(), text.size(), seconds, nanoseconds)) {
        StopAt(field, element, " is not a date and time: ");
    } else if (track::KeepsTime(seconds)) {
        point_.SetTime(track::Instant::FromNanoseconds(
            seconds * track::Instant::kNanosecondsPerSecond + nanoseconds));
    } else {
        ++out_of_range;
    }
}

bool XmlReader::ReadNumber(const FieldText& field, double& value) {
    return !field.Cut() && numbers_.Read(field.Text(), value) && std::isfinite(value);
}

void XmlReader::StopAt(const FieldText& field, std::string_view element, const char* problem) {
    stream_.Stop(std::string(element) + problem + field.Quoted(), field.Where());
}

}  // namespace formats
