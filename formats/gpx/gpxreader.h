// GPX 1.0 and 1.1 as a format reader, streaming through the XML stream of
// xmlstream.h: memory stays the same for a file of any size.
//
// The points are every `wpt` (a waypoint), `rtept` (a route point) and
// `trkpt` (a track point), in document order. Each `rte` and `trk` is a
// track of its kind, numbered from 0 in the order of the file, and named by
// its `name` child (blanks around it dropped, cut at 1024 bytes between
// characters) when that comes before its first point, as GPX has it; each
// `trkseg` begins a segment. The `type` of a `trk` names its sport (see
// track::SportNamed), else an `activity` element of any namespace in its
// `extensions` (as apps write it): its first point begins a session of
// that sport. Of
// each point:
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
//   - texts: `name`, `desc`, `cmt`, `sym` and `type`, and the link: the
//     `href` of GPX 1.1's `link`, or GPX 1.0's `url` (blanks around each
//     dropped, cut at 1024 bytes).
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
#include "tracktools/track/point.h"

namespace formats {

struct GpxField;

class GpxReader : public XmlReader {
  public:
    // `file` is open; the reader reads it from where it stands, with the
    // scanner or expat (see xmlstream.h; either gives the same points).
    explicit GpxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine = XmlEngine::kScanner);

    std::vector<Tally> Tallies() const override;

  private:
    void Start(const XmlName& name, const XmlAttributes& attributes, int depth) override;
    void End(int depth) override;
    void Text(std::string_view text) override;
    // What the text being collected is for.
    enum class Collect { kNone, kTrackName, kTrackType, kPointText };

    void BeginPoint(const XmlAttributes& attributes, int depth, track::Kind kind);
    void EndPoint();
    void EndField();
    void EndCollected();
    void BeginCollecting(Collect what, int depth);
    void Open(const XmlName& name, const XmlAttributes& attributes, int depth);
    // Text is wanted in a field, and directly in a text being collected.
    void TakeTextWhereWanted() {
        Stream().TakeText(field_ != nullptr || (collect_depth_ != 0 && depth_ == collect_depth_));
    }

    // The track (`trk` or `rte`) being read: its number, its name and sport
    // once read, and the marks its next point takes.
    int track_depth_ = 0;  // 0 outside tracks
    bool in_route_ = false;
    std::uint32_t tracks_ = 0;
    std::string name_;
    std::uint8_t sport_ = track::kUnknownSport;
    bool sport_pending_ = false;  // the track's first point is still to come
    // The text being collected (a name, a type, a text of a point).
    Collect collect_ = Collect::kNone;
    track::Text point_text_ = track::Text::kName;
    std::string collected_;
    bool collected_cut_ = false;  // it was cut: no more of it is kept
    int collect_depth_ = 0;       // of its element; 0 when none
    int depth_ = 0;               // of the innermost open element
    bool begin_track_ = false;
    bool begin_segment_ = false;

    int point_depth_ = 0;  // of the open point; 0 outside points
    int extensions_depth_ = 0;
    const GpxField* field_ = nullptr;
    bool field_foreign_ = false;  // a value of another schema: passed over when unreadable
    int field_depth_ = 0;
    FieldText text_;

    bool position_ok_ = false;
    track::Kind last_kind_ = track::Kind::kTrack;
    bool any_track_point_ = false;

    std::uint32_t count_ = 0;
    std::uint64_t without_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

}  // namespace formats

#endif
