// The edits of trackedit on random tracks and routes with waypoints among
// them, against references written in a few lines each from the definitions
// in trackedit(1), with distances from GeographicLib; -simplify and -route
// against their bound, checked on the geodesic.
#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "edits.h"
#include "measure.h"
#include "timearg.h"

namespace {

using track::Point;
using Points = std::vector<Point>;
using Keep = std::vector<bool>;
const GeographicLib::Geodesic& kEarth = GeographicLib::Geodesic::WGS84();
__extension__ typedef __int128 Wide;  // times 300 years apart overflow 64 bits of nanoseconds

// A place off the globe is infinitely far from every other.
bool OnGlobe(const Point& p) {
    return p.Has(track::kPosition) && std::fabs(p.latitude) <= 90;
}
double Metres(double latitude, double longitude, const Point& b) {
    if (!OnGlobe(b) || !(std::fabs(latitude) <= 90))
        return HUGE_VAL;
    double metres;
    kEarth.Inverse(latitude, longitude, b.latitude, b.longitude, metres);
    return metres;
}
double Metres(const Point& a, const Point& b) {
    return Metres(a.latitude, a.longitude, b);
}

// The least distance from p to a point of the geodesic from a to b.
double OffGeodesic(double a_lat, double a_lon, double b_lat, double b_lon, double p_lat,
                   double p_lon) {
    double length, azimuth, unused;
    kEarth.Inverse(a_lat, a_lon, b_lat, b_lon, length, azimuth, unused);
    const GeographicLib::GeodesicLine line = kEarth.Line(a_lat, a_lon, azimuth);
    const auto off = [&](double s) {
        double lat, lon, metres;
        line.Position(s, lat, lon);
        kEarth.Inverse(p_lat, p_lon, lat, lon, metres);
        return metres;
    };
    const double golden = (std::sqrt(5.0) - 1) / 2;
    double low = 0, high = length;
    while (high - low > 1e-4) {
        const double x1 = high - golden * (high - low), x2 = low + golden * (high - low);
        (off(x1) < off(x2) ? high : low) = off(x1) < off(x2) ? x2 : x1;
    }
    return std::fmin(off(low), std::fmin(off(0), off(length)));
}

// A drive of short legs with spikes, repeated points, gaps, points without
// a time or a position or with one off the globe, segments and named tracks,
// and sensor values, that may end going to and fro across its last place;
// a third of its tracks are routes. Each point's tag is its number.
Points RandomTrack(std::mt19937_64& random, int count) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double starts[][2] = {{46.95, 7.44}, {-16.5, 179.999}, {78.2, 15.6}};
    const auto& start = starts[random() % 3];
    double lat = start[0], lon = start[1], heading = 360 * unit(random);
    std::int64_t time = 1556685000LL * 1000000000LL;
    const int to_and_fro = random() % 2 ? count - 12 : count;
    double end_lat = 0, end_lon = 0;
    Points points;
    for (int i = 0; i < count; ++i) {
        Point point;
        heading += 40 * (unit(random) - 0.5);
        kEarth.Direct(lat, lon, heading, 30 * unit(random), lat, lon);
        if (i == to_and_fro)
            end_lat = lat, end_lon = lon;
        if (i > to_and_fro) {
            kEarth.Direct(end_lat, end_lon, heading + 180 * i,
                          i + 1 == count ? 0 : 50 + 90 * unit(random), lat, lon);
        }
        time += static_cast<std::int64_t>((unit(random) < 0.01 ? 5000 : 3) * unit(random) * 1e9);
        if (unit(random) < 0.002) {  // a clock that jumps to 1900 or 2200
            time = (i % 2 ? track::kFirstSecond : track::kLastSecond - 86400) * 1000000000LL;
        }
        point.SetPosition(lat, lon);
        point.SetTime(track::Instant::FromNanoseconds(time));
        if (unit(random) < 0.03) {  // a spike away and back
            kEarth.Direct(lat, lon, 360 * unit(random), 300 + 2000 * unit(random), point.latitude,
                          point.longitude);
        }
        if (i > 0 && unit(random) < 0.04) {
            point = points.back();
            point.begins_segment = point.begins_track = false;
            point.track_name.clear();
        }
        if (unit(random) < 0.005)
            point.latitude = i % 2 ? 90.5 : std::nan("");
        if (unit(random) < 0.03)
            point.Clear(track::kTime);
        if (unit(random) < 0.01)
            point.Clear(track::kPosition);
        if (unit(random) < 0.5)
            point.Set(track::kHeartRate, 100 + i % 50);
        point.begins_segment = i == 0 || unit(random) < 0.02;
        point.begins_track = i == 0 || unit(random) < 0.01;
        if (point.begins_track) {
            point.begins_segment = true;
            point.track_name = "track " + std::to_string(i);
            point.kind = random() % 3 == 0 ? track::Kind::kRoute : track::Kind::kTrack;
        } else if (i > 0) {
            point.kind = points.back().kind;
        }
        point.tag = static_cast<std::uint32_t>(i);
        points.push_back(point);
    }
    return points;
}

