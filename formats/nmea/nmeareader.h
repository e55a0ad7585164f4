// NMEA 0183 logs as a format reader: the sentences a GPS receiver sends,
// as a logger wrote them from its serial or USB port.
//
// A sentence starts at "$" (anything before it on the line, such as a
// logger's time stamp, is passed over) and ends at the line end (CR LF or
// LF), at the next "$" or at the end of the file. RMC and GGA sentences of
// any talker ($GPRMC, $GNGGA, $BDRMC, ...) are used; every other sentence,
// and every line without one, is passed over. A sentence with a checksum
// ("*hh", the XOR of the characters between "$" and "*") is used only when
// it matches; without a checksum it is used as it is. A sentence longer than
// kMaxSentence characters is no sentence (NMEA allows 82). Sentences are
// read where they lie in the input's buffer; memory stays the same for
// lines of any length.
//
// One track of one segment, with a point per RMC sentence whose status is
// "A" and whose mode (NMEA 2.3 and later), when there is one, is not "N":
//
//   - position: ddmm.mmmm N/S and dddmm.mmmm E/W as signed decimal degrees
//     (degrees + minutes / 60).
//   - time: the date ddmmyy (years 80 to 99 are 1980 to 1999, 00 to 79 are
//     2000 to 2079) and the UTC time hhmmss.sss, to the nanosecond. Second
//     60 is a leap second, which counts as the first second of the next
//     minute as in POSIX time: "235960" on 31 December 2079 is
//     2080-01-01T00:00:00Z, the latest time a point can have.
//   - speed: the speed over ground in knots, made metres per second by way
//     of the record's miles per hour (below); course: the course over
//     ground. Each is 0 when its field is empty.
//   - elevation: the altitude above mean sea level (metres, with its unit
//     "M") of the GGA sentence of the same fix (the same time of day to the
//     millisecond, just before or just after the RMC) when its fix quality
//     is not 0; absent without one.
//   - tag: the point's number, from 1.
//
// Each point carries the GPL record of the fix (speed in miles per hour,
// altitude in feet, 0 without one), so that a GPL file of a log is the same
// whatever the model's units.
//
// Numbers are read as the C locale's strtod reads them (numbers.h). An RMC
// whose position, time, date, speed or course is empty where it must not
// be, or cannot be read, gives no point and is counted as malformed; an
// RMC without a valid fix is counted too. No content makes the reader fail:
// only the system can (a read error).
#ifndef TRACKTOOLS_FORMATS_NMEAREADER_H
#define TRACKTOOLS_FORMATS_NMEAREADER_H

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "tracktools/formats/numbers.h"
#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class NmeaReader : public Reader {
  public:
    static constexpr std::size_t kMaxSentence = 255;

    // `file` is open; the reader reads it from where it stands.
    explicit NmeaReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;

  private:
    // A fix from an RMC sentence, and the time of day that pairs it with a GGA.
    struct Fix {
        GPL_Data_Point record;
        std::uint32_t nanoseconds = 0;
        std::uint64_t time_of_day = 0;  // milliseconds
    };
    struct Ready {
        Fix fix;
        bool has_altitude = false;
        double meters = 0.0;
    };

    // The next sentence, after its "$", where it lies in the input's buffer
    // (valid until the next call); false at the end of the file.
    bool NextSentence(std::string_view& sentence);
    void Use(std::string_view sentence);
    void Rmc(const std::string_view* fields, std::size_t count);
    void Gga(const std::string_view* fields, std::size_t count);
    // Makes a point of `fix` with the altitude `meters` (null: none).
    void Hand(const Fix& fix, const double* meters);

    std::unique_ptr<io::InputFile> file_;
    NumberReader numbers_;
    std::size_t taken_ = 0;  // bytes of the last sentence, taken at the next call

    // An RMC fix waiting for the GGA after it, the last GGA, and the points
    // ready to hand out (at most two: a waiting fix and the one after it).
    bool waiting_ = false;
    Fix fix_;
    bool gga_known_ = false;
    std::uint64_t gga_time_of_day_ = 0;
    bool gga_has_altitude_ = false;
    double gga_meters_ = 0.0;
    Ready ready_[2];
    std::size_t ready_count_ = 0;
    std::size_t ready_next_ = 0;

    std::uint32_t count_ = 0;
    std::uint64_t bad_checksums_ = 0;
    std::uint64_t malformed_ = 0;
    std::uint64_t without_fix_ = 0;
};

}  // namespace formats

#endif
