// GeoJSON (RFC 7946) as a format reader, streaming through the JSON tokens
// of jsontokens.h.
//
// The document is a FeatureCollection, a Feature or a bare geometry; the
// members of an object may come in any order. Of each Feature's geometry:
//
//   - a LineString is a segment, a MultiLineString one segment per line,
//     and the Feature's lines are one track named by its "name" property;
//     a line of two equal positions is one point (our writer's form of a
//     segment of one point);
//   - a Point is a waypoint, with the properties name, desc, cmt, sym,
//     type and link as its texts and "time" as its time; a Point whose
//     properties hold a "coordTimes" array (our writer's form of a track
//     of one point) is a track of that point;
//   - a "kind" property of "waypoint", "route" or "track" says what the
//     Feature is: a route's lines are a route, a track's Point a track;
//   - a MultiPoint is waypoints, a GeometryCollection each of its
//     geometries; polygons are passed over.
//
// A position is [longitude, latitude] or [longitude, latitude, elevation]
// (more values are passed over); one that is no longitude and latitude
// within ±180 and ±90 is left out and counted. The properties "coordTimes"
// (ISO times or null, one per line position, flat or an array per line),
// "heartRates", "cadences", "powers" and "temperatures" (numbers or null)
// pair with the line positions in order.
//
// Properties may come before or after the geometry: the positions and the
// arrays of a Feature wait (in memory for a few, else in temporary files,
// see pointspool.h) until the Feature ends, so that memory stays flat for a
// track of any length.
//
// Errors of the file, with line and column: JSON that is not valid, a
// document that is not GeoJSON (not an object, no type or another type,
// coordinates that are not positions), and a time that is no time.
#ifndef TRACKTOOLS_FORMATS_GEOJSON_GEOJSONREADER_H
#define TRACKTOOLS_FORMATS_GEOJSON_GEOJSONREADER_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jsontokens.h"
#include "tracktools/formats/pointspool.h"
#include "tracktools/formats/reader.h"

namespace formats {

// Points set aside in order: the first few in memory, the rest (and then
// all) in a temporary file.
class PointsAside {
  public:
    static constexpr std::size_t kHeld = 64;

    PointsAside() { held_.reserve(kHeld); }
    bool Add(const track::Point& point);
    // Ends adding; Next then gives the points from the first one.
    bool StartReading();
    bool Next(track::Point& point);
    void Clear();
    std::uint64_t Size() const { return size_; }
    // The temporary file's failure, once Add or StartReading failed.
    std::string ErrorText() const;
    bool Failed() const { return spool_ != nullptr && spool_->Error() != 0; }

  private:
    std::vector<track::Point> held_;
    std::size_t next_ = 0;
    std::unique_ptr<PointSpool> spool_;
    std::uint64_t size_ = 0;
};

class GeoJsonReader : public Reader {
  public:
    explicit GeoJsonReader(std::unique_ptr<io::InputFile> file);

    bool Next(track::Point& point) override;
    std::vector<Tally> Tallies() const override;

  private:
    enum class Type : unsigned char {
        kNone,
        kPoint,
        kMultiPoint,
        kLineString,
        kMultiLineString,
        kPolygon,
        kMultiPolygon,
        kGeometryCollection,
        kFeature,
        kFeatureCollection,
        kOther,
    };
    enum class Stage : unsigned char { kStart, kRoot, kFeatures, kEnded };
    // The arrays of values beside the positions, in their order here.
    enum Array : unsigned char { kTimes, kHeartRates, kCadences, kPowers, kTemperatures, kArrays };

    // The depth at which a geometry's coordinates hold numbers; 0 for a
    // type without coordinates.
    static int PositionDepth(Type type);

    // Reads on until a Feature (or the root) has ended, the document has,
    // or it failed.
    void Advance();
    bool RootMember();
    bool Feature();
    // A "geometry" or "properties" member; false when `key` is neither
    // (member_ok_ tells how reading it went).
    bool FeatureMember(std::string_view key);
    // A geometry object, its "{" read.
    bool Geometry(bool in_collection);
    // A "coordinates" or "geometries" member; false when `key` is neither.
    bool GeometryMember(std::string_view key, Type type, int& depth, bool in_collection, bool& ok);
    // Sets the positions aside; `depth` is that of a type not known yet.
    bool Coordinates(Type type, int& depth, bool in_collection);
    bool Position(const double* values, std::size_t count, std::uint32_t flags);
    void EndLine();
    // A geometry whose type came after its coordinates: those set aside go
    // to the Feature's positions as the type says.
    bool Resolve(Type type, int depth, Location where);
    bool Properties();
    bool Values(Array array);
    bool AddValue(Array array, JsonToken token);
    // The value of a "type" member.
    bool TypeValue(Type& type, Location& where);

    // The Feature has ended: its points go out.
    bool StartOut();
    bool Out(track::Point& point);
    void TakeValues(track::Point& point);
    void ClearFeature();

    bool Syntax();
    bool NotGeoJson(const std::string& what, Location where);
    // Fails, or when salvaging ends the reading after the points so far.
    bool Broke(const ReadError& error);
    bool Aside(PointsAside& aside, const track::Point& point);

    // A geometry object being read, within the collections around it.
    struct GeometryFrame {
        Type type;
        int depth;  // of coordinates read before the type; -1 for none
        Location where;
        bool in_collection;
        bool in_geometries;  // within its "geometries" array
    };

    std::unique_ptr<io::InputFile> file_;
    JsonTokens tokens_;
    std::vector<GeometryFrame> frames_;
    Stage stage_ = Stage::kStart;
    Type root_type_ = Type::kNone;
    Location root_where_;
    int root_depth_ = -1;  // of the root's coordinates read before its type
    bool member_ok_ = true;

    // The Feature being read.
    std::string name_;
    track::Texts texts_;
    bool has_time_ = false;
    track::Instant time_;
    bool arrays_ = false;  // any array of values was given
    // What the "kind" property says the Feature is.
    enum class Said : unsigned char { kNothing, kTrack, kRoute, kWaypoint };
    Said kind_ = Said::kNothing;
    PointsAside positions_;
    PointsAside pending_;  // of a geometry whose type is not known yet
    PointsAside values_[kArrays];
    PointsAside* target_ = &positions_;  // where Position sets a position aside
    // The first two positions of a line, held to tell a doubled point.
    track::Point line_[2];
    std::uint32_t line_size_ = 0;
    bool begin_line_ = false;

    // Going out.
    bool out_ = false;
    bool track_begun_ = false;
    bool begin_segment_ = false;
    bool has_second_ = false;
    track::Point second_;
    std::uint32_t tracks_ = 0;
    std::uint64_t handed_out_ = 0;

    bool broke_ = false;
    ReadError break_;
    std::uint64_t without_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

}  // namespace formats

#endif