// The points kept, each with the marks of the points dropped before it.
Points Kept(const Points& in, const Keep& keep) {
    Points out;
    bool segment = false;
    const Point* track = nullptr;  // the last track begun by a point dropped
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (!keep[i]) {
            segment = segment || in[i].begins_segment;
            track = in[i].begins_track ? &in[i] : track;
            continue;
        }
        out.push_back(in[i]);
        out.back().begins_segment = out.back().begins_segment || segment;
        if (track != nullptr && !in[i].begins_track)
            out.back().begins_track = true, out.back().track_name = track->track_name;
        segment = false, track = nullptr;
    }
    return out;
}

Keep Each(const Points& in, const std::function<bool(const Point&)>& keeps) {
    Keep keep;
    for (const Point& point : in)
        keep.push_back(keeps(point));
    return keep;
}

// Going from `from` by `step` to `end`: the first point with a position at
// least `metres` from the first point with a position, or `end`.
int Reach(const Points& in, int from, int step, int end, double metres) {
    for (int i = from, first = -1; i != end; i += step) {
        first = first < 0 && in[i].Has(track::kPosition) ? i : first;
        if (in[i].Has(track::kPosition) && Metres(in[first], in[i]) >= metres)
            return i;
    }
    return end;
}

// Each run of points of one kind trimmed on its own.
Keep Trimmed(const Points& in, double metres) {
    Keep keep(in.size(), false);
    for (int run = 0, next = 0, size = static_cast<int>(in.size()); run < size; run = next) {
        for (next = run + 1; next < size && in[next].kind == in[run].kind; ++next) {
        }
        const int start = Reach(in, run, 1, next, metres);
        const int end = Reach(in, next - 1, -1, start - 1, metres);
        for (int i = start; i <= end; ++i)
            keep[i] = true;
    }
    return keep;
}

double Seconds(track::Instant later, track::Instant earlier) {
    return static_cast<double>(static_cast<Wide>(later.Nanoseconds()) - earlier.Nanoseconds()) /
           1e9;
}

Keep Despiked(const Points& in, double speed) {
    Keep keep;
    const Point* last = nullptr;  // the reference
    for (const Point& point : in) {
        last = point.begins_segment ? nullptr : last;
        const bool timed = point.Has(track::kPosition) && point.Has(track::kTime);
        keep.push_back((!point.Has(track::kPosition) || OnGlobe(point)) &&
                       !(timed && last != nullptr &&
                         Metres(*last, point) > speed * Seconds(point.time, last->time)));
        if (timed && keep.back())
            last = &point;
    }
    return keep;
}

Keep Deduped(const Points& in) {
    Keep keep;
    const Point* last = nullptr;
    for (const Point& point : in) {
        const bool timed = point.Has(track::kPosition) && point.Has(track::kTime);
        keep.push_back(!(timed && last != nullptr && last->latitude == point.latitude &&
                         last->longitude == point.longitude && last->time == point.time));
        if (keep.back())
            last = timed ? &point : nullptr;
    }
    return keep;
}

