// KML 2.2 as a format reader (with or without Google's gx extension),
// streaming through the XML stream of xmlstream.h.
//
// Each Placemark with a line is a track, named by its `name`; each
// `LineString` (alone or in a `MultiGeometry`) and each `gx:Track` (alone or
// in a `gx:MultiTrack`) begins a segment. A LineString's `coordinates` are
// tuples "lon,lat[,alt]" apart by white space; a gx:Track pairs its `when`
// times with its `gx:coord` positions "lon lat [alt]" in order (the times,
// which come first, wait in a temporary file). A Placemark's `Point` is a
// waypoint, with the Placemark's name and the time of its `TimeStamp`.
// Altitudes are the elevation. A tuple that is no position within ±90 and
// ±180 is left out and counted. Everything else (styles, folders, regions)
// is passed over.
//
// Errors of the file, with line and column: those of the XML stream, a root
// other than `kml`, and a `when` that is no time.
#ifndef TRACKTOOLS_FORMATS_KML_KMLREADER_H
#define TRACKTOOLS_FORMATS_KML_KMLREADER_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tracktools/formats/pointspool.h"
#include "tracktools/formats/xml/xmlreader.h"

namespace formats {

class KmlReader : public XmlReader {
  public:
    explicit KmlReader(std::unique_ptr<io::InputFile> file, XmlEngine engine = XmlEngine::kScanner);

    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;

  private:
    enum class Field { kNone, kName, kCoordinates, kWhen, kCoord };

    void Start(const XmlName& name, const XmlAttributes& attributes, int depth) override;
    void End(int depth) override;
    void Text(std::string_view text) override;

    // One tuple of a line or a waypoint: true when it is a position.
    bool Tuple(std::string_view tuple, char separator, track::Point& point);
    void TakeTuples(std::string_view text, bool last);
    void Queue(track::Point& point);
    void EndWhen();
    void EndCoord();

    int placemark_depth_ = 0;
    int depth_ = 0;
    std::string name_;
    bool track_begun_ = false;  // the Placemark's first line point is out
    bool begin_segment_ = false;
    std::uint32_t tracks_ = 0;
    int point_depth_ = 0;  // of the open Point; 0 outside one
    int line_depth_ = 0;
    int gx_track_depth_ = 0;
    bool has_stamp_ = false;
    track::Instant stamp_;

    Field field_ = Field::kNone;
    int field_depth_ = 0;
    FieldText text_;
    std::string carry_;  // a tuple cut between two pieces of text

    // The points of one piece of text, handed out one by one.
    std::vector<track::Point> queue_;
    std::size_t queued_next_ = 0;

    // A gx:Track's times, waiting for its positions.
    std::unique_ptr<PointSpool> whens_;
    bool whens_reading_ = false;
    std::uint64_t whens_waiting_ = 0;

    std::uint64_t without_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

}  // namespace formats

#endif
