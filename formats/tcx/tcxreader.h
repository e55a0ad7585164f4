// TCX (Training Center Database v2) as a format reader, streaming through
// the XML stream of xmlstream.h: memory stays the same for a file of any
// size.
//
// The points are the `Trackpoint`s of Activities/Activity/Lap/Track, of the
// Activities and Transitions of a MultiSportSession, and of
// Courses/Course/Track, in document order, as one track. Each Activity (and
// Transition) begins a session with its sport, each Lap a lap (with the
// TriggerMethod of the lap before). A standalone Activity begins a segment;
// a Lap does when the device's timer paused before it (its StartTime later
// than the lap before began, plus that lap's TotalTimeSeconds and pauses),
// and a Track within a Lap when its gap is longer than the recording
// interval (the longest step between points within Tracks so far). Of each
// point:
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

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "tracktools/formats/xml/xmlreader.h"
#include "tracktools/io/inputfile.h"

namespace formats {

class TcxReader : public XmlReader {
  public:
    // `file` is open; the reader reads it from where it stands, with the
    // scanner or expat (see xmlstream.h; either gives the same points).
    explicit TcxReader(std::unique_ptr<io::InputFile> file, XmlEngine engine = XmlEngine::kScanner);

    std::vector<Tally> Tallies() const override;
    Sport RecordedSport() const override { return sport_; }

  private:
    // The elements on the way from the root to a track point.
    enum class Node {
        kOther,
        kRoot,
        kActivities,
        kMultiSport,
        kSport,  // FirstSport or NextSport
        kActivity,
        kLap,
        kCourses,
        kCourse,
        kTrack,
        kPoint
    };
    // A point of a multisport session: root, Activities, MultiSportSession,
    // NextSport, Activity, Lap, Track.
    static constexpr int kPathDepth = 8;
    // The values of a point, and the element of each.
    enum class Value {
        kNone,
        kTime,
        kLatitude,
        kLongitude,
        kAltitude,
        kDistance,
        kHeartRate,
        kCadence,
        kSpeed,
        kPower,
        kLapSeconds,
        kLapTrigger
    };
    // The groups within a point that hold values.
    enum class Group { kNone, kPosition, kHeartRate };

    void Start(const XmlName& name, const XmlAttributes& attributes, int depth) override;
    void End(int depth) override;
    void Text(std::string_view text) override;

    static Node ChildOf(Node parent, std::string_view local);
    void StartOutsidePoint(bool tcx, std::string_view local, const XmlAttributes& attributes,
                           int depth);
    void EndValue();
    void EndPoint();
    void StartLap(const XmlAttributes& attributes, bool transition);
    // Whether the point, the first of a Track, Lap or Activity, comes after
    // a pause.
    bool AfterPause(const track::Point& point);

    Node path_[kPathDepth + 1] = {};  // the open elements by depth, from 1
    bool segment_pending_ = false;

    int point_depth_ = 0;  // of the open point; 0 outside points
    Group group_ = Group::kNone;
    Value value_ = Value::kNone;
    const char* value_name_ = "";
    int value_depth_ = 0;
    FieldText text_;

    bool has_latitude_ = false;
    bool has_longitude_ = false;
    double latitude_ = 0.0;
    double longitude_ = 0.0;

    // Laps and sessions: the marks the next point takes, and the timer's
    // account of the laps so far.
    struct Lap {
        bool has_start = false;
        track::Instant start;
        bool has_seconds = false;
        double seconds = 0.0;  // TotalTimeSeconds
        double paused = 0.0;   // between its Tracks
        track::LapTrigger trigger = track::LapTrigger::kUnknown;
    };
    Lap lap_;
    Lap previous_lap_;
    bool lap_pending_ = false;
    track::LapTrigger pending_trigger_ = track::LapTrigger::kUnknown;
    bool session_pending_ = false;
    bool activity_pending_ = false;  // a standalone Activity
    std::uint8_t session_sport_ = track::kUnknownSport;
    bool has_last_time_ = false;
    track::Instant last_time_;
    double interval_ = 0.0;  // the longest step within Tracks

    Sport sport_ = Sport::kUnknown;
    std::uint32_t count_ = 0;
    std::uint64_t without_valid_position_ = 0;
    std::uint64_t time_out_of_range_ = 0;
};

}  // namespace formats

#endif