// The points of `before` whose tags are in `after`.
Keep Tagged(const Points& before, const Points& after) {
    std::set<std::uint32_t> tags;
    for (const Point& point : after)
        tags.insert(point.tag);
    return Each(before, [&](const Point& p) { return tags.count(p.tag) > 0; });
}

// The point `i`, dropped, lies within the tolerance (1 % for the measure) of
// the geodesic between the kept points around it.
void ExpectNearLine(const Points& in, const Keep& keep, std::size_t i, double tolerance) {
    std::size_t a = i, b = i;
    while (!keep[a])
        --a;
    while (!keep[b])
        ++b;
    EXPECT_LE(OffGeodesic(in[a].latitude, in[a].longitude, in[b].latitude, in[b].longitude,
                          in[i].latitude, in[i].longitude),
              tolerance * 1.01 + 1e-6)
        << "tag " << in[i].tag;
}

// The points in `before` whose tags are in `after`, checked against the
// bound of -simplify: the ends of every run of points on the globe kept, each
// dropped point within the tolerance (1 % for the measure) of the geodesic
// between the kept points around it.
Keep Simplified(const Points& before, const Points& after, double tolerance) {
    const Keep keep = Tagged(before, after);
    for (std::size_t i = 0; i < before.size(); ++i) {
        const Point& p = before[i];
        if (keep[i])
            continue;
        if (!OnGlobe(p) || p.begins_segment || i == 0 || i + 1 == before.size() ||
            !OnGlobe(before[i - 1]) || !OnGlobe(before[i + 1]) || before[i + 1].begins_segment) {
            ADD_FAILURE() << "the end of a run was dropped, tag " << p.tag;
            return keep;
        }
        ExpectNearLine(before, keep, i, tolerance);
    }
    return keep;
}

// The points in `before` whose tags are in `after`, checked as routes of at
// most `most` points. The points off the globe go first, one that began a
// track handing on its name; then a route begins at each point that begins
// a track, follows one of another kind, or follows such a point. In each
// route, its first and last point are kept, and each other one lies within
// the tolerance of the geodesic between the kept points around it.
Points Routed(const Points& before, const Points& after, std::size_t most, double tolerance) {
    Points on;  // the globe
    const Point* began = nullptr;
    for (const Point& point : before) {
        if (!OnGlobe(point)) {
            began = point.begins_track ? &point : began;
            continue;
        }
        on.push_back(point);
        if (!point.begins_track &&
            (began != nullptr || on.size() == 1 || on.end()[-2].kind != point.kind)) {
            on.back().begins_track = true;
            on.back().track_name = began != nullptr ? began->track_name : "";
        }
        began = nullptr;
    }
    const Keep keep = Tagged(on, after);
    for (std::size_t start = 0, end = 0, kept = 0; start < on.size(); start = end, kept = 0) {
        for (end = start + 1; end < on.size() && !on[end].begins_track; ++end) {
        }
        if (!keep[start] || !keep[end - 1]) {
            ADD_FAILURE() << "the end of a route was dropped, tag " << on[start].tag;
            continue;
        }
        for (std::size_t i = start; i < end; ++i) {
            kept += keep[i] ? 1 : 0;
            if (!keep[i])
                ExpectNearLine(on, keep, i, tolerance);
        }
        EXPECT_LE(kept, most) << "route of tag " << on[start].tag;
    }
    Points routes = Kept(on, keep);
    for (Point& point : routes)
        point.kind = track::Kind::kRoute, point.begins_segment = point.begins_track;
    return routes;
}

// The number a line of `lines` that holds `words` begins with, and the
// metres it gives after "within " (0 without such a line).
std::uint64_t Counted(const std::vector<std::string>& lines, const std::string& words,
                      double* within = nullptr) {
    std::uint64_t count = 0;
    for (const std::string& line : lines) {
        if (line.find(words) == std::string::npos)
            continue;
        count += std::stoull(line);
        const std::size_t at = line.find("within ");
        if (within != nullptr && at != std::string::npos)
            *within = std::stod(line.substr(at + 7));
    }
    return count;
}

