// GPX 1.0 and 1.1 as a format reader, streaming through the XML stream of
// xmlstream.h: memory stays the same for a file of any size.
//
// Each `trk` is a track, numbered from 0 in the order of the file, and named
// by its `name` child (blanks around it dropped, cut at 1024 bytes between
// characters) when that comes before its first point, as GPX has it; each
// `trkseg` begins a segment. The points are every `trkpt`, in document
// order. A file without track points gives the `rtept` of its routes
// instead, each `rte` a track with its name (GPX puts routes before tracks,
// so that takes a second pass over the file, which must then be a file that
// can seek). Waypoints are not points of the track. Of each point:
//
//   - position: the `lat` and `lon` attributes, read as the C locale's
//     strtod reads them (all of the value, blanks around it aside). A point
//     without both, or with one that is not a number or lies beyond ±90 or
//     ±180, is left out and counted.
//   - elevation: `ele`, metres.
//   - time: `time` (see ParseIsoTime in timetext.h) to the nanosecond. A
//     time outside 1900 to 2200 is left out and counted.
//   - speed (metres per second) and course (degrees): `speed` and `course`
//     of GPX 1.0, or of Garmin's TrackPointExtension (v1 or v2) within the
//     point.
//   - heart rate, cadence, temperature: `hr`, `cad` and `atemp` of the
//     TrackPointExtension.
//   - power: Garmin's PowerExtension `PowerInWatts`, or an element `power`
//     of any namespace within the point's `extensions`.
//   - tag: the point's number in the file, from 1.
//
// A value the point does not hold is absent, never 0. Where a point holds
// one twice, the later one counts. An element that is empty counts as
// absent; one that cannot be read, or an `ele` too large for feet in a
// double, is an error of the file at that element, except a `power` of a
// namespace other than Garmin's, which is then passed over. Elements of
// other namespaces, and `metadata`, `desc` and the like, are passed over.
//
// Errors of the file, with their line and column: what expat finds (the
// stream's scanner leaves every error to it): "not well-formed (invalid
// token)", "no element found" for a file cut short; a root element other
// than `gpx`, a document type declaration (refused before any entity can be
// declared, so entity expansion attacks fail at once), elements nested
// deeper than kMaxDepth, and one piece of markup (a tag with its attributes,
// a comment, ...) longer than kMaxMarkup bytes, which expat would otherwise
// have to hold whole.
#ifndef TRACKTOOLS_FORMATS_GPXREADER_H
#define TRACKTOOLS_FORMATS_GPXREADER_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tracktools/formats/xml/xmlreader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

struct GpxField;

class GpxReader : public XmlReader {
  public:
    // `file` is open; the reader reads it from where it stands, with the
    // scanner or expat (see xmlstream.h; either gives the same points).
    explicit GpxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine = XmlEngine::kScanner);

    std::vector<Tally> Tallies() const override;

  private:
    enum class Pass { kTrack, kRoute };

    void Start(const XmlName& name, const XmlAttributes& attributes, int depth) override;
    void End(int depth) override;
    void Text(std::string_view text) override;
    bool ReadAgain() override;

    void BeginPoint(const XmlAttributes& attributes, int depth);
    void EndPoint();
    void EndField();
    void EndName();
    void Open(const XmlName& name, const XmlAttributes& attributes, int depth);
    // Text is wanted in a field, and directly in the track's name.
    void TakeTextWhereWanted() {
        Stream().TakeText(field_ != nullptr || (name_depth_ != 0 && depth_ == name_depth_));
    }

    Pass pass_ = Pass::kTrack;

    // The track (`trk`, or `rte` on the second pass) being read: its number,
    // its name once read, and the marks its next point takes.
    int track_depth_ = 0;  // 0 outside tracks
    std::uint32_t tracks_ = 0;
    std::string name_;
    bool name_cut_ = false;  // the name was cut: no more of it is kept
    int name_depth_ = 0;     // of the open `name` of the track; 0 outside it
    int depth_ = 0;          // of the innermost open element
    bool begin_track_ = false;
    bool begin_segment_ = false;

    int point_depth_ = 0;  // of the open point; 0 outside points
    int extensions_depth_ = 0;
    const GpxField* field_ = nullptr;
    bool field_foreign_ = false;  // a value of another schema: passed over when unreadable
    int field_depth_ = 0;
    FieldText text_;

    bool position_ok_ = false;
    bool saw_track_point_ = false;
    bool saw_route_point_ = false;

    std::uint32_t count_ = 0;
    std::uint64_t without_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

}  // namespace formats

#endif
