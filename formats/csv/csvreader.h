// CSV as a format reader: the form the CSV writer writes (see csvwriter.h),
// also after a spreadsheet has been at it, and the form of earlier versions
// (without the columns from segment on).
//
// The first line is the header. Columns are found by their names, in any
// order and case, blanks around them aside: time, latitude, longitude,
// altitude_ft, heading_deg, speed_mph, tag, segment, heart_rate_bpm,
// cadence_rpm, power_w, temperature_c, kind, track, track_name, name,
// description, comment, symbol, type, link, lap, sport and sub_sport; other
// columns (point among them:
// points are numbered as they come) are passed over. latitude and longitude
// must be there: a first line without them is no header. Fields are
// separated by commas; a field may be quoted (RFC 4180: "" is a quote inside
// it, and it may hold commas and line ends). Lines end with LF or CR LF;
// empty lines are passed over; a UTF-8 byte-order mark at the start is
// passed over. The lines are read where they lie in the input's buffer.
//
// Without a track column the file is one track; with one, a track begins
// where the number or the kind changes. Of each point:
//
//   - An empty field, or a column that is not there, is a value the point
//     does not have. A point with an empty latitude or longitude has no
//     position.
//   - Numbers are read as the C locale's strtod reads them (numbers.h):
//     the shortest forms and "nan", "-nan", "inf", "-inf" (any case, with
//     an optional "+") read back to the same double.
//   - time: see ParseIsoTime in timetext.h, to the nanosecond. A time
//     outside 1900 to 2200 is left out and counted.
//   - tag and segment: whole numbers from 0 to 4294967295 (tag 0 when
//     empty). A segment begins where the segment number changes from the
//     last one given.
//   - kind: "track", "route" or "waypoint" (any case; empty for track).
//   - texts (track_name and the point's): as they are, blanks around an
//     unquoted one dropped, up to kMaxText bytes; a longer one is cut there
//     and counted.
//   - lap: a lap begins where the number changes from the point before's
//     (none before the first lap).
//   - sport: a name (track::SportNamed) or a number from 0 to 255; the
//     point begins a session of it, with sub_sport (a number, 0 when empty).
//   - The point carries the GPL record its fields describe (altitude in
//     feet, heading, speed in miles per hour, Time, Tag; 0 where a field is
//     empty, Time 0 for a time that no Time stamp holds), so that a GPL
//     track that goes to CSV and back comes back bit for bit.
//
// A line that cannot be read is an error of the file, at its line: a field
// count other than the header's, a value that is not what its column holds,
// a quoted field without its closing quote, text after a closing quote.
// Memory stays the same for lines of any length: only the first
// kMaxValue characters of the fields the reader uses are kept, and a longer
// one is no value.
#ifndef TRACKTOOLS_FORMATS_CSVREADER_H
#define TRACKTOOLS_FORMATS_CSVREADER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tracktools/formats/numbers.h"
#include "tracktools/formats/reader.h"
#include "tracktools/io/inputfile.h"
#include "tracktools/track/point.h"

namespace formats {

class CsvReader : public Reader {
  public:
    static constexpr std::size_t kMaxValue = 64;
    static constexpr std::size_t kMaxText = 1024;  // as the XML readers cut texts
    static constexpr std::size_t kMaxColumns = 1000;

    // `file` is open; the reader reads it from where it stands.
    explicit CsvReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;

  private:
    enum Column : unsigned char {
        kTime,
        kLatitude,
        kLongitude,
        kAltitude,
        kHeading,
        kSpeed,
        kTag,
        kSegment,
        kHeartRate,
        kCadence,
        kPower,
        kTemperature,
        kKind,
        kTrack,
        kTrackName,
        kName,
        kDescription,
        kComment,
        kSymbol,
        kType,
        kLink,
        kLap,
        kSport,
        kSubSport,
        kKnownColumns,
        kIgnored = kKnownColumns,
    };
    struct Value {
        std::string text;  // its capacity stays, for the next line
        std::size_t limit = kMaxValue;
        bool overflow = false;
        bool quoted = false;
    };

    // Reads the fields of the next line that is not empty into values_ (or,
    // for the header, into columns_). False at the end of the file and on
    // an error.
    bool ReadLine();
    void Append(char c);
    bool EndField();
    bool Header();
    bool Point(track::Point& point);
    // The columns from kind on; false, with the file failed, on a value
    // that is not what its column holds.
    bool Kinds(track::Point& point);
    bool Error(const std::string& reason, std::uint64_t line);

    std::unique_ptr<io::InputFile> file_;
    NumberReader numbers_;

    bool have_header_ = false;
    std::vector<Column> columns_;  // of each field of a line, from the header
    bool present_[kKnownColumns] = {};
    Value values_[kKnownColumns + 1];  // the last one takes header names
    std::uint64_t line_ = 1;           // where reading stands
    std::uint64_t record_line_ = 1;    // where the line being read started
    std::uint64_t fields_ = 0;         // of the line being read
    std::uint64_t field_length_ = 0;
    bool field_quoted_ = false;

    bool segment_known_ = false;
    std::uint32_t segment_ = 0;
    bool track_known_ = false;
    std::uint32_t track_ = 0;
    track::Kind kind_ = track::Kind::kTrack;
    std::uint32_t lap_ = 0;
    std::uint64_t time_out_of_range_ = 0;
    std::uint64_t texts_cut_ = 0;
    std::uint64_t count_ = 0;
};

}  // namespace formats

#endif