// The edits by their definitions, in their order; `simplified` is what the
// program made without -route, for the points -simplify chose, `edited` what
// it made, for those -route chose, and `lines` what it said, for the
// tolerance of -route.
Points Reference(const trackedit::EditOptions& o, Points in, const Points& simplified,
                 const Points& edited, const std::vector<std::string>& lines) {
    if (o.from_given || o.to_given) {
        in = Kept(in, Each(in, [&](const Point& p) {
                      return p.Has(track::kTime) && (!o.from_given || p.time >= o.from) &&
                             (!o.to_given || p.time < o.to);
                  }));
    }
    if (o.box_given) {
        in = Kept(in, Each(in, [&](const Point& p) {
                      const double lon = std::remainder(p.longitude, 360);
                      return p.Has(track::kPosition) && p.latitude >= o.south &&
                             p.latitude <= o.north &&
                             (o.west <= o.east ? lon >= o.west && lon <= o.east
                                               : lon >= o.west || lon <= o.east);
                  }));
    }
    for (const trackedit::Zone& zone : o.hidden) {
        in = Kept(in, Each(in, [&](const Point& p) {
                      return !p.Has(track::kPosition) ||
                             Metres(zone.latitude, zone.longitude, p) > zone.metres;
                  }));
    }
    if (o.trim >= 0)
        in = Kept(in, Trimmed(in, o.trim));
    if (o.spike_speed >= 0)
        in = Kept(in, Despiked(in, o.spike_speed));
    if (o.dedupe)
        in = Kept(in, Deduped(in));
    if (o.simplify >= 0)
        in = Kept(in, Simplified(in, simplified, o.simplify));
    Wide shift = o.shift_nanoseconds;
    bool started = !o.start_given;
    for (Point& point : in) {
        if (!point.Has(track::kTime))
            continue;
        if (!started)
            shift = static_cast<Wide>(o.start.Nanoseconds()) - point.time.Nanoseconds();
        started = true;
        const Wide moved = point.time.Nanoseconds() + shift;
        point.time = track::Instant::FromNanoseconds(static_cast<std::int64_t>(moved));
        if (moved < static_cast<Wide>(track::kFirstSecond) * 1000000000 ||
            moved >= static_cast<Wide>(track::kLastSecond + 1) * 1000000000)
            point.Clear(track::kTime);
    }
    bool first[3] = {true, true, true};  // of each kind
    for (Point& point : in) {
        if (o.join) {
            point.begins_segment = point.begins_track = first[static_cast<int>(point.kind)];
            if (!point.begins_track)
                point.track_name.clear();
        }
        first[static_cast<int>(point.kind)] = false;
        if (o.name_given && point.begins_track)
            point.track_name = o.name;
    }
    if (o.route_points >= 2) {
        double tolerance = 0;
        Counted(lines, "dropped in making routes", &tolerance);
        in = Routed(in, edited, o.route_points, tolerance);
    }
    for (std::size_t i = 0; i < in.size() && o.to_tracks; ++i) {
        if (in[i].kind == track::Kind::kRoute && (i == 0 || in[i - 1].kind != track::Kind::kRoute))
            in[i].begins_track = in[i].begins_segment = true;
    }
    for (Point& point : in)
        point.kind = o.to_tracks ? track::Kind::kTrack : point.kind;
    return in;
}

// The first point where two lists differ in a value present, a mark or a name.
std::string Difference(const Points& got, const Points& expected) {
    const auto describe = [](const Points& points, std::size_t i) -> std::string {
        if (i >= points.size())
            return "(none)";
        const Point& p = points[i];
        const bool at = p.Has(track::kPosition), timed = p.Has(track::kTime);
        char line[200];
        std::snprintf(line, sizeof line, "%u %x %.9f %.9f %lld %g %d%d%d %s", p.tag, p.fields,
                      at ? p.latitude : 0, at ? p.longitude : 0,
                      timed ? static_cast<long long>(p.time.Nanoseconds()) : 0LL,
                      p.Has(track::kHeartRate) ? p.heart_rate : 0, static_cast<int>(p.kind),
                      p.begins_track, p.begins_segment, p.track_name.c_str());
        return line;
    };
    for (std::size_t i = 0; i < got.size() || i < expected.size(); ++i) {
        if (describe(got, i) != describe(expected, i))
            return "at " + std::to_string(i) + ": got " + describe(got, i) + ", expected " +
                   describe(expected, i);
    }
    return "";
}

