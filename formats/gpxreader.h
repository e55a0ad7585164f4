// GPX 1.0 and 1.1 as a format reader, streaming through expat: memory stays
// the same for a file of any size.
//
// The points are every `trkpt` of every track and segment, in document
// order, as one track; a file without track points gives the `rtept` of its
// routes instead (GPX puts routes before tracks, so that takes a second pass
// over the file, which must then be a file that can seek). Waypoints are not
// points of the track. Of each point:
//
//   - Latitude, Longitude: the `lat` and `lon` attributes, read as the C
//     locale's strtod reads them (all of the value, blanks around it aside).
//     A point without both, or with one that is not a number or lies beyond
//     ±90 or ±180, is left out and counted.
//   - Altitude: `ele` in metres divided by 0.3048; 0 without one.
//   - Time: `time` (see ParseIsoTime in timetext.h) as seconds since 1970,
//     the fraction dropped. A point without a time, or with one before 1970
//     or after 2106-02-07T06:28:15Z, gets Time 0 and is counted.
//   - Speed, Heading: `speed` (metres per second, made miles per hour) and
//     `course` (degrees) of GPX 1.0, or those of Garmin's
//     TrackPointExtension (v1 or v2) within the point; where a point has
//     both, the later one in the document. 0 without them.
//   - Tag: the point's number in the track, from 1. Reserved1, Reserved2: 0.
//
// An `ele`, `time`, `speed` or `course` that is empty counts as absent; one
// that cannot be read, or is too large for its unit in a double, is an error
// of the file at that element. Elements of
// other namespaces, and `metadata`, `name`, `desc` and the like, are passed
// over.
//
// Errors of the file, with their line and column: what expat finds ("not
// well-formed (invalid token)", "no element found" for a file cut short), a
// root element other than `gpx`, a document type declaration (refused
// before any entity can be declared, so entity expansion attacks fail at
// once), elements nested deeper than kMaxDepth, and one piece of markup
// (a tag with its attributes, a comment, ...) longer than kMaxMarkup bytes,
// which expat would otherwise have to hold whole.
#ifndef TRACKTOOLS_FORMATS_GPXREADER_H
#define TRACKTOOLS_FORMATS_GPXREADER_H

#include <memory>
#include <vector>

#include "reader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class GpxReader : public Reader {
  public:
    // `file` is open; the reader reads it from where it stands.
    explicit GpxReader(std::unique_ptr<io::InputFile> file);
    ~GpxReader() override;

    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;

    class Parse;  // the handler of the document

  private:
    std::unique_ptr<io::InputFile> file_;
    std::unique_ptr<Parse> parse_;
};

}  // namespace formats

#endif
