#include "gplwriter.h"

#include "tracktools/formats/tallies.h"
#include "tracktools/track/gplfile.h"

namespace formats {

GplWriter::GplWriter(int fd, const WriterOptions& /*options*/)
    : Writer(Format::Gpl(), fd),
      losses_(track::kHeartRate | track::kCadence | track::kPower | track::kTemperature, true) {}

bool GplWriter::Write(const track::Point& point) {
    if (Failed()) {
        return false;
    }
    if (!point.Has(track::kPosition)) {
        ++without_position_;
        return true;
    }
    const GPL_Data_Point record = track::ToRecord(point);
    if (!Check(gpl::WriteRecord(Output(), record))) {
        return false;
    }
    if (point.Has(track::kTime)) {
        const bool fits = track::FitsTimeStamp(point.time.Seconds());
        time_out_of_range_ += fits ? 0 : 1;
        fractions_lost_ += fits && point.time.Fraction() != 0 ? 1 : 0;
    }
    losses_.Add(point, breaks_.Next(point));
    Count();
    return true;
}

bool GplWriter::WriteRecord(const GPL_Data_Point& record) {
    if (Failed() || !Check(gpl::WriteRecord(Output(), record))) {
        return false;
    }
    Count();
    return true;
}

std::vector<Tally> GplWriter::Tallies() const {
    std::vector<Tally> tallies = {SkippedWithoutPosition(without_position_),
                                  TimeOutOfRange(time_out_of_range_),
                                  {fractions_lost_, "time lost its fraction of a second",
                                   "times lost their fraction of a second", false}};
    losses_.AppendTallies(tallies);
    return tallies;
}

}  // namespace formats