// The points the edits give, and the lines they say.
struct Edited {
    Points points;
    std::vector<std::string> lines;
};
Edited Edit(const trackedit::EditOptions& options, const Points& in) {
    tools::PointList out;
    trackedit::Edits edits(options, out);
    for (Point point : in) {
        Point* taken = &point;
        EXPECT_TRUE(edits.Take(taken));
    }
    EXPECT_TRUE(edits.End());
    return {out.points, edits.Lines()};
}

// Option values drawn around a track, so that each edit has work to do.
using Choose = std::function<void(trackedit::EditOptions&, const Points&, std::mt19937_64&)>;
const Point& Any(const Points& track, std::mt19937_64& random) {
    const Point* point = &track[random() % track.size()];
    return point->Has(track::kPosition) ? *point : track.front();
}
const std::vector<std::pair<const char*, Choose>> kOptions = {
    {"-from -to",
     [](auto& o, const Points& t, auto& random) {
         // The times of points, so that the bounds meet some.
         const Point &a = t[random() % t.size()], &b = t[random() % t.size()];
         o.from_given = random() % 4 != 0, o.to_given = random() % 4 != 0;
         o.from = std::min(a.time, b.time), o.to = std::max(a.time, b.time);
     }},
    {"-box",
     [](auto& o, const Points& t, auto& random) {
         const Point &a = Any(t, random), &b = Any(t, random);
         o.box_given = true;
         o.south = std::fmin(a.latitude, b.latitude), o.north = std::fmax(a.latitude, b.latitude);
         o.west = std::remainder(a.longitude, 360), o.east = std::remainder(b.longitude, 360);
     }},
    {"-hide",
     [](auto& o, const Points& t, auto& random) {
         for (int i = random() % 3; i >= 0; --i) {
             const Point& p = Any(t, random);
             // A zone of 0 m hides its place exactly.
             o.hidden.push_back({p.latitude, p.longitude, i == 0 ? 0.0 : 20.0 + random() % 400});
         }
     }},
    {"-trim", [](auto& o, const Points&, auto& random) { o.trim = random() % 6 * 100.0; }},
    {"-spikes", [](auto& o, const Points&, auto& random) { o.spike_speed = 30.0 + random() % 70; }},
    {"-dedupe", [](auto& o, const Points&, auto&) { o.dedupe = true; }},
    {"-simplify",
     [](auto& o, const Points&, auto& random) {
         o.simplify = random() % 5 == 0 ? 0.0 : 1.0 + random() % 20;
         o.simplify_window = 10 + random() % 200;
     }},
    {"-shift -start",
     [](auto& o, const Points&, auto& random) {
         if (random() % 2) {
             o.shift_nanoseconds = static_cast<std::int64_t>(random() % 2000000000000ULL) - 1000;
         } else {
             o.start_given = true, o.start = track::Instant::FromSeconds(7289650000LL);
         }
     }},
    {"-join", [](auto& o, const Points&, auto&) { o.join = true; }},
    {"-name", [](auto& o, const Points&, auto&) { o.name_given = true, o.name = "shared"; }},
    {"-route", [](auto& o, const Points&, auto& random) { o.route_points = 2 + random() % 40; }},
    {"-track", [](auto& o, const Points&, auto&) { o.to_tracks = true; }},
};

