#include "gplwriter.h"

#include <cstddef>
#include <cstring>

#include "tracktools/formats/tallies.h"
#include "tracktools/track/gplfile.h"

namespace formats {

GplWriter::GplWriter(int fd, const WriterOptions& /*options*/)
    : Writer(Format::Gpl(), fd),
      losses_(track::kHeartRate | track::kCadence | track::kPower | track::kTemperature, true) {}

bool GplWriter::Write(const track::Point& point) {
    if (!kinds_.Keeps(point)) {
        return !Failed();
    }
    unsigned char* bytes = Output().Room(gpl::kRecordSize);
    if (bytes == nullptr || !point.Has(track::kPosition)) {
        return LeftOut(bytes != nullptr);
    }
    // Most points are as their record gave them, but for their place,
    // heading and tag, which the record holds as they are: the record is
    // written with those.
    const GPL_Data_Point& carried = point.record;
    constexpr std::uint16_t kAll =
        track::kPosition | track::kElevation | track::kSpeed | track::kCourse | track::kTime;
    const std::uint16_t timed = carried.Time != 0 ? track::kTime : 0;
    if (point.has_record && (point.fields & kAll) == (kAll & ~track::kTime) + timed &&
        point.time.Nanoseconds() == static_cast<std::int64_t>(carried.Time) * 1000000000 &&
        track::detail::SameBits(point.elevation, carried.Altitude * track::kMetersPerFoot) &&
        track::detail::SameBits(point.speed, track::MetersPerSecondFromMph(carried.Speed)) &&
        gpl::detail::kRecordIsPoint) {
        std::memcpy(bytes, &carried, gpl::kRecordSize);
        std::memcpy(bytes + offsetof(GPL_Data_Point, Tag), &point.tag, sizeof point.tag);
        std::memcpy(bytes + offsetof(GPL_Data_Point, Latitude), &point.latitude,
                    sizeof point.latitude);
        std::memcpy(bytes + offsetof(GPL_Data_Point, Longitude), &point.longitude,
                    sizeof point.longitude);
        std::memcpy(bytes + offsetof(GPL_Data_Point, Heading), &point.course, sizeof point.course);
    } else {
        gpl::EncodeRecord(track::ToRecord(point), bytes);
        // A time its record gave fits and has no fraction.
        if (point.Has(track::kTime) &&
            !(point.has_record && point.time == track::Instant::FromSeconds(carried.Time))) {
            CountTime(point.time);
        }
    }
    Output().Used(gpl::kRecordSize);
    losses_.Add(point, breaks_.Next(point));
    Count();
    return true;
}

bool GplWriter::LeftOut(bool room) {
    if (!room) {
        return Check(false);
    }
    ++without_position_;
    return true;
}

void GplWriter::CountTime(track::Instant time) {
    const bool fits = track::FitsTimeStamp(time.Seconds());
    time_out_of_range_ += fits ? 0 : 1;
    fractions_lost_ += fits && time.Fraction() != 0 ? 1 : 0;
}

std::vector<Tally> GplWriter::Tallies() const {
    std::vector<Tally> tallies = {SkippedWithoutPosition(without_position_),
                                  TimeOutOfRange(time_out_of_range_),
                                  {fractions_lost_, "time lost its fraction of a second",
                                   "times lost their fraction of a second", false}};
    losses_.AppendTallies(tallies);
    kinds_.AppendTallies(tallies);
    return tallies;
}

}  // namespace formats
