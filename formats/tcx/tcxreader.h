// TCX (Training Center Database v2) as a format reader, streaming through
// the XML stream of xmlstream.h: memory stays the same for a file of any
// size.
//
// The points are the `Trackpoint`s of Activities/Activity/Lap/Track and of
// Courses/Course/Track, in document order, as one track; each `Track`
// begins a segment (laps are training structure, not pauses). Of each point:
//
//   - Time: `Time` (see ParseIsoTime in timetext.h) with its fraction of a
//     second; outside 1900 to 2200 it is left out and counted.
//   - Position: `Position` with `LatitudeDegrees` and `LongitudeDegrees`.
//     A point without it is a point without a position; one without both
//     values, or with a value beyond ±90 or ±180, is too, and is counted.
//   - `AltitudeMeters`, `DistanceMeters`, `HeartRateBpm/Value` and `Cadence`;
//     from the ActivityExtension v2 `TPX`: `Speed` (m/s), `Watts`, and
//     `RunCadence` as the cadence.
//
// Numbers are read as the C locale's strtod reads them; an empty value is
// absent, one that cannot be read or is not finite is an error of the file
// at that element. The `Sport` of the first activity is RecordedSport().
// Errors of the file, with their line and column: those of XmlStream, and a
// root element other than `TrainingCenterDatabase`.
#ifndef TRACKTOOLS_FORMATS_TCXREADER_H
#define TRACKTOOLS_FORMATS_TCXREADER_H

#include <memory>
#include <vector>

#include "tracktools/formats/reader.h"
#include "tracktools/formats/xml/xmlstream.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class TcxReader : public Reader {
  public:
    // `file` is open; the reader reads it from where it stands, with the
    // scanner or expat (see xmlstream.h; either gives the same points).
    explicit TcxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine = XmlEngine::kScanner);
    ~TcxReader() override;

    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;
    Sport RecordedSport() const override;

    class Parse;  // the handler of the document

  private:
    std::unique_ptr<io::InputFile> file_;
    std::unique_ptr<Parse> parse_;
};

}  // namespace formats

#endif