// Each option alone on twelve tracks, then forty random sets of them.
TEST(Edits, KeepThePointsTheirDefinitionsKeepAloneAndTogether) {
    const std::size_t alone_runs = 12 * kOptions.size();
    for (std::size_t run = 0; run < alone_runs + 40; ++run) {
        const bool alone = run < alone_runs;
        const std::uint64_t seed = alone ? run % 12 + 1 : run - alone_runs + 1;
        std::mt19937_64 random(seed);
        const Points track =
            RandomTrack(random, alone ? 300 + random() % 1200 : 200 + random() % 800);
        trackedit::EditOptions options;
        for (std::size_t i = 0; i < kOptions.size(); ++i) {
            if (alone ? i == run / 12 : random() % 2 != 0)
                kOptions[i].second(options, track, random);
        }
        // Waypoints among the points take the edits by time and place only.
        Points waypoints;
        Points input;
        for (const Point& point : track) {
            input.push_back(point);
            if (random() % 10 == 0) {
                Point waypoint = point;
                waypoint.kind = track::Kind::kWaypoint;
                waypoint.begins_track = waypoint.begins_segment = false;
                waypoint.track_name.clear();
                waypoint.tag += 1000000;
                waypoints.push_back(waypoint);
                input.push_back(waypoint);
            }
        }
        Points edited;
        Points edited_waypoints;
        const Edited result = Edit(options, input);
        for (const Point& point : result.points) {
            (point.kind == track::Kind::kWaypoint ? edited_waypoints : edited).push_back(point);
        }
        const char* label = alone ? kOptions[run / 12].first : "together";
        trackedit::EditOptions unrouted = options;
        unrouted.route_points = 0;
        const Points simplified = options.route_points != 0 ? Edit(unrouted, track).points : edited;
        ASSERT_EQ(Difference(edited, Reference(options, track, simplified, edited, result.lines)),
                  "")
            << label << ", seed " << seed;
        trackedit::EditOptions place;
        place.from = options.from, place.to = options.to;
        place.from_given = options.from_given, place.to_given = options.to_given;
        place.box_given = options.box_given, place.south = options.south;
        place.north = options.north, place.west = options.west, place.east = options.east;
        place.hidden = options.hidden;
        ASSERT_EQ(Difference(edited_waypoints,
                             Reference(place, waypoints, edited_waypoints, edited_waypoints, {})),
                  "")
            << label << " (waypoints), seed " << seed;
        EXPECT_EQ(Counted(result.lines, "waypoint"), waypoints.size() - edited_waypoints.size())
            << label << ", seed " << seed;
    }
}

// The tolerance -route names is about the least that fits: -simplify keeps
// at most the count of points at it, and more at 10 % (and 1 cm) less.
TEST(Route, NamesTheLeastToleranceThatFits) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        std::mt19937_64 random(seed);
        Points track;
        for (Point& point : RandomTrack(random, 300 + random() % 700)) {
            if (OnGlobe(point)) {
                point.begins_segment = point.begins_track = track.empty();
                point.kind = track::Kind::kTrack;
                track.push_back(point);
            }
        }
        trackedit::EditOptions route;
        route.route_points = 5 + random() % 100;
        double metres = 0;
        Counted(Edit(route, track).lines, "making routes", &metres);
        ASSERT_GT(metres, 0) << "seed " << seed;
        for (const double tolerance : {metres, metres * 0.9 - 0.01}) {
            trackedit::EditOptions simplify;
            simplify.simplify = tolerance;
            simplify.simplify_window = track.size();
            EXPECT_EQ(Edit(simplify, track).points.size() <= route.route_points,
                      tolerance == metres)
                << "seed " << seed << ", " << tolerance << " m";
        }
    }
}

