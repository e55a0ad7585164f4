#include "geojsonreader.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "row.h"
#include "tracktools/formats/tallies.h"
#include "tracktools/formats/timetext.h"

namespace formats {
namespace {

// What a position set aside is, in its tag until it goes out.
constexpr std::uint32_t kLine = 1;      // of a line: it pairs with the arrays
constexpr std::uint32_t kLone = 2;      // a Feature's Point: a track point beside arrays
constexpr std::uint32_t kWaypoint = 4;  // of a MultiPoint or a collection
constexpr std::uint32_t kDoubled = 8;   // a line of two equal positions

const char* const kArrayNames[] = {"coordTimes", "heartRates", "cadences", "powers",
                                   "temperatures"};

const struct {
    const char* name;
    track::Text text;
} kTexts[] = {{"name", track::Text::kName},   {"desc", track::Text::kDescription},
              {"cmt", track::Text::kComment}, {"sym", track::Text::kSymbol},
              {"type", track::Text::kType},   {"link", track::Text::kLink}};

// The same position and values, as our writer doubles a point.
bool SamePoint(const track::Point& a, const track::Point& b) {
    using track::detail::SameBits;
    if (a.fields != b.fields || !SameBits(a.latitude, b.latitude) ||
        !SameBits(a.longitude, b.longitude) || !SameBits(a.elevation, b.elevation) ||
        a.time != b.time) {
        return false;
    }
    return std::all_of(std::begin(track::kSensorFields), std::end(track::kSensorFields),
                       [&](track::Field field) { return SameBits(a.Get(field), b.Get(field)); });
}

std::string QuotedText(std::string_view text, bool cut) {
    return "\"" + std::string(text) + (cut ? "...\"" : "\"");
}

}  // namespace

int GeoJsonReader::PositionDepth(Type type) {
    switch (type) {
        case Type::kPoint:
            return 1;
        case Type::kMultiPoint:
        case Type::kLineString:
            return 2;
        case Type::kMultiLineString:
        case Type::kPolygon:
            return 3;
        case Type::kMultiPolygon:
            return 4;
        default:
            return 0;
    }
}

bool PointsAside::Add(const track::Point& point) {
    ++size_;
    if (spool_ == nullptr && held_.size() < kHeld) {
        held_.push_back(point);
        return true;
    }
    if (spool_ == nullptr) {
        spool_ = std::make_unique<PointSpool>();
        if (!spool_->Open()) {
            return false;
        }
        for (const track::Point& held : held_) {
            if (!spool_->Add(held)) {
                return false;
            }
        }
        held_.clear();
    }
    return spool_->Add(point);
}

bool PointsAside::StartReading() {
    next_ = 0;
    return spool_ == nullptr || spool_->StartReading();
}

bool PointsAside::Next(track::Point& point) {
    if (spool_ != nullptr) {
        return spool_->Next(point);
    }
    if (next_ == held_.size()) {
        return false;
    }
    point = held_[next_++];
    return true;
}

void PointsAside::Clear() {
    held_.clear();
    next_ = 0;
    spool_.reset();
    size_ = 0;
}

std::string PointsAside::ErrorText() const {
    return spool_ != nullptr ? spool_->ErrorText() : std::string();
}

GeoJsonReader::GeoJsonReader(std::unique_ptr<io::InputFile> file)
    : Reader(Format(&kGeoJsonFormat), *file), file_(std::move(file)), tokens_(*file_) {
    frames_.reserve(JsonTokens::kMaxDepth);
}

bool GeoJsonReader::Broke(const ReadError& error) {
    if (error.system_error != 0 || !Salvaging()) {
        Fail(error.system_error, error.reason, error.where);
        return false;
    }
    // The whole positions of the Feature read so far go out first.
    broke_ = true;
    break_ = error;
    stage_ = Stage::kEnded;
    EndLine();
    StartOut();
    return false;
}

bool GeoJsonReader::Syntax() {
    return Broke(tokens_.Error());
}

bool GeoJsonReader::NotGeoJson(const std::string& what, Location where) {
    ReadError error;
    error.reason = "not a GeoJSON file: " + what;
    error.where = where;
    return Broke(error);
}

bool GeoJsonReader::Aside(PointsAside& aside, const track::Point& point) {
    if (!aside.Add(point)) {
        Fail(0, aside.ErrorText());
        return false;
    }
    return true;
}

bool GeoJsonReader::TypeValue(Type& type, Location& where) {
    static const char* const kNames[] = {
        "Point",        "MultiPoint",         "LineString", "MultiLineString",  "Polygon",
        "MultiPolygon", "GeometryCollection", "Feature",    "FeatureCollection"};
    const JsonToken token = tokens_.Next();
    where = tokens_.Where();
    if (token == JsonToken::kError) {
        return Syntax();
    }
    if (token != JsonToken::kString) {
        return NotGeoJson("a type that is not a string", where);
    }
    type = Type::kOther;
    for (std::size_t i = 0; i < sizeof kNames / sizeof kNames[0]; ++i) {
        if (tokens_.Text() == kNames[i]) {
            type = static_cast<Type>(i + 1);
        }
    }
    return true;
}

bool GeoJsonReader::Position(const double* values, std::size_t count, std::uint32_t flags) {
    track::Point point;
    bool valid = count >= 2;
    for (std::size_t i = 0; i < count && i < 3; ++i) {
        valid = valid && std::isfinite(values[i]);
    }
    if (valid && std::fabs(values[1]) <= 90.0 && std::fabs(values[0]) <= 180.0) {
        point.SetPosition(values[1], values[0]);
        if (count >= 3) {
            point.Set(track::kElevation, values[2]);
        }
    }
    point.tag = flags;
    if ((flags & kLine) == 0) {
        return Aside(*target_, point);
    }
    point.begins_segment = line_size_ == 0;
    if (line_size_ < 2) {
        line_[line_size_++] = point;
        return true;
    }
    if (line_size_ == 2 && (!Aside(*target_, line_[0]) || !Aside(*target_, line_[1]))) {
        return false;
    }
    line_size_ = 3;
    return Aside(*target_, point);
}

void GeoJsonReader::EndLine() {
    if (line_size_ == 2 && SamePoint(line_[0], line_[1])) {
        line_[0].tag |= kDoubled;
        line_size_ = 1;
    }
    // Past two, the held positions have gone aside already.
    for (std::uint32_t i = 0; i < line_size_ && line_size_ <= 2; ++i) {
        if (!Aside(*target_, line_[i])) {
            break;
        }
    }
    line_size_ = 0;
}

bool GeoJsonReader::Coordinates(Type type, int& depth, bool in_collection) {
    int expected = PositionDepth(type);
    const bool known = type != Type::kNone;
    JsonToken token = tokens_.Next();
    if (token == JsonToken::kError) {
        return Syntax();
    }
    if (known && (expected == 0 || expected == 4 || type == Type::kPolygon)) {
        return tokens_.SkipValue();  // no points: passed over
    }
    if (token != JsonToken::kBeginArray) {
        return NotGeoJson("coordinates that are not an array", tokens_.Where());
    }
    target_ = known ? &positions_ : &pending_;
    if (!known) {
        pending_.Clear();
    }
    std::uint32_t flags = 0;
    const auto set_flags = [&]() {
        if (expected == 1) {
            flags = in_collection ? kWaypoint : kLone;
        } else {
            flags = type == Type::kMultiPoint ? kWaypoint : kLine;
        }
    };
    set_flags();
    double values[3] = {};
    std::size_t count = 0;
    int level = 1;  // the arrays open within the coordinates
    line_size_ = 0;
    for (;;) {
        token = tokens_.Next();
        switch (token) {
            case JsonToken::kBeginArray:
                ++level;
                if (expected != 0 && level > expected) {
                    return NotGeoJson("coordinates that are not positions", tokens_.Where());
                }
                count = 0;
                break;
            case JsonToken::kNumber:
                if (expected == 0) {
                    expected = level;  // the type comes later: the nesting tells
                    set_flags();
                }
                if (level != expected) {
                    return NotGeoJson("coordinates that are not positions", tokens_.Where());
                }
                if (count < 3) {
                    values[count] = tokens_.Number();
                }
                ++count;
                break;
            case JsonToken::kEndArray:
                if (level == expected) {
                    if (!Position(values, count, flags)) {
                        return false;
                    }
                } else if (level == expected - 1 && flags == kLine) {
                    EndLine();
                    if (Failed()) {
                        return false;
                    }
                }
                if (--level == 0) {
                    if (!known) {
                        depth = expected;
                    }
                    return true;
                }
                break;
            case JsonToken::kError:
                return Syntax();
            default:
                return NotGeoJson("coordinates that are not positions", tokens_.Where());
        }
    }
}

bool GeoJsonReader::Resolve(Type type, int depth, Location where) {
    const int expected = PositionDepth(type);
    if (depth != 0 && depth != expected) {
        pending_.Clear();
        return NotGeoJson("coordinates that are not positions", where);
    }
    if (type == Type::kPolygon || type == Type::kMultiPolygon || depth == 0) {
        pending_.Clear();
        return true;
    }
    if (!pending_.StartReading()) {
        Fail(0, pending_.ErrorText());
        return false;
    }
    track::Point point;
    while (pending_.Next(point)) {
        const bool doubled = (point.tag & kDoubled) != 0;
        if (type == Type::kMultiPoint) {
            // Read as a line, they are waypoints all the same.
            point.tag = kWaypoint;
            point.begins_segment = false;
        }
        if (!Aside(positions_, point) ||
            (doubled && type == Type::kMultiPoint && !Aside(positions_, point))) {
            return false;
        }
    }
    pending_.Clear();
    return true;
}

bool GeoJsonReader::GeometryMember(std::string_view key, Type type, int& depth, bool in_collection,
                                   bool& ok) {
    if (key == "coordinates") {
        ok = Coordinates(type, depth, in_collection);
        return true;
    }
    if (key != "geometries") {
        return false;
    }
    JsonToken token = tokens_.Next();
    if (token == JsonToken::kError) {
        ok = Syntax();
        return true;
    }
    if (token != JsonToken::kBeginArray) {
        ok = NotGeoJson("geometries that are not an array", tokens_.Where());
        return true;
    }
    ok = true;
    while (ok) {
        token = tokens_.Next();
        if (token == JsonToken::kEndArray) {
            break;
        }
        if (token == JsonToken::kError) {
            ok = Syntax();
        } else if (token != JsonToken::kBeginObject) {
            ok = NotGeoJson("a geometry that is not an object", tokens_.Where());
        } else {
            ok = Geometry(true);
        }
    }
    return true;
}

bool GeoJsonReader::Geometry(bool in_collection) {
    // Collections nest: each geometry object open is a frame, and the loop
    // reads the members of the innermost one.
    frames_.clear();
    frames_.push_back({Type::kNone, -1, tokens_.Where(), in_collection, false});
    while (!frames_.empty()) {
        JsonToken token = tokens_.Next();
        if (token == JsonToken::kError) {
            return Syntax();
        }
        GeometryFrame& frame = frames_.back();
        if (frame.in_geometries) {
            if (token == JsonToken::kEndArray) {
                frame.in_geometries = false;
            } else if (token != JsonToken::kBeginObject) {
                return NotGeoJson("a geometry that is not an object", tokens_.Where());
            } else {
                // Within the capacity reserved: the nesting of JSON is bounded.
                frames_.push_back({Type::kNone, -1, tokens_.Where(), true, false});
            }
            continue;
        }
        if (token == JsonToken::kEndObject) {
            if (frame.type == Type::kNone) {
                return NotGeoJson("a geometry without a type", frame.where);
            }
            if (frame.depth >= 0 && !Resolve(frame.type, frame.depth, frame.where)) {
                return false;
            }
            frames_.pop_back();
            continue;
        }
        const std::string_view key = tokens_.Text();
        if (key == "type") {
            Location at;
            if (!TypeValue(frame.type, at)) {
                return false;
            }
            if (frame.type == Type::kOther || frame.type == Type::kFeature ||
                frame.type == Type::kFeatureCollection) {
                return NotGeoJson("a geometry of type " + QuotedText(tokens_.Text(), false), at);
            }
        } else if (key == "coordinates") {
            if (!Coordinates(frame.type, frame.depth, frame.in_collection)) {
                return false;
            }
        } else if (key == "geometries") {
            token = tokens_.Next();
            if (token == JsonToken::kError) {
                return Syntax();
            }
            if (token != JsonToken::kBeginArray) {
                return NotGeoJson("geometries that are not an array", tokens_.Where());
            }
            frame.in_geometries = true;
        } else if (tokens_.Next() == JsonToken::kError || !tokens_.SkipValue()) {
            return Syntax();
        }
    }
    return true;
}

bool GeoJsonReader::AddValue(Array array, JsonToken token) {
    // Points stand for values: a time, or the one sensor value of the array.
    track::Point value;
    if (array == kTimes && token == JsonToken::kString) {
        std::int64_t seconds = 0;
        std::uint32_t nanoseconds = 0;
        const std::string_view text = tokens_.Text();
        if (tokens_.Cut() || !ParseIsoTime(text.data(), text.size(), seconds, nanoseconds)) {
            ReadError error;
            error.reason =
                std::string(kArrayNames[array]) +
                " holds a value that is not a date and time: " + QuotedText(text, tokens_.Cut());
            error.where = tokens_.Where();
            return Broke(error);
        }
        if (track::KeepsTime(seconds)) {
            value.SetTime(track::Instant::FromNanoseconds(
                seconds * track::Instant::kNanosecondsPerSecond + nanoseconds));
        } else {
            ++time_out_of_range_;
        }
    } else if (array != kTimes && token == JsonToken::kNumber) {
        if (std::isfinite(tokens_.Number())) {
            value.Set(track::kSensorFields[array - 1], tokens_.Number());
        }
    } else if (token != JsonToken::kNull) {
        ReadError error;
        error.reason = std::string(kArrayNames[array]) + " holds a value that is not " +
                       (array == kTimes ? "a date and time" : "a number");
        error.where = tokens_.Where();
        return Broke(error);
    }
    return Aside(values_[array], value);
}

bool GeoJsonReader::Values(Array array) {
    arrays_ = true;
    values_[array].Clear();  // a second array of the name replaces the first
    JsonToken token = tokens_.Next();
    if (token == JsonToken::kError) {
        return Syntax();
    }
    if (token != JsonToken::kBeginArray) {
        return AddValue(array, token);  // one value alone
    }
    // The arrays of a MultiLineString's lines are flattened: the values
    // pair with the positions in order.
    for (int level = 1; level > 0;) {
        token = tokens_.Next();
        if (token == JsonToken::kBeginArray) {
            ++level;
        } else if (token == JsonToken::kEndArray) {
            --level;
        } else if (token == JsonToken::kError) {
            return Syntax();
        } else if (!AddValue(array, token)) {
            return false;
        }
    }
    return true;
}

bool GeoJsonReader::Properties() {
    for (;;) {
        JsonToken token = tokens_.Next();
        if (token == JsonToken::kEndObject) {
            return true;
        }
        if (token == JsonToken::kError) {
            return Syntax();
        }
        const std::string_view key = tokens_.Text();
        bool known = false;
        for (std::size_t i = 0; i < kArrays && !known; ++i) {
            if (key == kArrayNames[i]) {
                known = true;
                if (!Values(static_cast<Array>(i))) {
                    return false;
                }
            }
        }
        if (known) {
            continue;
        }
        const bool time = key == "time";
        const bool kind = key == "kind";
        int text = -1;
        for (std::size_t i = 0; i < sizeof kTexts / sizeof kTexts[0]; ++i) {
            if (key == kTexts[i].name) {
                text = static_cast<int>(i);
            }
        }
        token = tokens_.Next();
        if (token == JsonToken::kError) {
            return Syntax();
        }
        if (token == JsonToken::kString && text >= 0) {
            texts_.Set(kTexts[text].text, tokens_.Text());
            if (kTexts[text].text == track::Text::kName) {
                name_ = std::string(tokens_.Text());
            }
        } else if (token == JsonToken::kString && time) {
            std::int64_t seconds = 0;
            std::uint32_t nanoseconds = 0;
            const std::string_view value = tokens_.Text();
            if (tokens_.Cut() || !ParseIsoTime(value.data(), value.size(), seconds, nanoseconds)) {
                ReadError error;
                error.reason = "time is not a date and time: " + QuotedText(value, tokens_.Cut());
                error.where = tokens_.Where();
                return Broke(error);
            }
            has_time_ = track::KeepsTime(seconds);
            time_out_of_range_ += has_time_ ? 0 : 1;
            if (has_time_) {
                time_ = track::Instant::FromNanoseconds(
                    seconds * track::Instant::kNanosecondsPerSecond + nanoseconds);
            }
        }
        if (kind && token == JsonToken::kString) {
            const std::string_view said = tokens_.Text();
            kind_ = said == "route"      ? Said::kRoute
                    : said == "waypoint" ? Said::kWaypoint
                    : said == "track"    ? Said::kTrack
                                         : Said::kNothing;
        }
        if (!tokens_.SkipValue()) {
            return Syntax();
        }
    }
}

bool GeoJsonReader::FeatureMember(std::string_view key) {
    const bool geometry = key == "geometry";
    if (!geometry && key != "properties") {
        return false;
    }
    const JsonToken token = tokens_.Next();
    if (token == JsonToken::kError) {
        member_ok_ = Syntax();
    } else if (token == JsonToken::kBeginObject) {
        member_ok_ = geometry ? Geometry(false) : Properties();
    } else if (token != JsonToken::kNull) {
        member_ok_ = NotGeoJson(
            geometry ? "a geometry that is not an object" : "properties that are not an object",
            tokens_.Where());
    }
    return true;
}

bool GeoJsonReader::Feature() {
    ClearFeature();
    for (;;) {
        const JsonToken token = tokens_.Next();
        if (token == JsonToken::kEndObject) {
            return true;
        }
        if (token == JsonToken::kError) {
            return Syntax();
        }
        const std::string_view key = tokens_.Text();
        member_ok_ = true;
        if (key == "type") {
            Type type = Type::kNone;
            Location at;
            if (!TypeValue(type, at)) {
                return false;
            }
            if (type != Type::kFeature) {
                return NotGeoJson("a feature of type " + QuotedText(tokens_.Text(), false), at);
            }
        } else if (!FeatureMember(key)) {
            if (tokens_.Next() == JsonToken::kError || !tokens_.SkipValue()) {
                return Syntax();
            }
        }
        if (!member_ok_ || Failed() || stage_ == Stage::kEnded) {
            return false;
        }
    }
}

bool GeoJsonReader::RootMember() {
    const std::string_view key = tokens_.Text();
    member_ok_ = true;
    if (key == "type") {
        Location at;
        if (!TypeValue(root_type_, at)) {
            return false;
        }
        if (root_type_ == Type::kOther) {
            return NotGeoJson("the type is " + QuotedText(tokens_.Text(), tokens_.Cut()), at);
        }
        return true;
    }
    if (key == "features") {
        const JsonToken token = tokens_.Next();
        if (token == JsonToken::kError) {
            return Syntax();
        }
        if (token != JsonToken::kBeginArray) {
            return NotGeoJson("features that are not an array", tokens_.Where());
        }
        stage_ = Stage::kFeatures;
        return true;
    }
    if (FeatureMember(key)) {
        return member_ok_;
    }
    if (GeometryMember(key, root_type_, root_depth_, false, member_ok_)) {
        return member_ok_;
    }
    if (tokens_.Next() == JsonToken::kError || !tokens_.SkipValue()) {
        return Syntax();
    }
    return true;
}

void GeoJsonReader::Advance() {
    if (stage_ == Stage::kStart) {
        const JsonToken token = tokens_.Next();
        root_where_ = tokens_.Where();
        if (token == JsonToken::kError) {
            Syntax();
        } else if (token != JsonToken::kBeginObject) {
            NotGeoJson(token == JsonToken::kBeginArray ? "the document is an array, not an object"
                                                       : "the document is not an object",
                       root_where_);
        } else {
            stage_ = Stage::kRoot;
        }
        return;
    }
    while (!Failed() && stage_ != Stage::kEnded && !out_) {
        const JsonToken token = tokens_.Next();
        if (token == JsonToken::kError) {
            Syntax();
            return;
        }
        if (stage_ == Stage::kFeatures) {
            if (token == JsonToken::kEndArray) {
                stage_ = Stage::kRoot;
            } else if (token != JsonToken::kBeginObject) {
                NotGeoJson("a feature that is not an object", tokens_.Where());
            } else if (Feature()) {
                StartOut();
            }
            continue;
        }
        if (token == JsonToken::kKey) {
            RootMember();
            continue;
        }
        // The root has ended.
        if (root_type_ == Type::kNone) {
            NotGeoJson("the document has no type", root_where_);
            return;
        }
        if (root_depth_ >= 0 && !Resolve(root_type_, root_depth_, root_where_)) {
            return;
        }
        if (tokens_.Next() == JsonToken::kError) {
            Syntax();
            return;
        }
        stage_ = Stage::kEnded;
        StartOut();
    }
}

bool GeoJsonReader::StartOut() {
    EndLine();
    if (positions_.Size() == 0) {
        ClearFeature();
        return true;
    }
    for (PointsAside* aside :
         {&positions_, &values_[0], &values_[1], &values_[2], &values_[3], &values_[4]}) {
        if (!aside->StartReading()) {
            Fail(0, aside->ErrorText());
            return false;
        }
    }
    out_ = true;
    track_begun_ = false;
    begin_segment_ = false;
    return true;
}

void GeoJsonReader::TakeValues(track::Point& point) {
    track::Point value;
    if (values_[kTimes].Next(value) && value.Has(track::kTime)) {
        point.SetTime(value.time);
    }
    for (std::size_t i = 0; i < track::kSensorCount; ++i) {
        const track::Field field = track::kSensorFields[i];
        if (values_[i + 1].Next(value) && value.Has(field)) {
            point.Set(field, value.Get(field));
        }
    }
}

bool GeoJsonReader::Out(track::Point& point) {
    if (has_second_) {
        has_second_ = false;
        point = second_;
        return true;
    }
    track::Point entry;
    while (positions_.Next(entry)) {
        const std::uint32_t flags = entry.tag;
        entry.tag = 0;
        const bool position = entry.Has(track::kPosition);
        const bool lone_waypoint =
            kind_ == Said::kWaypoint || (kind_ == Said::kNothing && !arrays_);
        if ((flags & kWaypoint) != 0 || ((flags & kLone) != 0 && lone_waypoint)) {
            if (!position) {
                ++without_position_;
                continue;
            }
            point = entry;
            point.kind = track::Kind::kWaypoint;
            point.texts = texts_;
            if (has_time_) {
                point.SetTime(time_);
            }
            return true;
        }
        begin_segment_ = begin_segment_ || entry.begins_segment;
        entry.begins_segment = false;
        point = entry;
        TakeValues(point);
        if ((flags & kDoubled) != 0) {
            // Two points at one place: one, unless their values differ.
            second_ = entry;
            TakeValues(second_);
            has_second_ = !SamePoint(point, second_);
        }
        if (!position) {
            without_position_ += has_second_ ? 2 : 1;
            has_second_ = false;
            continue;
        }
        if (!track_begun_) {
            track_begun_ = true;
            ++tracks_;
            point.begins_track = true;
            point.track_name = name_;
        }
        point.begins_segment = begin_segment_ || point.begins_track;
        begin_segment_ = false;
        point.track = tracks_ - 1;
        point.kind = kind_ == Said::kRoute ? track::Kind::kRoute : track::Kind::kTrack;
        second_.track = point.track;
        second_.kind = point.kind;
        return true;
    }
    if (positions_.Failed()) {
        Fail(0, positions_.ErrorText());
    }
    out_ = false;
    ClearFeature();
    return false;
}

void GeoJsonReader::ClearFeature() {
    name_.clear();
    texts_.Clear();
    has_time_ = false;
    arrays_ = false;
    kind_ = Said::kNothing;
    positions_.Clear();
    pending_.Clear();
    for (PointsAside& values : values_) {
        values.Clear();
    }
    line_size_ = 0;
    has_second_ = false;
    target_ = &positions_;
}

bool GeoJsonReader::Next(track::Point& point) {
    for (;;) {
        if (out_ && Out(point)) {
            ++handed_out_;
            return true;
        }
        if (Failed()) {
            return false;
        }
        if (stage_ == Stage::kEnded) {
            if (broke_) {
                broke_ = false;
                // A break before any point is a failure all the same.
                if (handed_out_ > 0) {
                    Break(break_.reason, break_.where, handed_out_);
                } else {
                    Fail(0, break_.reason, break_.where);
                }
            }
            return false;
        }
        Advance();
    }
}

std::vector<Tally> GeoJsonReader::Tallies() const {
    return {
        {without_position_, "position without a valid longitude and latitude was skipped",
         "positions without a valid longitude and latitude were skipped", true},
        TimeNotKept(time_out_of_range_),
    };
}

}  // namespace formats