TEST(Simplify, BoundHoldsOnLongLinesAndAcrossWindows) {
    // Points 30 km apart on a meridian and then along the equator: kept
    // lines stay within 100 km, and the measure holds on them.
    Points track;
    for (int i = 0; i < 60; ++i) {
        Point point;
        point.SetPosition(i < 30 ? -0.001 * (i % 2) + i * 0.27 : 0.27 * 29 + 1e-5 * (i % 3),
                          i < 30 ? 20.0 : 20.0 + (i - 29) * 0.27);
        point.tag = static_cast<std::uint32_t>(i);
        point.begins_segment = point.begins_track = i == 0;
        track.push_back(point);
    }
    for (const std::size_t window : {3, 7, 1000}) {
        trackedit::EditOptions options;
        options.simplify = 150;
        options.simplify_window = window;
        const Points edited = Edit(options, track).points;
        Simplified(track, edited, options.simplify);
        for (std::size_t i = 1; i < edited.size(); ++i) {
            EXPECT_TRUE(edited[i].tag == edited[i - 1].tag + 1 ||
                        Metres(edited[i - 1], edited[i]) <= 100000.0)
                << "tags " << edited[i - 1].tag << " to " << edited[i].tag;
        }
    }
}

TEST(Measure, OffLineFollowsTheGeodesicWithinAPerMille) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < 3000; ++i) {
        const double length = std::pow(10.0, 1 + 4 * unit(random));  // 10 m to 100 km
        double a_lat = 170 * unit(random) - 85, a_lon = 360 * unit(random) - 180;
        double b_lat, b_lon, m_lat, m_lon, azimuth, p_lat, p_lon;
        kEarth.Direct(a_lat, a_lon, 360 * unit(random), length, b_lat, b_lon);
        const GeographicLib::GeodesicLine line = kEarth.InverseLine(a_lat, a_lon, b_lat, b_lon);
        line.Position(length * (1.2 * unit(random) - 0.1), m_lat, m_lon, azimuth);
        kEarth.Direct(m_lat, m_lon, azimuth + 90, 50 * unit(random) - 25, p_lat, p_lon);
        const double expected = OffGeodesic(a_lat, a_lon, b_lat, b_lon, p_lat, p_lon);
        EXPECT_NEAR(trackedit::OffLine(a_lat, a_lon, b_lat, b_lon, p_lat, p_lon), expected,
                    1e-3 * expected + 1e-6)
            << length << " m";
    }
}

TEST(TimeArgs, IsoAndLocalTimes) {
    // Central European time; 2019-03-31 02:00 does not exist, 2019-10-27
    // 02:30 comes twice.
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    const struct {
        const char* text;
        std::int64_t seconds;  // -1: refused
        std::int64_t fraction = 0;
    } cases[] = {
        {"2019-05-01T06:30:00+02:00", 1556685000},
        {"2019-05-01T04:30:00Z", 1556685000},
        {"2019-05-01t04:30:00.25z", 1556685000, 250000000},
        {"2019-05-01T06:30:00.123456789+0200", 1556685000, 123456789},
        {"2019-05-01T06:30", 1556685000},
        {"2019-05-01 06:30:00", 1556685000},
        {"2019-05-01", 1556661600},
        {"2019-10-27T02:30:00", 1572136200},
        {"2019-01-15T12:00:00", 1547550000},
        {"1900-01-01T00:00:00Z", -2208988800},
        {"2019-02-29T00:00:00Z", -1},
        {"2019-05-01T24:00:00Z", -1},
        {"2019-05-01T06:30:00.1234567891Z", -1},
        {"1899-12-31T23:59:59Z", -1},
        {"2019-05-01T06:30:00+2", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        track::Instant instant;
        std::string problem;
        const bool read = trackedit::ParseTime(c.text, instant, problem);
        EXPECT_EQ(read, c.seconds != -1) << c.text << ": " << problem;
        if (read && c.seconds != -1) {
            EXPECT_EQ(instant.Nanoseconds(), c.seconds * 1000000000LL + c.fraction) << c.text;
        }
    }
    // Local midnight, not UTC's, ends a day.
    EXPECT_EQ(trackedit::LocalDay(track::Instant::FromSeconds(1556661599)),
              trackedit::LocalDay(track::Instant::FromSeconds(1556661600)) - 1);
    EXPECT_EQ(trackedit::LocalDay(track::Instant::FromSeconds(1556661600)),
              trackedit::LocalDay(track::Instant::FromSeconds(1556747999)));
}

}  // namespace
